#!/usr/bin/env bash
# Installs what is needed, builds Navtab and runs every test: once in a normal build and once under
# AddressSanitizer and UndefinedBehaviorSanitizer.
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/install-deps.sh

bash scripts/build.sh build
(cd build && ctest --output-on-failure -j 2)

# The sanitizer build uses clang, which also builds the fuzz targets; ctest runs each briefly. It is
# optimised (the sanitizers find the same faults) so that the fuzz targets explore at full speed.
# Qt's own libraries are not instrumented, so the window is left to the normal build.
CC=clang CXX=clang++ bash scripts/build.sh build-asan -DNAVTAB_SANITIZE=ON -DNAVTAB_FUZZ=ON \
  -DNAVTAB_BENCH=OFF -DNAVTAB_UI=OFF -DCMAKE_BUILD_TYPE=RelWithDebInfo
export ASAN_OPTIONS=detect_leaks=1:abort_on_error=1
export UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1
(cd build-asan && ctest --output-on-failure -j 2)
