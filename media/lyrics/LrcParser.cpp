#include "media/lyrics/LrcParser.h"

#include <algorithm>
#include <cmath>
#include <optional>

#include "platform/text/AnsiText.h"

namespace media {
namespace {

bool IsDigit(char16_t c) { return c >= u'0' && c <= u'9'; }
bool IsSpace(char16_t c) { return c == u' ' || c == u'\t' || c == u'\r' || c == u'\n' || c == 0xFEFF || c == 0x3000; }

std::u16string_view Trim(std::u16string_view s) {
    while (!s.empty() && IsSpace(s.front())) s.remove_prefix(1);
    while (!s.empty() && IsSpace(s.back())) s.remove_suffix(1);
    return s;
}

// "mm:ss", "mm:ss.xx", "mm:ss.xxx" (also "mm:ss:xx", which some editors write) -> seconds.
std::optional<double> ParseTime(std::u16string_view tag) {
    std::size_t i = 0;
    auto number = [&](std::size_t maxDigits, std::size_t& digits) {
        double value = 0;
        digits = 0;
        while (i < tag.size() && IsDigit(tag[i]) && digits < maxDigits) {
            value = value * 10 + (tag[i] - u'0');
            ++i;
            ++digits;
        }
        return value;
    };
    std::size_t digits = 0;
    const double minutes = number(4, digits);
    if (digits == 0 || i >= tag.size() || tag[i] != u':') return std::nullopt;
    ++i;
    const double seconds = number(2, digits);
    if (digits == 0 || seconds >= 60) return std::nullopt;
    double fraction = 0;
    if (i < tag.size() && (tag[i] == u'.' || tag[i] == u':')) {
        ++i;
        const double value = number(3, digits);
        if (digits == 0) return std::nullopt;
        fraction = value / std::pow(10.0, static_cast<double>(digits));
    }
    if (i != tag.size()) return std::nullopt;
    return minutes * 60 + seconds + fraction;
}

// "[offset:+250]": milliseconds by which the lyric comes earlier.
std::optional<double> ParseOffset(std::u16string_view tag) {
    constexpr std::u16string_view kName = u"offset:";
    if (tag.size() <= kName.size()) return std::nullopt;
    for (std::size_t k = 0; k < kName.size(); ++k)
        if ((tag[k] | 0x20) != kName[k]) return std::nullopt;
    std::u16string_view value = Trim(tag.substr(kName.size()));
    bool negative = false;
    if (!value.empty() && (value.front() == u'+' || value.front() == u'-')) {
        negative = value.front() == u'-';
        value.remove_prefix(1);
    }
    if (value.empty() || value.size() > 9) return std::nullopt;
    double ms = 0;
    for (char16_t c : value) {
        if (!IsDigit(c)) return std::nullopt;
        ms = ms * 10 + (c - u'0');
    }
    return negative ? -ms : ms;
}

struct TimedText {
    double time;
    std::size_t order;
    std::u16string text;
};

}  // namespace

std::vector<LyricLine> ParseLrc(std::u16string_view text) {
    std::vector<TimedText> timed;
    double offsetMs = 0;
    std::size_t order = 0;
    std::size_t start = 0;
    while (start <= text.size()) {
        std::size_t end = text.find_first_of(u"\r\n", start);
        if (end == std::u16string_view::npos) end = text.size();
        std::u16string_view line = Trim(text.substr(start, end - start));
        start = end + 1;

        std::vector<double> times;
        while (!line.empty() && line.front() == u'[') {
            const std::size_t close = line.find(u']');
            if (close == std::u16string_view::npos) break;
            const std::u16string_view tag = Trim(line.substr(1, close - 1));
            if (auto t = ParseTime(tag))
                times.push_back(*t);
            else if (auto o = ParseOffset(tag))
                offsetMs = *o;
            line = Trim(line.substr(close + 1));
        }
        for (double t : times) timed.push_back({t, order++, std::u16string(line)});
        if (end == text.size()) break;
    }

    std::stable_sort(timed.begin(), timed.end(),
                     [](const TimedText& a, const TimedText& b) { return a.time < b.time; });
    std::vector<LyricLine> lines;
    lines.reserve(timed.size());
    for (TimedText& t : timed) {
        if (lines.empty() && t.text.empty()) continue;  // the display needs text on its first line
        const double shifted = std::max(0.0, t.time - offsetMs / 1000.0);
        lines.push_back({static_cast<float>(shifted), std::move(t.text)});
    }
    return lines;
}

namespace {

// UTF-16 behind its byte-order mark, as common editors save lyrics: FF FE little-endian, FE FF big-endian. An odd
// last byte is no character and is dropped.
std::u16string FromUtf16(std::string_view bytes, bool bigEndian) {
    std::u16string text;
    text.reserve(bytes.size() / 2);
    for (std::size_t i = 0; i + 1 < bytes.size(); i += 2) {
        const auto first = static_cast<unsigned char>(bytes[i]), second = static_cast<unsigned char>(bytes[i + 1]);
        text += static_cast<char16_t>(bigEndian ? (first << 8) | second : (second << 8) | first);
    }
    return text;
}

}  // namespace

std::u16string DecodeLyricBytes(std::string_view bytes) {
    if (bytes.size() >= 2) {
        const auto first = static_cast<unsigned char>(bytes[0]), second = static_cast<unsigned char>(bytes[1]);
        if ((first == 0xFF && second == 0xFE) || (first == 0xFE && second == 0xFF))
            return FromUtf16(bytes.substr(2), first == 0xFE);
    }
    if (bytes.size() >= 3 && static_cast<unsigned char>(bytes[0]) == 0xEF &&
        static_cast<unsigned char>(bytes[1]) == 0xBB && static_cast<unsigned char>(bytes[2]) == 0xBF)
        return text::FromUtf8(bytes.substr(3));
    const std::u16string utf8 = text::FromUtf8(bytes);
    if (utf8.find(u'\uFFFD') == std::u16string::npos) return utf8;
    return text::FromAnsi(bytes);
}

}  // namespace media
