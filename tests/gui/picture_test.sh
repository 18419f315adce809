#!/usr/bin/env bash
# The ZX81 picture in the main window: the K cursor after the ZX81 starts, with
# each border preset, in full screen, and in each colour (200%: output_methods_test).
source "$(dirname "$0")/lib.sh"
app=$(gui_install)
read -r id _ < <(gui_start_at_k "$app") || fail "the program did not start to the K cursor"
bar=$(gui_probe statusbar)
full="$WREN81_GUI_WORK/full.rgb"
read -r w h < <(gui_grab "$full")
[ "$w $h" = "394 $((306 + bar))" ] || fail "Full Border at 100%: client $w x $h, expected 394 x $((306 + bar))"

# The same picture as wren81-cli renders for the same start.
n=$(gui_cli_differences "$full" "$w" "$h") || fail "wren81-cli --screenshot failed"
[ "$n" = 0 ] || fail "$n pixels differ from the picture of wren81-cli"

# Each border preset, chosen in the menu View > Border Size by its underlined
# letter, cuts its trims out of the full picture: left, right, top, bottom.
check_preset() {
  local letter=$1 l=$2 r=$3 t=$4 b=$5 name=$6 raw="$WREN81_GUI_WORK/preset.rgb" pw ph extra=0 n
  xdotool windowfocus --sync "$id" 2>/dev/null
  xdotool key alt+v b "$letter"
  pw=$((384 - l - r)); ph=$((296 - t - b))
  gui_until 5 client_width_is $((pw + 10))
  # The narrowest window has 19 more rows for a menu bar that takes two lines;
  # the client area keeps what the second menu line does not take.
  [ "$t" = 58 ] && extra=19
  read -r w h < <(gui_grab "$raw")
  [ "$w" = $((pw + 10)) ] && [ "$h" -ge $((ph + 10 + bar)) ] && [ "$h" -le $((ph + 10 + bar + extra)) ] ||
    fail "$name: client $w x $h, expected $((pw + 10)) x $((ph + 10 + bar)) (+$extra at most)"
  n=$(python3 "$here/screen.py" same "$full" 394 $((306 + bar)) $((5 + l)) $((5 + t)) \
      "$raw" "$w" "$h" 5 5 "$pw" "$ph" 1)
  [ "$n" = 0 ] || fail "$name: $n pixels differ from the full picture"
}
check_preset m 40 24 32 24 "Medium Border"
check_preset n 74 54 58 48 "No Border"
check_preset f 0 0 0 0 "Full Border"

# Full screen and back with F4.
read -r wx wy ww wh < <(gui_probe window)
window_is() { [ "$(gui_probe window)" = "$1" ]; }
xdotool windowfocus --sync "$id" 2>/dev/null; xdotool key F4
gui_until 5 window_is "0 0 720 576" || fail "F4: window $(gui_probe window), expected 0 0 720 576"
read -r x y _ < <(gui_probe client)
import -window root -crop "720x576+$x+$y" +repage -depth 8 "rgb:$WREN81_GUI_WORK/fs.rgb"
colours=$(python3 "$here/screen.py" colours "$WREN81_GUI_WORK/fs.rgb" 720 576 0 0 720 576 | sort | tr '\n' ' ')
[ "$colours" = "000000 CACACA " ] || fail "full screen shows colours $colours"
xdotool key F4
gui_until 5 window_is "$wx $wy $ww $wh" || fail "after F4 again: $(gui_probe window), expected $wx $wy $ww $wh"

# The colour schemes, read from the configuration file.
colours_are() {
  read -r w h < <(gui_grab "$full") &&
    colours=$(python3 "$here/screen.py" colours "$full" "$w" "$h" 5 5 384 296 | sort | tr '\n' ' ') &&
    [ "$colours" = "$1" ]
}
gui_probe command 135
for scheme in "1 FFFFFF" "2 00B500" "3 B68000" "0 CACACA"; do
  set -- $scheme
  gui_write_config "$app" "opt_colours=$1"
  gui_probe command 138
  gui_until 10 colours_are "000000 $2 " || fail "opt_colours=$1 shows $colours, expected 000000 $2"
done
gui_quit "$id" || fail "did not quit"
exit 0
