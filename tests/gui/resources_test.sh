#!/usr/bin/env bash
# The program carries its menus, dialogs, pictures and icon as the windows expect
# them: read straight out of wren81.exe, no Wine needed.
source "$(dirname "$0")/lib.sh"
root=$(cd "$(dirname "$0")/../.." && pwd)
python3 "$root/tests/gui/resources_check.py" "${WREN81_EXE:-$root/build-win/wren81.exe}" "$root/resources/resource.h" \
  || fail "resources of wren81.exe are not as the windows expect them"
