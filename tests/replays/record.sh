#!/usr/bin/env bash
# Re-records the recorded games kept here, by playing the real binary in a
# private X server with real key presses (xdotool), as a player would:
#   tests/replays/record.sh build/release/game
# flight.qvr: the campaign flown at the radar's blips (kills, a score), pods,
#             boost, a pause, a switch to another window and a screenshot,
#             then "Main Menu", a name typed into the records table (saved)
#             and "QUIT!".
# closed.qvr: "Hard" chosen in Setup, a single stage flown a little, and the
#             window's close button in flight.
# The test suite replays them headless (quarvell --replay FILE --verify):
# a change that alters play fails with the tick where the replay departs.
# After such a change, when it is meant, run this again and commit the new
# recordings, saying in the commit what changed in play and why.
set -euo pipefail
HERE="$(cd "$(dirname "$0")" && pwd)"
source "$HERE/../e2e/lib.sh"
cc -o "$WORK/send_close" "$HERE/../e2e/send_close.c" -lX11 || fail "cannot build send_close"
start_xvfb

record() { # name; the game is left running for the caller to play
  copy_game "$WORK/$1"
  launch_game "$WORK/$1" ./quarvell --record "$WORK/$1.qvr"
  sleep 2
}

# The nearest blip on the radar as "dx dy" in radar pixels from the ship
# (up is ahead), or nothing. The radar's centre is at (288, 173) of the
# picture; a blip's centre is its one orange pixel.
nearest_blip() {
  convert "$(frame_shot pilot)" -crop 48x47+265+147 +repage txt:- |
    awk -F'[ ,:]+' '/#FF9218/ { dx = $1 - 23; dy = $2 - 26; d = dx * dx + dy * dy
                               if (!n || d < best) { best = d; bx = dx; by = dy; n = 1 } }
                    END { if (n) print bx, by }'
}

# Succeeds when the score in the top left has two digits or more.
score_shows() {
  greater "$(convert "$(frame_shot score)" -crop 8x12+11+7 +repage -colorspace Gray \
             -threshold 70% -format '%[fx:mean]' info:)" 0.05
}

# For up to $1 seconds: turns toward the nearest blip and fires when it is
# ahead; with nothing on the radar, flies on. With a second argument, stops
# as soon as the score has two digits (every shot costs points).
hunt() {
  local end=$((SECONDS + $1)) blip dx dy angle
  while [ "$SECONDS" -lt "$end" ]; do
    blip="$(nearest_blip)"
    if [ -z "$blip" ]; then hold 0.4 Up; continue; fi
    read -r dx dy <<<"$blip"
    angle="$(awk -v x="$dx" -v y="$dy" 'BEGIN { printf "%d", atan2(x, -y) * 57.3 }')"
    if [ "${angle#-}" -le 6 ]; then
      hold 0.3 Alt_L
      if [ -n "${2:-}" ] && score_shows; then return 0; fi
    else
      # About 98 degrees a second.
      hold "$(awk -v a="${angle#-}" 'BEGIN { printf "%.2f", a / 98 }')" "$([ "$angle" -gt 0 ] && echo Right || echo Left)"
    fi
  done
  [ -z "${2:-}" ]
}

keep() { # name: the game has ended; keep its recording
  wait_exit 20
  [ "$EXIT_RC" = "0" ] || fail "$1: the game ended with status $EXIT_RC: $(cat "$WORK/stdout.txt") $(game_errors)"
  cp "$WORK/$1.qvr" "$HERE/$1.qvr"
  echo "$1: $(grep recorded "$WORK/stdout.txt")"
}

# ---- flight ----
record flight
press Up
for _ in 1 2 3 4 5; do press Alt_L; sleep 0.8; done  # Start, Talon, gun, pod, campaign
sleep 4
hunt 15
press z; sleep 1; press z
hold 1 Shift_L Up
press Escape; sleep 1; press Alt_L; sleep 1            # pause, "Resume Play"
# A switch to another window (the flight pauses), back, "Resume Play", and
# a screenshot.
open_other_window
focus "$OTHER"; sleep 0.5
focus "$WINDOW"
press Alt_L; sleep 1
stop "$OTHER_PID"
press F12
hunt 120 until-scored || fail "flight: no score after two minutes"
press Escape; sleep 0.5; press Down; press Alt_L; sleep 3  # "Main Menu"
press Alt_L; sleep 2                                       # "Game Over!"
press q; press v; press Return; sleep 3                    # the name, saved
press Down; press Down; press Down; press Alt_L            # "QUIT!"
keep flight

# ---- closed ----
record closed
press Alt_L; sleep 0.8                                  # Setup
press Down; press Alt_L; sleep 0.8                      # Difficulty
press Down; press Alt_L; sleep 0.8                      # "Hard"
press Control_L; sleep 0.8
press Up
for _ in 1 2 3 4; do press Alt_L; sleep 0.8; done     # Start, Talon, gun, pod
press Down; press Alt_L; sleep 4                        # "Delian Mesas" alone
hunt 15
"$WORK/send_close" "$WINDOW"
keep closed
grep -q "verified" <("$GAME_DIR/quarvell" --replay "$HERE/flight.qvr" --verify) || fail "flight.qvr does not verify"
echo "flight.qvr: $("$GAME_DIR/quarvell" --replay "$HERE/flight.qvr" --verify)"
