#pragma once

#include "media/readers/ByteSource.h"
#include "media/readers/MediaInfo.h"

#include <cstdint>

namespace media {

inline constexpr std::uint64_t kId3v1Size = 128;

// Whether the file ends with an ID3v1 block ("TAG", any case, 128 bytes from the end).
bool HasId3v1(ByteSource& file);
// Reads the ID3v1 block at the end of the file into `info`; true when there is one.
bool ReadId3v1(ByteSource& file, MediaInfo& info);

struct Id3v2Location {
    bool found = false;
    std::uint64_t audioStart = 0;  // first byte after the tag (0 without one)
};

// Reads the ID3v2 tag (versions 2.2 to 2.4) at the start of the file into `info`.
Id3v2Location ReadId3v2(ByteSource& file, MediaInfo& info);

// Where the stream of a format with a tag of its own (FLAC, Monkey's Audio, WavPack) starts: after the ID3v2 tag
// some taggers put first, which is passed over unread; 0 without one. May lie past the end of a damaged file.
std::uint64_t StreamStartAfterId3v2(ByteSource& file);

}  // namespace media
