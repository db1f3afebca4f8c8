#!/usr/bin/env bash
# Alt+Enter (and F11) switch to fullscreen and back, in the menus and in
# flight: fullscreen shows the largest whole-number scale centred on black;
# back in the window, the palette and the game are as they were. In the
# title menu, Alt (the select key) held for Alt+Enter selects nothing; F11
# bound to Fire selects and switches nothing.
source "$(dirname "$0")/lib.sh"

alt_enter() {
  xdotool keydown --window "$WINDOW" Alt_L
  sleep 0.1
  xdotool keydown --window "$WINDOW" Return
  sleep 0.15
  xdotool keyup --window "$WINDOW" Return
  sleep 0.05
  xdotool keyup --window "$WINDOW" Alt_L
  sleep 1
}

# Fullscreen on the 1024x768 screen: a 960x600 picture at (32, 84), black
# around it, and the game's window itself out of sight.
check_fullscreen() {
  local tag="$1" root="$WORK/$1-root.png"
  xwininfo -id "$WINDOW" | grep -q IsUnMapped || fail "$tag: the game's window is still shown"
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
  xwininfo -id "$WINDOW" | grep -q IsViewable || fail "$tag: the window did not come back"
  [ "$(window_size "$WINDOW")" = "960x600" ] || fail "$tag: the window is $(window_size "$WINDOW")"
}

start_xvfb 1024x768
start_game
sleep 2
before="$(shot title-before)"

alt_enter
check_fullscreen title
# The same title picture (its animation moves a little), in its own colours.
greater 0.2 "$(difference "$before" "$WORK/title-picture.png")" || fail "fullscreen shows another picture"
case "$(menu_text "$WORK/title-picture.png")" in
  *Game*Records*QUIT*) ;;
  *) fail "Alt+Enter left the title menu: $(menu_text "$WORK/title-picture.png")" ;;
esac
press F11
check_window title
after="$(shot title-after)"
greater 0.2 "$(difference "$before" "$after")" || fail "the palette or picture changed after fullscreen"

# In flight: the switches leave the flight running (no pause, no menu).
start_flight
flight="$(shot flight)"
press F11
check_fullscreen flight
case "$(menu_text "$WORK/flight-picture.png")" in
  *esume*|*"Exit Game"*) fail "switching to fullscreen paused the flight" ;;
esac
alt_enter
check_window flight
sleep 0.5
back="$(shot flight-back)"
case "$(menu_text "$back")" in
  *esume*|*"Exit Game"*) fail "switching back paused the flight" ;;
esac
greater 0.3 "$(difference "$flight" "$back")" || fail "the flight looks different after the switches"
# The keys still reach the game: Escape pauses.
press Escape
sleep 0.5
menu_reads '*esume*Exit Game*' pause || fail "no pause menu after the switches: $(menu_text "$WORK/pause.png")"
kill -0 "$GAME_PID" || fail "game died: $(game_errors)"
[ -z "$(game_errors)" ] || fail "the game complained: $(game_errors)"
quit_from_title # the pause menu's "Exit Game"

# Started with --fullscreen; F11 brings the window.
launch_game "$WORK/game" ./quarvell --fullscreen
sleep 2
check_fullscreen started
press F11
check_window started
quit_from_title

# Fire bound to F11 (a prepared settings file kept in the game's folder):
# F11 selects in the menus and switches nothing.
settings_with_byte 11 '\x39' # F11
launch_game "$WORK/game" ./quarvell
sleep 2
press F11 # "Setup"
sleep 1
check_window bound
menu_reads '*Controls*' bound || fail "F11 bound to Fire did not open Setup: $(menu_text "$WORK/bound.png")"
press Control_L; sleep 1
quit_from_title F11
echo "ok"
