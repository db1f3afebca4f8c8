#!/usr/bin/env bash
# The command line: --help (and -h) names the options and keys, --version
# prints the build's version, and a bad option or value says which in one
# line, then where to look, and exits 2. None of these needs a display.
source "$(dirname "$0")/lib.sh"
game="$GAME_DIR/quarvell"
unset DISPLAY

"$game" -h >"$WORK/help.txt" 2>"$WORK/help.err" || fail "-h exited with $?"
for word in --help --version --windowed --fullscreen "--scale N" --aspect "--data DIR" \
    Alt+Enter F11 F12 Escape; do
  grep -qF -- "$word" "$WORK/help.txt" || fail "--help does not mention $word"
done
[ ! -s "$WORK/help.err" ] || fail "-h wrote to stderr: $(cat "$WORK/help.err")"

"$game" --version >"$WORK/version.txt" || fail "--version exited with $?"
project_version="$(sed -n 's/^project(quarvell VERSION \([0-9.]*\).*/\1/p' "$(dirname "$0")/../../CMakeLists.txt")"
[ "$(cat "$WORK/version.txt")" = "quarvell $project_version" ] ||
  fail "--version says '$(cat "$WORK/version.txt")', the build is $project_version"

# Usage errors: status 2, the first line names the problem, the second says
# where to look, and nothing else.
bad() {
  local expect="$1"; shift
  local rc=0
  "$game" "$@" >"$WORK/bad.out" 2>"$WORK/bad.err" || rc=$?
  [ "$rc" -eq 2 ] || fail "'$*' exited with $rc, not 2"
  head -n1 "$WORK/bad.err" | grep -qF -- "$expect" || fail "'$*' said: $(head -n1 "$WORK/bad.err")"
  [ "$(sed -n 2p "$WORK/bad.err")" = "Try 'quarvell --help' for more information." ] ||
    fail "'$*' did not give the hint: $(sed -n 2p "$WORK/bad.err")"
  [ "$(wc -l <"$WORK/bad.err")" -eq 2 ] || fail "'$*' said more than two lines"
  [ ! -s "$WORK/bad.out" ] || fail "'$*' wrote to stdout"
}
bad "unknown option '--bogus'" --bogus
bad "unknown option 'extra'" extra
bad "--scale needs a whole number" --scale 0
bad "--scale needs a whole number" --scale=3x
bad "--scale needs a value" --scale
bad "--aspect takes no value" --aspect=yes
echo "ok"
