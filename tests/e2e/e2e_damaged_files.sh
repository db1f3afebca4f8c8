#!/usr/bin/env bash
# Damaged files as a player meets them: a settings file whose keys no one
# can press must not lock the title menu (the mended keys are saved), a
# killed save's temporary file goes at start-up, and a title picture of the
# wrong size stops the game with the file's name instead of showing garbage.
source "$(dirname "$0")/lib.sh"
REPRO="$(cd "$(dirname "$0")/../data/repro" && pwd)"
start_xvfb

launch() {
  (cd "$WORK/game" && exec ./quarvell >"$WORK/stdout.txt" 2>"$WORK/stderr.txt") &
  GAME_PID=$!
}

copy_game
cp "$REPRO/w_config_keys_x.def" "$WORK/game/w_config.def"
# The id of a process that has ended: its writer is gone.
true & gone=$!
wait "$gone"
# The records are kept in the player's folder (the settings file above stays
# in the game's folder, where it was found): the temporary file lies there.
mkdir -p "$(dirname "$RECORDS")"
echo stale >"$RECORDS.$gone.tmp"

launch_game "$WORK/game" ./quarvell
await_title
quit_game # with the default Fire/Accept key
keys="$(od -An -tu1 -j11 -N4 "$WORK/game/w_config.def" | tr -s ' ' | sed 's/^ //')"
[ "$keys" = "107 105 26 103" ] || fail "saved keys are $keys, not the defaults"
[ ! -e "$RECORDS.$gone.tmp" ] || fail "the stale temporary file is still there"

cp "$REPRO/title_1x1.lmp" "$WORK/game/graphics/title.lmp"
launch
wait_exit 20
[ "$EXIT_RC" = "1" ] || fail "a 1x1 title picture gave status $EXIT_RC, not 1"
grep -q "graphics/title.lmp" "$WORK/stderr.txt" || fail "the error does not name the file: $(game_errors)"
echo "ok"
