#!/usr/bin/env bash
# Sound through ALSA as a player hears it. With a sound card (here ALSA's
# file plugin, capturing what the game plays into a WAV at the pace of a
# real card) the menu and the guns are heard and a quiet moment is silent.
# With no card, the one-line message (and no line of ALSA's own) and a
# silent game that plays on.
source "$(dirname "$0")/lib.sh"
NO_SOUND_LINE="Error #A-001 : Couldn't initialize sound system!"
WAV="$WORK/out.wav"

# The loudest sample (16-bit) of the WAV between two byte offsets.
peak() {
  od -An -td2 -v -j"$1" -N"$(( $2 - $1 ))" "$WAV" |
    awk '{ for (i = 1; i <= NF; i++) { v = $i < 0 ? -$i : $i; if (v > m) m = v } } END { print m + 0 }'
}
rms() {
  od -An -td2 -v -j"$1" -N"$(( $2 - $1 ))" "$WAV" |
    awk '{ for (i = 1; i <= NF; i++) { s += $i * $i; n++ } } END { print int(sqrt(s / (n ? n : 1))) }'
}
wav_size() { stat -c %s "$WAV"; }

start_xvfb
# Settings kept in the game's folder, with the sound at "Maximum" (the
# default is silent); the rest as a first run writes them.
copy_game
printf '\001\001\000\004\000\001\000\000\000\000\000\153\151\032\147\004\003\002\001\001\001\001\001\001\001\001\001' \
  >"$WORK/game/w_config.def"
start_game_here() {
  launch_game "$WORK/game" ./quarvell
  await_title
}

# No card: ALSA's default device on a card that is not there, as on a
# machine without one.
printf 'defaults.pcm.card 99\n' >"$HOME/.asoundrc"
start_game_here
[ "$(grep -v 'screenshot saved as' "$WORK/stdout.txt" | tr -d '\r')" = "$NO_SOUND_LINE" ] ||
  fail "without a card the game printed: $(cat "$WORK/stdout.txt")"
! grep -q ALSA "$WORK/stderr.txt" || fail "without a card ALSA printed: $(grep ALSA "$WORK/stderr.txt" | head -3)"
quit_game

# A card: ALSA plays into the WAV file.
cat >"$HOME/.asoundrc" <<ASOUND
pcm.!default {
  type plug
  slave { pcm "capture" format S16_LE }
}
pcm.capture {
  type file
  slave.pcm "null"
  file "$WAV"
  format "wav"
}
ASOUND
start_game_here
! grep -q "Error #A-001" "$WORK/stdout.txt" || fail "no sound with a card: $(cat "$WORK/stdout.txt")"
[ -s "$WAV" ] || fail "nothing was played into $WAV"
a=$(wav_size); sleep 1; b=$(wav_size)
[ "$(peak "$a" "$b")" -lt 100 ] || fail "the title is not silent while nothing happens"
press Down; sleep 0.6; c=$(wav_size)
[ "$(peak "$b" "$c")" -gt 1000 ] || fail "the menu move was not heard"
start_flight
# Without firing, the flight has its quiet moments between the sounds of
# the world (quarter seconds: a busy wave leaves few quiet half seconds);
# with the gun firing, every half second holds its sound.
quiet=0 levels=""
for _ in $(seq 12); do
  p=$(wav_size); sleep 0.25; q=$(wav_size)
  r=$(rms "$p" "$q"); levels="$levels $r"
  [ "$r" -ge 100 ] || quiet=$(( quiet + 1 ))
done
[ "$quiet" -gt 0 ] || fail "the flight is never quiet (rms of each quarter second:$levels): the gun could not be told apart"
keys_down Alt_L
sleep 0.3
for i in $(seq 4); do
  p=$(wav_size); sleep 0.5; q=$(wav_size)
  [ "$(rms "$p" "$q")" -ge 300 ] || fail "the gun was not heard (half second $i: rms $(rms "$p" "$q"))"
done
keys_up Alt_L
# "Exit Game" from the pause menu (a score may be worth a record, and the
# name entry is not this test's business).
pause_flight
quit_game "Exit Game"
echo "ok"
