# Shared pieces of the end-to-end tests: a private X server, a copy of the
# game folder to run in, real key presses and screenshots.
set -euo pipefail

GAME_DIR="$1"
WORK="$(mktemp -d "${TMPDIR:-/tmp}/quarvell-e2e.XXXXXX")"
XVFB_PID=""
GAME_PID=""

# The player's home is a fresh folder: the game keeps its files in the XDG
# folders under it, never in the real home of whoever runs the tests.
export HOME="$WORK/home"
mkdir -p "$HOME"
unset XDG_CONFIG_HOME XDG_DATA_HOME XDG_PICTURES_DIR
SETTINGS="$HOME/.config/quarvell/w_config.def"
RECORDS="$HOME/.local/share/quarvell/assist.def"
SHOTS="$HOME/Pictures/quarvell"

# A game that is still running when a test ends is stopped for good: with
# its display gone it may not get as far as handling a polite signal.
stop() {
  local pid="$1"
  [ -n "$pid" ] || return 0
  kill "$pid" 2>/dev/null || return 0
  for _ in $(seq 20); do
    kill -0 "$pid" 2>/dev/null || return 0
    sleep 0.1
  done
  kill -9 "$pid" 2>/dev/null || true
}

OTHER_PID=""
cleanup() {
  stop "$OTHER_PID"
  stop "$GAME_PID"
  stop "$XVFB_PID"
  wait 2>/dev/null || true
  [ -n "${KEEP_E2E:-}" ] || rm -rf "$WORK"
}
trap cleanup EXIT

fail() { echo "FAIL: $*" >&2; exit 1; }

# A private X server of $1 (default 1024x768); it picks a free display
# number itself.
start_xvfb() {
  local fifo="$WORK/displayfd"
  Xvfb -displayfd 3 -screen 0 "${1:-1024x768}x24" -nolisten tcp 3>"$fifo" >/dev/null 2>&1 &
  XVFB_PID=$!
  local n=""
  for _ in $(seq 100); do
    n="$(cat "$fifo" 2>/dev/null | tr -d '[:space:]' || true)"
    [ -n "$n" ] && break
    sleep 0.1
  done
  [ -n "$n" ] || fail "could not start Xvfb"
  export DISPLAY=":$n"
  for _ in $(seq 50); do
    xdpyinfo >/dev/null 2>&1 && return 0
    sleep 0.1
  done
  fail "Xvfb on $DISPLAY does not answer"
}

# A private copy of the game's folder to run it in: $1, or $WORK/game.
copy_game() { local to="${1:-$WORK/game}"; mkdir -p "$to" && cp -r "$GAME_DIR"/. "$to/"; }

# Runs the game (with the options given) in a private copy of its folder.
start_game() {
  copy_game
  launch_game "$WORK/game" ./quarvell "$@"
}

# Runs a command (the game) in folder $1, its output in stdout.txt and
# stderr.txt, and waits for its window; sets GAME_PID and WINDOW.
#
# Xvfb now and then hangs up on a client that connects while another client
# (the window search) is talking to it; the game then stops at once with
# "no display available". That is the test's doing, not the game's: such a
# start is made again, and the log says so.
launch_game() {
  local dir="$1"; shift
  local attempt
  # Windows of other copies already running are not this one's.
  OTHER_WINDOWS="$(xdotool search --name '^QUARVELL$' 2>/dev/null || true)"
  for attempt in 1 2 3; do
    (cd "$dir" && exec "$@" >"$WORK/stdout.txt" 2>"$WORK/stderr.txt") &
    GAME_PID=$!
    if await_window; then return 0; fi
    if ! kill -0 "$GAME_PID" 2>/dev/null && grep -q "no display available" "$WORK/stderr.txt"; then
      wait "$GAME_PID" 2>/dev/null || true
      echo "e2e: Xvfb dropped the game's connection at start-up (attempt $attempt); starting it again" >&2
      continue
    fi
    break
  done
  fail "no game window appeared: $(cat "$WORK/stderr.txt")"
}

# Waits up to 20 s for the game's window (one not in OTHER_WINDOWS),
# looking twice a second rather than in a tight loop; false as soon as the
# game has ended.
OTHER_WINDOWS=""
await_window() {
  local t w
  WINDOW=""
  for t in $(seq 40); do
    sleep 0.5
    for w in $(xdotool search --name '^QUARVELL$' 2>/dev/null); do
      grep -qx "$w" <<<"$OTHER_WINDOWS" || { WINDOW="$w"; return 0; }
    done
    kill -0 "$GAME_PID" 2>/dev/null || return 1
  done
  return 1
}

# Waits for the window of a game started by other means; sets WINDOW.
find_window() {
  await_window || fail "no game window appeared: $(cat "$WORK/stderr.txt")"
}

# Another program's window, to switch the focus to; sets OTHER and
# OTHER_PID (stop it when its window is in the way).
open_other_window() {
  xmessage -name other-window "another program" &
  OTHER_PID=$!
  OTHER="$(timeout 10 xdotool search --sync --name '^other-window$' | head -n1)" || fail "no other window"
}

# Gives the focus to window $1, as a click would.
focus() { xdotool windowfocus --sync "$1"; sleep 0.5; }

# A settings file kept in the game's folder: the one saved last, with the
# byte at offset $1 set to $2 (a printf escape, such as '\x39').
settings_with_byte() {
  cp "$SETTINGS" "$WORK/game/w_config.def"
  printf "$2" | dd of="$WORK/game/w_config.def" bs=1 seek="$1" conv=notrunc status=none
}

# Width and height of a window, as "WxH".
window_size() {
  xwininfo -id "$1" | awk '/Width:/ { w = $2 } /Height:/ { h = $2 } END { print w "x" h }'
}

# The game window's picture brought back to 320x200 (nearest neighbour, so
# at a whole scale every game pixel comes back exactly); prints the file.
frame_shot() {
  local file="$WORK/$1.png"
  import -window "$WINDOW" "$WORK/$1-window.png"
  convert "$WORK/$1-window.png" -filter point -resize 320x200\! "$file"
  echo "$file"
}

# Holds keys $2... together for $1 seconds.
hold() {
  local t="$1"; shift
  xdotool keydown --window "$WINDOW" "$@"; sleep "$t"; xdotool keyup --window "$WINDOW" "$@"
}

# Holds a key long enough for the game's polling to see it (or $2 seconds).
press() { hold "${2:-0.12}" "$1"; sleep 0.15; }

# From the title menu as it opens: "Start Game", the first ship, gun and
# pod, the campaign; then waits ($1 seconds, 3 by default) into the flight.
start_flight() {
  press Up
  for _ in 1 2 3 4 5; do press Alt_L; sleep 0.8; done
  sleep "${1:-3}"
}

# From the title menu as it opens: Setup -> Difficulty, the row one down
# (or $1: Up) from the current one chosen; the menu is left open.
choose_difficulty() {
  press Alt_L; sleep 0.8
  press Down; press Alt_L; sleep 0.8
  press "${1:-Down}"; press Alt_L
}

# From the title menu as it opens: "QUIT!", accepted with $1 (Left Alt by
# default); the game must end, with status 0. The pause menu's "Exit Game"
# is as many rows down from where that menu opens.
quit_from_title() {
  press Down; press Down; press "${1:-Alt_L}"
  wait_exit 15
  [ "$EXIT_RC" = "0" ] ||
    fail "the quit at line ${BASH_LINENO[-2]} ended with status $EXIT_RC: $(game_errors)"
}

# From the title menu as it opens: "Hard" from the default difficulty, back
# out, then "QUIT!".
choose_hard_and_quit() {
  choose_difficulty; sleep 0.8
  press Control_L; sleep 0.8
  quit_from_title
}

# Screenshot of the game window; prints the file name.
shot() {
  local file="$WORK/$1.png"
  import -window "$WINDOW" "$file"
  echo "$file"
}

# Mean brightness 0..1 of an image.
brightness() { convert "$1" -colorspace Gray -format '%[fx:mean]' info:; }

# Number of distinct colours in an image.
colours() { convert "$1" -format '%k' info:; }

# The text of the menu corner (top left) of a screenshot of the window: the
# panels of the title and pause menus are drawn there, light on dark; or of
# the part $2 (WxH+X+Y of the 320x200 picture). Brought to the game's
# 320x200 whatever the window's scale, enlarged, thresholded and read as one
# block of text, which reads it reliably.
menu_text() {
  convert "$1" -filter point -resize 320x200\! -crop "${2:-110x75+0+0}" +repage -scale 600% \
    -colorspace Gray -threshold 60% -negate "$1.menu.png"
  tesseract "$1.menu.png" - --psm 6 2>/dev/null | tr -s '[:space:]' ' '
}

# Succeeds when the menu text (menu_text; the part $3 if given) of a
# screenshot named $2 matches the case pattern $1, within six shots half a
# second apart: the title's stars twinkle behind the panel, and now and then
# one beside a word changes how that word reads; a menu may also come up a
# moment late on a busy machine. The last shot is left as $WORK/$2.png.
menu_reads() {
  local i
  for i in 1 2 3 4 5 6; do
    # shellcheck disable=SC2053 # $1 is a pattern
    [[ "$(menu_text "$(shot "$2")" "${3:-}")" == $1 ]] && return 0
    sleep 0.5
  done
  return 1
}

# How different two screenshots are, 0 (same) to 1.
difference() { compare -metric RMSE "$1" "$2" null: 2>&1 | sed 's/.*(\(.*\))/\1/'; }

# Succeeds when the number $1 is greater than $2.
greater() { awk -v a="$1" -v b="$2" 'BEGIN { exit !(a > b) }'; }

# The byte at offset $2 of file $1, as a number.
byte_at() { od -An -tu1 -j"$2" -N1 "$1" | tr -d ' '; }

# Waits up to $1 seconds for the game to exit; sets EXIT_RC to its exit
# status, or to "timeout".
wait_exit() {
  local t
  EXIT_RC="timeout"
  for t in $(seq $(( ${1:-10} * 10 ))); do
    if ! kill -0 "$GAME_PID" 2>/dev/null; then
      EXIT_RC=0
      wait "$GAME_PID" || EXIT_RC=$?
      GAME_PID=""
      return 0
    fi
    sleep 0.1
  done
}

# What the game printed on stderr, without the sound library's noise.
game_errors() { grep -v -e '^ALSA' -e 'XGetInputFocus' "$WORK/stderr.txt" || true; }
