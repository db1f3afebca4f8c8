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
sleep 2
# Copy A, started later, sets "Hard" and quits. With two windows, the one
# played in is given the focus first, as a click would.
launch_game "$WORK/game" ./quarvell
focus "$WINDOW"; sleep 1.5
choose_hard_and_quit
[ "$(byte_at "$SETTINGS" 0)" = "2" ] || fail "copy A did not save Hard"
# Copy B turns off the clouds and is logged out: A's Hard stays on disk.
GAME_PID="$b_pid" WINDOW="$b_window"
focus "$WINDOW"
press Alt_L; sleep 0.8
press Down; press Down; press Down; press Alt_L; sleep 0.8
press Alt_L # "Clouds" off
kill -HUP "$GAME_PID"
wait_exit 15
[ "$EXIT_RC" = "0" ] || fail "copy B ended with status $EXIT_RC on SIGHUP: $(game_errors)"
[ "$(byte_at "$SETTINGS" 19)" = "0" ] || fail "copy B's change was not saved on SIGHUP"
[ "$(byte_at "$SETTINGS" 0)" = "2" ] || fail "copy B undid copy A's Hard (difficulty $(byte_at "$SETTINGS" 0))"

# Each signal, three times, landing while a menu slides after a change.
want=2
for round in 1 2 3; do
  for sig in TERM HUP INT; do
    launch_game "$WORK/game" ./quarvell
    sleep 2
    if [ "$want" = 2 ]; then choose_difficulty Down; want=3; else choose_difficulty Up; want=2; fi
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
