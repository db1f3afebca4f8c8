#!/usr/bin/env bash
# Copies sharing one home, one held inside its save (its fsync waits, as on
# a slow disk or with the copy stopped there): another's save waits for it
# however long it takes, says which file waits, then keeps both copies'
# changes; a player who will not wait leaves with a second Ctrl+C and is told
# which file was not saved.
source "$(dirname "$0")/lib.sh"
cc -shared -fPIC -o "$WORK/hold.so" "$(dirname "$0")/hold_fsync.c" -ldl || fail "cannot build hold_fsync"
start_xvfb
copy_game
gate="$WORK/gate" copies=""
trap 'rm -f "$gate"; for p in $copies; do stop "$p"; done; cleanup' EXIT

until_true() { for _ in $(seq 100); do "$@" && return 0; sleep 0.2; done; return 1; }
copy() { # name, environment: its stderr goes to $WORK/name.txt
  local name="$1"; shift
  launch_game "$WORK/game" env "$@" ./quarvell
  mv "$WORK/stderr.txt" "$WORK/$name.txt"
  copies="$copies $GAME_PID"
  focus "$WINDOW"; sleep 1.5
}
waits() { until_true grep -q "waiting for another copy of the game to save $SETTINGS" "$WORK/$1.txt"; }
ends() { # pid, name: it must end with status 0
  GAME_PID="$1"; wait_exit 20
  [ "$EXIT_RC" = "0" ] || fail "$2 ended with status $EXIT_RC"
}

# B chooses "Hard" and quits, C chooses "Easy" and gets Ctrl+C, while A is
# inside its save.
copy b
b_pid="$GAME_PID" b_window="$WINDOW"
choose_difficulty; sleep 0.8; press Control_L; sleep 0.8; press Down; press Down
copy c
c_pid="$GAME_PID"
choose_difficulty Up
# A turns the clouds off and is logged out: its save holds the lock.
copy a "LD_PRELOAD=$WORK/hold.so" "QV_HOLD_FSYNC=$gate"
a_pid="$GAME_PID"
press Alt_L; sleep 0.8; press Down; press Down; press Down; press Alt_L; sleep 0.8; press Alt_L
touch "$gate"
kill -TERM "$a_pid"
until_true test -e "$gate.held" || fail "A never saved: $(cat "$WORK/a.txt")"
WINDOW="$b_window"; focus "$WINDOW"; press Alt_L # "QUIT!"
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
