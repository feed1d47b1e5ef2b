#!/usr/bin/env bash
# Checks that the unit tests catch real faults: applies each fault kept under tests/mutants/ (one
# small patch each) in turn, rebuilds, runs the unit tests and says which tests failed because of
# it. Every patch is reverted before the next one, also when the run fails or is interrupted.
#   scripts/mutants.sh            every fault
#   scripts/mutants.sh NAME...    only these (the patch names without .patch)
# Exits non-zero when a fault is not caught or a patch no longer applies.
set -uo pipefail
cd "$(dirname "$0")/.."
build="${NAVTAB_MUTANTS_BUILD:-build-mutants}"
tests="$build/tests/navtab_tests"
log="$build/mutants.log"

applied=""
revert() {
  if [ -n "$applied" ]; then
    git apply -R "$applied" || echo "could not revert $applied: revert it by hand" >&2
    applied=""
  fi
}
trap revert EXIT
trap 'revert; exit 130' INT TERM

patches=()
if [ $# -eq 0 ]; then
  patches=(tests/mutants/*.patch)
else
  for name in "$@"; do patches+=("tests/mutants/${name%.patch}.patch"); done
fi

generator=()
command -v ninja >/dev/null && generator=(-G Ninja)
if [ ! -f "$build/CMakeCache.txt" ]; then
  cmake -S . -B "$build" "${generator[@]}" -DNAVTAB_UI=OFF -DNAVTAB_BENCH=OFF >/dev/null || exit 1
fi
build_tests() { cmake --build "$build" -j 2 --target navtab_tests >"$log" 2>&1; }

# Runs the unit tests into the log; the status is that of the test binary (124 when it hung).
run_tests() { (timeout 600 "$tests" >"$log" 2>&1); }

# The failed tests of a run: gtest's "[  FAILED  ] Suite.Name" lines, and the test that was
# running when the binary crashed or hung.
failed_tests() {
  local status=$1 names
  names=$(sed -n 's/^\[  FAILED  \] \([^ ,]*\.[^ ,]*\).*/\1/p' "$log" | sort -u | tr '\n' ' ')
  if [ "$status" -gt 1 ]; then
    names+="$(sed -n 's/^\[ RUN      \] //p' "$log" | tail -n 1) (crashed or hung)"
  fi
  echo "$names"
}

# The faults are only meaningful against tests that pass without them.
if ! build_tests; then
  echo "the unchanged tree does not build: see $log" >&2
  exit 1
fi
run_tests
status=$?
if [ "$status" -ne 0 ]; then
  echo "the unit tests fail without any fault: $(failed_tests "$status")" >&2
  exit 1
fi

caught=0 survived=0 broken=0
for patch in "${patches[@]}"; do
  name=$(basename "$patch" .patch)
  if ! git apply --check "$patch" 2>/dev/null; then
    echo "DOES NOT APPLY  $name"
    broken=$((broken + 1))
    continue
  fi
  git apply "$patch"
  applied="$patch"
  if ! build_tests; then
    echo "DOES NOT BUILD  $name (see $log)"
    broken=$((broken + 1))
  else
    run_tests
    status=$?
    if [ "$status" -eq 0 ]; then
      echo "NOT CAUGHT      $name"
      survived=$((survived + 1))
    else
      echo "caught          $name: $(failed_tests "$status")"
      caught=$((caught + 1))
    fi
  fi
  revert
done

echo "$caught of ${#patches[@]} faults caught, $survived not caught, $broken broken"
[ "$survived" -eq 0 ] && [ "$broken" -eq 0 ]
