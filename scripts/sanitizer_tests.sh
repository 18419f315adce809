#!/usr/bin/env bash
# Builds the native targets again with AddressSanitizer and UndefinedBehaviorSanitizer
# (build-asan/) and runs the CTest suite there: any report stops the test that made it,
# and so fails it. Left to the plain build: the Z80 exercisers zexdoc and zexall
# (minutes each without sanitizers, far longer with them) and the fuzzers, which are
# built with the sanitizers already and run in the plain suite.
set -euo pipefail
cd "$(dirname "$0")/.."
if [ -z "${WREN81_ROMS:-}" ] && [ -d ../shared/roms ]; then
  export WREN81_ROMS="$(cd ../shared/roms && pwd)"
fi
sanitize="-fsanitize=address,undefined -fno-sanitize-recover=all -fno-omit-frame-pointer -g"
cmake -S . -B build-asan "-DCMAKE_CXX_FLAGS=$sanitize" "-DCMAKE_EXE_LINKER_FLAGS=$sanitize" \
  -DWREN81_LIBFUZZER=OFF >/dev/null
cmake --build build-asan -j"$(nproc)"
export ASAN_OPTIONS=detect_leaks=1:abort_on_error=1 UBSAN_OPTIONS=print_stacktrace=1
cd build-asan && ctest --output-on-failure -j"$(nproc)" -E '^Exerciser\.Zex'
