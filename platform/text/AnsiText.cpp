#include "platform/text/AnsiText.h"

#include <bit>
#include <cerrno>
#include <iconv.h>
#include <type_traits>

namespace text {
namespace {

constexpr const char* kAnsiCodePage = "CP936";
constexpr const char* kUtf16 = std::endian::native == std::endian::little ? "UTF-16LE" : "UTF-16BE";
constexpr char16_t kReplacement = u'\uFFFD';

// One iconv descriptor per thread and direction: opening one costs far more than a tag text's
// conversion, and descriptors must not be shared between threads.
class IconvDescriptor {
public:
    IconvDescriptor(const char* to, const char* from) : cd_(iconv_open(to, from)) {}
    ~IconvDescriptor()
    {
        if (valid())
            iconv_close(cd_);
    }
    IconvDescriptor(const IconvDescriptor&) = delete;
    IconvDescriptor& operator=(const IconvDescriptor&) = delete;

    bool valid() const { return cd_ != reinterpret_cast<iconv_t>(-1); }
    // The descriptor in its initial shift state, ready for a new text.
    iconv_t fresh()
    {
        iconv(cd_, nullptr, nullptr, nullptr, nullptr);
        return cd_;
    }

private:
    iconv_t cd_;
};

IconvDescriptor& ansiDecoder()
{
    thread_local IconvDescriptor descriptor(kUtf16, kAnsiCodePage);
    return descriptor;
}

IconvDescriptor& ansiEncoder()
{
    thread_local IconvDescriptor descriptor(kAnsiCodePage, kUtf16);
    return descriptor;
}

// Length of the leading run of ASCII, which both GBK and UTF-16 carry unchanged.
template <typename Char>
std::size_t asciiPrefix(std::basic_string_view<Char> s)
{
    std::size_t i = 0;
    while (i < s.size() && static_cast<std::make_unsigned_t<Char>>(s[i]) < 0x80)
        ++i;
    return i;
}

void appendUtf8(std::string& out, char32_t c)
{
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

void appendUtf16(std::u16string& out, char32_t c)
{
    if (c < 0x10000) {
        out += static_cast<char16_t>(c);
    } else {
        c -= 0x10000;
        out += static_cast<char16_t>(0xD800 + (c >> 10));
        out += static_cast<char16_t>(0xDC00 + (c & 0x3FF));
    }
}

// Decodes one UTF-8 sequence at `i`, advancing `i`; a malformed sequence yields U+FFFD and
// advances past its lead byte only, so the following bytes are decoded on their own.
char32_t decodeUtf8(std::string_view s, std::size_t& i)
{
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
        return kReplacement;
    }
    if (i + length > s.size()) {
        ++i;
        return kReplacement;
    }
    for (int k = 1; k < length; ++k) {
        if ((byte(i + k) & 0xC0) != 0x80) {
            ++i;
            return kReplacement;
        }
        c = (c << 6) | (byte(i + k) & 0x3F);
    }
    const char32_t smallest[] = {0, 0, 0x80, 0x800, 0x10000};
    if (c < smallest[length] || c > 0x10FFFF || (c >= 0xD800 && c <= 0xDFFF)) {
        ++i;
        return kReplacement;
    }
    i += length;
    return c;
}

}  // namespace

std::u16string fromAnsi(std::string_view bytes)
{
    const std::size_t ascii = asciiPrefix(bytes);
    std::u16string out(bytes.begin(), bytes.begin() + ascii);
    if (ascii == bytes.size())
        return out;

    IconvDescriptor& decoder = ansiDecoder();
    if (!decoder.valid()) {
        out.append(bytes.size() - ascii, kReplacement);
        return out;
    }
    iconv_t cd = decoder.fresh();
    // Every GBK byte yields at most one UTF-16 unit (GBK lies within the BMP; a bad byte gives one
    // U+FFFD), so this room always suffices.
    out.resize(bytes.size());
    char* in = const_cast<char*>(bytes.data()) + ascii;
    std::size_t inLeft = bytes.size() - ascii;
    char* outPos = reinterpret_cast<char*>(out.data() + ascii);
    std::size_t outLeft = (bytes.size() - ascii) * sizeof(char16_t);
    while (inLeft > 0) {
        if (iconv(cd, &in, &inLeft, &outPos, &outLeft) != static_cast<std::size_t>(-1))
            break;
        if (errno != EILSEQ && errno != EINVAL)
            break;
        // Undecodable (EILSEQ) or cut short at the end (EINVAL): replace one byte and go on.
        *reinterpret_cast<char16_t*>(outPos) = kReplacement;
        outPos += sizeof(char16_t);
        outLeft -= sizeof(char16_t);
        ++in;
        --inLeft;
        cd = decoder.fresh();
    }
    out.resize(reinterpret_cast<char16_t*>(outPos) - out.data());
    return out;
}

bool toAnsi(std::u16string_view s, std::string& out)
{
    const std::size_t ascii = asciiPrefix(s);
    out.assign(s.begin(), s.begin() + ascii);
    if (ascii == s.size())
        return true;

    IconvDescriptor& encoder = ansiEncoder();
    if (!encoder.valid())
        return false;
    // GBK needs at most two bytes for each UTF-16 unit it can represent.
    out.resize(ascii + (s.size() - ascii) * 2);
    char* in = reinterpret_cast<char*>(const_cast<char16_t*>(s.data() + ascii));
    std::size_t inLeft = (s.size() - ascii) * sizeof(char16_t);
    char* outPos = out.data() + ascii;
    std::size_t outLeft = out.size() - ascii;
    const bool converted = iconv(encoder.fresh(), &in, &inLeft, &outPos, &outLeft) != static_cast<std::size_t>(-1);
    out.resize(outPos - out.data());
    return converted && inLeft == 0;
}

std::string toUtf8(std::u16string_view s)
{
    std::string out;
    out.reserve(s.size());
    for (std::size_t i = 0; i < s.size(); ++i) {
        const char16_t unit = s[i];
        if (unit >= 0xD800 && unit <= 0xDBFF && i + 1 < s.size() && s[i + 1] >= 0xDC00 && s[i + 1] <= 0xDFFF) {
            appendUtf8(out, 0x10000 + ((char32_t(unit) - 0xD800) << 10) + (s[i + 1] - 0xDC00));
            ++i;
        } else if (unit >= 0xD800 && unit <= 0xDFFF) {
            appendUtf8(out, kReplacement);
        } else {
            appendUtf8(out, unit);
        }
    }
    return out;
}

std::u16string fromUtf8(std::string_view bytes)
{
    std::u16string out;
    out.reserve(bytes.size());
    for (std::size_t i = 0; i < bytes.size();)
        appendUtf16(out, decodeUtf8(bytes, i));
    return out;
}

}  // namespace text
