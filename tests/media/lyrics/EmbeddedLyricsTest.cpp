// The lyric a track plays with, taken from the Vorbis comment of FLAC, Ogg Vorbis and Opus files and
// from the item list of MP4 files when it carries time tags; a lyric file beside the track still
// comes first.
#include "media/lyrics/LyricSource.h"
#include "tests/media/readers/ContainerFileBuilder.h"

#include <gtest/gtest.h>

using namespace tagfile;

namespace {

const std::string kTimed = text::ToUtf8(u"[00:01.00]第一行\r\n[00:02.50]第二行\n");

class EmbeddedLyricsTest : public ::testing::Test {
protected:
    std::vector<media::LyricLine> LyricsOf(std::string_view name, std::string_view bytes) {
        WriteFile(dir / name, bytes);
        return media::FindLyrics(text::FromUtf8((dir / name).string()));
    }

    static void ExpectTimedLines(const std::vector<media::LyricLine>& lines, std::string_view name) {
        ASSERT_EQ(lines.size(), 2u) << name;
        EXPECT_FLOAT_EQ(lines[0].Time, 1.0f) << name;
        EXPECT_EQ(lines[0].Text, u"第一行") << name;
        EXPECT_FLOAT_EQ(lines[1].Time, 2.5f) << name;
        EXPECT_EQ(lines[1].Text, u"第二行") << name;
    }

    TempDir dir;
};

TEST_F(EmbeddedLyricsTest, TimedLyricsOfEveryFormatAreTaken) {
    ExpectTimedLines(
        LyricsOf("a.flac", FlacFile({FlacBlock(kVorbisCommentBlock, VorbisComment({"LYRICS=" + kTimed}))})), "flac");
    ExpectTimedLines(LyricsOf("b.ogg", OggVorbisFile({"UNSYNCEDLYRICS=" + kTimed})), "vorbis");
    ExpectTimedLines(LyricsOf("c.opus", OggOpusFile({"lyrics=" + kTimed})), "opus");
    ExpectTimedLines(LyricsOf("d.oga", OggFlacFile({"LYRICS=" + kTimed})), "ogg flac");
    ExpectTimedLines(LyricsOf("e.m4a", M4aFile(Mp4UserData(Mp4Item("\xA9"
                                                                   "lyr",
                                                                   {kTimed})))),
                     "m4a");
}

TEST_F(EmbeddedLyricsTest, PlainLyricsGiveNoLinesAndALyricFileComesFirst) {
    EXPECT_TRUE(
        LyricsOf("plain.flac", FlacFile({FlacBlock(kVorbisCommentBlock, VorbisComment({"LYRICS=no time tags here"}))}))
            .empty());
    EXPECT_TRUE(LyricsOf("none.m4a", M4aFile(Mp4UserData(Mp4Item("\xA9"
                                                                 "nam",
                                                                 {"T"}))))
                    .empty());

    WriteFile(dir / "side.lrc", "[00:09.00]from the file\n");
    const auto lines = LyricsOf("side.ogg", OggVorbisFile({"LYRICS=" + kTimed}));
    ASSERT_EQ(lines.size(), 1u);
    EXPECT_EQ(lines[0].Text, u"from the file");
}

}  // namespace
