#include "platform/mediaplayer/EncoderTrim.h"

#include <array>
#include <cstring>
#include <fstream>
#include <vector>

namespace mediaplayer {
namespace {

// The decoder's own delay, in samples, which every MP3 decoder adds after the encoder's (as LAME documents it).
constexpr std::int64_t kDecoderDelay = 529;
// The tag lies in the first frame; a large ID3v2 tag before it is skipped by seeking, not read.
constexpr std::size_t kFrameBytes = 2048;

std::uint32_t BigEndian(const std::uint8_t* bytes, int count) {
    std::uint32_t value = 0;
    for (int i = 0; i < count; ++i) value = value << 8 | bytes[i];
    return value;
}

}  // namespace

std::optional<EncoderTrim> ReadEncoderTrim(const std::string& path) {
    std::ifstream file(path, std::ios::binary);
    std::array<std::uint8_t, 10> id3{};
    if (!file.read(reinterpret_cast<char*>(id3.data()), id3.size())) return std::nullopt;
    std::streamoff start = 0;
    if (std::memcmp(id3.data(), "ID3", 3) == 0)
        start = 10 + ((id3[6] & 0x7F) << 21 | (id3[7] & 0x7F) << 14 | (id3[8] & 0x7F) << 7 | (id3[9] & 0x7F)) +
                ((id3[5] & 0x10) ? 10 : 0);
    std::vector<std::uint8_t> frame(kFrameBytes);
    file.seekg(start);
    file.read(reinterpret_cast<char*>(frame.data()), static_cast<std::streamsize>(frame.size()));
    frame.resize(static_cast<std::size_t>(file.gcount()));
    // The first frame header: MPEG audio layer III.
    if (frame.size() < 4 || frame[0] != 0xFF || (frame[1] & 0xE0) != 0xE0 || (frame[1] & 0x06) != 0x02)
        return std::nullopt;
    const bool mpeg1 = (frame[1] & 0x18) == 0x18;
    const bool mono = (frame[3] & 0xC0) == 0xC0;
    const std::size_t sideInfo = mpeg1 ? (mono ? 17 : 32) : (mono ? 9 : 17);
    const std::int64_t samplesPerFrame = mpeg1 ? 1152 : 576;
    std::size_t at = 4 + sideInfo;
    if (at + 8 > frame.size() || (std::memcmp(&frame[at], "Xing", 4) != 0 && std::memcmp(&frame[at], "Info", 4) != 0))
        return std::nullopt;
    const std::uint32_t flags = BigEndian(&frame[at + 4], 4);
    at += 8;
    if (!(flags & 1) || at + 4 > frame.size()) return std::nullopt;  // without the count of frames, no length
    const std::int64_t frames = BigEndian(&frame[at], 4);
    at += 4;
    if (flags & 2) at += 4;
    if (flags & 4) at += 100;
    if (flags & 8) at += 4;
    // The LAME extension: a 9-byte encoder name, then at 21 its delay and padding, 12 bits each.
    if (at + 24 > frame.size()) return std::nullopt;
    const std::uint8_t* lame = &frame[at];
    const std::int64_t delay = lame[21] << 4 | lame[22] >> 4;
    const std::int64_t padding = (lame[22] & 0x0F) << 8 | lame[23];
    const std::int64_t samples = frames * samplesPerFrame - delay - padding;
    if (delay == 0 && padding == 0) return std::nullopt;
    if (samples <= 0) return std::nullopt;
    return EncoderTrim{delay + kDecoderDelay, samples};
}

}  // namespace mediaplayer
