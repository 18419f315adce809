#!/usr/bin/env bash
# Runs the Windows program's tests: each tests/gui/*.sh under Wine inside Xvfb,
# with a fresh Wine prefix and home folder, and ALSA pointed at its null device.
set -uo pipefail
cd "$(dirname "$0")/.."
root=$(pwd)
exe="$root/build-win/wren81.exe"
[ -f "$exe" ] || { echo "gui tests: $exe not built"; exit 1; }

work=$(mktemp -d /tmp/wren81-gui.XXXXXX)
pulse_pid=""
trap 'kill $xvfb_pid $pulse_pid 2>/dev/null; wineserver -k 2>/dev/null; rm -rf "$work"' EXIT
export HOME="$work/home" WINEPREFIX="$work/prefix" WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml="
mkdir -p "$HOME"
printf 'pcm.!default { type null }\nctl.!default { type hw card 0 }\n' > "$HOME/.asoundrc"
# A sound server with a silent sink that plays in real time, so the sound output
# paces the emulation as a sound card would (ALSA's null device plays too fast).
if command -v pulseaudio >/dev/null; then
  export XDG_RUNTIME_DIR="$work/runtime"
  mkdir -p -m 700 "$XDG_RUNTIME_DIR"
  pulseaudio -n --daemonize=no --exit-idle-time=-1 --disable-shm=yes --load="module-null-sink" \
    --load="module-native-protocol-unix" --load="module-always-sink" >/dev/null 2>&1 &
  pulse_pid=$!
fi

# Xvfb picks a free display itself and writes its number once it is ready.
exec 3> "$work/display"
Xvfb -displayfd 3 -screen 0 1280x1024x24 -nolisten tcp >/dev/null 2>&1 &
xvfb_pid=$!
exec 3>&-
for ((i = 0; i < 50; i++)); do [ -s "$work/display" ] && break; sleep 0.1; done
export DISPLAY=":$(head -n 1 "$work/display")"
[ "$DISPLAY" != ":" ] || { echo "gui tests: Xvfb did not start"; exit 1; }
echo "gui tests: preparing a fresh Wine prefix"
wineboot -i >/dev/null 2>&1 || true
wineserver -w

export WREN81_EXE="$exe" WREN81_GUI_WORK="$work"
passed=0; failed=0
for t in tests/gui/${WREN81_GUI_ONLY:-*}_test.sh; do
  echo "== $t"
  if bash "$t"; then passed=$((passed + 1)); echo "   ok"; else failed=$((failed + 1)); echo "   FAILED"; fi
  wineserver -k 2>/dev/null; wineserver -w 2>/dev/null
done
echo "gui: $passed passed, $failed failed"
[ "$failed" -eq 0 ]
