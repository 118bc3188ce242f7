#!/usr/bin/env bash
# With a notification area, minimising hides the window to the tray icon and a double click on the icon brings it
# back with the playlist window; without one, minimising never leaves the window unreachable.
source "$(dirname "$0")/lib.sh"
start_display
make_program_folder
make_tone "$WORK/one.wav" 440 30
printf '"One","","00:00","%s"\r\n' "$WORK/one.wav" >"$APP/default.lst"

visible() { xdotool search --onlyvisible --name "$1" 2>/dev/null | head -n1; }

# No notification area: the minimise button leaves the window where the user can reach it.
start_media
click_twips 3327 202   # minimise
sleep 0.5
kill -0 "$MEDIA_PID" || fail "the program ended on minimise"
[ -n "$(visible '^Morvane-Tavri$')" ] || fail "without a tray the main window was hidden for good"
kill -TERM "$MEDIA_PID"; wait_for_exit "$MEDIA_PID"

# A notification area: the icon docks into it.
trayer --edge top --align right --widthtype pixel --width 120 --height 28 >"$WORK/trayer.log" 2>&1 &
PIDS+=($!)
sleep 1
start_media
panel=$(xdotool search --name '^panel$' | head -n1)
icon=""
for _ in $(seq 50); do
  icon=$(xwininfo -children -id "$panel" 2>/dev/null | awk '/^ +0x/ && $0 !~ /1x1\+/ {print $1; exit}')
  [ -n "$icon" ] && break
  sleep 0.2
done
[ -n "$icon" ] || fail "no icon appeared in the notification area"
# The icon's place on the screen (xdotool misplaces windows that another program has taken in).
info=$(xwininfo -id "$icon")
abs() { echo "$info" | awk -v key="$1" -F: '$1 ~ key {gsub(/ /, "", $2); print $2}'; }
ICON_X=$(( $(abs "Absolute upper-left X") + $(abs "Width") / 2 ))
ICON_Y=$(( $(abs "Absolute upper-left Y") + $(abs "Height") / 2 ))

click_twips 3327 202   # minimise: main and playlist windows go
sleep 0.5
[ -z "$(visible '^Morvane-Tavri$')" ] || fail "the main window stayed on minimise"
[ -z "$(visible '^播放列表$')" ] || fail "the playlist window stayed on minimise"

xdotool mousemove --sync "$ICON_X" "$ICON_Y" click --repeat 2 --delay 80 1
sleep 0.8
[ -n "$(visible '^Morvane-Tavri$')" ] || fail "a double click on the icon did not bring the main window back"
[ -n "$(visible '^播放列表$')" ] || fail "the playlist window did not come back with it"
[ -n "${E2E_SHOTS:-}" ] && import -window root "$E2E_SHOTS/tray.png"

xdotool mousemove --sync "$ICON_X" "$ICON_Y" click --repeat 2 --delay 80 1
sleep 0.8
[ -z "$(visible '^Morvane-Tavri$')" ] || fail "a double click while shown did not hide the main window"

kill -TERM "$MEDIA_PID"
wait_for_exit "$MEDIA_PID" || fail "the program did not end"
echo "e2e tray: passed"
