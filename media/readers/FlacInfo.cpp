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

}  // namespace

bool ReadFlacInfo(MediaInfo& record, Refusal* why) {
    FileRegionReader file;
    std::uint64_t start = 0;  // after an ID3v2 tag some taggers put first: the Vorbis comment is the tag of FLAC
    if (!OpenRecordStream(file, record, start, why)) return false;
    if (file.Read(start, 4) != "fLaC") return Refuse(why, RefusalReason::NoFlacMarker);

    TagFields fields;
    std::optional<FlacStreamInfo> stream;
    std::uint64_t audioStart = 0;  // known once the last block has been seen whole
    bool commentRead = false;
    std::uint64_t pos = start + 4;
    for (int blocks = 0; blocks < kMaxBlocks; ++blocks) {
        const std::string_view header = file.Read(pos, kFlacBlockHeaderSize);
        if (header.size() < kFlacBlockHeaderSize) break;
        const FlacBlockHeader block = ParseFlacBlockHeader(header);
        if (block.type == kFlacInvalidBlock) break;
        const std::uint64_t body = pos + kFlacBlockHeaderSize;
        if (block.type == kFlacStreamInfo && !stream) {
            stream = ParseFlacStreamInfo(file.Read(body, std::min<std::uint32_t>(block.length, kFlacStreamInfoSize)));
        } else if (block.type == kFlacVorbisComment && !commentRead) {
            // A stream has one comment block; where a tagger left a second, the first is the tag, as the FLAC
            // libraries read it. A block cut short by the end of the file still gives its whole fields.
            commentRead = true;
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
