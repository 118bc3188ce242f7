#include "platform/mediaplayer/MediaLocation.h"

#include "platform/mediaplayer/Utf16.h"
#include "platform/text/FileName.h"

#include <gst/gst.h>
#include <sys/stat.h>

namespace mediaplayer {
namespace {

bool IsSchemeChar(char16_t c, bool first) {
    const bool letter = (c >= u'a' && c <= u'z') || (c >= u'A' && c <= u'Z');
    if (first) return letter;
    return letter || (c >= u'0' && c <= u'9') || c == u'+' || c == u'-' || c == u'.';
}

std::u16string WithoutExtension(std::u16string name) {
    const auto dot = name.rfind(u'.');
    if (dot != std::u16string::npos && dot > 0) name.erase(dot);
    return name;
}

std::u16string LastSegment(const std::u16string& path) {
    const auto slash = path.rfind(u'/');
    return slash == std::u16string::npos ? path : path.substr(slash + 1);
}

// The unescaped path of a web address, without query and fragment.
std::u16string WebPath(const std::u16string& address) {
    const std::string utf8 = Utf8FromUtf16(address);
    GUri* parsed = g_uri_parse(utf8.c_str(), G_URI_FLAGS_NONE, nullptr);
    if (!parsed) return {};
    std::u16string path = Utf16FromUtf8(g_uri_get_path(parsed));
    g_uri_unref(parsed);
    return path;
}

}  // namespace

MediaLocation::MediaLocation(std::u16string text) : text_(std::move(text)) {}

bool MediaLocation::IsWebAddress() const {
    const auto colon = text_.find(u"://");
    if (colon == std::u16string::npos || colon < 2) return false;
    for (std::size_t i = 0; i < colon; ++i) {
        if (!IsSchemeChar(text_[i], i == 0)) return false;
    }
    return true;
}

std::string MediaLocation::Uri() const {
    if (IsWebAddress()) return Utf8FromUtf16(text_);
    // A path is named by its bytes on disk, which the address carries percent-encoded.
    const std::string path = text::ToFileName(text_);
    if (path.empty()) return {};
    gchar* uri = gst_filename_to_uri(path.c_str(), nullptr);
    if (!uri) return {};
    std::string result(uri);
    g_free(uri);
    return result;
}

std::u16string MediaLocation::DisplayName() const {
    if (!IsWebAddress()) return WithoutExtension(text::ReadableFileName(LastSegment(text_)));
    std::u16string name = WithoutExtension(LastSegment(WebPath(text_)));
    return name.empty() ? text_ : name;
}

bool OpensPromptly(const std::string& uri) {
    const char* scheme = g_uri_peek_scheme(uri.c_str());
    if (!scheme) return false;
    if (!g_str_equal(scheme, "file")) return true;
    gchar* path = g_filename_from_uri(uri.c_str(), nullptr, nullptr);
    if (!path) return false;
    struct stat info {};
    // A character device is never media and may never end: a terminal, /dev/zero, a serial line.
    const bool ok = stat(path, &info) == 0 && (S_ISREG(info.st_mode) || S_ISBLK(info.st_mode));
    g_free(path);
    return ok;
}

}  // namespace mediaplayer
