#pragma once

#include <string>
#include <string_view>
#include <vector>

// Text operations the tag readers share.
namespace media::tagtext {

// Removes every NUL character, then the spaces at both ends.
std::u16string clean(std::u16string_view s);

// The leading numeric value of a text, spaces ignored: digits with at most one decimal point.
struct Number {
    double value = 0;
    std::u16string text;  // shortest decimal form: "2008", "44.1", "0" for a text without digits
};
Number numberOf(std::u16string_view s);

// Replaces each pair of spaces by one, in a single left-to-right pass.
std::u16string collapseSpacePairs(std::u16string_view s);

void eraseAll(std::u16string& s, std::u16string_view what);
void eraseAllIgnoringAsciiCase(std::u16string& s, std::u16string_view what);
bool containsIgnoringAsciiCase(std::u16string_view s, std::u16string_view what);
std::u16string asciiLower(std::u16string_view s);
std::vector<std::u16string_view> split(std::u16string_view s, char16_t separator);

// UTF-16 in the given byte order; an odd last byte is dropped.
std::u16string fromUtf16(std::string_view bytes, bool bigEndian);

}  // namespace media::tagtext
