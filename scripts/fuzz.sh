#!/usr/bin/env bash
# Fuzzes each reader of player-damageable files for a while, one worker per
# target, from its seeds, the inputs that once broke it (fuzz/regressions)
# and what earlier runs kept (build/asan/corpus/<target>). A finding stops
# that target with the input kept in build/asan/artifacts/<target>/.
# Usage: scripts/fuzz.sh [seconds per target] [target...]
# Needs the sanitizer build: cmake --preset asan && cmake --build build/asan -j2
set -euo pipefail
cd "$(dirname "$0")/.."
seconds="${1:-30}"
shift || true
targets=("$@")
if [ ${#targets[@]} -eq 0 ]; then
  targets=(settings records code_table archive pcx wav replay)
fi
build=build/asan
# Where corpora, findings and logs go (QV_FUZZ_WORK keeps a long run apart).
work="${QV_FUZZ_WORK:-$build}"
# An input slower than this is a finding too (a reader that hangs).
input_timeout=10

# One target's run; its verdict goes to $work/verdict-<target>.
fuzz_one() {
  local t="$1"
  local corpus="$work/corpus/$t" artifacts="$work/artifacts/$t/" log="$work/fuzz-$t.log"
  mkdir -p "$corpus" "$artifacts"
  local dirs=("$corpus" "$build/fuzz-seeds/$t")
  [ -d "fuzz/regressions/$t" ] && dirs+=("fuzz/regressions/$t")
  if "$build/fuzz/fuzz_$t" -max_total_time="$seconds" -timeout="$input_timeout" \
      -print_final_stats=1 -artifact_prefix="$artifacts" "${dirs[@]}" >"$log" 2>&1; then
    local runs
    runs="$(sed -n 's/^stat::number_of_executed_units: *//p' "$log")"
    echo "fuzz: $t: ${runs:-?} inputs in ${seconds} s, no finding" >"$work/verdict-$t"
  else
    { echo "fuzz: $t: FAULT FOUND (input kept in $artifacts, log in $log):"; tail -n 40 "$log"; } \
      >"$work/verdict-$t"
  fi
}

# As many targets at once as there are cores, each on one.
mkdir -p "$work"
running=0
for t in "${targets[@]}"; do
  fuzz_one "$t" &
  running=$((running + 1))
  if [ "$running" -ge "$(nproc)" ]; then
    wait -n || true
    running=$((running - 1))
  fi
done
wait

failed=()
for t in "${targets[@]}"; do
  cat "$work/verdict-$t"
  grep -q "FAULT FOUND" "$work/verdict-$t" && failed+=("$t")
done
if [ ${#failed[@]} -ne 0 ]; then
  echo "fuzz: faults found by: ${failed[*]}"
  exit 1
fi
