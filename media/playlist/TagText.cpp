#include "media/playlist/TagText.h"

#include <algorithm>
#include <cstdlib>

namespace media::tagtext {
namespace {

char16_t lowerAscii(char16_t c)
{
    return c >= u'A' && c <= u'Z' ? static_cast<char16_t>(c - u'A' + u'a') : c;
}

std::size_t findIgnoringAsciiCase(std::u16string_view s, std::u16string_view what, std::size_t from)
{
    const auto same = [](char16_t a, char16_t b) { return lowerAscii(a) == lowerAscii(b); };
    const auto hit = std::search(s.begin() + from, s.end(), what.begin(), what.end(), same);
    return hit == s.end() ? std::u16string_view::npos : static_cast<std::size_t>(hit - s.begin());
}

template <typename Find>
void eraseEach(std::u16string& s, std::u16string_view what, Find find)
{
    if (what.empty())
        return;
    std::u16string kept;
    std::size_t from = 0;
    for (std::size_t hit; (hit = find(s, what, from)) != std::u16string_view::npos; from = hit + what.size())
        kept.append(s, from, hit - from);
    if (from == 0)
        return;
    kept.append(s, from);
    s = std::move(kept);
}

}  // namespace

std::u16string clean(std::u16string_view s)
{
    std::u16string out;
    out.reserve(s.size());
    for (char16_t c : s)
        if (c != 0)
            out += c;
    const std::size_t first = out.find_first_not_of(u' ');
    if (first == std::u16string::npos)
        return {};
    out.erase(out.find_last_not_of(u' ') + 1);
    out.erase(0, first);
    return out;
}

Number numberOf(std::u16string_view s)
{
    std::string digits;
    bool point = false;
    for (char16_t c : s) {
        if (c == u' ' || c == u'\t' || c == u'\r' || c == u'\n')
            continue;
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

std::u16string collapseSpacePairs(std::u16string_view s)
{
    std::u16string out;
    out.reserve(s.size());
    for (std::size_t i = 0; i < s.size(); ++i) {
        out += s[i];
        if (s[i] == u' ' && i + 1 < s.size() && s[i + 1] == u' ')
            ++i;
    }
    return out;
}

void eraseAll(std::u16string& s, std::u16string_view what)
{
    eraseEach(s, what, [](std::u16string_view in, std::u16string_view w, std::size_t from) { return in.find(w, from); });
}

void eraseAllIgnoringAsciiCase(std::u16string& s, std::u16string_view what)
{
    eraseEach(s, what, findIgnoringAsciiCase);
}

bool containsIgnoringAsciiCase(std::u16string_view s, std::u16string_view what)
{
    return findIgnoringAsciiCase(s, what, 0) != std::u16string_view::npos;
}

std::u16string asciiLower(std::u16string_view s)
{
    std::u16string out(s);
    std::transform(out.begin(), out.end(), out.begin(), lowerAscii);
    return out;
}

std::vector<std::u16string_view> split(std::u16string_view s, char16_t separator)
{
    std::vector<std::u16string_view> parts;
    std::size_t from = 0;
    for (std::size_t at; (at = s.find(separator, from)) != std::u16string_view::npos; from = at + 1)
        parts.push_back(s.substr(from, at - from));
    parts.push_back(s.substr(from));
    return parts;
}

std::u16string fromUtf16(std::string_view bytes, bool bigEndian)
{
    std::u16string out(bytes.size() / 2, u'\0');
    for (std::size_t i = 0; i < out.size(); ++i) {
        const auto first = static_cast<unsigned char>(bytes[2 * i]);
        const auto second = static_cast<unsigned char>(bytes[2 * i + 1]);
        out[i] = static_cast<char16_t>(bigEndian ? (first << 8) | second : (second << 8) | first);
    }
    return out;
}

}  // namespace media::tagtext
