#include "platform/mediaplayer/GStreamerRuntime.h"

#include <gst/gst.h>

#include <filesystem>
#include <mutex>
#include <string>
#include <system_error>

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

// The player's own decoders (WMA, Monkey's Audio, AAC, MIDI and the rest libav or fluidsynth serve) are a plugin in
// the gstreamer-1.0 folder beside the program. The folder goes first in GStreamer's plugin path, before the
// registry is read, so that GStreamer's registry cache keeps the plugin and loads it only when one of its elements
// is used. A path the user has set stays after it.
void AddOwnPluginFolder() {
    std::error_code error;
    const std::filesystem::path program = std::filesystem::read_symlink("/proc/self/exe", error);
    if (error) return;
    std::string path = (program.parent_path() / "gstreamer-1.0").string();
    if (const char* set = g_getenv("GST_PLUGIN_PATH"); set && *set) path += G_SEARCHPATH_SEPARATOR_S + std::string(set);
    g_setenv("GST_PLUGIN_PATH", path.c_str(), TRUE);
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
        AddOwnPluginFolder();
        initialised = gst_init_check(nullptr, nullptr, nullptr);
        if (!initialised) return;
        PreferDedicatedMp3Decoder();
    });
    return initialised;
}

}  // namespace mediaplayer
