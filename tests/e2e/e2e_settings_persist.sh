#!/usr/bin/env bash
# A setting changed in the menus survives quitting and starting again.
source "$(dirname "$0")/lib.sh"
start_xvfb
start_game
sleep 2
choose_hard_and_quit
difficulty="$(od -An -tu1 -j0 -N1 "$SETTINGS" | tr -d ' ')"
[ "$difficulty" = "2" ] || fail "difficulty saved as $difficulty, not 2 (Hard)"

# Start again and quit at once: the file must be read back, not reset.
launch_game "$WORK/game" ./quarvell
sleep 2
quit_from_title
difficulty="$(od -An -tu1 -j0 -N1 "$SETTINGS" | tr -d ' ')"
[ "$difficulty" = "2" ] || fail "difficulty came back as $difficulty after a restart"
echo "ok"
