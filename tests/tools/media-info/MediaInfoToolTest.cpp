#include "tests/media/playlist/TagFileBuilder.h"

#include <gtest/gtest.h>

#include <cstdio>

using namespace tagfile;

namespace {

std::string run(const std::string& command) {
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
                               text::toUtf8(u"第一行\r\n第二行\n完");
    writeFile(dir / "song.mp3",
              id3v2Tag(3, id3v2Frame(3, "TIT2", textBody(1, u"歌名")) + id3v2Frame(3, "USLT", lyrics)) + mpeg1Audio() +
                  id3v1("", gbk(u"歌手"), "Album", "2001"));
    writeFile(dir / "sound.wav", "RIFF");
    const std::string mp3 = (dir / "song.mp3").string(), wav = (dir / "sound.wav").string();

    EXPECT_EQ(run(std::string(MEDIA_INFO_PATH) + " '" + mp3 + "' '" + wav + "'"),
              "File: " + mp3 +
                  "\nResult: True\nMediaType: 2\nTitle: 歌名\nArtist: 歌手\nAlbum: Album\nYear: 2001\n"
                  "Lyrics: 第一行\\n第二行\\n完\nWriter: \nComposer: \nBitRate: 128Kbps\nSampleRate: 44.1KHz\n\n"
                  "File: " +
                  wav +
                  "\nResult: False\nMediaType: 16\nTitle: \nArtist: \nAlbum: \nYear: \nLyrics: \nWriter: \n"
                  "Composer: \nBitRate: \nSampleRate: \n\n");
}

}  // namespace
