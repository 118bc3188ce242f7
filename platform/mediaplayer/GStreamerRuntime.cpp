#include "platform/mediaplayer/GStreamerRuntime.h"

#include <gst/gst.h>

#include <mutex>

namespace mediaplayer {

bool ensureGStreamer()
{
    static std::once_flag once;
    static bool initialised = false;
    std::call_once(once, [] {
        // ID3 texts marked as Latin-1 are, on the systems this player is made for, in the GBK code
        // page, which is also how the playlist's own tag readers decode them; without this the
        // title read at play time would overwrite a correct one with mojibake. A value the user
        // has set is kept.
        g_setenv("GST_ID3_TAG_ENCODING", "GBK", FALSE);
        initialised = gst_init_check(nullptr, nullptr, nullptr);
    });
    return initialised;
}

}  // namespace mediaplayer
