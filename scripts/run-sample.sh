#!/usr/bin/env bash
# Installs what is needed, builds Navtab and opens the bundled NTSC sample disc in the window.
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/install-deps.sh
bash scripts/build.sh build
disc=tests/data/ntsc43/VIDEO_TS
if [ -z "${DISPLAY:-}${WAYLAND_DISPLAY:-}${QT_QPA_PLATFORM:-}" ]; then
  echo "run-sample.sh: no display to open the window on; the sample's tree instead:" >&2
  exec ./build/navtab-cli tree "$disc/VIDEO_TS.IFO" "$disc/VTS_01_0.IFO"
fi
exec ./build/navtab "$disc/VIDEO_TS.IFO" "$disc/VTS_01_0.IFO"
