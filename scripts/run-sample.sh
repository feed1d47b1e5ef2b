#!/usr/bin/env bash
# Installs what is needed, builds Navtab and shows the bundled NTSC sample disc with navtab-cli.
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/install-deps.sh
bash scripts/build.sh build
disc=tests/data/ntsc43/VIDEO_TS
./build/navtab-cli tree "$disc/VIDEO_TS.IFO" "$disc/VTS_01_0.IFO"
echo
./build/navtab-cli show "$disc/VIDEO_TS.IFO" VMGM_MAT
echo
./build/navtab-cli show "$disc/VTS_01_0.IFO" VTSI_MAT
