#!/usr/bin/env bash
# On a private session bus the player answers as a desktop media player: next and play/pause act on it.
if [ -z "${MPRIS_INSIDE_BUS:-}" ]; then
  MPRIS_INSIDE_BUS=1 exec dbus-run-session -- bash "$0" "$@"
fi
source "$(dirname "$0")/lib.sh"
start_display
make_program_folder
make_tone "$WORK/one.wav" 440 6
make_tone "$WORK/two.wav" 660 6
printf '"One","","00:00","%s"\r\n"Two","","00:00","%s"\r\n' "$WORK/one.wav" "$WORK/two.wav" >"$APP/default.lst"

mpris() {
  dbus-send --session --print-reply --dest=org.mpris.MediaPlayer2.morvane /org/mpris/MediaPlayer2 "$@"
}
property() {
  mpris org.freedesktop.DBus.Properties.Get string:org.mpris.MediaPlayer2.Player "string:$1"
}
wait_for() {  # wait_for <property> <text expected in the reply>
  for _ in $(seq 50); do property "$1" 2>/dev/null | grep -q "$2" && return 0; sleep 0.2; done
  fail "$1 never showed $2: $(property "$1" 2>&1)"
}

start_media
wait_for PlaybackStatus '"Playing"'
wait_for Metadata "one.wav"
mpris org.mpris.MediaPlayer2.Player.Next >/dev/null
wait_for Metadata "two.wav"
mpris org.mpris.MediaPlayer2.Player.PlayPause >/dev/null
wait_for PlaybackStatus '"Paused"'
mpris org.mpris.MediaPlayer2.Player.PlayPause >/dev/null
wait_for PlaybackStatus '"Playing"'
mpris org.mpris.MediaPlayer2.Player.Stop >/dev/null
wait_for PlaybackStatus '"Stopped"'
mpris org.mpris.MediaPlayer2.Quit >/dev/null
wait_for_exit "$MEDIA_PID" || fail "Quit did not end the program"
echo "e2e mpris: passed"
