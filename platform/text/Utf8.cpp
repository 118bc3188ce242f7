#include "platform/text/AnsiText.h"
#include "platform/text/FileName.h"

#include <algorithm>

namespace text {
namespace {

constexpr char16_t kReplacement = u'\uFFFD';
// What the decoder gives for a byte that begins no valid sequence; no code point has this value.
constexpr char32_t kMalformed = 0xFFFFFFFF;
constexpr char16_t kFirstRawByte = 0xDC80;
constexpr char16_t kLastRawByte = 0xDCFF;

void AppendUtf8(std::string& out, char32_t c) {
    if (c < 0x80) {
        out += static_cast<char>(c);
    } else if (c < 0x800) {
        out += static_cast<char>(0xC0 | (c >> 6));
        out += static_cast<char>(0x80 | (c & 0x3F));
    } else if (c < 0x10000) {
        out += static_cast<char>(0xE0 | (c >> 12));
        out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (c & 0x3F));
    } else {
        out += static_cast<char>(0xF0 | (c >> 18));
        out += static_cast<char>(0x80 | ((c >> 12) & 0x3F));
        out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (c & 0x3F));
    }
}

void AppendUtf16(std::u16string& out, char32_t c) {
    if (c < 0x10000) {
        out += static_cast<char16_t>(c);
    } else {
        c -= 0x10000;
        out += static_cast<char16_t>(0xD800 + (c >> 10));
        out += static_cast<char16_t>(0xDC00 + (c & 0x3FF));
    }
}

// Decodes one UTF-8 sequence at `i`, advancing `i`; a malformed sequence yields kMalformed and
// advances past its lead byte only, so the following bytes are decoded on their own.
char32_t DecodeUtf8(std::string_view s, std::size_t& i) {
    const auto byte = [&](std::size_t k) { return static_cast<unsigned char>(s[k]); };
    const unsigned char lead = byte(i);
    int length;
    char32_t c;
    if (lead < 0x80) {
        ++i;
        return lead;
    } else if (lead >= 0xC2 && lead <= 0xDF) {
        length = 2;
        c = lead & 0x1F;
    } else if (lead >= 0xE0 && lead <= 0xEF) {
        length = 3;
        c = lead & 0x0F;
    } else if (lead >= 0xF0 && lead <= 0xF4) {
        length = 4;
        c = lead & 0x07;
    } else {
        ++i;
        return kMalformed;
    }
    if (i + length > s.size()) {
        ++i;
        return kMalformed;
    }
    for (int k = 1; k < length; ++k) {
        if ((byte(i + k) & 0xC0) != 0x80) {
            ++i;
            return kMalformed;
        }
        c = (c << 6) | (byte(i + k) & 0x3F);
    }
    const char32_t smallest[] = {0, 0, 0x80, 0x800, 0x10000};
    if (c < smallest[length] || c > 0x10FFFF || (c >= 0xD800 && c <= 0xDFFF)) {
        ++i;
        return kMalformed;
    }
    i += length;
    return c;
}

bool IsRawByte(char16_t unit) { return unit >= kFirstRawByte && unit <= kLastRawByte; }

// UTF-16 to UTF-8; an unpaired surrogate is given to `unpaired`, which appends what stands for it.
template <typename Unpaired>
std::string EncodeUtf8(std::u16string_view s, Unpaired unpaired) {
    std::string out;
    out.reserve(s.size());
    for (std::size_t i = 0; i < s.size(); ++i) {
        const char16_t unit = s[i];
        if (unit >= 0xD800 && unit <= 0xDBFF && i + 1 < s.size() && s[i + 1] >= 0xDC00 && s[i + 1] <= 0xDFFF) {
            AppendUtf8(out, 0x10000 + ((char32_t(unit) - 0xD800) << 10) + (s[i + 1] - 0xDC00));
            ++i;
        } else if (unit >= 0xD800 && unit <= 0xDFFF) {
            unpaired(out, unit);
        } else {
            AppendUtf8(out, unit);
        }
    }
    return out;
}

// UTF-8 to UTF-16; a malformed byte is given to `malformed`, which appends what stands for it.
template <typename Malformed>
std::u16string DecodeUtf8(std::string_view bytes, Malformed malformed) {
    std::u16string out;
    out.reserve(bytes.size());
    for (std::size_t i = 0; i < bytes.size();) {
        const std::size_t at = i;
        const char32_t c = DecodeUtf8(bytes, i);
        if (c == kMalformed)
            malformed(out, static_cast<unsigned char>(bytes[at]));
        else
            AppendUtf16(out, c);
    }
    return out;
}

}  // namespace

std::string ToUtf8(std::u16string_view s) {
    return EncodeUtf8(s, [](std::string& out, char16_t) { AppendUtf8(out, kReplacement); });
}

std::u16string FromUtf8(std::string_view bytes) {
    return DecodeUtf8(bytes, [](std::u16string& out, unsigned char) { out += kReplacement; });
}

std::u16string FromFileName(std::string_view bytes) {
    // Only bytes from 0x80 up are ever malformed, so every one has a unit of its own.
    return DecodeUtf8(bytes, [](std::u16string& out, unsigned char byte) {
        out += static_cast<char16_t>(kFirstRawByte + (byte - 0x80));
    });
}

std::string ToFileName(std::u16string_view name) {
    return EncodeUtf8(name, [](std::string& out, char16_t unit) {
        if (IsRawByte(unit))
            out += static_cast<char>(0x80 + (unit - kFirstRawByte));
        else
            AppendUtf8(out, kReplacement);
    });
}

bool HoldsRawBytes(std::u16string_view name) {
    // A unit of the range that follows a high surrogate is half of a valid pair, not a byte.
    for (std::size_t i = 0; i < name.size(); ++i) {
        if (IsRawByte(name[i]) && (i == 0 || name[i - 1] < 0xD800 || name[i - 1] > 0xDBFF)) return true;
    }
    return false;
}

std::u16string ReadableFileName(std::u16string_view name) {
    if (!HoldsRawBytes(name)) return std::u16string(name);
    const std::string bytes = ToFileName(name);
    std::u16string gbk = FromAnsi(bytes);
    // The GBK decoder marks each byte it cannot place with U+FFFD, which GBK never encodes.
    if (gbk.find(kReplacement) == std::u16string::npos) return gbk;
    return FromWindows1252(bytes);
}

}  // namespace text
