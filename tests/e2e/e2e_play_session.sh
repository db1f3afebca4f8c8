#!/usr/bin/env bash
# The real binary in a real X window: the title shows, a game starts and
# flies, the player goes back to the menu and quits, and both saved files
# are written.
source "$(dirname "$0")/lib.sh"
start_xvfb
start_game
sleep 2
title="$WORK/title.png"
menu_reads '*Start Game*' title || fail "the title menu does not read \"Start Game\": $(menu_text "$title")"
[ "$(colours "$title")" -gt 8 ] || fail "title screen looks blank"

# The title opens on "Setup": up to "Start Game", then accept the first
# ship, gun, pod and "Campaign" with the Fire / Accept key (Left Alt).
start_flight 4
flight="$(shot flight)"
[ "$(colours "$flight")" -gt 8 ] || fail "flight view looks blank"
# The flight view is another picture altogether (the title's own animation
# changes it by about 0.12), and no menu is left over it.
greater "$(difference "$title" "$flight")" 0.25 || fail "the flight looks like the title"
case "$(menu_text "$flight")" in
  *"Start Game"*|*"Setup"*) fail "a menu is still shown in flight" ;;
esac
# Turn and thrust for a while; the game must keep running.
hold 1 Up Left
kill -0 "$GAME_PID" || fail "game died in flight: $(game_errors)"

# Pause, choose "Main Menu", pass the game-end screen, then "QUIT!".
press Escape
sleep 0.5
pause="$(shot pause)"
# The pause menu over a darkened still of the flight.
menu_reads '*Resume*Exit Game*' pause ||
  fail "the pause menu does not read \"Resume Play\" ... \"Exit Game\": $(menu_text "$pause")"
greater "$(brightness "$flight")" "$(brightness "$pause")" || fail "the paused game is not darkened"
press Down
press Alt_L
sleep 3
press Alt_L
sleep 3
quit_from_title
[ "$(stat -c %s "$SETTINGS")" -eq 27 ] || fail "settings file not written"
[ "$(stat -c %s "$RECORDS")" -eq 191 ] || fail "records file not written"
echo "ok"
