#include "platform/mediaplayer/decoders/Elements.h"

namespace {

gboolean InitPlugin(GstPlugin* plugin) {
    using namespace mediaplayer::decoders;
    // Each element stands alone: one that fails to register leaves the others serving.
    const bool file = RegisterLibavFileDecoder(plugin);
    const bool codec = RegisterLibavAudioDecoder(plugin);
    const bool midi = RegisterMidiSynthesiser(plugin);
    return file || codec || midi;
}

}  // namespace

#define PACKAGE "media"
GST_PLUGIN_DEFINE(GST_VERSION_MAJOR, GST_VERSION_MINOR, mediadecoders, "The media player's own decoders", InitPlugin,
                  "1.0", "Proprietary", "media", "media")
