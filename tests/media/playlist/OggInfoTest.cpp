// Ogg files built page by page: Vorbis, Opus and FLAC streams, comments spread over pages, and the
// page damage a reader meets.
#include "media/readers/OggPackets.h"
#include "tests/media/playlist/ContainerFileBuilder.h"
#include "tests/media/playlist/MediaFileTest.h"
#include "tests/media/playlist/TagExpectations.h"

using namespace tagfile;
using media::MediaInfo;

namespace {

using OggInfoTest = MediaFileTest;

const std::vector<std::string> kFields = {
    "TITLE=" + text::toUtf8(u"标题"), "ARTIST=Singer", "ALBUM=Album",    "DATE=2001",
    "LYRICS=[00:00.50]hello",         "WRITER=Words",  "COMPOSER=Music",
};

void expectFields(const MediaInfo& info) {
    expectTexts(info, {u"标题", u"Singer", u"Album", u"2001", u"[00:00.50]hello", u"Words", u"Music"});
}

// Where each page of a file starts.
std::vector<std::size_t> pageOffsets(const std::string& file) {
    std::vector<std::size_t> offsets;
    for (std::size_t at = 0; (at = file.find("OggS", at)) != std::string::npos; ++at) offsets.push_back(at);
    return offsets;
}

TEST_F(OggInfoTest, VorbisIdentificationAndComment) {
    const MediaInfo info = read("song.ogg", oggVorbisFile(kFields, 44100, 112000));
    EXPECT_EQ(info.MediaType, media::kMediaOgg);
    expectFields(info);
    EXPECT_EQ(info.BitRate, u"112Kbps");
    EXPECT_EQ(info.SampleRate, u"44.1KHz");
}

TEST_F(OggInfoTest, OpusHeadAndTagsWithTheBitRateFromTheLastGranule) {
    // 480312 - 312 samples at 48 kHz are 10 s; 160000 bytes of audio (page headers included) over
    // them are 128 kbit/s.
    const MediaInfo info = read("song.opus", oggOpusFile(kFields, 44100, 480312, 159000));
    EXPECT_EQ(info.MediaType, media::kMediaOpus);
    expectFields(info);
    EXPECT_EQ(info.SampleRate, u"44.1KHz") << "the input's rate, not the decoding rate";
    EXPECT_EQ(info.BitRate, u"128Kbps");

    const MediaInfo unsaid = read("unsaid.opus", oggOpusFile({"TITLE=x"}, 0));
    EXPECT_EQ(unsaid.SampleRate, u"48KHz");
    // In an .ogg file the content decides.
    EXPECT_EQ(read("opus.ogg", oggOpusFile(kFields)).Title, u"标题");
}

TEST_F(OggInfoTest, FlacInOgg) {
    const MediaInfo info = read("song.oga", oggFlacFile(kFields, 48000, 480000));
    EXPECT_EQ(info.MediaType, media::kMediaOgg);
    expectFields(info);
    EXPECT_EQ(info.SampleRate, u"48KHz");
    EXPECT_FALSE(info.BitRate.empty());
}

TEST_F(OggInfoTest, ACommentOverManyPagesIsGatheredAndPicturesInItAreSkipped) {
    std::vector<std::string> fields = {"METADATA_BLOCK_PICTURE=" + std::string(300000, 'P')};
    fields.insert(fields.end(), kFields.begin(), kFields.end());
    const std::vector<std::string> pages =
        oggHeaderPages(9, {vorbisIdentification(48000, 0), vorbisCommentPacket(fields), vorbisSetupPacket()}, 1000);
    ASSERT_GT(pages.size(), 250u);
    // No nominal bit rate: 10 s of audio from the last granule, about 240000 bytes with the page
    // headers and the end of the setup header.
    const std::string file = joined(pages) + oggAudioPages(9, static_cast<std::uint32_t>(pages.size()), 480000, 238500);
    const MediaInfo info = read("pages.ogg", file);
    expectFields(info);
    EXPECT_EQ(info.SampleRate, u"48KHz");
    EXPECT_EQ(info.BitRate, u"192Kbps");
}

TEST_F(OggInfoTest, AWrongCrcDoesNotLoseTheTexts) {
    std::string file = oggVorbisFile(kFields);
    const std::size_t commentPage = pageOffsets(file)[1];
    file[commentPage + 22] = static_cast<char>(file[commentPage + 22] ^ 0x5A);
    expectFields(read("crc.ogg", file));
}

TEST_F(OggInfoTest, ALostPageCutsTheCommentAfterItsWholeFields) {
    // The comment over several pages: TITLE on the first of them, the padding field over the
    // middle ones, ALBUM on the last.
    const std::vector<std::string> fields = {"TITLE=first", "PADDING=" + std::string(3000, '.'), "ALBUM=last"};
    std::vector<std::string> pages = oggHeaderPages(
        3, {vorbisIdentification(44100, 128000), vorbisCommentPacket(fields), vorbisSetupPacket()}, 1000);
    ASSERT_GE(pages.size(), 5u);
    std::vector<std::string> gap = pages;
    gap.erase(gap.begin() + 2);  // a page in the middle of the comment
    MediaInfo info = read("gap.ogg", joined(gap));
    EXPECT_EQ(info.Title, u"first");
    EXPECT_EQ(info.Album, u"");
    EXPECT_EQ(info.BitRate, u"128Kbps");

    // A page of the comment that does not say it continues a packet ends the comment the same way.
    std::vector<std::string> restarted = pages;
    const std::size_t segments = static_cast<std::uint8_t>(restarted[2][26]);
    restarted[2] = oggPage(0, 0, 3, 2, std::vector<std::uint8_t>(segments, 255), restarted[2].substr(27 + segments));
    info = read("restart.ogg", joined(restarted));
    EXPECT_EQ(info.Title, u"first");
    EXPECT_EQ(info.Album, u"");

    // Whole: both.
    info = read("whole.ogg", joined(pages));
    EXPECT_EQ(info.Title, u"first");
    EXPECT_EQ(info.Album, u"last");
}

TEST_F(OggInfoTest, AFileCutInsideTheCommentKeepsItsWholeFields) {
    const std::string file = oggVorbisFile({"TITLE=T", "ARTIST=A"});
    const std::size_t artist = file.find("ARTIST=A");
    const MediaInfo info = read("cut.ogg", file.substr(0, artist + 3));
    EXPECT_EQ(info.Title, u"T");
    EXPECT_EQ(info.Artist, u"");
    EXPECT_EQ(info.SampleRate, u"44.1KHz");
}

TEST_F(OggInfoTest, TheAudioStreamIsFoundAmongOthers) {
    // A video stream first, then the Vorbis stream, their pages interleaved.
    const std::string video = oggPage(kOggFirst, 0, 1, 0, {42}, "\x80theora" + std::string(35, '\0'));
    const std::vector<std::string> audio =
        oggHeaderPages(2, {vorbisIdentification(32000, 64000), vorbisCommentPacket(kFields), vorbisSetupPacket()}, 200);
    std::string file = video + audio[0];
    for (std::size_t i = 1; i < audio.size(); ++i)
        file += audio[i] + oggPage(0, 0, 1, static_cast<std::uint32_t>(i), {10}, std::string(10, 'v'));
    const MediaInfo info = read("muxed.ogg", file);
    expectFields(info);
    EXPECT_EQ(info.SampleRate, u"32KHz");
    EXPECT_EQ(info.BitRate, u"64Kbps");
}

TEST_F(OggInfoTest, PagesOfOtherStreamsCountTowardsTheBound) {
    std::string file = oggPage(kOggFirst, 0, 2, 0, {30}, vorbisIdentification(44100, 128000));
    for (std::uint32_t i = 0; i < 1100; ++i) file += oggPage(0, 0, 1, i, {1}, "x");
    file += joined(oggHeaderPages(2, {"", vorbisCommentPacket(kFields)})).substr(28);  // the comment's page only
    const MediaInfo info = read("bound.ogg", file);
    EXPECT_EQ(info.Title, u"") << "the comment lies beyond the pages a reader looks at";
    EXPECT_EQ(info.SampleRate, u"44.1KHz");
}

TEST_F(OggInfoTest, FilesThatAreNoOggAudioStreamLeaveTheRecord) {
    MediaInfo record;
    record.Title = u"before";
    const auto check = [&](std::string_view name, const std::string& bytes) {
        writeFile(dir / name, bytes);
        record.FileName = location(name);
        const MediaInfo before = record;
        EXPECT_FALSE(media::ReadOggInfo(record)) << name;
        EXPECT_EQ(record, before) << name;
    };
    check("empty.ogg", "");
    check("text.ogg", "just some text, no pages");
    // Its first page does not start a stream.
    std::string notFirst = oggVorbisFile(kFields);
    notFirst[5] = 0;
    check("middle.ogg", notFirst);
    // Version 1 pages are not known.
    std::string version = oggVorbisFile(kFields);
    version[4] = 1;
    check("version.ogg", version);
    // A Speex stream: no reader here.
    check("speex.ogg", oggPage(kOggFirst, 0, 1, 0, {80}, "Speex   " + std::string(72, '\0')));
    // An identification header cut short.
    check("short.opus", oggPage(kOggFirst, 0, 1, 0, {12}, std::string("OpusHead\x01\x02\x00\x00", 12)));
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

std::vector<Packet> packetsOf(const std::string& file, std::uint32_t serial) {
    media::MemorySource source(file);
    media::OggPacketReader reader(source, serial);
    std::vector<Packet> packets;
    while (std::optional<media::OggPacket> packet = reader.next())
        packets.push_back({std::string(packet->bytes.read(0, 1 << 20)), packet->complete});
    return packets;
}

// "big" spans pages 1 to 3; page 3 also holds "third".
const std::string kBig(700, 'b');
const std::vector<std::string> kPages = oggHeaderPages(4, {"first", "second", kBig, "third"}, 300);

TEST(OggPackets, PacketsComeWholeOverPagesAndOnlyForTheirStream) {
    ASSERT_EQ(kPages.size(), 4u);
    const std::string file = joined(kPages);
    EXPECT_EQ(packetsOf(file, 4), (std::vector<Packet>{{"first"}, {"second"}, {kBig}, {"third"}}));
    EXPECT_TRUE(packetsOf(file, 5).empty());

    media::MemorySource source(file);
    media::OggPacketReader reader(source, 4);
    reader.next();
    reader.next();
    EXPECT_GT(reader.next()->bytes.sliceCount(), 1u) << "read in place from its pages";
    reader.next();
    EXPECT_FALSE(reader.next());
    EXPECT_EQ(reader.position(), file.size());
}

TEST(OggPackets, DamageCutsAPacketAndTheNextOneIsWhole) {
    // A stream cut inside the big packet gives what arrived.
    const std::string file = joined(kPages);
    const std::string cut = file.substr(0, file.find(std::string(20, 'b')) + 20);
    EXPECT_EQ(packetsOf(cut, 4), (std::vector<Packet>{{"first"}, {"second"}, {std::string(20, 'b'), false}}));

    // A lost page: what came before it, then the rest of the cut packet is passed over.
    std::vector<std::string> lost = kPages;
    lost.erase(lost.begin() + 2);
    EXPECT_EQ(packetsOf(joined(lost), 4),
              (std::vector<Packet>{{"first"}, {"second"}, {std::string(255, 'b'), false}, {"third"}}));

    // Page 2 without its continuation flag starts a packet of its own, which page 3 continues.
    std::vector<std::string> fresh = kPages;
    const std::size_t segments = static_cast<std::uint8_t>(fresh[2][26]);
    fresh[2] = oggPage(0, 0, 4, 2, std::vector<std::uint8_t>(segments, 255), fresh[2].substr(27 + segments));
    EXPECT_EQ(packetsOf(joined(fresh), 4),
              (std::vector<Packet>{
                  {"first"}, {"second"}, {std::string(255, 'b'), false}, {std::string(255 + 190, 'b')}, {"third"}}));
}

TEST(OggPackets, TheLastGranuleIsThatOfTheStreamsLastWholePage) {
    std::string file = oggVorbisFile(kFields, 44100, 128000, 123456, 8) + oggAudioPages(9, 0, 999999, 100);
    media::MemorySource source(file);
    EXPECT_EQ(media::lastGranule(source, 8), 123456u);
    EXPECT_EQ(media::lastGranule(source, 9), 999999u);
    EXPECT_FALSE(media::lastGranule(source, 10));
    // A last page cut short is not taken; the one before it is.
    const std::string cut = file.substr(0, file.size() - 10);
    media::MemorySource cutSource(cut);
    EXPECT_EQ(media::lastGranule(cutSource, 8), 123456u);
    EXPECT_FALSE(media::lastGranule(cutSource, 9));
}

}  // namespace
