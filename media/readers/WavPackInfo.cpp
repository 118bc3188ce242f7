// WavPack files: a stream of blocks, each starting with a 32-byte "wvpk" header. The first block's header gives the
// total number of samples and, through an index into a table of common rates, the sample rate; a rate not in the
// table is written as a metadata sub-block of the first block. The texts come from the APEv2 tag at the end.
#include "media/readers/Apev2Tag.h"
#include "media/readers/ByteCursor.h"
#include "media/readers/ByteSource.h"
#include "media/readers/Id3Tags.h"
#include "media/readers/MediaInfo.h"
#include "media/readers/Refusals.h"

#include <algorithm>
#include <array>

namespace media {
namespace {

constexpr std::uint32_t kBlockHeaderSize = 32;
// Versions 4.02 to 4.10 are the stream versions WavPack 4 and 5 write.
constexpr std::uint16_t kFirstVersion = 0x402;
constexpr std::uint16_t kLastVersion = 0x410;
// The sub-blocks of a first block are read up to here: the rate sub-block comes early, and blocks are small.
constexpr std::uint32_t kMaxMetadataBytes = 64 * 1024;
constexpr std::uint32_t kUnknownSamples = 0xFFFFFFFF;
constexpr int kRateShift = 23;
constexpr std::uint32_t kRateMask = 0xF;
constexpr std::uint32_t kCustomRate = 15;
constexpr std::array<std::uint32_t, 15> kSampleRates{6000,  8000,  9600,  11025, 12000, 16000, 22050, 24000,
                                                     32000, 44100, 48000, 64000, 88200, 96000, 192000};
// Metadata sub-block ids.
constexpr std::uint8_t kIdMask = 0x3F;
constexpr std::uint8_t kIdOddSize = 0x40;
constexpr std::uint8_t kIdLarge = 0x80;
constexpr std::uint8_t kIdSampleRate = 0x27;

// The rate of a block whose header says "custom": the value of its sample-rate sub-block; 0 when there is none.
// Each sub-block is an id byte, its size in 16-bit words (one byte, or three for a large one) and its body.
std::uint32_t CustomRate(std::string_view metadata) {
    ByteCursor cursor(metadata);
    while (cursor.Ok() && cursor.Remaining() >= 2) {
        const std::uint8_t id = ByteAt(cursor.Take(1), 0);
        const std::string_view sizeBytes = cursor.Take((id & kIdLarge) ? 3 : 1);
        if (!cursor.Ok()) return 0;
        const std::size_t size =
            static_cast<std::size_t>(LittleEndian(sizeBytes, 0, static_cast<int>(sizeBytes.size()))) * 2;
        const std::string_view body = cursor.Take(size);
        if (!cursor.Ok()) return 0;
        const std::size_t used = (id & kIdOddSize) && size > 0 ? size - 1 : size;
        if ((id & kIdMask) == kIdSampleRate && used >= 3)
            return static_cast<std::uint32_t>(LittleEndian(body, 0, static_cast<int>(std::min<std::size_t>(used, 4))));
    }
    return 0;
}

}  // namespace

bool ReadWavPackInfo(MediaInfo& record, Refusal* why) {
    FileRegionReader file;
    std::uint64_t start = 0;
    if (!OpenRecordStream(file, record, start, why)) return false;
    ByteCursor header(file.Read(start, kBlockHeaderSize));
    const bool marked = header.Take(4) == "wvpk";
    const std::uint32_t blockSize = header.U32();  // the bytes after this field
    const std::uint16_t version = header.U16();
    // The high bytes of the block index and of the total (files of 4G samples and more), then the total's low bits.
    const std::uint64_t totalHigh = header.U16() >> 8;
    const std::uint32_t totalLow = header.U32();
    header.Skip(8);  // block index and samples in this block
    const std::uint32_t flags = header.U32();
    if (!header.Ok() || !marked || version < kFirstVersion || version > kLastVersion)
        return Refuse(why, RefusalReason::NoWavPackBlock);

    const std::uint32_t rateIndex = (flags >> kRateShift) & kRateMask;
    std::uint32_t sampleRate = 0;
    if (rateIndex != kCustomRate) {
        sampleRate = kSampleRates[rateIndex];
    } else if (blockSize > kBlockHeaderSize - 8) {
        const std::uint32_t metadataBytes = std::min(blockSize - (kBlockHeaderSize - 8), kMaxMetadataBytes);
        sampleRate = CustomRate(file.Read(start + kBlockHeaderSize, metadataBytes));
    }

    MediaInfo read = record;
    const std::uint64_t totalSamples = totalLow == kUnknownSamples ? 0 : (totalHigh << 32) | totalLow;
    ApplyTagAndRates(file, start, totalSamples, sampleRate, read);
    record = std::move(read);
    return true;
}

}  // namespace media
