#!/usr/bin/env bash
# A setting changed in the menus survives quitting and starting again.
source "$(dirname "$0")/lib.sh"
start_xvfb
start_game
sleep 2
choose_hard_and_quit
[ "$EXIT_RC" = "0" ] || fail "first quit ended with status $EXIT_RC: $(game_errors)"
difficulty="$(od -An -tu1 -j0 -N1 "$SETTINGS" | tr -d ' ')"
[ "$difficulty" = "2" ] || fail "difficulty saved as $difficulty, not 2 (Hard)"

# Start again and quit at once: the file must be read back, not reset.
launch_game "$WORK/game" ./quarvell
sleep 2
press Down; press Down; press Alt_L
wait_exit 15
[ "$EXIT_RC" = "0" ] || fail "second quit ended with status $EXIT_RC: $(game_errors)"
difficulty="$(od -An -tu1 -j0 -N1 "$SETTINGS" | tr -d ' ')"
[ "$difficulty" = "2" ] || fail "difficulty came back as $difficulty after a restart"
echo "ok"
