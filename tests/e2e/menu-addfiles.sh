#!/usr/bin/env bash
# Through the playlist menu: pick two files at once in the open-file dialog, start a new list, and quit: the exit
# asks for a file name and writes the list there.
source "$(dirname "$0")/lib.sh"
start_display
make_program_folder
mkdir -p "$WORK/music" "$WORK/lists"
make_tone "$WORK/music/one.wav" 440 2
make_tone "$WORK/music/two.wav" 660 2
printf '"Old","","00:00","%s"\r\n' "$WORK/music/one.wav" >"$APP/default.lst"

start_media
open_playlist_menu
xdotool key Down Return   # 添加文件(&A), the first item
# Into the folder first, then both names at once, in the order they are to be added.
type_into_dialog '选择要播放的音频文件' "$WORK/music/"
wait_for_window '选择要播放的音频文件' >/dev/null || fail "typing the folder closed the dialog"
answer_file_dialog '选择要播放的音频文件' '"two.wav" "one.wav"'
sleep 0.5  # the files are added after the dialog has gone, in the window's turns; nothing outside shows the end

open_playlist_menu
xdotool key l   # 新建播放列表(&L): the list has no file now
[ -n "${E2E_SHOTS:-}" ] && import -window root "$E2E_SHOTS/added-files.png"

click_twips 3857 202   # close: the exit save asks for a name
answer_file_dialog '保存播放列表' "$WORK/lists/mine.LST.txt"
wait_for_exit "$MEDIA_PID" || fail "the program did not end"

[ -f "$WORK/lists/mine.LST.txt" ] || fail "not saved under the name given: $(ls "$WORK/lists")"
saved=$(tr -d '\r' <"$WORK/lists/mine.LST.txt")
locations=$(echo "$saved" | sed 's/.*,"\(.*\)"$/\1/')
[ "$locations" = "$WORK/music/one.wav
$WORK/music/two.wav
$WORK/music/one.wav" ] || fail "rows differ: $saved"
grep -q '"Old"' "$APP/default.lst" && [ "$(wc -l <"$APP/default.lst")" = 1 ] || fail "default.lst was rewritten"
echo "e2e menu-addfiles: passed"
