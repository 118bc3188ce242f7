#pragma once

#include "media/readers/ByteCursor.h"

#include <cstdint>
#include <optional>
#include <string_view>

namespace media {

// FLAC metadata blocks, as a FLAC file and a FLAC stream in Ogg both carry them: a 4-byte header
// (last-block flag, 7-bit type, 24-bit big-endian length), then the body.
inline constexpr std::size_t kFlacBlockHeaderSize = 4;
inline constexpr std::size_t kFlacStreamInfoSize = 34;
inline constexpr std::uint8_t kFlacStreamInfo = 0;
inline constexpr std::uint8_t kFlacVorbisComment = 4;
inline constexpr std::uint8_t kFlacInvalidBlock = 127;

struct FlacBlockHeader {
    bool last = false;
    std::uint8_t type = kFlacInvalidBlock;
    std::uint32_t length = 0;
};

// `header` holds at least kFlacBlockHeaderSize bytes.
inline FlacBlockHeader ParseFlacBlockHeader(std::string_view header) {
    return {(ByteAt(header, 0) & 0x80) != 0, static_cast<std::uint8_t>(ByteAt(header, 0) & 0x7F),
            BigEndian(header, 1, 3)};
}

struct FlacStreamInfo {
    std::uint32_t sampleRate = 0;
    std::uint64_t totalSamples = 0;  // 0: not known
};

// STREAMINFO: block and frame sizes (10 bytes), then 20 bits of sample rate, 3 of channels, 5 of
// sample size and 36 of total samples. A rate of 0 is invalid, so no stream info.
inline std::optional<FlacStreamInfo> ParseFlacStreamInfo(std::string_view body) {
    if (body.size() < kFlacStreamInfoSize) return std::nullopt;
    const std::uint32_t rate = (BigEndian(body, 10, 3) >> 4) & 0xFFFFF;
    if (rate == 0) return std::nullopt;
    const std::uint64_t samples = (std::uint64_t{ByteAt(body, 13) & 0x0Fu} << 32) | BigEndian(body, 14, 4);
    return FlacStreamInfo{rate, samples};
}

}  // namespace media
