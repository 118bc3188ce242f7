// Ogg files built page by page: Vorbis, Opus and FLAC streams, comments spread over pages, and the
// page damage a reader meets.
#include "media/readers/OggPackets.h"
#include "tests/media/readers/ContainerFileBuilder.h"
#include "tests/media/readers/MediaFileTest.h"
#include "tests/media/readers/TagExpectations.h"

using namespace tagfile;
using media::MediaInfo;

namespace {

using OggInfoTest = MediaFileTest;

const std::vector<std::string> kFields = {
    "TITLE=" + text::ToUtf8(u"标题"), "ARTIST=Singer", "ALBUM=Album",    "DATE=2001",
    "LYRICS=[00:00.50]hello",         "WRITER=Words",  "COMPOSER=Music",
};

void ExpectFields(const MediaInfo& info) {
    ExpectTexts(info, {u"标题", u"Singer", u"Album", u"2001", u"[00:00.50]hello", u"Words", u"Music"});
}

// Where each page of a file starts.
std::vector<std::size_t> PageOffsets(const std::string& file) {
    std::vector<std::size_t> offsets;
    for (std::size_t at = 0; (at = file.find("OggS", at)) != std::string::npos; ++at) offsets.push_back(at);
    return offsets;
}

TEST_F(OggInfoTest, VorbisIdentificationAndComment) {
    const MediaInfo info = Read("song.ogg", OggVorbisFile(kFields, 44100, 112000));
    EXPECT_EQ(info.MediaType, media::kMediaOgg);
    ExpectFields(info);
    EXPECT_EQ(info.BitRate, u"112Kbps");
    EXPECT_EQ(info.SampleRate, u"44.1KHz");
}

TEST_F(OggInfoTest, OpusHeadAndTagsWithTheBitRateFromTheLastGranule) {
    // 480312 - 312 samples at 48 kHz are 10 s; 160000 bytes of audio (page headers included) over
    // them are 128 kbit/s.
    const MediaInfo info = Read("song.opus", OggOpusFile(kFields, 44100, 480312, 159000));
    EXPECT_EQ(info.MediaType, media::kMediaOpus);
    ExpectFields(info);
    EXPECT_EQ(info.SampleRate, u"44.1KHz") << "the input's rate, not the decoding rate";
    EXPECT_EQ(info.BitRate, u"128Kbps");

    const MediaInfo unsaid = Read("unsaid.opus", OggOpusFile({"TITLE=x"}, 0));
    EXPECT_EQ(unsaid.SampleRate, u"48KHz");
    // In an .ogg file the content decides.
    EXPECT_EQ(Read("opus.ogg", OggOpusFile(kFields)).Title, u"标题");
}

TEST_F(OggInfoTest, FlacInOgg) {
    const MediaInfo info = Read("song.oga", OggFlacFile(kFields, 48000, 480000));
    EXPECT_EQ(info.MediaType, media::kMediaOgg);
    ExpectFields(info);
    EXPECT_EQ(info.SampleRate, u"48KHz");
    EXPECT_FALSE(info.BitRate.empty());
}

TEST_F(OggInfoTest, ACommentOverManyPagesIsGatheredAndPicturesInItAreSkipped) {
    std::vector<std::string> fields = {"METADATA_BLOCK_PICTURE=" + std::string(300000, 'P')};
    fields.insert(fields.end(), kFields.begin(), kFields.end());
    const std::vector<std::string> pages =
        OggHeaderPages(9, {VorbisIdentification(48000, 0), VorbisCommentPacket(fields), VorbisSetupPacket()}, 1000);
    ASSERT_GT(pages.size(), 250u);
    // No nominal bit rate: 10 s of audio from the last granule, about 240000 bytes with the page
    // headers and the end of the setup header.
    const std::string file = Joined(pages) + OggAudioPages(9, static_cast<std::uint32_t>(pages.size()), 480000, 238500);
    const MediaInfo info = Read("pages.ogg", file);
    ExpectFields(info);
    EXPECT_EQ(info.SampleRate, u"48KHz");
    EXPECT_EQ(info.BitRate, u"192Kbps");
}

TEST_F(OggInfoTest, AWrongCrcDoesNotLoseTheTexts) {
    std::string file = OggVorbisFile(kFields);
    const std::size_t commentPage = PageOffsets(file)[1];
    file[commentPage + 22] = static_cast<char>(file[commentPage + 22] ^ 0x5A);
    ExpectFields(Read("crc.ogg", file));
}

TEST_F(OggInfoTest, ALostPageCutsTheCommentAfterItsWholeFields) {
    // The comment over several pages: TITLE on the first of them, the padding field over the
    // middle ones, ALBUM on the last.
    const std::vector<std::string> fields = {"TITLE=first", "PADDING=" + std::string(3000, '.'), "ALBUM=last"};
    std::vector<std::string> pages = OggHeaderPages(
        3, {VorbisIdentification(44100, 128000), VorbisCommentPacket(fields), VorbisSetupPacket()}, 1000);
    ASSERT_GE(pages.size(), 5u);
    std::vector<std::string> gap = pages;
    gap.erase(gap.begin() + 2);  // a page in the middle of the comment
    MediaInfo info = Read("gap.ogg", Joined(gap));
    EXPECT_EQ(info.Title, u"first");
    EXPECT_EQ(info.Album, u"");
    EXPECT_EQ(info.BitRate, u"128Kbps");

    // A page of the comment that does not say it continues a packet ends the comment the same way.
    std::vector<std::string> restarted = pages;
    const std::size_t segments = static_cast<std::uint8_t>(restarted[2][26]);
    restarted[2] = OggPage(0, 0, 3, 2, std::vector<std::uint8_t>(segments, 255), restarted[2].substr(27 + segments));
    info = Read("restart.ogg", Joined(restarted));
    EXPECT_EQ(info.Title, u"first");
    EXPECT_EQ(info.Album, u"");

    // Whole: both.
    info = Read("whole.ogg", Joined(pages));
    EXPECT_EQ(info.Title, u"first");
    EXPECT_EQ(info.Album, u"last");
}

TEST_F(OggInfoTest, AFileCutInsideTheCommentKeepsItsWholeFields) {
    const std::string file = OggVorbisFile({"TITLE=T", "ARTIST=A"});
    const std::size_t artist = file.find("ARTIST=A");
    const MediaInfo info = Read("cut.ogg", file.substr(0, artist + 3));
    EXPECT_EQ(info.Title, u"T");
    EXPECT_EQ(info.Artist, u"");
    EXPECT_EQ(info.SampleRate, u"44.1KHz");
}

TEST_F(OggInfoTest, TheAudioStreamIsFoundAmongOthers) {
    // A video stream first, then the Vorbis stream, their pages interleaved.
    const std::string video = OggPage(kOggFirst, 0, 1, 0, {42}, "\x80theora" + std::string(35, '\0'));
    const std::vector<std::string> audio =
        OggHeaderPages(2, {VorbisIdentification(32000, 64000), VorbisCommentPacket(kFields), VorbisSetupPacket()}, 200);
    std::string file = video + audio[0];
    for (std::size_t i = 1; i < audio.size(); ++i)
        file += audio[i] + OggPage(0, 0, 1, static_cast<std::uint32_t>(i), {10}, std::string(10, 'v'));
    const MediaInfo info = Read("muxed.ogg", file);
    ExpectFields(info);
    EXPECT_EQ(info.SampleRate, u"32KHz");
    EXPECT_EQ(info.BitRate, u"64Kbps");
}

TEST_F(OggInfoTest, PagesOfOtherStreamsCountTowardsTheBound) {
    std::string file = OggPage(kOggFirst, 0, 2, 0, {30}, VorbisIdentification(44100, 128000));
    for (std::uint32_t i = 0; i < 1100; ++i) file += OggPage(0, 0, 1, i, {1}, "x");
    file += Joined(OggHeaderPages(2, {"", VorbisCommentPacket(kFields)})).substr(28);  // the comment's page only
    const MediaInfo info = Read("bound.ogg", file);
    EXPECT_EQ(info.Title, u"") << "the comment lies beyond the pages a reader looks at";
    EXPECT_EQ(info.SampleRate, u"44.1KHz");
}

TEST_F(OggInfoTest, FilesThatAreNoOggAudioStreamLeaveTheRecord) {
    MediaInfo record;
    record.Title = u"before";
    const auto check = [&](std::string_view name, const std::string& bytes) {
        WriteFile(dir / name, bytes);
        record.FileName = Location(name);
        const MediaInfo before = record;
        EXPECT_FALSE(media::ReadOggInfo(record)) << name;
        EXPECT_EQ(record, before) << name;
    };
    check("empty.ogg", "");
    check("text.ogg", "just some text, no pages");
    // Its first page does not start a stream.
    std::string notFirst = OggVorbisFile(kFields);
    notFirst[5] = 0;
    check("middle.ogg", notFirst);
    // Version 1 pages are not known.
    std::string version = OggVorbisFile(kFields);
    version[4] = 1;
    check("version.ogg", version);
    // A Speex stream: no reader here.
    check("speex.ogg", OggPage(kOggFirst, 0, 1, 0, {80}, "Speex   " + std::string(72, '\0')));
    // An identification header cut short.
    check("short.opus", OggPage(kOggFirst, 0, 1, 0, {12}, std::string("OpusHead\x01\x02\x00\x00", 12)));
}

// A packet as the reader hands it over: its bytes, and whether it came whole.
struct Packet {
    std::string bytes;
    bool complete = true;
    bool operator==(const Packet&) const = default;
    friend std::ostream& operator<<(std::ostream& out, const Packet& p) {
        return out << p.bytes.size() << " bytes" << (p.complete ? "" : ", cut short");
    }
};

std::vector<Packet> PacketsOf(const std::string& file, std::uint32_t serial) {
    media::MemorySource source(file);
    media::OggPacketReader reader(source, serial);
    std::vector<Packet> packets;
    while (std::optional<media::OggPacket> packet = reader.Next())
        packets.push_back({std::string(packet->bytes.Read(0, 1 << 20)), packet->complete});
    return packets;
}

// "big" spans pages 1 to 3; page 3 also holds "third".
const std::string kBig(700, 'b');
const std::vector<std::string> kPages = OggHeaderPages(4, {"first", "second", kBig, "third"}, 300);

TEST(OggPackets, PacketsComeWholeOverPagesAndOnlyForTheirStream) {
    ASSERT_EQ(kPages.size(), 4u);
    const std::string file = Joined(kPages);
    EXPECT_EQ(PacketsOf(file, 4), (std::vector<Packet>{{"first"}, {"second"}, {kBig}, {"third"}}));
    EXPECT_TRUE(PacketsOf(file, 5).empty());

    media::MemorySource source(file);
    media::OggPacketReader reader(source, 4);
    reader.Next();
    reader.Next();
    EXPECT_GT(reader.Next()->bytes.SliceCount(), 1u) << "read in place from its pages";
    reader.Next();
    EXPECT_FALSE(reader.Next());
    EXPECT_EQ(reader.Position(), file.size());
}

TEST(OggPackets, DamageCutsAPacketAndTheNextOneIsWhole) {
    // A stream cut inside the big packet gives what arrived.
    const std::string file = Joined(kPages);
    const std::string cut = file.substr(0, file.find(std::string(20, 'b')) + 20);
    EXPECT_EQ(PacketsOf(cut, 4), (std::vector<Packet>{{"first"}, {"second"}, {std::string(20, 'b'), false}}));

    // A lost page: what came before it, then the rest of the cut packet is passed over.
    std::vector<std::string> lost = kPages;
    lost.erase(lost.begin() + 2);
    EXPECT_EQ(PacketsOf(Joined(lost), 4),
              (std::vector<Packet>{{"first"}, {"second"}, {std::string(255, 'b'), false}, {"third"}}));

    // Page 2 without its continuation flag starts a packet of its own, which page 3 continues.
    std::vector<std::string> fresh = kPages;
    const std::size_t segments = static_cast<std::uint8_t>(fresh[2][26]);
    fresh[2] = OggPage(0, 0, 4, 2, std::vector<std::uint8_t>(segments, 255), fresh[2].substr(27 + segments));
    EXPECT_EQ(PacketsOf(Joined(fresh), 4),
              (std::vector<Packet>{
                  {"first"}, {"second"}, {std::string(255, 'b'), false}, {std::string(255 + 190, 'b')}, {"third"}}));
}

TEST(OggPackets, TheLastGranuleIsThatOfTheStreamsLastWholePage) {
    std::string file = OggVorbisFile(kFields, 44100, 128000, 123456, 8) + OggAudioPages(9, 0, 999999, 100);
    media::MemorySource source(file);
    EXPECT_EQ(media::LastGranule(source, 8), 123456u);
    EXPECT_EQ(media::LastGranule(source, 9), 999999u);
    EXPECT_FALSE(media::LastGranule(source, 10));
    // A last page cut short is not taken; the one before it is.
    const std::string cut = file.substr(0, file.size() - 10);
    media::MemorySource cutSource(cut);
    EXPECT_EQ(media::LastGranule(cutSource, 8), 123456u);
    EXPECT_FALSE(media::LastGranule(cutSource, 9));
}

}  // namespace
