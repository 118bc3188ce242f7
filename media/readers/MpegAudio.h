#pragma once

#include "media/readers/ByteSource.h"

#include <optional>
#include <string>
#include <string_view>

namespace media {

// The facts of one MPEG audio frame header (MPEG-1, 2 and 2.5; layers I to III).
struct MpegFrameHeader {
    int bitRateKbps = 0;
    int sampleRateHz = 0;
    std::size_t frameBytes = 0;  // header included
};

// The header at the start of `bytes` when its four bytes form a valid frame header: 11 sync
// bits, a known version and layer, and a bit-rate and sample-rate index that name real rates.
std::optional<MpegFrameHeader> ParseMpegFrameHeader(std::string_view bytes);

// The first valid frame header among the 8192 positions from `start`, within [start, end), whose
// frame is followed by the header of another frame of the same stream or ends exactly at `end`. When
// that frame only carries an encoder's stream summary ("Xing", "Info", "VBRI"), whose header rate
// the encoder picked to fit the summary, the header of the frame after it.
std::optional<MpegFrameHeader> FindFirstMpegFrame(ByteSource& source, std::uint64_t start, std::uint64_t end);

}  // namespace media
