#!/usr/bin/env bash
# Configures and builds Navtab into a build folder: build.sh [FOLDER] [CMAKE OPTIONS...]
set -euo pipefail
cd "$(dirname "$0")/.."
folder="${1:-build}"
shift || true
generator=()
command -v ninja >/dev/null && generator=(-G Ninja)
if [ ! -f "$folder/CMakeCache.txt" ]; then
  cmake -S . -B "$folder" "${generator[@]}" "$@" >/dev/null
else
  cmake -S . -B "$folder" "$@" >/dev/null
fi
# Two cores: keep the build lean.
cmake --build "$folder" -j 2
