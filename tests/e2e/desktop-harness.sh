#!/usr/bin/env bash
# The desktop the other end-to-end tests rely on works with the real program: the window manager manages its
# windows, the panel offers a notification area, the sound server carries its stream, and a logout through the
# session manager saves it and ends it.
source "$(dirname "$0")/lib.sh"
source "$(dirname "$0")/desktop.sh"
start_display
start_desktop
start_session_manager
make_program_folder
make_tone "$WORK/one.wav" 440 30
printf '"One","","00:00","%s"\r\n' "$WORK/one.wav" >"$APP/default.lst"
start_media

wait_until 10 window_managed 'Morvane-Tavri' || fail "the window manager does not manage the main window: $(wmctrl -l)"
tray_exists || fail "no notification area"
echo "taskbar: $(taskbar_entries "$MEDIA_PID") entries"

wait_until 10 sink_input_exists || fail "no stream of the program on the sound server: $(pactl list short sink-inputs)"
[ "$(sink_input_prop application.process.id)" = "$MEDIA_PID" ] || fail "the stream is not the program's"
[ "$(pactl list short sink-inputs | wc -l)" = 1 ] || fail "streams of others: $(pactl list short sink-inputs)"
echo "stream volume: $(sink_input_volume_percent)%"

wait_until 10 session_saw "property [^ ]+ Program=$APP/media" || fail "the program did not register: $(cat "$SESSION_LOG")"
session_saw 'registered .+' || fail "no registration: $(cat "$SESSION_LOG")"

logout_session || fail "the logout did not complete: $(cat "$SESSION_LOG")"
sed -n '/^logout$/,$p' "$SESSION_LOG" | grep -Eq '^save-yourself-done .+ success=1$' ||
  fail "no successful save at logout: $(cat "$SESSION_LOG")"
session_saw 'die sent .+' || fail "no Die: $(cat "$SESSION_LOG")"
wait_for_exit "$MEDIA_PID" || fail "the program kept running after the logout"
echo "e2e desktop-harness: passed"
