// Timed lyrics: the LRC text form, its encodings, and where a track's lyric is found.
#include <gtest/gtest.h>

#include <QTemporaryDir>
#include <fstream>

#include "media/lyrics/LrcParser.h"
#include "media/lyrics/LyricSource.h"
#include "platform/text/AnsiText.h"
#include "tests/media/readers/TagFileBuilder.h"

using namespace media;

namespace {
std::vector<std::pair<float, std::u16string>> Flat(const std::vector<LyricLine>& lines) {
    std::vector<std::pair<float, std::u16string>> out;
    for (const auto& l : lines) out.emplace_back(l.Time, l.Text);
    return out;
}
void Write(const QString& path, const std::string& bytes) {
    std::ofstream(path.toStdString(), std::ios::binary) << bytes;
}
}  // namespace

TEST(Lrc, TimeTagFormsRepeatedTagsAndSortingThatKeepsFileOrder) {
    const auto lines = ParseLrc(
        u"[ti:Song]\r\n[ar:Someone]\n[00:05.50][01:00]chorus\n[00:01]first\n[00:05.500]same time, later in file\n"
        u"[00:03.123] trimmed \nno tag at all\n[xx:yy]bad tag\n");
    using L = std::pair<float, std::u16string>;
    EXPECT_EQ(Flat(lines), (std::vector<L>{{1.f, u"first"},
                                           {3.123f, u"trimmed"},
                                           {5.5f, u"chorus"},
                                           {5.5f, u"same time, later in file"},
                                           {60.f, u"chorus"}}));
}

TEST(Lrc, OffsetShiftsEveryLineAndTheFirstLineAlwaysHasText) {
    const auto lines = ParseLrc(u"[offset:+500]\n[00:00.20]\n[00:01]\n[00:02]go\n[00:03]\n[00:04]on");
    using L = std::pair<float, std::u16string>;
    EXPECT_EQ(Flat(lines), (std::vector<L>{{1.5f, u"go"}, {2.5f, u""}, {3.5f, u"on"}}));
    EXPECT_TRUE(ParseLrc(u"plain text lyric\nwithout times").empty());
    EXPECT_TRUE(ParseLrc(u"").empty());
}

TEST(Lrc, BytesAreUtf8WithOrWithoutMarkElseGbk) {
    const std::u16string song = u"[00:01]月亮代表我的心";
    std::string gbk;
    ASSERT_TRUE(text::ToAnsi(song, gbk));
    EXPECT_EQ(DecodeLyricBytes(gbk), song);
    EXPECT_EQ(DecodeLyricBytes(text::ToUtf8(song)), song);
    EXPECT_EQ(DecodeLyricBytes("\xEF\xBB\xBF" + text::ToUtf8(song)), song);
    // UTF-16 as editors save it, either byte order, behind its mark; a stray odd byte at the end is dropped.
    std::string little = "\xFF\xFE", big = "\xFE\xFF";
    for (char16_t c : song) {
        little += {static_cast<char>(c & 0xFF), static_cast<char>(c >> 8)};
        big += {static_cast<char>(c >> 8), static_cast<char>(c & 0xFF)};
    }
    EXPECT_EQ(DecodeLyricBytes(little), song);
    EXPECT_EQ(DecodeLyricBytes(big + "\x01"), song);
    EXPECT_EQ(Flat(ParseLrc(DecodeLyricBytes(little))).size(), 1u);
}

TEST(LyricSource, SidecarFileBesideTheMediaWithAnyCaseExtension) {
    QTemporaryDir dir;
    Write(dir.filePath("song.mp3"), std::string(100, '\0'));
    Write(dir.filePath("song.LRC"), "[00:01]hello\n[00:02]world\n");
    Write(dir.filePath("other.lrc"), "[00:01]not this one\n");
    EXPECT_EQ(SidecarLrcPath(dir.filePath("song.mp3").toStdString()), dir.filePath("song.LRC").toStdString());
    const auto lines = FindLyrics(dir.filePath("song.mp3").toStdU16String());
    ASSERT_EQ(lines.size(), 2u);
    EXPECT_EQ(lines[1].Text, u"world");
    EXPECT_TRUE(FindLyrics(dir.filePath("none.mp3").toStdU16String()).empty());
    EXPECT_TRUE(FindLyrics(u"http://example.invalid/song.mp3").empty());
}

TEST(LyricSource, TimedLyricsEmbeddedInTheFile) {
    QTemporaryDir dir;
    using namespace tagfile;
    const std::string uslt =
        std::string(1, '\3') + "eng" + std::string(1, '\0') + "[00:01.00]embedded\n[00:02.00]lines";
    Write(dir.filePath("tagged.mp3"), Id3v2Tag(3, Id3v2Frame(3, "USLT", uslt)) + Mpeg1Audio());
    const auto lines = FindLyrics(dir.filePath("tagged.mp3").toStdU16String());
    ASSERT_EQ(lines.size(), 2u);
    EXPECT_EQ(lines[0].Text, u"embedded");
    EXPECT_FLOAT_EQ(lines[1].Time, 2.f);
}
