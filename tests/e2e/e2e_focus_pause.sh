#!/usr/bin/env bash
# Switching to another window during a flight opens the pause menu, as
# Escape would; in the menus it changes nothing, and a switch made there is
# no reason to pause the next flight.
source "$(dirname "$0")/lib.sh"
start_xvfb
start_game
open_other_window
sleep 2

focus "$WINDOW"
focus "$OTHER"
menu_reads '*Game*Records*QUIT*' title-away ||
  fail "leaving the window changed the title menu: $(menu_text "$WORK/title-away.png")"

# The game is started with the focus still away (the keys are sent to its
# window directly): the loss seen in the menus must not pause this flight.
start_flight 4
case "$(menu_text "$(shot flight)")" in
  *esume*|*"Exit Game"*) fail "the flight began paused after a switch in the menus" ;;
esac

focus "$WINDOW"
focus "$OTHER"
menu_reads '*esume*Exit Game*' away ||
  fail "no pause menu after the focus moved away: $(menu_text "$WORK/away.png")"

# Back, "Resume Play": the flight goes on and stays unpaused.
focus "$WINDOW"
press Alt_L
sleep 1.5
case "$(menu_text "$(shot resumed)")" in
  *esume*|*"Exit Game"*) fail "the pause menu is still shown after Resume Play" ;;
esac
kill -0 "$GAME_PID" || fail "game died: $(game_errors)"
stop "$OTHER_PID"
echo "ok"
