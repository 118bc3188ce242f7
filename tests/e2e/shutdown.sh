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
# A window thread that never returns (held here by a debugger in a lock that is never released, as a library waiting
# on a decoder's lock would hold it): SIGTERM still saves the list, as it stood a moment before, from another thread.
printf '"Tone","","00:00","%s"\r\n' "$WORK/tone.wav" >"$APP/default.lst"
start_media
sleep 1.5  # the poller writes the title and duration: the copy kept for the ending must follow that edit
gdb -p "$MEDIA_PID" -batch -ex 'handle SIGTERM SIGINT SIGHUP nostop noprint pass' \
  -ex 'set $lock = (void*)calloc(1, 64)' -ex 'call (int)pthread_mutex_lock($lock)' \
  -ex 'call (int)pthread_mutex_lock($lock)' >"$WORK/gdb.log" 2>&1 &
held_in_lock() { grep -q futex "/proc/$MEDIA_PID/wchan" 2>/dev/null; }
wait_until 20 held_in_lock || fail "the debugger did not hold the window thread: $(cat "$WORK/gdb.log")"
kill -TERM "$MEDIA_PID"
wait_until 15 exited "$MEDIA_PID" || fail "SIGTERM did not end a program whose window thread is held"
grep -q '"tone","","00:03",' "$APP/default.lst" || fail "list not saved while held: $(cat "$APP/default.lst")"
echo "e2e shutdown: passed"
