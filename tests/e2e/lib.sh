# Shared steps of the end-to-end tests: a private X server, a program folder of our own, and the user's hands.
set -euo pipefail

E2E_BIN=${1:?usage: $0 <folder with media, liblorvex.so, media.manifest and Skin>}
WORK=$(mktemp -d /tmp/media-e2e.XXXXXX)
export XDG_RUNTIME_DIR=$WORK/runtime XDG_DATA_HOME=$WORK/data HOME=$WORK/home
mkdir -p "$XDG_RUNTIME_DIR" "$XDG_DATA_HOME" "$HOME"
chmod 700 "$XDG_RUNTIME_DIR"
# The session the tests were started from stays out of reach (the MPRIS test brings its own bus).
unset QT_QPA_PLATFORM WAYLAND_DISPLAY SESSION_MANAGER
PIDS=()

cleanup() {
  # Last started first: the program goes before the display it draws on.
  local i
  for ((i = ${#PIDS[@]} - 1; i >= 0; i--)); do
    kill "${PIDS[i]}" 2>/dev/null || true
    wait "${PIDS[i]}" 2>/dev/null || true
  done
  if [ "${E2E_KEEP:-}" = "" ]; then rm -rf "$WORK"; else echo "kept $WORK"; fi
}
trap cleanup EXIT

fail() { echo "FAIL: $*" >&2; exit 1; }

# Runs COMMAND until it succeeds, every tenth of a second; fails after SECONDS. The tests wait for what they can see
# with this rather than for a fixed time; a plain sleep is left only where the time itself is the point.
wait_until() {
  local end=$((SECONDS + $1))
  shift
  until "$@"; do
    [ "$SECONDS" -lt "$end" ] || return 1
    sleep 0.1
  done
}

start_display() {
  # Xvfb picks a free display number itself and writes it once it listens: tests running side by side never
  # share a server. Without -noreset the server resets whenever its last client leaves, and a program started at
  # that moment cannot connect.
  Xvfb -displayfd 3 -screen 0 1024x768x24 -nolisten tcp -noreset 3>"$WORK/display" >"$WORK/xvfb.log" 2>&1 &
  PIDS+=($!)
  for _ in $(seq 100); do
    if [ -s "$WORK/display" ]; then
      export DISPLAY=:$(head -n1 "$WORK/display")
      xdpyinfo >/dev/null 2>&1 && return 0
    fi
    sleep 0.1
  done
  fail "no X server"
}

# A program folder: the program, its library, its manifest and the skin.
make_program_folder() {
  APP=$WORK/app
  mkdir -p "$APP"
  cp "$E2E_BIN/media" "$E2E_BIN/liblorvex.so" "$E2E_BIN/media.manifest" "$APP/"
  [ -d "$E2E_BIN/Skin" ] && cp -r "$E2E_BIN/Skin" "$APP/"
  true
}

# A sine tone of the given seconds as a WAV file.
make_tone() { ffmpeg -loglevel error -y -f lavfi -i "sine=frequency=$2:duration=$3" -ac 1 -ar 22050 "$1"; }

# Starts the program and waits until it shows its main window and, as every start does, its playlist window: sets
# MEDIA_PID, WIN (the main window), MAIN_X and MAIN_Y.
start_media() {
  "$APP/media" >"$WORK/media.log" 2>&1 &
  MEDIA_PID=$!
  PIDS+=($MEDIA_PID)
  WIN=$(wait_for_window Morvane-Tavri) || fail "the main window did not appear"
  wait_for_window '播放列表' >/dev/null || fail "the playlist window did not appear"
  eval "$(xdotool getwindowgeometry --shell "$WIN")"  # X, Y, WIDTH, HEIGHT
  MAIN_X=$X MAIN_Y=$Y
}

# Clicks at a point given in the main window's twips, as the user would.
click_twips() {
  local x=$((MAIN_X + $1 / 15)) y=$((MAIN_Y + $2 / 15))
  xdotool mousemove --sync "$x" "$y"
  sleep 0.2  # a hand rests before it clicks: a hover picture comes first, as for the user
  xdotool click 1
  sleep 0.3  # and between clicks: two clicks in a row must not make a double click
}

# A crop of the screen in main-window twips, for comparing what a region shows over time.
grab_twips() {
  import -window root -crop "$(($3 / 15))x$(($4 / 15))+$((MAIN_X + $1 / 15))+$((MAIN_Y + $2 / 15))" "$5"
}

exited() { ! kill -0 "$1" 2>/dev/null; }
wait_for_exit() { wait_until 10 exited "$1"; }

# Waits for a visible window whose name is exactly $1 and prints its id.
wait_for_window() {
  local name=$1 id=
  wait_until 10 eval 'id=$(visible_window "$name"); [ -n "$id" ]' || return 1
  echo "$id"
}

# Waits until no window whose name is exactly $1 is visible, for $2 seconds (10 unless given).
wait_for_no_window() {
  local name=$1
  wait_until "${2:-10}" eval '[ -z "$(visible_window "$name")" ]'
}

# The program's open popup menu (a window it shows over the others, unmanaged), as its id.
popup_menu() {
  local id
  for id in $(xdotool search --onlyvisible --class '^media$' 2>/dev/null || true); do
    xwininfo -id "$id" 2>/dev/null | grep -q 'Override Redirect State: yes' && { echo "$id"; return 0; }
  done
  return 1
}

# Opens the playlist menu as the user does: a right-click on the playlist grid; waits until the menu shows.
open_playlist_menu() {
  local list
  list=$(wait_for_window '播放列表') || fail "no playlist window"
  eval "$(xdotool getwindowgeometry --shell "$list")"
  xdotool mousemove --sync $((X + WIDTH / 2)) $((Y + HEIGHT * 2 / 3))
  sleep 0.2  # the hand rests before it clicks
  xdotool click 3
  wait_until 5 eval 'popup_menu >/dev/null' || fail "the playlist menu did not open"
}

# Types $2 into the name field of the dialog titled $1 and presses Return once (a folder's path opens that folder).
type_into_dialog() {
  wait_for_window "$1" >/dev/null || fail "no dialog \"$1\""
  sleep 0.5  # a shown dialog takes keys once its name field has the focus, which no window property tells
  xdotool type --delay 20 "$2"
  sleep 0.3  # the name field's completion list follows the typing
  xdotool key Return
  sleep 0.5  # a folder's path opens the folder; the caller looks at the dialog after that
}

# Answers the file dialog titled $1 with $2 and waits until it has gone. A completion list that opens while typing
# takes the first Return, so Return is pressed again while the dialog stays.
answer_file_dialog() {
  type_into_dialog "$1" "$2"
  for _ in 1 2 3; do
    wait_for_no_window "$1" 2 && return 0
    xdotool key Return
  done
  fail "the dialog \"$1\" did not take $2"
}

# The id of the visible window with exactly this name, or nothing.
visible_window() { xdotool search --onlyvisible --name "^$1\$" 2>/dev/null | head -n1 || true; }

# A window's place and size in pixels: sets WX, WY, WW, WH.
window_geometry() {
  local X Y WIDTH HEIGHT SCREEN WINDOW
  eval "$(xdotool getwindowgeometry --shell "$1")"
  WX=$X WY=$Y WW=$WIDTH WH=$HEIGHT
}

# Drags with the left button from one screen point to another, in steps as a hand would (5 unless given).
drag_pixels() {
  local i steps=${5:-5}
  # The pauses are a hand's pace: a press, steps a moment apart, a rest before the release.
  xdotool mousemove --sync "$1" "$2"
  sleep 0.2
  xdotool mousedown 1
  sleep 0.2
  for i in $(seq "$steps"); do
    xdotool mousemove --sync $(($1 + ($3 - $1) * i / steps)) $(($2 + ($4 - $2) * i / steps))
    sleep 0.05
  done
  sleep 0.2
  xdotool mouseup 1
  sleep 0.5  # the window's last move or resize follows the release
}

# The colour of one pixel of a picture file, as #RRGGBB.
pixel_of() { convert "$1" -crop "1x1+$2+$3" +repage -depth 8 txt:- | grep -o '#[0-9A-Fa-f]\{6\}' | head -n1; }

# The program started on a list of one short tone, with its playlist window shown: sets LIST to that window.
start_media_with_playlist() {
  start_display
  make_program_folder
  make_tone "$WORK/one.wav" 440 2
  printf '"One","","00:00","%s"\r\n' "$WORK/one.wav" >"$APP/default.lst"
  start_media
  LIST=$(wait_for_window '播放列表') || fail "no playlist window"
}
