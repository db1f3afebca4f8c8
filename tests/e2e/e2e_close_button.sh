#!/usr/bin/env bash
# The window's close button in the middle of a flight ends the game cleanly
# and saves the player's settings and records as they are at that moment.
source "$(dirname "$0")/lib.sh"
start_xvfb
start_game
await_title
start_flight
# The stage start wrote the files with the clouds on; C turns them off just
# before the close, which must save that.
[ "$(byte_at "$SETTINGS" 19)" = "1" ] || fail "clouds not on at the stage start"
press c 0.3
close_window
wait_exit 15
[ "$EXIT_RC" = "0" ] || fail "close ended with status $EXIT_RC: $(game_errors)"
[ "$(stat -c %s "$SETTINGS")" -eq 27 ] || fail "settings file not written"
[ "$(byte_at "$SETTINGS" 19)" = "0" ] || fail "the close did not save the settings"
[ "$(stat -c %s "$RECORDS")" -eq 191 ] || fail "records file not written"
echo "ok"
