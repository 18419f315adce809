#!/usr/bin/env bash
# The DirectDraw and Direct3D outputs show the same picture as GDI at 100% and
# 200%, and with Scanlines on darken every second picture row; Direct3D needs no
# D3DX library; a method that cannot start says so once and GDI takes over.
source "$(dirname "$0")/lib.sh"
app=$(gui_install)
sheet="Wren81 Options"

# Clicks the Display page's controls named by their ids, then OK.
options_display() {
  local control
  gui_probe command 121
  gui_wait_window "$sheet" 20 >/dev/null || fail "Options did not open the sheet"
  gui_probe page "$sheet" 2
  for control in "$@"; do gui_probe click "$sheet" "$control" || fail "no control $control on the Display page"; done
  gui_press "$sheet" OK || fail "OK did not close the sheet"
}
gdi=2030 directdraw=2031 direct3d=2032 scanlines=2033

# Waits up to 10 s for the picture at draw size $2 to equal the reference grab $3
# of draw size 1 pixel for pixel; $1 names the method.
expect_picture() {
  local name=$1 scale=$2 reference=$3
  gui_until 10 picture_is "$scale" "$reference" ||
    fail "$name at draw size $scale: client $w x $h, ${n:-all} pixels differ from the reference"
}
picture_is() {
  local raw="$WREN81_GUI_WORK/method.rgb"
  n=""
  read -r w h < <(gui_grab "$raw")
  [ "$w $h" = "$((384 * $1 + 10)) $((296 * $1 + 10 + bar))" ] &&
    n=$(python3 "$here/screen.py" same "$2" 394 $((306 + bar)) 5 5 "$raw" "$w" "$h" 5 5 384 296 "$1") && [ "$n" = 0 ]
}

# Waits up to 10 s for the first picture row (top border) to turn 0xAAAAAA while
# the second stays 0xCACACA, at 100%; $1 names the method.
expect_scanlines() {
  gui_until 10 rows_are "AAAAAA CACACA " || fail "$1 with Scanlines: the first two rows show $rows, expected AAAAAA then CACACA"
}
rows_are() {
  read -r w h < <(gui_grab "$WREN81_GUI_WORK/scan.rgb")
  rows=$(for y in 5 6; do python3 "$here/screen.py" colours "$WREN81_GUI_WORK/scan.rgb" "$w" "$h" 5 "$y" 384 1; done | tr '\n' ' ')
  [ "$rows" = "$1" ]
}

# Started in DirectDraw at 100%: the K cursor, drawn as wren81-cli draws it where that is built.
read -r id _ < <(gui_start_at_k "$app" opt_GDI=0 opt_DirectDraw=1 opt_draw_mode=1) || fail "DirectDraw at 100%: no K cursor"
bar=$(gui_probe statusbar)
first="$WREN81_GUI_WORK/directdraw.rgb"
read -r w h < <(gui_grab "$first")
[ "$w $h" = "394 $((306 + bar))" ] || fail "DirectDraw at 100%: client $w x $h"
n=$(gui_cli_differences "$first" "$w" "$h") || fail "wren81-cli --screenshot failed"
[ "$n" = 0 ] || fail "DirectDraw: $n pixels differ from the picture of wren81-cli"

# GDI's picture is the reference; each method must match it, doubled at 200%.
options_display $gdi
reference="$WREN81_GUI_WORK/gdi.rgb"
expect_picture GDI 1 "$first"
gui_grab "$reference" >/dev/null
gui_probe command 136  # View > 200%
expect_picture GDI 2 "$reference"
options_display $directdraw
expect_picture DirectDraw 2 "$reference"
options_display $direct3d
expect_picture "Direct 3D" 2 "$reference"
gui_probe command 135  # View > 100%
expect_picture "Direct 3D" 1 "$reference"

options_display $scanlines
expect_scanlines "Direct 3D"
options_display $directdraw
expect_scanlines DirectDraw

gui_quit "$id" || fail "did not quit"
wineserver -w

# A stock Windows has no d3dx9_43.dll: Direct3D needs only d3d9.dll and draws the
# same picture without it.
gui_write_config "$app" opt_GDI=0 opt_Direct3D=1 opt_draw_mode=2
WINEDLLOVERRIDES="$WINEDLLOVERRIDES;d3dx9_43=d" gui_start "$app"
id=$(gui_wait_window "Wren81 v0.020" 60) || fail "main window did not appear without D3DX"
gui_wait_k 1 60 >/dev/null || fail "Direct3D without D3DX: no K cursor"
gui_probe exists "Wren81 Error" && fail "Direct3D without D3DX: $(gui_probe box 'Wren81 Error')"
expect_picture "Direct 3D without D3DX" 1 "$reference"
gui_quit "$id" || fail "did not quit"
wineserver -w

# An output method that cannot start says so once, and GDI draws the picture instead.
gui_write_config "$app" opt_GDI=0 opt_Direct3D=1 opt_draw_mode=2
WINEDLLOVERRIDES="$WINEDLLOVERRIDES;d3d9=d" gui_start "$app"
id=$(gui_wait_window "Wren81 v0.020" 60) || fail "main window did not appear without d3d9.dll"
gui_expect_error "32 - Direct3D: Failed to create Direct3D object" 30
gui_wait_k 1 60 >/dev/null || fail "after the Direct3D error GDI shows no K cursor"
gui_probe exists "Wren81 Error" && fail "a second box: $(gui_probe box 'Wren81 Error')"
gui_quit "$id" || fail "did not quit"
exit 0
