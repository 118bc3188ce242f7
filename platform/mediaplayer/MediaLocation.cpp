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

// Seconds as a media fragment writes them: digits with an optional fraction, nothing else.
std::optional<double> FragmentSeconds(std::u16string_view text) {
    if (text.empty() || text.size() > 32) return std::nullopt;
    std::string ascii;
    bool point = false;
    for (char16_t c : text) {
        if (c == u'.' && !point) {
            point = true;
        } else if (c < u'0' || c > u'9') {
            return std::nullopt;
        }
        ascii.push_back(static_cast<char>(c));
    }
    if (ascii == ".") return std::nullopt;
    return g_ascii_strtod(ascii.c_str(), nullptr);
}

// "t=<start>[,<end>]", also with an "npt:" prefix and an empty start (from the file's beginning).
std::optional<MediaSpan> ParseTimeFragment(std::u16string_view fragment) {
    if (fragment.substr(0, 2) != u"t=") return std::nullopt;
    fragment.remove_prefix(2);
    if (fragment.substr(0, 4) == u"npt:") fragment.remove_prefix(4);
    const auto comma = fragment.find(u',');
    MediaSpan span;
    const std::u16string_view startText = fragment.substr(0, comma);
    if (!startText.empty()) {
        const auto start = FragmentSeconds(startText);
        if (!start) return std::nullopt;
        span.start = *start;
    }
    if (comma != std::u16string_view::npos) {
        span.end = FragmentSeconds(fragment.substr(comma + 1));
        if (!span.end || *span.end <= span.start) return std::nullopt;
    }
    return span;
}

bool PathExists(const std::u16string& path) {
    const std::string name = text::ToFileName(path);
    struct stat info {};
    return !name.empty() && stat(name.c_str(), &info) == 0;
}

}  // namespace

MediaLocation::MediaLocation(std::u16string text) : text_(std::move(text)), path_(text_) {
    if (IsWebAddress()) return;
    const auto hash = text_.rfind(u'#');
    if (hash == std::u16string::npos || PathExists(text_)) return;
    span_ = ParseTimeFragment(std::u16string_view(text_).substr(hash + 1));
    if (span_) path_ = text_.substr(0, hash);
}

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
    const std::string path = text::ToFileName(path_);
    if (path.empty()) return {};
    gchar* uri = gst_filename_to_uri(path.c_str(), nullptr);
    if (!uri) return {};
    std::string result(uri);
    g_free(uri);
    return result;
}

std::u16string MediaLocation::DisplayName() const {
    if (!IsWebAddress()) return WithoutExtension(text::ReadableFileName(LastSegment(path_)));
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
