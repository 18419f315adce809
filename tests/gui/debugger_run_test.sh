#!/usr/bin/env bash
# The debugger's runs and stack tools, and the smaller windows of the Debug menu:
# Specified T-State stops at the T-state asked for; PUSH Value puts a typed number on
# the stack and POP Value takes it into a register pair; View Registers steps with its
# own keys; View Disassembly lists the ROM from address 0.
source "$(dirname "$0")/lib.sh"
source "$here/debugger_lib.sh"
app=$(gui_install)
read -r id gx gy < <(gui_start_at_k "$app") || exit 1
open_debugger "at the K cursor"
reg() { pane 1201 | sed -n "s/^$1  *\([0-9A-F]\{4\}\).*/\1/p"; }
tstates() { pane 1201 | sed -n 's/.*TStates: *\([0-9]*\).*/\1/p'; }

# Specified T-State steps to the first instruction boundary at or after it.
gui_probe menu "$dbg" 1039
gui_wait_window "Run Until T-State" 10 >/dev/null || fail "Specified T-State did not ask for the T-state"
gui_probe settext "Run Until T-State" 1021 30000
gui_press "Run Until T-State" OK || fail "the T-state question did not close"
at_30000() { local t; t=$(tstates); [ "${t:-0}" -ge 30000 ] && [ "$t" -lt 30030 ]; }
gui_until 10 at_30000 || fail "Specified T-State 30000 stopped at T-state $(tstates)"

# PUSH #1234, then POP it into BC: the Stack tab and the register pane show it.
sp=$(reg SP)
gui_probe menu "$dbg" 1014
gui_wait_window "PUSH Value" 10 >/dev/null || fail "PUSH Value did not open"
gui_probe settext "PUSH Value" 1300 "#1234"
gui_press "PUSH Value" OK || fail "PUSH Value did not close"
pushed() { gui_probe rows "$dbg" 1210 | head -n 1 | grep -q "^$(printf %04X $((0x$sp - 2)))	1234"; }
gui_until 5 pushed || fail "the Stack tab starts '$(gui_probe rows "$dbg" 1210 | head -n 1)' after PUSH #1234 at SP $sp"
gui_probe menu "$dbg" 1015
gui_wait_window "POP Value" 10 >/dev/null || fail "POP Value did not open"
gui_probe pick "POP Value" 1301 1
gui_press "POP Value" OK || fail "POP Value did not close"
popped() { [ "$(reg BC)" = 1234 ] && [ "$(reg SP)" = "$sp" ]; }
gui_until 5 popped || fail "POP into BC left BC $(reg BC) and SP $(reg SP) (SP was $sp)"
close_debugger

# View Registers: F9 steps one instruction.
gui_probe command 130
gui_wait_window "View Registers" 10 >/dev/null || fail "Debug, View Registers did not open"
regs() { gui_probe text "View Registers" 1201 | sed -n 's/^PC  \(....\).*/\1/p'; }
pc_is_not() { local p; p=$(regs); [ -n "$p" ] && [ "$p" != "$1" ]; }
before=$(regs)
key_to "View Registers" F9
gui_until 5 pc_is_not "$before" || fail "F9 in View Registers left PC at $before"
# F8 runs to the end of the frame, where the T-state count stays until the next command.
key_to "View Registers" F8
frame_end() { local t; t=$(gui_probe text "View Registers" 1201 | sed -n 's/.*TStates: *\([0-9]*\).*/\1/p'); [ "${t:-0}" -ge 64584 ]; }
gui_until 10 frame_end || fail "F8 in View Registers did not run to the end of the frame"
gui_probe close "View Registers"
gui_wait_gone "$(window_named "View Registers")" 10 || fail "View Registers did not close"

# View Disassembly: the ROM from address 0, 40 lines.
gui_probe command 127
gui_wait_window "Disassembly" 10 >/dev/null || fail "Debug, View Disassembly did not open"
listing=$(gui_probe text "Disassembly" 1206)
[ "$(echo "$listing" | wc -l)" = 40 ] || fail "View Disassembly shows $(echo "$listing" | wc -l) lines, not 40"
[ "$(echo "$listing" | head -n 2 | sed 's/ *$//')" = "$("$cli" --roms "$roms" --hex --disassemble 0 2 | sed 's/ *$//')" ] ||
  fail "View Disassembly starts '$(echo "$listing" | head -n 2)'"
gui_fps_settles 48 52 20 || fail "with View Disassembly open the machine runs at $fps frames a second"
exit 0
