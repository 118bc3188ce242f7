#include "media/readers/StreamRates.h"

#include <string>

namespace media {
namespace {

// Beyond these a header is damaged rather than describing a real stream.
constexpr std::uint64_t kMaxSampleRate = 1'048'575;  // FLAC's 20-bit field
constexpr std::uint64_t kMaxBitRate = 100'000'000;

std::u16string Ascii(const std::string& text) { return std::u16string(text.begin(), text.end()); }

// "128Kbps"
std::u16string BitRateText(std::uint64_t kbps) { return Ascii(std::to_string(kbps)) + u"Kbps"; }

// Kilohertz in the shortest decimal form, as rates were always shown: 44.1KHz, 22.05KHz, 8KHz.
std::u16string SampleRateText(std::uint64_t hz) {
    std::string khz = std::to_string(hz / 1000);
    if (const std::uint64_t fraction = hz % 1000) {
        const std::string digits = std::to_string(1000 + fraction).substr(1);
        khz += '.';
        khz += digits.substr(0, digits.find_last_not_of('0') + 1);
    }
    return Ascii(khz) + u"KHz";
}

}  // namespace

void SetStreamRates(MediaInfo& info, std::uint64_t bitsPerSecond, std::uint64_t sampleRateHz) {
    if (bitsPerSecond >= 500 && bitsPerSecond <= kMaxBitRate) info.BitRate = BitRateText((bitsPerSecond + 500) / 1000);
    if (sampleRateHz > 0 && sampleRateHz <= kMaxSampleRate) info.SampleRate = SampleRateText(sampleRateHz);
}

std::uint64_t AverageBitRate(std::uint64_t bytes, std::uint64_t samples, std::uint64_t sampleRateHz) {
    if (bytes == 0 || samples == 0 || sampleRateHz == 0) return 0;
    const double seconds = static_cast<double>(samples) / static_cast<double>(sampleRateHz);
    const double bitsPerSecond = static_cast<double>(bytes) * 8 / seconds;
    return bitsPerSecond < static_cast<double>(kMaxBitRate) ? static_cast<std::uint64_t>(bitsPerSecond + 0.5) : 0;
}

}  // namespace media
