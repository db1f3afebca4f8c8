#!/usr/bin/env bash
# However the game ends, what the player did is kept: two copies sharing one
# home keep each other's settings, and logging out (SIGHUP, SIGTERM) or
# Ctrl+C (SIGINT) saves and ends with status 0 like the close button, never
# an abort, wherever in the menus the signal lands.
source "$(dirname "$0")/lib.sh"
start_xvfb
copy_game

# Copy B starts first and waits at its title menu.
launch_game "$WORK/game" ./quarvell
b_pid="$GAME_PID" b_window="$WINDOW"
await_title
mv "$WORK/stdout.txt" "$WORK/stdout-b.txt"
# Copy A, started later, sets "Hard" and quits. With two windows, the one
# played in is given the focus first, as a click would.
launch_game "$WORK/game" ./quarvell
focus "$WINDOW"
await_title
choose_hard_and_quit
[ "$(byte_at "$SETTINGS" 0)" = "2" ] || fail "copy A did not save Hard"
# Copy B turns off the clouds and is logged out: A's Hard stays on disk.
GAME_PID="$b_pid" WINDOW="$b_window" GAME_OUT="$WORK/stdout-b.txt"
focus "$WINDOW"
choose Setup; choose Detail
choose Clouds
await_change clouds-off 14x12+110+84 # its switch, beside the row
kill -HUP "$GAME_PID"
wait_exit 15
[ "$EXIT_RC" = "0" ] || fail "copy B ended with status $EXIT_RC on SIGHUP: $(game_errors)"
[ "$(byte_at "$SETTINGS" 19)" = "0" ] || fail "copy B's change was not saved on SIGHUP"
[ "$(byte_at "$SETTINGS" 0)" = "2" ] || fail "copy B undid copy A's Hard (difficulty $(byte_at "$SETTINGS" 0))"

GAME_OUT=""

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
