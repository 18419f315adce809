#!/usr/bin/env bash
# Program files: named on the command line, chosen with Load File (a folder with
# a space and characters outside the ANSI code page), dropped on the window;
# refusals that lose nothing; a missing ROM.
source "$(dirname "$0")/lib.sh"
app=$(gui_install)
programs="$shared_dir/programs"
mkdir -p "$app/progs/folder.p" "$app/my λ games"
cp "$programs/zx81-program.p" "$app/progs/sample.p"
cp "$programs/zx81-program.p" "$app/my λ games/sämple λ.p"
head -c 50000 /dev/zero > "$app/progs/huge.p"
head -c 60000 /dev/zero > "$app/progs/big.p"
: > "$app/progs/empty.p"
python3 -c 'import random, sys; random.seed(81); sys.stdout.buffer.write(bytes(random.randrange(256) for _ in range(3000)))' > "$app/progs/random.p"
echo "not a program" > "$app/progs/notes.txt"
win=$(gui_winpath "$app")
gui_write_config "$app" "opt_model_type=4" "opt_draw_size=2"

# LOAD "": J is LOAD in K mode, Shift+P the quote.
title_shown() { gui_screen_text "$1" "$gx" "$gy" 2>/dev/null | grep -q "ZX81 SAMPLE PROGRAM"; }
load_and_expect_title() {
  gui_type j shift+p shift+p Return
  gui_until 20 title_shown "$1" ||
    fail "$2: LOAD \"\" did not run the program; the screen reads: $(gui_screen_text "$1" "$gx" "$gy" | tr '\n' '|')"
}

# On the command line (at 200%; WREN81_SCREENSHOT_OUT names a file for a picture of it).
gui_start "$app" "$win\\progs\\sample.p"
id=$(gui_wait_window "Wren81 v0.020" 60) || fail "main window did not appear"
read -r gx gy < <(gui_wait_k 2) || fail "no K cursor"
xdotool windowfocus --sync "$id" 2>/dev/null
load_and_expect_title 2 "command line"
if [ -n "${WREN81_SCREENSHOT_OUT:-}" ]; then
  sleep 2
  read -r x y w h < <(gui_probe window)
  import -window root -crop "${w}x${h}+$x+$y" +repage "$WREN81_SCREENSHOT_OUT"
fi
gui_probe command 135
gui_until 5 client_width_is 394 || fail "View > 100% did not size the window"

# Dropped on the running program: a file of unknown extension, a folder named like a
# program, an empty file and one of 60 KB each give one message, and the program runs
# on untouched: the picture after the message is the one before it.
picture_bytes() { echo $(($1 * 3 * ($2 - $(gui_probe statusbar)))); }
same_picture() {
  read -r w h < <(gui_grab "$WREN81_GUI_WORK/after.rgb") &&
    cmp -s -n "$(picture_bytes "$w" "$h")" "$WREN81_GUI_WORK/before.rgb" "$WREN81_GUI_WORK/after.rgb"
}
refused_drop() {
  gui_grab "$WREN81_GUI_WORK/before.rgb" >/dev/null || fail "no grab before dropping $1"
  gui_probe drop "$win\\progs\\$1"
  gui_expect_error "$2" 10
  gui_until 5 same_picture || fail "the picture changed after dropping $1"
  gui_probe exists "Wren81 Error" && fail "a second message after dropping $1: $(gui_probe box 'Wren81 Error')"
  xdotool windowfocus --sync "$id" 2>/dev/null
}
refused_drop notes.txt "16 - Tape Error: unknown extension"
refused_drop folder.p "17 - Tape Error: Error reading from file"
refused_drop empty.p "15 - Tape Error: Tape file incorrect length"
refused_drop big.p "15 - Tape Error: Tape file incorrect length"
# A file too long for the memory: refused, and the image chosen before stays.
gui_probe command 134
read -r gx gy < <(gui_wait_k 1) || fail "no K cursor after Hard Reset"
xdotool windowfocus --sync "$id" 2>/dev/null
# A box for the good file would be the first one found, and its text would not match.
gui_probe drop "$win\\progs\\sample.p"
gui_probe drop "$win\\progs\\huge.p"
gui_expect_error "15 - Tape Error: Tape file incorrect length" 10
xdotool windowfocus --sync "$id" 2>/dev/null
load_and_expect_title 1 "after a refused file"

# Random bytes named like a program are a program as far as anyone can tell: taken
# silently, loaded by LOAD "", and whatever the ROM makes of them, the emulator runs
# on and Hard Reset brings the K cursor back.
gui_grab "$WREN81_GUI_WORK/before.rgb" >/dev/null
gui_probe drop "$win\\progs\\random.p"
gui_until 5 same_picture || fail "the picture changed after dropping random bytes"
gui_probe exists "Wren81 Error" && fail "random bytes gave: $(gui_probe box 'Wren81 Error')"
gui_probe command 134
read -r gx gy < <(gui_wait_k 1) || fail "no K cursor after Hard Reset"
xdotool windowfocus --sync "$id" 2>/dev/null
gui_type j shift+p shift+p Return
gui_until 5 frames_counted || fail "the emulation stopped after loading random bytes"
gui_probe command 134
gui_wait_k 1 >/dev/null || fail "no K cursor after random bytes and Hard Reset"

# Load File at 200%, from a folder whose name no ANSI code page holds.
gui_probe command 136
gui_probe command 134
read -r gx gy < <(gui_wait_k 2) || fail "no K cursor at 200%"
gui_probe command 100
gui_wait_window "Open File" 20 >/dev/null || fail "Load File opened no dialog"
gui_probe settext "Open File" 1148 "$win\\my λ games\\sämple λ.p" ||
  gui_probe settext "Open File" 1152 "$win\\my λ games\\sämple λ.p" || fail "no file name box in the dialog"
gui_press "Open File" Open || fail "the Open File dialog did not close"
xdotool windowfocus --sync "$id" 2>/dev/null
load_and_expect_title 2 "Load File"
file_shown() { status=$(gui_probe status 3) && [ "$status" != "${status#" Current File: "}" ]; }
gui_until 3 file_shown || fail "status bar at 200% shows '$status', not the file"
gui_quit "$id" || fail "did not quit"

# Installed in a folder with a space and characters no ANSI code page holds: the
# ROM is still found beside the program.
odd="$WREN81_GUI_WORK/wren λ app"
mkdir -p "$odd"
cp -r "$app/wren81.exe" "$app/roms" "$odd/"
gui_write_config "$odd"
gui_start "$odd"
id=$(gui_wait_window "Wren81 v0.020" 60) || fail "no main window from a folder named 'wren λ app'"
gui_wait_k 1 >/dev/null || fail "no K cursor from a folder named 'wren λ app'"
gui_probe exists "Wren81 Error" && fail "from 'wren λ app': $(gui_probe box 'Wren81 Error')"
gui_quit "$id" || fail "did not quit"

# Without zx81.rom: one clear message, and the program carries on.
bare=$(mktemp -d "$WREN81_GUI_WORK/bare.XXXXXX")
cp "$WREN81_EXE" "$bare/"
gui_write_config "$bare"
gui_start "$bare"
text=$(gui_wait_box "Wren81 Error" 60) || fail "no message without zx81.rom"
[ "$text" != "${text#*02 - ROM missing}" ] || fail "without zx81.rom: $text"
gui_press "Wren81 Error" OK
id=$(gui_wait_window "Wren81 v0.020" 30) || fail "no main window after the ROM message"
gui_until 5 frames_counted
gui_probe exists "Wren81 Error" && fail "a second message: $(gui_probe box 'Wren81 Error')"
frames_counted || fail "the emulation stopped without a ROM"
gui_quit "$id" || fail "did not quit"
exit 0
