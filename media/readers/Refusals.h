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

}  // namespace media
