#!/usr/bin/env bash
# The sound server's faults while the program plays: killed and started again, the program's stream comes back at
# the next track; frozen (SIGSTOP), the window still answers, changes track, and ends within a few seconds of its
# close with the list saved.
source "$(dirname "$0")/lib.sh"
source "$(dirname "$0")/desktop.sh"
start_display
start_desktop --no-panel
make_program_folder
make_tone "$WORK/one.wav" 440 30
make_tone "$WORK/two.wav" 550 30
make_tone "$WORK/three.wav" 660 30
make_tone "$WORK/four.wav" 770 30
printf '"One","","00:00","%s"\r\n"Two","","00:00","%s"\r\n"Three","","00:00","%s"\r\n"Four","","00:00","%s"\r\n' \
  "$WORK/one.wav" "$WORK/two.wav" "$WORK/three.wav" "$WORK/four.wav" >"$APP/default.lst"
start_media

sound_server_pid() {
  local pid
  for pid in "${PIDS[@]}"; do
    if tr '\0' ' ' <"/proc/$pid/cmdline" 2>/dev/null | grep -q '^pulseaudio '; then echo "$pid"; return; fi
  done
}
# The track the player names on the session bus; the call is answered by the window's thread, within 2 s or not.
current_url() {
  dbus-send --session --print-reply --reply-timeout=2000 --dest=org.mpris.MediaPlayer2.morvane /org/mpris/MediaPlayer2 \
    org.freedesktop.DBus.Properties.Get string:org.mpris.MediaPlayer2.Player string:Metadata >"$WORK/metadata" 2>&1 || true
  grep -A1 'xesam:url' "$WORK/metadata" | tail -n1
}
next_track() { click_twips 1665 2175; }

wait_until 15 sink_input_exists || fail "the first track has no stream on the sound server"

# Killed while the program plays, then started again: the next track is heard again.
server=$(sound_server_pid)
[ -n "$server" ] || fail "no sound server among the desktop's processes"
kill -KILL "$server"
wait "$server" 2>/dev/null || true
forget_pid "$server"
sleep 1  # the program meets the lost server while it plays: that it plays on is the point
start_sound_server
next_track
wait_until 15 eval '[[ "$(current_url)" == *two.wav* ]]' || fail "the next track did not start: $(current_url)"
wait_until 15 sink_input_exists || fail "no stream on the sound server started again, at the next track"

# Frozen: the window thread never waits on it.
server=$(sound_server_pid)
kill -STOP "$server"
next_track
wait_until 10 eval '[[ "$(current_url)" == *three.wav* ]]' || fail "the window did not answer with the server frozen: $(current_url)"
next_track
wait_until 10 eval '[[ "$(current_url)" == *four.wav* ]]' || fail "a second track change with the server frozen: $(current_url)"
wmctrl -l | grep -q 'Morvane-Tavri' || fail "the window manager no longer lists the main window"

# Closed with the server still frozen: the program ends within a few seconds, the list saved.
click_twips 3857 202
wait_until 6 exited "$MEDIA_PID" || fail "the program did not end within 6 s of its close with the server frozen"
kill -CONT "$server"
# The tracks that played carry their durations now, which only the close's save writes.
grep -q '"one","","00:30",' "$APP/default.lst" || fail "the list was not saved at the close: $(cat "$APP/default.lst")"
grep -q 'four.wav' "$APP/default.lst" || fail "the list lost its rows: $(cat "$APP/default.lst")"
echo "e2e desktop-sound-server: passed"
