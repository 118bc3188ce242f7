#include "tests/media/playlist/MediaFileTest.h"
#include "tests/media/playlist/Mp3FileBuilder.h"

using namespace tagfile;
using media::MediaInfo;

namespace {

using Mp3InfoTest = MediaFileTest;

TEST_F(Mp3InfoTest, Id3v1InGbkWithMpeg1Audio) {
    const MediaInfo info =
        read("v1.mp3", mpeg1Audio() + id3v1(gbk(u"月亮代表我的心"), gbk(u"邓丽君"), gbk(u"专辑"), "1977"));
    EXPECT_EQ(info.MediaType, media::kMediaMp3);
    EXPECT_EQ(info.Title, u"月亮代表我的心");
    EXPECT_EQ(info.Artist, u"邓丽君");
    EXPECT_EQ(info.Album, u"专辑");
    EXPECT_EQ(info.Year, u"1977");
    EXPECT_EQ(info.BitRate, u"128Kbps");
    EXPECT_EQ(info.SampleRate, u"44.1KHz");
}

TEST_F(Mp3InfoTest, Id3v1TitleLosesHyphensArtistAndExtension) {
    EXPECT_EQ(read("a.mp3", mpeg1Audio() + id3v1("Tom - Song", "Tom")).Title, u"  Song");
    const MediaInfo info = read("b.mp3", mpeg1Audio() + id3v1(gbk(u"歌——名.MP3"), ""));
    EXPECT_EQ(info.Title, u"歌名");
    EXPECT_EQ(info.Artist, u"");
}

TEST_F(Mp3InfoTest, Id3v23Utf16TextsWinOverId3v1AndMpeg2Audio) {
    const std::string lyrics = std::string("\x01") + "chi" + "\xFF\xFE" + utf16(u"desc") + std::string(2, '\0') +
                               "\xFF\xFE" + utf16(u"第一行  词\r\n第二行");
    const std::string frames = id3v2Frame(3, "TIT2", textBody(1, u"中文标题")) +
                               id3v2Frame(3, "TPE1", textBody(1, u"歌手")) +
                               id3v2Frame(3, "TCOM", textBody(2, u"作曲")) + id3v2Frame(3, "USLT", lyrics) +
                               id3v2Frame(3, "TALB", textBody(1, u""));
    // MPEG-2 layer III at 64 kbit/s and 22.05 kHz: 72000 x 64 / 22050 = 208 bytes a frame.
    const MediaInfo info = read("v23.mp3", id3v2Tag(3, frames, 512) + mpegAudio(0xF3, 0x80, 4096, 208) +
                                               id3v1("v1 title", "v1 artist", "v1 album", "1999"));
    EXPECT_EQ(info.Title, u"中文标题");
    EXPECT_EQ(info.Artist, u"歌手");
    EXPECT_EQ(info.Composer, u"作曲");
    EXPECT_EQ(info.Lyrics, u"第一行 词\r\n第二行");
    EXPECT_EQ(info.Album, u"v1 album");  // the empty TALB leaves the ID3v1 album
    EXPECT_EQ(info.Year, u"1999");
    EXPECT_EQ(info.BitRate, u"64Kbps");
    EXPECT_EQ(info.SampleRate, u"22.05KHz");
}

TEST_F(Mp3InfoTest, Id3v24Utf8WithSyncsafeSizesAndMpeg25Audio) {
    // A 200-byte frame: its syncsafe size differs from the plain one.
    const std::u16string longTitle = u"标题" + std::u16string(194, u'x');
    const std::string frames = id3v2Frame(4, "TIT2", textBody(3, longTitle)) +
                               id3v2Frame(4, "TPE1", textBody(3, u"甲") + '\0' + text::toUtf8(u"乙")) +
                               id3v2Frame(4, "TDRC", textBody(3, u"2008-05-01")) +
                               id3v2Frame(4, "TEXT", textBody(0, u"作词"));
    // MPEG-2.5 layer III at 40 kbit/s and 8 kHz: 72000 x 40 / 8000 = 360 bytes a frame.
    const MediaInfo info = read("v24.mp3", id3v2Tag(4, frames, 100) + mpegAudio(0xE3, 0x58, 4096, 360));
    EXPECT_EQ(info.Title, longTitle);
    EXPECT_EQ(info.Artist, u"甲/乙");
    EXPECT_EQ(info.Year, u"2008");
    EXPECT_EQ(info.Writer, u"作词");
    EXPECT_EQ(info.BitRate, u"40Kbps");
    EXPECT_EQ(info.SampleRate, u"8KHz");
}

TEST_F(Mp3InfoTest, EncoderSummaryFrameIsPassedOver) {
    // A 32 kbit/s frame (104 bytes) holding an encoder's "Info" summary, then the 128 kbit/s audio.
    std::string summary = mpegAudio(0xFB, 0x10, 104, 104);
    summary.replace(36, 4, "Info");
    EXPECT_EQ(read("info.mp3", summary + mpeg1Audio()).BitRate, u"128Kbps");
}

TEST_F(Mp3InfoTest, OlderAndUnusualTagLayouts) {
    const std::string v22 = id3v2Frame(2, "TT2", textBody(0, u"老标题")) +
                            id3v2Frame(2, "TP1", textBody(0, u"老歌手")) +
                            id3v2Frame(2, "ULT", std::string("\0eng\0", 5) + "la la");
    MediaInfo info = read("v22.mp3", id3v2Tag(2, v22) + mpeg1Audio());
    EXPECT_EQ(info.Title, u"老标题");
    EXPECT_EQ(info.Artist, u"老歌手");
    EXPECT_EQ(info.Lyrics, u"la la");

    // ID3v2.3, unsynchronised (FF 00 stands for FF) and with an extended header.
    const std::string extended = bigEndian(6, 4) + std::string(6, '\0');
    // The frame holds 4 bytes; stored unsynchronised they take 5.
    const std::string title = "TIT2" + bigEndian(4, 4) + std::string("\0\0\0a\xFF\0b", 7);
    info = read("unsync.mp3", id3v2Tag(3, extended + title, 0, 0xC0) + mpeg1Audio());
    EXPECT_EQ(info.Title, u"a\u00FFb");  // no valid GBK: Windows-1252

    // A frame whose encoding byte is missing is bare ANSI text.
    info = read("bare.mp3", id3v2Tag(3, id3v2Frame(3, "TPE1", gbk(u"歌手"))) + mpeg1Audio());
    EXPECT_EQ(info.Artist, u"歌手");
}

TEST_F(Mp3InfoTest, Id3v24FrameSizesWrittenPlain) {
    // From 128 on a plain size reads differently as syncsafe; sizes with no byte of 128 or more
    // (256, 300, 4096 ...) cannot be told apart by their bytes, only by where the frame ends.
    for (std::size_t length : {127, 128, 200, 255, 256, 300, 1000, 4096, 8300, 16383, 16384}) {
        SCOPED_TRACE(length);
        const std::u16string title = u"标题" + std::u16string(length - 7, u'x');  // a body of `length` bytes
        const std::string body = textBody(3, title);
        const std::string artist = textBody(3, u"歌手");

        // Followed by another frame, by padding, or ending the tag.
        MediaInfo info =
            read("then-frame.mp3",
                 id3v2Tag(4, id3v24PlainSizeFrame("TIT2", body) + id3v24PlainSizeFrame("TPE1", artist)) + mpeg1Audio());
        EXPECT_EQ(info.Title, title);
        EXPECT_EQ(info.Artist, u"歌手");
        EXPECT_EQ(read("then-padding.mp3", id3v2Tag(4, id3v24PlainSizeFrame("TIT2", body), 300) + mpeg1Audio()).Title,
                  title);
        info =
            read("at-end.mp3",
                 id3v2Tag(4, id3v24PlainSizeFrame("TPE1", artist) + id3v24PlainSizeFrame("TIT2", body)) + mpeg1Audio());
        EXPECT_EQ(info.Title, title);
        EXPECT_EQ(info.Artist, u"歌手");

        // Written as the standard says, the same frames read the same.
        info = read("syncsafe.mp3",
                    id3v2Tag(4, id3v2Frame(4, "TIT2", body) + id3v2Frame(4, "TPE1", artist), 50) + mpeg1Audio());
        EXPECT_EQ(info.Title, title);
        EXPECT_EQ(info.Artist, u"歌手");
    }
}

TEST_F(Mp3InfoTest, Id3v24SyncsafeSizeWinsWhenBothReadingsFit) {
    // The 128-byte title reads 256 when plain, which lands on the album frame just as well: the
    // syncsafe reading, the standard one, is taken.
    const std::u16string title = u"T" + std::u16string(126, u'x');
    const std::string frames = id3v2Frame(4, "TIT2", textBody(0, title)) +
                               id3v2Frame(4, "TPE1", textBody(0, std::u16string(117, u'a'))) +
                               id3v2Frame(4, "TALB", textBody(0, u"Album"));
    const MediaInfo info = read("both.mp3", id3v2Tag(4, frames) + mpeg1Audio());
    EXPECT_EQ(info.Title, title);
    EXPECT_EQ(info.Artist, std::u16string(117, u'a'));
    EXPECT_EQ(info.Album, u"Album");
}

TEST_F(Mp3InfoTest, CompressedFramesAreInflated) {
    std::string frames = compressedFrame(3, "TIT2", textBody(1, u"压缩的标题")) +
                         compressedFrame(3, "TPE1", textBody(0, u"歌手"))
                         // grouped as well: the group byte follows the inflated size
                         + id3v2Frame(3, "TALB", bigEndian(6, 4) + "G" + zlibCompressed(textBody(0, u"Album")), 0xA0);
    MediaInfo info = read("v23.mp3", id3v2Tag(3, frames, 64) + mpeg1Audio());
    EXPECT_EQ(info.Title, u"压缩的标题");
    EXPECT_EQ(info.Artist, u"歌手");
    EXPECT_EQ(info.Album, u"Album");

    frames = compressedFrame(4, "TIT2", textBody(3, u"标题")) +
             compressedFrame(4, "TPE1", textBody(3, std::u16string(2000, u'歌')))
             // without the data length indicator the standard asks for
             + id3v2Frame(4, "TALB", zlibCompressed(textBody(3, u"专辑")), 0x08);
    info = read("v24.mp3", id3v2Tag(4, frames, 64) + mpeg1Audio());
    EXPECT_EQ(info.Title, u"标题");
    EXPECT_EQ(info.Artist, std::u16string(2000, u'歌'));
    EXPECT_EQ(info.Album, u"专辑");

    // A stream longer than its declared size is cut there.
    const std::string longText = textBody(0, std::u16string(3000, u'x'));
    frames = id3v2Frame(3, "TIT2", bigEndian(100, 4) + zlibCompressed(longText), 0x80);
    EXPECT_EQ(read("cut.mp3", id3v2Tag(3, frames) + mpeg1Audio()).Title, std::u16string(99, u'x'));
}

TEST_F(Mp3InfoTest, HostileCompressedFramesAreNotRead) {
    const std::string v1 = id3v1("v1 title", "v1 artist");
    const std::string stream = zlibCompressed(textBody(0, u"Inflated"));
    std::string damaged = stream;
    damaged[0] = '\x00';  // no zlib header
    struct Case {
        const char* name;
        int version;
        std::string frame;
    };
    const Case cases[] = {
        {"4 GiB", 3, id3v2Frame(3, "TIT2", bigEndian(0xFFFFFFFF, 4) + stream, 0x80)},  // no allocation of that size
        {"256 MiB", 4, id3v2Frame(4, "TIT2", syncsafe(0x0FFFFFFF) + stream, 0x09)},
        {"damaged", 3, id3v2Frame(3, "TIT2", bigEndian(9, 4) + damaged, 0x80)},
        {"cut short", 3, id3v2Frame(3, "TIT2", bigEndian(9, 4) + stream.substr(0, stream.size() / 2), 0x80)},
        {"no size", 3, id3v2Frame(3, "TIT2", "\x01\x02", 0x80)},
        {"no data length", 4, id3v2Frame(4, "TIT2", "\x01\x02", 0x09)},
        {"encrypted", 3, id3v2Frame(3, "TIT2", textBody(0, u"Secret"), 0x40)},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const std::string artist = id3v2Frame(c.version, "TPE1", textBody(0, u"Artist"));
        const MediaInfo info = read("hostile.mp3", id3v2Tag(c.version, c.frame + artist) + mpeg1Audio() + v1);
        EXPECT_EQ(info.Title, u"v1 title");
        EXPECT_EQ(info.Artist, u"Artist");
    }
}

TEST_F(Mp3InfoTest, CompressedFramesOfOneTagInflateToFourMegabytesAtMost) {
    // Four frames of a megabyte each, from a few kilobytes of file, use up what one tag may inflate
    // to: a compressed frame after them is not read, a stored one is.
    const std::string megabyte = compressedFrame(3, "TALB", textBody(0, std::u16string((1 << 20) - 1, u'a')));
    const std::string frames = megabyte + megabyte + megabyte + megabyte +
                               compressedFrame(3, "TIT2", textBody(0, u"Late")) +
                               id3v2Frame(3, "TPE1", textBody(0, u"Stored"));
    const MediaInfo info = read("budget.mp3", id3v2Tag(3, frames) + mpeg1Audio() + id3v1("v1 title", ""));
    EXPECT_EQ(info.Album.size(), (1u << 20) - 1);
    EXPECT_EQ(info.Title, u"v1 title");
    EXPECT_EQ(info.Artist, u"Stored");
}

TEST_F(Mp3InfoTest, FramesWithOddIdsArePassedOver) {
    const std::string frames =
        id3v2Frame(3, "COM ", std::string("\0engOld comment", 15)) + id3v2Frame(3, "Xxx1", "junk") +
        id3v2Frame(3, "tit2", textBody(0, u"lower-case id")) + id3v2Frame(3, "TIT2", textBody(0, u"Title")) +
        id3v2Frame(3, "\xA9nam", textBody(0, u"odd")) + id3v2Frame(3, "TPE1", textBody(0, u"Artist"));
    MediaInfo info = read("odd.mp3", id3v2Tag(3, frames, 32) + mpeg1Audio());
    EXPECT_EQ(info.Title, u"Title");
    EXPECT_EQ(info.Artist, u"Artist");

    info = read("odd22.mp3",
                id3v2Tag(2, id3v2Frame(2, "CoM", "x") + id3v2Frame(2, "TT2", textBody(0, u"Old"))) + mpeg1Audio());
    EXPECT_EQ(info.Title, u"Old");

    // Four NULs are padding: nothing after them is read.
    info = read("padding.mp3", id3v2Tag(3, id3v2Frame(3, "TIT2", textBody(0, u"Title")) + std::string(10, '\0') +
                                               id3v2Frame(3, "TPE1", textBody(0, u"Hidden"))) +
                                   mpeg1Audio());
    EXPECT_EQ(info.Title, u"Title");
    EXPECT_EQ(info.Artist, u"");

    // An odd frame that runs past the tag ends the walk; what came before it stays.
    const std::string runaway = "Xxx1" + bigEndian(5000, 4) + std::string(2, '\0');
    info = read("runaway.mp3", id3v2Tag(3, id3v2Frame(3, "TIT2", textBody(0, u"Title")) + runaway +
                                               id3v2Frame(3, "TPE1", textBody(0, u"Lost"))) +
                                   mpeg1Audio());
    EXPECT_EQ(info.Title, u"Title");
    EXPECT_EQ(info.Artist, u"");
}

TEST_F(Mp3InfoTest, AnsiTextsInUtf8GbkOrWindows1252) {
    // Western taggers: Windows-1252, which is no valid GBK.
    MediaInfo info = read("latin.mp3", mpeg1Audio() + id3v1("Caf\xE9", "Beyonc\xE9", "\x93Hits\x94 \x96 \x80 5"));
    EXPECT_EQ(info.Title, u"Café");
    EXPECT_EQ(info.Artist, u"Beyoncé");
    EXPECT_EQ(info.Album, u"“Hits” – € 5");

    // UTF-8 (written so by encoders), though "Café" in UTF-8 is valid GBK as well.
    info = read("utf8.mp3", mpeg1Audio() + id3v1(text::toUtf8(u"Café"), text::toUtf8(u"周杰伦")));
    EXPECT_EQ(info.Title, u"Café");
    EXPECT_EQ(info.Artist, u"周杰伦");

    // A character cut by the field's width is dropped, in GBK and in UTF-8; 30 bytes that end on a
    // whole character are kept whole.
    const std::u16string fourteen(14, u'歌');
    info = read("cut.mp3", mpeg1Audio() + id3v1(gbk(u"abc" + fourteen), text::toUtf8(u"A" + std::u16string(10, u'周')),
                                                gbk(u"ab" + fourteen)));
    EXPECT_EQ(info.Title, u"abc" + std::u16string(13, u'歌'));
    EXPECT_EQ(info.Artist, u"A" + std::u16string(9, u'周'));
    EXPECT_EQ(info.Album, u"ab" + fourteen);

    // ID3v2 texts marked as the code page, and bare ones without an encoding byte, read alike.
    const std::string frames = id3v2Frame(3, "TIT2", std::string(1, '\0') + "Caf\xE9") +
                               id3v2Frame(3, "TPE1", '\0' + text::toUtf8(u"Beyoncé")) +
                               id3v2Frame(3, "TALB", textBody(0, u"月亮代表我的心")) +
                               id3v2Frame(3, "TCOM", "Sch\xF6n \x96 \xF6");
    info = read("v2.mp3", id3v2Tag(3, frames) + mpeg1Audio());
    EXPECT_EQ(info.Title, u"Café");
    EXPECT_EQ(info.Artist, u"Beyoncé");
    EXPECT_EQ(info.Album, u"月亮代表我的心");
    EXPECT_EQ(info.Composer, u"Schön – ö");
}

TEST_F(Mp3InfoTest, Utf8ByteOrderMarksAreDropped) {
    const std::string bom = "\xEF\xBB\xBF";
    const std::string frames =
        id3v2Frame(4, "TIT2", "\x03" + bom + text::toUtf8(u"标题")) +
        id3v2Frame(4, "TPE1", "\x03" + bom + text::toUtf8(u"甲") + '\0' + bom + text::toUtf8(u"乙")) +
        id3v2Frame(4, "TALB", '\0' + bom + text::toUtf8(u"专辑"));
    const MediaInfo info = read("bom.mp3", id3v2Tag(4, frames) + mpeg1Audio());
    EXPECT_EQ(info.Title, u"标题");
    EXPECT_EQ(info.Artist, u"甲/乙");
    EXPECT_EQ(info.Album, u"专辑");
}

TEST_F(Mp3InfoTest, FrameSyncCountsOnlyWhenAnotherFrameFollows) {
    // A sync pattern in junk before the audio describes a frame that no header follows.
    MediaInfo info =
        read("junk.mp3", std::string("\xFF\xFB\x90\x64", 4) + std::string(600, 'j') + mpegAudio(0xF3, 0x80, 4096, 208));
    EXPECT_EQ(info.BitRate, u"64Kbps");
    EXPECT_EQ(info.SampleRate, u"22.05KHz");

    // A header followed by one of another stream (48 kHz after 44.1 kHz; 384-byte frames) is not
    // believed either.
    info = read("mixed.mp3", mpeg1Audio(417) + mpegAudio(0xFB, 0x94, 4096, 384));
    EXPECT_EQ(info.SampleRate, u"48KHz");

    // Files that only look like audio: a UTF-16 text (its mark FF FE reads as a layer I sync) and
    // Windows Media with a sync pattern in its data.
    read("text.mp3", "\xFF\xFE" + utf16(u"Track list: 1. Intro 2. Outro"), false);
    std::string wma = asfFile({asfContentDescription(u"Title", u"Artist")});
    wma.replace(wma.size() - 1000, 4, "\xFF\xFB\x90\x64");
    read("wma.mp3", wma, false);

    // A single frame ending the audio just where the ID3v1 block begins counts; one cut short does not.
    EXPECT_EQ(read("one.mp3", mpeg1Audio(417) + id3v1("One", "")).BitRate, u"128Kbps");
    EXPECT_EQ(read("cut.mp3", mpeg1Audio(419) + id3v1("Cut", "")).BitRate, u"");
}

TEST_F(Mp3InfoTest, TagsKeptWithoutAudioAndNothingFoundIsFailure) {
    const MediaInfo tagged =
        read("noaudio.mp3", id3v2Tag(3, id3v2Frame(3, "TIT2", textBody(0, u"Only tag"))) + std::string(9000, 'x'));
    EXPECT_EQ(tagged.Title, u"Only tag");
    EXPECT_EQ(tagged.BitRate, u"");

    // Audio beyond the first 8192 positions is not searched for.
    read("late.mp3", std::string(8192, 'x') + mpeg1Audio(), false);
    read("late-ok.mp3", std::string(8191, 'x') + mpeg1Audio());

    // 127 bytes cannot hold an ID3v1 block, 128 can.
    read("short.mp3", std::string_view(id3v1("Title", "Artist")).substr(0, 127), false);
    EXPECT_EQ(read("exact.mp3", id3v1("Title", "Artist")).Title, u"Title");
}

TEST_F(Mp3InfoTest, DispatcherByExtension) {
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

TEST_F(Mp3InfoTest, DamagedFilesGiveSafeResults) {
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
