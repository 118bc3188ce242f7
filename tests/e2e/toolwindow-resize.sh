#!/usr/bin/env bash
# The playlist window is resized by its bottom-right corner and the grid follows; below the minimum size a side stays
# as it is. Its close button hides it, and the main window's list button shows it again with one click.
source "$(dirname "$0")/lib.sh"
start_media_with_playlist
window_geometry "$LIST"
LX=$WX LY=$WY LW=$WW LH=$WH

# The corner handle, at its outer part that the grid does not cover; the window's corner goes to the pointer.
drag_pixels $((LX + LW - 3)) $((LY + LH - 3)) $((LX + LW + 80)) $((LY + LH + 60))
window_geometry "$LIST"
[ "$WX,$WY" = "$LX,$LY" ] || fail "resizing moved the window to $WX,$WY"
[ "${WW}x$WH" = "$((LW + 80))x$((LH + 60))" ] || fail "the corner gave ${WW}x$WH, expected $((LW + 80))x$((LH + 60))"
LW=$WW LH=$WH

# The grid (black inside) follows: it ends 100 twips (7 pixels) inside the new frame, whose right and bottom edges
# are drawn anew there.
import -window root "$WORK/resized.png"
[ -n "${E2E_SHOTS:-}" ] && cp "$WORK/resized.png" "$E2E_SHOTS/toolwindow-resized.png"
mid_y=$((LY + LH / 2)) mid_x=$((LX + LW / 2))
[ "$(pixel_of "$WORK/resized.png" $((LX + LW - 12)) $mid_y)" = "#000000" ] || fail "the grid did not widen"
[ "$(pixel_of "$WORK/resized.png" $((LX + LW - 3)) $mid_y)" != "#000000" ] || fail "no right edge on the frame"
[ "$(pixel_of "$WORK/resized.png" $mid_x $((LY + LH - 12)))" = "#000000" ] || fail "the grid did not grow down"
[ "$(pixel_of "$WORK/resized.png" $mid_x $((LY + LH - 3)))" != "#000000" ] || fail "no bottom edge on the frame"

# Dragged at once to 100 pixels (1500 twips) high, the playlist window's minimum: the height stays, the width follows.
drag_pixels $((LX + LW - 3)) $((LY + LH - 3)) $((LX + 200)) $((LY + 100)) 1
window_geometry "$LIST"
[ "${WW}x$WH" = "200x$LH" ] || fail "at the minimum height the corner gave ${WW}x$WH, expected 200x$LH"
LW=$WW

# The close button hides the window; the main window's list button brings it back at once, where it was.
xdotool mousemove --sync $((LX + LW - 14)) $((LY + 12))
sleep 0.3  # the hand rests on the button: its hover picture shows, as for the user
[ -n "${E2E_SHOTS:-}" ] && import -window root "$E2E_SHOTS/toolwindow-close-hover.png"
xdotool click 1
wait_for_no_window '播放列表' 5 || fail "the close button did not hide the playlist window"
click_twips 3675 2175
[ -n "$(visible_window '播放列表')" ] || fail "one click on the list button did not show the playlist window again"
window_geometry "$LIST"
[ "$WX,$WY,${WW}x$WH" = "$LX,$LY,${LW}x$LH" ] || fail "the playlist window came back changed: $WX,$WY,${WW}x$WH"
# And the list button still toggles: a second click hides it.
click_twips 3675 2175
[ -z "$(visible_window '播放列表')" ] || fail "the list button did not hide the playlist window"

click_twips 3857 202  # close
wait_for_exit "$MEDIA_PID" || fail "the program did not end"
echo "e2e toolwindow-resize: passed"
