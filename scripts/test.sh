#!/usr/bin/env bash
# Installs what is missing, builds QUARVELL three ways and runs every test:
# Release (unit, harness and end-to-end tests), ASan+UBSan with clang (the
# same tests, the fuzz targets' regression inputs, then a short fuzzing run
# of each) and TSan (the tests where threads meet).
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/setup.sh test
jobs="$(nproc)"

run_build() { # preset, build target ("all" for everything), ctest arguments...
  local preset="$1" target="$2"; shift 2
  local start=$SECONDS
  echo "test: building ($preset)"
  cmake --preset "$preset" >/dev/null
  cmake --build "build/$preset" -j"$jobs" --target "$target"
  echo "test: running tests ($preset), built in $((SECONDS - start)) s"
  start=$SECONDS
  (cd "build/$preset" && ctest --output-on-failure -j"$jobs" "$@")
  echo "test: $preset tests took $((SECONDS - start)) s"
}

run_build release all
# The sanitizer builds run the unit and harness tests and the fuzz targets'
# regression inputs; the end-to-end tests drive the Release binary above,
# and each sanitizer build's own binary through one flight in a window.
ASAN_OPTIONS=detect_leaks=1 run_build asan all -LE e2e
start=$SECONDS
scripts/fuzz.sh 20
echo "test: fuzzing took $((SECONDS - start)) s"
# TSan watches threads: the tests where the library's threads or one of the
# tests' own meet the game's.
TSAN_OPTIONS="halt_on_error=1 second_deadlock_stack=1" run_build tsan threaded_tests -L threads
echo "test: all passed in $SECONDS s"
