#!/usr/bin/env bash
# F12 saves the frame on show as a numbered 320x200 PNG with the game's own
# palette in the player's pictures folder and names it on standard output;
# not when the player has bound F12 to an action.
source "$(dirname "$0")/lib.sh"
start_xvfb
start_game
await_title
rm -f "$SHOTS"/*
# The pause menu over a still flight: a frame that holds still.
start_flight
pause_flight
rm -f "$SHOTS"/*
frame="$(frame_shot paused)"
press F12
first="$SHOTS/quarvell-0001.png"
until_true test -f "$first" || fail "no screenshot in $SHOTS: $(ls -R "$HOME")"
until_true grep -qx "quarvell: screenshot saved as $first" "$WORK/stdout.txt" ||
  fail "standard output does not name the file: $(cat "$WORK/stdout.txt")"
# An indexed PNG (the palette itself), at the game's size.
[ "$(identify -format '%w %h' "$first")" = "320 200" ] || fail "not 320x200: $(identify "$first")"
[ "$(od -An -tu1 -j25 -N1 "$first" | tr -d ' ')" = "3" ] || fail "not a palette PNG"
# Every pixel is the colour the window shows, but for the pause menu, whose
# cursor glows and scan line moves from frame to frame (covered in both).
for f in "$first" "$frame"; do
  convert "$f" -fill black -draw 'rectangle 0,0 110,66' -type TrueColor "$WORK/$(basename "$f").masked.png"
done
diff_pixels="$(compare -metric AE "$WORK/quarvell-0001.png.masked.png" "$WORK/paused.png.masked.png" null: 2>&1 || true)"
[ "$diff_pixels" = "0" ] || fail "$diff_pixels pixels differ from the frame on show"
[ "$(colours "$first")" -gt 16 ] || fail "the screenshot looks blank"

press F12
until_true test -f "$SHOTS/quarvell-0002.png" || fail "the second screenshot is not quarvell-0002.png"
quit_game "Exit Game"

# F12 bound to "Pod" (a prepared settings file kept in the game's folder):
# F12 launches pods and takes no picture.
settings_with_byte 13 '\x3a' # F12
launch_game "$WORK/game" ./quarvell
PICTURES=window
await_title
press F12
quit_game
[ ! -e "$SHOTS/quarvell-0003.png" ] || fail "F12 bound to an action still took a screenshot"
! grep -q screenshot "$WORK/stdout.txt" || fail "F12 bound to an action: $(cat "$WORK/stdout.txt")"
[ "$(byte_at "$WORK/game/w_config.def" 13)" = "58" ] || fail "the binding was not kept"
echo "ok"
