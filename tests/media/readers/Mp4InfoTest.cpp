// MP4 audio files built box by box: the iTunes item list, the sound track's rates, box sizes of
// every form and the damage a reader meets.
#include "tests/media/readers/ContainerFileBuilder.h"
#include "tests/media/readers/MediaFileTest.h"
#include "tests/media/readers/TagExpectations.h"

using namespace tagfile;
using media::MediaInfo;

namespace {

using Mp4InfoTest = MediaFileTest;

const std::string kItems = Mp4Item(
                               "\xA9"
                               "nam",
                               {text::ToUtf8(u"标题")}) +
                           Mp4Item(
                               "\xA9"
                               "ART",
                               {"Singer"}) +
                           Mp4Item(
                               "\xA9"
                               "alb",
                               {"Album"}) +
                           Mp4Item(
                               "\xA9"
                               "day",
                               {"2010-01-02T08:00:00Z"}) +
                           Mp4Item(
                               "\xA9"
                               "lyr",
                               {"[00:01.00]line  one"}) +
                           Mp4Item(
                               "\xA9"
                               "wrt",
                               {"Music"}) +
                           Mp4FreeForm("LYRICIST", "Words") + Mp4Item("covr", {std::string(5000, '\xFF')});

// Ten seconds of sound at 44.1 kHz whose decoder configuration says 128 kbit/s.
const std::string kTrack = Mp4SoundTrack(44100, 128000, 441000);

// ©wrt is the composer; the writer comes from the free-form LYRICIST.
void ExpectItems(const MediaInfo& info) {
    ExpectTexts(info, {u"标题", u"Singer", u"Album", u"2010", u"[00:01.00]line one", u"Words", u"Music"});
}

TEST_F(Mp4InfoTest, ItemListAndSoundTrack) {
    const MediaInfo info =
        Read("song.m4a", M4aFile(Mp4Box("mvhd", std::string(100, '\0')) + kTrack + Mp4UserData(kItems)));
    EXPECT_EQ(info.MediaType, media::kMediaMp4Audio);
    ExpectItems(info);
    EXPECT_EQ(info.BitRate, u"128Kbps");
    EXPECT_EQ(info.SampleRate, u"44.1KHz");
}

TEST_F(Mp4InfoTest, QuickTimeMetaLargeSizesAndSizeZeroAreRead) {
    // meta without version and flags; moov with a 64-bit size after mdat; mdat running to the end.
    const std::string moov = Mp4LargeBox("moov", kTrack + Mp4UserData(kItems, false));
    const std::string toEnd = BigEndian(0, 4) + "mdat" + std::string(3000, '\0');
    ExpectItems(Read("quicktime.m4a", Mp4FileType() + Mp4LargeBox("mdat", std::string(2000, '\0')) + moov + toEnd));
}

TEST_F(Mp4InfoTest, ValuesOfEveryTextTypeAndSeveralOfOneItem) {
    const std::string items = Mp4Box(
                                  "\xA9"
                                  "nam",
                                  Mp4Data(Utf16(u"宽字符", true), kMp4Utf16)) +
                              Mp4Box(
                                  "\xA9"
                                  "ART",
                                  Mp4Data("A") + Mp4Data("B", 0) + Mp4Data(std::string("\x00\x01", 2), kMp4Integer)) +
                              Mp4Item(
                                  "\xA9"
                                  "day",
                                  {"1999", "2000"}) +
                              Mp4Box(
                                  "\xA9"
                                  "alb",
                                  Mp4Box("data", "abc"));
    const MediaInfo info = Read("types.m4a", M4aFile(kTrack + Mp4UserData(items)));
    EXPECT_EQ(info.Title, u"宽字符");
    EXPECT_EQ(info.Artist, u"A/B") << "UTF-8 and implicit texts join; numbers are not texts";
    EXPECT_EQ(info.Year, u"1999");
    EXPECT_EQ(info.Album, u"") << "a data box shorter than its header";
}

TEST_F(Mp4InfoTest, BitRateFromTheMediaDataWhenTheEncoderLeftItOpen) {
    // 160000 bytes over 441000 samples at 44.1 kHz: 128 kbit/s.
    MediaInfo info = Read("vbr.m4a", M4aFile(Mp4SoundTrack(44100, 0, 441000), 160000));
    EXPECT_EQ(info.BitRate, u"128Kbps");
    EXPECT_EQ(info.SampleRate, u"44.1KHz");
    // With a video track as well the media data is not the sound's alone: no bit rate. The video
    // track comes first and is passed over for the sound.
    info = Read("video.m4a", M4aFile(Mp4SoundTrack(25, 0, 250, "vide") + Mp4SoundTrack(48000, 0, 480000), 160000));
    EXPECT_EQ(info.BitRate, u"");
    EXPECT_EQ(info.SampleRate, u"48KHz");
    // No tracks, no texts: still an MP4 file.
    info = Read("bare.m4a", Mp4FileType() + Mp4Box("free", ""));
    EXPECT_EQ(info.Title, u"");
    EXPECT_EQ(info.SampleRate, u"");
}

TEST_F(Mp4InfoTest, BoxesLargerThanTheirParentEndTheirLevel) {
    // An item claiming more than the list holds: the items before it stay, it and those after go.
    const std::string title = Mp4Item(
        "\xA9"
        "nam",
        {"T"});
    std::string lying = Mp4Item(
        "\xA9"
        "ART",
        {"A"});
    lying.replace(0, 4, BigEndian(100000, 4));
    MediaInfo info = Read("item.m4a", M4aFile(kTrack + Mp4UserData(title + lying +
                                                                   Mp4Item("\xA9"
                                                                           "alb",
                                                                           {"B"}))));
    EXPECT_EQ(info.Title, u"T");
    EXPECT_EQ(info.Artist, u"");
    EXPECT_EQ(info.Album, u"");
    EXPECT_EQ(info.SampleRate, u"44.1KHz") << "the track, outside the list, is whole";

    // A box smaller than its own header, and a 64-bit size beyond the file.
    std::string tiny = title + Mp4Item(
                                   "\xA9"
                                   "alb",
                                   {"B"});
    tiny.replace(title.size(), 4, BigEndian(4, 4));
    info = Read("tiny.m4a", M4aFile(kTrack + Mp4UserData(tiny)));
    EXPECT_EQ(info.Title, u"T");
    EXPECT_EQ(info.Album, u"");
    std::string huge = Mp4LargeBox("moov", kTrack + Mp4UserData(kItems));
    huge.replace(8, 8, std::string(8, '\x7F'));
    info = Read("huge.m4a", Mp4FileType() + huge);
    EXPECT_EQ(info.Title, u"");

    // A file cut inside moov: moov no longer fits the file and is not read.
    const std::string whole = Mp4FileType() + Mp4Box("moov", kTrack + Mp4UserData(kItems));
    info = Read("cut.m4a", whole.substr(0, whole.size() - 10));
    EXPECT_EQ(info.Title, u"");
}

TEST_F(Mp4InfoTest, QuickTimeSoundDescriptions) {
    MediaInfo info =
        Read("v1.m4a", M4aFile(Mp4SoundTrack(48000, 160000, 480000, "soun", Mp4QuickTimeAudioEntry(1, 48000, 160000))));
    EXPECT_EQ(info.SampleRate, u"48KHz");
    EXPECT_EQ(info.BitRate, u"160Kbps");
    // A rate above what the 16.16 field holds.
    info =
        Read("v2.m4a", M4aFile(Mp4SoundTrack(96000, 256000, 960000, "soun", Mp4QuickTimeAudioEntry(2, 96000, 256000))));
    EXPECT_EQ(info.SampleRate, u"96KHz");
    EXPECT_EQ(info.BitRate, u"256Kbps");
}

TEST_F(Mp4InfoTest, DamagedDescriptorsAndEntriesFallBackToTheTrack) {
    // An ES descriptor that claims more than its box holds: its 200 kbit/s are not taken, the
    // media data over the duration is: 120000 bytes over 10 s.
    std::string track = Mp4SoundTrack(22050, 200000, 220500);
    track[track.find("esds") + 12] = '\x7F';  // the ES descriptor's length
    MediaInfo info = Read("esds.m4a", M4aFile(track, 120000));
    EXPECT_EQ(info.SampleRate, u"22.05KHz");
    EXPECT_EQ(info.BitRate, u"96Kbps");

    // A sample entry cut before its rate: the media header's scale stands in.
    info = Read("entry.m4a", M4aFile(Mp4SoundTrack(32000, 0, 320000, "soun", Mp4Box("mp4a", std::string(20, '\0')))));
    EXPECT_EQ(info.SampleRate, u"32KHz");
}

TEST_F(Mp4InfoTest, OtherFilesAreNotMp4AndLeaveTheRecord) {
    MediaInfo record;
    record.Artist = u"before";
    for (const std::string& bytes : {std::string(), std::string("ID3\x03"), std::string(100, '\0'),
                                     BigEndian(16, 4) + "abcd" + std::string(8, '\0')}) {
        WriteFile(dir / "not.m4a", bytes);
        record.FileName = Location("not.m4a");
        const MediaInfo before = record;
        EXPECT_FALSE(media::ReadMp4Info(record));
        EXPECT_EQ(record, before);
    }
}

}  // namespace
