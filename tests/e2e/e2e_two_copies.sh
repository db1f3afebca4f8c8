#!/usr/bin/env bash
# Copies sharing one home, one held inside its save (its fsync waits, as on
# a slow disk or with the copy stopped there): another's save waits for it
# however long it takes, says which file waits, then keeps both copies'
# changes; a player who will not wait leaves with a second Ctrl+C and is told
# which file was not saved.
source "$(dirname "$0")/lib.sh"
HOLD_FSYNC="$(realpath "$GAME_DIR/../tests/libqv_hold_fsync.so")"
start_xvfb
copy_game
gate="$WORK/gate" copies=""
trap 'rm -f "$gate"; for p in $copies; do stop "$p"; done; cleanup' EXIT

# Starts a copy named $1 (environment $2...), its output in $WORK/$1.txt
# and $WORK/$1-out.txt, and waits for its title menu.
copy() {
  local name="$1"; shift
  launch_game "$WORK/game" env "$@" ./quarvell
  mv "$WORK/stderr.txt" "$WORK/$name.txt"
  mv "$WORK/stdout.txt" "$WORK/$name-out.txt"
  GAME_OUT="$WORK/$name-out.txt"
  copies="$copies $GAME_PID"
  focus "$WINDOW"
  await_title
}
waits() { until_true grep -q "waiting for another copy of the game to save $SETTINGS" "$WORK/$1.txt"; }
ends() { # pid, name: it must end with status 0
  GAME_PID="$1"; wait_exit 20
  [ "$EXIT_RC" = "0" ] || fail "$2 ended with status $EXIT_RC"
}

# B chooses "Hard" and waits at the title, C chooses "Easy".
copy b
b_pid="$GAME_PID" b_window="$WINDOW"
choose_difficulty Hard
press Control_L
await_title
copy c
c_pid="$GAME_PID"
choose_difficulty Easy
# A turns the clouds off and is logged out: its save holds the lock.
copy a "LD_PRELOAD=$HOLD_FSYNC" "QV_HOLD_FSYNC=$gate"
a_pid="$GAME_PID"
choose Setup; choose Detail; choose Clouds
await_change clouds-off 14x12+110+84 # its switch, beside the row
touch "$gate"
kill -TERM "$a_pid"
until_true test -e "$gate.held" || fail "A never saved: $(cat "$WORK/a.txt")"
# B quits, C gets Ctrl+C: both wait for A.
WINDOW="$b_window" GAME_PID="$b_pid" GAME_OUT="$WORK/b-out.txt"
focus "$WINDOW"
choose "QUIT!"
kill -INT "$c_pid"
waits b && waits c || fail "B or C did not wait for A: $(cat "$WORK/b.txt" "$WORK/c.txt")"
# A second Ctrl+C leaves C's wait; B waits on, far longer than any save.
kill -INT "$c_pid"
ends "$c_pid" "C, left by a second Ctrl+C,"
grep -qx "quarvell: could not save $SETTINGS: another copy of the game is saving it" "$WORK/c.txt" ||
  fail "C did not say what it left unsaved: $(cat "$WORK/c.txt")"
sleep 3
kill -0 "$b_pid" || fail "B gave up waiting: $(cat "$WORK/b.txt")"
[ ! -e "$SETTINGS" ] || fail "B or C saved while A held the lock"
rm "$gate"
ends "$a_pid" A
ends "$b_pid" B
[ "$(byte_at "$SETTINGS" 0)$(byte_at "$SETTINGS" 19)" = "20" ] ||
  fail "B's Hard or A's clouds were lost, or C's Easy saved"
echo "ok"
