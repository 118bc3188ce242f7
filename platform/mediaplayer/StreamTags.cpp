#include "platform/mediaplayer/StreamTags.h"

#include "platform/mediaplayer/Utf16.h"

#include <gst/gst.h>

namespace mediaplayer {
namespace {

void takeNonEmpty(const GstTagList* tags, const char* tag, std::u16string& into) {
    gchar* value = nullptr;
    if (gst_tag_list_get_string(tags, tag, &value) && value && *value) into = utf16FromUtf8(value);
    g_free(value);
}

}  // namespace

void StreamTags::add(const GstTagList* tags) {
    if (!tags) return;
    takeNonEmpty(tags, GST_TAG_TITLE, title_);
    takeNonEmpty(tags, GST_TAG_ARTIST, artist_);
}

void StreamTags::clear() {
    title_.clear();
    artist_.clear();
}

}  // namespace mediaplayer
