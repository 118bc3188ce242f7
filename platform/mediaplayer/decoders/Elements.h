#pragma once

#include <gst/gst.h>

namespace mediaplayer::decoders {

// The plugin's elements, each registered by its own file. Their ranks put them above GStreamer's own elements for
// the same media, so the player plays alike whichever of those a system has.
inline constexpr guint kOurRank = GST_RANK_PRIMARY + 1;

// Gives a decoder's class its always sink and source pads, for caps written as text, and its description.
inline void DescribeDecoder(GstElementClass* elementClass, const char* sinkCaps, const char* sourceCaps,
                            const char* longName, const char* description) {
    gst_element_class_add_pad_template(
        elementClass, gst_pad_template_new("sink", GST_PAD_SINK, GST_PAD_ALWAYS, gst_caps_from_string(sinkCaps)));
    gst_element_class_add_pad_template(
        elementClass, gst_pad_template_new("src", GST_PAD_SRC, GST_PAD_ALWAYS, gst_caps_from_string(sourceCaps)));
    gst_element_class_set_static_metadata(elementClass, longName, "Codec/Decoder/Audio", description, "media");
}

bool RegisterLibavFileDecoder(GstPlugin* plugin);   // ASF (WMA), Monkey's Audio, AIFF, MPEG program streams
bool RegisterLibavAudioDecoder(GstPlugin* plugin);  // AAC (raw and ADTS), ALAC, WMA from another demuxer
bool RegisterMidiSynthesiser(GstPlugin* plugin);    // Standard MIDI files, through fluidsynth

}  // namespace mediaplayer::decoders
