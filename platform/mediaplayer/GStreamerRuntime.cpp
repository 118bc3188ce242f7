#include "platform/mediaplayer/GStreamerRuntime.h"

#include <gst/gst.h>

#include <mutex>

namespace mediaplayer {
namespace {

// Debian ranks the mpg123 decoder and the libav one alike, and the tie goes to libav, which drags in the whole
// codec and filter stack (some 30 MiB resident) to play an ordinary MP3. The dedicated decoder is small and
// cheap; libav still serves every other format, and MP3 too when mpg123 is not installed.
void PreferDedicatedMp3Decoder() {
    GstPluginFeature* mpg123 = gst_registry_lookup_feature(gst_registry_get(), "mpg123audiodec");
    if (!mpg123) return;
    gst_plugin_feature_set_rank(mpg123, GST_RANK_PRIMARY);
    gst_object_unref(mpg123);
}

// The AIFF parser pushes its sound before the decoder has linked its pad on a good share of starts; its
// not-linked error is swallowed and the media then never plays nor ends. libav's AIFF demuxer has no such race.
void PreferLibavAiffDemuxer() {
    GstRegistry* registry = gst_registry_get();
    GstPluginFeature* libav = gst_registry_lookup_feature(registry, "avdemux_aiff");
    if (!libav) return;
    gst_object_unref(libav);
    GstPluginFeature* parser = gst_registry_lookup_feature(registry, "aiffparse");
    if (!parser) return;
    gst_plugin_feature_set_rank(parser, GST_RANK_NONE);
    gst_object_unref(parser);
}

}  // namespace

bool EnsureGStreamer() {
    static std::once_flag once;
    static bool initialised = false;
    std::call_once(once, [] {
        // ID3 texts marked as Latin-1 are, on the systems this player is made for, in the GBK code
        // page, which is also how the playlist's own tag readers decode them; without this the
        // title read at play time would overwrite a correct one with mojibake. A value the user
        // has set is kept.
        g_setenv("GST_ID3_TAG_ENCODING", "GBK", FALSE);
        initialised = gst_init_check(nullptr, nullptr, nullptr);
        if (!initialised) return;
        PreferDedicatedMp3Decoder();
        PreferLibavAiffDemuxer();
    });
    return initialised;
}

}  // namespace mediaplayer
