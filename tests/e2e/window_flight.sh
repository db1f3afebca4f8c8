#!/usr/bin/env bash
# A sanitizer build's own binary in a window: a flight flown for a few
# seconds with real keys, then the close button. The exit must be clean (a
# sanitizer's report ends the game with another status) and the files
# written. A sanitized game draws slowly, so nothing here waits for a moment
# that comes and goes, such as the stage's banner (e2e_close_button, on the
# Release binary, checks what the close saves).
source "$(dirname "$0")/lib.sh"
start_xvfb
start_game
await_title
choose "Start Game"; choose Talon; choose "Pulse Laser"; choose Pulsar; choose Campaign
stage_begun() { picture stage; shows "$PICTURE" small:SCORE && shows_none "$PICTURE" Campaign; }
until_true stage_begun || fail "no stage began; the game shows: $(seen "$PICTURE")"
hold 3 Up Left Alt_L
close_window
wait_exit 60
[ "$EXIT_RC" = "0" ] || fail "the close ended the game with status $EXIT_RC: $(game_errors)"
[ "$(stat -c %s "$SETTINGS")" -eq 27 ] || fail "settings file not written"
[ "$(stat -c %s "$RECORDS")" -eq 191 ] || fail "records file not written"
echo "ok"
