// Monkey's Audio files: the header gives the sample rate, the channels and the number of blocks (one sample of
// every channel), so the duration; the bit rate is the average of the stream, its bytes over that duration; the
// texts come from the APEv2 tag at the end. Version 3.98 and later start with a descriptor that says where the
// header lies; earlier versions start with the header itself.
#include "media/readers/Apev2Tag.h"
#include "media/readers/ByteCursor.h"
#include "media/readers/ByteSource.h"
#include "media/readers/Id3Tags.h"
#include "media/readers/MediaInfo.h"
#include "media/readers/Refusals.h"

namespace media {
namespace {

constexpr std::uint16_t kOldestVersion = 3930;      // 3.93, the oldest the reader was asked to know
constexpr std::uint16_t kDescriptorVersion = 3980;  // 3.98: the descriptor comes first
constexpr std::uint16_t kNewestVersion = 9999;      // beyond this the field is damage, not a version
constexpr std::size_t kOldHeaderSize = 32;
constexpr std::size_t kDescriptorSize = 52;
constexpr std::size_t kHeaderSize = 24;
// A descriptor says how long it is; encoders write 52 bytes. More than this is damage.
constexpr std::uint32_t kMaxDescriptorBytes = 1024;
constexpr std::uint16_t kMaxChannels = 32;
constexpr std::uint32_t kMaxSampleRate = 1'000'000;

struct ApeStream {
    std::uint32_t sampleRate = 0;
    std::uint16_t channels = 0;
    std::uint32_t blocksPerFrame = 0;
    std::uint32_t finalFrameBlocks = 0;
    std::uint32_t totalFrames = 0;

    std::uint64_t TotalBlocks() const {
        return totalFrames == 0 ? 0 : std::uint64_t{totalFrames - 1} * blocksPerFrame + finalFrameBlocks;
    }
};

// Before 3.98 the frame length was fixed by the version (and, in 3.80 to 3.89, by the compression level).
std::uint32_t OldBlocksPerFrame(std::uint16_t version, std::uint16_t compression) {
    constexpr std::uint16_t kExtraHigh = 4000;
    if (version >= 3950) return 73728 * 4;
    if (version >= 3900 || (version >= 3800 && compression == kExtraHigh)) return 73728;
    return 9216;
}

std::optional<ApeStream> OldHeader(std::string_view bytes, std::uint16_t version) {
    ByteCursor cursor(bytes);
    cursor.Skip(6);  // "MAC " and the version
    const std::uint16_t compression = cursor.U16();
    cursor.Skip(2);  // format flags
    ApeStream stream;
    stream.channels = cursor.U16();
    stream.sampleRate = cursor.U32();
    cursor.Skip(8);  // the WAV header and terminating bytes
    stream.totalFrames = cursor.U32();
    stream.finalFrameBlocks = cursor.U32();
    stream.blocksPerFrame = OldBlocksPerFrame(version, compression);
    if (!cursor.Ok()) return std::nullopt;
    return stream;
}

std::optional<ApeStream> NewHeader(ByteSource& file, std::uint64_t start) {
    ByteCursor descriptor(file.Read(start, kDescriptorSize));
    descriptor.Skip(8);  // "MAC ", the version and padding
    const std::uint32_t descriptorBytes = descriptor.U32();
    if (!descriptor.Ok() || descriptorBytes < kDescriptorSize - 16 || descriptorBytes > kMaxDescriptorBytes)
        return std::nullopt;
    ByteCursor header(file.Read(start + descriptorBytes, kHeaderSize));
    header.Skip(4);  // compression level and format flags
    ApeStream stream;
    stream.blocksPerFrame = header.U32();
    stream.finalFrameBlocks = header.U32();
    stream.totalFrames = header.U32();
    header.Skip(2);  // bits per sample
    stream.channels = header.U16();
    stream.sampleRate = header.U32();
    if (!header.Ok()) return std::nullopt;
    return stream;
}

bool Plausible(const ApeStream& stream) {
    return stream.channels >= 1 && stream.channels <= kMaxChannels && stream.sampleRate >= 1 &&
           stream.sampleRate <= kMaxSampleRate && stream.finalFrameBlocks <= stream.blocksPerFrame;
}

}  // namespace

bool ReadApeInfo(MediaInfo& record, Refusal* why) {
    FileRegionReader file;
    std::uint64_t start = 0;
    if (!OpenRecordStream(file, record, start, why)) return false;
    const std::string_view head = file.Read(start, kOldHeaderSize);
    if (head.size() < 6 || head.substr(0, 4) != "MAC ") return Refuse(why, RefusalReason::NoApeHeader);
    const auto version = static_cast<std::uint16_t>(LittleEndian(head, 4, 2));
    if (version < kOldestVersion || version > kNewestVersion) return Refuse(why, RefusalReason::NoApeHeader);
    const std::optional<ApeStream> stream =
        version >= kDescriptorVersion ? NewHeader(file, start) : OldHeader(head, version);
    if (!stream || !Plausible(*stream)) return Refuse(why, RefusalReason::BadApeHeader);

    MediaInfo read = record;
    ApplyTagAndRates(file, start, stream->TotalBlocks(), stream->sampleRate, read);
    record = std::move(read);
    return true;
}

}  // namespace media
