#!/usr/bin/env bash
# Logging out (SIGHUP, SIGTERM) or Ctrl+C (SIGINT) saves what the player did
# and ends with status 0 like the close button, never an abort, wherever in
# the menus the signal lands. (Two copies sharing the files: e2e_two_copies.)
source "$(dirname "$0")/lib.sh"
start_xvfb
copy_game

# Each signal, three times, landing while a menu slides after a change.
want=1 # "Normal", from the first start
for round in 1 2 3; do
  for sig in TERM HUP INT; do
    launch_game "$WORK/game" ./quarvell
    sleep 2
    if [ "$want" = 1 ]; then choose_difficulty Down; want=2; else choose_difficulty Up; want=1; fi
    sleep "0.$((RANDOM % 5))"
    kill -"$sig" "$GAME_PID"
    wait_exit 15
    [ "$EXIT_RC" = "0" ] || fail "SIG$sig (round $round) ended the game with status $EXIT_RC: $(game_errors)"
    ! grep -q "Shutting down" "$WORK/stderr.txt" || fail "SIG$sig went to the library's handler"
    [ "$(byte_at "$SETTINGS" 0)" = "$want" ] ||
      fail "SIG$sig (round $round): difficulty $(byte_at "$SETTINGS" 0) on disk, not $want"
  done
done
echo "ok"
