#!/usr/bin/env bash
# Re-records the recorded games kept here, by playing the real binary in a
# private X server with real key presses (xdotool), as a player would:
#   tests/replays/record.sh build/release/game
# flight.qvr: a stage flown with fire, turns, pods and boost, a pause, then
#             "Main Menu", the records table and "QUIT!".
# The test suite replays them headless (quarvell --replay FILE --verify): a
# change that alters play fails with the tick where the replay departs.
# After such a change, when it is meant, run this again and commit the new
# recordings, saying in the commit what changed in play and why.
set -euo pipefail
HERE="$(cd "$(dirname "$0")" && pwd)"
source "$HERE/../e2e/lib.sh"
start_xvfb

record() { # name; the game is left running for the caller to play
  mkdir -p "$WORK/$1"
  cp -r "$GAME_DIR"/. "$WORK/$1/"
  launch_game "$WORK/$1" ./quarvell --record "$WORK/$1.qvr"
  sleep 2
}

hold() { # seconds keys...
  local t="$1"; shift
  xdotool keydown --window "$WINDOW" "$@"; sleep "$t"; xdotool keyup --window "$WINDOW" "$@"
}

finish() { # name: "Main Menu", the records table, "QUIT!", keep the file
  press Escape; sleep 0.5; press Down; press Alt_L; sleep 3
  press Alt_L; sleep 2            # "Game Over!"
  press a; press b; press Return; sleep 3
  press Down; press Down; press Down; press Alt_L
  wait_exit 20
  [ "$EXIT_RC" = "0" ] || fail "$1: the game ended with status $EXIT_RC: $(cat "$WORK/stdout.txt") $(game_errors)"
  cp "$WORK/$1.qvr" "$HERE/$1.qvr"
  echo "$1: $(cat "$WORK/stdout.txt" | grep recorded)"
}

# ---- flight ----
record flight
press Up
for _ in 1 2 3 4 5; do press Alt_L; sleep 0.8; done  # Start, Talon, gun, pod, campaign
sleep 4
hold 3 Up Alt_L
hold 2 Left Alt_L
press z; sleep 1; press z
hold 1 Shift_L Up
hold 3 Right Alt_L
press Escape; sleep 1; press Alt_L; sleep 1            # pause, "Resume Play"
hold 2 Control_L Left Alt_L                            # strafe while firing
hold 3 Up Right Alt_L
finish flight
