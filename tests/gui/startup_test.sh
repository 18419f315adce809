#!/usr/bin/env bash
# The program starts under Wine, shows its main window, and closes when asked.
source "$(dirname "$0")/lib.sh"
app=$(gui_install)
(cd "$app" && wine ./wren81.exe >/dev/null 2>&1 &)
id=$(gui_wait_window "Wren81 v0.020" 60) || fail "main window 'Wren81 v0.020' did not appear"
xdotool windowclose "$id" 2>/dev/null || xdotool key --window "$id" alt+F4
gui_wait_gone "$id" 20 || fail "main window did not close"
