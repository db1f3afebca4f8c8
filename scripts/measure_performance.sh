#!/usr/bin/env bash
# CPU and memory of the real game under Xvfb with the retrace wait on (the
# default), at the title and in flight, at several window scales; then the
# game in flight at 3x against the floor of presenting frames.
# CPU is the process's own time (utime + stime from /proc) over a whole
# measuring period, as a percentage of one core; memory is its peak resident
# size (VmHWM). Usage: scripts/measure_performance.sh [SECONDS] [SCALES...]
# (default 30 s; scales 2 3 5; the scale "floor" alone: only the floor
# comparison).
# Needs a Release build (build/release).
#
# The floor (bench/present_floor) is a bare Allegro program that shows a
# ready window-sized true-colour picture at 70 Hz: the retrace wait and one
# blit a frame. The game flying at 3x and the floor at 3x run side by side
# on the same X server, and both are measured over the same periods, so
# whatever else the machine does falls on both; their CPU comes from the
# scheduler's run time of every thread (/proc/PID/task/*/schedstat, in
# nanoseconds). The ratio game / floor is printed with its goal.
#
# Last, the game out of sight: under a window manager (openbox), in flight
# and then paused, its window minimised. Its CPU (every thread's run time)
# and its wakeups (every thread's context switches) are printed with their
# goals.
set -euo pipefail
cd "$(dirname "$0")/.."
seconds="${1:-30}"
shift || true
scales=("$@")
[ ${#scales[@]} -gt 0 ] || scales=(2 3 5)
[ "${scales[*]}" != floor ] || scales=()
game_dir="$PWD/build/release/game"
floor="$PWD/build/release/bench/present_floor"
[ -x "$game_dir/quarvell" ] && [ -x "$floor" ] ||
  { echo "build first: cmake --preset release && cmake --build build/release" >&2; exit 1; }
# The game in flight at 3x may take at most this many times the floor's CPU.
FLOOR_GOAL=1.15
# Minimised, at most this much of a core and this many wakeups a second.
HIDDEN_CPU_GOAL=0.5
HIDDEN_WAKEUPS_GOAL=100
FLOOR_SCALE=3
FLOOR_PERIODS=6

work="$(mktemp -d /tmp/quarvell-perf.XXXXXX)"
xvfb_pid=""; game_pid=""; floor_pid=""; wm_pid=""
cleanup() {
  [ -z "$wm_pid" ] || kill "$wm_pid" 2>/dev/null || true
  [ -z "$floor_pid" ] || kill "$floor_pid" 2>/dev/null || true
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
press() { xdotool keydown --window "$window" "$1" 2>/dev/null; sleep 0.12; xdotool keyup --window "$window" "$1" 2>/dev/null; sleep 0.15; }
# CPU percent of one core over $seconds.
measure() {
  local t0 t1
  t0="$(cpu_ticks)"; sleep "$seconds"; t1="$(cpu_ticks)"
  awk -v d="$(( t1 - t0 ))" -v hz="$ticks_per_s" -v s="$seconds" 'BEGIN { printf "%.1f", 100 * d / hz / s }'
}

# Starts the game at scale $1 (sets game_pid and window).
start_game() {
  (cd "$game_dir" && exec ./quarvell --scale "$1" >/dev/null 2>&1) &
  game_pid=$!
  window="$(timeout 20 xdotool search --sync --name '^QUARVELL$' | head -n1)"
  sleep 3
}
# "Start Game", the first ship, gun, pod and the campaign; then circle with
# the thrust on so the flight view keeps moving.
fly() {
  press Up
  for _ in 1 2 3 4 5; do press Alt_L; sleep 0.8; done
  sleep 4
  xdotool keydown --window "$window" Left Up 2>/dev/null
}
stop_game() {
  kill "$game_pid"; wait "$game_pid" 2>/dev/null || true
  game_pid=""
}

if [ ${#scales[@]} -gt 0 ]; then
  printf '%-6s %-10s %-8s %-8s %s\n' scale window title% flight% peak-MB
fi
for scale in "${scales[@]}"; do
  start_game "$scale"
  size="$(xwininfo -id "$window" | awk '/Width:/ { w = $2 } /Height:/ { h = $2 } END { print w "x" h }')"
  title="$(measure)"
  fly
  flight="$(measure)"
  xdotool keyup --window "$window" Left Up 2>/dev/null
  peak="$(awk '/VmHWM/ { printf "%.1f", $2 / 1024 }' "/proc/$game_pid/status")"
  printf '%-6s %-10s %-8s %-8s %s\n' "${scale}x" "$size" "$title" "$flight" "$peak"
  stop_game
done

# Nanoseconds every thread of process $1 has run.
run_ns() { cat /proc/"$1"/task/*/schedstat 2>/dev/null | awk '{ t += $1 } END { printf "%.0f", t }'; }
period_s=$(( (seconds + FLOOR_PERIODS - 1) / FLOOR_PERIODS ))
echo
echo "flight at ${FLOOR_SCALE}x against the floor, side by side, ${FLOOR_PERIODS} periods of ${period_s} s:"
start_game "$FLOOR_SCALE"
fly
"$floor" "$FLOOR_SCALE" >/dev/null 2>&1 &
floor_pid=$!
# Beside the game's window rather than over it, so both are on show.
floor_window="$(timeout 20 xdotool search --sync --name '^present floor$' | head -n1)"
xdotool windowmove "$floor_window" "$(( 320 * FLOOR_SCALE ))" 0 2>/dev/null
sleep 3
game_ns=0; floor_ns=0
for period in $(seq "$FLOOR_PERIODS"); do
  g0="$(run_ns "$game_pid")"; f0="$(run_ns "$floor_pid")"
  sleep "$period_s"
  g1="$(run_ns "$game_pid")"; f1="$(run_ns "$floor_pid")"
  game_ns=$(awk -v a="$game_ns" -v b="$g0" -v c="$g1" 'BEGIN { printf "%.0f", a + c - b }')
  floor_ns=$(awk -v a="$floor_ns" -v b="$f0" -v c="$f1" 'BEGIN { printf "%.0f", a + c - b }')
  awk -v p="$period" -v g="$((g1 - g0))" -v f="$((f1 - f0))" -v s="$period_s" \
    'BEGIN { printf "  period %d: game %.2f %%, floor %.2f %%, ratio %.2f\n", p, g / s / 1e7, f / s / 1e7, g / f }'
done
awk -v g="$game_ns" -v f="$floor_ns" -v s="$(( period_s * FLOOR_PERIODS ))" -v goal="$FLOOR_GOAL" 'BEGIN {
  r = g / f
  printf "game %.2f %% of a core, floor %.2f %%: ratio %.2f (goal <= %.2f): %s\n",
         g / s / 1e7, f / s / 1e7, r, goal, r <= goal ? "met" : "MISSED" }'
xdotool keyup --window "$window" Left Up 2>/dev/null
kill "$floor_pid"; wait "$floor_pid" 2>/dev/null || true
floor_pid=""
stop_game

# Context switches of every thread of process $1 so far: its wakeups.
switches() { cat /proc/"$1"/task/*/status 2>/dev/null | awk '/ctxt_switches/ { n += $2 } END { print n + 0 }'; }
# CPU and wakeups of the game over $seconds, against their goals.
measure_hidden() {
  local n0 n1 t0 t1
  n0="$(switches "$game_pid")"; t0="$(run_ns "$game_pid")"
  sleep "$seconds"
  n1="$(switches "$game_pid")"; t1="$(run_ns "$game_pid")"
  awk -v what="$1" -v n="$(( n1 - n0 ))" -v t="$(( t1 - t0 ))" -v s="$seconds" \
      -v cg="$HIDDEN_CPU_GOAL" -v wg="$HIDDEN_WAKEUPS_GOAL" 'BEGIN {
    cpu = t / s / 1e7; w = n / s
    printf "  %s: %.2f %% of a core (goal <= %.1f), %.0f wakeups a second (goal <= %d): %s\n",
           what, cpu, cg, w, wg, (cpu <= cg && w <= wg) ? "met" : "MISSED" }'
}

echo
echo "minimised under a window manager, ${seconds} s each:"
openbox --sm-disable >/dev/null 2>&1 &
wm_pid=$!
for _ in $(seq 50); do wmctrl -m >/dev/null 2>&1 && break; sleep 0.1; done
start_game "$FLOOR_SCALE"
fly
xdotool windowminimize "$window"
sleep 1
measure_hidden "in flight"
# Back on show the flight is paused; out of sight again.
wmctrl -i -a "$window"
sleep 2
xdotool keyup --window "$window" Left Up 2>/dev/null
xdotool windowminimize "$window"
sleep 1
measure_hidden "paused"
stop_game
