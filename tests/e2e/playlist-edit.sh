#!/usr/bin/env bash
# Editing the list with the mouse: a double click plays a row, the menu removes the selected row and clears the list;
# what is left each time is read back from the files the program writes.
source "$(dirname "$0")/lib.sh"
start_display
make_program_folder
make_tone "$WORK/a.wav" 440 20
make_tone "$WORK/b.wav" 550 30
make_tone "$WORK/c.wav" 660 40
for t in a b c; do printf '"%s","Band","00:00","%s"\r\n' "$t" "$WORK/$t.wav"; done >"$APP/default.lst"
mkdir -p "$WORK/lists"

start_media
LIST=$(wait_for_window '播放列表') || fail "no playlist window"
window_geometry "$LIST"
# Rows are 16 pixels apart; the first row's middle lies 59 pixels below the window's top.
row_y() { echo $((WY + 59 + 16 * ($1 - 1))); }
ROW_X=$((WX + 60))

# The first row plays from the start (a while, so that its row gets its duration); a double click on the third plays
# that one instead, a while too.
sleep 1
xdotool mousemove --sync "$ROW_X" "$(row_y 3)" click --repeat 2 --delay 80 1
sleep 1.5

# Select the second row and remove it through the menu opened on it.
xdotool mousemove --sync "$ROW_X" "$(row_y 2)" click 1
sleep 0.3  # the user's pause: the right click is a click of its own, not the end of a double click
xdotool click 3
wait_until 5 eval 'popup_menu >/dev/null' || fail "no menu on the row"
xdotool key d   # 删除文件(&D)
wait_until 5 eval '! popup_menu >/dev/null' || fail "the menu stayed open"
open_playlist_menu
xdotool key Up Up Return   # 将播放列表另存为(&S)
answer_file_dialog '保存播放列表' "$WORK/lists/edited"
saved=$(tr -d '\r' <"$WORK/lists/edited.lst" 2>/dev/null) || fail "the list was not saved"
# The played rows carry what the player read (an untagged file: its base name, no artist, its duration); the removed
# row is gone.
expected=$'"a","","00:20","'"$WORK"$'/a.wav"\n"c","","00:40","'"$WORK"$'/c.wav"'
[ "$saved" = "$expected" ] || fail "after the double click and the removal the list is:
$saved
expected:
$expected"

# Clear the list; closing writes the now empty list to the file it was saved as.
open_playlist_menu
xdotool key c   # 清除列表(&C)
wait_until 5 eval '! popup_menu >/dev/null' || fail "the menu stayed open"
click_twips 3857 202
wait_for_exit "$MEDIA_PID" || fail "the program did not end"
[ -f "$WORK/lists/edited.lst" ] && [ ! -s "$WORK/lists/edited.lst" ] || fail "the cleared list was not written empty:
$(cat "$WORK/lists/edited.lst")"
echo "e2e playlist-edit: passed"
