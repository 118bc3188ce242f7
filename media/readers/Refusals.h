#pragma once

#include "media/readers/ByteSource.h"
#include "media/readers/MediaInfo.h"

namespace media {

// Tells the caller why a reader refuses the file, where it asked; always false, so that a reader
// can `return Refuse(why, ...)`.
inline bool Refuse(Refusal* why, RefusalReason reason, int error = 0) {
    if (why) *why = Refusal{reason, error};
    return false;
}

// Opens the record's file for a reader; false, with the reason, when it cannot be read.
bool OpenRecordFile(FileRegionReader& file, const MediaInfo& record, Refusal* why);
// The same for a format with a tag of its own, which some taggers still precede with an ID3v2 tag: `start` is where
// the stream begins after it. False, with the reason, also when that tag claims more bytes than the file has.
bool OpenRecordStream(FileRegionReader& file, const MediaInfo& record, std::uint64_t& start, Refusal* why);

}  // namespace media
