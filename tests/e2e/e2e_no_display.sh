#!/usr/bin/env bash
# Without a display the game says why in one line and exits non-zero.
source "$(dirname "$0")/lib.sh"
copy_game
rc=0
(cd "$WORK/game" && env -u DISPLAY ./quarvell >"$WORK/out.txt" 2>"$WORK/err.txt") || rc=$?
[ "$rc" -ne 0 ] || fail "exit status 0 without a display"
[ "$(wc -l <"$WORK/err.txt")" -eq 1 ] || fail "expected one line on stderr, got: $(cat "$WORK/err.txt")"
grep -qi "display" "$WORK/err.txt" || fail "message does not name the problem: $(cat "$WORK/err.txt")"
echo "ok: $(cat "$WORK/err.txt")"
