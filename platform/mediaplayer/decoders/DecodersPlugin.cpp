#include "platform/mediaplayer/decoders/Elements.h"

extern "C" {
#include <libavutil/log.h>
}

#include <cstdarg>

namespace {

GST_DEBUG_CATEGORY_STATIC(libavLog);

// libav reports what it meets in a damaged or oddly muxed file (a seek that searches, a frame it drops) on stderr,
// where the player's own messages go and where a listener has no use for them: they go to GStreamer's debug log.
void LogToGStreamer(void* context, int level, const char* format, va_list arguments) {
    const GstDebugLevel debugLevel = level <= AV_LOG_ERROR     ? GST_LEVEL_WARNING
                                     : level <= AV_LOG_WARNING ? GST_LEVEL_INFO
                                                               : GST_LEVEL_DEBUG;
    if (debugLevel > gst_debug_category_get_threshold(libavLog)) return;
    char line[1024];
    int prefix = 1;
    va_list copy;
    va_copy(copy, arguments);
    av_log_format_line2(context, level, format, copy, line, sizeof line, &prefix);
    va_end(copy);
    GST_CAT_LEVEL_LOG(libavLog, debugLevel, nullptr, "%s", line);
}

gboolean InitPlugin(GstPlugin* plugin) {
    using namespace mediaplayer::decoders;
    GST_DEBUG_CATEGORY_INIT(libavLog, "medialibav", 0, "libav's own messages");
    av_log_set_callback(LogToGStreamer);
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
