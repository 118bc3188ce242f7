#!/usr/bin/env bash
# Every way a desktop ends the program saves the list as the close button does, once: SIGHUP, the session's logout,
# the loss of the display. A list the program did not read whole keeps its file (unreadable, longer than the grid
# holds, still loading when a SIGTERM came), and a saved list stays a link with its mode.
source "$(dirname "$0")/lib.sh"
source "$(dirname "$0")/desktop.sh"
start_display
start_desktop
make_program_folder
make_tone "$WORK/tone.wav" 440 30
LIST=$APP/default.lst
one_row() { printf '"Tone","","00:00","%s"\r\n' "$WORK/tone.wav" >"$LIST"; }
# The poller writes the player's title and duration into the row: the mark of a save.
saved() { grep -q '"tone","","00:30",' "$LIST"; }
ends() { wait_for_exit "$MEDIA_PID" || fail "$1 did not end the program"; forget_pid "$MEDIA_PID"; }

# SIGHUP: the terminal or the session went away.
one_row
start_media
wait_until 10 eval 'xdotool getwindowname "$WIN" >/dev/null && grep -q . "$LIST"' || true
sleep 1.5  # the track plays a while, so the poller writes its title and duration: the mark of a save
kill -HUP "$MEDIA_PID"
ends SIGHUP
saved || fail "SIGHUP did not save the list: $(cat "$LIST")"

# Logout: the session manager asks for a save, then tells the program to go; the list is written once.
one_row
start_session_manager
start_media
sleep 1.5  # the track plays a while, so the poller writes its title and duration: the mark of a save
strace_log=$WORK/renames.log
logout_session || fail "the session manager's logout did not finish"
ends "the session's logout"
session_saw 'save-yourself-done .* success=1' || fail "the program did not answer the session's save"
saved || fail "the logout did not save the list: $(cat "$LIST")"
unset SESSION_MANAGER

# A SIGTERM while a long list still loads ends the program, and a list it never held whole is not written over.
awk -v tone="$WORK/tone.wav" 'BEGIN { for (i = 0; i < 100000; i++) printf "\"t%d\",\"\",\"00:00\",\"%s\"\r\n", i, tone }' >"$LIST"
cp "$LIST" "$WORK/long.lst"
"$APP/media" >"$WORK/media.log" 2>&1 &
MEDIA_PID=$!
PIDS+=($MEDIA_PID)
for _ in $(seq 100); do kill -TERM "$MEDIA_PID" 2>/dev/null || break; sleep 0.05; done
ends "SIGTERM during the first load"
cmp -s "$LIST" "$WORK/long.lst" || fail "a list not loaded whole was written over ($(grep -c . "$LIST") rows)"

# Loaded whole up to the grid's limit, the rest of the file still counts: nothing is deleted at exit.
start_media
kill -TERM "$MEDIA_PID"
ends SIGTERM
cmp -s "$LIST" "$WORK/long.lst" || fail "the rows beyond the grid's limit were deleted ($(grep -c . "$LIST") rows)"
grep -q 'kept as it is' "$WORK/media.log" || fail "nothing said that the list file is kept"

# A list the program cannot read stays as it is.
rm -f "$LIST"
if [ "$(id -u)" -ne 0 ]; then
  one_row
  chmod 000 "$LIST"
else
  mkdir -p "$WORK/not-a-list"
  ln -s "$WORK/not-a-list" "$LIST"   # root reads every file: a list that is no file stands in
fi
start_media
kill -TERM "$MEDIA_PID"
ends SIGTERM
if [ -L "$LIST" ]; then [ -d "$LIST" ] || fail "the unreadable list was replaced"; else [ "$(stat -c %a "$LIST")" = 0 ] || fail "the unreadable list was replaced"; fi
grep -q 'cannot read the playlist' "$WORK/media.log" || fail "nothing said that the list could not be read"
rm -rf "$LIST"

# Saved through a link to the list, keeping the file's mode.
one_row
mv "$LIST" "$WORK/real.lst"
chmod 600 "$WORK/real.lst"
ln -s "$WORK/real.lst" "$LIST"
start_media
sleep 1.5  # the track plays a while, so the poller writes its title and duration: the mark of a save
kill -TERM "$MEDIA_PID"
ends SIGTERM
[ -L "$LIST" ] || fail "the link was replaced by a file"
LIST=$WORK/real.lst saved || fail "the list was not saved through the link: $(cat "$WORK/real.lst")"
[ "$(stat -c %a "$WORK/real.lst")" = 600 ] || fail "the list's mode became $(stat -c %a "$WORK/real.lst")"
rm -f "$LIST"

# The display goes away (the X server ends with the session): the list is saved before the program goes.
one_row
start_media
sleep 1.5  # the track plays a while, so the poller writes its title and duration: the mark of a save
pkill -TERM -f "Xvfb -displayfd" -P $$ 2>/dev/null || kill "${PIDS[0]}"
ends "the loss of the display"
saved || fail "the loss of the display did not save the list: $(cat "$LIST")"
echo "e2e desktop-ending: passed"
