#!/usr/bin/env bash
# Under a window manager with a panel and a notification area: one taskbar entry with the program's icon and class,
# tool windows closed by the window manager only hide (rows and playback untouched, one click brings them back),
# minimise and restore keep the playlist window with the main window, with a tray, without one, and when the tray
# goes away while the windows are hidden in it.
source "$(dirname "$0")/lib.sh"
source "$(dirname "$0")/desktop.sh"
start_display
start_desktop
make_program_folder
make_tone "$WORK/one.wav" 440 60
make_tone "$WORK/two.wav" 660 60
printf '"One","","00:00","%s"\r\n"Two","","00:00","%s"\r\n' "$WORK/one.wav" "$WORK/two.wav" >"$APP/default.lst"
start_media

visible() { [ -n "$(visible_window "$1")" ]; }
hidden() { ! visible "$1"; }
# The sound server's number for the program's stream: a restarted track gets a new one.
stream() { sink_input_block | awk '/^Sink Input #/ { sub(/^Sink Input #/, ""); print; exit }'; }

wait_until 10 sink_input_exists || fail "the first track does not play"
first_stream=$(stream)

# Identity: one button on the panel for all of the program's windows; class and icon on every window.
[ "$(taskbar_entries "$MEDIA_PID")" = 1 ] || fail "taskbar entries: $(taskbar_windows "$MEDIA_PID")"
for name in 'Morvane-Tavri' '播放列表'; do
  id=$(visible_window "$name")
  xprop -id "$id" WM_CLASS | grep -q '"media", "media"' || fail "$name: $(xprop -id "$id" WM_CLASS)"
  xprop -id "$id" _NET_WM_ICON >"$WORK/icon.txt"   # whole, or grep's early exit would fail the pipe
  grep -q 'Icon (32 x 32)' "$WORK/icon.txt" || fail "$name carries no program icon"
done
xprop -id "$(visible_window '播放列表')" WM_TRANSIENT_FOR | grep -q "$(printf '0x%x' "$WIN")" ||
  fail "the playlist window does not belong to the main window"

# The window manager's close of the playlist window is its close button.
wm_close '播放列表'
wait_until 5 hidden '播放列表' || fail "the window manager's close left the playlist window"
click_twips 3675 2175   # the list button, once
wait_until 5 visible '播放列表' || fail "one click on the list button did not show the playlist window again"
[ "$(stream)" = "$first_stream" ] || fail "closing and showing the playlist window restarted the track"
[ "$(taskbar_entries "$MEDIA_PID")" = 1 ] || fail "the shown-again playlist window has a taskbar entry"

# The same for the lyrics window.
click_twips 2325 200   # the lyrics button
wait_until 5 visible '歌词' || fail "no lyrics window"
wm_close '歌词'
wait_until 5 hidden '歌词' || fail "the window manager's close left the lyrics window"
click_twips 2325 200
wait_until 5 visible '歌词' || fail "one click on the lyrics button did not show the lyrics window again"
click_twips 2325 200
wait_until 5 hidden '歌词' || fail "the lyrics button did not hide the lyrics window"

# Minimised into the tray; when the tray goes away the windows come back.
click_twips 3327 202
wait_until 5 hidden 'Morvane-Tavri' || fail "minimise with a tray left the main window"
hidden '播放列表' || fail "minimise left the playlist window"
stop_panel
wait_until 5 visible 'Morvane-Tavri' || fail "the windows stayed hidden after the tray went away"
wait_until 5 visible '播放列表' || fail "the playlist window stayed hidden after the tray went away"

# Without a tray: minimised to the taskbar and restored from it, by the button and by the window manager.
click_twips 3327 202
wait_until 5 hidden 'Morvane-Tavri' || fail "minimise without a tray left the main window"
hidden '播放列表' || fail "minimise without a tray left the playlist window"
wm_activate 'Morvane-Tavri'
wait_until 5 visible 'Morvane-Tavri' || fail "the taskbar did not restore the main window"
wait_until 5 visible '播放列表' || fail "restoring the main window did not bring the playlist window back"
for round in 1 2; do
  wm_minimize "$WIN"
  wait_until 5 hidden '播放列表' || fail "the window manager's minimise left the playlist window (round $round)"
  xdotool windowactivate "$WIN"
  wait_until 5 visible 'Morvane-Tavri' || fail "windowactivate did not restore the main window (round $round)"
  wait_until 5 visible '播放列表' || fail "the playlist window did not come back (round $round)"
done
# The flag agrees with the screen: one click hides the playlist window.
click_twips 3675 2175
wait_until 5 hidden '播放列表' || fail "the list button needed more than one click after a restore"
[ "$(stream)" = "$first_stream" ] || fail "the track restarted while the windows came and went"
[ -n "${E2E_SHOTS:-}" ] && import -window root "$E2E_SHOTS/desktop-windows.png"

kill -TERM "$MEDIA_PID"
wait_for_exit "$MEDIA_PID" || fail "the program did not end"
[ "$(grep -c . "$APP/default.lst")" = 2 ] || fail "the list changed its rows: $(cat "$APP/default.lst")"
echo "e2e desktop-windows: passed"
