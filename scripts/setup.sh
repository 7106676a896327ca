#!/usr/bin/env bash
# Installs every Debian package the build, the program, the tools and the tests need.
# Quick when everything is already there; works as root or through sudo.
set -euo pipefail

packages=(
  build-essential cmake ninja-build pkg-config
  libgtest-dev libgmock-dev googletest libbenchmark-dev
  clang libclang-rt-14-dev
  zlib1g-dev libpng-dev libjpeg-dev libopenjp2-7-dev
  libsdl2-dev libgl-dev libgl1-mesa-dri libglu1-mesa-dev mesa-utils
  libopenal-dev libogg-dev libvorbis-dev libspeex-dev espeak-ng
  xvfb
  libcurl4-openssl-dev libfreetype-dev fonts-dejavu-core
  lua5.1
  love
  librecast-dev
  xvfb openbox x11-utils xdotool
)

missing=()
for p in "${packages[@]}"; do
  if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed"; then
    missing+=("$p")
  fi
done

if [ ${#missing[@]} -eq 0 ]; then
  exit 0
fi

echo "setup: installing ${missing[*]}"
sudo_cmd=()
if [ "$(id -u)" -ne 0 ]; then
  sudo_cmd=(sudo)
fi
export DEBIAN_FRONTEND=noninteractive
"${sudo_cmd[@]}" apt-get update -qq
"${sudo_cmd[@]}" apt-get install -y -qq --no-install-recommends "${missing[@]}"
