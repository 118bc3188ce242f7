#pragma once

#include "media/readers/ByteSource.h"
#include "media/readers/MediaInfo.h"

#include <cstdint>

namespace media {

inline constexpr std::uint64_t kId3v1Size = 128;

// Reads the ID3v1 block at the end of the file into `info`; true when there is one.
bool ReadId3v1(ByteSource& file, MediaInfo& info);

struct Id3v2Location {
    bool found = false;
    std::uint64_t audioStart = 0;  // first byte after the tag (0 without one)
};

// Reads the ID3v2 tag (versions 2.2 to 2.4) at the start of the file into `info`.
Id3v2Location ReadId3v2(ByteSource& file, MediaInfo& info);

}  // namespace media
