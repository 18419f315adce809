#!/usr/bin/env bash
# The sound output paces the emulation: the status bar follows the emulation speed
# setting. Without a sound device the program says so once and the clock paces it.
source "$(dirname "$0")/lib.sh"
app=$(gui_install)

# Sums ten one-second readings of the frames-per-second figure.
fps_over_ten_seconds() {
  local i sum=0 fps
  for ((i = 0; i < 10; i++)); do
    sleep 1
    fps=$(gui_probe status 1 | tr -dc 0-9)
    sum=$((sum + ${fps:-0}))
  done
  echo "$sum"
}

# At full speed the sound card holds the machine to 50 frames a second: within 2%
# over ten seconds, once it has settled.
read -r id _ < <(gui_start_at_k "$app") || fail "the program did not start to the K cursor at 100%"
gui_fps_settles 49 51 || fail "at 100% the frame rate does not settle at 50"
frames=$(fps_over_ten_seconds)
[ "$frames" -ge 490 ] && [ "$frames" -le 510 ] || fail "at 100%, $frames frames in ten seconds"
gui_quit "$id" || fail "did not quit at 100%"

# speed in percent, and the frames per second it must settle to (about +-4%).
for case in "200 96 104" "50 24 26"; do
  read -r speed low high <<< "$case"
  read -r id _ < <(gui_start_at_k "$app" "opt_emulation_speed=$speed") || fail "no K cursor at $speed%"
  gui_fps_settles "$low" "$high" || fail "at $speed% the status bar shows ${fps:-no} frames a second"
  gui_quit "$id" || fail "did not quit at $speed%"
done

# No sound driver at all: DirectSound cannot make its device object. One box names
# that step, and the clock holds the machine to 50 frames a second.
gui_write_config "$app"
WINEDLLOVERRIDES="$WINEDLLOVERRIDES;winepulse.drv,winealsa.drv,wineoss.drv=d" gui_start "$app"
gui_expect_error "3D - DirectSound: Failed to create Directsound object" 60
id=$(gui_wait_window "Wren81 v0.020" 30) || fail "main window did not appear after the box"
gui_wait_k 1 >/dev/null || fail "no K cursor without sound"
gui_probe exists "Wren81 Error" && fail "a second error box: $(gui_probe box "Wren81 Error")"
gui_fps_settles 49 51 || fail "without sound the status bar shows ${fps:-no} frames a second"
gui_quit "$id" || fail "did not quit without sound"
