#!/usr/bin/env bash
# Host instructions per emulated frame, counted by callgrind (repeatable where wall
# time on a shared machine is not): the difference between two runs that differ
# only in the length of the final --bench, divided by the extra frames.
#   scripts/bench_callgrind.sh [BUILD_DIR] [idle|scroll]
set -euo pipefail
cd "$(dirname "$0")/.."
build=${1:-build}
scene=${2:-idle}
args=()
[ "$scene" = scroll ] && args=(--keys '5LI=0\n10B\n20PI\n30LI=I+1\n40G10\nR\n')
count() {
    valgrind --tool=callgrind --callgrind-out-file=/dev/null "$build/wren81-cli" "${args[@]}" --bench "$1" 2>&1 |
        sed -n 's/.*refs: *//p' | tr -d ,
}
short=$(count 20)
long=$(count 220)
echo "$scene: $(( (long - short) / 200 )) host instructions per frame"
