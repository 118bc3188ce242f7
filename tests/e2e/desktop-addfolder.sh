#!/usr/bin/env bash
# Under a window manager: the folder dialog takes the folder the user types, also one inside the folder it shows, and
# speaks the program's language.
source "$(dirname "$0")/lib.sh"
source "$(dirname "$0")/desktop.sh"
start_display
start_desktop --no-panel
make_program_folder
mkdir -p "$WORK/music/sub"
tone() { ffmpeg -loglevel error -y -f lavfi -i "sine=frequency=$2:duration=2" -ac 1 -ar 22050 "${@:3}" "$1"; }
tone "$WORK/music/a.mp3" 440 -metadata title="Alpha"
tone "$WORK/music/sub/c.mp3" 660 -metadata title="Gamma"
: >"$APP/default.lst"
# The dialog first shows the folder the program was started in; the folder typed lies two levels inside it.
cd "$WORK"
start_media

open_playlist_menu
xdotool key f   # 添加目录(&F)
dialog=$(wait_for_window '请选择文件夹') || fail "no folder dialog"
[ -n "${E2E_SHOTS:-}" ] && import -window root "$E2E_SHOTS/folder-dialog.png"
# Typed, then chosen with the dialog's choose button (Alt+C), not entered with Return.
xdotool type --delay 20 "$WORK/music/sub"
sleep 0.5  # the name field's completion list follows the typing
xdotool key alt+c
wait_until 5 eval '[ -z "$(visible_window 请选择文件夹)" ]' || { xdotool key alt+c; wait_until 5 eval '[ -z "$(visible_window 请选择文件夹)" ]'; } ||
  fail "the dialog did not take the typed folder"
sleep 1  # the files are added after the dialog has gone, in the window's turns; nothing outside shows the end

click_twips 3857 202
wait_for_exit "$MEDIA_PID" || fail "the program did not end"
rows=$(tr -d '\r' <"$APP/default.lst")
[ "$(echo "$rows" | grep -c .)" = 1 ] && echo "$rows" | grep -q "\"$WORK/music/sub/c.mp3\"\$" ||
  fail "the typed folder was not the one added:
$rows"
echo "e2e desktop-addfolder: passed"
