#!/usr/bin/env bash
# Closing by a signal saves the list like the close button.
source "$(dirname "$0")/lib.sh"
start_display
make_program_folder
make_tone "$WORK/tone.wav" 440 3
printf '"Tone","","00:00","%s"\r\n' "$WORK/tone.wav" >"$APP/default.lst"
start_media
sleep 1.5  # the track plays a while, so the poller writes its title and duration: the mark of a save
kill -TERM "$MEDIA_PID"
wait_for_exit "$MEDIA_PID" || fail "SIGTERM did not end the program"
grep -q '"tone","","00:03",' "$APP/default.lst" || fail "list not saved on SIGTERM: $(cat "$APP/default.lst")"

# An empty list at exit leaves an empty file.
: >"$APP/default.lst"
start_media
kill -INT "$MEDIA_PID"
wait_for_exit "$MEDIA_PID" || fail "SIGINT did not end the program"
[ -f "$APP/default.lst" ] && [ ! -s "$APP/default.lst" ] || fail "empty list not written as an empty file"
echo "e2e shutdown: passed"
