#include "media/readers/Apev2Tag.h"
#include "media/readers/ByteSource.h"
#include "media/readers/Id3Tags.h"
#include "media/readers/MediaInfo.h"
#include "media/readers/MpegAudio.h"
#include "media/readers/Refusals.h"
#include "media/readers/StreamRates.h"

namespace media {

bool ReadMp3Info(MediaInfo& record, Refusal* why) {
    FileRegionReader file;
    if (!OpenRecordFile(file, record, why)) return false;

    MediaInfo read = record;
    const bool hasId3v1 = ReadId3v1(file, read);
    const Id3v2Location id3v2 = ReadId3v2(file, read);
    // Some taggers write an APEv2 tag (before the ID3v1 block); it gives what the ID3 tags left without a text.
    const std::optional<Apev2Location> apeTag = FindApev2Tag(file);
    if (apeTag) {
        TagFields fields;
        ReadApev2Tag(file, *apeTag, fields);
        fields.FillEmptyOf(read);
    }
    const std::uint64_t audioEnd = apeTag ? apeTag->start : file.Size() - (hasId3v1 ? kId3v1Size : 0);
    if (const auto frame = FindFirstMpegFrame(file, id3v2.audioStart, audioEnd)) {
        SetStreamRates(read, static_cast<std::uint64_t>(frame->bitRateKbps) * 1000,
                       static_cast<std::uint64_t>(frame->sampleRateHz));
    } else if (!hasId3v1 && !id3v2.found && !apeTag) {
        // Neither tags nor audio: not an MP3 we can say anything about.
        return Refuse(why, RefusalReason::NoMpegFrame);
    }
    record = std::move(read);
    return true;
}

}  // namespace media
