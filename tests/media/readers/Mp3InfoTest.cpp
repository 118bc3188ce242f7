#include "tests/media/readers/MediaFileTest.h"
#include "tests/media/readers/Mp3FileBuilder.h"

using namespace tagfile;
using media::MediaInfo;

namespace {

using Mp3InfoTest = MediaFileTest;

TEST_F(Mp3InfoTest, Id3v1InGbkWithMpeg1Audio) {
    const MediaInfo info =
        Read("v1.mp3", Mpeg1Audio() + Id3v1(Gbk(u"月亮代表我的心"), Gbk(u"邓丽君"), Gbk(u"专辑"), "1977"));
    EXPECT_EQ(info.MediaType, media::kMediaMp3);
    EXPECT_EQ(info.Title, u"月亮代表我的心");
    EXPECT_EQ(info.Artist, u"邓丽君");
    EXPECT_EQ(info.Album, u"专辑");
    EXPECT_EQ(info.Year, u"1977");
    EXPECT_EQ(info.BitRate, u"128Kbps");
    EXPECT_EQ(info.SampleRate, u"44.1KHz");
}

TEST_F(Mp3InfoTest, Id3v1TitleLosesHyphensArtistAndExtension) {
    EXPECT_EQ(Read("a.mp3", Mpeg1Audio() + Id3v1("Tom - Song", "Tom")).Title, u"  Song");
    const MediaInfo info = Read("b.mp3", Mpeg1Audio() + Id3v1(Gbk(u"歌——名.MP3"), ""));
    EXPECT_EQ(info.Title, u"歌名");
    EXPECT_EQ(info.Artist, u"");
}

TEST_F(Mp3InfoTest, Id3v23Utf16TextsWinOverId3v1AndMpeg2Audio) {
    const std::string lyrics = std::string("\x01") + "chi" + "\xFF\xFE" + Utf16(u"desc") + std::string(2, '\0') +
                               "\xFF\xFE" + Utf16(u"第一行  词\r\n第二行");
    const std::string frames = Id3v2Frame(3, "TIT2", TextBody(1, u"中文标题")) +
                               Id3v2Frame(3, "TPE1", TextBody(1, u"歌手")) +
                               Id3v2Frame(3, "TCOM", TextBody(2, u"作曲")) + Id3v2Frame(3, "USLT", lyrics) +
                               Id3v2Frame(3, "TALB", TextBody(1, u""));
    // MPEG-2 layer III at 64 kbit/s and 22.05 kHz: 72000 x 64 / 22050 = 208 bytes a frame.
    const MediaInfo info = Read("v23.mp3", Id3v2Tag(3, frames, 512) + MpegAudio(0xF3, 0x80, 4096, 208) +
                                               Id3v1("v1 title", "v1 artist", "v1 album", "1999"));
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
    const std::string frames = Id3v2Frame(4, "TIT2", TextBody(3, longTitle)) +
                               Id3v2Frame(4, "TPE1", TextBody(3, u"甲") + '\0' + text::ToUtf8(u"乙")) +
                               Id3v2Frame(4, "TDRC", TextBody(3, u"2008-05-01")) +
                               Id3v2Frame(4, "TEXT", TextBody(0, u"作词"));
    // MPEG-2.5 layer III at 40 kbit/s and 8 kHz: 72000 x 40 / 8000 = 360 bytes a frame.
    const MediaInfo info = Read("v24.mp3", Id3v2Tag(4, frames, 100) + MpegAudio(0xE3, 0x58, 4096, 360));
    EXPECT_EQ(info.Title, longTitle);
    EXPECT_EQ(info.Artist, u"甲/乙");
    EXPECT_EQ(info.Year, u"2008");
    EXPECT_EQ(info.Writer, u"作词");
    EXPECT_EQ(info.BitRate, u"40Kbps");
    EXPECT_EQ(info.SampleRate, u"8KHz");
}

TEST_F(Mp3InfoTest, EncoderSummaryFrameIsPassedOver) {
    // A 32 kbit/s frame (104 bytes) holding an encoder's "Info" summary, then the 128 kbit/s audio.
    std::string summary = MpegAudio(0xFB, 0x10, 104, 104);
    summary.replace(36, 4, "Info");
    EXPECT_EQ(Read("info.mp3", summary + Mpeg1Audio()).BitRate, u"128Kbps");
}

TEST_F(Mp3InfoTest, OlderAndUnusualTagLayouts) {
    const std::string v22 = Id3v2Frame(2, "TT2", TextBody(0, u"老标题")) +
                            Id3v2Frame(2, "TP1", TextBody(0, u"老歌手")) +
                            Id3v2Frame(2, "ULT", std::string("\0eng\0", 5) + "la la");
    MediaInfo info = Read("v22.mp3", Id3v2Tag(2, v22) + Mpeg1Audio());
    EXPECT_EQ(info.Title, u"老标题");
    EXPECT_EQ(info.Artist, u"老歌手");
    EXPECT_EQ(info.Lyrics, u"la la");

    // ID3v2.3, unsynchronised (FF 00 stands for FF) and with an extended header.
    const std::string extended = BigEndian(6, 4) + std::string(6, '\0');
    // The frame holds 4 bytes; stored unsynchronised they take 5.
    const std::string title = "TIT2" + BigEndian(4, 4) + std::string("\0\0\0a\xFF\0b", 7);
    info = Read("unsync.mp3", Id3v2Tag(3, extended + title, 0, 0xC0) + Mpeg1Audio());
    EXPECT_EQ(info.Title, u"a\u00FFb");  // no valid GBK: Windows-1252

    // A frame whose encoding byte is missing is bare ANSI text.
    info = Read("bare.mp3", Id3v2Tag(3, Id3v2Frame(3, "TPE1", Gbk(u"歌手"))) + Mpeg1Audio());
    EXPECT_EQ(info.Artist, u"歌手");
}

TEST_F(Mp3InfoTest, Id3v24FrameSizesWrittenPlain) {
    // From 128 on a plain size reads differently as syncsafe; sizes with no byte of 128 or more
    // (256, 300, 4096 ...) cannot be told apart by their bytes, only by where the frame ends.
    for (std::size_t length : {127, 128, 200, 255, 256, 300, 1000, 4096, 8300, 16383, 16384}) {
        SCOPED_TRACE(length);
        const std::u16string title = u"标题" + std::u16string(length - 7, u'x');  // a body of `length` bytes
        const std::string body = TextBody(3, title);
        const std::string artist = TextBody(3, u"歌手");

        // Followed by another frame, by padding, or ending the tag.
        MediaInfo info =
            Read("then-frame.mp3",
                 Id3v2Tag(4, Id3v24PlainSizeFrame("TIT2", body) + Id3v24PlainSizeFrame("TPE1", artist)) + Mpeg1Audio());
        EXPECT_EQ(info.Title, title);
        EXPECT_EQ(info.Artist, u"歌手");
        EXPECT_EQ(Read("then-padding.mp3", Id3v2Tag(4, Id3v24PlainSizeFrame("TIT2", body), 300) + Mpeg1Audio()).Title,
                  title);
        info =
            Read("at-end.mp3",
                 Id3v2Tag(4, Id3v24PlainSizeFrame("TPE1", artist) + Id3v24PlainSizeFrame("TIT2", body)) + Mpeg1Audio());
        EXPECT_EQ(info.Title, title);
        EXPECT_EQ(info.Artist, u"歌手");

        // Written as the standard says, the same frames read the same.
        info = Read("syncsafe.mp3",
                    Id3v2Tag(4, Id3v2Frame(4, "TIT2", body) + Id3v2Frame(4, "TPE1", artist), 50) + Mpeg1Audio());
        EXPECT_EQ(info.Title, title);
        EXPECT_EQ(info.Artist, u"歌手");
    }
}

TEST_F(Mp3InfoTest, Id3v24SyncsafeSizeWinsWhenBothReadingsFit) {
    // The 128-byte title reads 256 when plain, which lands on the album frame just as well: the
    // syncsafe reading, the standard one, is taken.
    const std::u16string title = u"T" + std::u16string(126, u'x');
    const std::string frames = Id3v2Frame(4, "TIT2", TextBody(0, title)) +
                               Id3v2Frame(4, "TPE1", TextBody(0, std::u16string(117, u'a'))) +
                               Id3v2Frame(4, "TALB", TextBody(0, u"Album"));
    const MediaInfo info = Read("both.mp3", Id3v2Tag(4, frames) + Mpeg1Audio());
    EXPECT_EQ(info.Title, title);
    EXPECT_EQ(info.Artist, std::u16string(117, u'a'));
    EXPECT_EQ(info.Album, u"Album");
}

TEST_F(Mp3InfoTest, CompressedFramesAreInflated) {
    std::string frames = CompressedFrame(3, "TIT2", TextBody(1, u"压缩的标题")) +
                         CompressedFrame(3, "TPE1", TextBody(0, u"歌手"))
                         // grouped as well: the group byte follows the inflated size
                         + Id3v2Frame(3, "TALB", BigEndian(6, 4) + "G" + ZlibCompressed(TextBody(0, u"Album")), 0xA0);
    MediaInfo info = Read("v23.mp3", Id3v2Tag(3, frames, 64) + Mpeg1Audio());
    EXPECT_EQ(info.Title, u"压缩的标题");
    EXPECT_EQ(info.Artist, u"歌手");
    EXPECT_EQ(info.Album, u"Album");

    frames = CompressedFrame(4, "TIT2", TextBody(3, u"标题")) +
             CompressedFrame(4, "TPE1", TextBody(3, std::u16string(2000, u'歌')))
             // without the data length indicator the standard asks for
             + Id3v2Frame(4, "TALB", ZlibCompressed(TextBody(3, u"专辑")), 0x08);
    info = Read("v24.mp3", Id3v2Tag(4, frames, 64) + Mpeg1Audio());
    EXPECT_EQ(info.Title, u"标题");
    EXPECT_EQ(info.Artist, std::u16string(2000, u'歌'));
    EXPECT_EQ(info.Album, u"专辑");

    // A stream longer than its declared size is cut there.
    const std::string longText = TextBody(0, std::u16string(3000, u'x'));
    frames = Id3v2Frame(3, "TIT2", BigEndian(100, 4) + ZlibCompressed(longText), 0x80);
    EXPECT_EQ(Read("cut.mp3", Id3v2Tag(3, frames) + Mpeg1Audio()).Title, std::u16string(99, u'x'));
}

TEST_F(Mp3InfoTest, HostileCompressedFramesAreNotRead) {
    const std::string v1 = Id3v1("v1 title", "v1 artist");
    const std::string stream = ZlibCompressed(TextBody(0, u"Inflated"));
    std::string damaged = stream;
    damaged[0] = '\x00';  // no zlib header
    struct Case {
        const char* name;
        int version;
        std::string frame;
    };
    const Case cases[] = {
        {"4 GiB", 3, Id3v2Frame(3, "TIT2", BigEndian(0xFFFFFFFF, 4) + stream, 0x80)},  // no allocation of that size
        {"256 MiB", 4, Id3v2Frame(4, "TIT2", Syncsafe(0x0FFFFFFF) + stream, 0x09)},
        {"damaged", 3, Id3v2Frame(3, "TIT2", BigEndian(9, 4) + damaged, 0x80)},
        {"cut short", 3, Id3v2Frame(3, "TIT2", BigEndian(9, 4) + stream.substr(0, stream.size() / 2), 0x80)},
        {"no size", 3, Id3v2Frame(3, "TIT2", "\x01\x02", 0x80)},
        {"no data length", 4, Id3v2Frame(4, "TIT2", "\x01\x02", 0x09)},
        {"encrypted", 3, Id3v2Frame(3, "TIT2", TextBody(0, u"Secret"), 0x40)},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const std::string artist = Id3v2Frame(c.version, "TPE1", TextBody(0, u"Artist"));
        const MediaInfo info = Read("hostile.mp3", Id3v2Tag(c.version, c.frame + artist) + Mpeg1Audio() + v1);
        EXPECT_EQ(info.Title, u"v1 title");
        EXPECT_EQ(info.Artist, u"Artist");
    }
}

TEST_F(Mp3InfoTest, CompressedFramesOfOneTagInflateToFourMegabytesAtMost) {
    // Four frames of a megabyte each, from a few kilobytes of file, use up what one tag may inflate
    // to: a compressed frame after them is not read, a stored one is.
    const std::string megabyte = CompressedFrame(3, "TALB", TextBody(0, std::u16string((1 << 20) - 1, u'a')));
    const std::string frames = megabyte + megabyte + megabyte + megabyte +
                               CompressedFrame(3, "TIT2", TextBody(0, u"Late")) +
                               Id3v2Frame(3, "TPE1", TextBody(0, u"Stored"));
    const MediaInfo info = Read("budget.mp3", Id3v2Tag(3, frames) + Mpeg1Audio() + Id3v1("v1 title", ""));
    EXPECT_EQ(info.Album.size(), (1u << 20) - 1);
    EXPECT_EQ(info.Title, u"v1 title");
    EXPECT_EQ(info.Artist, u"Stored");
}

TEST_F(Mp3InfoTest, FramesWithOddIdsArePassedOver) {
    const std::string frames =
        Id3v2Frame(3, "COM ", std::string("\0engOld comment", 15)) + Id3v2Frame(3, "Xxx1", "junk") +
        Id3v2Frame(3, "tit2", TextBody(0, u"lower-case id")) + Id3v2Frame(3, "TIT2", TextBody(0, u"Title")) +
        Id3v2Frame(3, "\xA9nam", TextBody(0, u"odd")) + Id3v2Frame(3, "TPE1", TextBody(0, u"Artist"));
    MediaInfo info = Read("odd.mp3", Id3v2Tag(3, frames, 32) + Mpeg1Audio());
    EXPECT_EQ(info.Title, u"Title");
    EXPECT_EQ(info.Artist, u"Artist");

    info = Read("odd22.mp3",
                Id3v2Tag(2, Id3v2Frame(2, "CoM", "x") + Id3v2Frame(2, "TT2", TextBody(0, u"Old"))) + Mpeg1Audio());
    EXPECT_EQ(info.Title, u"Old");

    // Four NULs are padding: nothing after them is read.
    info = Read("padding.mp3", Id3v2Tag(3, Id3v2Frame(3, "TIT2", TextBody(0, u"Title")) + std::string(10, '\0') +
                                               Id3v2Frame(3, "TPE1", TextBody(0, u"Hidden"))) +
                                   Mpeg1Audio());
    EXPECT_EQ(info.Title, u"Title");
    EXPECT_EQ(info.Artist, u"");

    // An odd frame that runs past the tag ends the walk; what came before it stays.
    const std::string runaway = "Xxx1" + BigEndian(5000, 4) + std::string(2, '\0');
    info = Read("runaway.mp3", Id3v2Tag(3, Id3v2Frame(3, "TIT2", TextBody(0, u"Title")) + runaway +
                                               Id3v2Frame(3, "TPE1", TextBody(0, u"Lost"))) +
                                   Mpeg1Audio());
    EXPECT_EQ(info.Title, u"Title");
    EXPECT_EQ(info.Artist, u"");
}

TEST_F(Mp3InfoTest, AnsiTextsInUtf8GbkOrWindows1252) {
    // Western taggers: Windows-1252, which is no valid GBK.
    MediaInfo info = Read("latin.mp3", Mpeg1Audio() + Id3v1("Caf\xE9", "Beyonc\xE9", "\x93Hits\x94 \x96 \x80 5"));
    EXPECT_EQ(info.Title, u"Café");
    EXPECT_EQ(info.Artist, u"Beyoncé");
    EXPECT_EQ(info.Album, u"“Hits” – € 5");

    // UTF-8 (written so by encoders), though "Café" in UTF-8 is valid GBK as well.
    info = Read("utf8.mp3", Mpeg1Audio() + Id3v1(text::ToUtf8(u"Café"), text::ToUtf8(u"周杰伦")));
    EXPECT_EQ(info.Title, u"Café");
    EXPECT_EQ(info.Artist, u"周杰伦");

    // A character cut by the field's width is dropped, in GBK and in UTF-8; 30 bytes that end on a
    // whole character are kept whole.
    const std::u16string fourteen(14, u'歌');
    info = Read("cut.mp3", Mpeg1Audio() + Id3v1(Gbk(u"abc" + fourteen), text::ToUtf8(u"A" + std::u16string(10, u'周')),
                                                Gbk(u"ab" + fourteen)));
    EXPECT_EQ(info.Title, u"abc" + std::u16string(13, u'歌'));
    EXPECT_EQ(info.Artist, u"A" + std::u16string(9, u'周'));
    EXPECT_EQ(info.Album, u"ab" + fourteen);

    // ID3v2 texts marked as the code page, and bare ones without an encoding byte, read alike.
    const std::string frames = Id3v2Frame(3, "TIT2", std::string(1, '\0') + "Caf\xE9") +
                               Id3v2Frame(3, "TPE1", '\0' + text::ToUtf8(u"Beyoncé")) +
                               Id3v2Frame(3, "TALB", TextBody(0, u"月亮代表我的心")) +
                               Id3v2Frame(3, "TCOM", "Sch\xF6n \x96 \xF6");
    info = Read("v2.mp3", Id3v2Tag(3, frames) + Mpeg1Audio());
    EXPECT_EQ(info.Title, u"Café");
    EXPECT_EQ(info.Artist, u"Beyoncé");
    EXPECT_EQ(info.Album, u"月亮代表我的心");
    EXPECT_EQ(info.Composer, u"Schön – ö");
}

TEST_F(Mp3InfoTest, Utf8ByteOrderMarksAreDropped) {
    const std::string bom = "\xEF\xBB\xBF";
    const std::string frames =
        Id3v2Frame(4, "TIT2", "\x03" + bom + text::ToUtf8(u"标题")) +
        Id3v2Frame(4, "TPE1", "\x03" + bom + text::ToUtf8(u"甲") + '\0' + bom + text::ToUtf8(u"乙")) +
        Id3v2Frame(4, "TALB", '\0' + bom + text::ToUtf8(u"专辑"));
    const MediaInfo info = Read("bom.mp3", Id3v2Tag(4, frames) + Mpeg1Audio());
    EXPECT_EQ(info.Title, u"标题");
    EXPECT_EQ(info.Artist, u"甲/乙");
    EXPECT_EQ(info.Album, u"专辑");
}

TEST_F(Mp3InfoTest, FrameSyncCountsOnlyWhenAnotherFrameFollows) {
    // A sync pattern in junk before the audio describes a frame that no header follows.
    MediaInfo info =
        Read("junk.mp3", std::string("\xFF\xFB\x90\x64", 4) + std::string(600, 'j') + MpegAudio(0xF3, 0x80, 4096, 208));
    EXPECT_EQ(info.BitRate, u"64Kbps");
    EXPECT_EQ(info.SampleRate, u"22.05KHz");

    // A header followed by one of another stream (48 kHz after 44.1 kHz; 384-byte frames) is not
    // believed either.
    info = Read("mixed.mp3", Mpeg1Audio(417) + MpegAudio(0xFB, 0x94, 4096, 384));
    EXPECT_EQ(info.SampleRate, u"48KHz");

    // Files that only look like audio: a UTF-16 text (its mark FF FE reads as a layer I sync) and
    // Windows Media with a sync pattern in its data.
    Read("text.mp3", "\xFF\xFE" + Utf16(u"Track list: 1. Intro 2. Outro"), false);
    std::string wma = AsfFile({AsfContentDescription(u"Title", u"Artist")});
    wma.replace(wma.size() - 1000, 4, "\xFF\xFB\x90\x64");
    Read("wma.mp3", wma, false);

    // A single frame ending the audio just where the ID3v1 block begins counts; one cut short does not.
    EXPECT_EQ(Read("one.mp3", Mpeg1Audio(417) + Id3v1("One", "")).BitRate, u"128Kbps");
    EXPECT_EQ(Read("cut.mp3", Mpeg1Audio(419) + Id3v1("Cut", "")).BitRate, u"");
}

TEST_F(Mp3InfoTest, TagsKeptWithoutAudioAndNothingFoundIsFailure) {
    const MediaInfo tagged =
        Read("noaudio.mp3", Id3v2Tag(3, Id3v2Frame(3, "TIT2", TextBody(0, u"Only tag"))) + std::string(9000, 'x'));
    EXPECT_EQ(tagged.Title, u"Only tag");
    EXPECT_EQ(tagged.BitRate, u"");

    // Audio beyond the first 8192 positions is not searched for.
    Read("late.mp3", std::string(8192, 'x') + Mpeg1Audio(), false);
    Read("late-ok.mp3", std::string(8191, 'x') + Mpeg1Audio());

    // 127 bytes cannot hold an ID3v1 block, 128 can.
    Read("short.mp3", std::string_view(Id3v1("Title", "Artist")).substr(0, 127), false);
    EXPECT_EQ(Read("exact.mp3", Id3v1("Title", "Artist")).Title, u"Title");
}

TEST_F(Mp3InfoTest, DispatcherByExtension) {
    const std::string mp3 = Mpeg1Audio() + Id3v1("Upper", "");
    EXPECT_EQ(Read("CAPS.MP3", mp3).Title, u"Upper");
    const MediaInfo wav = Read("sound.wav", mp3, false);
    EXPECT_EQ(wav.MediaType, media::kMediaWave);
    EXPECT_EQ(wav.Title, u"");

    std::filesystem::create_directory(dir / "folder.mp3");
    MediaInfo info;
    info.FileName = Location("folder.mp3");
    EXPECT_FALSE(media::ReadMediaInfo(info));
    info.FileName = u"http://host/song.mp3";
    EXPECT_FALSE(media::ReadMediaInfo(info));

    EXPECT_EQ(media::MediaTypeOf(u"clip.WMV"), 12);
    EXPECT_EQ(media::MediaTypeOf(u"song.midi"), 1);
    EXPECT_EQ(media::MediaTypeOf(u"noextension"), 0);
}

TEST_F(Mp3InfoTest, DamagedFilesGiveSafeResults) {
    const std::string title = Id3v2Frame(3, "TIT2", TextBody(0, u"Kept"));
    // Tag declares more than the file holds, and its second frame runs past the end.
    const std::string cut = Id3v2Tag(3, title + Id3v2Frame(3, "TPE1", TextBody(0, u"Cut off"))).substr(0, 40);
    const MediaInfo truncated = Read("cut.mp3", cut);
    EXPECT_EQ(truncated.Title, u"Kept");
    EXPECT_EQ(truncated.Artist, u"");

    // A frame claiming 2 GiB inside a small tag ends the walk without reading anything.
    const std::string huge = "TPE1" + BigEndian(0x7FFFFFFF, 4) + std::string(2, '\0');
    EXPECT_EQ(Read("huge.mp3", Id3v2Tag(3, title + huge) + Mpeg1Audio()).Title, u"Kept");

    // A failed read leaves the caller's record as it was.
    WriteFile(dir / "junk.mp3", std::string(3000, 'x'));
    MediaInfo record;
    record.FileName = Location("junk.mp3");
    record.Title = u"before";
    const MediaInfo before = record;
    EXPECT_FALSE(media::ReadMp3Info(record));
    EXPECT_EQ(record, before);
}

}  // namespace
