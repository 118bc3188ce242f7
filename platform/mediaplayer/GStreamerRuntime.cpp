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
        if (initialised) PreferDedicatedMp3Decoder();
    });
    return initialised;
}

}  // namespace mediaplayer
