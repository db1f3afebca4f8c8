#!/usr/bin/env bash
# A game recorded in the real window (real keys, real timers) replays to the
# same world: headless with --verify, and in the window, where the player's
# own files are left alone.
source "$(dirname "$0")/lib.sh"
start_xvfb
copy_game
run() { # arguments of the game; leaves it running
  launch_game "$WORK/game" ./quarvell "$@"
}

run --record "$WORK/game.qvr"
await_title
start_flight
hold 2 Up Left Alt_L
# A switch to another window (the flight pauses), back, "Resume Play", and
# screenshots all along: the replay must see the pause where the player saw
# it.
open_other_window
focus "$WINDOW"
focus "$OTHER"
await away "Resume Play" "Exit Game"
focus "$WINDOW"
choose "Resume Play"
await_gone resumed "Resume Play"
stop "$OTHER_PID"
press z 0.3
pause_flight
quit_game "Exit Game"
grep -q "recorded .* ticks" "$WORK/stdout.txt" || fail "no recording: $(cat "$WORK/stdout.txt")"

(cd "$WORK/game" && ./quarvell --replay "$WORK/game.qvr" --verify >"$WORK/verify.txt" 2>&1) ||
  fail "the recording does not verify: $(cat "$WORK/verify.txt")"
! grep -q "A-001" "$WORK/verify.txt" || fail "--verify complains of sound: $(cat "$WORK/verify.txt")"

saved="$(md5sum "$SETTINGS" "$RECORDS")"
run --replay "$WORK/game.qvr"
wait_exit 60
[ "$EXIT_RC" = "0" ] || fail "the replay in the window ended with status $EXIT_RC: $(game_errors)"
grep -q "replayed as recorded" "$WORK/stdout.txt" || fail "window replay: $(cat "$WORK/stdout.txt") $(game_errors)"
[ "$(md5sum "$SETTINGS" "$RECORDS")" = "$saved" ] ||
  fail "the replay changed the player's files"

# A game killed while it records leaves a recording that replays up to
# where it was cut off.
run --record "$WORK/killed.qvr"
await_title
start_flight
kill -9 "$GAME_PID"
wait_exit 5
(cd "$WORK/game" && ./quarvell --replay "$WORK/killed.qvr" --verify >"$WORK/verify.txt" 2>&1) ||
  fail "the killed recording does not verify: $(cat "$WORK/verify.txt")"
grep -q "verified up to tick [0-9]*, where the recording was cut off" "$WORK/verify.txt" ||
  fail "the killed recording: $(cat "$WORK/verify.txt")"

# A recording that cannot be made stops the game before it starts.
if (cd "$WORK/game" && ./quarvell --record "$WORK/no/such/folder/x.qvr" >"$WORK/out.txt" 2>&1); then
  fail "recording into a missing folder started the game"
fi
[ "$(cat "$WORK/out.txt")" = "quarvell: $WORK/no/such/folder/x.qvr: cannot record into it: No such file or directory" ] ||
  fail "an unusable recording path: $(cat "$WORK/out.txt")"
echo "ok"
