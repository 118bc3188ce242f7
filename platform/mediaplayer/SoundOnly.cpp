#include "platform/mediaplayer/SoundOnly.h"

#include <gst/gst.h>

#include <cstring>

namespace mediaplayer {
namespace {

// playbin's GstPlayFlags and decodebin's GstAutoplugSelectResult, which no public header exports.
constexpr guint kPlayAudio = 1u << 1;
constexpr guint kPlaySoftVolume = 1u << 4;
constexpr gint kAutoplugSkip = 2;
constexpr gint kAutoplugTry = 0;

bool decodesPictures(GstElementFactory* factory)
{
    const gchar* klass = gst_element_factory_get_metadata(factory, GST_ELEMENT_METADATA_KLASS);
    return klass && strstr(klass, "Decoder") && (strstr(klass, "Video") || strstr(klass, "Image"));
}

gint skipPictureDecoders(GstElement*, GstPad*, GstCaps*, GstElementFactory* factory, gpointer)
{
    return decodesPictures(factory) ? kAutoplugSkip : kAutoplugTry;
}

void onElementSetup(GstElement*, GstElement* element, gpointer)
{
    GstElementFactory* factory = gst_element_get_factory(element);
    if (factory && g_str_equal(gst_plugin_feature_get_name(factory), "uridecodebin"))
        g_signal_connect(element, "autoplug-select", G_CALLBACK(skipPictureDecoders), nullptr);
}

}  // namespace

void decodeSoundOnly(GstElement* playbin)
{
    // With the video flag off playbin stops rendering pictures but still decodes them; the
    // decoders themselves are kept out by the autoplug hook.
    g_object_set(playbin, "flags", kPlayAudio | kPlaySoftVolume, nullptr);
    g_signal_connect(playbin, "element-setup", G_CALLBACK(onElementSetup), nullptr);
    // playbin still builds a video sink for a video file; left to itself it picks the desktop's,
    // which stops the file from starting where there is no display.
    g_object_set(playbin, "video-sink", gst_element_factory_make("fakesink", nullptr), nullptr);
}

}  // namespace mediaplayer
