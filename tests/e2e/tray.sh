#!/usr/bin/env bash
# With a notification area, minimising hides the window to the tray icon and a double click on the icon brings it
# back with the playlist window; without one, minimising never leaves the window unreachable.
source "$(dirname "$0")/lib.sh"
source "$(dirname "$0")/desktop.sh"  # tray_exists
start_display
make_program_folder
make_tone "$WORK/one.wav" 440 30
printf '"One","","00:00","%s"\r\n' "$WORK/one.wav" >"$APP/default.lst"

# No notification area: the minimise button leaves the window where the user can reach it.
start_media
click_twips 3327 202   # minimise
sleep 0.5  # the window must stay: no sign tells that it will not go a moment later
kill -0 "$MEDIA_PID" || fail "the program ended on minimise"
[ -n "$(visible_window Morvane-Tavri)" ] || fail "without a tray the main window was hidden for good"
kill -TERM "$MEDIA_PID"; wait_for_exit "$MEDIA_PID"

# A notification area: the icon docks into it.
trayer --edge top --align right --widthtype pixel --width 120 --height 28 >"$WORK/trayer.log" 2>&1 &
PIDS+=($!)
wait_until 10 tray_exists || fail "the notification area did not come"
start_media
panel=$(xdotool search --name '^panel$' | head -n1)
icon=""
docked() { icon=$(xwininfo -children -id "$panel" 2>/dev/null | awk '/^ +0x/ && $0 !~ /1x1\+/ {print $1; exit}'); [ -n "$icon" ]; }
wait_until 10 docked || fail "no icon appeared in the notification area"
# The icon's place on the screen (xdotool misplaces windows that another program has taken in).
info=$(xwininfo -id "$icon")
abs() { echo "$info" | awk -v key="$1" -F: '$1 ~ key {gsub(/ /, "", $2); print $2}'; }
ICON_X=$(( $(abs "Absolute upper-left X") + $(abs "Width") / 2 ))
ICON_Y=$(( $(abs "Absolute upper-left Y") + $(abs "Height") / 2 ))

click_twips 3327 202   # minimise: main and playlist windows go
wait_for_no_window Morvane-Tavri 5 || fail "the main window stayed on minimise"
wait_for_no_window '播放列表' 5 || fail "the playlist window stayed on minimise"

xdotool mousemove --sync "$ICON_X" "$ICON_Y" click --repeat 2 --delay 80 1
wait_for_window Morvane-Tavri >/dev/null || fail "a double click on the icon did not bring the main window back"
wait_for_window '播放列表' >/dev/null || fail "the playlist window did not come back with it"
[ -n "${E2E_SHOTS:-}" ] && import -window root "$E2E_SHOTS/tray.png"

sleep 0.5  # the user's pause: the next two clicks are a double click of their own, not a third and fourth click
xdotool mousemove --sync "$ICON_X" "$ICON_Y" click --repeat 2 --delay 80 1
wait_for_no_window Morvane-Tavri 5 || fail "a double click while shown did not hide the main window"

kill -TERM "$MEDIA_PID"
wait_for_exit "$MEDIA_PID" || fail "the program did not end"
echo "e2e tray: passed"
