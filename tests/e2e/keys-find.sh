#!/usr/bin/env bash
# The keyboard under a window manager: the player's keys on the main window (play, pause, stop, next, the volume
# with its thumb), the find box (J, typing pinyin initials, the arrows, Enter plays, Escape closes), the grid's own
# keys (Enter plays the selected row, Delete removes it, Ctrl+S saves the list), and a drag after the right-click
# menu, which moves no rows the user did not pick. What plays is read on the desktop's media-player bus; the list
# from the file Ctrl+S writes. With E2E_SHOTS set, the find box's picture is kept there.
source "$(dirname "$0")/lib.sh"
source "$(dirname "$0")/desktop.sh"
start_display
start_desktop
make_program_folder
songs=(晴天 Hello 七里香 Yesterday 稻香)
for i in "${!songs[@]}"; do make_tone "$WORK/${songs[i]}.wav" $((440 + 60 * i)) 60; done
for s in "${songs[@]}"; do printf '"%s","","00:00","%s"\r\n' "$s" "$WORK/$s.wav"; done >"$APP/default.lst"
mkdir -p "$WORK/lists"

mpris() { dbus-send --session --print-reply --dest=org.mpris.MediaPlayer2.morvane /org/mpris/MediaPlayer2 "$@"; }
property() { mpris org.freedesktop.DBus.Properties.Get string:org.mpris.MediaPlayer2.Player "string:$1"; }
title() { property Metadata | awk '$1 == "string" && $2 == "\"xesam:title\"" { getline; gsub(/"/, ""); print $NF }'; }
status_is() { [[ $(property PlaybackStatus 2>/dev/null) == *"\"$1\""* ]]; }
volume() { property Volume | awk '/double/ { print $NF }'; }
wait_status() { wait_until 5 status_is "$1" || fail "after $2 the player is $(property PlaybackStatus | tail -n1), not $1"; }
title_is() { [ "$(title)" = "$1" ]; }
wait_title() { wait_until 5 title_is "$1" || fail "after $2 the player names \"$(title)\", not \"$1\""; }
# The find box, or the right-click menu: an unmanaged window of the program wider than the tray's icon, as its id.
over_window() {
  local id
  for id in $(xdotool search --onlyvisible --class '^media$' 2>/dev/null || true); do
    xwininfo -id "$id" 2>/dev/null | awk '/Override Redirect State: yes/ { o = 1 } /Width:/ { w = $2 } END { exit !(o && w > 60) }' &&
      { echo "$id"; return 0; }
  done
  return 1
}
no_over_window() { ! over_window >/dev/null; }
# The keys go where the user's focus is: the window is activated first, as a click on it would.
keys_to() { xdotool windowactivate --sync "$1" 2>/dev/null || wm_activate "$2"; sleep 0.2; shift 2; xdotool key --delay 60 "$@"; }

start_media
wait_status Playing "the start"
wait_title 晴天 "the start"

# The main window's keys: pause and resume, stop, play, next, and the volume, whose thumb follows.
keys_to "$WIN" Morvane-Tavri c
wait_status Paused "C"
keys_to "$WIN" Morvane-Tavri space
wait_status Playing "space"
keys_to "$WIN" Morvane-Tavri b
wait_title Hello "B"
keys_to "$WIN" Morvane-Tavri z
wait_title 晴天 "Z"
keys_to "$WIN" Morvane-Tavri v
wait_status Stopped "V"
keys_to "$WIN" Morvane-Tavri x
wait_status Playing "X"
keys_to "$WIN" Morvane-Tavri Down Down
wait_until 5 eval '[ "$(volume)" = 0.9 ]' || fail "two presses of Down leave the volume at $(volume)"
grab_twips 2400 2040 1080 240 "$WORK/volume.png"
mogrify +repage "$WORK/volume.png"
thumb=$(compare -metric AE -subimage-search "$WORK/volume.png" "$APP/Skin/DA10/volume_n.bmp" null: 2>&1 || true)
[[ $thumb =~ ^0\ @\ ([0-9]+), ]] || fail "no volume thumb in the strip: $thumb"
[ $((2400 / 15 + BASH_REMATCH[1])) = 208 ] || fail "at volume 0.9 the thumb stands at $((2400 / 15 + BASH_REMATCH[1]))"
keys_to "$WIN" Morvane-Tavri Up
wait_until 5 eval '[ "$(volume)" = 0.95 ]' || fail "Up leaves the volume at $(volume)"

# The find box: J opens it over the playlist, pinyin initials find 七里香, Enter plays it and closes the box.
LIST=$(wait_for_window '播放列表') || fail "no playlist window"
keys_to "$WIN" Morvane-Tavri j
box=
wait_until 5 eval 'box=$(over_window)' || fail "J opened no find box"
sleep 0.3
xdotool type --delay 60 "qlx"
sleep 0.3
if [ -n "${E2E_SHOTS:-}" ]; then
  mkdir -p "$E2E_SHOTS"
  import -window root "$E2E_SHOTS/find-box-screen.png"
  import -window "$box" "$E2E_SHOTS/find-box.png"
fi
xdotool key Return
wait_until 5 no_over_window || fail "Enter left the find box open"
wait_title 七里香 "the find box's Enter"
# Escape closes it without playing; "h" finds Hello and 晴天's neighbours, the arrow moves to the second result.
keys_to "$LIST" 播放列表 j
wait_until 5 over_window >/dev/null || fail "J on the playlist window opened no find box"
sleep 0.3
xdotool key Escape
wait_until 5 no_over_window || fail "Escape left the find box open"
wait_title 七里香 "Escape"
keys_to "$LIST" 播放列表 ctrl+f
wait_until 5 over_window >/dev/null || fail "Ctrl+F opened no find box"
sleep 0.3
xdotool type --delay 60 "ye"
xdotool key Return
wait_title Yesterday "the find box's second search"

# A drag after the right-click menu: the menu is opened on the first row and left with Escape; a drag that then
# starts on the third row (which the user never picked) selects rows, it does not move any.
window_geometry "$LIST"
row_y() { echo $((WY + 59 + 16 * ($1 - 1))); }
ROW_X=$((WX + 60))
xdotool mousemove --sync "$ROW_X" "$(row_y 1)"
sleep 0.2
xdotool click 3
wait_until 5 over_window >/dev/null || fail "no menu on the row"
xdotool key Escape
wait_until 5 no_over_window || fail "the menu stayed open"
drag_pixels "$ROW_X" "$(row_y 3)" "$ROW_X" "$(row_y 4)"

# The grid's keys: a click picks the fifth row, Delete removes it, Enter on the second plays it, Ctrl+S saves.
xdotool mousemove --sync "$ROW_X" "$(row_y 5)" click 1
sleep 0.3
xdotool key Delete
sleep 0.3
xdotool mousemove --sync "$ROW_X" "$(row_y 2)" click 1
sleep 0.3
xdotool key Return
wait_title Hello "Enter on the second row"
xdotool key ctrl+s
answer_file_dialog '保存播放列表' "$WORK/lists/keys"
saved=$(iconv -f GBK -t UTF-8 "$WORK/lists/keys.lst" 2>/dev/null | tr -d '\r' | awk -F'","' '{ sub(/^"/, "", $1); print $1 }' | paste -sd' ')
[ "$saved" = "晴天 Hello 七里香 Yesterday" ] || fail "after the drag and Delete the list holds: $saved"

click_twips 3857 202
wait_for_exit "$MEDIA_PID" || fail "the program did not end"
echo "e2e keys-find: passed"
