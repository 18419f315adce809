#!/usr/bin/env bash
# With a sound device that takes samples as fast as they come (ALSA's null device),
# the clock holds the machine to the chosen speed. Measured by the ZX81's own frame
# counter, FRAMES, which a BASIC program prints over and over: its rate over 30
# seconds must lie within 2% of 50 frames a second times the speed. (A host that
# stalls for over half a second starts a fresh schedule and loses those frames; a
# shared test machine does that now and then.)
source "$(dirname "$0")/lib.sh"
app=$(gui_install)
export WINEDLLOVERRIDES="$WINEDLLOVERRIDES;winepulse.drv=d"  # ALSA, whose default is the null device

# 10 PRINT AT 0,0;PEEK 16436+256*PEEK 16437 / 20 GOTO 10 / RUN (FUNCTION is Shift+NEWLINE,
# then C is AT and O is PEEK). After each line the ROM redraws the listing, and keys
# typed before the K cursor is back would be lost.
type_frames_printer() {
  gui_type 1 0 p shift+Return c 0 comma 0 semicolon shift+Return o 1 6 4 3 6 shift+k 2 5 6 shift+b \
    shift+Return o 1 6 4 3 7 Return
  gui_wait_k 1 20 >/dev/null || fail "at $speed%: line 10 was not taken"
  gui_type 2 0 g 1 0 Return
  gui_wait_k 1 20 >/dev/null || fail "at $speed%: line 20 was not taken"
  gui_type r Return
}

# "seconds frames" lines: the moment of each grab (midway through it) and FRAMES as
# shown, for $1 grabs in a row.
sample_frames() {
  local i before after value
  for ((i = 0; i < $1; i++)); do
    before=$(date +%s.%N)
    read -r w h < <(gui_grab "$WREN81_GUI_WORK/frames.rgb") || continue
    after=$(date +%s.%N)
    value=$(python3 "$here/screen.py" text "$WREN81_GUI_WORK/frames.rgb" "$w" "$h" 5 5 1 "$rom_file" "$gx" "$gy" |
      sed -n 1p | tr -d ' ')
    [[ $value =~ ^[0-9]+$ ]] && echo "$before $after $value"
  done
}
# Readings at the start and 30 seconds later (60 at 50%, where a reading's lag behind the
# counter weighs twice as much); the grabs in between would only load the host.
measure() { sample_frames 5; sleep $((speed < 100 ? 60 : 30)); sample_frames 5; }

# Frames per second: the median of the slopes between a reading at the start and one
# at the end (FRAMES counts down and wraps at 65536). A grab that catches the ROM
# halfway through printing the number misreads it, and the median leaves that out.
frame_rate() {
  python3 -c '
import sys
pts, last, turns = [], None, 0
for line in sys.stdin:
    a, b, v = line.split()
    v = int(v)
    if last is not None and v > last + 32768: turns += 1
    last = v
    pts.append(((float(a) + float(b)) / 2, turns * 65536 - v))
slopes = sorted((f2 - f1) / (t2 - t1) for t1, f1 in pts for t2, f2 in pts if t2 - t1 > 10)
if len(slopes) < 4: sys.exit("too few readings")
print("%.2f" % slopes[len(slopes) // 2])'
}

for case in "100 50" "200 100" "50 25"; do
  read -r speed want <<< "$case"
  read -r id gx gy < <(gui_start_at_k "$app" "opt_emulation_speed=$speed") || fail "no K cursor at $speed%"
  gui_probe exists "Wren81 Error" && fail "at $speed%: $(gui_probe box 'Wren81 Error')"
  type_frames_printer
  gui_until 20 sample_frames 1 | grep -q . ||
    fail "at $speed%: no frame count on the screen, which reads: $(gui_screen_text 1 "$gx" "$gy" | tr '\n' '|')"
  rate=$(measure | frame_rate) || fail "at $speed%: the frame count could not be read"
  echo "   $speed%: $rate frames per second by FRAMES, status bar:$(gui_probe status 1)"
  python3 -c "import sys; sys.exit(abs($rate - $want) > $want / 50)" || fail "at $speed%: $rate frames a second, not $want"
  gui_quit "$id" || fail "did not quit at $speed%"
done
exit 0
