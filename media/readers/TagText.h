#pragma once

#include <string>
#include <string_view>
#include <vector>

// Text operations the tag readers share.
namespace media::tagtext {

// Removes every NUL character, then the spaces at both ends.
std::u16string Clean(std::u16string_view s);

// The leading numeric value of a text, spaces ignored: digits with at most one decimal point.
struct Number {
    double value = 0;
    std::u16string text;  // shortest decimal form: "2008", "44.1", "0" for a text without digits
};
Number NumberOf(std::u16string_view s);

// Replaces each pair of spaces by one, in a single left-to-right pass.
std::u16string CollapseSpacePairs(std::u16string_view s);

void EraseAll(std::u16string& s, std::u16string_view what);
void EraseAllIgnoringAsciiCase(std::u16string& s, std::u16string_view what);
bool ContainsIgnoringAsciiCase(std::u16string_view s, std::u16string_view what);
std::u16string AsciiLower(std::u16string_view s);
std::vector<std::u16string_view> Split(std::u16string_view s, char16_t separator);

// UTF-16 in the given byte order; an odd last byte is dropped.
std::u16string FromUtf16(std::string_view bytes, bool bigEndian);

// UTF-8 without its byte-order marks, which some writers put before each value.
std::u16string FromUtf8WithoutBom(std::string_view bytes);

// Whether a text filled its field to the end: a fixed-width field (ID3v1) cuts a long text at its
// width, even inside a multi-byte character.
enum class FieldWidth { Free, Fixed };

// A byte text that names no encoding (ID3v1 fields, ID3v2 texts marked as the code page), read as
// the writers of such tags wrote it: ASCII as is; valid UTF-8 with a multi-byte sequence as UTF-8;
// else valid GBK (the home code page) as GBK; else Windows-1252. A character a fixed-width field
// cut short at its end is dropped.
std::u16string FromAnsiTagText(std::string_view bytes, FieldWidth width = FieldWidth::Free);

}  // namespace media::tagtext
