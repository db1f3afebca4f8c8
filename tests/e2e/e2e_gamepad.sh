#!/usr/bin/env bash
# The real binary with a gamepad: Allegro's real joystick driver reads a
# fake Xbox-style pad (the tests' preloaded joystick library). "Gamepad" is
# switched on with no pad ("NO PAD"), the pad is plugged in and found in the
# open menu, the menus are gone through on it (D-pad, stick, buttons and
# Start), Start pauses a flight and resumes it, and pulling the pad out
# pauses it.
source "$(dirname "$0")/lib.sh"
FAKE_JOYSTICK="$(realpath "$GAME_DIR/../tests/libqv_fake_joystick.so")"
[ -f "$FAKE_JOYSTICK" ] || fail "no fake joystick library beside $GAME_DIR"
export QV_FAKE_JOYSTICK_DIR="$WORK/pad"
mkdir -p "$QV_FAKE_JOYSTICK_DIR"
PAD="$QV_FAKE_JOYSTICK_DIR/js0"

# Microsoft X-Box 360 pad through xpad: sticks, triggers resting at full
# deflection, a hat D-pad (axes 6 and 7); A B X Y LB RB Back Start Guide
# and the stick clicks.
plug() {
  printf '%s\n' 'name Microsoft X-Box 360 pad' 'axes 0 1 2 3 4 5 16 17' \
    'rest 0 0 -32767 0 0 -32767 0 0' \
    'buttons 0x130 0x131 0x133 0x134 0x136 0x137 0x13a 0x13b 0x13c 0x13d 0x13e' >"$PAD.layout"
  mkfifo "$PAD"
  exec 7<>"$PAD"
}
unplug() { rm -f "$PAD" "$PAD.layout"; exec 7>&-; }

# One js_event record: type (1 button, 2 axis), number, value.
event() {
  local v=$(( $3 & 0xFFFF ))
  printf "\\x00\\x00\\x00\\x00\\x$(printf %02x $((v & 255)))\\x$(printf %02x $((v >> 8)))\\x0$1\\x$(printf %02x "$2")" >&7
}
# A button or an axis pushed and let go.
tap() { event "$1" "$2" "${3:-1}"; sleep 0.25; event "$1" "$2" 0; sleep 0.4; }
BUTTON=1 AXIS=2
FIRE=3 CANCEL=2 START=7          # buttons 4 and 3 (Y, X) as bound by default
STICK_Y=1 HAT_Y=7 UP=-32767 DOWN=32767

start_xvfb
copy_game
launch_game "$WORK/game" env LD_PRELOAD="$FAKE_JOYSTICK" ./quarvell
await_title
choose Setup; choose Controls
choose Gamepad # on, with no pad
await no-pad "NO PAD"

plug
await found "BUTTON 4"

# Out to the title on the cancel button, then "Start Game" on the D-pad
# and the accept button, the ship on Start, the gun and the pod on the
# stick, the campaign.
tap $BUTTON $CANCEL; await setup Controls Difficulty
tap $BUTTON $CANCEL; await_title
tap $AXIS $HAT_Y $UP
await title "Start Game"
[ "$(cursor_row)" = "Start Game" ] || fail "the D-pad did not move the cursor: $READ"
tap $BUTTON $FIRE; await ship Talon
tap $BUTTON $START; await gun "Pulse Laser"
tap $AXIS $STICK_Y $DOWN
tap $AXIS $STICK_Y $UP
await gun "Pulse Laser"
[ "$(cursor_row)" = "Pulse Laser" ] || fail "the stick did not move the cursor back: $READ"
tap $BUTTON $FIRE; await pod Pulsar
tap $BUTTON $FIRE; await stage Campaign
tap $BUTTON $FIRE
await_flight
[ -n "$(game_errors)" ] && fail "the game complained: $(game_errors)"

tap $BUTTON $START
await start-paused "Resume Play" "Exit Game"
tap $BUTTON $START
await_gone resumed "Resume Play"

unplug
await unplugged "Resume Play" "Exit Game"
kill -0 "$GAME_PID" || fail "game died: $(game_errors)"
[ -z "$(game_errors)" ] || fail "the game complained: $(game_errors)"
echo "ok"
