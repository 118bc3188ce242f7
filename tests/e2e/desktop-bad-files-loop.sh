#!/usr/bin/env bash
# A loop over a list with a tone, a tenth of a second of MP3, an AIFF file, a truncated WMA and a tone again, played
# on a real sound server: the player never stalls on the short, odd or broken ones and keeps going round.
source "$(dirname "$0")/lib.sh"
source "$(dirname "$0")/desktop.sh"
start_display
start_desktop --no-panel
make_program_folder
make_tone "$WORK/first.wav" 440 1
ffmpeg -loglevel error -y -f lavfi -i "sine=frequency=550:duration=0.1" -c:a libmp3lame "$WORK/blip.mp3"
ffmpeg -loglevel error -y -f lavfi -i "sine=frequency=660:duration=1" "$WORK/tone.aiff"
ffmpeg -loglevel error -y -f lavfi -i "sine=frequency=770:duration=3" -c:a wmav2 "$WORK/whole.wma"
head -c "$(($(stat -c %s "$WORK/whole.wma") / 3))" "$WORK/whole.wma" >"$WORK/truncated.wma"
make_tone "$WORK/last.wav" 880 1
for name in first.wav blip.mp3 tone.aiff truncated.wma last.wav; do
  printf '"%s","","00:00","%s"\r\n' "$name" "$WORK/$name"
done >"$APP/default.lst"

start_media
mpris() {
  dbus-send --session --print-reply --dest=org.mpris.MediaPlayer2.morvane /org/mpris/MediaPlayer2 "$@"
}
wait_until 10 mpris org.freedesktop.DBus.Properties.Get string:org.mpris.MediaPlayer2 string:Identity >/dev/null ||
  fail "the player does not answer on the session bus"
mpris org.freedesktop.DBus.Properties.Set string:org.mpris.MediaPlayer2.Player string:LoopStatus variant:string:Playlist \
  >/dev/null
playing_url() {
  mpris org.freedesktop.DBus.Properties.Get string:org.mpris.MediaPlayer2.Player string:Metadata 2>/dev/null |
    awk '$1 == "string" && $2 == "\"xesam:url\"" { getline; gsub(/"/, ""); print $NF }'
}

# Every change of the playing track, as the player tells it; three rounds end at the fourth start of the first.
: >"$WORK/played"
last=
rounds=0
end=$((SECONDS + 90))
while [ "$rounds" -lt 4 ]; do
  [ "$SECONDS" -lt "$end" ] || fail "the loop stopped after $rounds starts of the first row: $(tr '\n' ' ' <"$WORK/played")"
  exited "$MEDIA_PID" && fail "the program ended: $(tail -n5 "$WORK/media.log")"
  url=$(playing_url)
  if [ -n "$url" ] && [ "$url" != "$last" ]; then
    echo "${url##*/}" >>"$WORK/played"
    [ "${url##*/}" = first.wav ] && rounds=$((rounds + 1))
    last=$url
  fi
  sleep 0.05
done
# Each round reached its last row, the short and odd files on the way played or were passed over.
[ "$(grep -c '^last.wav$' "$WORK/played")" -ge 3 ] || fail "the last row was not reached each round: $(tr '\n' ' ' <"$WORK/played")"
[ "$(grep -c '^tone.aiff$' "$WORK/played")" -ge 3 ] || fail "the AIFF file was not played each round: $(tr '\n' ' ' <"$WORK/played")"
click_twips 3857 202 # close
wait_for_exit "$MEDIA_PID" || fail "the program did not end"
echo "e2e desktop-bad-files-loop: passed ($(tr '\n' ' ' <"$WORK/played"))"
