#!/usr/bin/env bash
# The window says whose it is: WM_CLASS ("quarvell", "QUARVELL", matched by
# the desktop entry's StartupWMClass), its name in UTF-8 (_NET_WM_NAME),
# the game's process and machine (_NET_WM_PID, WM_CLIENT_MACHINE), an icon
# in WM_HINTS, and the game's own icon in _NET_WM_ICON at 32 and 64 pixels,
# the very pictures installed for the desktop, read back from the X server.
source "$(dirname "$0")/lib.sh"
ICONS="$(dirname "$GAME_DIR")/icons"
start_xvfb
start_game
# The icon goes on the window once its picture is set up: wait for it.
for _ in $(seq 50); do
  xprop -id "$WINDOW" _NET_WM_ICON | grep -q "not found" || break
  sleep 0.2
done

[ "$(xprop -id "$WINDOW" -notype WM_CLASS)" = 'WM_CLASS = "quarvell", "QUARVELL"' ] ||
  fail "the window's class is $(xprop -id "$WINDOW" WM_CLASS)"
xprop -id "$WINDOW" WM_HINTS | grep -q "bitmap id # to use for icon" || fail "no icon in WM_HINTS"
owner="$(xprop -id "$WINDOW" -notype _NET_WM_NAME _NET_WM_PID WM_CLIENT_MACHINE | tr '\n' ' ')"
[ "$owner" = "_NET_WM_NAME = \"QUARVELL\" _NET_WM_PID = $GAME_PID WM_CLIENT_MACHINE = \"$(hostname)\" " ] ||
  fail "the window says it is $owner"

# _NET_WM_ICON as one number a line: width, height, ARGB pixels, per size.
xprop -id "$WINDOW" -notype 32c _NET_WM_ICON | sed 's/^[^=]*= //' | tr ',' '\n' | tr -d ' ' >"$WORK/icon.txt"
at=1
for size in 32 64; do
  # The installed PNG in the same form: width, height, then A<<24|R<<16|G<<8|B.
  { echo "$size"; echo "$size"
    convert "$ICONS/quarvell-$size.png" -depth 8 rgba:- | od -An -v -tu1 -w4 |
      awk '{ printf "%.0f\n", $4 * 16777216 + $1 * 65536 + $2 * 256 + $3 }'; } >"$WORK/want-$size.txt"
  n="$(wc -l <"$WORK/want-$size.txt")"
  # (sed, not tail | head: head leaving early would end tail with SIGPIPE,
  # and pipefail would end the test without a word.)
  sed -n "${at},$(( at + n - 1 ))p" "$WORK/icon.txt" >"$WORK/got-$size.txt"
  cmp -s "$WORK/want-$size.txt" "$WORK/got-$size.txt" ||
    fail "the window's ${size}px icon is not the game's: $(diff "$WORK/want-$size.txt" "$WORK/got-$size.txt" | head -3)"
  at=$(( at + n ))
done
[ "$(wc -l <"$WORK/icon.txt")" -eq $(( at - 1 )) ] || fail "_NET_WM_ICON holds more than the two icons"
echo "ok"
