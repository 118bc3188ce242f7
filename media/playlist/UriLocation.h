#pragma once
// Locations written as URIs: in lists of other players, in what the desktop hands over, and in what the program
// tells the desktop.
#include <optional>
#include <string>
#include <string_view>

namespace media {

// The location a URI names: a file URI's path with every %XX taken as the byte it stands for (names on disk need
// not be UTF-8); an http, https, mms or rtsp address as it stands. Nothing for other text, a file URI of another
// host or one that names no absolute path.
std::optional<std::u16string> LocationFromUri(std::string_view uri);

// %XX as the byte it stands for; a % that begins no escape stays as it is. Nothing when a byte is NUL, which no
// name can hold.
std::optional<std::string> PercentDecoded(std::string_view text);

// The file URI of a path, by its bytes on disk: every byte but unreserved ones and "/" as %XX.
std::string FileUri(std::u16string_view path);

}  // namespace media
