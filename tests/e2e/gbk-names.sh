#!/usr/bin/env bash
# Names in another code page, as archives made on Windows leave them (GBK, not UTF-8): a folder holding them is
# added, the list keeps their bytes, and they play after a restart.
source "$(dirname "$0")/lib.sh"
start_display
make_program_folder
nihao=$(printf '\xC4\xE3\xBA\xC3')   # 你好
ge=$(printf '\xB8\xE8')              # 歌
mkdir -p "$WORK/music/$ge"
tone() { ffmpeg -loglevel error -y -f lavfi -i "sine=frequency=$2:duration=3" -ac 1 -ar 22050 "${@:3}" "$1"; }
tone "$WORK/music/$nihao.mp3" 440 -metadata title="Alpha"
tone "$WORK/music/$ge/$ge.mp3" 660   # no tag: its title is its name

start_media
open_playlist_menu
xdotool key f   # 添加目录(&F)
answer_file_dialog '请选择文件夹' "$WORK/music"
sleep 0.5  # the files are added after the dialog has gone, in the window's turns; nothing outside shows the end
[ -n "${E2E_SHOTS:-}" ] && import -window root "$E2E_SHOTS/gbk-names.png"

click_twips 3857 202
wait_for_exit "$MEDIA_PID" || fail "the program did not end"
# The folder is walked in name order as the names read: 歌 (ge) before 你好 (ni).
expected=$(printf '\xEF\xBB\xBF"\xE6\xAD\x8C","","00:00","%s"\r\n"Alpha","","00:00","%s"\r\n' \
  "$WORK/music/$ge/$ge.mp3" "$WORK/music/$nihao.mp3")
[ "$(cat "$APP/default.lst")" = "$expected" ] || fail "the list does not hold the names' own bytes:
$(od -c "$APP/default.lst" | head -20)"

# Started again, the list's first row plays, and the exit writes its duration.
start_media
sleep 3  # the first row plays to its end, so its duration is certain to be written
click_twips 3857 202
wait_for_exit "$MEDIA_PID" || fail "the program did not end"
head -c 200 "$APP/default.lst" | grep -q "$(printf '"\xE6\xAD\x8C","","00:03"')" ||
  fail "the first row did not play: $(cat "$APP/default.lst")"
grep -q "$WORK/music/$nihao.mp3" "$APP/default.lst" || fail "the name lost its bytes on the second save"
echo "e2e gbk-names: passed"
