# Helpers shared by the Windows program's tests (sourced, not run).

# Copies the program and its roms into a fresh folder of its own and prints that folder.
gui_install() {
  local dir
  dir=$(mktemp -d "$WREN81_GUI_WORK/app.XXXXXX")
  cp "$WREN81_EXE" "$dir/"
  [ -d "$(dirname "$WREN81_EXE")/roms" ] && cp -r "$(dirname "$WREN81_EXE")/roms" "$dir/"
  echo "$dir"
}

# Runs the command $2... every half second until it succeeds, for up to $1 seconds.
gui_until() {
  local limit=$1 i
  shift
  for ((i = 0; i < limit * 2; i++)); do "$@" && return 0; sleep 0.5; done
  return 1
}

# Succeeds when the command $@ fails, for gui_until.
not() { ! "$@"; }

# Conditions to wait for: line $1 of the ZX81 screen (at 100%, grid corner in $gx $gy)
# reads $2; the status bar shows frames; the main window's client area is $1 wide.
screen_line_is() { [ "$(gui_screen_text 1 "$gx" "$gy" | sed -n "$1p")" = "$2" ]; }
frames_counted() { [ "$(gui_probe status 1 | tr -dc 0-9)" -gt 0 ] 2>/dev/null; }
client_width_is() { [ "$(gui_probe client | cut -d' ' -f3)" = "$1" ]; }

# Waits up to $2 seconds (default 30) for a window titled exactly $1; prints its id.
gui_wait_window() { gui_until "${2:-30}" window_named "$1"; }
window_named() { xdotool search --name "^$1\$" 2>/dev/null | head -n 1 | grep .; }

# Waits up to $2 seconds (default 15) for the window $1 to go away.
gui_wait_gone() { gui_until "${2:-15}" window_gone "$1"; }
window_gone() { ! xdotool getwindowname "$1" >/dev/null 2>&1; }

fail() { echo "   $*"; exit 1; }

here=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)
shared_dir=$(cd "$here/../../../shared" 2>/dev/null && pwd)
rom_file="$shared_dir/roms/zx81.rom"

# The probe that looks into the running program from beside it (built once per run).
gui_probe() {
  local exe="$WREN81_GUI_WORK/probe.exe"
  [ -f "$exe" ] || x86_64-w64-mingw32-gcc -O1 -o "$exe" "$here/probe.c" -lgdi32 || return 2
  wine "$exe" "$@" 2>/dev/null | tr -d '\r'
  return "${PIPESTATUS[0]}"
}

# The Windows form of a folder, and the user folder that holds wren81.ini.
gui_winpath() { winepath -w "$1" 2>/dev/null | tr -d '\r'; }
gui_user_folder() { echo "$WINEPREFIX/drive_c/users/$(whoami)/AppData/Roaming/Wren81"; }
gui_config() { echo "$(gui_user_folder)/wren81.ini"; }

# The configuration file as the program writes it with every default, for a
# program installed in folder $1.
gui_default_config() {
  python3 - "$(gui_winpath "$1")" "$here/../fuzz/seeds/wren81-fuzz-config/default.ini" <<'EOF'
import sys
folder, seed = sys.argv[1:]
text = open(seed, newline='').read()  # written for a program in /opt/wren81
sys.stdout.write(text.replace('/opt/wren81/snapshots/', folder + '\\snapshots\\')
                 .replace('/opt/wren81/tapes/', folder + '\\tapes\\'))
EOF
}

# Writes the default configuration for the program in folder $1, with each
# further "key=value" argument replacing the first line of that key.
gui_write_config() {
  local dir=$1 file
  shift
  file=$(gui_config)
  mkdir -p "$(dirname "$file")"
  gui_default_config "$dir" > "$file"
  local kv key
  for kv in "$@"; do
    key=${kv%%=*}
    sed -i "0,/^$key=.*\r\$/s//${kv//\\/\\\\}\r/" "$file"
  done
}

# Starts the program in folder $1 with the rest as its command line.
gui_start() {
  local dir=$1
  shift
  (cd "$dir" && exec wine ./wren81.exe "$@" >/dev/null 2>&1 &)
}

# Waits up to $2 seconds for a message box titled $1 and prints its texts.
gui_wait_box() { gui_until "${2:-30}" gui_probe exists "$1" && sleep 0.3 && gui_probe box "$1"; }

# Clicks button $2 of the window titled $1 and waits for that window to close.
gui_press() { gui_probe press "$1" "$2"; }

# Grabs the main window's client area: the file $1 of RGB bytes; prints "w h".
# Where the caller knows the area, "x y w h" in $client_area, it asks no one.
gui_grab() {
  local x y w h
  read -r x y w h < <(echo "${client_area:-$(gui_probe client)}") || return 1
  import -window root -crop "${w}x${h}+${x}+${y}" +repage -depth 8 "rgb:$1" 2>/dev/null || return 1
  echo "$w $h"
}

# Waits up to $2 seconds (default 60) for the K cursor of a freshly started ZX81
# at draw size $1; prints the character grid's corner "gx gy" within the picture.
gui_wait_k() { gui_until "${2:-60}" k_cursor "${1:-1}"; }
k_cursor() {
  local raw="$WREN81_GUI_WORK/k.rgb" w h
  read -r w h < <(gui_grab "$raw") && python3 "$here/screen.py" grid "$raw" "$w" "$h" 5 5 "$1" "$rom_file" 2>/dev/null
}

# Prints the ZX81 screen as text; $1 the draw size, $2 $3 the grid corner.
gui_screen_text() {
  local raw="$WREN81_GUI_WORK/text.rgb" w h
  read -r w h < <(gui_grab "$raw") || return 1
  python3 "$here/screen.py" text "$raw" "$w" "$h" 5 5 "$1" "$rom_file" "$2" "$3"
}

# Counts the pixels of the grab $1 ($2 x $3, at 100%) that differ from the picture
# wren81-cli makes of a freshly started ZX81 with 4K.
gui_cli_differences() {
  local cli shot="$WREN81_GUI_WORK/cli.bmp"
  cli="$(dirname "$WREN81_EXE")/../build/wren81-cli"
  "$cli" --roms "$(dirname "$rom_file")" --model 2 --screenshot "$shot" >/dev/null 2>&1 || return 1
  python3 "$here/screen.py" compare "$1" "$2" "$3" 5 5 1 "$shot" 0 0 384 296
}

# Holds each named X key for a moment: gui_keys F9 Next (keys for windows, which queue them).
gui_keys() {
  local k
  for k in "$@"; do
    xdotool keydown "$k"
    sleep 0.2
    xdotool keyup "$k"
    sleep 0.25
  done
}

# Types each named X key on the ZX81 as a person watching it does: holds the key
# until the picture has changed and settled again, then lets go. The ROM takes a
# key only after a moment with no key down, and a host that stalls can run a
# release and the next press together, so a key that changed nothing is pressed
# again. The ROM does not repeat a held key.
gui_type() {
  local k try before x y w h bar client_area
  read -r x y w h < <(gui_probe client) && bar=$(gui_probe statusbar) || return 1
  client_area="$x $y $w $((h - bar))"  # the picture without the status bar's figures
  before=$(settled_picture)
  for k in "$@"; do
    for ((try = 0; try < 3; try++)); do
      xdotool keydown "$k"
      picture_changes_from "$before" && before=$(settled_picture) && try=3
      xdotool keyup "$k"
      sleep 0.2
    done
  done
}
picture_sum() { gui_grab "$WREN81_GUI_WORK/typed.rgb" >/dev/null && md5sum < "$WREN81_GUI_WORK/typed.rgb"; }
# Succeeds once the picture differs from the sum $1, looking for about two seconds.
picture_changes_from() {
  local i
  for ((i = 0; i < 10; i++)); do [ "$(picture_sum)" != "$1" ] && return 0; sleep 0.1; done
  return 1
}
# The picture's sum once two looks in a row agree (the ROM redraws over several frames).
settled_picture() {
  local i now last
  now=$(picture_sum)
  for ((i = 0; i < 20; i++)); do
    sleep 0.1
    last=$now now=$(picture_sum)
    [ "$now" = "$last" ] && break
  done
  echo "$now"
}

# Waits up to $3 seconds (default 12) for the frames-per-second figure, left in $fps,
# to lie in [$1, $2].
gui_fps_settles() { gui_until "${3:-12}" fps_within "$1" "$2"; }
fps_within() { fps=$(gui_probe status 1 | tr -dc 0-9); [ "${fps:-0}" -ge "$1" ] && [ "${fps:-0}" -le "$2" ]; }

# Asks the program to quit and answers the question with Yes; given the main
# window's id $1, also waits for that window to go.
gui_quit() {
  gui_probe command 109
  gui_wait_box "Exit" 10 >/dev/null && gui_press "Exit" "Yes" || return 1
  [ -z "${1:-}" ] || gui_wait_gone "$1" 20
}

# Waits up to $2 seconds (default 20) for a "Wren81 Error" box that says $1, and closes it.
gui_expect_error() {
  local want=$1 limit=${2:-20} text
  text=$(gui_wait_box "Wren81 Error" "$limit") || fail "no error box saying '$want'"
  [ "$text" != "${text#*"$want"}" ] || fail "expected '$want', the box says: $text"
  gui_press "Wren81 Error" OK || fail "the box saying '$want' did not close"
}

# Starts the program installed in folder $1 with the default configuration changed
# as gui_write_config's further arguments say, waits for the K cursor and gives the
# window the focus; prints "window-id grid-x grid-y".
gui_start_at_k() {
  local app=$1 id gx gy
  gui_write_config "$@"
  gui_start "$app"
  id=$(gui_wait_window "Wren81 v0.020" 60) || fail "main window did not appear"
  read -r gx gy < <(gui_wait_k 1) || fail "no K cursor"
  xdotool windowfocus --sync "$id" 2>/dev/null
  echo "$id $gx $gy"
}
