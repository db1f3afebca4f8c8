#!/usr/bin/env bash
# The real binary in a real X window: the title shows, a game starts and
# flies, the player goes back to the menu and quits, and both saved files
# are written.
source "$(dirname "$0")/lib.sh"
start_xvfb
start_game
await_title
title="$PICTURE"
[ "$(colours "$title")" -gt 8 ] || fail "title screen looks blank"

# The title opens on "Setup": up to "Start Game", then the first ship, gun,
# pod and "Campaign" with the Fire / Accept key (Left Alt).
start_flight
flight="$WORK/flight-seen.png"
cp "$PICTURE" "$flight"
[ "$(colours "$flight")" -gt 8 ] || fail "flight view looks blank"
shows_none "$flight" "Start Game" Setup "Resume Play" || fail "a menu is still shown in flight: $(seen "$flight")"
# Turn and thrust for a while; the game must keep running.
hold 1 Up Left
kill -0 "$GAME_PID" || fail "game died in flight: $(game_errors)"

# Pause, choose "Main Menu", pass the game-end screen, then "QUIT!".
pause_flight
# The pause menu over a darkened still of the flight.
greater "$(brightness "$flight")" "$(brightness "$PICTURE")" || fail "the paused game is not darkened"
choose "Main Menu"
await game-end "Game Over!"
press Alt_L
await_title
quit_game
[ "$(stat -c %s "$SETTINGS")" -eq 27 ] || fail "settings file not written"
[ "$(stat -c %s "$RECORDS")" -eq 191 ] || fail "records file not written"
echo "ok"
