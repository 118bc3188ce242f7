#include "platform/mediaplayer/SoundOnly.h"

#include <gst/gst.h>

#include <cstring>

namespace mediaplayer {
namespace {

// decodebin's GstAutoplugSelectResult, which no public header exports.
constexpr gint kAutoplugSkip = 2;
constexpr gint kAutoplugTry = 0;

bool DecodesPictures(GstElementFactory* factory) {
    const gchar* klass = gst_element_factory_get_metadata(factory, GST_ELEMENT_METADATA_KLASS);
    return klass && strstr(klass, "Decoder") && (strstr(klass, "Video") || strstr(klass, "Image"));
}

gint SkipPictureDecoders(GstElement*, GstPad*, GstCaps*, GstElementFactory* factory, gpointer) {
    return DecodesPictures(factory) ? kAutoplugSkip : kAutoplugTry;
}

}  // namespace

void DecodeSoundOnly(GstElement* uridecodebin) {
    g_signal_connect(uridecodebin, "autoplug-select", G_CALLBACK(SkipPictureDecoders), nullptr);
}

}  // namespace mediaplayer
