#!/usr/bin/env bash
# The Options sheet: sound changes rebuild the output, which goes on pacing the
# machine in its new format; a new model resets the machine on OK; Cancel puts
# the settings back; the focus pause; what OK kept is saved on quitting.
source "$(dirname "$0")/lib.sh"
app=$(gui_install)
read -r id gx gy < <(gui_start_at_k "$app") || fail "the program did not start to the K cursor"

sheet="Wren81 Options"
open_sheet() {
  gui_probe command 121
  gui_wait_window "$sheet" 20 >/dev/null || fail "Options did not open the sheet"
}
# Shows page $1 and checks that control $2 reads $3.
expect_text() {
  local got
  got=$(gui_probe text "$sheet" "$1")
  [ "$got" = "$2" ] || fail "$3: control $1 reads '$got', not '$2'"
}

open_sheet
expect_text 2005 "100%" "the speed label on opening"
gui_probe page "$sheet" 3                    # Sound
expect_text 2055 "8 frames" "the buffer label on opening"
gui_probe pick "$sheet" 2052 0               # 11025
gui_probe pick "$sheet" 2053 0               # 8 bits
gui_probe click "$sheet" 2051                # Stereo off
gui_probe slide "$sheet" 2054 20
expect_text 2055 "20 frames" "the buffer label after sliding"
gui_probe page "$sheet" 0                    # Emulation
gui_probe slide "$sheet" 2004 200
expect_text 2005 "200%" "the speed label after sliding"
gui_probe page "$sheet" 1                    # Hardware
gui_probe click "$sheet" 2014                # ZX81 with 16K Expansion
gui_press "$sheet" OK || fail "OK did not close the sheet"

# The new model has reset the machine: the status bar names it and the ROM starts afresh.
model_shown() { [ "$(gui_probe status 0)" = "$1" ]; }
gui_until 5 model_shown " ZX81 16K RAM" || fail "after OK the model shows '$(gui_probe status 0)'"
gui_wait_k 1 30 >/dev/null || fail "no K cursor after the reset"
# The rebuilt output (11025 Hz, 8-bit mono, 20 blocks) paces the machine at 200%.
gui_fps_settles 96 104 15 || fail "at 200% after the rebuild: ${fps:-no} frames a second"

# The sheet opens on what OK kept; a new model, a tapes folder and Direct 3D are cancelled.
open_sheet
gui_probe page "$sheet" 3
expect_text 2055 "20 frames" "the buffer label on opening again"
# A folder chosen in the browser shows in the Tapes field, as a folder.
gui_probe page "$sheet" 4                    # Folders
gui_probe click "$sheet" 2063
gui_wait_window "Browse for Folder" 20 >/dev/null || fail "the Tapes browse button opened no browser"
sleep 0.5                                    # it opens on the Desktop
gui_press "Browse for Folder" OK || fail "the folder browser did not close"
chosen=$(gui_probe text "$sheet" 2062)
[[ "$chosen" =~ ^C:\\users\\.+\\Desktop\\$ ]] || fail "the Tapes field after choosing the Desktop reads '$chosen'"
gui_probe page "$sheet" 1
gui_probe click "$sheet" 2016                # ZX81 with 48K Expansion
gui_probe page "$sheet" 2                    # Display
gui_probe click "$sheet" 2032                # Direct 3D
gui_press "$sheet" Cancel || fail "Cancel did not close the sheet"
gui_until 3 frames_counted
[ "$(gui_probe status 0)" = " ZX81 16K RAM" ] || fail "after Cancel the model shows '$(gui_probe status 0)'"

# "Pause emulation when Wren81 loses focus": off, another window in front changes
# nothing; ticked in the sheet, the machine stops until the focus comes back.
fps_while_focus_is_away() {
  gui_probe steal 4 &
  sleep 3
  gui_probe status 1 | tr -dc 0-9
  wait
}
away=$(fps_while_focus_is_away)
[ "${away:-0}" -gt 0 ] || fail "with the pause unticked, losing the focus stopped the machine"
open_sheet
gui_probe click "$sheet" 2003
gui_press "$sheet" OK || fail "OK did not close the sheet"
gui_until 5 frames_counted || fail "the machine did not run on after OK"
away=$(fps_while_focus_is_away)
[ "$away" = 0 ] || fail "with the pause ticked, the machine ran on without the focus: $away frames a second"
gui_until 5 frames_counted || fail "the machine stayed paused with the focus back"

gui_quit "$id" || fail "did not quit"
saved=$(tr -d '\r' < "$(gui_config)")
for line in opt_emulation_speed=200 opt_focus_on=1 opt_model_type=4 opt_draw_mode=0 opt_Direct3D=0 opt_stereo=0 \
            opt_freq=11025 opt_soundbits=8 opt_num_buffers=20 'opt_current_tap_dir=.*tapes\\ '; do
  grep -qx -- "$line" <<< "$saved" || fail "the saved file lacks $line"
done
