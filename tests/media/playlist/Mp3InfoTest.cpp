#include "tests/media/playlist/MediaFileTest.h"

using namespace tagfile;
using media::MediaInfo;

namespace {

using Mp3InfoTest = MediaFileTest;

TEST_F(Mp3InfoTest, Id3v1InGbkWithMpeg1Audio)
{
    const MediaInfo info = read("v1.mp3", mpeg1Audio() + id3v1(gbk(u"月亮代表我的心"), gbk(u"邓丽君"), gbk(u"专辑"), "1977"));
    EXPECT_EQ(info.MediaType, media::kMediaMp3);
    EXPECT_EQ(info.Title, u"月亮代表我的心");
    EXPECT_EQ(info.Artist, u"邓丽君");
    EXPECT_EQ(info.Album, u"专辑");
    EXPECT_EQ(info.Year, u"1977");
    EXPECT_EQ(info.BitRate, u"128Kbps");
    EXPECT_EQ(info.SampleRate, u"44.1KHz");
}

TEST_F(Mp3InfoTest, Id3v1TitleLosesHyphensArtistAndExtension)
{
    EXPECT_EQ(read("a.mp3", mpeg1Audio() + id3v1("Tom - Song", "Tom")).Title, u"  Song");
    const MediaInfo info = read("b.mp3", mpeg1Audio() + id3v1(gbk(u"歌——名.MP3"), ""));
    EXPECT_EQ(info.Title, u"歌名");
    EXPECT_EQ(info.Artist, u"");
}

TEST_F(Mp3InfoTest, Id3v23Utf16TextsWinOverId3v1AndMpeg2Audio)
{
    const std::string lyrics = std::string("\x01") + "chi" + "\xFF\xFE" + utf16(u"desc") + std::string(2, '\0') + "\xFF\xFE"
        + utf16(u"第一行  词\r\n第二行");
    const std::string frames = id3v2Frame(3, "TIT2", textBody(1, u"中文标题")) + id3v2Frame(3, "TPE1", textBody(1, u"歌手"))
        + id3v2Frame(3, "TCOM", textBody(2, u"作曲")) + id3v2Frame(3, "USLT", lyrics)
        + id3v2Frame(3, "TALB", textBody(1, u""));
    const MediaInfo info = read("v23.mp3", id3v2Tag(3, frames, 512) + mpegAudio(0xF3, 0x80)
                                                + id3v1("v1 title", "v1 artist", "v1 album", "1999"));
    EXPECT_EQ(info.Title, u"中文标题");
    EXPECT_EQ(info.Artist, u"歌手");
    EXPECT_EQ(info.Composer, u"作曲");
    EXPECT_EQ(info.Lyrics, u"第一行 词\r\n第二行");
    EXPECT_EQ(info.Album, u"v1 album");  // the empty TALB leaves the ID3v1 album
    EXPECT_EQ(info.Year, u"1999");
    EXPECT_EQ(info.BitRate, u"64Kbps");
    EXPECT_EQ(info.SampleRate, u"22.05KHz");
}

TEST_F(Mp3InfoTest, Id3v24Utf8WithSyncsafeSizesAndMpeg25Audio)
{
    // A 200-byte frame: its syncsafe size differs from the plain one.
    const std::u16string longTitle = u"标题" + std::u16string(194, u'x');
    const std::string frames = id3v2Frame(4, "TIT2", textBody(3, longTitle))
        + id3v2Frame(4, "TPE1", textBody(3, u"甲") + '\0' + text::toUtf8(u"乙"))
        + id3v2Frame(4, "TDRC", textBody(3, u"2008-05-01")) + id3v2Frame(4, "TEXT", textBody(0, u"作词"));
    const MediaInfo info = read("v24.mp3", id3v2Tag(4, frames, 100) + mpegAudio(0xE3, 0x58));
    EXPECT_EQ(info.Title, longTitle);
    EXPECT_EQ(info.Artist, u"甲/乙");
    EXPECT_EQ(info.Year, u"2008");
    EXPECT_EQ(info.Writer, u"作词");
    EXPECT_EQ(info.BitRate, u"40Kbps");
    EXPECT_EQ(info.SampleRate, u"8KHz");
}

TEST_F(Mp3InfoTest, EncoderSummaryFrameIsPassedOver)
{
    // A 32 kbit/s frame (104 bytes) holding an encoder's "Info" summary, then the 128 kbit/s audio.
    std::string summary = mpegAudio(0xFB, 0x10, 104);
    summary.replace(36, 4, "Info");
    EXPECT_EQ(read("info.mp3", summary + mpeg1Audio()).BitRate, u"128Kbps");
}

TEST_F(Mp3InfoTest, OlderAndUnusualTagLayouts)
{
    const std::string v22 = id3v2Frame(2, "TT2", textBody(0, u"老标题")) + id3v2Frame(2, "TP1", textBody(0, u"老歌手"))
        + id3v2Frame(2, "ULT", std::string("\0eng\0", 5) + "la la");
    MediaInfo info = read("v22.mp3", id3v2Tag(2, v22) + mpeg1Audio());
    EXPECT_EQ(info.Title, u"老标题");
    EXPECT_EQ(info.Artist, u"老歌手");
    EXPECT_EQ(info.Lyrics, u"la la");

    // ID3v2.3, unsynchronised (FF 00 stands for FF) and with an extended header.
    const std::string extended = bigEndian(6, 4) + std::string(6, '\0');
    // The frame holds 4 bytes; stored unsynchronised they take 5.
    const std::string title = "TIT2" + bigEndian(4, 4) + std::string("\0\0\0a\xFF\0b", 7);
    info = read("unsync.mp3", id3v2Tag(3, extended + title, 0, 0xC0) + mpeg1Audio());
    EXPECT_EQ(info.Title, text::fromAnsi("a\xFF" "b"));

    // A frame whose encoding byte is missing is bare ANSI text.
    info = read("bare.mp3", id3v2Tag(3, id3v2Frame(3, "TPE1", gbk(u"歌手"))) + mpeg1Audio());
    EXPECT_EQ(info.Artist, u"歌手");
}

TEST_F(Mp3InfoTest, TagsKeptWithoutAudioAndNothingFoundIsFailure)
{
    const MediaInfo tagged = read("noaudio.mp3", id3v2Tag(3, id3v2Frame(3, "TIT2", textBody(0, u"Only tag"))) + std::string(9000, 'x'));
    EXPECT_EQ(tagged.Title, u"Only tag");
    EXPECT_EQ(tagged.BitRate, u"");

    // Audio beyond the first 8192 positions is not searched for.
    read("late.mp3", std::string(8192, 'x') + mpeg1Audio(), false);
    read("late-ok.mp3", std::string(8191, 'x') + mpeg1Audio());

    // 127 bytes cannot hold an ID3v1 block, 128 can.
    read("short.mp3", std::string_view(id3v1("Title", "Artist")).substr(0, 127), false);
    EXPECT_EQ(read("exact.mp3", id3v1("Title", "Artist")).Title, u"Title");
}

TEST_F(Mp3InfoTest, DispatcherByExtension)
{
    const std::string mp3 = mpeg1Audio() + id3v1("Upper", "");
    EXPECT_EQ(read("CAPS.MP3", mp3).Title, u"Upper");
    const MediaInfo wav = read("sound.wav", mp3, false);
    EXPECT_EQ(wav.MediaType, media::kMediaWave);
    EXPECT_EQ(wav.Title, u"");

    std::filesystem::create_directory(dir / "folder.mp3");
    MediaInfo info;
    info.FileName = location("folder.mp3");
    EXPECT_FALSE(media::ReadMediaInfo(info));
    info.FileName = u"http://host/song.mp3";
    EXPECT_FALSE(media::ReadMediaInfo(info));

    EXPECT_EQ(media::MediaTypeOf(u"clip.WMV"), 12);
    EXPECT_EQ(media::MediaTypeOf(u"song.midi"), 1);
    EXPECT_EQ(media::MediaTypeOf(u"noextension"), 0);
}

TEST_F(Mp3InfoTest, DamagedFilesGiveSafeResults)
{
    const std::string title = id3v2Frame(3, "TIT2", textBody(0, u"Kept"));
    // Tag declares more than the file holds, and its second frame runs past the end.
    const std::string cut = id3v2Tag(3, title + id3v2Frame(3, "TPE1", textBody(0, u"Cut off"))).substr(0, 40);
    const MediaInfo truncated = read("cut.mp3", cut);
    EXPECT_EQ(truncated.Title, u"Kept");
    EXPECT_EQ(truncated.Artist, u"");

    // A frame claiming 2 GiB inside a small tag ends the walk without reading anything.
    const std::string huge = "TPE1" + bigEndian(0x7FFFFFFF, 4) + std::string(2, '\0');
    EXPECT_EQ(read("huge.mp3", id3v2Tag(3, title + huge) + mpeg1Audio()).Title, u"Kept");

    // A failed read leaves the caller's record as it was.
    writeFile(dir / "junk.mp3", std::string(3000, 'x'));
    MediaInfo record;
    record.FileName = location("junk.mp3");
    record.Title = u"before";
    const MediaInfo before = record;
    EXPECT_FALSE(media::ReadMp3Info(record));
    EXPECT_EQ(record, before);
}

}  // namespace
