#!/usr/bin/env bash
# The player starts from a folder with a default list, plays it, and saves the list when the user closes it.
source "$(dirname "$0")/lib.sh"
start_display
make_program_folder
make_tone "$WORK/one.wav" 440 4
make_tone "$WORK/two.wav" 660 4
make_tone "$WORK/three.wav" 880 4
printf '"One","","00:00","%s"\r\n"Two","","00:00","%s"\r\n"Three","","00:00","%s"\r\n' \
  "$WORK/one.wav" "$WORK/two.wav" "$WORK/three.wav" >"$APP/default.lst"

start_media
# The first track plays: the timer text changes as time passes.
grab_twips 2640 840 1215 255 "$WORK/timer1.png"
sleep 1.5  # time passes: that the shown time follows is the point
grab_twips 2640 840 1215 255 "$WORK/timer2.png"
[ "$(compare -metric AE "$WORK/timer1.png" "$WORK/timer2.png" null: 2>&1 || true)" != "0" ] || fail "the time does not advance"
[ -n "${E2E_SHOTS:-}" ] && import -window root "$E2E_SHOTS/playing.png"

# A second copy ends at once and shows no window.
"$APP/media" >/dev/null 2>&1 &
second=$!
wait_for_exit "$second" || fail "a second copy kept running"
[ "$(xdotool search --name '^Morvane-Tavri$' | wc -l)" = 1 ] || fail "a second main window appeared"

click_twips 1665 2175   # next
sleep 1.5  # the second track plays a while, so the poller writes its duration into its row
click_twips 815 2175    # stop
grab_twips 2640 840 1215 255 "$WORK/stopped1.png"
sleep 1  # time passes: that the shown time stays is the point
grab_twips 2640 840 1215 255 "$WORK/stopped2.png"
[ "$(compare -metric AE "$WORK/stopped1.png" "$WORK/stopped2.png" null: 2>&1 || true)" = "0" ] || fail "the time runs on after stop"

click_twips 3857 202    # close
wait_for_exit "$MEDIA_PID" || fail "the program did not end"

# The list was written back: the played tracks carry their durations now.
saved=$(cat "$APP/default.lst")
echo "$saved" | grep -q '"one","","00:04",' || fail "first track not written back: $saved"
echo "$saved" | grep -q '"two","","00:04",' || fail "second track not written back: $saved"
echo "$saved" | grep -q '"Three","","00:00",' || fail "third track changed: $saved"
[ "$(grep -c $'\r$' "$APP/default.lst")" = 3 ] || fail "lines not ended by CR LF"
echo "e2e playback: passed"
