#!/usr/bin/env bash
# The desktop around the game, under a real window manager: fullscreen
# asked for by the window manager is the game's own, centred; a keyboard
# desktop switch in flight pauses it, and the game sleeps while it is out of
# sight; "Exit Game" keeps a hot key's change; a stop (job control, a
# debugger) is not caught up in a burst of ticks, and pauses the flight; a
# standard output nobody reads kills nothing; and a lost display saves the
# player's change and ends the game with status 1.
source "$(dirname "$0")/lib.sh"
start_xvfb
start_window_manager
start_game
await_title

# The window manager's fullscreen: the largest whole scale (3x on 1024x768)
# centred on black, the window itself out of sight; F11 gives it back.
wmctrl -i -r "$WINDOW" -b add,fullscreen
until_true map_state "$WINDOW" IsUnMapped || fail "the window manager's fullscreen kept the window"
picture drawn; picture drawn
import -window root "$WORK/root.png"
convert "$WORK/root.png" -crop 960x600+32+84 +repage -filter point -resize 320x200\! "PNG24:$WORK/middle.png"
shows "$WORK/middle.png" "Start Game" "QUIT!" || fail "no title menu in the middle of the screen"
convert "$WORK/root.png" -crop 1024x84+0+0 +repage "$WORK/band.png"
[ "$(colours "$WORK/band.png")" = 1 ] || fail "the screen above the picture is not black"
press F11
until_true map_state "$WINDOW" IsViewable || fail "F11 did not give the window back"
[ "$(window_size "$WINDOW")" = "960x600" ] || fail "the window came back at $(window_size "$WINDOW")"

# A keyboard desktop switch in flight: out of sight, the game sleeps; and
# back (asked of the window manager as a pager does, then seen to be done),
# the flight is paused.
start_flight
xdotool key ctrl+alt+Right
until_true map_state "$WINDOW" IsUnMapped || fail "the desktop switch left the window shown"
until_true game_sleeps || fail "the game does not sleep out of sight"
wmctrl -s 0
until_true map_state "$WINDOW" IsViewable || fail "the window did not come back with its desktop"
await back "Resume Play"

# V in flight, then "Exit Game": the change is saved.
choose "Resume Play"
await_gone resumed "Resume Play"
vsync="$(byte_at "$SETTINGS" 1)"
press v 0.3
pause_flight
quit_game "Exit Game"
[ "$(byte_at "$SETTINGS" 1)" != "$vsync" ] || fail "Exit Game lost the change V made"

# Stopped for 5 s as the stage's opening (about 3 s) begins: after it goes
# on, the opening is still there (a burst of the 350 ticks missed would have
# ended it at once), and the flight pauses when it begins.
launch_game "$WORK/game" ./quarvell
await_title
choose "Start Game"; choose Talon; choose "Pulse Laser"; choose Pulsar; choose Campaign
score_shown() { picture opening; shows "$PICTURE" small:SCORE; }
until_true score_shown || fail "no stage opening"
kill -STOP "$GAME_PID"; sleep 5; kill -CONT "$GAME_PID"
sleep 0.6
picture after-stop
shows "$PICTURE" "Delian Mesas" || fail "the opening ran on through the stop: $(seen "$PICTURE")"
await stopped "Resume Play"
quit_game "Exit Game"

# Its standard output a pipe nobody reads any more: the game goes on, and
# F12 still saves the picture.
mkfifo "$WORK/out"
(cd "$WORK/game" && exec ./quarvell >"$WORK/out" 2>"$WORK/stderr.txt") &
GAME_PID=$!
exec 9<"$WORK/out"; exec 9<&-
find_window
PICTURES=window
await_title
rm -f "$SHOTS"/*
press F12
until_true test -f "$SHOTS/quarvell-0001.png" || fail "F12 saved no picture: $(game_errors)"
quit_game
PICTURES=f12

# The window's connection killed, then the X server gone, each after a
# change in Setup: saved, and status 1.
for how in xkill server; do
  launch_game "$WORK/game" ./quarvell
  await_title
  want="$([ "$how" = xkill ] && echo Hard || echo Easy)"
  choose_difficulty "$want"
  if [ "$how" = xkill ]; then xkill -id "$WINDOW" >/dev/null; else stop "$XVFB_PID"; fi
  wait_exit 10
  [ "$EXIT_RC" = 1 ] || fail "$how: the game ended with status $EXIT_RC: $(game_errors)"
  [ "$(byte_at "$SETTINGS" 0)" = "$([ "$want" = Hard ] && echo 2 || echo 0)" ] ||
    fail "$how: $want was not saved"
done
echo "ok"
