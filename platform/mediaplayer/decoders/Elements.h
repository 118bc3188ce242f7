#pragma once

#include <gst/gst.h>

namespace mediaplayer::decoders {

// The plugin's elements, each registered by its own file. Their ranks put them above GStreamer's own elements for
// the same media, so the player plays alike whichever of those a system has.
inline constexpr guint kOurRank = GST_RANK_PRIMARY + 1;

bool RegisterLibavFileDecoder(GstPlugin* plugin);   // ASF (WMA), Monkey's Audio, AIFF, MPEG program streams
bool RegisterLibavAudioDecoder(GstPlugin* plugin);  // AAC (raw and ADTS), ALAC, WMA from another demuxer
bool RegisterMidiSynthesiser(GstPlugin* plugin);    // Standard MIDI files, through fluidsynth

}  // namespace mediaplayer::decoders
