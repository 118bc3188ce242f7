#pragma once

#include "media/readers/MediaInfo.h"

#include <cstdint>

namespace media {

// Sets BitRate and SampleRate in the forms every reader shows, MP3's included ("128Kbps", "44.1KHz"); a rate of 0,
// or one no stream can have, is unknown and leaves its field as it is.
void SetStreamRates(MediaInfo& info, std::uint64_t bitsPerSecond, std::uint64_t sampleRateHz);

// The average bit rate of `bytes` of audio that last samples / sampleRate seconds; 0 when either is
// unknown.
std::uint64_t AverageBitRate(std::uint64_t bytes, std::uint64_t samples, std::uint64_t sampleRateHz);

}  // namespace media
