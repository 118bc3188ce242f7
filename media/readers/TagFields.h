#pragma once

#include "media/readers/MediaInfo.h"

#include <array>
#include <cstdint>
#include <string>
#include <string_view>

namespace media {

// The longest single tag value read: a lyric fits; a picture does not and is passed over.
inline constexpr std::uint64_t kMaxTagValueBytes = 1 << 20;

// The MediaInfo texts a tag of name/value pairs can fill (Vorbis comments, MP4 item lists).
enum class TagField { Title, Artist, Album, Year, Lyrics, Writer, Composer };

// Gathers the values of one tag and hands them to a record at the end, so that a field the tag
// does not name keeps what the record held.
// Several values of a name field (several artists) are joined by "/", as ID3v2.4 lists are read;
// the year and the lyrics take their first value, since joining two dates or two lyrics (a lyric
// and its translation) would make one that means nothing.
class TagFields {
public:
    // Whether a value of `bytes` may still be read, taking them from what one tag may bring in all:
    // a hostile tag may hold thousands of large values.
    bool TakeReadAllowance(std::uint64_t bytes);
    // Adds one value; it is cleaned like every tag text, and an empty value counts for nothing.
    void Add(TagField field, std::u16string_view value);
    // Overwrites the record's fields that got a value.
    void ApplyTo(MediaInfo& info) const { Apply(info, false); }
    // Fills only the record's fields that are still empty: a second tag of a file stands in for the first where the
    // first has no text.
    void FillEmptyOf(MediaInfo& info) const { Apply(info, true); }

private:
    void Apply(MediaInfo& info, bool onlyEmpty) const;

    static constexpr std::size_t kFieldCount = 7;
    static constexpr std::uint64_t kReadAllowance = 8 << 20;

    std::array<std::u16string, kFieldCount> values_;
    std::uint64_t readAllowance_ = kReadAllowance;
};

}  // namespace media
