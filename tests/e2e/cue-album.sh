#!/usr/bin/env bash
# A one-file album with its cue sheet in GBK naming "CDImage.wav" beside the rip's CDImage.flac, given on the command
# line: its tracks are added (neither the sheet nor the album file as a whole), the first plays as its span of the
# file with the sheet's title kept while it plays, the next follows at the span's end, and the saved list holds the
# tracks' spans, texts and durations.
source "$(dirname "$0")/lib.sh"
source "$(dirname "$0")/desktop.sh"
start_display
start_desktop --no-panel
make_program_folder
mkdir -p "$WORK/album"
make_tone "$WORK/album/CDImage.flac" 440 6
gbk() { iconv -f UTF-8 -t GBK; }
printf 'PERFORMER "周杰伦"\r\nTITLE "叶惠美"\r\nFILE "CDImage.wav" WAVE\r\n  TRACK 01 AUDIO\r\n    TITLE "以父之名"\r\n    INDEX 01 00:00:00\r\n  TRACK 02 AUDIO\r\n    TITLE "晴天"\r\n    INDEX 01 00:03:00\r\n' |
  gbk >"$WORK/album/CDImage.cue"
: >"$APP/default.lst"

metadata() {
  dbus-send --session --print-reply --dest=org.mpris.MediaPlayer2.morvane /org/mpris/MediaPlayer2 \
    org.freedesktop.DBus.Properties.Get string:org.mpris.MediaPlayer2.Player string:Metadata 2>/dev/null |
    awk -v key="\"$1\"" '$1 == "string" && $2 == key { getline; gsub(/"/, ""); print $NF }'
}

"$APP/media" "$WORK/album/CDImage.cue" >"$WORK/media.log" 2>&1 &
MEDIA_PID=$!
PIDS+=($MEDIA_PID)
wait_until 15 eval '[ "$(metadata xesam:title)" = 以父之名 ] && [ -n "$(metadata mpris:length)" ]' ||
  fail "the first track does not play: $(metadata xesam:title) $(metadata xesam:url); $(cat "$WORK/media.log")"
# Its length is its span's, not the file's: three seconds.
length=$(metadata mpris:length)
[ "$length" -ge 2900000 ] && [ "$length" -le 3100000 ] || fail "the first track lasts $length µs, not 3 s"
wait_until 10 eval '[ "$(metadata xesam:title)" = 晴天 ]' || fail "the second track did not follow: $(metadata xesam:title)"
sleep 3.5  # it plays to its end, so its duration is certain to be written
kill -TERM "$MEDIA_PID"
wait_for_exit "$MEDIA_PID" || fail "the program did not end"
grep -q "重试\|retry" "$WORK/media.log" && fail "a track was retried: $(cat "$WORK/media.log")"
expected=$(printf '"以父之名","周杰伦","00:03","%s#t=0,3"\n"晴天","周杰伦","00:03","%s#t=3"' \
  "$WORK/album/CDImage.flac" "$WORK/album/CDImage.flac")
[ "$(iconv -f GBK -t UTF-8 "$APP/default.lst" | tr -d '\r')" = "$expected" ] ||
  fail "the saved list is not the album's tracks: $(iconv -f GBK -t UTF-8 "$APP/default.lst")"
echo "e2e cue-album: passed"
