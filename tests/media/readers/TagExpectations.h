#pragma once
// The texts a reader should have found, compared field by field so that a failure names the field.

#include "media/readers/MediaInfo.h"
#include "platform/text/AnsiText.h"

#include <gtest/gtest.h>

#include <string>
#include <string_view>

namespace tagfile {

struct TagTexts {
    std::u16string title, artist, album, year, lyrics, writer, composer;
};

inline void ExpectTexts(const media::MediaInfo& info, const TagTexts& want, std::string_view where = {}) {
    EXPECT_EQ(info.Title, want.title) << where;
    EXPECT_EQ(info.Artist, want.artist) << where;
    EXPECT_EQ(info.Album, want.album) << where;
    EXPECT_EQ(info.Year, want.year) << where;
    EXPECT_EQ(info.Lyrics, want.lyrics) << where;
    EXPECT_EQ(info.Writer, want.writer) << where;
    EXPECT_EQ(info.Composer, want.composer) << where;
}

}  // namespace tagfile
