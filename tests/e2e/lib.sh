# Shared pieces of the end-to-end tests: a private X server, a copy of the
# game folder to run in, real key presses and screenshots.
set -Eeuo pipefail
# A command that fails outside a test's own checks ends the test: say which.
trap 'echo "e2e: line $LINENO of ${BASH_SOURCE[0]##*/}: \"$BASH_COMMAND\" failed" >&2' ERR

GAME_DIR="$1"
# Each test's folder is named after its shell's process. A test killed
# outright (ctest's time limit) cannot remove its own: whichever test comes
# next removes those of processes no longer running.
for old in "${TMPDIR:-/tmp}"/quarvell-e2e-*; do
  [ -d "$old" ] || continue
  pid="${old##*/quarvell-e2e-}"; pid="${pid%%.*}"
  kill -0 "$pid" 2>/dev/null || rm -rf "$old"
done
WORK="$(mktemp -d "${TMPDIR:-/tmp}/quarvell-e2e-$$.XXXXXX")"
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

OTHER_PID="" WM_PID=""
cleanup() {
  stop "$OTHER_PID"
  stop "$GAME_PID"
  stop "$WM_PID"
  stop "$XVFB_PID"
  wait 2>/dev/null || true
  [ -n "${KEEP_E2E:-}" ] || rm -rf "$WORK"
}
trap cleanup EXIT
# Stopped by a signal (a time limit, Ctrl+C), the test still cleans up.
trap 'exit 143' TERM
trap 'exit 130' INT

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

# A window manager (openbox, with its default keys: Ctrl+Alt+Left/Right
# switch desktops) on the private X server; waits until it manages.
# (Xvfb's hang-ups at start-up, below, meet it too: it is started again.)
start_window_manager() {
  local attempt t
  for attempt in 1 2 3; do
    openbox --sm-disable >/dev/null 2>"$WORK/openbox.txt" &
    WM_PID=$!
    for t in $(seq 300); do
      wmctrl -m >/dev/null 2>&1 && return 0
      kill -0 "$WM_PID" 2>/dev/null || break
      sleep 0.1
    done
    echo "e2e: openbox did not come up (attempt $attempt): $(cat "$WORK/openbox.txt")" >&2
    stop "$WM_PID"
  done
  fail "openbox did not start: $(cat "$WORK/openbox.txt")"
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

# Another program's window, to switch the focus to, in the screen's far
# corner where it covers nothing of the game's; sets OTHER and OTHER_PID.
open_other_window() {
  xmessage -name other-window -geometry -0-0 "another program" &
  OTHER_PID=$!
  OTHER="$(timeout 10 xdotool search --sync --name '^other-window$' | head -n1)" || fail "no other window"
}

# Gives the focus to window $1, as a click would.
focus() { xdotool windowfocus --sync "$1"; }

# A settings file kept in the game's folder: the one saved last, with the
# byte at offset $1 set to $2 (a printf escape, such as '\x39').
settings_with_byte() {
  cp "$SETTINGS" "$WORK/game/w_config.def"
  printf "$2" | dd of="$WORK/game/w_config.def" bs=1 seek="$1" conv=notrunc status=none
}

# How long a wait for the game's picture may take. Counted in seconds,
# not in pictures: a busy machine or a sanitizer build makes each picture
# slower, and a wait must fail with its message well before ctest's limit.
WAIT_LIMIT_S=60

# Waits (WAIT_LIMIT_S at most) until the command $@ succeeds.
until_true() {
  local end=$(( SECONDS + WAIT_LIMIT_S ))
  until "$@"; do
    [ "$SECONDS" -lt "$end" ] || return 1
    sleep 0.1
  done
}

# Succeeds when the game sleeps: its threads wake fewer than 50 times in a
# quarter of a second (running, even paused, they wake over 300 times).
game_sleeps() {
  local a b
  a="$(cat /proc/"$GAME_PID"/task/*/status | awk '/ctxt_switches/ { n += $2 } END { print n }')"
  sleep 0.25
  b="$(cat /proc/"$GAME_PID"/task/*/status | awk '/ctxt_switches/ { n += $2 } END { print n }')"
  [ $(( b - a )) -lt 50 ]
}

# Succeeds when window $1's map state is $2 (IsViewable, IsUnMapped).
map_state() { xwininfo -id "$1" | grep -q "Map State: $2"; }

# Width and height of a window, as "WxH".
window_size() {
  xwininfo -id "$1" | awk '/Width:/ { w = $2 } /Height:/ { h = $2 } END { print w "x" h }'
}

# The game window's picture as the X server shows it ($WORK/$1-window.png)
# and brought back to 320x200 (nearest neighbour, so at a whole scale every
# game pixel comes back exactly); prints the second file.
frame_shot() {
  local file="$WORK/$1.png"
  import -window "$WINDOW" "$WORK/$1-window.png"
  convert "$WORK/$1-window.png" -filter point -resize 320x200\! "PNG24:$file"
  echo "$file"
}

# Key presses and releases (keys $2... by their X names) sent to the game's
# window, and its close button.
XSEND="$(realpath "$GAME_DIR/../tests/qv_xsend")"
keys_down() { "$XSEND" "$WINDOW" down "$@"; }
keys_up() { "$XSEND" "$WINDOW" up "$@"; }
close_window() { "$XSEND" "$WINDOW" close; }

# Holds keys $2... together for $1 seconds.
hold() {
  local t="$1"; shift
  keys_down "$@"; sleep "$t"; keys_up "$@"
}

# Holds a key long enough for the game's polling to see it (or $2 seconds).
press() { hold "${2:-0.12}" "$1"; sleep 0.15; }

# Mean brightness 0..1 of an image.
brightness() { convert "$1" -colorspace Gray -format '%[fx:mean]' info:; }

# Number of distinct colours in an image.
colours() { convert "$1" -format '%k' info:; }

# ---- What the game shows, read exactly ----
# The game's own 320x200 frame is the picture F12 saves, in the game's
# palette; qv_frame_text finds in it the game's texts drawn with its own
# font, pixel for pixel. No window can cover that picture, and nothing is
# guessed.
FRAME_TEXT="$(realpath "$GAME_DIR/../tests/qv_frame_text")"
PICTURE=""
LAST_F12=0 F12_SPACING_MS=120

# Presses F12 and waits for the game to say where it saved the frame on
# show (on its standard output, GAME_OUT if not the usual file); moves the
# picture to $WORK/$1.png and sets PICTURE to that. With PICTURES=window
# (F12 bound to an action), the window's picture is taken instead: only the
# front end's texts can be read from it.
PICTURES=f12
picture() {
  if [ "$PICTURES" = window ]; then
    PICTURE="$(frame_shot "$1")"
    return 0
  fi
  local n file t out="${GAME_OUT:-$WORK/stdout.txt}"
  n=$(grep -c 'screenshot saved as' "$out" || true)
  # A tap is enough (the game keeps a key pressed between two of its ticks),
  # but not two taps closer than a quick finger makes them: the game must see
  # F12 let go between them, or it takes the two for one press.
  local since=$(( ($(date +%s%N) - LAST_F12) / 1000000 ))
  [ "$since" -ge "$F12_SPACING_MS" ] || sleep "0.$(printf %03d $(( F12_SPACING_MS - since )))"
  hold 0.02 F12
  LAST_F12=$(date +%s%N)
  for t in $(seq 600); do
    file="$(sed -n 's/^quarvell: screenshot saved as //p' "$out" | sed -n "$(( n + 1 ))p")"
    if [ -n "$file" ]; then
      PICTURE="$WORK/$1.png"
      mv "$file" "$PICTURE"
      return 0
    fi
    kill -0 "$GAME_PID" 2>/dev/null || fail "the game ended while a picture was asked for: $(game_errors)"
    sleep 0.05
  done
  fail "F12 saved no picture in 30 s: $(cat "$out")"
}

# The texts picture $1 shows (and those of $2..., which may start with
# "small:"), a line each: "X Y VARIANT TEXT"; VARIANT 2 is a menu's cursor.
texts() { "$FRAME_TEXT" "$GAME_DIR" "$@"; }
# Only the texts, a line each.
words() { texts "$@" | cut -d' ' -f4-; }

# The texts of PICTURE (looking for $@ too), read once into READ.
READ=""
read_picture() { READ="$(texts "$PICTURE" "$@")"; }
# Succeeds when READ holds every text $@, or none of them.
has_all() {
  local t found
  found="$(cut -d' ' -f4- <<<"$READ")"
  for t; do grep -qxF -- "${t#small:}" <<<"$found" || return 1; done
}
has_none() {
  local t found
  found="$(cut -d' ' -f4- <<<"$READ")"
  for t; do grep -qxF -- "${t#small:}" <<<"$found" && return 1; done
  return 0
}

# Succeeds when picture $1 shows every text $2..., or none of them.
shows() { local pic="$1"; shift; READ="$(texts "$pic" "$@")"; has_all "$@"; }
shows_none() { local pic="$1"; shift; READ="$(texts "$pic" "$@")"; has_none "$@"; }
# What picture $1 shows, on one line, for a failure's message.
seen() { words "$1" | paste -sd'|' | sed 's/|/ | /g'; }

# Waits (30 s at most) until the game shows every text $2... and holds
# them still: the same texts at the same places in two pictures in a row,
# so a panel has finished sliding in and its menu reads the keys. Pictures
# are $WORK/$1.png; PICTURE is the last, READ its texts.
await() {
  local tag="$1" before="" end=$(( SECONDS + WAIT_LIMIT_S )); shift
  while [ "$SECONDS" -lt "$end" ]; do
    picture "$tag"
    read_picture "$@"
    if has_all "$@"; then
      [ "$READ" = "$before" ] && return 0
      before="$READ"
    else
      before=""
    fi
  done
  fail "line ${BASH_LINENO[0]}: waited for \"$*\"; the game shows: $(seen "$PICTURE")"
}
# Waits (WAIT_LIMIT_S at most) until the game shows none of the texts $2... .
await_gone() {
  local tag="$1" end=$(( SECONDS + WAIT_LIMIT_S )); shift
  while [ "$SECONDS" -lt "$end" ]; do
    picture "$tag"
    shows_none "$PICTURE" "$@" && return 0
  done
  fail "line ${BASH_LINENO[0]}: \"$*\" did not go; the game shows: $(seen "$PICTURE")"
}

# Waits (WAIT_LIMIT_S at most) until the part $2 (WxH+X+Y) of the game's
# picture differs from that part of PICTURE as it is now: a switch flipped.
await_change() {
  local tag="$1" part="$2" end=$(( SECONDS + WAIT_LIMIT_S ))
  convert "$PICTURE" -crop "$part" +repage "$WORK/before-$tag.png"
  while [ "$SECONDS" -lt "$end" ]; do
    picture "$tag"
    convert "$PICTURE" -crop "$part" +repage "$WORK/now-$tag.png"
    [ "$(compare -metric AE "$WORK/before-$tag.png" "$WORK/now-$tag.png" null: 2>&1)" != 0 ] && return 0
    sleep 0.2
  done
  fail "line ${BASH_LINENO[0]}: $part of the picture did not change"
}

# The row of the open menu under its cursor, in READ; and the height of a
# text in READ.
cursor_row() { awk '$3 == 2 { $1 = $2 = $3 = ""; sub(/^ +/, ""); print; exit }' <<<"$READ"; }
row_y() { awk -v r="$1" '{ y = $2; $1 = $2 = $3 = ""; sub(/^ +/, "") } $0 == r { print y; exit }' <<<"$READ"; }

# In the open menu, moves the cursor to the row $1 and accepts it with
# Fire / Accept (Left Alt; or the key $2).
MENU_ROW_PITCH=14
choose() {
  local row="$1" t at want k
  await menu "$row"
  for t in 1 2 3; do
    [ "$(cursor_row)" = "$row" ] && { press "${2:-Alt_L}"; return 0; }
    want="$(row_y "$row")"
    at="$(row_y "$(cursor_row)")"
    [ -n "$at" ] || fail "line ${BASH_LINENO[0]}: no cursor in the menu: $(seen "$PICTURE")"
    for k in $(seq $(( (want > at ? want - at : at - want) / MENU_ROW_PITCH ))); do
      if [ "$want" -gt "$at" ]; then press Down; else press Up; fi
    done
    await menu "$row"
  done
  fail "line ${BASH_LINENO[0]}: the cursor does not reach \"$row\": $(seen "$PICTURE")"
}

# ---- The ways through the game ----
# The title menu, at rest.
await_title() { await title "Start Game" Setup Records "QUIT!"; }

# From the title menu: "Start Game", the first ship, gun and pod, the
# campaign; returns once the flight has begun.
start_flight() {
  choose "Start Game"; choose Talon; choose "Pulse Laser"; choose Pulsar; choose Campaign
  await_flight
}

# Succeeds when a new picture shows the opening of the campaign's first
# stage: its banner, the stage list gone.
opening_shown() {
  picture opening
  shows "$PICTURE" "Delian Mesas" small:SCORE && shows_none "$PICTURE" Campaign
}

# Waits until the opening of the campaign's first stage is over: its banner
# come and gone.
await_flight() {
  until_true opening_shown || fail "line ${BASH_LINENO[0]}: no stage opening; the game shows: $(seen "$PICTURE")"
  await_gone flight "Delian Mesas"
}

# Escape in flight; waits for the pause menu.
pause_flight() { press Escape 0.3; await pause "Resume Play" "Exit Game"; }

# From the title menu: Setup -> Difficulty -> $1 ("Easy", "Normal", "Hard",
# "Toast"); returns once the choice is taken and the Setup menu is at rest
# again, reading the keys (one pressed while the list still closes is lost).
choose_difficulty() {
  choose Setup; choose Difficulty; choose "$1"
  await_gone setup Easy
  await setup Controls Difficulty
}

# "QUIT!" in the title menu, or "Exit Game" in the pause menu ($1), accepted
# with $2 (Left Alt by default); the game must end with status 0.
quit_game() {
  choose "${1:-QUIT!}" "${2:-Alt_L}"
  wait_exit 15
  [ "$EXIT_RC" = "0" ] ||
    fail "the quit at line ${BASH_LINENO[0]} ended with status $EXIT_RC: $(game_errors)"
}

# From the title menu: "Hard", back out, then "QUIT!".
choose_hard_and_quit() {
  choose_difficulty Hard
  press Control_L
  await_title
  quit_game
}

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
