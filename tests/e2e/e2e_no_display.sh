#!/usr/bin/env bash
# Without a display the game says why in one line and exits non-zero, and
# --record leaves an earlier recording of that name as it was.
source "$(dirname "$0")/lib.sh"
copy_game
rc=0
(cd "$WORK/game" && env -u DISPLAY ./quarvell >"$WORK/out.txt" 2>"$WORK/err.txt") || rc=$?
[ "$rc" -ne 0 ] || fail "exit status 0 without a display"
[ "$(wc -l <"$WORK/err.txt")" -eq 1 ] || fail "expected one line on stderr, got: $(cat "$WORK/err.txt")"
grep -qi "display" "$WORK/err.txt" || fail "message does not name the problem: $(cat "$WORK/err.txt")"
head -c 629 /dev/urandom >"$WORK/old.qvr"
cp "$WORK/old.qvr" "$WORK/kept.qvr"
! (cd "$WORK/game" && env -u DISPLAY ./quarvell --record "$WORK/old.qvr" >/dev/null 2>&1) ||
  fail "--record without a display: exit status 0"
cmp -s "$WORK/old.qvr" "$WORK/kept.qvr" || fail "--record without a display changed the recording there"
[ "$(ls "$WORK" | grep -c qvr)" = 2 ] || fail "--record left files behind: $(ls "$WORK")"
echo "ok: $(cat "$WORK/err.txt")"
