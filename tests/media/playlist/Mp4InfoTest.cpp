// MP4 audio files built box by box: the iTunes item list, the sound track's rates, box sizes of
// every form and the damage a reader meets.
#include "tests/media/playlist/ContainerFileBuilder.h"
#include "tests/media/playlist/MediaFileTest.h"
#include "tests/media/playlist/TagExpectations.h"

using namespace tagfile;
using media::MediaInfo;

namespace {

using Mp4InfoTest = MediaFileTest;

const std::string kItems = mp4Item(
                               "\xA9"
                               "nam",
                               {text::toUtf8(u"标题")}) +
                           mp4Item(
                               "\xA9"
                               "ART",
                               {"Singer"}) +
                           mp4Item(
                               "\xA9"
                               "alb",
                               {"Album"}) +
                           mp4Item(
                               "\xA9"
                               "day",
                               {"2010-01-02T08:00:00Z"}) +
                           mp4Item(
                               "\xA9"
                               "lyr",
                               {"[00:01.00]line  one"}) +
                           mp4Item(
                               "\xA9"
                               "wrt",
                               {"Music"}) +
                           mp4FreeForm("LYRICIST", "Words") + mp4Item("covr", {std::string(5000, '\xFF')});

// Ten seconds of sound at 44.1 kHz whose decoder configuration says 128 kbit/s.
const std::string kTrack = mp4SoundTrack(44100, 128000, 441000);

// ©wrt is the composer; the writer comes from the free-form LYRICIST.
void expectItems(const MediaInfo& info) {
    expectTexts(info, {u"标题", u"Singer", u"Album", u"2010", u"[00:01.00]line one", u"Words", u"Music"});
}

TEST_F(Mp4InfoTest, ItemListAndSoundTrack) {
    const MediaInfo info =
        read("song.m4a", m4aFile(mp4Box("mvhd", std::string(100, '\0')) + kTrack + mp4UserData(kItems)));
    EXPECT_EQ(info.MediaType, media::kMediaMp4Audio);
    expectItems(info);
    EXPECT_EQ(info.BitRate, u"128Kbps");
    EXPECT_EQ(info.SampleRate, u"44.1KHz");
}

TEST_F(Mp4InfoTest, QuickTimeMetaLargeSizesAndSizeZeroAreRead) {
    // meta without version and flags; moov with a 64-bit size after mdat; mdat running to the end.
    const std::string moov = mp4LargeBox("moov", kTrack + mp4UserData(kItems, false));
    const std::string toEnd = bigEndian(0, 4) + "mdat" + std::string(3000, '\0');
    expectItems(read("quicktime.m4a", mp4FileType() + mp4LargeBox("mdat", std::string(2000, '\0')) + moov + toEnd));
}

TEST_F(Mp4InfoTest, ValuesOfEveryTextTypeAndSeveralOfOneItem) {
    const std::string items = mp4Box(
                                  "\xA9"
                                  "nam",
                                  mp4Data(utf16(u"宽字符", true), kMp4Utf16)) +
                              mp4Box(
                                  "\xA9"
                                  "ART",
                                  mp4Data("A") + mp4Data("B", 0) + mp4Data(std::string("\x00\x01", 2), kMp4Integer)) +
                              mp4Item(
                                  "\xA9"
                                  "day",
                                  {"1999", "2000"}) +
                              mp4Box(
                                  "\xA9"
                                  "alb",
                                  mp4Box("data", "abc"));
    const MediaInfo info = read("types.m4a", m4aFile(kTrack + mp4UserData(items)));
    EXPECT_EQ(info.Title, u"宽字符");
    EXPECT_EQ(info.Artist, u"A/B") << "UTF-8 and implicit texts join; numbers are not texts";
    EXPECT_EQ(info.Year, u"1999");
    EXPECT_EQ(info.Album, u"") << "a data box shorter than its header";
}

TEST_F(Mp4InfoTest, BitRateFromTheMediaDataWhenTheEncoderLeftItOpen) {
    // 160000 bytes over 441000 samples at 44.1 kHz: 128 kbit/s.
    MediaInfo info = read("vbr.m4a", m4aFile(mp4SoundTrack(44100, 0, 441000), 160000));
    EXPECT_EQ(info.BitRate, u"128Kbps");
    EXPECT_EQ(info.SampleRate, u"44.1KHz");
    // With a video track as well the media data is not the sound's alone: no bit rate. The video
    // track comes first and is passed over for the sound.
    info = read("video.m4a", m4aFile(mp4SoundTrack(25, 0, 250, "vide") + mp4SoundTrack(48000, 0, 480000), 160000));
    EXPECT_EQ(info.BitRate, u"");
    EXPECT_EQ(info.SampleRate, u"48KHz");
    // No tracks, no texts: still an MP4 file.
    info = read("bare.m4a", mp4FileType() + mp4Box("free", ""));
    EXPECT_EQ(info.Title, u"");
    EXPECT_EQ(info.SampleRate, u"");
}

TEST_F(Mp4InfoTest, BoxesLargerThanTheirParentEndTheirLevel) {
    // An item claiming more than the list holds: the items before it stay, it and those after go.
    const std::string title = mp4Item(
        "\xA9"
        "nam",
        {"T"});
    std::string lying = mp4Item(
        "\xA9"
        "ART",
        {"A"});
    lying.replace(0, 4, bigEndian(100000, 4));
    MediaInfo info = read("item.m4a", m4aFile(kTrack + mp4UserData(title + lying +
                                                                   mp4Item("\xA9"
                                                                           "alb",
                                                                           {"B"}))));
    EXPECT_EQ(info.Title, u"T");
    EXPECT_EQ(info.Artist, u"");
    EXPECT_EQ(info.Album, u"");
    EXPECT_EQ(info.SampleRate, u"44.1KHz") << "the track, outside the list, is whole";

    // A box smaller than its own header, and a 64-bit size beyond the file.
    std::string tiny = title + mp4Item(
                                   "\xA9"
                                   "alb",
                                   {"B"});
    tiny.replace(title.size(), 4, bigEndian(4, 4));
    info = read("tiny.m4a", m4aFile(kTrack + mp4UserData(tiny)));
    EXPECT_EQ(info.Title, u"T");
    EXPECT_EQ(info.Album, u"");
    std::string huge = mp4LargeBox("moov", kTrack + mp4UserData(kItems));
    huge.replace(8, 8, std::string(8, '\x7F'));
    info = read("huge.m4a", mp4FileType() + huge);
    EXPECT_EQ(info.Title, u"");

    // A file cut inside moov: moov no longer fits the file and is not read.
    const std::string whole = mp4FileType() + mp4Box("moov", kTrack + mp4UserData(kItems));
    info = read("cut.m4a", whole.substr(0, whole.size() - 10));
    EXPECT_EQ(info.Title, u"");
}

TEST_F(Mp4InfoTest, QuickTimeSoundDescriptions) {
    MediaInfo info =
        read("v1.m4a", m4aFile(mp4SoundTrack(48000, 160000, 480000, "soun", mp4QuickTimeAudioEntry(1, 48000, 160000))));
    EXPECT_EQ(info.SampleRate, u"48KHz");
    EXPECT_EQ(info.BitRate, u"160Kbps");
    // A rate above what the 16.16 field holds.
    info =
        read("v2.m4a", m4aFile(mp4SoundTrack(96000, 256000, 960000, "soun", mp4QuickTimeAudioEntry(2, 96000, 256000))));
    EXPECT_EQ(info.SampleRate, u"96KHz");
    EXPECT_EQ(info.BitRate, u"256Kbps");
}

TEST_F(Mp4InfoTest, DamagedDescriptorsAndEntriesFallBackToTheTrack) {
    // An ES descriptor that claims more than its box holds: its 200 kbit/s are not taken, the
    // media data over the duration is: 120000 bytes over 10 s.
    std::string track = mp4SoundTrack(22050, 200000, 220500);
    track[track.find("esds") + 12] = '\x7F';  // the ES descriptor's length
    MediaInfo info = read("esds.m4a", m4aFile(track, 120000));
    EXPECT_EQ(info.SampleRate, u"22.05KHz");
    EXPECT_EQ(info.BitRate, u"96Kbps");

    // A sample entry cut before its rate: the media header's scale stands in.
    info = read("entry.m4a", m4aFile(mp4SoundTrack(32000, 0, 320000, "soun", mp4Box("mp4a", std::string(20, '\0')))));
    EXPECT_EQ(info.SampleRate, u"32KHz");
}

TEST_F(Mp4InfoTest, OtherFilesAreNotMp4AndLeaveTheRecord) {
    MediaInfo record;
    record.Artist = u"before";
    for (const std::string& bytes : {std::string(), std::string("ID3\x03"), std::string(100, '\0'),
                                     bigEndian(16, 4) + "abcd" + std::string(8, '\0')}) {
        writeFile(dir / "not.m4a", bytes);
        record.FileName = location("not.m4a");
        const MediaInfo before = record;
        EXPECT_FALSE(media::ReadMp4Info(record));
        EXPECT_EQ(record, before);
    }
}

}  // namespace
