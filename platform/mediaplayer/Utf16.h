#pragma once

#include <string>
#include <string_view>

// The component speaks UTF-16 to its host and UTF-8 to GStreamer.
namespace mediaplayer {

// Ill-formed input yields an empty text rather than a partial one.
std::string Utf8FromUtf16(std::u16string_view text);
std::u16string Utf16FromUtf8(std::string_view text);

}  // namespace mediaplayer
