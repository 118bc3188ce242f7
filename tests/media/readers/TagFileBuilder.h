#pragma once
// Builds MP3 and ASF files byte by byte, laid out as taggers and encoders write them. Shared by
// the reader tests, the media-info test and the tag benchmark.

#include "platform/text/AnsiText.h"

#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace tagfile {

inline std::string Gbk(std::u16string_view s) {
    std::string out;
    text::ToAnsi(s, out);
    return out;
}

inline std::string Utf16(std::u16string_view s, bool bigEndian = false) {
    std::string out;
    for (char16_t c : s) {
        const char high = static_cast<char>(c >> 8), low = static_cast<char>(c & 0xFF);
        out += bigEndian ? high : low;
        out += bigEndian ? low : high;
    }
    return out;
}

inline std::string LittleEndian(std::uint64_t value, int bytes) {
    std::string out;
    for (int i = 0; i < bytes; ++i) out += static_cast<char>((value >> (8 * i)) & 0xFF);
    return out;
}

inline std::string BigEndian(std::uint32_t value, int bytes) {
    std::string out;
    for (int i = bytes - 1; i >= 0; --i) out += static_cast<char>((value >> (8 * i)) & 0xFF);
    return out;
}

inline std::string Syncsafe(std::uint32_t value) {
    std::string out;
    for (int shift = 21; shift >= 0; shift -= 7) out += static_cast<char>((value >> shift) & 0x7F);
    return out;
}

inline std::string Padded(std::string_view s, std::size_t size) {
    std::string out(s.substr(0, size));
    out.resize(size, '\0');
    return out;
}

// --- MP3 -----------------------------------------------------------------------------------------

inline std::string Id3v1(std::string_view title, std::string_view artist, std::string_view album = {},
                         std::string_view year = {}) {
    return "TAG" + Padded(title, 30) + Padded(artist, 30) + Padded(album, 30) + Padded(year, 4) + Padded({}, 30) +
           std::string(1, '\xFF');
}

// A frame of ID3v2.2 (3-letter id, 3-byte size), 2.3 (plain size) or 2.4 (syncsafe size).
inline std::string Id3v2Frame(int version, std::string_view id, std::string_view body, std::uint8_t formatFlags = 0) {
    if (version == 2)
        return std::string(id) + BigEndian(static_cast<std::uint32_t>(body.size()), 3) + std::string(body);
    const auto size = static_cast<std::uint32_t>(body.size());
    return std::string(id) + (version == 4 ? Syncsafe(size) : BigEndian(size, 4)) + '\0' +
           static_cast<char>(formatFlags) + std::string(body);
}

// Encoding byte 0 ANSI, 1 UTF-16 with BOM, 2 UTF-16BE, 3 UTF-8.
inline std::string TextBody(int encoding, std::u16string_view text) {
    std::string body(1, static_cast<char>(encoding));
    switch (encoding) {
        case 0: return body + Gbk(text);
        case 1: return body + "\xFF\xFE" + Utf16(text);
        case 2: return body + Utf16(text, true);
        default: return body + text::ToUtf8(text);
    }
}

inline std::string Id3v2Tag(int version, std::string_view frames, std::size_t padding = 0, std::uint8_t flags = 0) {
    return "ID3" + std::string(1, static_cast<char>(version)) + '\0' + static_cast<char>(flags) +
           Syncsafe(static_cast<std::uint32_t>(frames.size() + padding)) + std::string(frames) +
           std::string(padding, '\0');
}

// MPEG audio: frames with the given second and third header bytes, zero-filled, `bytes` long, one every `frameSize`
// bytes (the length the header gives, as encoders write them and as the reader checks).
inline std::string MpegAudio(std::uint8_t byte1, std::uint8_t byte2, std::size_t bytes, std::size_t frameSize) {
    std::string out(bytes, '\0');
    for (std::size_t at = 0; at + 4 <= bytes; at += frameSize) {
        out[at] = '\xFF';
        out[at + 1] = static_cast<char>(byte1);
        out[at + 2] = static_cast<char>(byte2);
    }
    return out;
}
// MPEG-1 layer III, 128 kbit/s, 44.1 kHz, unpadded: 144000 x 128 / 44100 = 417 bytes a frame.
inline std::string Mpeg1Audio(std::size_t bytes = 4096) { return MpegAudio(0xFB, 0x90, bytes, 417); }

// --- ASF -----------------------------------------------------------------------------------------

// Stored form of a GUID given in registry form without braces.
inline std::string Guid(std::string_view text) {
    std::string hex;
    for (char c : text)
        if (c != '-') hex += c;
    std::string bytes;
    for (std::size_t i = 0; i < 32; i += 2)
        bytes += static_cast<char>(std::strtoul(hex.substr(i, 2).c_str(), nullptr, 16));
    for (auto [at, count] : {std::pair{0, 4}, {4, 2}, {6, 2}})  // the first three groups little-endian
        std::reverse(bytes.begin() + at, bytes.begin() + at + count);
    return bytes;
}

inline const std::string kAsfHeader = Guid("75B22630-668E-11CF-A6D9-00AA0062CE6C");
inline const std::string kAsfCodecList = Guid("86D15240-311D-11D0-A3A4-00A0C90348F6");
inline const std::string kAsfContentDescription = Guid("75B22633-668E-11CF-A6D9-00AA0062CE6C");
inline const std::string kAsfExtendedContent = Guid("D2D0A440-E307-11D2-97F0-00A0C95EA850");
inline const std::string kAsfFileProperties = Guid("8CABDCA1-A947-11CF-8EE4-00C00C205365");
inline const std::string kAsfStreamProperties = Guid("B7DC0791-A9B7-11CF-8EE6-00C00C205365");
inline const std::string kAsfData = Guid("75B22636-668E-11CF-A6D9-00AA0062CE6C");

inline std::string AsfObject(const std::string& id, std::string_view body) {
    return id + LittleEndian(24 + body.size(), 8) + std::string(body);
}

// The objects every encoder writes (and strict readers insist on): file properties and one audio
// stream, 128 kbit/s stereo at 44.1 kHz.
inline std::vector<std::string> AsfMandatoryObjects() {
    const std::string waveFormat = LittleEndian(0x161, 2) + LittleEndian(2, 2) + LittleEndian(44100, 4) +
                                   LittleEndian(16000, 4) + LittleEndian(0x2E7, 2) + LittleEndian(16, 2) +
                                   LittleEndian(0, 2);
    const std::string stream = Guid("F8699E40-5B4D-11CF-A8FD-00805F5C442B") +
                               Guid("20FB5700-5B55-11CF-A8FD-00805F5C442B") + LittleEndian(0, 8) +
                               LittleEndian(waveFormat.size(), 4) + LittleEndian(0, 4) + LittleEndian(1, 2) +
                               LittleEndian(0, 4) + waveFormat;
    return {AsfObject(kAsfFileProperties, std::string(80, '\0')), AsfObject(kAsfStreamProperties, stream)};
}

// Header object holding `objects`, then a data object of `dataBytes`.
inline std::string AsfFile(const std::vector<std::string>& objects, std::size_t dataBytes = 2048) {
    std::string inner;
    for (const std::string& object : objects) inner += object;
    return kAsfHeader + LittleEndian(30 + inner.size(), 8) + LittleEndian(objects.size(), 4) + "\x01\x02" + inner +
           AsfObject(kAsfData, std::string(dataBytes, '\0'));
}

inline std::string AsfContentDescription(std::u16string_view title, std::u16string_view author,
                                         std::u16string_view copyright = {}) {
    // Texts are stored with their terminating NUL, as writers do.
    const auto stored = [](std::u16string_view s) {
        return s.empty() ? std::string() : Utf16(s) + std::string(2, '\0');
    };
    const std::string texts[] = {stored(title), stored(author), stored(copyright)};
    std::string body;
    for (const std::string& t : texts) body += LittleEndian(t.size(), 2);
    body += LittleEndian(0, 2) + LittleEndian(0, 2);
    for (const std::string& t : texts) body += t;
    return AsfObject(kAsfContentDescription, body);
}

struct AsfDescriptor {
    std::u16string name;
    std::u16string text;  // stored as a text value (type 0)
};

inline std::string AsfExtendedContent(const std::vector<AsfDescriptor>& descriptors) {
    std::string body = LittleEndian(descriptors.size(), 2);
    for (const AsfDescriptor& d : descriptors) {
        const std::string name = Utf16(d.name) + std::string(2, '\0');
        const std::string value = Utf16(d.text) + std::string(2, '\0');
        body += LittleEndian(name.size(), 2) + name + LittleEndian(0, 2) + LittleEndian(value.size(), 2) + value;
    }
    return AsfObject(kAsfExtendedContent, body);
}

struct AsfCodec {
    int type;  // 1 video, 2 audio
    std::u16string name;
    std::u16string description;
};

inline std::string AsfCodecList(const std::vector<AsfCodec>& codecs) {
    std::string body = std::string(16, '\0') + LittleEndian(codecs.size(), 4);
    for (const AsfCodec& c : codecs)
        body += LittleEndian(c.type, 2) + LittleEndian(c.name.size(), 2) + Utf16(c.name) +
                LittleEndian(c.description.size(), 2) + Utf16(c.description) + LittleEndian(2, 2) + "\x61\x01";
    return AsfObject(kAsfCodecList, body);
}

// --- Files ---------------------------------------------------------------------------------------

inline void WriteFile(const std::filesystem::path& path, std::string_view bytes) {
    std::ofstream(path, std::ios::binary).write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
}

inline std::string ReadFile(const std::filesystem::path& path) {
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), {});
}

// A fresh folder under the system's temporary folder, removed with everything in it.
class TempDir {
public:
    TempDir() {
        std::string pattern = (std::filesystem::temp_directory_path() / "media-test-XXXXXX").string();
        path_ = ::mkdtemp(pattern.data());
    }
    ~TempDir() {
        std::error_code ignored;
        std::filesystem::remove_all(path_, ignored);
    }
    TempDir(const TempDir&) = delete;
    TempDir& operator=(const TempDir&) = delete;

    const std::filesystem::path& Path() const { return path_; }
    std::filesystem::path operator/(std::string_view name) const { return path_ / name; }

private:
    std::filesystem::path path_;
};

}  // namespace tagfile
