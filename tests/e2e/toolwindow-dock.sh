#!/usr/bin/env bash
# The playlist window is moved by its title bar: released within 500 twips of the line under the main window it
# docks there, each axis on its own; released farther it stays where it was dropped. Docked, it follows the main window.
source "$(dirname "$0")/lib.sh"
start_media_with_playlist
MAIN_W=$WIDTH MAIN_H=$HEIGHT
DOCK_X=$MAIN_X DOCK_Y=$((MAIN_Y + MAIN_H))

expect_at() {
  window_geometry "$LIST"
  [ "$WX,$WY" = "$1,$2" ] || fail "$3: the playlist window is at $WX,$WY, expected $1,$2"
}
# Drags the playlist window by its title bar, the pointer moving by dx, dy pixels.
drag_title_bar() {
  window_geometry "$LIST"
  drag_pixels $((WX + 60)) $((WY + 12)) $((WX + 60 + $1)) $((WY + 12 + $2))
}

expect_at "$DOCK_X" "$DOCK_Y" "at start"
[ -n "${E2E_SHOTS:-}" ] && import -window root "$E2E_SHOTS/toolwindow-docked.png"

# 60 and 50 pixels (900 and 750 twips) away: dropped there.
drag_title_bar 60 50
expect_at $((DOCK_X + 60)) $((DOCK_Y + 50)) "dropped far away"
[ -n "${E2E_SHOTS:-}" ] && import -window root "$E2E_SHOTS/toolwindow-dropped.png"

# Back to 20 and 25 pixels (300 and 375 twips) from the dock: both axes snap.
drag_title_bar -40 -25
expect_at "$DOCK_X" "$DOCK_Y" "dropped near the dock"

# 33 pixels (495 twips) right snaps back; 34 pixels (510 twips) down does not.
drag_title_bar 33 34
expect_at "$DOCK_X" $((DOCK_Y + 34)) "495 twips across, 510 twips down"
drag_title_bar 34 -33
expect_at $((DOCK_X + 34)) "$DOCK_Y" "510 twips across, 495 twips up"
drag_title_bar -34 0
expect_at "$DOCK_X" "$DOCK_Y" "back on the dock"

# Docked, the playlist window goes where the main window goes.
drag_pixels $((MAIN_X + 40)) $((MAIN_Y + 100)) $((MAIN_X + 140)) $((MAIN_Y + 80))
MAIN=$(visible_window 'Morvane-Tavri')
window_geometry "$MAIN"
[ "$WX,$WY" = "$((MAIN_X + 100)),$((MAIN_Y - 20))" ] || fail "the main window did not move: $WX,$WY"
expect_at $((MAIN_X + 100)) $((MAIN_Y - 20 + MAIN_H)) "after moving the main window"
[ -n "${E2E_SHOTS:-}" ] && import -window root "$E2E_SHOTS/toolwindow-followed.png"

MAIN_X=$((MAIN_X + 100)) MAIN_Y=$((MAIN_Y - 20))
click_twips 3857 202  # close
wait_for_exit "$MEDIA_PID" || fail "the program did not end"
echo "e2e toolwindow-dock: passed"
