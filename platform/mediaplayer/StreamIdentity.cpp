#include "platform/mediaplayer/StreamIdentity.h"

#include <gst/gst.h>

#include <string>

namespace mediaplayer {
namespace {

// Set once at start, before any sink exists, and only read after.
std::string applicationName = "media";
std::string applicationId = "media";  // the program's desktop file name, which its icon bears too

bool Writable(GstElement* element, const char* name, GType type) {
    const GParamSpec* property = g_object_class_find_property(G_OBJECT_GET_CLASS(element), name);
    return property && (property->flags & G_PARAM_WRITABLE) && G_PARAM_SPEC_VALUE_TYPE(property) == type;
}

void Name(GstElement* sink) {
    if (Writable(sink, "stream-properties", GST_TYPE_STRUCTURE)) {
        GstStructure* properties =
            gst_structure_new("properties", "media.role", G_TYPE_STRING, "music", "application.name", G_TYPE_STRING,
                              applicationName.c_str(), "application.id", G_TYPE_STRING, applicationId.c_str(),
                              "application.icon_name", G_TYPE_STRING, applicationId.c_str(), nullptr);
        g_object_set(sink, "stream-properties", properties, nullptr);
        gst_structure_free(properties);
    }
    // The client the stream belongs to, which the server lists as well.
    if (Writable(sink, "client-name", G_TYPE_STRING))
        g_object_set(sink, "client-name", applicationName.c_str(), nullptr);
}

void OnElementAdded(GstBin*, GstBin*, GstElement* element, gpointer) { Name(element); }

}  // namespace

void SetSoundServerIdentity(const char* name, const char* iconName) {
    applicationName = name;
    applicationId = iconName;
}

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
