#!/usr/bin/env bash
# OpenUri on the session bus appends the location to the list and plays it: a file URI by the bytes its escapes
# stand for (a name in another code page too). A URI that names nothing to open is refused with an error and changes
# nothing. The schemes the player names are the ones it opens.
source "$(dirname "$0")/lib.sh"
source "$(dirname "$0")/desktop.sh"
start_display
start_desktop --no-panel
make_program_folder
mkdir -p "$WORK/music"
make_tone "$WORK/one.wav" 440 30
make_tone "$WORK/music/$(printf '\xC4\xE3\xBA\xC3').wav" 550 2
printf '"One","","00:00","%s"\r\n' "$WORK/one.wav" >"$APP/default.lst"

mpris() { dbus-send --session --print-reply --dest=org.mpris.MediaPlayer2.morvane /org/mpris/MediaPlayer2 "$@"; }
property() { mpris org.freedesktop.DBus.Properties.Get "string:${2:-org.mpris.MediaPlayer2.Player}" "string:$1"; }
metadata() { property Metadata 2>/dev/null | awk -v key="\"$1\"" '$1 == "string" && $2 == key { getline; gsub(/"/, ""); print $NF }'; }
open_uri() { mpris org.mpris.MediaPlayer2.Player.OpenUri "string:$1"; }

start_media
wait_until 10 eval '[[ $(metadata xesam:url) == */one.wav ]]' || fail "the list's first row did not play"
schemes=$(property SupportedUriSchemes org.mpris.MediaPlayer2 | grep -o '"[a-z]*"' | tr -d '"' | tr '\n' ' ')
[ "$schemes" = "file http https mms rtsp " ] || fail "supported schemes: $schemes"
property SupportedMimeTypes org.mpris.MediaPlayer2 | grep -q '"audio/flac"' || fail "FLAC, which the player adds, is not named"

# Refused: a file that is not there, a scheme the player does not open, text that is no URI. Nothing is added.
for uri in "file://$WORK/music/gone.wav" "ftp://example.org/a.mp3" "just words"; do
  if open_uri "$uri" >"$WORK/reply" 2>&1; then fail "OpenUri $uri was not refused"; fi
  grep -q "InvalidArgs" "$WORK/reply" || fail "OpenUri $uri: $(cat "$WORK/reply")"
done
kill -0 "$MEDIA_PID" || fail "the program ended"

open_uri "file://$WORK/music/%C4%E3%BA%C3.wav" >/dev/null || fail "OpenUri of the GBK name failed"
wait_until 10 eval '[[ $(metadata xesam:url) == */music/%C4%E3%BA%C3.wav ]] && [ -n "$(metadata mpris:length)" ]' ||
  fail "the opened file does not play: $(metadata xesam:url)"
wait_until 10 eval 'property PlaybackStatus | grep -q Playing' || fail "not playing: $(property PlaybackStatus)"
sink_input_exists || fail "no stream on the sound server"
sleep 2.5   # it plays to its end (the time is the point), so its duration is certain to be written
click_twips 3857 202
wait_for_exit "$MEDIA_PID" || fail "the program did not end"
[ "$(wc -l <"$APP/default.lst")" = 2 ] || fail "the list holds $(wc -l <"$APP/default.lst") rows, not 2: $(cat "$APP/default.lst")"
tail -n 1 "$APP/default.lst" | grep -q "\"00:02\",\"$WORK/music/$(printf '\xC4\xE3\xBA\xC3').wav\"" ||
  fail "the opened file is not last with its duration: $(od -c "$APP/default.lst" | tail -n 8)"
echo "e2e mpris-openuri: passed"
