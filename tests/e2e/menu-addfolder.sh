#!/usr/bin/env bash
# Through the playlist menu: add a folder in the folder dialog, save the list under a new name, and open it again.
source "$(dirname "$0")/lib.sh"
start_display
make_program_folder
mkdir -p "$WORK/music/sub" "$WORK/music/.hidden" "$WORK/lists"
tone() { ffmpeg -loglevel error -y -f lavfi -i "sine=frequency=$2:duration=3" -ac 1 -ar 22050 "${@:3}" "$1"; }
tone "$WORK/music/a.mp3" 440 -metadata title="Alpha" -metadata artist="Band"
tone "$WORK/music/b.wma" 550 -c:a wmav2 -metadata title="Beta" -metadata artist="Band"
tone "$WORK/music/sub/c.MP3" 660 -metadata title="Gamma"
tone "$WORK/music/.hidden/d.mp3" 770
tone "$WORK/music/e.wav" 880

start_media
open_playlist_menu
[ -n "${E2E_SHOTS:-}" ] && import -window root "$E2E_SHOTS/menu.png"
xdotool key f   # 添加目录(&F)
answer_file_dialog '请选择文件夹' "$WORK/music"
sleep 1  # the files are added after the dialog has gone, in the window's turns; nothing outside shows the end

# Save as a name without extension: ".lst" is added.
open_playlist_menu
xdotool key Up Up Return   # 将播放列表另存为(&S), above 关于(&A)
answer_file_dialog '保存播放列表' "$WORK/lists/mine"
[ -f "$WORK/lists/mine.lst" ] || fail "the list was not saved as mine.lst: $(ls "$WORK/lists")"

# The WMA pass comes first, then the MP3 files, each folder in name order: a.mp3 before the folder sub.
expected=$'"Beta","Band","00:00","'"$WORK"$'/music/b.wma"'
expected+=$'\n"Alpha","Band","00:00","'"$WORK"$'/music/a.mp3"'
expected+=$'\n"Gamma","","00:00","'"$WORK"$'/music/sub/c.MP3"'
saved=$(tr -d '\r' <"$WORK/lists/mine.lst")
[ "$saved" = "$expected" ] || fail "saved list differs:
$saved
expected:
$expected"

# Opening the saved list replaces the rows (added again first, so there is something to replace) and plays its
# first row.
open_playlist_menu
xdotool key f
answer_file_dialog '请选择文件夹' "$WORK/music/sub"
sleep 0.5  # the files are added after the dialog has gone, in the window's turns; nothing outside shows the end
open_playlist_menu
xdotool key o   # 打开播放列表(&O)
answer_file_dialog '选择要播放的列表' "$WORK/lists/mine.lst"
sleep 2  # the opened list's first row plays a while, so the poller writes its duration
[ -n "${E2E_SHOTS:-}" ] && import -window root "$E2E_SHOTS/reopened.png"

# Closing writes the list back to the opened file, not to default.lst; the first row has played, so its duration
# is there now, and the rows are those of the saved list only.
click_twips 3857 202
wait_for_exit "$MEDIA_PID" || fail "the program did not end"
[ ! -e "$APP/default.lst" ] || fail "default.lst was written"
written=$(tr -d '\r' <"$WORK/lists/mine.lst")
[ "$(echo "$written" | wc -l)" = 3 ] || fail "the reopened list does not hold its three rows: $written"
echo "$written" | head -n1 | grep -q '^"Beta","Band","00:03",' || fail "the first row did not play: $written"
echo "e2e menu-addfolder: passed"
