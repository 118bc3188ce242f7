#include "tests/media/readers/MediaFileTest.h"

using namespace tagfile;
using media::MediaInfo;

namespace {

using AsfInfoTest = MediaFileTest;

const AsfCodec kAudioCodec{2, u"Windows Media Audio 9.2", u"128 kbps, 44 kHz, stereo 1-pass CBR"};
const AsfCodec kVideoCodec{1, u"Windows Media Video 9", u""};

TEST_F(AsfInfoTest, WmaWithContentAndExtendedContentDescriptions) {
    const MediaInfo info = Read("song.wma", AsfFile({
                                                AsfMandatoryObjects()[0],
                                                AsfMandatoryObjects()[1],
                                                AsfCodecList({kAudioCodec}),
                                                AsfContentDescription(u"歌名", u"作者", u""),
                                                AsfExtendedContent({{u"WM/YEAR", u"2005"},
                                                                    {u"WM/AlbumTitle", u"专辑"},
                                                                    {u"WM/AlbumArtist", u"专辑歌手"},
                                                                    {u"WM/Lyrics", u"一  二"},
                                                                    {u"WM/Composer", u"作曲"},
                                                                    {u"Author", u"不用"}}),
                                            }));
    EXPECT_EQ(info.MediaType, media::kMediaWindowsMedia);
    EXPECT_EQ(info.Title, u"歌名");
    EXPECT_EQ(info.Artist, u"专辑歌手");
    EXPECT_EQ(info.Year, u"2005");
    EXPECT_EQ(info.Album, u"专辑");
    EXPECT_EQ(info.Lyrics, u"一 二");
    EXPECT_EQ(info.Composer, u"作曲");
    EXPECT_EQ(info.BitRate, u"128Kbps");
    EXPECT_EQ(info.SampleRate, u"44KHz");
}

TEST_F(AsfInfoTest, AuthorFallbackAndYearFromCopyright) {
    MediaInfo info =
        Read("a.wma", AsfFile({AsfExtendedContent({{u"Author", u"Singer"}, {u"WM/OriginalReleaseYear", u"1998"}})}));
    EXPECT_EQ(info.Artist, u"Singer");
    EXPECT_EQ(info.Year, u"1998");

    info = Read("b.asf", AsfFile({AsfContentDescription(u"T", u"", u"(C) 2003 Label")}));
    EXPECT_EQ(info.Year, u"2003");
}

TEST_F(AsfInfoTest, VideoCodecMarksVideo) {
    const std::string video = AsfFile({AsfCodecList({kVideoCodec, kAudioCodec})});
    EXPECT_EQ(Read("clip.wmv", video).MediaType, 12);
    EXPECT_EQ(Read("clip.wma", video).MediaType, 12);
    EXPECT_EQ(Read("audio.wmv", AsfFile({AsfCodecList({kAudioCodec})})).MediaType, 12);
}

TEST_F(AsfInfoTest, DamagedHeadersGiveSafeResults) {
    const std::string content = AsfContentDescription(u"Title", u"Author");
    // An object of size 0 after the texts: the walk stops instead of looping.
    std::string zeroSized = AsfFile({content, kAsfFileProperties + std::string(8, '\0')});
    zeroSized.replace(24, 4, LittleEndian(0xFFFFFFFF, 4));  // and an absurd object count
    EXPECT_EQ(Read("zero.wma", zeroSized).Title, u"Title");

    // Cut inside the copyright text: title and author are whole and read, the year is not.
    const std::string full = AsfFile({AsfContentDescription(u"Title", u"Author", u"(C) 2001")});
    const MediaInfo cut = Read("cut.wma", full.substr(0, 30 + 24 + 10 + 12 + 14 + 6));
    EXPECT_EQ(cut.Title, u"Title");
    EXPECT_EQ(cut.Artist, u"Author");
    EXPECT_EQ(cut.Year, u"");

    // A text length beyond its object: none of its texts is taken.
    std::string lying = full;
    lying.replace(30 + 24, 2, LittleEndian(0xFFFF, 2));
    EXPECT_EQ(Read("lying.wma", lying).Title, u"");

    // Not an ASF file: false, and the caller's record is untouched.
    WriteFile(dir / "fake.wma", std::string(100, 'x'));
    MediaInfo record;
    record.FileName = Location("fake.wma");
    record.Artist = u"before";
    const MediaInfo before = record;
    EXPECT_FALSE(media::ReadAsfInfo(record));
    EXPECT_EQ(record, before);
}

TEST(GuidToString, RegistryForm) {
    const std::string stored = kAsfExtendedContent;
    std::array<std::uint8_t, 16> bytes{};
    std::copy(stored.begin(), stored.end(), bytes.begin());
    EXPECT_EQ(media::GuidToString(bytes), u"{D2D0A440-E307-11D2-97F0-00A0C95EA850}");
}

}  // namespace
