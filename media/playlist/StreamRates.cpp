#include "media/playlist/StreamRates.h"

#include "media/playlist/MpegAudio.h"

namespace media {
namespace {

// Beyond these a header is damaged rather than describing a real stream.
constexpr std::uint64_t kMaxSampleRate = 1'048'575;  // FLAC's 20-bit field
constexpr std::uint64_t kMaxBitRate = 100'000'000;

}  // namespace

void setStreamRates(MediaInfo& info, std::uint64_t bitsPerSecond, std::uint64_t sampleRateHz)
{
    // The MPEG frame header owns the rate texts, so every format shows them alike.
    MpegFrameHeader rates;
    if (bitsPerSecond >= 500 && bitsPerSecond <= kMaxBitRate) {
        rates.bitRateKbps = static_cast<int>((bitsPerSecond + 500) / 1000);
        info.BitRate = rates.bitRateText();
    }
    if (sampleRateHz > 0 && sampleRateHz <= kMaxSampleRate) {
        rates.sampleRateHz = static_cast<int>(sampleRateHz);
        info.SampleRate = rates.sampleRateText();
    }
}

std::uint64_t averageBitRate(std::uint64_t bytes, std::uint64_t samples, std::uint64_t sampleRateHz)
{
    if (bytes == 0 || samples == 0 || sampleRateHz == 0)
        return 0;
    const double seconds = static_cast<double>(samples) / static_cast<double>(sampleRateHz);
    const double bitsPerSecond = static_cast<double>(bytes) * 8 / seconds;
    return bitsPerSecond < static_cast<double>(kMaxBitRate) ? static_cast<std::uint64_t>(bitsPerSecond + 0.5) : 0;
}

}  // namespace media
