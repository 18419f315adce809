#!/usr/bin/env bash
# Quick start: install what is needed, build, and run Wren81 (under Wine on Linux).
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/setup.sh
bash scripts/build.sh
export WINEDEBUG=-all
exec wine build-win/wren81.exe "$@"
