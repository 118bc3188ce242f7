#!/usr/bin/env bash
# A program folder the program may not write to (a system-wide install): the list is kept in the user's data folder,
# made when first saved; the folder's own list is read as the starting point and never written.
#
# The tests run as root, and root writes wherever the permission bits forbid it: the script runs without the
# capabilities that let it pass over them (root stays the owner of its files, so only their owner bits count).
if [ -z "${READONLY_WITHOUT_OVERRIDE:-}" ]; then
  READONLY_WITHOUT_OVERRIDE=1 exec setpriv --bounding-set=-dac_override,-dac_read_search --inh-caps=-all -- \
    bash "$0" "$@"
fi
source "$(dirname "$0")/lib.sh"
# A folder without write permission cannot be emptied: the clean-up gives it back first.
trap 'chmod -R u+w "$WORK/app" 2>/dev/null; cleanup' EXIT
start_display
make_program_folder
make_tone "$WORK/one.wav" 440 2
make_tone "$WORK/two.wav" 660 2
printf '"One","","00:00","%s"\r\n' "$WORK/one.wav" >"$APP/default.lst"
chmod a-w "$APP"
! test -w "$APP" || fail "the program folder is still writable; the override was not dropped"
# Its entries, and the folder's own change time: a file made and removed again shows there.
listing() { ls -lA --time-style=full-iso "$APP"; stat -c %y "$APP"; }
listed_before=$(listing)
data_list=$XDG_DATA_HOME/media/default.lst
[ ! -e "$XDG_DATA_HOME/media" ] || fail "the data folder is there before the program ran"

start_media
sleep 3   # the starting point's one row plays to its end, so its duration is written
click_twips 3857 202
wait_for_exit "$MEDIA_PID" || fail "the program did not end"
[ "$(listing)" = "$listed_before" ] || fail "the program folder changed:
$(diff <(echo "$listed_before") <(listing))"
[ -f "$data_list" ] || fail "no list in the data folder: $(ls -laR "$XDG_DATA_HOME")"
[ "$(stat -c %a "$XDG_DATA_HOME/media")" = 700 ] || fail "the data folder is open to others: $(stat -c %a "$XDG_DATA_HOME/media")"
grep -q "\"00:02\",\"$WORK/one.wav\"" "$data_list" || fail "the starting point was not saved: $(cat "$data_list")"
grep -q "00:00" "$APP/default.lst" || fail "the program folder's list was written"
! grep -qi "playlist" "$WORK/media.log" || fail "the program told of the list: $(cat "$WORK/media.log")"

# Started again with a file: the data folder's list is the one read, and the file joins it there.
"$APP/media" "$WORK/two.wav" >"$WORK/media.log" 2>&1 &
MEDIA_PID=$!
PIDS+=($MEDIA_PID)
wait_for_window Morvane-Tavri >/dev/null || fail "the main window did not appear"
sleep 3   # the file plays to its end
kill -TERM "$MEDIA_PID"   # ends as the close button does
wait_for_exit "$MEDIA_PID" || fail "the program did not end"
[ "$(wc -l <"$data_list")" = 2 ] || fail "the data folder's list does not hold both rows: $(cat "$data_list")"
tail -n 1 "$data_list" | grep -q "\"00:02\",\"$WORK/two.wav\"" || fail "the file did not play: $(cat "$data_list")"
[ "$(listing)" = "$listed_before" ] || fail "the program folder changed"
echo "e2e readonly-folder: passed"
