#!/usr/bin/env bash
# Installs what is missing, builds QUARVELL four ways and runs every test:
# Release (unit, harness and end-to-end tests), ASan+UBSan, TSan, and the
# fuzz targets (clang, ASan+UBSan): their regression inputs, then a short
# fuzzing run of each.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/setup.sh test
jobs="$(nproc)"

run_build() { # preset, ctest arguments...
  local preset="$1"; shift
  local start=$SECONDS
  echo "test: building ($preset)"
  cmake --preset "$preset" >/dev/null
  cmake --build "build/$preset" -j"$jobs"
  echo "test: running tests ($preset), built in $((SECONDS - start)) s"
  start=$SECONDS
  (cd "build/$preset" && ctest --output-on-failure -j"$jobs" "$@")
  echo "test: $preset tests took $((SECONDS - start)) s"
}

run_build release
# The sanitizer builds run the unit and harness tests; the end-to-end tests
# drive the Release binary above.
ASAN_OPTIONS=detect_leaks=1 run_build asan -LE e2e
TSAN_OPTIONS="halt_on_error=1 second_deadlock_stack=1" run_build tsan -LE e2e
run_build fuzz
scripts/fuzz.sh 30
echo "test: all passed in $SECONDS s"
