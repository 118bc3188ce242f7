#include "media/readers/TagText.h"

#include "platform/text/AnsiText.h"

#include <algorithm>
#include <cstdlib>
#include <optional>

namespace media::tagtext {
namespace {

char16_t LowerAscii(char16_t c) { return c >= u'A' && c <= u'Z' ? static_cast<char16_t>(c - u'A' + u'a') : c; }

std::size_t FindIgnoringAsciiCase(std::u16string_view s, std::u16string_view what, std::size_t from) {
    const auto same = [](char16_t a, char16_t b) { return LowerAscii(a) == LowerAscii(b); };
    const auto hit = std::search(s.begin() + from, s.end(), what.begin(), what.end(), same);
    return hit == s.end() ? std::u16string_view::npos : static_cast<std::size_t>(hit - s.begin());
}

template <typename Find>
void EraseEach(std::u16string& s, std::u16string_view what, Find find) {
    if (what.empty()) return;
    std::u16string kept;
    std::size_t from = 0;
    for (std::size_t hit; (hit = find(s, what, from)) != std::u16string_view::npos; from = hit + what.size())
        kept.append(s, from, hit - from);
    if (from == 0) return;
    kept.append(s, from);
    s = std::move(kept);
}

bool IsAscii(std::string_view bytes) {
    return std::all_of(bytes.begin(), bytes.end(), [](char c) { return static_cast<unsigned char>(c) < 0x80; });
}

// The text when `bytes` are valid UTF-8 holding a multi-byte sequence. Valid UTF-8 survives the
// round trip through UTF-16; the decoder turns anything malformed into U+FFFD, which does not.
std::optional<std::u16string> AsUtf8(std::string_view bytes) {
    if (IsAscii(bytes) || text::ToUtf8(text::FromUtf8(bytes)) != bytes) return std::nullopt;
    return FromUtf8WithoutBom(bytes);
}

// The text when `bytes` are valid GBK: the decoder marks every byte it cannot place with U+FFFD,
// which GBK itself never encodes.
std::optional<std::u16string> AsGbk(std::string_view bytes) {
    std::u16string decoded = text::FromAnsi(bytes);
    if (decoded.find(u'\uFFFD') != std::u16string::npos) return std::nullopt;
    return decoded;
}

// `bytes` without a UTF-8 sequence that begins in the last three bytes and is cut short by the end.
std::string_view WithoutCutUtf8Sequence(std::string_view bytes) {
    for (std::size_t back = 1; back <= std::min<std::size_t>(3, bytes.size()); ++back) {
        const auto byte = static_cast<unsigned char>(bytes[bytes.size() - back]);
        if ((byte & 0xC0) == 0x80) continue;  // a continuation byte: its lead lies further back
        const std::size_t length = byte >= 0xF0 ? 4 : byte >= 0xE0 ? 3 : byte >= 0xC0 ? 2 : 1;
        return length > back ? bytes.substr(0, bytes.size() - back) : bytes;
    }
    return bytes;
}

// `bytes` without their last byte when it lies in GBK's lead range. Where it was a lead left alone,
// the rest may be valid; where it was the trail of a pair, its lead is left alone instead and the
// rest is no more valid than the whole.
std::string_view WithoutCutGbkCharacter(std::string_view bytes) {
    const auto last = bytes.empty() ? 0 : static_cast<unsigned char>(bytes.back());
    return last >= 0x81 && last <= 0xFE ? bytes.substr(0, bytes.size() - 1) : bytes;
}

// The text of `bytes` in one encoding when they are valid in it, or, in a fixed-width field, when
// they are valid but for one character cut short at the end.
std::optional<std::u16string> DecodeIfValid(std::string_view bytes, FieldWidth width,
                                            std::optional<std::u16string> (*decode)(std::string_view),
                                            std::string_view (*withoutCutCharacter)(std::string_view)) {
    if (std::optional<std::u16string> whole = decode(bytes)) return whole;
    if (width == FieldWidth::Free) return std::nullopt;
    const std::string_view cut = withoutCutCharacter(bytes);
    return cut.size() < bytes.size() ? decode(cut) : std::nullopt;
}

}  // namespace

std::u16string Clean(std::u16string_view s) {
    std::u16string out;
    out.reserve(s.size());
    for (char16_t c : s)
        if (c != 0) out += c;
    const std::size_t first = out.find_first_not_of(u' ');
    if (first == std::u16string::npos) return {};
    out.erase(out.find_last_not_of(u' ') + 1);
    out.erase(0, first);
    return out;
}

Number NumberOf(std::u16string_view s) {
    std::string digits;
    bool point = false;
    for (char16_t c : s) {
        if (c == u' ' || c == u'\t' || c == u'\r' || c == u'\n') continue;
        if (c >= u'0' && c <= u'9')
            digits += static_cast<char>(c);
        else if (c == u'.' && !point)
            point = true, digits += '.';
        else
            break;
    }
    // Shortest form: no leading zeros before the point, no trailing zeros after it.
    std::string whole = digits.substr(0, digits.find('.'));
    std::string fraction = point ? digits.substr(digits.find('.') + 1) : std::string();
    whole.erase(0, std::min(whole.find_first_not_of('0'), whole.size()));
    fraction.erase(fraction.find_last_not_of('0') + 1);
    std::string shortest = (whole.empty() ? "0" : whole) + (fraction.empty() ? "" : "." + fraction);

    Number number;
    number.value = std::strtod(shortest.c_str(), nullptr);
    number.text.assign(shortest.begin(), shortest.end());
    return number;
}

std::u16string CollapseSpacePairs(std::u16string_view s) {
    std::u16string out;
    out.reserve(s.size());
    for (std::size_t i = 0; i < s.size(); ++i) {
        out += s[i];
        if (s[i] == u' ' && i + 1 < s.size() && s[i + 1] == u' ') ++i;
    }
    return out;
}

void EraseAll(std::u16string& s, std::u16string_view what) {
    EraseEach(s, what,
              [](std::u16string_view in, std::u16string_view w, std::size_t from) { return in.find(w, from); });
}

void EraseAllIgnoringAsciiCase(std::u16string& s, std::u16string_view what) {
    EraseEach(s, what, FindIgnoringAsciiCase);
}

bool ContainsIgnoringAsciiCase(std::u16string_view s, std::u16string_view what) {
    return FindIgnoringAsciiCase(s, what, 0) != std::u16string_view::npos;
}

std::u16string AsciiLower(std::u16string_view s) {
    std::u16string out(s);
    std::transform(out.begin(), out.end(), out.begin(), LowerAscii);
    return out;
}

std::vector<std::u16string_view> Split(std::u16string_view s, char16_t separator) {
    std::vector<std::u16string_view> parts;
    std::size_t from = 0;
    for (std::size_t at; (at = s.find(separator, from)) != std::u16string_view::npos; from = at + 1)
        parts.push_back(s.substr(from, at - from));
    parts.push_back(s.substr(from));
    return parts;
}

std::u16string FromUtf16(std::string_view bytes, bool bigEndian) {
    std::u16string out(bytes.size() / 2, u'\0');
    for (std::size_t i = 0; i < out.size(); ++i) {
        const auto first = static_cast<unsigned char>(bytes[2 * i]);
        const auto second = static_cast<unsigned char>(bytes[2 * i + 1]);
        out[i] = static_cast<char16_t>(bigEndian ? (first << 8) | second : (second << 8) | first);
    }
    return out;
}

std::u16string FromUtf8WithoutBom(std::string_view bytes) {
    std::u16string out = text::FromUtf8(bytes);
    std::erase(out, u'\uFEFF');
    return out;
}

// The order settles the texts that more than one encoding can read. UTF-8 before GBK: accented
// Latin letters in UTF-8 ("Café" ends C3 A9) are nearly always valid GBK too, while Chinese GBK text
// is seldom valid UTF-8, since its bytes would have to group into UTF-8 sequences by chance: about
// one in seven one-character texts, one in fifty of two characters and one in three hundred of three
// (GB2312 characters drawn at random); only short Chinese texts risk being read as UTF-8. GBK before
// Windows-1252: every byte text is valid Windows-1252, so it can only be the last resort; Latin-1
// text with an accented letter before a plain one ("Se\xF1or") is valid GBK as well and reads as
// GBK, the price of keeping the Chinese tags of the home systems.
std::u16string FromAnsiTagText(std::string_view bytes, FieldWidth width) {
    if (IsAscii(bytes)) return std::u16string(bytes.begin(), bytes.end());
    if (std::optional<std::u16string> utf8 = DecodeIfValid(bytes, width, AsUtf8, WithoutCutUtf8Sequence)) return *utf8;
    if (std::optional<std::u16string> gbk = DecodeIfValid(bytes, width, AsGbk, WithoutCutGbkCharacter)) return *gbk;
    return text::FromWindows1252(bytes);
}

}  // namespace media::tagtext
