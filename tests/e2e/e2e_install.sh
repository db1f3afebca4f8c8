#!/usr/bin/env bash
# `cmake --install` into a fresh prefix, right after the build that
# ./scripts/play.sh makes (the game and its data alone), gives a game that
# starts from its desktop entry in any folder, finds its data, and keeps the
# player's settings and records in the XDG folders of an empty HOME, where a
# second run reads them back.
source "$(dirname "$0")/lib.sh"
BUILD="$(dirname "$GAME_DIR")"
PREFIX="$WORK/prefix"
# The files only the install reads are made again by the targets play.sh
# builds, and by them alone (which leaves the build as it was).
read -ra play_targets <<<"$(sed -n 's/^cmake --build .* --target //p' "$(dirname "$0")/../../scripts/play.sh")"
[ ${#play_targets[@]} -gt 0 ] || fail "no build targets found in scripts/play.sh"
rm -f "$BUILD"/packaging/*.gz
cmake --build "$BUILD" --target "${play_targets[@]}" >"$WORK/build.txt" 2>&1 ||
  fail "the play build failed: $(tail -5 "$WORK/build.txt")"
cmake --install "$BUILD" --prefix "$PREFIX" >"$WORK/install.txt" 2>&1 ||
  fail "install after the play build failed: $(grep -i error "$WORK/install.txt" | head -3)"

entry="$PREFIX/share/applications/quarvell.desktop"
[ -f "$entry" ] || fail "no desktop entry"
grep -qx 'Icon=quarvell' "$entry" || fail "the entry names no icon"
for size in 32 64 128 256; do
  icon="$PREFIX/share/icons/hicolor/${size}x${size}/apps/quarvell.png"
  [ "$(identify -format '%w %h' "$icon" 2>/dev/null)" = "$size $size" ] || fail "no ${size}px icon"
done
[ ! -e "$PREFIX/share/quarvell/quarvell" ] || fail "the binary was copied into the data folder"
exec_line="$(sed -n 's/^Exec=//p' "$entry")"
[ -x "$exec_line" ] || fail "the entry starts '$exec_line', which is no program"

# Started the way the desktop starts it, from a folder with nothing in it.
mkdir -p "$WORK/elsewhere"
run() {
  launch_game "$WORK/elsewhere" "$exec_line"
  await_title
}
start_xvfb
run
choose_hard_and_quit
[ "$(stat -c %s "$SETTINGS" 2>/dev/null)" = "27" ] || fail "no settings in $SETTINGS: $(find "$HOME")"
[ "$(stat -c %s "$RECORDS" 2>/dev/null)" = "191" ] || fail "no records in $RECORDS: $(find "$HOME")"
[ "$(byte_at "$SETTINGS" 0)" = "2" ] || fail "difficulty saved as $(byte_at "$SETTINGS" 0), not 2"
[ -z "$(ls -A "$WORK/elsewhere")" ] || fail "files left in the starting folder: $(ls -A "$WORK/elsewhere")"

run
quit_game
[ "$(byte_at "$SETTINGS" 0)" = "2" ] || fail "the second run did not read the settings back"
[ "$(stat -c %s "$RECORDS")" = "191" ] || fail "the second run damaged the records"
echo "ok"
