#!/usr/bin/env bash
# Alt+Enter (and F11) switch to fullscreen and back, in the menus and in
# flight: fullscreen shows the largest whole-number scale centred on black;
# back in the window, the palette and the game are as they were. In the
# title menu, Alt (the select key) held for Alt+Enter selects nothing; F11
# bound to Fire selects and switches nothing.
source "$(dirname "$0")/lib.sh"

alt_enter() {
  keys_down Alt_L
  sleep 0.1
  keys_down Return
  sleep 0.15
  keys_up Return
  sleep 0.05
  keys_up Alt_L
}

# Fullscreen on the 1024x768 screen: a 960x600 picture at (32, 84), black
# around it, and the game's window itself out of sight.
check_fullscreen() {
  local tag="$1" root="$WORK/$1-root.png"
  until_true map_state "$WINDOW" IsUnMapped || fail "$tag: the game's window is still shown"
  # Two frames later the first in fullscreen has been drawn.
  picture "$tag-drawn"; picture "$tag-drawn"
  import -window root "$root"
  convert "$root" -crop 960x600+32+84 +repage "$WORK/$tag-picture.png"
  [ "$(colours "$WORK/$tag-picture.png")" -gt 8 ] || fail "$tag: no picture in the middle"
  for band in 1024x84+0+0 1024x84+0+684 32x600+0+84 32x600+992+84; do
    convert "$root" -crop "$band" +repage "$WORK/band.png"
    [ "$(colours "$WORK/band.png")" = "1" ] && [ "$(brightness "$WORK/band.png")" = "0" ] ||
      fail "$tag: the border $band is not black"
  done
}

check_window() {
  local tag="$1"
  until_true map_state "$WINDOW" IsViewable || fail "$tag: the window did not come back"
  [ "$(window_size "$WINDOW")" = "960x600" ] || fail "$tag: the window is $(window_size "$WINDOW")"
  # Two frames later the first in the window has been drawn.
  picture "$tag-drawn"; picture "$tag-drawn"
}

# The window (or fullscreen) shows the game's own frame in the game's own
# colours: the rows "Records" and "QUIT!" of its picture, brought back to
# 320x200, are those of the F12 picture, but for the line that scans the
# panel (a wrong palette or picture changes nearly every pixel).
check_colours() {
  picture "$1-frame"
  convert "$2" -crop 100x24+6+46 +repage "$WORK/$1-rows-shown.png"
  convert "$PICTURE" -crop 100x24+6+46 +repage "$WORK/$1-rows-drawn.png"
  local differ
  differ="$(compare -metric AE "$WORK/$1-rows-shown.png" "$WORK/$1-rows-drawn.png" null: 2>&1 || true)"
  [ "$differ" -lt 600 ] || fail "$1: the picture shown is not the game's frame ($differ pixels of 2400 differ)"
}

start_xvfb 1024x768
start_game
await_title

alt_enter
check_fullscreen title
convert "$WORK/title-picture.png" -filter point -resize 320x200\! "$WORK/title-small.png"
check_colours title "$WORK/title-small.png"
shows "$PICTURE" "Start Game" "QUIT!" && [ "$(cursor_row)" = Setup ] ||
  fail "Alt+Enter left the title menu: $(texts "$PICTURE")"
press F11
check_window title
check_colours title-back "$(frame_shot title-back)"

# In flight: the switches leave the flight running (no pause, no menu).
start_flight
press F11
check_fullscreen flight
picture flight-fullscreen
shows_none "$PICTURE" "Resume Play" || fail "switching to fullscreen paused the flight"
alt_enter
check_window flight
picture flight-back
shows_none "$PICTURE" "Resume Play" || fail "switching back paused the flight"
# The keys still reach the game: Escape pauses.
pause_flight
kill -0 "$GAME_PID" || fail "game died: $(game_errors)"
[ -z "$(game_errors)" ] || fail "the game complained: $(game_errors)"
quit_game "Exit Game"

# Started with --fullscreen; F11 brings the window.
launch_game "$WORK/game" ./quarvell --fullscreen
await_title
check_fullscreen started
press F11
check_window started
quit_game

# Fire bound to F11 (a prepared settings file kept in the game's folder):
# F11 selects in the menus and switches nothing.
settings_with_byte 11 '\x39' # F11
launch_game "$WORK/game" ./quarvell
await_title
press F11 # "Setup"
await bound Controls Difficulty
check_window bound
press Control_L
await_title
quit_game "QUIT!" F11
echo "ok"
