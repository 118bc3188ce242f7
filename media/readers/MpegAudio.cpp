#include "media/readers/MpegAudio.h"

#include "media/readers/ByteCursor.h"

#include <algorithm>

namespace media {
namespace {

constexpr std::size_t kSearchPositions = 8192;
constexpr std::size_t kHeaderSize = 4;
// The longest frame there is: MPEG-2.5 layer II at 160 kbit/s and 8 kHz, padded.
constexpr std::size_t kLongestFrame = 2881;

enum Version { Mpeg1, Mpeg2, Mpeg25 };

// Kbit/s by [table][index]; index 0 (free format) and 15 (invalid) are refused before lookup.
constexpr int kBitRates[5][15] = {
    {0, 32, 64, 96, 128, 160, 192, 224, 256, 288, 320, 352, 384, 416, 448},  // MPEG-1 layer I
    {0, 32, 48, 56, 64, 80, 96, 112, 128, 160, 192, 224, 256, 320, 384},     // MPEG-1 layer II
    {0, 32, 40, 48, 56, 64, 80, 96, 112, 128, 160, 192, 224, 256, 320},      // MPEG-1 layer III
    {0, 32, 48, 56, 64, 80, 96, 112, 128, 144, 160, 176, 192, 224, 256},     // MPEG-2/2.5 layer I
    {0, 8, 16, 24, 32, 40, 48, 56, 64, 80, 96, 112, 128, 144, 160},          // MPEG-2/2.5 layers II, III
};

constexpr int kSampleRates[3][3] = {
    {44100, 48000, 32000},  // MPEG-1
    {22050, 24000, 16000},  // MPEG-2
    {11025, 12000, 8000},   // MPEG-2.5
};

// Encoders' summary markers lie within the first bytes after the side information.
constexpr std::size_t kSummarySearch = 64;

bool IsStreamSummary(std::string_view frame) {
    return frame.find("Xing") != std::string_view::npos || frame.find("Info") != std::string_view::npos ||
           frame.find("VBRI") != std::string_view::npos;
}

// Whether two headers describe the same stream: same version, layer and sample rate. The bit rate
// may change from frame to frame, the others do not.
bool SameStream(std::string_view header, std::string_view next) {
    return (ByteAt(header, 1) & 0xFE) == (ByteAt(next, 1) & 0xFE) &&
           (ByteAt(header, 2) & 0x0C) == (ByteAt(next, 2) & 0x0C);
}

}  // namespace

std::optional<MpegFrameHeader> ParseMpegFrameHeader(std::string_view bytes) {
    if (bytes.size() < kHeaderSize || ByteAt(bytes, 0) != 0xFF || (ByteAt(bytes, 1) & 0xE0) != 0xE0)
        return std::nullopt;
    const int versionBits = (ByteAt(bytes, 1) >> 3) & 3;
    const int layerBits = (ByteAt(bytes, 1) >> 1) & 3;  // 3 = layer I, 2 = II, 1 = III
    const int bitRateIndex = ByteAt(bytes, 2) >> 4;
    const int sampleRateIndex = (ByteAt(bytes, 2) >> 2) & 3;
    const int emphasis = ByteAt(bytes, 3) & 3;
    if (versionBits == 1 || layerBits == 0 || bitRateIndex == 0 || bitRateIndex == 15 || sampleRateIndex == 3 ||
        emphasis == 2)
        return std::nullopt;

    const Version version = versionBits == 3 ? Mpeg1 : versionBits == 2 ? Mpeg2 : Mpeg25;
    const int layer = 4 - layerBits;
    const int table = version == Mpeg1 ? layer - 1 : (layer == 1 ? 3 : 4);
    const int bitRate = kBitRates[table][bitRateIndex];
    const int sampleRate = kSampleRates[version][sampleRateIndex];
    const int padding = (ByteAt(bytes, 2) >> 1) & 1;
    // Layer I counts in 4-byte slots; MPEG-2/2.5 layer III frames hold half the samples.
    const int frameBytes = layer == 1
                               ? (12000 * bitRate / sampleRate + padding) * 4
                               : (layer == 3 && version != Mpeg1 ? 72000 : 144000) * bitRate / sampleRate + padding;
    return MpegFrameHeader{bitRate, sampleRate, static_cast<std::size_t>(frameBytes)};
}

std::optional<MpegFrameHeader> FindFirstMpegFrame(ByteSource& source, std::uint64_t start, std::uint64_t end) {
    if (start >= end) return std::nullopt;
    // One read holds every position searched and the frame that follows the last of them.
    const std::uint64_t audioBytes = end - start;
    const auto span = static_cast<std::size_t>(
        std::min<std::uint64_t>(audioBytes, kSearchPositions - 1 + kLongestFrame + kHeaderSize));
    const std::string_view bytes = source.Read(start, span);
    for (std::size_t i = 0; i < kSearchPositions && i + kHeaderSize <= bytes.size(); ++i) {
        if (ByteAt(bytes, i) != 0xFF) continue;
        const auto header = ParseMpegFrameHeader(bytes.substr(i));
        if (!header) continue;
        // A sync pattern turns up by chance in junk, a text's byte-order mark or another format's
        // header; a header is believed only when its frame is followed by another of the same
        // stream, or ends the audio.
        const std::size_t next = i + header->frameBytes;
        if (next == audioBytes) return header;
        const auto following = ParseMpegFrameHeader(bytes.substr(std::min(next, bytes.size())));
        if (!following || !SameStream(bytes.substr(i), bytes.substr(next))) continue;
        if (IsStreamSummary(bytes.substr(i, std::min<std::size_t>(header->frameBytes, kSummarySearch))))
            return following;
        return header;
    }
    return std::nullopt;
}

}  // namespace media
