#include "tests/media/playlist/TagFileBuilder.h"

#include <gtest/gtest.h>

#include <cstdio>

using namespace tagfile;

namespace {

std::string RunCommand(const std::string& command) {
    std::string output;
    std::FILE* pipe = ::popen(command.c_str(), "r");
    char buffer[4096];
    for (std::size_t n; pipe && (n = std::fread(buffer, 1, sizeof buffer, pipe)) > 0;) output.append(buffer, n);
    if (pipe) ::pclose(pipe);
    return output;
}

TEST(MediaInfoTool, PrintsOneBlockPerFile) {
    TempDir dir;
    const std::string lyrics = std::string(
                                   "\x03"
                                   "eng\0",
                                   5) +
                               text::ToUtf8(u"第一行\r\n第二行\n完");
    WriteFile(dir / "song.mp3",
              Id3v2Tag(3, Id3v2Frame(3, "TIT2", TextBody(1, u"歌名")) + Id3v2Frame(3, "USLT", lyrics)) + Mpeg1Audio() +
                  Id3v1("", Gbk(u"歌手"), "Album", "2001"));
    WriteFile(dir / "sound.wav", "RIFF");
    const std::string mp3 = (dir / "song.mp3").string(), wav = (dir / "sound.wav").string();

    EXPECT_EQ(RunCommand(std::string(MEDIA_INFO_PATH) + " '" + mp3 + "' '" + wav + "'"),
              "File: " + mp3 +
                  "\nResult: True\nMediaType: 2\nTitle: 歌名\nArtist: 歌手\nAlbum: Album\nYear: 2001\n"
                  "Lyrics: 第一行\\n第二行\\n完\nWriter: \nComposer: \nBitRate: 128Kbps\nSampleRate: 44.1KHz\n\n"
                  "File: " +
                  wav +
                  "\nResult: False\nMediaType: 16\nTitle: \nArtist: \nAlbum: \nYear: \nLyrics: \nWriter: \n"
                  "Composer: \nBitRate: \nSampleRate: \n\n");
}

}  // namespace
