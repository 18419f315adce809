# Helpers of the debugger's tests (sourced after lib.sh, not run).
cli="$(dirname "$WREN81_EXE")/../build/wren81-cli"
roms=$(dirname "$rom_file")
dbg="Wren81 Debugger"

focus() { gui_probe focus "$1" >/dev/null; }
key_to() { focus "$1"; gui_keys "${@:2}"; }
pane() { gui_probe text "$dbg" "$1" | sed 's/ *$//'; }
marked() { pane 1203 | sed -n 's/^>\(....\).*/\1/p'; }  # the address of the code pane's line at PC
marked_is() { [ "$(marked)" = "$1" ]; }
# The line of the code pane after the one at PC.
after_marked() { pane 1203 | sed -n '/^>/{n;s/^ \(....\).*/\1/p}'; }
open_debugger() {
  focus "Wren81 v0.020"
  xdotool key F5
  did=$(gui_wait_window "$dbg" 10) || fail "$1: F5 did not open the debugger"
  gui_until 5 marked_or_panes || fail "$1: the debugger's panes stayed empty"
}
marked_or_panes() { pane 1201 | grep -q '^PC  '; }
close_debugger() {
  key_to "$dbg" F12
  gui_wait_gone "$did" 10 || fail "F12 did not close the debugger"
}
# Answers the save-file dialog with the file $1.
save_as() {
  gui_wait_window "Save As" 10 >/dev/null || fail "no file dialog for $2"
  gui_probe settext "Save As" 1148 "$(gui_winpath "$1")"
  gui_press "Save As" Save || fail "the file dialog for $2 did not close"
}

