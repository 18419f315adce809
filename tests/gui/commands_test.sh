#!/usr/bin/env bash
# The menu commands and function keys: the status bar, Esc, F2, F3, Hard Reset,
# About, Display Keyboard and Save Screenshot.
source "$(dirname "$0")/lib.sh"
app=$(gui_install)
read -r id gx gy < <(gui_start_at_k "$app") || fail "the program did not start to the K cursor"
status_is() { [ "$(gui_probe status "$1")" = "$2" ]; }
gui_until 5 status_is 0 " ZX81 4K RAM"

[ "$(gui_probe status 0)" = " ZX81 4K RAM" ] || fail "model shows '$(gui_probe status 0)'"
# The frame rate itself is the sound test's; here the parts read as they should.
[[ "$(gui_probe status 1)" =~ ^\ Frames\ Per\ Second:\ [0-9]+\ $ ]] || fail "frames part reads '$(gui_probe status 1)'"
[[ "$(gui_probe status 2)" =~ ^\ Speed:\ [0-9]+%$ ]] || fail "the speed part reads '$(gui_probe status 2)'"
[ "$(gui_probe status 3 | tr -d ' ')" = "" ] || fail "at 100% the file part shows '$(gui_probe status 3)'"

# Each part is wide enough for its text (the file part only needs to be there).
status_fits() {
  local part width text
  while read -r part width text; do
    [ "$part" = 3 ] || [ "$width" -ge "$text" ] || { echo "part $part is $width pixels for a text of $text"; return 1; }
  done < <(gui_probe statusfit)
}
status_fits || fail "at 100%: $(status_fits)"

# Esc stops the frames and starts them again.
xdotool key Escape
gui_until 5 status_is 1 " Frames Per Second: 0 " || fail "Esc did not pause: $(gui_probe status 1)"
xdotool key Escape
gui_until 5 not status_is 1 " Frames Per Second: 0 " || fail "Esc again did not resume"

# F2 runs as fast as the host allows, F2 again back to real time.
speed_now() { gui_probe status 2 | tr -dc 0-9; }
speed_above() { [ "$(speed_now)" -gt "$1" ]; }
xdotool key F2
gui_until 6 speed_above 200 || fail "F2: speed only $(speed_now)%"
xdotool key F2
gui_until 6 not speed_above 104 || fail "F2 again: speed still $(speed_now)%"

# F3 (an NMI) leaves the ZX81 running.
xdotool key F3
gui_wait_k 1 >/dev/null || fail "no K cursor after F3"

# Hard Reset restarts the ROM and clears the screen.
first_line_is() { [ "$(gui_screen_text 1 "$gx" "$gy" | sed -n 1p)" = "$1" ]; }
gui_type p 5 Return
gui_until 5 first_line_is 5 || fail "PRINT 5 did not print"
gui_probe command 134
gui_until 10 first_line_is "" || fail "the screen was not cleared by Hard Reset"
gui_wait_k 1 >/dev/null || fail "no K cursor after Hard Reset"

# About is a box of the main window.
gui_probe command 108
gui_wait_box "Wren81 v0.020" 10 | grep -q "^Version 0.020" || fail "the About box shows no version"
gui_press "Wren81 v0.020" OK

# Display Keyboard: a window of its own, closed on request.
gui_probe command 141
kid=$(gui_wait_window "ZX81 Keyboard" 10) || fail "Display Keyboard opened nothing"
gui_probe close "ZX81 Keyboard"
gui_wait_gone "$kid" 10 || fail "the keyboard window did not close"

# Save Screenshot: a 32-bit BMP of the picture's size; ".bmp" is always added.
gui_probe command 136
gui_until 5 client_width_is 778 || fail "200% did not size the window"
status_fits || fail "at 200%: $(status_fits)"
gui_probe command 112
gui_wait_window "Save BMP" 20 >/dev/null || fail "Save Screenshot opened no dialog"
win=$(gui_winpath "$app")
gui_probe settext "Save BMP" 1148 "$win\\shot" || gui_probe settext "Save BMP" 1152 "$win\\shot" ||
  fail "no file name box in the Save BMP dialog"
gui_press "Save BMP" Save || fail "the Save BMP dialog did not close"
gui_until 5 [ -f "$app/shot.bmp" ]
[ -f "$app/shot.bmp" ] || fail "no shot.bmp written: $(ls "$app")"
size=$(stat -c %s "$app/shot.bmp")
[ "$size" = $((54 + 768 * 592 * 4)) ] || fail "shot.bmp is $size bytes, expected $((54 + 768 * 592 * 4))"
read -r w h < <(gui_grab "$WREN81_GUI_WORK/double.rgb")
n=$(python3 "$here/screen.py" compare "$WREN81_GUI_WORK/double.rgb" "$w" "$h" 0 0 1 "$app/shot.bmp" 0 0 768 592)
[ "$n" = 0 ] || fail "shot.bmp differs from the window in $n pixels"

# Full screen (F4) and back: the status bar is back, and its parts still fit.
xdotool windowfocus --sync "$id" 2>/dev/null
xdotool key F4
gui_until 10 client_width_is 720 || fail "F4 did not go full screen"
xdotool key F4
gui_until 10 client_width_is 778 || fail "F4 again did not come back to 200%"
status_fits || fail "after full screen: $(status_fits)"
gui_quit "$id" || fail "did not quit"
exit 0
