#include "media/playlist/UriLocation.h"

#include <array>
#include <cctype>

#include "platform/text/FileName.h"

namespace media {

namespace {

// The address schemes the player streams from.
constexpr std::array kWebSchemes{std::string_view("http"), std::string_view("https"), std::string_view("mms"),
                                 std::string_view("rtsp")};

bool StartsWithIgnoringCase(std::string_view text, std::string_view start) {
    if (text.size() < start.size()) return false;
    for (std::size_t i = 0; i < start.size(); ++i)
        if (std::tolower(static_cast<unsigned char>(text[i])) != start[i]) return false;
    return true;
}

int HexValue(char c) {
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    return -1;
}

}  // namespace

std::optional<std::string> PercentDecoded(std::string_view text) {
    std::string bytes;
    bytes.reserve(text.size());
    for (std::size_t i = 0; i < text.size(); ++i) {
        int high = -1, low = -1;
        if (text[i] == '%' && i + 2 < text.size() && (high = HexValue(text[i + 1])) >= 0 &&
            (low = HexValue(text[i + 2])) >= 0) {
            bytes.push_back(static_cast<char>(high * 16 + low));
            i += 2;
        } else {
            bytes.push_back(text[i]);
        }
    }
    if (bytes.find('\0') != std::string::npos) return std::nullopt;
    return bytes;
}

namespace {

// The path of a file URI: "file:///p", "file://localhost/p" or "file:/p", less its query and fragment.
std::optional<std::u16string> FileUriPath(std::string_view rest) {
    if (rest.starts_with("//")) {
        rest.remove_prefix(2);
        const std::size_t slash = rest.find('/');
        const std::string_view host = rest.substr(0, slash);
        const bool thisHost = host.empty() || (host.size() == 9 && StartsWithIgnoringCase(host, "localhost"));
        if (slash == std::string_view::npos || !thisHost) return std::nullopt;
        rest.remove_prefix(slash);
    }
    rest = rest.substr(0, rest.find_first_of("?#"));
    if (!rest.starts_with('/')) return std::nullopt;
    const std::optional<std::string> path = PercentDecoded(rest);
    if (!path) return std::nullopt;
    return text::FromFileName(*path);
}

}  // namespace

std::optional<std::u16string> LocationFromUri(std::string_view uri) {
    if (StartsWithIgnoringCase(uri, "file:")) return FileUriPath(uri.substr(5));
    for (std::string_view scheme : kWebSchemes)
        if (StartsWithIgnoringCase(uri, scheme) && uri.substr(scheme.size()).starts_with("://") &&
            uri.size() > scheme.size() + 3)
            return text::FromFileName(uri);
    return std::nullopt;
}

std::string FileUri(std::u16string_view path) {
    constexpr char kHex[] = "0123456789ABCDEF";
    std::string uri = "file://";
    for (const char c : text::ToFileName(path)) {
        const auto byte = static_cast<unsigned char>(c);
        const bool unreserved = (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9');
        if (unreserved || c == '-' || c == '.' || c == '_' || c == '~' || c == '/') {
            uri += c;
        } else {
            uri += '%';
            uri += kHex[byte >> 4];
            uri += kHex[byte & 15];
        }
    }
    return uri;
}

}  // namespace media
