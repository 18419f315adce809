#!/usr/bin/env bash
# The host keyboard reaches the ZX81 (letters, digits, Shift, Backspace as RUBOUT,
# the arrow keys as cursor keys), and so do the Keyboard Helper's buttons.
source "$(dirname "$0")/lib.sh"
app=$(gui_install)
read -r id gx gy < <(gui_start_at_k "$app") || fail "the program did not start to the K cursor"

# PRINT 2+2: P is PRINT in K mode, Shift+K is "+".
gui_type p 2 shift+k 2 Return
gui_until 5 screen_line_is 1 4 || fail "PRINT 2+2 shows: $(gui_screen_text 1 "$gx" "$gy" | sed -n "1p;24p" | tr "\n" "|")"

# Editing: a quote from Shift+P, RUBOUT from Backspace, the cursor moved left.
gui_type p shift+p a shift+p BackSpace BackSpace 1 2 Left 3
gui_until 5 screen_line_is 24 'PRINT "13l2' ||
  fail "edit line reads '$(gui_screen_text 1 "$gx" "$gy" | sed -n 24p)', expected 'PRINT \"13l2' (l: the cursor)"
gui_type Right shift+p Return
gui_until 5 screen_line_is 1 132 || fail "PRINT \"132\" shows: $(gui_screen_text 1 "$gx" "$gy" | sed -n "1p;24p" | tr "\n" "|")"

# The Keyboard Helper types by clicks: PRINT 7, NEWLINE; a click on SPACE lets go.
gui_probe command 147
hid=$(gui_wait_window "Wren Keyboard Helper" 10) || fail "the Keyboard Helper did not open"
# A click makes the helper the active window; without a window manager, Xvfb needs telling.
xdotool windowfocus --sync "$hid" 2>/dev/null
text_is_not() { [ "$(gui_screen_text 1 "$gx" "$gy")" != "$1" ]; }
# Clicks button $1, then SPACE once the screen shows it taken; clicks again if not.
click_key() {
  local x y sx sy before try
  read -r x y < <(gui_probe control "Wren Keyboard Helper" "$1") || fail "no button $1"
  read -r sx sy < <(gui_probe control "Wren Keyboard Helper" 739) || fail "no SPACE button"
  before=$(gui_screen_text 1 "$gx" "$gy")
  for ((try = 0; try < 3; try++)); do
    xdotool mousemove "$x" "$y" click 1
    gui_until 2 text_is_not "$before" && try=3  # the key stays down until SPACE lets go
    xdotool mousemove "$sx" "$sy" click 1
    sleep 0.3
  done
}
click_key 719   # P: PRINT
click_key 706   # 7
click_key 729   # NEWLINE
gui_until 5 screen_line_is 1 7 || fail "the helper's PRINT 7 shows: $(gui_screen_text 1 "$gx" "$gy" | head -n 1)"
gui_quit "$id" || fail "did not quit"
exit 0
