#!/usr/bin/env bash
# A track with a lyric file beside it plays; the lyrics window scrolls its lines with the current one lit.
source "$(dirname "$0")/lib.sh"
start_display
make_program_folder
make_tone "$WORK/song.wav" 440 12
printf '[ti:Song]\n[00:00.50]第一行 first line\n[00:01.50]第二行 second line\n[00:02.50]第三行 third line\n[00:03.50]第四行 fourth line\n[00:20.00]never reached\n' >"$WORK/song.LRC"
printf '"Song","","00:00","%s"\r\n' "$WORK/song.wav" >"$APP/default.lst"

start_media
click_twips 2325 202   # the lyrics button
lyrics=""
for _ in $(seq 50); do
  lyrics=$(xdotool search --onlyvisible --name '^歌词$' 2>/dev/null | head -n1)
  [ -n "$lyrics" ] && break
  sleep 0.1
done
[ -n "$lyrics" ] || fail "the lyrics window did not show"
sleep 2.5
eval "$(xdotool getwindowgeometry --shell "$lyrics")"
# The canvas inside the frame: 96 x 425 twips in, 180 x 490 twips smaller than the window.
import -window root -crop "$((WIDTH - 14))x$((HEIGHT - 34))+$((X + 7))+$((Y + 29))" "$WORK/canvas.png"
[ -n "${E2E_SHOTS:-}" ] && import -window root "$E2E_SHOTS/lyrics.png"
colours=$(convert "$WORK/canvas.png" -format %c histogram:info:-)
white=$(echo "$colours" | awk '/#FFFFFF/ {gsub(":", "", $1); n += $1} END {print n + 0}')
green=$(echo "$colours" | awk '/#00FF00/ {gsub(":", "", $1); n += $1} END {print n + 0}')
[ "$white" -gt 20 ] || fail "no line is lit (white pixels: $white)"
[ "$green" -gt 20 ] || fail "no other lines are shown (green pixels: $green)"

# The lyrics button hides it again; the close button hides it and one click shows it again.
click_twips 2325 202
sleep 0.4
[ -z "$(xdotool search --onlyvisible --name '^歌词$' 2>/dev/null)" ] || fail "the lyrics button did not hide the window"
click_twips 2325 202
sleep 0.4
[ -n "$(xdotool search --onlyvisible --name '^歌词$' 2>/dev/null)" ] || fail "the lyrics button did not show the window again"
kill -TERM "$MEDIA_PID"
wait_for_exit "$MEDIA_PID" || fail "the program did not end"
echo "e2e lyrics: passed"
