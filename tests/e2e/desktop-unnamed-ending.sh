#!/usr/bin/env bash
# An ending nobody can answer never asks. With an unnamed list (after 新建播放列表), a SIGTERM, or a SIGHUP that comes
# while the close button's name dialog is open, ends the program at once and keeps the rows in a new file of the
# user's data folder, never default.lst; so do the session's logout and the loss of the display. A save-as that
# cannot write its file says so in a box and on stderr, and the list stays unnamed.
source "$(dirname "$0")/lib.sh"
source "$(dirname "$0")/desktop.sh"
start_display
start_desktop --no-panel
make_program_folder
make_tone "$WORK/one.wav" 440 20
make_tone "$WORK/two.wav" 660 20
LIST=$APP/default.lst
printf '"One","","00:00","%s"\r\n"Two","","00:00","%s"\r\n' "$WORK/one.wav" "$WORK/two.wav" >"$LIST"
cp "$LIST" "$WORK/default.before"
KEPT=$XDG_DATA_HOME/media

unnamed_lists() { find "$KEPT" -maxdepth 1 -name '未命名播放列表-*.lst' 2>/dev/null | sort; }
holds_both_rows() { grep -Fq ",\"$WORK/one.wav\"" "$1" && grep -Fq ",\"$WORK/two.wav\"" "$1"; }

new_list() {
  open_playlist_menu
  xdotool key l   # 新建播放列表(&L): the list has no file now
  wait_until 5 eval '! popup_menu >/dev/null' || fail "the menu stayed open"
}

# Ends the program by $1 (a name) with the command that follows, and waits until it has gone; it must go at once,
# without a dialog on the way.
end_by() {
  local how=$1 started=$(date +%s%N) ms
  shift
  rm -f "$WORK/dialog-seen"
  (while kill -0 "$MEDIA_PID" 2>/dev/null; do
    [ -z "$(visible_window 保存播放列表)" ] || touch "$WORK/dialog-seen"
    sleep 0.05
  done) &
  local watcher=$!
  "$@" || fail "$how did not finish"
  wait_for_exit "$MEDIA_PID" || fail "$how did not end the program (an open dialog holds it?)"
  ms=$((($(date +%s%N) - started) / 1000000))
  forget_pid "$MEDIA_PID"
  wait "$watcher" || true
  [ ! -e "$WORK/dialog-seen" ] || fail "a dialog was open while $how ended the program"
  [ "$ms" -lt 3000 ] || fail "$how took $ms ms to end the program"
}

# SIGTERM with an unnamed list: kept in a new file, said on stderr.
start_media
new_list
end_by SIGTERM kill -TERM "$MEDIA_PID"
[ "$(unnamed_lists | wc -l)" = 1 ] || fail "no new file for the unnamed list: $(ls -A "$KEPT" 2>&1)"
first=$(unnamed_lists)
holds_both_rows "$first" || fail "the unnamed list's file lacks rows: $(cat "$first")"
grep -Fq "saved to $first" "$WORK/media.log" || fail "stderr did not say where: $(cat "$WORK/media.log")"
cmp -s "$LIST" "$WORK/default.before" || fail "default.lst was written: $(cat "$LIST")"

# A save-as that cannot be written (a folder on the way is a file, as root too) is told in a box and on stderr.
start_media
new_list
: >"$WORK/plain-file"
open_playlist_menu
xdotool key Up Up Return   # 将播放列表另存为(&S), above 关于(&A)
answer_file_dialog '保存播放列表' "$WORK/plain-file/mine.lst"
box_of_program() { xdotool search --onlyvisible --name '^Morvane-Tavri$' 2>/dev/null | grep -vx "$WIN" | head -n1; }
wait_until 5 eval '[ -n "$(box_of_program)" ]' || fail "no message box told that the save failed"
grep -Fq "could not be saved to $WORK/plain-file/mine.lst: " "$WORK/media.log" ||
  fail "stderr did not say why: $(cat "$WORK/media.log")"
box=$(box_of_program)
xdotool windowactivate --sync "$box" key Return 2>/dev/null || xdotool key Return
wait_until 5 eval '[ -z "$(box_of_program)" ]' || fail "the message box did not close"

# The list is still unnamed: the close button asks for its name. A SIGHUP meanwhile cancels the question.
click_twips 3857 202
wait_for_window '保存播放列表' >/dev/null || fail "the close did not ask for the unnamed list's name"
started=$(date +%s%N)
kill -HUP "$MEDIA_PID"
wait_for_exit "$MEDIA_PID" || fail "SIGHUP did not end the program while the dialog was open"
ms=$((($(date +%s%N) - started) / 1000000))
forget_pid "$MEDIA_PID"
[ "$ms" -lt 3000 ] || fail "SIGHUP took $ms ms to end the program"
[ "$(unnamed_lists | wc -l)" = 2 ] || fail "no second file for the unnamed list: $(ls -A "$KEPT" 2>&1)"
second=$(unnamed_lists | grep -vxF "$first")
holds_both_rows "$second" || fail "the second file lacks rows: $(cat "$second")"
holds_both_rows "$first" || fail "the first file was written over"
cmp -s "$LIST" "$WORK/default.before" || fail "default.lst was written: $(cat "$LIST")"

# The session's logout, which lets nobody be asked: the same, a third file.
start_session_manager
start_media
new_list
end_by "the logout" logout_session
unset SESSION_MANAGER
session_saw 'save-yourself-done .* success=1' || fail "the program did not answer the session's save"
[ "$(unnamed_lists | wc -l)" = 3 ] || fail "the logout kept no file for the unnamed list: $(ls -A "$KEPT" 2>&1)"
third=$(unnamed_lists | grep -vxF -e "$first" -e "$second")
holds_both_rows "$third" || fail "the third file lacks rows: $(cat "$third")"
cmp -s "$LIST" "$WORK/default.before" || fail "default.lst was written: $(cat "$LIST")"

# The display goes away (last: the test has no screen after it): nothing can be asked, a fourth file keeps the rows.
start_media
new_list
end_by "the loss of the display" eval 'pkill -TERM -f "Xvfb -displayfd" -P $$ 2>/dev/null || kill "${PIDS[0]}"'
[ "$(unnamed_lists | wc -l)" = 4 ] || fail "the lost display kept no file for the unnamed list: $(ls -A "$KEPT" 2>&1)"
fourth=$(unnamed_lists | grep -vxF -e "$first" -e "$second" -e "$third")
holds_both_rows "$fourth" || fail "the fourth file lacks rows: $(cat "$fourth")"
echo "e2e desktop-unnamed-ending: passed"
