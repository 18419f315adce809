#!/usr/bin/env bash
# Builds the native targets (build/) and the Windows program (build-win/).
set -euo pipefail
cd "$(dirname "$0")/.."
if [ -z "${WREN81_ROMS:-}" ] && [ -d ../shared/roms ]; then
  export WREN81_ROMS="$(cd ../shared/roms && pwd)"
fi
jobs=$(nproc)
cmake -S . -B build >/dev/null
cmake --build build -j"$jobs"
cmake -S . -B build-win -DCMAKE_TOOLCHAIN_FILE=cmake/mingw-w64.cmake >/dev/null
cmake --build build-win -j"$jobs"
