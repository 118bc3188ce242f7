#pragma once

#include <string>
#include <string_view>

namespace text {

enum class CodePage { Utf8, Utf16Le, Utf16Be, Gbk, Big5, ShiftJis, Windows1252 };

struct FoundText {
    std::u16string text;
    CodePage codePage;
};

// The code page of a text file's bytes, found, not configured, and the text decoded by it. A byte-order mark
// decides and is not part of the text; else valid UTF-8 with a multi-byte sequence is UTF-8; else the bytes
// themselves tell GBK (GB18030), Big5, Shift_JIS and Windows-1252 apart; pure ASCII reads as UTF-8.
FoundText DecodeFoundCodePage(std::string_view bytes);

}  // namespace text
