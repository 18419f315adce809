#!/usr/bin/env bash
# Installs what building and testing Wren81 needs on Debian 12. Safe to run again:
# packages already present are left alone.
set -euo pipefail

packages=(cmake g++ make libgtest-dev libbenchmark-dev clang libclang-rt-14-dev
          g++-mingw-w64-x86-64 binutils-mingw-w64-x86-64 wine wine64 xvfb xauth xdotool imagemagick
          x11-utils pulseaudio
          # Mesa's OpenGL, through which Wine draws DirectDraw and Direct3D
          libgl1-mesa-dri libglx-mesa0)

missing=()
for p in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done
if [ ${#missing[@]} -gt 0 ]; then
  echo "Installing: ${missing[*]}"
  sudo_cmd=""
  [ "$(id -u)" -ne 0 ] && sudo_cmd="sudo"
  $sudo_cmd apt-get update -qq
  DEBIAN_FRONTEND=noninteractive $sudo_cmd apt-get install -y -qq --no-install-recommends "${missing[@]}"
fi
