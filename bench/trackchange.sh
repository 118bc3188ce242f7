#!/usr/bin/env bash
# The silence between two tracks, as a listener hears it: the real program plays a list of short tones in loop mode
# on a private sound server's null sink while the sink's monitor is recorded; every run of silence between the end of
# one tone and the start of the next is one track change.
#   bench/trackchange.sh <folder with media, liblorvex.so, media.manifest and Skin> [changes]
source "$(dirname "$0")/../tests/e2e/lib.sh"
source "$(dirname "$0")/../tests/e2e/desktop.sh"
changes=${2:-20}
start_display
start_sound_server
make_program_folder

# Tones of 1.5 s without any silence of their own, each a different pitch.
: >"$APP/default.lst"
for i in $(seq 0 "$changes"); do
  ffmpeg -loglevel error -y -f lavfi -i "sine=frequency=$((330 + 20 * i)):duration=1.5" -b:a 128k "$WORK/tone$i.mp3"
  printf '"Tone %d","","00:00","%s"\r\n' "$i" "$WORK/tone$i.mp3" >>"$APP/default.lst"
done

parec --device=e2e_null.monitor --raw --format=s16le --rate=8000 --channels=1 \
  >"$WORK/monitor.raw" 2>"$WORK/parec.log" &
PIDS+=($!)
sleep 0.5
start_media  # loads the list and starts its first row; loop mode goes on from row to row
# Every change has happened once the (changes + 1)th tone has ended; a change takes well under 3 s. Tracks that
# follow without a gap leave no silence to count: then fewer changes than asked are heard, each of them a fault.
sleep $((changes * 3 / 2 + 6))
python3 "$(dirname "$0")/silences.py" "$WORK/monitor.raw" 8000 --summary "$changes"
echo "(joints without any silence are not counted above; bench/gapless.sh measures them)"
