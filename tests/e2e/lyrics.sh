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
lyrics=$(wait_for_window '歌词') || fail "the lyrics window did not show"
eval "$(xdotool getwindowgeometry --shell "$lyrics")"
# The canvas inside the frame: 96 x 425 twips in, 180 x 490 twips smaller than the window. Its pixels of a colour.
canvas_pixels() {
  convert "$WORK/canvas.png" -format %c histogram:info:- | awk -v colour="$1" '$0 ~ colour {gsub(":", "", $1); n += $1} END {print n + 0}'
}
# A line lit in white among others in green, once the track has reached the stamped lines.
lit() {
  import -window root -crop "$((WIDTH - 14))x$((HEIGHT - 34))+$((X + 7))+$((Y + 29))" "$WORK/canvas.png"
  white=$(canvas_pixels '#FFFFFF') green=$(canvas_pixels '#00FF00')
  [ "$white" -gt 20 ] && [ "$green" -gt 20 ]
}
wait_until 10 lit || fail "no line is lit among the others (white pixels: $white, green pixels: $green)"
[ -n "${E2E_SHOTS:-}" ] && import -window root "$E2E_SHOTS/lyrics.png"

# The lyrics button hides it again; the close button hides it and one click shows it again.
click_twips 2325 202
wait_for_no_window '歌词' 5 || fail "the lyrics button did not hide the window"
click_twips 2325 202
wait_for_window '歌词' >/dev/null || fail "the lyrics button did not show the window again"
kill -TERM "$MEDIA_PID"
wait_for_exit "$MEDIA_PID" || fail "the program did not end"
echo "e2e lyrics: passed"
