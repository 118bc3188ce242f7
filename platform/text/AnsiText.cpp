#include "platform/text/AnsiText.h"

#include <iconv.h>
#include <bit>
#include <cerrno>
#include <map>
#include <string>
#include <tuple>
#include <type_traits>

namespace text {
namespace {

constexpr const char* kAnsiCodePage = "CP936";
constexpr const char* kUtf16 = std::endian::native == std::endian::little ? "UTF-16LE" : "UTF-16BE";
constexpr char16_t kReplacement = u'\uFFFD';

// Windows-1252 bytes 0x80 to 0x9F; the bytes above are Latin-1, the code points of the same value.
constexpr char16_t kWindows1252C1[32] = {
    0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160,
    0x2039, 0x0152, 0x008D, 0x017D, 0x008F, 0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
    0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178,
};

// One iconv descriptor per thread and direction: opening one costs far more than a tag text's
// conversion, and descriptors must not be shared between threads.
class IconvDescriptor {
public:
    IconvDescriptor(const char* to, const char* from) : cd_(iconv_open(to, from)) {}
    ~IconvDescriptor() {
        if (Valid()) iconv_close(cd_);
    }
    IconvDescriptor(const IconvDescriptor&) = delete;
    IconvDescriptor& operator=(const IconvDescriptor&) = delete;

    bool Valid() const { return cd_ != reinterpret_cast<iconv_t>(-1); }
    // The descriptor in its initial shift state, ready for a new text.
    iconv_t Fresh() {
        iconv(cd_, nullptr, nullptr, nullptr, nullptr);
        return cd_;
    }

private:
    iconv_t cd_;
};

IconvDescriptor& AnsiDecoder() {
    thread_local IconvDescriptor descriptor(kUtf16, kAnsiCodePage);
    return descriptor;
}

IconvDescriptor& AnsiEncoder() {
    thread_local IconvDescriptor descriptor(kAnsiCodePage, kUtf16);
    return descriptor;
}

// Length of the leading run of ASCII, which both GBK and UTF-16 carry unchanged.
template <typename Char>
std::size_t AsciiPrefix(std::basic_string_view<Char> s) {
    std::size_t i = 0;
    while (i < s.size() && static_cast<std::make_unsigned_t<Char>>(s[i]) < 0x80) ++i;
    return i;
}

// Bytes of the code page `decoder` reads, to UTF-16; a byte that starts no valid character becomes U+FFFD.
std::u16string DecodeThrough(IconvDescriptor& decoder, std::string_view bytes) {
    const std::size_t ascii = AsciiPrefix(bytes);
    std::u16string out(bytes.begin(), bytes.begin() + ascii);
    if (ascii == bytes.size()) return out;

    if (!decoder.Valid()) {
        out.append(bytes.size() - ascii, kReplacement);
        return out;
    }
    iconv_t cd = decoder.Fresh();
    // Every byte of the code pages read here yields at most one UTF-16 unit (their characters lie within the BMP,
    // or take four bytes for a pair of units; a bad byte gives one U+FFFD), so this room always suffices.
    out.resize(bytes.size());
    char* in = const_cast<char*>(bytes.data()) + ascii;
    std::size_t inLeft = bytes.size() - ascii;
    char* outPos = reinterpret_cast<char*>(out.data() + ascii);
    std::size_t outLeft = (bytes.size() - ascii) * sizeof(char16_t);
    while (inLeft > 0) {
        if (iconv(cd, &in, &inLeft, &outPos, &outLeft) != static_cast<std::size_t>(-1)) break;
        if (errno != EILSEQ && errno != EINVAL) break;
        // Undecodable (EILSEQ) or cut short at the end (EINVAL): replace one byte and go on.
        *reinterpret_cast<char16_t*>(outPos) = kReplacement;
        outPos += sizeof(char16_t);
        outLeft -= sizeof(char16_t);
        ++in;
        --inLeft;
        cd = decoder.Fresh();
    }
    out.resize(reinterpret_cast<char16_t*>(outPos) - out.data());
    return out;
}

}  // namespace

std::u16string FromAnsi(std::string_view bytes) { return DecodeThrough(AnsiDecoder(), bytes); }

std::u16string FromCodePage(const char* codePage, std::string_view bytes) {
    // A few code pages are ever asked for, each by a constant name.
    thread_local std::map<std::string, IconvDescriptor, std::less<>> decoders;
    auto it = decoders.find(std::string_view(codePage));
    if (it == decoders.end())
        it = decoders
                 .emplace(std::piecewise_construct, std::forward_as_tuple(codePage),
                          std::forward_as_tuple(kUtf16, codePage))
                 .first;
    return DecodeThrough(it->second, bytes);
}

bool ToAnsi(std::u16string_view s, std::string& out) {
    const std::size_t ascii = AsciiPrefix(s);
    out.assign(s.begin(), s.begin() + ascii);
    if (ascii == s.size()) return true;

    IconvDescriptor& encoder = AnsiEncoder();
    if (!encoder.Valid()) return false;
    // GBK needs at most two bytes for each UTF-16 unit it can represent.
    out.resize(ascii + (s.size() - ascii) * 2);
    char* in = reinterpret_cast<char*>(const_cast<char16_t*>(s.data() + ascii));
    std::size_t inLeft = (s.size() - ascii) * sizeof(char16_t);
    char* outPos = out.data() + ascii;
    std::size_t outLeft = out.size() - ascii;
    const bool converted = iconv(encoder.Fresh(), &in, &inLeft, &outPos, &outLeft) != static_cast<std::size_t>(-1);
    out.resize(outPos - out.data());
    return converted && inLeft == 0;
}

std::u16string FromWindows1252(std::string_view bytes) {
    std::u16string out;
    out.reserve(bytes.size());
    for (char c : bytes) {
        const auto byte = static_cast<unsigned char>(c);
        out += byte >= 0x80 && byte < 0xA0 ? kWindows1252C1[byte - 0x80] : static_cast<char16_t>(byte);
    }
    return out;
}

}  // namespace text
