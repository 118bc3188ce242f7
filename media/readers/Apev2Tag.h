#pragma once
// APEv2 tags (and the older APEv1 tags, which have no header): the tag Monkey's Audio and WavPack files carry, and
// that some taggers add to MP3 files. It sits at the end of the file, before an ID3v1 block when there is one, and
// ends with a 32-byte footer "APETAGEX"; its items are a key, flags and a value, every value UTF-8 text unless its
// flags say binary.
#include "media/readers/ByteSource.h"
#include "media/readers/MediaInfo.h"
#include "media/readers/TagFields.h"

#include <cstdint>
#include <optional>
#include <string>

namespace media {

inline constexpr std::uint64_t kApeTagFooterSize = 32;

// Where a file's APEv2 tag lies: [start, end), the header included when it has one.
struct Apev2Location {
    std::uint64_t start = 0;
    std::uint64_t end = 0;
};

// Finds the tag at the end of `file`, before an ID3v1 block if any (and before a Lyrics3v2 block ahead of that);
// nothing when there is none or its sizes do not fit in the file.
std::optional<Apev2Location> FindApev2Tag(ByteSource& file);

// Reads the tag's Title, Artist, Album, Year, Lyrics and Composer items into `fields` (keys compared without
// regard to ASCII case; a value holding several texts split by NUL gives each); where found, the Cuesheet item's
// bytes as stored go to `cuesheet`. Every size is bounded by the tag and the tag by the file.
void ReadApev2Tag(ByteSource& file, const Apev2Location& tag, TagFields& fields, std::string* cuesheet = nullptr);

// What Monkey's Audio and WavPack files share once their stream is known: the APEv2 tag's texts over the record's,
// the sample rate, and the bit rate as the stream's average, its bytes (from streamStart to the tags at the end)
// over its duration.
void ApplyTagAndRates(ByteSource& file, std::uint64_t streamStart, std::uint64_t samples, std::uint32_t sampleRate,
                      MediaInfo& record);

// The bytes of the Cuesheet item of the APEv2 tag of the file at `utf8Path` (an APE or WavPack album in one file);
// nothing when the file cannot be read, has no tag or no such item. The tag's values should be UTF-8, but some
// rippers wrote the code page, so the bytes are handed over as stored for the caller to decode.
std::optional<std::string> ReadEmbeddedCuesheet(const std::string& utf8Path);

}  // namespace media
