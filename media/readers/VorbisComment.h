#pragma once

#include "media/readers/ByteSource.h"
#include "media/readers/TagFields.h"

#include <optional>
#include <string>
#include <string_view>

namespace media {

// The tag FLAC, Ogg Vorbis and Opus share: a vendor text, then a count of "NAME=value" fields,
// every length a 32-bit little-endian number and every value UTF-8. `comment` starts at the vendor
// length. A field whose length runs past the end of the comment ends the reading; the fields before
// it are kept. Values of names that fill no field (pictures among them) are never read, but for a CUESHEET field
// (the sheet of an album kept as one file), whose bytes go to `cuesheet` where asked for.
void ReadVorbisComment(ByteSource& comment, TagFields& fields, std::string* cuesheet = nullptr);

// The field a Vorbis comment name fills, ASCII case ignored: TITLE, ARTIST, ALBUM, DATE or YEAR,
// LYRICS or UNSYNCEDLYRICS, LYRICIST or WRITER (the writer of the words), COMPOSER.
std::optional<TagField> VorbisCommentField(std::string_view name);

}  // namespace media
