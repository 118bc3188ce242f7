#!/usr/bin/env bash
# A soak of track changes: the real program, on a private X server, sound server and session bus, goes through many
# track changes (the desktop's Next and Previous, sweeping a list of tones forwards and back, each change starting a
# new media), and its resident memory, open descriptors and threads are reported before and after, with the growth
# per change. The first changes warm up what is made once (GStreamer's plugins, the output stage) and are not counted.
#   bench/soak.sh <folder with media, liblorvex.so, media.manifest and Skin> [changes] [rows]
if [ -z "${SOAK_INSIDE_BUS:-}" ]; then
  SOAK_INSIDE_BUS=1 exec dbus-run-session -- bash "$0" "$@"
fi
source "$(dirname "$0")/../tests/e2e/lib.sh"
bus=$DBUS_SESSION_BUS_ADDRESS
source "$(dirname "$0")/../tests/e2e/desktop.sh"
export DBUS_SESSION_BUS_ADDRESS=$bus
changes=${2:-5000}
rows=${3:-40}
warmup=200
start_display
start_sound_server
make_program_folder

# Tones long enough never to end during the sweep, so every change is one the soak asked for.
: >"$APP/default.lst"
for i in $(seq 0 $((rows - 1))); do
  make_tone "$WORK/tone$i.wav" $((300 + 10 * i)) 60
  printf '"Tone %d","","00:00","%s"\r\n' "$i" "$WORK/tone$i.wav" >>"$APP/default.lst"
done

mpris() {
  dbus-send --session --print-reply --dest=org.mpris.MediaPlayer2.morvane /org/mpris/MediaPlayer2 \
    "org.mpris.MediaPlayer2.Player.$1" >/dev/null
}
playing() {
  dbus-send --session --print-reply --dest=org.mpris.MediaPlayer2.morvane /org/mpris/MediaPlayer2 \
    org.freedesktop.DBus.Properties.Get string:org.mpris.MediaPlayer2.Player string:PlaybackStatus 2>/dev/null |
    grep -q '"Playing"'
}
# Resident memory (KiB), open descriptors and threads of the program.
figures() {
  echo "$(awk '/VmRSS/ {print $2}' /proc/"$MEDIA_PID"/status) $(ls /proc/"$MEDIA_PID"/fd | wc -l)" \
    "$(awk '/Threads/ {print $2}' /proc/"$MEDIA_PID"/status)"
}
row=0
step=1
change_tracks() {  # change_tracks <how many>
  local n
  for ((n = 0; n < $1; n++)); do
    if [ $((row + step)) -ge "$rows" ] || [ $((row + step)) -lt 0 ]; then step=$((-step)); fi
    if [ $step = 1 ]; then mpris Next; else mpris Previous; fi
    row=$((row + step))
    # Each new media is let start (a poll or two) before the next change, as a listener skipping tracks does.
    sleep 0.15
    kill -0 "$MEDIA_PID" 2>/dev/null || fail "media ended after $n changes: $(tail -n5 "$WORK/media.log")"
  done
}

start_media
wait_until 20 playing || fail "the list did not start playing"
change_tracks $warmup
wait_until 10 playing || fail "not playing after the warm-up"
sleep 2
read -r rss0 fds0 threads0 <<<"$(figures)"
started=$SECONDS
change_tracks "$changes"
wait_until 10 playing || fail "not playing after $changes changes"
sleep 2
read -r rss1 fds1 threads1 <<<"$(figures)"
echo "track changes: $changes in $((SECONDS - started)) s (after $warmup to warm up), over $rows rows"
echo "resident memory: $rss0 KiB before, $rss1 KiB after:" \
  "$(awk -v a="$rss0" -v b="$rss1" -v n="$changes" 'BEGIN {printf "%+d KiB, %+.3f KiB a change", b - a, (b - a) / n}')"
echo "open descriptors: $fds0 before, $fds1 after"
echo "threads: $threads0 before, $threads1 after"
