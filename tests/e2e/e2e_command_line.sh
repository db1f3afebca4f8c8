#!/usr/bin/env bash
# The command line: --help names the options and keys, --version, and a
# bad option or value says which in one line, shows the usage and exits 2.
# None of these needs a display.
source "$(dirname "$0")/lib.sh"
game="$GAME_DIR/quarvell"
unset DISPLAY

"$game" --help >"$WORK/help.txt" 2>"$WORK/help.err" || fail "--help exited with $?"
for word in --help --version --windowed --fullscreen "--scale N" --aspect "--data DIR" \
    Alt+Enter F11 F12 Escape; do
  grep -qF -- "$word" "$WORK/help.txt" || fail "--help does not mention $word"
done
[ ! -s "$WORK/help.err" ] || fail "--help wrote to stderr: $(cat "$WORK/help.err")"

"$game" --version >"$WORK/version.txt" || fail "--version exited with $?"
grep -qE '^quarvell [0-9]+\.[0-9]+' "$WORK/version.txt" || fail "odd version: $(cat "$WORK/version.txt")"

# Usage errors: status 2, the first line names the problem, the usage follows.
bad() {
  local expect="$1"; shift
  local rc=0
  "$game" "$@" >"$WORK/bad.out" 2>"$WORK/bad.err" || rc=$?
  [ "$rc" -eq 2 ] || fail "'$*' exited with $rc, not 2"
  head -n1 "$WORK/bad.err" | grep -qF -- "$expect" || fail "'$*' said: $(head -n1 "$WORK/bad.err")"
  grep -q '^Usage: quarvell' "$WORK/bad.err" || fail "'$*' did not show the usage"
  [ ! -s "$WORK/bad.out" ] || fail "'$*' wrote to stdout"
}
bad "unknown option '--bogus'" --bogus
bad "unknown option 'extra'" extra
bad "--scale needs a whole number" --scale 0
bad "--scale needs a whole number" --scale=3x
bad "--scale needs a value" --scale
bad "--aspect takes no value" --aspect=yes
echo "ok"
