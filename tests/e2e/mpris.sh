#!/usr/bin/env bash
# On a private session bus the player answers as a desktop media player: it names its desktop entry, moves within a
# track when asked (and says so with Seeked), refuses places outside the track, and next, previous and play/pause
# act on it. A volume and a play mode set from outside show where the user sees them (the volume thumb, the sound
# server's stream, the playlist menu's check mark) and are announced to listeners; values that name nothing are
# ignored.
if [ -z "${MPRIS_INSIDE_BUS:-}" ]; then
  MPRIS_INSIDE_BUS=1 exec dbus-run-session -- bash "$0" "$@"
fi
source "$(dirname "$0")/lib.sh"
# The desktop helpers' sound server, on this script's own bus (sourcing them forgets the bus).
bus=$DBUS_SESSION_BUS_ADDRESS
source "$(dirname "$0")/desktop.sh"
export DBUS_SESSION_BUS_ADDRESS=$bus
start_display
start_sound_server
make_program_folder
make_tone "$WORK/one.wav" 440 30
make_tone "$WORK/two.wav" 660 30
printf '"One","","00:00","%s"\r\n"Two","","00:00","%s"\r\n' "$WORK/one.wav" "$WORK/two.wav" >"$APP/default.lst"

mpris() {
  dbus-send --session --print-reply --dest=org.mpris.MediaPlayer2.morvane /org/mpris/MediaPlayer2 "$@"
}
property() {  # property <name> [interface]
  mpris org.freedesktop.DBus.Properties.Get "string:${2:-org.mpris.MediaPlayer2.Player}" "string:$1"
}
set_property() {  # set_property <name> <type:value>
  mpris org.freedesktop.DBus.Properties.Set string:org.mpris.MediaPlayer2.Player "string:$1" "variant:$2" >/dev/null
}
wait_for() {  # wait_for <property> <text expected in the reply> [interface]
  local reply
  for _ in $(seq 50); do
    reply=$(property "$1" "${3:-}" 2>/dev/null || true)
    [[ $reply == *"$2"* ]] && return 0
    sleep 0.2
  done
  fail "$1 never showed $2: $(property "$1" "${3:-}" 2>&1)"
}
position() { property Position | awk '/int64/ { print $NF }'; }
# A value of the current track's metadata: the line after its key holds it, last.
metadata() { property Metadata | awk -v key="\"$1\"" '$1 == "string" && $2 == key { getline; gsub(/"/, ""); print $NF }'; }

# What the player tells listeners: Seeked, and the properties it announces as changed.
dbus-monitor --session "type='signal',interface='org.mpris.MediaPlayer2.Player',member='Seeked'" \
  "type='signal',interface='org.freedesktop.DBus.Properties',member='PropertiesChanged'" >"$WORK/signals.log" 2>&1 &
PIDS+=($!)
seeked() { awk '/member=Seeked/ { getline; print $2 }' "$WORK/signals.log"; }  # positions, one a line
announced() { awk -v key="\"$1\"" '$1 == "string" && $2 == key { getline; print $NF }' "$WORK/signals.log"; }
wait_for_announced() {  # wait_for_announced <property> <value as the monitor prints it>
  for _ in $(seq 50); do announced "$1" | grep -qxF -- "$2" && return 0; sleep 0.1; done
  fail "$1 was never announced as $2: $(announced "$1" | tr '\n' ' ')"
}
wait_for_seeked() {  # wait_for_seeked <how many in all> <first microsecond> <last microsecond>
  local at
  for _ in $(seq 50); do [ "$(seeked | wc -l)" -ge "$1" ] && break; sleep 0.1; done
  [ "$(seeked | wc -l)" = "$1" ] || fail "Seeked arrived $(seeked | wc -l) times, not $1"
  at=$(seeked | tail -n1)
  [ "$at" -ge "$2" ] && [ "$at" -le "$3" ] || fail "Seeked at $at, not within $2 .. $3"
}

start_media
wait_for PlaybackStatus '"Playing"'
wait_for Metadata "one.wav"
wait_for Metadata "mpris:length"
wait_for DesktopEntry 'string "media"' org.mpris.MediaPlayer2
# The name the desktop shows for the player, as its menu entry, window caption and about box do.
wait_for Identity 'string "Morvane-Tavri"' org.mpris.MediaPlayer2
track=$(metadata mpris:trackid)
length=$(metadata mpris:length)
[[ $track == /* ]] || fail "no track id in the metadata: $(property Metadata)"
[ "$length" -ge 29000000 ] && [ "$length" -le 31000000 ] || fail "length of a 30 s track: $length"

# A place in the track: the track moves there, and listeners are told where it is.
# The position the signal tells is read once the player has moved: the place asked for, or a moment after it.
mpris org.mpris.MediaPlayer2.Player.SetPosition "objpath:$track" int64:20000000 >/dev/null
wait_for_seeked 1 20000000 20500000
[ "$(position)" -ge 20000000 ] || fail "SetPosition to 20 s left the position at $(position)"
mpris org.mpris.MediaPlayer2.Player.Seek int64:-5000000 >/dev/null
wait_for_seeked 2 15000000 17000000

# Past the end, before the start, in another track: nothing changes and nobody is told of a jump.
before=$(position)
mpris org.mpris.MediaPlayer2.Player.SetPosition "objpath:$track" "int64:$((length + 1000000))" >/dev/null
mpris org.mpris.MediaPlayer2.Player.SetPosition "objpath:$track" int64:-1000000 >/dev/null
mpris org.mpris.MediaPlayer2.Player.SetPosition objpath:/org/morvane/track/elsewhere int64:1000000 >/dev/null
sleep 1  # a while in which the track must not jump and no Seeked may come: the waiting is what is tested
after=$(position)
[ "$after" -ge "$before" ] && [ "$after" -le $((before + 3000000)) ] ||
  fail "refused places moved the track from $before to $after"
wait_for PlaybackStatus '"Playing"'
wait_for Metadata "one.wav"
[ "$(seeked | wc -l)" = 2 ] || fail "Seeked for a refused place: $(seeked | tr '\n' ' ')"

# Far before the start is the start; far past the end (beyond any sum) is the next track.
mpris org.mpris.MediaPlayer2.Player.Seek int64:-100000000000 >/dev/null
wait_for_seeked 3 0 500000
mpris org.mpris.MediaPlayer2.Player.Seek int64:9223372036854775807 >/dev/null
wait_for Metadata "two.wav"
[ "$(seeked | wc -l)" = 3 ] || fail "Seeked past the end: $(seeked | tr '\n' ' ')"

# A level set from outside: the volume thumb stands where a drag to that level leaves it (ImgVolume's left at
# 2400 + 8 twips a step, the whole last stretch for 100), and the stream plays at it.
thumb_x() {  # the thumb's left in the main window's pixels, found by its picture in the volume strip
  local found
  grab_twips 2400 2040 1080 240 "$WORK/volume.png"
  mogrify +repage "$WORK/volume.png"  # the crop keeps its place on the screen, where no thumb is searched
  found=$(compare -metric AE -subimage-search "$WORK/volume.png" "$APP/Skin/DA10/volume_n.bmp" null: 2>&1 || true)
  [[ $found =~ ^0\ @\ ([0-9]+), ]] || fail "no volume thumb in the strip: $found"
  echo $((2400 / 15 + BASH_REMATCH[1]))
}
volume_is() {  # volume_is <level as the bus prints it> <thumb's left>; a write is done when its reply comes
  local level
  level=$(property Volume | awk '/double/ { print $NF }')
  [ "$level" = "$1" ] || fail "the volume reads $level, not $1"
  [ "$(thumb_x)" = "$2" ] || fail "at volume $1 the thumb stands at $(thumb_x), not $2"
}
volume_is 1 217
set_property Volume double:0.3
volume_is 0.3 176
wait_until 5 eval '[ "$(sink_input_volume_percent)" = 30 ]' || fail "the stream plays at $(sink_input_volume_percent) %"
wait_for_announced Volume 0.3
set_property Volume double:nan
volume_is 0.3 176
set_property Volume double:-2
volume_is 0 160
set_property Volume double:7
volume_is 1 217

# Loop status and shuffle choose the play mode the playlist menu checks. Only the checked item carries a mark, and
# nothing else in the menu's left strip is dark: the mark's row tells the item.
checked_row() {  # the middle row of the check mark in the playlist menu, in the menu's pixels
  local menu
  open_playlist_menu
  menu=$(popup_menu) || fail "no playlist menu"
  import -window "$menu" "$WORK/menu.png"
  xdotool key Escape
  xdotool mousemove --sync 0 0  # the next opening moves the pointer back, which --sync waits for
  wait_until 5 eval '! popup_menu >/dev/null' || fail "the playlist menu stayed open"
  convert "$WORK/menu.png" -crop 24x2000+0+0 +repage -colorspace gray -depth 8 txt:- >"$WORK/menu.txt"
  awk -F'[,: ()]+' 'NR > 1 && $3 < 128 { dark[$2] = 1 }
    END { for (y in dark) { n++; sum += y; if (!((y - 1) in dark)) runs++ } if (runs == 1) print int(sum / n) }' \
    "$WORK/menu.txt"
}
wait_for LoopStatus '"Playlist"'
wait_for Shuffle 'boolean false'
loop=$(checked_row)
set_property LoopStatus string:Track
wait_for LoopStatus '"Track"'
wait_for_announced LoopStatus '"Track"'
repeat_one=$(checked_row)
set_property LoopStatus string:None
wait_for LoopStatus '"None"'
sequential=$(checked_row)
set_property Shuffle boolean:true
wait_for Shuffle 'boolean true'
wait_for LoopStatus '"None"'
wait_for_announced Shuffle true
random=$(checked_row)
step=$((sequential - repeat_one))
[ -n "$loop" ] && [ "$step" -gt 0 ] && [ $((loop - sequential)) = "$step" ] && [ $((random - loop)) = "$step" ] ||
  fail "the checked rows are not repeat-one, sequential, loop, random in order: $repeat_one $sequential $loop $random"
# No loop is what random play has already: it stays. Shuffle off is sequential play.
set_property LoopStatus string:None
wait_for Shuffle 'boolean true'
set_property Shuffle boolean:false
wait_for Shuffle 'boolean false'
wait_for LoopStatus '"None"'
[ "$(checked_row)" = "$sequential" ] || fail "shuffle off did not check sequential play"
set_property LoopStatus string:Playlist
wait_for LoopStatus '"Playlist"'
[ "$(checked_row)" = "$loop" ] || fail "a playlist loop did not check loop play"
set_property LoopStatus string:Sometimes
wait_for LoopStatus '"Playlist"'
[ "$(checked_row)" = "$loop" ] || fail "an unknown loop status changed the play mode"

mpris org.mpris.MediaPlayer2.Player.Previous >/dev/null
wait_for Metadata "one.wav"
mpris org.mpris.MediaPlayer2.Player.Next >/dev/null
wait_for Metadata "two.wav"
mpris org.mpris.MediaPlayer2.Player.PlayPause >/dev/null
wait_for PlaybackStatus '"Paused"'
# Paused, a place in the track is taken as well.
track=$(metadata mpris:trackid)
mpris org.mpris.MediaPlayer2.Player.SetPosition "objpath:$track" int64:10000000 >/dev/null
wait_for_seeked 4 10000000 10500000
# The user's own seek, a click halfway along the seek bar, is told as well.
click_twips 1950 1750
wait_for_seeked 5 13000000 17000000
mpris org.mpris.MediaPlayer2.Player.PlayPause >/dev/null
wait_for PlaybackStatus '"Playing"'
mpris org.mpris.MediaPlayer2.Player.Stop >/dev/null
wait_for PlaybackStatus '"Stopped"'
# Stopped, there is no track to move in.
mpris org.mpris.MediaPlayer2.Player.Seek int64:1000000 >/dev/null
sleep 0.5  # a while in which no Seeked may come
[ "$(seeked | wc -l)" = 5 ] || fail "Seeked while stopped: $(seeked | tr '\n' ' ')"
mpris org.mpris.MediaPlayer2.Quit >/dev/null
wait_for_exit "$MEDIA_PID" || fail "Quit did not end the program"
echo "e2e mpris: passed"
