#!/usr/bin/env bash
# Switching to another window pauses a flight, as Escape would, also during
# the stage's opening; in the menus it changes nothing, and a switch made
# there is no reason to pause the next flight.
source "$(dirname "$0")/lib.sh"
start_xvfb
start_game
await_title
open_other_window

focus "$WINDOW"
focus "$OTHER"
# The keys go to the game's window directly, the focus staying away.
choose "Start Game"; choose Talon; choose "Pulse Laser"; choose Pulsar; choose Campaign
await_flight
shows_none "$PICTURE" "Resume Play" || fail "the flight began paused after a switch in the menus"

focus "$WINDOW"
focus "$OTHER"
await away "Resume Play" "Exit Game"

# Back, "Resume Play": the flight goes on and stays unpaused.
focus "$WINDOW"
choose "Resume Play"
await_gone resumed "Resume Play"
kill -0 "$GAME_PID" || fail "game died: $(game_errors)"
echo "ok"
