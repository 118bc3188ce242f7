// FLAC files: the STREAMINFO block gives the sample rate and the sample count, the VORBIS_COMMENT
// block the texts. The bit rate is the average of the audio frames: the bytes after the last
// metadata block over the stream's duration, known without reading any audio.
#include "media/readers/ByteSource.h"
#include "media/readers/FlacBlocks.h"
#include "media/readers/MediaInfo.h"
#include "media/readers/Refusals.h"
#include "media/readers/SlicedSource.h"
#include "media/readers/StreamRates.h"
#include "media/readers/TagFields.h"
#include "media/readers/VorbisComment.h"

#include <algorithm>

namespace media {
namespace {

// Encoders write a handful of blocks; padding and pictures included, real files stay far below.
constexpr int kMaxBlocks = 256;
constexpr std::size_t kId3HeaderSize = 10;

// Some taggers put an ID3v2 tag before the FLAC stream; it is passed over, since the Vorbis
// comment is the tag of a FLAC file.
std::uint64_t StreamStart(ByteSource& file) {
    const std::string_view header = file.Read(0, kId3HeaderSize);
    if (header.size() < kId3HeaderSize || header.substr(0, 3) != "ID3") return 0;
    const bool footer = ByteAt(header, 3) == 4 && (ByteAt(header, 5) & 0x10);
    return kId3HeaderSize + Syncsafe(header, 6) + (footer ? kId3HeaderSize : 0);
}

}  // namespace

bool ReadFlacInfo(MediaInfo& record, Refusal* why) {
    FileRegionReader file;
    if (!OpenRecordFile(file, record, why)) return false;
    const std::uint64_t start = StreamStart(file);
    if (start > file.Size()) return Refuse(why, RefusalReason::TagPastEnd);
    if (file.Read(start, 4) != "fLaC") return Refuse(why, RefusalReason::NoFlacMarker);

    TagFields fields;
    std::optional<FlacStreamInfo> stream;
    std::uint64_t audioStart = 0;  // known once the last block has been seen whole
    std::uint64_t pos = start + 4;
    for (int blocks = 0; blocks < kMaxBlocks; ++blocks) {
        const std::string_view header = file.Read(pos, kFlacBlockHeaderSize);
        if (header.size() < kFlacBlockHeaderSize) break;
        const FlacBlockHeader block = ParseFlacBlockHeader(header);
        if (block.type == kFlacInvalidBlock) break;
        const std::uint64_t body = pos + kFlacBlockHeaderSize;
        if (block.type == kFlacStreamInfo && !stream) {
            stream = ParseFlacStreamInfo(file.Read(body, std::min<std::uint32_t>(block.length, kFlacStreamInfoSize)));
        } else if (block.type == kFlacVorbisComment) {
            // A block cut short by the end of the file still gives its whole fields.
            SlicedSource comment(file, body, block.length);
            ReadVorbisComment(comment, fields);
        }
        pos = body + block.length;
        if (pos > file.Size()) break;
        if (block.last) {
            audioStart = pos;
            break;
        }
    }

    MediaInfo read = record;
    fields.ApplyTo(read);
    if (stream) {
        const std::uint64_t audioBytes = audioStart > 0 ? file.Size() - audioStart : 0;
        SetStreamRates(read, AverageBitRate(audioBytes, stream->totalSamples, stream->sampleRate), stream->sampleRate);
    }
    record = std::move(read);
    return true;
}

}  // namespace media
