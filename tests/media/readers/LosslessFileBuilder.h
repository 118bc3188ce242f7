#pragma once
// Monkey's Audio and WavPack files and APEv2 tags built byte by byte, laid out as the encoders and taggers write
// them, for the reader tests and the fuzz seeds.

#include "tests/media/readers/TagFileBuilder.h"

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace tagfile {

// --- APEv2 ---------------------------------------------------------------------------------------

inline constexpr std::uint32_t kApeItemBinary = 2;

inline std::string ApeItem(std::string_view key, std::string_view value, std::uint32_t flags = 0) {
    return LittleEndian(value.size(), 4) + LittleEndian(flags, 4) + std::string(key) + '\0' + std::string(value);
}

// A header or footer: the size counts the items and the footer.
inline std::string ApeTagEnd(std::uint32_t version, std::size_t itemBytes, std::size_t count, std::uint32_t flags) {
    return "APETAGEX" + LittleEndian(version, 4) + LittleEndian(itemBytes + 32, 4) + LittleEndian(count, 4) +
           LittleEndian(flags, 4) + std::string(8, '\0');
}

// An APEv2 tag with header and footer (APEv1: footer only).
inline std::string ApeTag(const std::vector<std::string>& items, std::uint32_t version = 2000) {
    std::string body;
    for (const std::string& item : items) body += item;
    constexpr std::uint32_t kHasHeader = 1u << 31, kIsHeader = 1u << 29;
    if (version == 1000) return body + ApeTagEnd(version, body.size(), items.size(), 0);
    return ApeTagEnd(version, body.size(), items.size(), kHasHeader | kIsHeader) + body +
           ApeTagEnd(version, body.size(), items.size(), kHasHeader);
}

// --- Monkey's Audio ------------------------------------------------------------------------------

struct ApeStreamFields {
    std::uint16_t version = 3990;
    std::uint32_t sampleRate = 44100;
    std::uint16_t channels = 2;
    std::uint32_t totalFrames = 0;
    std::uint32_t finalFrameBlocks = 0;
    std::uint32_t blocksPerFrame = 73728 * 4;  // what 3.95 and later write
    std::uint16_t compression = 2000;
};

// The header as the version writes it ("MAC " descriptor and header from 3.98 on, the old header before), then
// `audioBytes` of frames.
inline std::string ApeFile(const ApeStreamFields& f, std::size_t audioBytes) {
    std::string out = "MAC " + LittleEndian(f.version, 2);
    if (f.version >= 3980) {
        out += LittleEndian(0, 2) + LittleEndian(52, 4) + LittleEndian(24, 4) + LittleEndian(0, 4) +
               LittleEndian(0, 4) + LittleEndian(audioBytes, 4) + LittleEndian(0, 4) + LittleEndian(0, 4) +
               std::string(16, '\0');
        out += LittleEndian(f.compression, 2) + LittleEndian(0, 2) + LittleEndian(f.blocksPerFrame, 4) +
               LittleEndian(f.finalFrameBlocks, 4) + LittleEndian(f.totalFrames, 4) + LittleEndian(16, 2) +
               LittleEndian(f.channels, 2) + LittleEndian(f.sampleRate, 4);
    } else {
        out += LittleEndian(f.compression, 2) + LittleEndian(0, 2) + LittleEndian(f.channels, 2) +
               LittleEndian(f.sampleRate, 4) + LittleEndian(44, 4) + LittleEndian(0, 4) +
               LittleEndian(f.totalFrames, 4) + LittleEndian(f.finalFrameBlocks, 4);
    }
    return out + std::string(audioBytes, '\x5A');
}

// --- WavPack -------------------------------------------------------------------------------------

inline constexpr std::uint32_t kWavPackRate44k = 9;
inline constexpr std::uint32_t kWavPackCustomRate = 15;

// One block: the 32-byte header (16-bit stereo, the rate index given) followed by `body` (its metadata and audio).
inline std::string WavPackBlock(std::uint32_t totalSamples, std::uint32_t rateIndex, std::string_view body,
                                std::uint16_t version = 0x410) {
    const std::uint32_t flags = 1 | (rateIndex << 23) | (1u << 11) | (1u << 12);  // 2 bytes a sample, first and last
    return "wvpk" + LittleEndian(24 + body.size(), 4) + LittleEndian(version, 2) + LittleEndian(0, 2) +
           LittleEndian(totalSamples, 4) + LittleEndian(0, 4) + LittleEndian(totalSamples, 4) + LittleEndian(flags, 4) +
           LittleEndian(0, 4) + std::string(body);
}

// A metadata sub-block: id, size in 16-bit words, the data padded to even length.
inline std::string WavPackSubBlock(std::uint8_t id, std::string data) {
    if (data.size() % 2) {
        id |= 0x40;
        data += '\0';
    }
    return std::string(1, static_cast<char>(id)) + static_cast<char>(data.size() / 2) + data;
}

}  // namespace tagfile
