// Monkey's Audio and WavPack files and APEv2 tags built byte by byte: each header version, the rates, the tag's
// items, and the damage a reader meets (truncation, sizes past the end, hostile counts).
#include "tests/media/readers/ContainerFileBuilder.h"
#include "tests/media/readers/LosslessFileBuilder.h"
#include "tests/media/readers/MediaFileTest.h"
#include "tests/media/readers/TagExpectations.h"

#include "media/readers/Apev2Tag.h"

using namespace tagfile;
using media::MediaInfo;
using media::RefusalReason;

namespace {

class LosslessInfoTest : public MediaFileTest {
protected:
    RefusalReason Refused(std::string_view name, std::string_view bytes) {
        WriteFile(dir / name, bytes);
        MediaInfo info;
        info.FileName = Location(name);
        media::Refusal why;
        EXPECT_FALSE(media::ReadMediaInfo(info, &why)) << name;
        EXPECT_EQ(info.Title, u"") << "a refused file leaves the record as it was";
        return why.reason;
    }
};

const std::string kTag =
    ApeTag({ApeItem("Title", "标题"), ApeItem("ARTIST", std::string("甲\0乙", 8)), ApeItem("album", "Album"),
            ApeItem("Year", "2008-05-01"), ApeItem("Lyrics", "[00:01.00]  第一行"), ApeItem("Composer", "Music"),
            ApeItem("Cover Art (Front)", std::string(5000, '\x89'), kApeItemBinary)});
const TagTexts kTagTexts{u"标题", u"甲/乙", u"Album", u"2008", u"[00:01.00] 第一行", u"", u"Music"};

// Ten seconds at 44.1 kHz in each header layout: 160000 bytes of frames make 128 kbit/s.
TEST_F(LosslessInfoTest, ApeHeaderVersions) {
    struct Case {
        std::uint16_t version;
        std::uint32_t totalFrames, finalFrameBlocks;  // frames of 9216, 73728 or 294912 blocks by version
    };
    for (const Case& c :
         {Case{3930, 6, 441000 - 5 * 73728}, Case{3940, 6, 441000 - 5 * 73728}, Case{3950, 2, 441000 - 294912},
          Case{3970, 2, 441000 - 294912}, Case{3980, 2, 441000 - 294912}, Case{3990, 2, 441000 - 294912},
          Case{3999, 2, 441000 - 294912}}) {
        ApeStreamFields fields;
        fields.version = c.version;
        fields.totalFrames = c.totalFrames;
        fields.finalFrameBlocks = c.finalFrameBlocks;
        const std::string name = "v" + std::to_string(c.version) + ".ape";
        const MediaInfo info = Read(name, ApeFile(fields, 160000) + kTag + Id3v1("v1 title", "v1 artist"));
        EXPECT_EQ(info.MediaType, media::kMediaApe);
        ExpectTexts(info, kTagTexts, name);
        EXPECT_EQ(info.BitRate, u"128Kbps") << name;
        EXPECT_EQ(info.SampleRate, u"44.1KHz") << name;
    }
    // An APE file with an ID3v2 tag first and no APEv2 tag: the stream is read, no text invented.
    ApeStreamFields plain;
    plain.sampleRate = 48000;
    const MediaInfo info = Read("id3.APE", Id3v2Tag(3, Id3v2Frame(3, "TIT2", TextBody(0, u"x"))) + ApeFile(plain, 100));
    EXPECT_EQ(info.SampleRate, u"48KHz");
    EXPECT_EQ(info.BitRate, u"") << "no frames, no duration";
    EXPECT_EQ(info.Title, u"");
}

TEST_F(LosslessInfoTest, ApeHeadersNoEncoderWritesAreRefusedWithTheirReason) {
    const auto with = [](auto change) {
        ApeStreamFields fields;
        fields.totalFrames = 1;
        fields.finalFrameBlocks = 1000;
        change(fields);
        return ApeFile(fields, 1000);
    };
    std::string hugeDescriptor = with([](ApeStreamFields&) {});
    hugeDescriptor.replace(8, 4, LittleEndian(0xFFFFFFF0u, 4));
    const std::pair<std::string, RefusalReason> cases[] = {
        {with([](ApeStreamFields& f) { f.version = 3920; }), RefusalReason::NoApeHeader},
        {with([](ApeStreamFields& f) { f.version = 10000; }), RefusalReason::NoApeHeader},
        {"MAC", RefusalReason::NoApeHeader},
        {"fLaC" + with([](ApeStreamFields&) {}), RefusalReason::NoApeHeader},
        {with([](ApeStreamFields& f) { f.channels = 0; }), RefusalReason::BadApeHeader},
        {with([](ApeStreamFields& f) { f.sampleRate = 0; }), RefusalReason::BadApeHeader},
        {with([](ApeStreamFields& f) { f.finalFrameBlocks = f.blocksPerFrame + 1; }), RefusalReason::BadApeHeader},
        {with([](ApeStreamFields&) {}).substr(0, 60), RefusalReason::BadApeHeader},
        {hugeDescriptor, RefusalReason::BadApeHeader},
        {Id3v2Tag(3, "", 0).substr(0, 6) + Syncsafe(1 << 20) + "MAC ", RefusalReason::TagPastEnd},
    };
    int i = 0;
    for (const auto& [bytes, reason] : cases) EXPECT_EQ(Refused("bad.ape", bytes), reason) << "case " << i++;
}

TEST_F(LosslessInfoTest, WavPackRatesAndDuration) {
    struct Case {
        std::uint32_t rateIndex;
        std::string metadata;
        std::u16string sampleRate;
    };
    const std::string customRate = WavPackSubBlock(0x27, LittleEndian(32000, 3));
    const std::string largeCustomRate = "\xA7" + LittleEndian(2, 3) + LittleEndian(37800, 4);
    for (const Case& c :
         {Case{kWavPackRate44k, "", u"44.1KHz"}, Case{0, "", u"6KHz"}, Case{10, "", u"48KHz"}, Case{14, "", u"192KHz"},
          Case{kWavPackCustomRate, WavPackSubBlock(0x21, "abc") + customRate, u"32KHz"},
          Case{kWavPackCustomRate, largeCustomRate, u"37.8KHz"},
          Case{kWavPackCustomRate, WavPackSubBlock(0x21, "abcd"), u""}}) {
        // At 44.1 kHz, ten seconds of 16000 bytes a second: 128 kbit/s. The other rates get no duration here.
        const std::string name = "r" + std::to_string(c.rateIndex) + "-" + std::to_string(c.metadata.size()) + ".wv";
        const std::uint32_t samples = c.rateIndex == kWavPackRate44k ? 441000 : 0;
        const MediaInfo info = Read(
            name,
            WavPackBlock(samples, c.rateIndex, c.metadata + std::string(160000 - 32 - c.metadata.size(), 'w')) + kTag);
        EXPECT_EQ(info.MediaType, media::kMediaWavPack);
        EXPECT_EQ(info.SampleRate, c.sampleRate) << name;
        EXPECT_EQ(info.BitRate, samples ? u"128Kbps" : u"") << name;
        ExpectTexts(info, kTagTexts, name);
    }
    EXPECT_EQ(Read("unknown-length.wv", WavPackBlock(0xFFFFFFFF, kWavPackRate44k, std::string(1000, 'w'))).BitRate,
              u"");
    EXPECT_EQ(Refused("old.wv", WavPackBlock(1, kWavPackRate44k, "", 0x3FF)), RefusalReason::NoWavPackBlock);
    EXPECT_EQ(Refused("none.wv", "RIFF" + std::string(100, '\0')), RefusalReason::NoWavPackBlock);
    EXPECT_EQ(Refused("short.wv", "wvpk\x18"), RefusalReason::NoWavPackBlock);
}

// Every size in the tag is checked against the tag and the file: what fits is read, nothing past it.
TEST_F(LosslessInfoTest, Apev2TagsDamagedAndHostile) {
    ApeStreamFields fields;
    fields.totalFrames = 1;
    fields.finalFrameBlocks = 44100;
    const std::string stream = ApeFile(fields, 2000);
    const std::string title = ApeItem("Title", "T");

    // The APEv1 layout (no header), the tag without the ID3v1 block after it.
    EXPECT_EQ(Read("v1.ape", stream + ApeTag({title}, 1000)).Title, u"T");
    // An item whose value runs past the tag ends the reading; the items before it stay.
    const std::string runaway = LittleEndian(1 << 30, 4) + LittleEndian(0, 4) + "Artist" + '\0' + "x";
    std::string cut = ApeTag({title, runaway});
    EXPECT_EQ(Read("runaway.ape", stream + cut).Title, u"T");
    EXPECT_EQ(Read("runaway.ape", stream + cut).Artist, u"");
    // A tag that claims more bytes than the file holds is no tag; the stream is still read.
    std::string huge = ApeTag({title});
    huge.replace(huge.size() - 20, 4, LittleEndian(0x7FFFFFFF, 4));
    const MediaInfo hugeInfo = Read("huge.ape", stream + huge);
    EXPECT_EQ(hugeInfo.Title, u"");
    EXPECT_EQ(hugeInfo.SampleRate, u"44.1KHz");
    // A key with no end, a count of billions, an unknown version: nothing read, nothing crashes.
    std::string noKeyEnd = ApeTag({LittleEndian(1, 4) + LittleEndian(0, 4) + std::string(300, 'K')});
    EXPECT_EQ(Read("nokey.ape", stream + noKeyEnd).Title, u"");
    std::string manyItems = ApeTag({title});
    manyItems.replace(manyItems.size() - 16, 4, LittleEndian(0xFFFFFFFF, 4));
    EXPECT_EQ(Read("many.ape", stream + manyItems).Title, u"T");
    std::string version3 = ApeTag({title});
    version3.replace(version3.size() - 24, 4, LittleEndian(3000, 4));
    EXPECT_EQ(Read("v3.ape", stream + version3).Title, u"");

    // Where taggers leave the tag: before a Lyrics3v2 block and the ID3v1 block, or last in a file whose last 128
    // bytes begin with "TAG" by chance.
    const std::string lyrics3 = "LYRICSBEGININD0000210" + std::string("000021LYRICS200");
    EXPECT_EQ(Read("lyrics3.ape", stream + ApeTag({title}) + lyrics3 + Id3v1("v1", "")).Title, u"T");
    const std::string tagByChance = "yyyyTAG" + std::string(93, 'x');
    EXPECT_EQ(Read("chance.ape", stream + ApeTag({title, ApeItem("Album", tagByChance)})).Album,
              text::FromUtf8(tagByChance));

    // Every prefix of a tagged file reads without a fault (the fuzz targets go further).
    const std::string whole = stream + kTag + Id3v1("t", "a");
    for (std::size_t length = 0; length <= whole.size(); length += length < 200 ? 1 : 97) {
        WriteFile(dir / "prefix.ape", whole.substr(0, length));
        MediaInfo info;
        info.FileName = Location("prefix.ape");
        media::ReadMediaInfo(info);
    }
}

TEST_F(LosslessInfoTest, TheEmbeddedCuesheetIsHandedOverAsStored) {
    const std::string sheet = "FILE \"CDImage.wav\" WAVE\r\n  TRACK 01 AUDIO\r\n    TITLE \"\xB1\xEA\xCC\xE2\"\r\n";
    WriteFile(dir / "album.ape", ApeFile({}, 100) + ApeTag({ApeItem("Title", "T"), ApeItem("CUESHEET", sheet)}));
    WriteFile(dir / "plain.wv", WavPackBlock(1, kWavPackRate44k, "") + ApeTag({ApeItem("Title", "T")}));
    EXPECT_EQ(media::ReadEmbeddedCuesheet((dir / "album.ape").string()), sheet) << "GBK bytes kept as they are";
    EXPECT_EQ(media::ReadEmbeddedCuesheet((dir / "plain.wv").string()), std::nullopt);
    EXPECT_EQ(media::ReadEmbeddedCuesheet((dir / "missing.wv").string()), std::nullopt);
}

// Where one tag holds a field twice, or a file two tags: the choices the tag libraries' own tests expect.
TEST_F(LosslessInfoTest, SecondTagsAndRepeatedFields) {
    // MP3: the APEv2 tag fills what the ID3 tags leave empty, and only that.
    const std::string mp3 = Id3v2Tag(3, Id3v2Frame(3, "TIT2", TextBody(0, u"id3 title"))) + Mpeg1Audio() +
                            ApeTag({ApeItem("Title", "ape title"), ApeItem("Artist", "ape artist"),
                                    ApeItem("Album", "ape album"), ApeItem("Composer", "ape composer")}) +
                            Id3v1("", "", "v1 album");
    ExpectTexts(Read("both.mp3", mp3), {u"id3 title", u"ape artist", u"v1 album", u"", u"", u"", u"ape composer"});
    EXPECT_EQ(Read("ape-only.mp3", ApeTag({ApeItem("Title", "only ape")})).Title, u"only ape");

    // FLAC with two comment blocks: the first is the tag.
    const MediaInfo flac =
        Read("two.flac", FlacFile({FlacBlock(kStreamInfoBlock, FlacStreamInfo(44100, 441000)),
                                   FlacBlock(kVorbisCommentBlock, VorbisComment({"TITLE=first", "ARTIST=A"})),
                                   FlacBlock(kVorbisCommentBlock, VorbisComment({"TITLE=second", "ALBUM=B"}))}));
    ExpectTexts(flac, {u"first", u"A", u"", u"", u"", u"", u""});

    // ID3v2 with two TPE1 frames: one frame per ID in tag order, the later standing.
    const std::string twoArtists =
        Id3v2Tag(3, Id3v2Frame(3, "TPE1", TextBody(0, u"first")) + Id3v2Frame(3, "TPE1", TextBody(0, u"second")));
    EXPECT_EQ(Read("two.mp3", twoArtists + Mpeg1Audio()).Artist, u"second");
}

}  // namespace
