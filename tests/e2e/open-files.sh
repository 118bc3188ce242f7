#!/usr/bin/env bash
# Files named on the command line. With a copy running, a later start hands them over and ends at once with
# success, showing and printing nothing; the running copy appends them and plays the first (a name in another code
# page too). With no copy running, the program starts, loads its list, then appends the files and plays the first.
source "$(dirname "$0")/lib.sh"
source "$(dirname "$0")/desktop.sh"
start_display
start_desktop --no-panel
make_program_folder
nihao=$(printf '\xC4\xE3\xBA\xC3')   # 你好 in GBK
mkdir -p "$WORK/music"
make_tone "$WORK/one.wav" 440 30
make_tone "$WORK/music/two.wav" 660 2
make_tone "$WORK/music/$nihao.wav" 550 2
make_tone "$WORK/music/three.wav" 770 3
printf '"One","","00:00","%s"\r\n' "$WORK/one.wav" >"$APP/default.lst"

# A value of the current track's metadata on the session bus.
metadata() {
  dbus-send --session --print-reply --dest=org.mpris.MediaPlayer2.morvane /org/mpris/MediaPlayer2 \
    org.freedesktop.DBus.Properties.Get string:org.mpris.MediaPlayer2.Player string:Metadata 2>/dev/null |
    awk -v key="\"$1\"" '$1 == "string" && $2 == key { getline; gsub(/"/, ""); print $NF }'
}
playing_url() { metadata xesam:url; }
# The row at $1 is current, its media has a length (it has opened) and the stream is on the sound server.
plays() { [[ $(playing_url) == *"$1" ]] && [ -n "$(metadata mpris:length)" ] && sink_input_exists; }
# A later start with these arguments, from the music folder: it must end by itself, with success and in silence.
hand_over() {
  local status=0
  (cd "$WORK/music" && timeout 10 "$APP/media" "$@") >"$WORK/later.log" 2>&1 || status=$?
  [ "$status" = 0 ] || fail "the later start ended with $status: $(cat "$WORK/later.log")"
  [ ! -s "$WORK/later.log" ] || fail "the later start printed: $(cat "$WORK/later.log")"
}

start_media
wait_until 10 plays /one.wav || fail "the list's first row did not play"
windows_before=$(xdotool search --name . 2>/dev/null | wc -l)

# A relative name, taken from the later start's own folder.
hand_over two.wav
wait_until 10 plays /music/two.wav || fail "the handed-over file does not play: $(playing_url)"
# The poll has written the playing track's own texts into its row.
wait_until 10 eval '[ "$(metadata xesam:title)" = two ]' || fail "two.wav never played: $(metadata xesam:title)"
# A name that is not UTF-8, by its bytes.
hand_over "$WORK/music/$nihao.wav"
wait_until 10 plays /music/%C4%E3%BA%C3.wav || fail "the GBK name does not play: $(playing_url)"
[ "$(xdotool search --name . 2>/dev/null | wc -l)" = "$windows_before" ] || fail "a later start left a window"
kill -0 "$MEDIA_PID" || fail "the running copy ended"
sleep 2.5   # the GBK track plays to its end, so its duration is certain to be written
# A running copy that does not answer: the later start says so in one line and fails, within its twenty seconds.
kill -STOP "$MEDIA_PID"
status=0
timeout 40 "$APP/media" "$WORK/music/three.wav" >"$WORK/later.log" 2>&1 || status=$?
kill -CONT "$MEDIA_PID"
[ "$status" != 0 ] && [ "$status" != 124 ] || fail "a later start to a stopped copy ended with $status"
[ "$(wc -l <"$WORK/later.log")" = 1 ] && grep -q "did not answer" "$WORK/later.log" ||
  fail "no clear line for a copy that does not answer: $(cat "$WORK/later.log")"
[ -n "${E2E_SHOTS:-}" ] && import -window root "$E2E_SHOTS/open-files.png"
click_twips 3857 202
wait_for_exit "$MEDIA_PID" || fail "the program did not end"
[ "$(tail -n 2 "$APP/default.lst" | tr -d '\r' | sed 's/^"[^"]*","[^"]*",//')" = \
  "$(printf '"00:02","%s"\n"00:02","%s"' "$WORK/music/two.wav" "$WORK/music/$nihao.wav")" ] ||
  fail "the handed-over rows are not last with their durations: $(od -c "$APP/default.lst" | tail -n 12)"
[ "$(wc -l <"$APP/default.lst")" = 3 ] || fail "the list holds $(wc -l <"$APP/default.lst") rows, not 3"

# No copy running: this start opens the file itself, after its list (kept whole) has loaded.
"$APP/media" "file://$WORK/music/three.wav" >"$WORK/media.log" 2>&1 &
MEDIA_PID=$!
PIDS+=($MEDIA_PID)
wait_until 15 plays /music/three.wav || fail "the file given at start-up does not play: $(playing_url)"
sleep 3.5  # it plays to its end, so its duration is certain to be written
kill -TERM "$MEDIA_PID"
wait_for_exit "$MEDIA_PID" || fail "the program did not end"
[ "$(wc -l <"$APP/default.lst")" = 4 ] || fail "the list lost rows: $(cat "$APP/default.lst")"
head -n 1 "$APP/default.lst" | grep -q "$WORK/one.wav" || fail "the loaded list is not first: $(cat "$APP/default.lst")"
tail -n 1 "$APP/default.lst" | grep -q "\"00:03\",\"$WORK/music/three.wav\"" ||
  fail "the file given at start-up is not last with its duration: $(cat "$APP/default.lst")"

# A crowd of later starts at once, as a file manager opening 200 files one start each: every one is taken.
printf '"One","","00:00","%s"\r\n' "$WORK/one.wav" >"$APP/default.lst"
start_media
wait_until 10 plays /one.wav || fail "the list's first row did not play"
for i in $(seq 200); do
  (status=0; "$APP/media" "$WORK/music/two.wav" >"$WORK/crowd$i.log" 2>&1 || status=$?; echo $status >"$WORK/crowd$i.status") &
done
wait_until 120 eval '[ "$(ls "$WORK"/crowd*.status 2>/dev/null | wc -l)" = 200 ]' || fail "the crowd of starts did not end"
failed=$(grep -LxF 0 "$WORK"/crowd*.status | wc -l)
[ "$failed" = 0 ] || fail "$failed of 200 later starts failed: $(cat "$(grep -LxF 0 "$WORK"/crowd*.status | head -n1 | sed 's/status$/log/')")"
kill -TERM "$MEDIA_PID"
wait_for_exit "$MEDIA_PID" || fail "the program did not end"
[ "$(wc -l <"$APP/default.lst")" = 201 ] || fail "the list holds $(wc -l <"$APP/default.lst") rows, not 201"

# A full list says no: the later start prints why and fails, and nothing is added.
for i in $(seq 32767); do printf '"T%d","","00:01","%s"\r\n' "$i" "$WORK/one.wav"; done >"$APP/default.lst"
start_media
wait_until 20 plays /one.wav || fail "the full list did not start playing"
status=0
timeout 40 "$APP/media" "$WORK/music/two.wav" >"$WORK/later.log" 2>&1 || status=$?
[ "$status" = 1 ] || fail "a later start to a full list ended with $status"
grep -q "list is full" "$WORK/later.log" || fail "no clear line for a full list: $(cat "$WORK/later.log")"
kill -TERM "$MEDIA_PID"
wait_for_exit "$MEDIA_PID" || fail "the program did not end"
[ "$(wc -l <"$APP/default.lst")" = 32767 ] || fail "the full list changed: $(wc -l <"$APP/default.lst") rows"

# Starts just as the running copy ends: each file is kept, by the copy that ends or by the start, which then runs.
make_tone "$WORK/music/four.wav" 880 30
printf '"One","","00:00","%s"\r\n' "$WORK/one.wav" >"$APP/default.lst"
for pause in 0 0.05 0.1 0.2 0.3; do
  start_media
  wait_until 10 plays /one.wav || fail "the list's first row did not play"
  kill -TERM "$MEDIA_PID"
  sleep "$pause"
  "$APP/media" "$WORK/music/four.wav" >"$WORK/later.log" 2>&1 &
  later=$!
  PIDS+=($later)
  wait_for_exit "$MEDIA_PID" || fail "the program did not end"
  # Either the ending copy took the file and the start ended, or the start runs with it: end it as well.
  wait_until 25 eval 'exited $later || MEDIA_PID=$later plays /music/four.wav' ||
    fail "a start at the end ($pause s) neither ended nor plays its file: $(cat "$WORK/later.log")"
  if exited "$later"; then
    wait "$later" || fail "a start at the end ($pause s) failed: $(cat "$WORK/later.log")"
  else
    kill -TERM "$later"
    wait_for_exit "$later" || fail "the start that took over did not end"
  fi
  grep -q "music/four.wav" "$APP/default.lst" || fail "a start as the copy ended ($pause s) lost its file"
  sed -i '/music\/four.wav/d' "$APP/default.lst"
done
echo "e2e open-files: passed"
