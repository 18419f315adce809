#!/usr/bin/env bash
# First start without a configuration, the file it writes, quitting with and
# without confirmation, and the window's place kept for the next start.
source "$(dirname "$0")/lib.sh"
app=$(gui_install)
config=$(gui_config)
rm -rf "$(gui_user_folder)"

gui_start "$app"
gui_expect_error "06 - Configuration file corrupt" 60
gui_expect_error "Creating new config file"
id=$(gui_wait_window "Wren81 v0.020" 30) || fail "main window did not appear after the boxes"
[ -f "$config" ] || fail "no $config after the first start"
cmp -s "$config" <(gui_default_config "$app") || {
  diff <(gui_default_config "$app") "$config" | head -5
  fail "the new configuration file does not hold every default"
}

# No at the question leaves the emulation running.
gui_probe command 109
text=$(gui_wait_box "Exit" 10) || fail "Quit asked nothing"
[ "$text" != "${text#*Are you sure you want to quit Wren81?}" ] || fail "Exit box says: $text"
gui_press "Exit" No || fail "the Exit box did not close on No"
gui_until 5 frames_counted || fail "emulation stopped after No: '$(gui_probe status 1)'"

# Move the window, then quit with Yes: the place is kept.
before=$(gui_probe window | cut -d' ' -f1,2)
moved() { read -r left top _ < <(gui_probe window) && [ "$left $top" != "$before" ]; }
xdotool windowmove "$id" 130 170
gui_until 5 moved || fail "the window did not move from $before"
gui_quit "$id" || fail "Quit with Yes did not close the program"
grep -q $'^Main Window='"$left"$'\r$' "$config" && grep -q $'^Main Window='"$top"$'\r$' "$config" ||
  fail "position $left,$top not kept: $(grep 'Main Window' "$config" | tr -d '\r' | tr '\n' ' ')"

# The next start is quiet and puts the window back.
gui_start "$app"
id=$(gui_wait_window "Wren81 v0.020" 60) || fail "main window did not appear at the second start"
gui_until 10 frames_counted
gui_probe exists "Wren81 Error" && fail "the second start showed: $(gui_probe box 'Wren81 Error')"
frames_counted || fail "no frames at the second start"
read -r left2 top2 _ < <(gui_probe window)
[ "$left2 $top2" = "$left $top" ] || fail "window at $left2,$top2, expected $left,$top"

# With the question switched off, Quit ends at once.
gui_write_config "$app" "opt_exit_msg=0"
gui_probe command 138  # Load Configuration, handled before the Quit that follows it
gui_probe command 109
gui_wait_gone "$id" 20 || fail "Quit without the question did not end the program"
gui_probe exists "Exit" && fail "Exit asked although opt_exit_msg is 0"

# Damaged and unwritable files are the native tests' (ConfigFile).
exit 0
