#!/usr/bin/env bash
# With only the GStreamer plugins the package depends on (GStreamer's core, base, good and ALSA sets) and the
# player's own, every kind of file the player lists plays to its end; without the player's own plugin the formats it
# serves do not play at all, so it is really that plugin that plays them here.
source "$(dirname "$0")/lib.sh"
plugins=$WORK/plugins
mkdir -p "$plugins"
for file in $(dpkg -L libgstreamer1.0-0 gstreamer1.0-plugins-base gstreamer1.0-plugins-good gstreamer1.0-alsa |
              grep '/gstreamer-1.0/libgst[^/]*\.so$'); do
  ln -s "$file" "$plugins/"
done
# A registry of its own, so that the user's cache is neither read nor rewritten.
export GST_PLUGIN_SYSTEM_PATH_1_0=$plugins GST_REGISTRY_1_0=$WORK/registry.bin

media=$WORK/media
mkdir -p "$media"
encode() { ffmpeg -loglevel error -y -f lavfi -i "sine=frequency=440:sample_rate=44100:duration=1" "$@" </dev/null; }
encode -c:a wmav2 "$media/tone.wma"
encode -c:a aac "$media/tone.m4a"
encode -c:a alac "$media/alac.m4a"
encode -c:a pcm_s16be "$media/tone.aiff"
encode -c:a mp2 -f vob "$media/tone.mpg"
encode -c:a libmp3lame "$media/tone.mp3"
encode -c:a flac "$media/tone.flac"
encode -c:a libvorbis "$media/tone.ogg"
encode -c:a libopus "$media/tone.opus"
encode -c:a wavpack "$media/tone.wv"
# One note, a second long: a Standard MIDI File of one track.
printf 'MThd\0\0\0\6\0\0\0\1\1\xe0MTrk\0\0\0\x12\0\x90\x3c\x64\x83\x60\x80\x3c\0\x83\x60\x80\x3c\0\0\xff\x2f\0' \
  >"$media/note.mid"

# Plays FILE with playbin into a sink that does not wait for the clock; succeeds when it reaches its end.
plays() {
  timeout 60 gst-launch-1.0 -q playbin uri="file://$1" audio-sink=fakesink video-sink=fakesink >"$WORK/play.log" 2>&1
}
export GST_PLUGIN_PATH_1_0=
for file in tone.wma tone.m4a alac.m4a note.mid; do
  ! plays "$media/$file" || fail "$file plays without the player's own plugin: the bare system is not bare"
done
export GST_PLUGIN_PATH_1_0=$E2E_BIN/gstreamer-1.0
for file in "$media"/*; do
  plays "$file" || fail "$(basename "$file") does not play: $(cat "$WORK/play.log")"
done
echo "e2e package-formats: passed"
