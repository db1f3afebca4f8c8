#!/usr/bin/env bash
# F12 saves the frame on show as a numbered 320x200 PNG with the game's own
# palette in the player's pictures folder and names it on standard output;
# not when the player has bound F12 to an action.
source "$(dirname "$0")/lib.sh"
start_xvfb
start_game
sleep 2
# The pause menu over a still flight: a frame that holds still.
start_flight
press Escape
sleep 1
press F12
frame="$(frame_shot paused)"
first="$SHOTS/quarvell-0001.png"
[ -f "$first" ] || fail "no screenshot in $SHOTS: $(ls -R "$HOME")"
grep -qx "quarvell: screenshot saved as $first" "$WORK/stdout.txt" ||
  fail "standard output does not name the file: $(cat "$WORK/stdout.txt")"
# An indexed PNG (the palette itself), at the game's size.
[ "$(identify -format '%w %h' "$first")" = "320 200" ] || fail "not 320x200: $(identify "$first")"
[ "$(od -An -tu1 -j25 -N1 "$first" | tr -d ' ')" = "3" ] || fail "not a palette PNG"
# Every pixel is the colour the window shows, but for the menu's cursor bar,
# whose glow moves from frame to frame (covered in both pictures).
for f in "$first" "$frame"; do
  convert "$f" -fill black -draw 'rectangle 5,10 105,36' -type TrueColor "$WORK/$(basename "$f").masked.png"
done
diff_pixels="$(compare -metric AE "$WORK/quarvell-0001.png.masked.png" "$WORK/paused.png.masked.png" null: 2>&1 || true)"
[ "$diff_pixels" = "0" ] || fail "$diff_pixels pixels differ from the frame on show"
[ "$(colours "$first")" -gt 16 ] || fail "the screenshot looks blank"

press F12
[ -f "$SHOTS/quarvell-0002.png" ] || fail "the second screenshot is not quarvell-0002.png"
press Down; press Alt_L; sleep 3; press Alt_L; sleep 3
quit_from_title

# F12 bound to "Pod" (a prepared settings file kept in the game's folder):
# F12 launches pods and takes no picture.
settings_with_byte 13 '\x3a' # F12
launch_game "$WORK/game" ./quarvell
sleep 2
press F12
sleep 0.5
[ ! -e "$SHOTS/quarvell-0003.png" ] || fail "F12 bound to an action still took a screenshot"
! grep -q screenshot "$WORK/stdout.txt" || fail "F12 bound to an action: $(cat "$WORK/stdout.txt")"
quit_from_title
[ "$(byte_at "$WORK/game/w_config.def" 13)" = "58" ] || fail "the binding was not kept"
echo "ok"
