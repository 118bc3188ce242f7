#pragma once

#include "media/readers/MediaInfo.h"
#include "tests/media/readers/TagFileBuilder.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <initializer_list>
#include <string>
#include <string_view>

// For the tests that write their files with the encoders and taggers people use.
namespace tools {

// True when every one of the programs is on the path.
inline bool Installed(std::initializer_list<std::string_view> programs) {
    for (std::string_view program : programs)
        if (std::system(("command -v " + std::string(program) + " >/dev/null 2>&1").c_str()) != 0) return false;
    return true;
}

// `text` as one word of a shell command line.
inline std::string ShellQuoted(std::string_view text) {
    std::string out = "'";
    for (char c : text) out += c == '\'' ? std::string("'\\''") : std::string(1, c);
    return out + "'";
}

}  // namespace tools

// Writes media files into a fresh folder and reads them as the playlist does.
class MediaFileTest : public ::testing::Test {
protected:
    media::MediaInfo Read(std::string_view name, std::string_view bytes, bool expected = true) {
        tagfile::WriteFile(dir / name, bytes);
        media::MediaInfo info;
        info.FileName = Location(name);
        EXPECT_EQ(media::ReadMediaInfo(info), expected) << name;
        return info;
    }

    std::u16string Location(std::string_view name) const { return text::FromUtf8((dir / name).string()); }

    tagfile::TempDir dir;
};
