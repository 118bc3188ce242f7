#include "platform/mediaplayer/StreamTags.h"

#include "platform/mediaplayer/Utf16.h"

#include <gst/gst.h>

namespace mediaplayer {
namespace {

void TakeNonEmpty(const GstTagList* tags, const char* tag, std::u16string& into) {
    gchar* value = nullptr;
    if (gst_tag_list_get_string(tags, tag, &value) && value && *value) into = Utf16FromUtf8(value);
    g_free(value);
}

}  // namespace

void StreamTags::Add(const GstTagList* tags) {
    if (!tags) return;
    TakeNonEmpty(tags, GST_TAG_TITLE, title_);
    TakeNonEmpty(tags, GST_TAG_ARTIST, artist_);
}

void StreamTags::Clear() {
    title_.clear();
    artist_.clear();
}

}  // namespace mediaplayer
