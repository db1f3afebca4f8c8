#!/usr/bin/env bash
# A setting changed in the menus survives quitting and starting again.
source "$(dirname "$0")/lib.sh"
start_xvfb
start_game
await_title
choose_hard_and_quit
[ "$(byte_at "$SETTINGS" 0)" = "2" ] || fail "difficulty saved as $(byte_at "$SETTINGS" 0), not 2 (Hard)"

# Start again and quit at once: the file must be read back, not reset.
launch_game "$WORK/game" ./quarvell
await_title
quit_game
[ "$(byte_at "$SETTINGS" 0)" = "2" ] || fail "difficulty came back as $(byte_at "$SETTINGS" 0) after a restart"
echo "ok"
