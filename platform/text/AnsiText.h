#pragma once

#include <string>
#include <string_view>

// Conversions between the program's UTF-16 texts and the byte texts found in files: the ANSI code
// page (CP936/GBK, in which playlists and ID3 tags from the program's home systems are written)
// and UTF-8 (paths on disk, lists that GBK cannot hold).
namespace text {

// GBK bytes to UTF-16; a byte that starts no valid character becomes U+FFFD.
std::u16string FromAnsi(std::string_view bytes);

// Bytes of another code page, named as iconv names it ("CP950", "CP932"), to UTF-16; a byte that starts no valid
// character becomes U+FFFD, as does every byte when iconv does not know the code page.
std::u16string FromCodePage(const char* codePage, std::string_view bytes);

// UTF-16 to GBK into `out` (replacing its content); false when a character has no GBK form.
bool ToAnsi(std::u16string_view s, std::string& out);

// Windows-1252, the code page of Western systems; its five unassigned bytes stay C1 controls.
std::u16string FromWindows1252(std::string_view bytes);

// Ill-formed input (unpaired surrogates, invalid UTF-8 sequences) becomes U+FFFD.
std::string ToUtf8(std::u16string_view s);
std::u16string FromUtf8(std::string_view bytes);

}  // namespace text
