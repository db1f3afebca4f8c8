#!/usr/bin/env bash
# The window is the largest whole-number scale of 320x200 that leaves room
# for the desktop's panels: 5x on 1920x1080, 3x on 1024x768; --scale and
# --aspect change it, a --scale larger than the desktop is brought down to
# the largest that fits; the picture is sharp at any scale.
source "$(dirname "$0")/lib.sh"

# One run: desktop size, options; checks the window's size and quits.
check_size() {
  local desktop="$1" want="$2"; shift 2
  start_xvfb "$desktop"
  start_game "$@"
  await_title
  local got
  got="$(window_size "$WINDOW")" || { wait_exit 1; fail "on $desktop with '$*' the window went away (game status $EXIT_RC): $(game_errors)"; }
  [ "$got" = "$want" ] || fail "on $desktop with '$*' the window is $got, not $want"
  # Sharp: the title picture brought back to 320x200 and blown up again by
  # the same whole scale is the window's picture, pixel for pixel (a
  # smoothed picture differs at every edge).
  local w="${want%x*}" h="${want#*x}" frame
  frame="$(frame_shot "title-$desktop")"
  if [ $(( w * 200 )) -eq $(( h * 320 )) ]; then
    convert "$frame" -filter point -resize "${want}!" "$WORK/again.png"
    [ "$(compare -metric AE "$WORK/title-$desktop-window.png" "$WORK/again.png" null: 2>&1)" = "0" ] ||
      fail "the picture at $want is not a sharp whole-number scale"
  fi
  quit_game
  stop "$XVFB_PID"
  XVFB_PID=""
}

check_size 1920x1080 1600x1000
check_size 1024x768 960x600
check_size 1024x768 640x400 --scale 2
# More than the desktop can show: the largest that fits, and one line saying so.
check_size 1024x768 960x600 --scale 16
grep -qx "quarvell: --scale 16 does not fit the 1024x768 desktop; using --scale 3" "$WORK/stderr.txt" ||
  fail "--scale 16 was brought down without a word: $(game_errors)"
# 4:3: every 5 rows shown as 6, so 320x240 at each scale; 3x (720 rows)
# would not leave the room, 2x does.
check_size 1024x768 640x480 --aspect
echo "ok"
