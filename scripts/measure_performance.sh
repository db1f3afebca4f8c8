#!/usr/bin/env bash
# CPU and memory of the real game under Xvfb with the retrace wait on (the
# default), at the title and in flight, at several window scales.
# CPU is the process's own time (utime + stime from /proc) over a whole
# measuring period, as a percentage of one core; memory is its peak resident
# size (VmHWM). Usage: scripts/measure_performance.sh [SECONDS] [SCALES...]
# (default 30 s; scales 2 3 5). Needs a Release build (build/release).
set -euo pipefail
cd "$(dirname "$0")/.."
seconds="${1:-30}"
shift || true
scales=("$@")
[ ${#scales[@]} -gt 0 ] || scales=(2 3 5)
game_dir="$PWD/build/release/game"
[ -x "$game_dir/quarvell" ] || { echo "build first: cmake --preset release && cmake --build build/release" >&2; exit 1; }

work="$(mktemp -d /tmp/quarvell-perf.XXXXXX)"
xvfb_pid=""; game_pid=""
cleanup() {
  [ -z "$game_pid" ] || kill "$game_pid" 2>/dev/null || true
  [ -z "$xvfb_pid" ] || kill "$xvfb_pid" 2>/dev/null || true
  wait 2>/dev/null || true
  rm -rf "$work"
}
trap cleanup EXIT

Xvfb -displayfd 3 -screen 0 1920x1080x24 -nolisten tcp 3>"$work/displayfd" >/dev/null 2>&1 &
xvfb_pid=$!
for _ in $(seq 100); do [ -s "$work/displayfd" ] && break; sleep 0.1; done
export DISPLAY=":$(tr -d '[:space:]' <"$work/displayfd")"
export HOME="$work/home"
mkdir -p "$HOME"
ticks_per_s="$(getconf CLK_TCK)"

cpu_ticks() { awk '{ print $14 + $15 }' "/proc/$game_pid/stat"; }
press() { xdotool keydown --window "$window" "$1"; sleep 0.12; xdotool keyup --window "$window" "$1"; sleep 0.15; }
# CPU percent of one core over $seconds.
measure() {
  local t0 t1
  t0="$(cpu_ticks)"; sleep "$seconds"; t1="$(cpu_ticks)"
  awk -v d="$(( t1 - t0 ))" -v hz="$ticks_per_s" -v s="$seconds" 'BEGIN { printf "%.1f", 100 * d / hz / s }'
}

printf '%-6s %-10s %-8s %-8s %s\n' scale window title% flight% peak-MB
for scale in "${scales[@]}"; do
  (cd "$game_dir" && exec ./quarvell --scale "$scale" >/dev/null 2>&1) &
  game_pid=$!
  window="$(timeout 20 xdotool search --sync --name '^QUARVELL$' | head -n1)"
  sleep 3
  size="$(xwininfo -id "$window" | awk '/Width:/ { w = $2 } /Height:/ { h = $2 } END { print w "x" h }')"
  title="$(measure)"
  # "Start Game", the first ship, gun, pod and the campaign; then circle
  # with the thrust on so the flight view keeps moving.
  press Up
  for _ in 1 2 3 4 5; do press Alt_L; sleep 0.8; done
  sleep 4
  xdotool keydown --window "$window" Left Up
  flight="$(measure)"
  xdotool keyup --window "$window" Left Up
  peak="$(awk '/VmHWM/ { printf "%.1f", $2 / 1024 }' "/proc/$game_pid/status")"
  printf '%-6s %-10s %-8s %-8s %s\n' "${scale}x" "$size" "$title" "$flight" "$peak"
  kill "$game_pid"; wait "$game_pid" 2>/dev/null || true
  game_pid=""
done
