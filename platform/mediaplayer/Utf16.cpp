#include "platform/mediaplayer/Utf16.h"

#include <glib.h>

namespace mediaplayer {

std::string Utf8FromUtf16(std::u16string_view text) {
    if (text.empty()) return {};
    glong written = 0;
    gchar* converted = g_utf16_to_utf8(reinterpret_cast<const gunichar2*>(text.data()), static_cast<glong>(text.size()),
                                       nullptr, &written, nullptr);
    if (!converted) return {};
    std::string result(converted, static_cast<std::size_t>(written));
    g_free(converted);
    return result;
}

std::u16string Utf16FromUtf8(std::string_view text) {
    if (text.empty()) return {};
    glong written = 0;
    gunichar2* converted = g_utf8_to_utf16(text.data(), static_cast<glong>(text.size()), nullptr, &written, nullptr);
    if (!converted) return {};
    std::u16string result(reinterpret_cast<const char16_t*>(converted), static_cast<std::size_t>(written));
    g_free(converted);
    return result;
}

}  // namespace mediaplayer
