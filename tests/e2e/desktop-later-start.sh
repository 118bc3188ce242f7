#!/usr/bin/env bash
# Under a window manager with a panel and a notification area: hiding to the tray takes the lyrics window along and
# restoring brings it back; a start without files while the player hides in the tray shows its windows and ends; a
# start with another player's list hands its songs over;
# at QT_SCALE_FACTOR=2 the windows the program places stay on the screen's free area. E2E_SHOTS keeps screenshots.
source "$(dirname "$0")/lib.sh"
source "$(dirname "$0")/desktop.sh"
start_display
start_desktop
make_program_folder
make_tone "$WORK/one.wav" 440 60
printf '"One","","00:00","%s"\r\n' "$WORK/one.wav" >"$APP/default.lst"
start_media

visible() { [ -n "$(visible_window "$1")" ]; }
hidden() { ! visible "$1"; }

click_twips 2325 200   # the lyrics button
wait_until 5 visible '歌词' || fail "no lyrics window"
[ -n "${E2E_SHOTS:-}" ] && import -window root "$E2E_SHOTS/desktop-scale-1.png"

click_twips 3327 202   # minimise, into the tray
wait_until 5 hidden 'Morvane-Tavri' || fail "minimise with a tray left the main window"
wait_until 5 hidden '歌词' || fail "the lyrics window stayed on screen when the player hid in the tray"
hidden '播放列表' || fail "minimise left the playlist window"

# Started again from the desktop's menu, without files: the running copy shows itself, and this start ends.
"$APP/media" >"$WORK/second.log" 2>&1 &
second=$!
PIDS+=($second)
wait_for_exit "$second" || fail "the second start did not end"
wait "$second" || fail "the second start ended with status $?"
forget_pid "$second"
wait_until 10 visible 'Morvane-Tavri' || fail "a second start did not show the main window"
wait_until 5 visible '播放列表' || fail "a second start did not show the playlist window"
wait_until 5 visible '歌词' || fail "the lyrics window did not come back with the main window"
kill -0 "$MEDIA_PID" || fail "the running copy ended"

# Started with another player's list: its songs (a relative name, a file URI) are handed over and kept in the list.
make_tone "$WORK/two.wav" 660 60
mkdir -p "$WORK/lists"
printf '[playlist]\nFile1=../two.wav\nTitle1=Two\nFile2=file://%s\nNumberOfEntries=2\nVersion=2\n' \
  "$WORK/one.wav" >"$WORK/lists/other.pls"
"$APP/media" "$WORK/lists/other.pls" >"$WORK/third.log" 2>&1 || fail "the start with a list failed: $(cat "$WORK/third.log")"
playing_url() {
  dbus-send --session --print-reply --dest=org.mpris.MediaPlayer2.morvane /org/mpris/MediaPlayer2 \
    org.freedesktop.DBus.Properties.Get string:org.mpris.MediaPlayer2.Player string:Metadata 2>/dev/null
}
wait_until 10 eval 'playing_url | grep -q "two.wav"' || fail "the list's first song does not play: $(playing_url)"
kill -TERM "$MEDIA_PID"
wait_for_exit "$MEDIA_PID" || fail "the program did not end"
forget_pid "$MEDIA_PID"
grep -c 'wav"' "$APP/default.lst" | grep -qx 3 || fail "the list's songs were not added: $(cat "$APP/default.lst")"
grep -q "lists/../two.wav\"" "$APP/default.lst" || fail "the relative name was not taken from the list's folder"

# Twice the scale: the playlist docked under the main window, and the lyrics window beside it, stay on the screen
# above the panel.
export QT_SCALE_FACTOR=2
start_media
wait_until 10 eval 'xprop -root _NET_WORKAREA | grep -q ","' || fail "the window manager names no work area"
read -r AREA_X AREA_Y AREA_W AREA_H < <(xprop -root _NET_WORKAREA | sed 's/.*= //; s/,//g' | awk '{print $1, $2, $3, $4}')
within_area() {
  window_geometry "$1"
  [ "$WX" -ge "$AREA_X" ] && [ "$WY" -ge "$AREA_Y" ] && [ $((WX + WW)) -le $((AREA_X + AREA_W)) ] &&
    [ $((WY + WH)) -le $((AREA_Y + AREA_H)) ]
}
list=$(wait_for_window '播放列表') || fail "no playlist window"
within_area "$list" || fail "the docked playlist window at ${WX},${WY} ${WW}x${WH} leaves the free area ${AREA_X},${AREA_Y} ${AREA_W}x${AREA_H}"
window_geometry "$WIN"
[ "$WY" -lt "$(window_geometry "$list"; echo "$WY")" ] || fail "the playlist window is not under the main window"
xdotool mousemove --sync $((MAIN_X + 2325 * 2 / 15)) $((MAIN_Y + 200 * 2 / 15)) click 1   # the lyrics button
lyrics=$(wait_for_window '歌词') || fail "no lyrics window at twice the scale"
within_area "$lyrics" || fail "the lyrics window at ${WX},${WY} ${WW}x${WH} leaves the free area"
[ -n "${E2E_SHOTS:-}" ] && import -window root "$E2E_SHOTS/desktop-scale-2.png"

kill -TERM "$MEDIA_PID"
wait_for_exit "$MEDIA_PID" || fail "the program did not end"
echo "e2e desktop-later-start: passed"
