#!/usr/bin/env bash
# Installs everything Navtab needs to build, test and run on Debian 12.
# Safe to run again: apt-get skips what is already there.
set -euo pipefail

packages=(
  cmake g++ make ninja-build pkg-config clang-format clang libclang-rt-14-dev
  libgtest-dev libgmock-dev googletest libbenchmark-dev
  lsdvd ffmpeg genisoimage dvd+rw-tools libdvdnav-dev mpv dvdauthor
  libavcodec-dev libavutil-dev libswscale-dev libswresample-dev
  qt6-base-dev qt6-base-dev-tools qt6-multimedia-dev libgl-dev fonts-liberation
  python3
)

missing=()
for p in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed' || missing+=("$p")
done

if [ "${#missing[@]}" -gt 0 ]; then
  SUDO=""
  [ "$(id -u)" -eq 0 ] || SUDO="sudo"
  export DEBIAN_FRONTEND=noninteractive
  $SUDO apt-get update -qq
  $SUDO apt-get install -y -qq --no-install-recommends "${missing[@]}"
fi
