#include "platform/mediaplayer/StreamIdentity.h"

#include <gst/gst.h>

namespace mediaplayer {
namespace {

constexpr const char* kApplicationName = "Morvane-Tavri";
constexpr const char* kApplicationId = "media";  // the program's desktop file name, which its icon bears too

bool Writable(GstElement* element, const char* name, GType type) {
    const GParamSpec* property = g_object_class_find_property(G_OBJECT_GET_CLASS(element), name);
    return property && (property->flags & G_PARAM_WRITABLE) && G_PARAM_SPEC_VALUE_TYPE(property) == type;
}

void Name(GstElement* sink) {
    if (Writable(sink, "stream-properties", GST_TYPE_STRUCTURE)) {
        GstStructure* properties =
            gst_structure_new("properties", "media.role", G_TYPE_STRING, "music", "application.name", G_TYPE_STRING,
                              kApplicationName, "application.id", G_TYPE_STRING, kApplicationId,
                              "application.icon_name", G_TYPE_STRING, kApplicationId, nullptr);
        g_object_set(sink, "stream-properties", properties, nullptr);
        gst_structure_free(properties);
    }
    // The client the stream belongs to, which the server lists as well.
    if (Writable(sink, "client-name", G_TYPE_STRING)) g_object_set(sink, "client-name", kApplicationName, nullptr);
}

void OnElementAdded(GstBin*, GstBin*, GstElement* element, gpointer) { Name(element); }

}  // namespace

void IntroduceToSoundServer(GstElement* sink) {
    Name(sink);
    if (!GST_IS_BIN(sink)) return;
    g_signal_connect(sink, "deep-element-added", G_CALLBACK(OnElementAdded), nullptr);
    GstIterator* elements = gst_bin_iterate_recurse(GST_BIN(sink));
    GValue item = G_VALUE_INIT;
    while (gst_iterator_next(elements, &item) == GST_ITERATOR_OK) {
        Name(GST_ELEMENT(g_value_get_object(&item)));
        g_value_reset(&item);
    }
    g_value_unset(&item);
    gst_iterator_free(elements);
}

}  // namespace mediaplayer
