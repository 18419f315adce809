#!/usr/bin/env bash
# The calculator window: opened from the Tools menu once, it computes left to right,
# shows its errors in the display, enables A to F only in HEX, and opens again
# where it was last closed or moved; its place is saved on quitting.
source "$(dirname "$0")/lib.sh"
app=$(gui_install)
gui_write_config "$app" "Calculator=123"
sed -i 's/^Calculator=400\r$/Calculator=234\r/' "$(gui_config)"   # the pair's second line
gui_start "$app"
id=$(gui_wait_window "Wren81 v0.020" 60) || fail "main window did not appear"

calc="Wren81 Calculator"
open_calc() {
  gui_probe command 122
  cid=$(gui_wait_window "$calc" 10) || fail "Calculator did not open the calculator"
  sleep 0.3
}
# The top-left corner of the window's client area on screen, "x y" (what X sees).
corner() { xdotool getwindowgeometry --shell "$cid" | tr '\n' ' ' | sed -E 's/.*X=([-0-9]+) Y=([-0-9]+).*/\1 \2/'; }
# Clicks the buttons by id, then checks what the display shows.
keys() { local k; for k in "$@"; do gui_probe click "$calc" "$k"; done; }
# The program takes one message per frame, so a few clicks may take a moment.
display() { gui_probe text "$calc" 94 | sed 's/^ *//'; }
display_is() { [ "$(display)" = "$1" ]; }
expect_display() { gui_until 3 display_is "$1" || fail "$2: the display shows '$(display)', not '$1'"; }
# A real mouse click, which a disabled button ignores.
mouse_click() {
  local x y
  read -r x y < <(gui_probe control "$calc" "$1") || fail "no button $1"
  xdotool mousemove "$x" "$y" click 1
  sleep 0.3
}

open_calc
# The client area lies inside the frame and caption: a few pixels right, a caption lower.
read -r x y <<< "$(corner)"
dx=$((x - 123)) dy=$((y - 234))
[ "$dx" -ge 0 ] && [ "$dx" -le 10 ] && [ "$dy" -ge 10 ] && [ "$dy" -le 40 ] ||
  fail "the calculator's client area is at $x $y, not just inside its saved place 123 234"
expect_display 0 "on opening"
keys 51 68 52 70 53 66          # 1 + 2 * 3 =
expect_display 9 "1 + 2 * 3 ="
keys 57 69 50 66                # 7 / 0 =
expect_display "DIVIDE BY 0" "7 / 0 ="
keys 54 68 53 66                # 4 + 3 = starts afresh
expect_display 7 "4 + 3 = after the error"

mouse_click 92                  # CA
mouse_click 60                  # A, disabled in DEC
expect_display 0 "A clicked in DEC"
mouse_click 85                  # HEX
mouse_click 60
mouse_click 65                  # F
expect_display AF "A F clicked in HEX"
mouse_click 84                  # DEC carries the value
expect_display 175 "AF in DEC"

# A second command brings the one window forward; a move is kept on closing.
gui_probe command 122
sleep 0.5
[ "$(xdotool search --name "^$calc\$" | wc -l)" = 1 ] || fail "a second Calculator command opened a second window"
placed=$(corner)
xdotool windowmove "$cid" 321 201
corner_moved() { moved=$(corner) && [ "$moved" != "$placed" ]; }
gui_until 5 corner_moved || fail "the calculator did not move"
gui_probe close "$calc"
gui_wait_gone "$cid" 10 || fail "the close box did not close the calculator"
open_calc
[ "$(corner)" = "$moved" ] || fail "reopened at $(corner), not where it was closed ($moved)"
expect_display 0 "on opening again"

# Quitting with the calculator open closes it and saves where it is.
gui_quit || fail "Quit did not close the program"
gui_wait_gone "$id" 20 || fail "main window stayed after Quit"
gui_wait_gone "$cid" 5 || fail "the calculator stayed after Quit"
read -r mx my <<< "$moved"
saved=$(tr -d '\r' < "$(gui_config)" | grep '^Calculator=' | tr '\n' ' ')
[ "$saved" = "Calculator=$((mx - dx)) Calculator=$((my - dy)) " ] ||
  fail "the saved calculator place is '$saved' for a client area at $moved"
exit 0
