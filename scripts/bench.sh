#!/usr/bin/env bash
# The speed figures in one run, so that a change can be compared with the last:
#   - the Z80 alone: emulated MHz on zexdoc (wall time), and host instructions per
#     Z80 instruction counted by callgrind on a bounded part of the same run;
#   - the whole machine at the K cursor and on a BASIC program that prints and
#     scrolls: frames per second (wall time, the median and best of five runs), and
#     host instructions per frame counted by callgrind.
# Wall times vary with the load of the machine; the callgrind counts repeat exactly.
#   scripts/bench.sh [BUILD_DIR]
set -euo pipefail
cd "$(dirname "$0")/.."
build=${1:-build}
cli="$build/wren81-cli"
z80="$build/wren81-bench-z80"
scroller='5LI=0\n10B\n20PI\n30LI=I+1\n40G10\nR\n'

# Host instructions counted by callgrind for the command.
host_instructions() {
    valgrind --tool=callgrind --callgrind-out-file=/dev/null "$@" 2>&1 | sed -n 's/.*refs: *//p' | tr -d ,
}

# Two runs that differ only in the length of the final --bench: the difference
# divided by the extra frames leaves out the start-up and the typing.
per_frame() {
    local short long
    short=$(host_instructions "$cli" "$@" --bench 20)
    long=$(host_instructions "$cli" "$@" --bench 220)
    echo $(((long - short) / 200))
}

# Frames per second: the median and the best of five runs, since a shared machine's
# speed varies from one run to the next (the best is the least disturbed).
fps() {
    local i
    for ((i = 0; i < 5; i++)); do "$cli" "$@" --bench 10000 | sed -n 's/.*fps=\([0-9]*\).*/\1/p'; done |
        sort -n | awk '{ v[NR] = $1 } END { printf "%d (best %d)", v[3], v[5] }'
}

# The same for the Z80: two exerciser runs cut off after different instruction counts.
z80_run() {  # z80_run LIMIT: "host-instructions z80-instructions"
    local log
    log=$(valgrind --tool=callgrind --callgrind-out-file=/dev/null "$z80" "" "$1" 2>&1)
    echo "$(sed -n 's/.*refs: *//p' <<<"$log" | tr -d ,) $(sed -n 's/.*instructions=\([0-9]*\).*/\1/p' <<<"$log")"
}
per_z80_instruction() {
    local short long
    short=$(z80_run 5000000)
    long=$(z80_run 25000000)
    awk -v s="$short" -v l="$long" 'BEGIN { split(s, a, " "); split(l, b, " "); printf "%.2f", (b[1] - a[1]) / (b[2] - a[2]) }'
}

zexdoc=$("$z80" | sed -n 's/.*mhz=\([0-9.]*\).*/\1/p')
echo "zexdoc:                      ${zexdoc} emulated MHz"
echo "Z80 host instructions:       $(per_z80_instruction) per Z80 instruction (callgrind)"
echo "K cursor:                    $(fps) frames per second (median of 5)"
echo "K cursor host instructions:  $(per_frame) per frame (callgrind)"
echo "scrolling:                   $(fps --keys "$scroller") frames per second (median of 5)"
echo "scrolling host instructions: $(per_frame --keys "$scroller") per frame (callgrind)"
