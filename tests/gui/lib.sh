# Helpers shared by the Windows program's tests (sourced, not run).

# Copies the program and its roms into a fresh folder of its own and prints that folder.
gui_install() {
  local dir
  dir=$(mktemp -d "$WREN81_GUI_WORK/app.XXXXXX")
  cp "$WREN81_EXE" "$dir/"
  [ -d "$(dirname "$WREN81_EXE")/roms" ] && cp -r "$(dirname "$WREN81_EXE")/roms" "$dir/"
  echo "$dir"
}

# Waits up to $2 seconds (default 30) for a window titled exactly $1; prints its id.
gui_wait_window() {
  local name=$1 limit=${2:-30} i id
  for ((i = 0; i < limit * 4; i++)); do
    id=$(xdotool search --name "^${name}\$" 2>/dev/null | head -n 1)
    [ -n "$id" ] && { echo "$id"; return 0; }
    sleep 0.25
  done
  return 1
}

# Waits up to $2 seconds for the window $1 to go away.
gui_wait_gone() {
  local id=$1 limit=${2:-15} i
  for ((i = 0; i < limit * 4; i++)); do
    xdotool getwindowname "$id" >/dev/null 2>&1 || return 0
    sleep 0.25
  done
  return 1
}

fail() { echo "   $*"; exit 1; }
