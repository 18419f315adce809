#!/usr/bin/env bash
# Runs wren81-cli through a set of scenes (boot, BASIC that prints and scrolls,
# machine-code games, hi-res and CHR$ cards, VSYNC and AY sound) and compares the
# checksum of every picture, screen text and WAV file with a recorded set.
#   scripts/check_identical_output.sh [BUILD_DIR]           compare
#   scripts/check_identical_output.sh --record [BUILD_DIR]  record a new set
# A speed change must leave every checksum as it was.
set -uo pipefail
cd "$(dirname "$0")/.."
record=0
if [ "${1:-}" = "--record" ]; then record=1; shift; fi
build=${1:-build}
cli="$build/wren81-cli"
programs=${WREN81_PROGRAMS:-../shared/programs}
expected=scripts/identical_output.sha256
out=$(mktemp -d)
trap 'rm -rf "$out"' EXIT

# A program that scrolls the whole screen up by one line for every number it prints.
scroller='5LI=0\n10B\n20PI\n30LI=I+1\n40G10\nR\n'

scene() {  # scene NAME ARGS...: the picture and the screen text after ARGS
    local name=$1; shift
    "$cli" "$@" --screenshot "$out/$name.bmp" --screen-text >"$out/$name.txt" 2>&1
}

scene boot
scene print --keys 'P2+2\n'
scene scroll --keys "$scroller" --frames 37
scene m1not --m1not --keys "$scroller" --frames 11
scene pivaders --model 4 --load "$programs/pivaders.p" --frames 200
scene crazyroids --model 4 --load "$programs/crazyroids.p" --keys S --frames 300
scene sample --model 4 --load "$programs/zx81-program.p" --keys S --frames 120
scene tank --model 4 --load "$programs/tank.p" --keys 'R\n' --frames 100
scene wrx --hires wrx --keys "$scroller" --frames 23
scene chr16 --chr chr16 --keys 'P2+2\n'
scene vsync_sound --vsync-sound --wav "$out/vsync_sound.wav" --keys "$scroller" --frames 17
scene zonx --ay zonx --wav "$out/zonx.wav" --keys 'P2+2\n'

(cd "$out" && sha256sum -- *) >"$out.sums"; mv "$out.sums" "$out/sums"
if [ "$record" = 1 ]; then
    cp "$out/sums" "$expected"
    echo "recorded $(wc -l <"$expected") checksums in $expected"
    exit 0
fi
if diff -u "$expected" "$out/sums"; then
    echo "identical: $(wc -l <"$expected") outputs"
else
    echo "DIFFERENT output (lines above)" >&2
    exit 1
fi
