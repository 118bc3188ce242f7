#!/usr/bin/env bash
# Track changes as a listener hears them, between pieces of one continuous tone: the real program plays a list of
# 1 s pieces cut from one 441 Hz tone (a whole number of periods each, so the pieces join without a step) on a
# private sound server's null sink, in a format and a play mode, while the sink's monitor is recorded; every joint
# is measured for silence and for the largest step between two samples (a click).
#   bench/gapless.sh <folder with media, liblorvex.so, media.manifest and Skin> [changes] [formats] [modes]
#   formats: wav flac ogg opus mp3 m4a (default all); modes: sequential loop repeat (default all)
if [ -z "${GAPLESS_INSIDE_BUS:-}" ]; then
  GAPLESS_INSIDE_BUS=1 exec dbus-run-session -- bash "$0" "$@"
fi
source "$(dirname "$0")/../tests/e2e/lib.sh"
bus=$DBUS_SESSION_BUS_ADDRESS
source "$(dirname "$0")/../tests/e2e/desktop.sh"
export DBUS_SESSION_BUS_ADDRESS=$bus
changes=${2:-20}
formats=${3:-wav flac ogg opus mp3 m4a}
modes=${4:-sequential loop repeat}
start_display
start_sound_server
make_program_folder
mpris() {
  dbus-send --session --print-reply --dest=org.mpris.MediaPlayer2.morvane /org/mpris/MediaPlayer2 "$@" >/dev/null
}
declare -A codec=([wav]="-c:a pcm_s16le" [flac]="-c:a flac" [ogg]="-c:a libvorbis -q:a 6" [opus]="-c:a libopus -b:a 128k"
  [mp3]="-c:a libmp3lame -b:a 192k" [m4a]="-c:a aac -b:a 192k")
pieces=4
ffmpeg -loglevel error -y -f lavfi -i "sine=frequency=441:sample_rate=44100:duration=$pieces" -ac 1 "$WORK/whole.wav"
for format in $formats; do
  for mode in $modes; do
    : >"$APP/default.lst"
    for i in $(seq 0 $((pieces - 1))); do
      ffmpeg -loglevel error -y -i "$WORK/whole.wav" -af "atrim=start_sample=$((i * 44100)):end_sample=$(((i + 1) * 44100)),asetpts=PTS-STARTPTS" \
        ${codec[$format]} "$WORK/piece$i.$format"
      printf '"Piece %d","","00:00","%s"\r\n' "$i" "$WORK/piece$i.$format" >>"$APP/default.lst"
    done
    parec --device=e2e_null.monitor --raw --format=s16le --rate=44100 --channels=1 >"$WORK/monitor.raw" 2>/dev/null &
    recorder=$!
    PIDS+=($recorder)
    start_media
    wait_until 10 mpris org.freedesktop.DBus.Properties.Get string:org.mpris.MediaPlayer2 string:Identity ||
      fail "the player does not answer on the session bus"
    case $mode in
      sequential) status=None ;;
      loop) status=Playlist ;;
      repeat) status=Track ;;
    esac
    mpris org.freedesktop.DBus.Properties.Set string:org.mpris.MediaPlayer2.Player string:LoopStatus "variant:string:$status"
    # Sequential mode ends after the last piece; the others go on for the changes asked.
    if [ "$mode" = sequential ]; then sleep $((pieces + 3)); wanted=$((pieces - 1)); else sleep $((changes + 3)); wanted=$changes; fi
    memory=$(awk '/^(Rss|Pss):/ { printf "%s %.1f MiB  ", $1, $2 / 1024 }' "/proc/$MEDIA_PID/smaps_rollup" 2>/dev/null || true)
    kill "$MEDIA_PID" "$recorder" 2>/dev/null || true
    wait "$MEDIA_PID" "$recorder" 2>/dev/null || true
    forget_pid "$MEDIA_PID"
    forget_pid "$recorder"
    echo "== $format, $mode"
    python3 "$(dirname "$0")/joints.py" "$WORK/monitor.raw" 44100 441 "$wanted"
    echo "memory while playing: $memory"
  done
done
