#!/usr/bin/env bash
# Installs what is needed, builds everything, and runs every test: the unit and
# suite tests through CTest, again under AddressSanitizer and UndefinedBehaviorSanitizer,
# a soak of real programs headless, then the Windows program's tests under Wine and Xvfb.
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/setup.sh
bash scripts/build.sh
(cd build && ctest --output-on-failure -j"$(nproc)")
bash scripts/check_identical_output.sh
bash scripts/sanitizer_tests.sh
python3 scripts/soak.py
bash scripts/gui_tests.sh
