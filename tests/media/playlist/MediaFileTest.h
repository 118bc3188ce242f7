#pragma once

#include "media/playlist/MediaInfo.h"
#include "tests/media/playlist/TagFileBuilder.h"

#include <gtest/gtest.h>

// Writes media files into a fresh folder and reads them as the playlist does.
class MediaFileTest : public ::testing::Test {
protected:
    media::MediaInfo read(std::string_view name, std::string_view bytes, bool expected = true)
    {
        tagfile::writeFile(dir / name, bytes);
        media::MediaInfo info;
        info.FileName = location(name);
        EXPECT_EQ(media::ReadMediaInfo(info), expected) << name;
        return info;
    }

    std::u16string location(std::string_view name) const { return text::fromUtf8((dir / name).string()); }

    tagfile::TempDir dir;
};
