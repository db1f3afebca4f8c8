#!/usr/bin/env bash
# Logging out (SIGHUP, SIGTERM) or Ctrl+C (SIGINT) saves what the player did
# and ends with status 0 like the close button, never an abort, wherever in
# the menus the signal lands. (Two copies sharing the files: e2e_two_copies.)
source "$(dirname "$0")/lib.sh"
start_xvfb
copy_game

# Each signal, three times, landing at some moment while a menu slides
# away after a change.
want=Toast
for round in 1 2 3; do
  for sig in TERM HUP INT; do
    launch_game "$WORK/game" ./quarvell
    await_title
    if [ "$want" = Toast ]; then want=Easy; else want=Toast; fi
    choose_difficulty "$want"
    sleep "0.$((RANDOM % 5))"
    kill -"$sig" "$GAME_PID"
    wait_exit 15
    [ "$EXIT_RC" = "0" ] || fail "SIG$sig (round $round) ended the game with status $EXIT_RC: $(game_errors)"
    ! grep -q "Shutting down" "$WORK/stderr.txt" || fail "SIG$sig went to the library's handler"
    code=$([ "$want" = Toast ] && echo 3 || echo 0)
    [ "$(byte_at "$SETTINGS" 0)" = "$code" ] ||
      fail "SIG$sig (round $round): difficulty $(byte_at "$SETTINGS" 0) on disk, not $code ($want)"
  done
done
echo "ok"
