#!/usr/bin/env bash
# On a sound server: the program's stream names itself (music role, program name and icon), the volume chosen with
# the thumb holds on the next track, which plays on the same stream, and a FIFO in the list neither blocks the program
# nor stops the list.
source "$(dirname "$0")/lib.sh"
source "$(dirname "$0")/desktop.sh"
start_display
start_desktop --no-panel
make_program_folder
mkfifo "$WORK/pipe.mp3"
make_tone "$WORK/one.wav" 440 3
make_tone "$WORK/two.wav" 660 30
printf '"Pipe","","00:00","%s"\r\n"One","","00:00","%s"\r\n"Two","","00:00","%s"\r\n' \
  "$WORK/pipe.mp3" "$WORK/one.wav" "$WORK/two.wav" >"$APP/default.lst"
start_media

stream_file() { sink_input_prop media.filename; }
wait_until 15 sink_input_exists || fail "the list did not get past the FIFO to a playable track"
[ "$(sink_input_prop media.role)" = music ] || fail "media.role: $(sink_input_prop media.role)"
[ "$(sink_input_prop application.name)" = Morvane-Tavri ] || fail "application.name: $(sink_input_prop application.name)"
[ "$(sink_input_prop application.icon_name)" = media ] || fail "application.icon_name: $(sink_input_prop application.icon_name)"

# The volume strip at 450 twips from its start: volume 56, which the server shows as 56 %.
click_twips 2850 2150
wait_until 5 eval '[ "$(sink_input_volume_percent)" = 56 ]' || fail "volume on the first track: $(sink_input_volume_percent) %"
first=$(sink_input_block | head -n1)
# The track the player names on the session bus.
current_url() {
  dbus-send --session --print-reply --dest=org.mpris.MediaPlayer2.morvane /org/mpris/MediaPlayer2 \
    org.freedesktop.DBus.Properties.Get string:org.mpris.MediaPlayer2.Player string:Metadata >"$WORK/metadata" 2>&1 || true
  grep -A1 'xesam:url' "$WORK/metadata" | tail -n1
}
wait_until 15 eval '[[ "$(current_url)" == *two.wav* ]]' || fail "the next track did not start: $(current_url)"
[ "$(sink_input_block | head -n1)" = "$first" ] || fail "the next track opened a stream of its own: $(sink_input_block | head -n1)"
wait_until 5 eval '[ "$(sink_input_volume_percent)" = 56 ]' || fail "the next track plays at $(sink_input_volume_percent) %"

# The program still answers: its close ends it and saves the list with the FIFO's row in place.
click_twips 3857 202
wait_for_exit "$MEDIA_PID" || fail "the close button did not end the program"
grep -q 'pipe.mp3' "$APP/default.lst" || fail "the FIFO's row was lost: $(cat "$APP/default.lst")"
echo "e2e desktop-sound: passed"
