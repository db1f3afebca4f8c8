#!/usr/bin/env bash
# The Debian package as a distribution checks it: CPack makes it from the
# install rules; lintian finds no error or warning in it; its desktop
# entry, metainfo and manual page pass desktop-file-validate, appstreamcli
# (offline) and man; the game in its games layout (/usr/games,
# /usr/share/games/quarvell) finds its data and opens its window. A checker
# that is not installed is skipped with a message (scripts/setup.sh test
# installs them all).
source "$(dirname "$0")/lib.sh"
BUILD="$(dirname "$GAME_DIR")"
cpack --config "$BUILD/CPackConfig.cmake" -G DEB -B "$WORK/pkg" >"$WORK/cpack.txt" 2>&1 ||
  fail "cpack failed: $(tail -5 "$WORK/cpack.txt")"
deb="$(ls "$WORK"/pkg/quarvell_*.deb)"
root="$WORK/root"
dpkg-deb -x "$deb" "$root"
dpkg-deb -f "$deb" Depends | grep -q liballegro4 || fail "the package depends on no Allegro: $(dpkg-deb -f "$deb" Depends)"

have() { command -v "$1" >/dev/null || { echo "e2e: $1 is not installed: its check is skipped" >&2; return 1; }; }
if have lintian; then
  lintian --no-tag-display-limit "$deb" >"$WORK/lintian.txt" 2>&1 || true
  ! grep -qE '^[EW]: ' "$WORK/lintian.txt" || fail "lintian: $(grep -E '^[EW]: ' "$WORK/lintian.txt" | head -5)"
fi
entry="$root/usr/share/applications/quarvell.desktop"
if have desktop-file-validate; then
  desktop-file-validate "$entry" >"$WORK/desktop.txt" 2>&1 || fail "desktop entry: $(cat "$WORK/desktop.txt")"
fi
grep -qx 'StartupWMClass=QUARVELL' "$entry" || fail "the entry does not name the window's class"
grep -qx 'Exec=/usr/games/quarvell' "$entry" || fail "the entry starts $(grep '^Exec=' "$entry")"
if have appstreamcli; then
  appstreamcli validate --no-net "$root"/usr/share/metainfo/*.metainfo.xml >"$WORK/appstream.txt" 2>&1 ||
    fail "metainfo: $(cat "$WORK/appstream.txt")"
fi
if have man; then
  man --warnings -l "$root/usr/share/man/man6/quarvell.6.gz" >"$WORK/man.txt" 2>"$WORK/man.err" ||
    fail "man cannot show the page: $(cat "$WORK/man.err")"
  [ ! -s "$WORK/man.err" ] || fail "man: $(cat "$WORK/man.err")"
  grep -q -- '--scale' "$WORK/man.txt" || fail "the manual page names no options"
fi

# The games layout: the binary finds its data two folders over.
start_xvfb
launch_game "$WORK" "$root/usr/games/quarvell"
await_title
[ "$(colours "$PICTURE")" -gt 16 ] || fail "the installed game shows no title picture"
echo "ok"
