#!/usr/bin/env bash
# The debugger windows, walked through as a person uses them: a breakpoint added in
# the Breakpoints window stops the running ROM and opens the debugger, whose panes
# agree with wren81-cli; F9 and F11 step; the machine runs on at full speed once the
# breakpoint is gone; the memory editor changes the screen; Find moves the code pane;
# the PC log, Disassemble To File and System Variables give what the CLI gives; and
# the windows open where they were left, after a restart too.
source "$(dirname "$0")/lib.sh"
source "$here/debugger_lib.sh"
app=$(gui_install)
read -r id gx gy < <(gui_start_at_k "$app") || exit 1

# ---- a breakpoint at the display routine's frame counter, reached every frame ----
open_debugger "at the K cursor"
[ "$(pane 1201 | wc -l)" = 14 ] && [ "$(pane 1203 | wc -l)" = 30 ] || fail "the panes do not show 14 registers and 30 code lines"
gui_probe menu "$dbg" 1012
gui_wait_window Breakpoints 10 >/dev/null || fail "Tools, Breakpoints did not open the Breakpoints window"
gui_probe click Breakpoints 700
gui_wait_window "Add New Breakpoint" 10 >/dev/null || fail "Add did not ask for the breakpoint"
gui_probe settext "Add New Breakpoint" 702 "#0229"
gui_probe settext "Add New Breakpoint" 705 "HL >"
gui_probe click "Add New Breakpoint" 1
said=$(gui_wait_box "Breakpoint Condition" 10) || fail "a condition that cannot be read gave no message"
gui_press "Breakpoint Condition" OK
gui_probe exists "Add New Breakpoint" || fail "the Add dialog closed after the message '$said'"
gui_probe settext "Add New Breakpoint" 705 "SP > #4000"
gui_press "Add New Breakpoint" OK || fail "OK did not add the breakpoint"
row=$(gui_probe rows Breakpoints 703)
[[ "$row" == 0229*"SP > #4000"* ]] || fail "the Breakpoints list shows '$row'"
gui_probe close Breakpoints
close_debugger
# The running machine reaches the address within a frame and the debugger opens by itself.
did=$(gui_wait_window "$dbg" 10) || fail "the breakpoint did not open the debugger"
gui_until 5 marked_is 0229 || fail "the debugger opened with PC at $(marked), not at the breakpoint"
# Every register is what the CLI shows at the same place of the ROM's idle loop, but I
# and R, which count on, and the T-state, which depends on the frame's phase.
registers() { grep -v '^IR \|^break' | sed 's/TStates: [0-9]*//'; }
"$cli" --roms "$roms" --model 2 --break '#0229' --frames 20 | registers > "$WREN81_GUI_WORK/cli_regs"
pane 1201 | registers | diff - "$WREN81_GUI_WORK/cli_regs" >&2 || fail "the register pane differs from wren81-cli --break #0229"

# F9 goes to the next line (or where a jump goes) until the CALL of the keyboard
# routine; F11 steps over it.
mark_moved() { local m; m=$(marked); [ -n "$m" ] && [ "$m" != "$1" ]; }
for ((i = 0; i < 20; i++)); do
  at=$(marked)
  [ "$at" = 023E ] && break
  next=$(after_marked)
  key_to "$dbg" F9
  if pane 1203 | grep -q "^ $at .*  J"; then
    gui_until 3 mark_moved "$at" || fail "F9 on the jump at $at did not move the mark"
  else
    gui_until 3 marked_is "$next" || fail "F9 at $at moved the mark to $(marked), not to the next line $next"
  fi
  pane 1201 | grep -q "^PC  $(marked)" || fail "the mark at $(marked) is not where PC is"
done
[ "$(marked)" = 023E ] || fail "stepping did not reach the CALL at 023E"
key_to "$dbg" F11
gui_until 3 marked_is 0241 || fail "F11 on the CALL stopped at $(marked), not at 0241 after it"
pane 1201 | grep -q '^HL  FFFF' || fail "after stepping over the keyboard routine HL is not FFFF (no key)"

# Without the breakpoint the machine runs on at 50 frames a second.
gui_probe menu "$dbg" 1012
gui_wait_window Breakpoints 10 >/dev/null || fail "Breakpoints did not open from the debugger opened by a hit"
gui_probe select Breakpoints 703 0
gui_probe click Breakpoints 701
no_breakpoints() { [ -z "$(gui_probe rows Breakpoints 703)" ]; }
gui_until 3 no_breakpoints || fail "Delete left the breakpoint"
gui_probe close Breakpoints
close_debugger
gui_fps_settles 48 52 20 || fail "after the debugger the machine runs at $fps frames a second"
gui_probe exists "$dbg" && fail "the debugger opened again with no breakpoint"

# ---- the memory editor writes the first character of the display file ----
open_debugger "for the editor"
gui_probe menu "$dbg" 1010
gui_wait_window "Edit Memory" 10 >/dev/null || fail "Edit Memory did not open"
ed() { gui_probe text "Edit Memory" 1250 | sed 's/ *$//'; }
first_row() { ed | head -n 1 | cut -c1-4; }
first_row_is() { [ "$(first_row)" = "$1" ]; }
shows_byte() { ed | grep -q " $1 "; }
key_to "Edit Memory" Next Next Next Next Next Next Next Next Next Next Next Next Next Next Next Next
gui_until 3 first_row_is 4000 ||
  fail "16 Page Downs showed $(first_row), not 4000"
read -r lo hi < <(ed | head -n 1 | awk '{print $14, $15}')        # D_FILE at 400C
target=$((0x$hi$lo + 1))                                         # the top line's first character
moves=(); for ((i = 0; i < (target - 0x4000) / 16; i++)); do moves+=(Down); done
for ((i = 0; i < target % 16; i++)); do moves+=(Right); done
key_to "Edit Memory" "${moves[@]}" 2 6                           # 0x26: the letter A
gui_until 3 shows_byte 26 || fail "the editor does not show the byte typed"
gui_probe close "Edit Memory"
close_debugger
screen_a() { gui_screen_text 1 "$gx" "$gy" 2>/dev/null | head -n 1 | grep -q "^A"; }
gui_until 10 screen_a || fail "the screen's first character is not the A typed: $(gui_screen_text 1 "$gx" "$gy" | head -n 1)"

# ---- Find: the code pane moves to the first place the ROM calls the keyboard routine ----
open_debugger "for Find"
gui_probe menu "$dbg" 1046
gui_wait_window Find 10 >/dev/null || fail "Edit, Find did not open"
gui_probe settext Find 1180 "#02BB"
gui_probe click Find 1185
found=$(python3 -c "import sys; print(open(sys.argv[1],'rb').read().find(bytes([0xBB,2])))" "$rom_file")
top_in_range() { local a; a=$(pane 1203 | head -n 1 | cut -c2-5); [ $((0x$a)) -ge "$found" ] && [ $((0x$a)) -le $((found + 3)) ]; }
gui_until 5 top_in_range || fail "Find put $(pane 1203 | head -n 1) at the top, not the line at $(printf %04X "$found")"
gui_press Find Cancel

# ---- Disassemble To File writes what the CLI writes ----
gui_probe menu "$dbg" 1009
gui_wait_window "Disassemble To File" 10 >/dev/null || fail "Tools, Disassemble to File did not open"
gui_probe settext "Disassemble To File" 353 "0"
gui_probe settext "Disassemble To File" 354 "300"
gui_probe click "Disassemble To File" 600
listing="$WREN81_GUI_WORK/listing.txt"
gui_probe click "Disassemble To File" 250
save_as "$listing" "Disassemble To File"
gui_wait_gone "$(window_named "Disassemble To File")" 10
"$cli" --roms "$roms" --model 2 --hex --disassemble 0 300 > "$WREN81_GUI_WORK/cli_listing.txt"
tr -d '\r' < "$listing" | diff - "$WREN81_GUI_WORK/cli_listing.txt" >&2 || fail "Disassemble To File differs from wren81-cli --disassemble"

# ---- System Variables lists the table with its values ----
gui_probe menu "$dbg" 1017
gui_wait_window "System Variables" 10 >/dev/null || fail "Tools, System Variables did not open"
gui_probe rows "System Variables" 1240 | cut -f1,2 > "$WREN81_GUI_WORK/sysvars"
"$cli" --roms "$roms" --model 2 --sysvars | cut -f1,2 | diff "$WREN81_GUI_WORK/sysvars" - >&2 || fail "the System Variables rows differ from wren81-cli --sysvars"
prbuff=$(gui_probe rows "System Variables" 1240 | grep '^PRBUFF' | cut -f3 | tr ',' '\n' | wc -l)
[ "$prbuff" = 33 ] || fail "PRBUFF shows $prbuff values, not 33"

# ---- places: moved windows open there again, after a restart too ----
where() { xdotool getwindowgeometry --shell "$1" | sed -n 's/^[XY]=//p' | tr '\n' ' '; }
sid=$(window_named "System Variables")
xdotool windowmove "$sid" 222 111; xdotool windowmove "$did" 123 77
sleep 0.5
sys_at=$(where "$sid") dbg_at=$(where "$did")
gui_probe close "System Variables"
close_debugger

# ---- PC log One frame: one line per instruction, T-states rising ----
log="$WREN81_GUI_WORK/frame.log"
gui_probe command 129
save_as "$log" "PC log One frame"
logged() { [ -s "$log" ] && [ "$(stat -c %s "$log")" = "$(sleep 0.3; stat -c %s "$log")" ]; }
gui_until 10 logged || fail "PC log One frame wrote nothing"
python3 - "$log" "$rom_file" <<'EOF' || fail "the one-frame PC log is not one line per instruction"
import re, sys
lines = open(sys.argv[1], newline='').read().replace('\r\n', '\n').splitlines()
form = re.compile(r'PC = ([0-9A-F]{4})  HL = [0-9A-F]{4}  tstate = (\d{5,})  \S')
t = [int(m.group(2)) for m in map(form.match, lines) if m]
assert len(t) == len(lines) and 2000 < len(lines) < 30000, len(lines)
assert all(a < b for a, b in zip(t, t[1:])), "T-states do not rise"
EOF

gui_quit "$id" || fail "Quit did not close the program"
gui_start "$app"
id=$(gui_wait_window "Wren81 v0.020" 60) || fail "the program did not start again"
gui_wait_k 1 >/dev/null
open_debugger "after a restart"
[ "$(where "$did")" = "$dbg_at" ] || fail "the debugger opened at $(where "$did"), not where it was moved ($dbg_at)"
gui_probe menu "$dbg" 1017
sid=$(gui_wait_window "System Variables" 10) || fail "System Variables did not open after the restart"
[ "$(where "$sid")" = "$sys_at" ] || fail "System Variables opened at $(where "$sid"), not at $sys_at"
exit 0
