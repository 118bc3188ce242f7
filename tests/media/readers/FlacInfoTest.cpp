// FLAC files built block by block: STREAMINFO, the Vorbis comment, and the damage a reader meets.
#include "tests/media/readers/ContainerFileBuilder.h"
#include "tests/media/readers/MediaFileTest.h"
#include "tests/media/readers/TagExpectations.h"

using namespace tagfile;
using media::MediaInfo;

namespace {

using FlacInfoTest = MediaFileTest;

const std::string kTenSecondsAt44k = FlacBlock(kStreamInfoBlock, FlacStreamInfo(44100, 441000));

TEST_F(FlacInfoTest, StreamInfoAndVorbisComment) {
    const std::string comment = VorbisComment({
        "TITLE=" + text::ToUtf8(u"标题"),
        "artist=" + text::ToUtf8(u"甲"),
        "Artist=" + text::ToUtf8(u"乙"),
        "ALBUM=Album",
        "DATE=2008-05-01",
        "LYRICS=[00:01.00]" + text::ToUtf8(u"第一行"),
        "LYRICIST=Words",
        "COMPOSER=Music",
    });
    // 160000 bytes of frames over 10 seconds: 128 kbit/s.
    const MediaInfo info = Read("song.flac", FlacFile({kTenSecondsAt44k, FlacBlock(kVorbisCommentBlock, comment),
                                                       FlacBlock(kPaddingBlock, std::string(1024, '\0'))},
                                                      160000));
    EXPECT_EQ(info.MediaType, media::kMediaFlac);
    ExpectTexts(info, {u"标题", u"甲/乙", u"Album", u"2008", u"[00:01.00]第一行", u"Words", u"Music"});
    EXPECT_EQ(info.BitRate, u"128Kbps");
    EXPECT_EQ(info.SampleRate, u"44.1KHz");
}

TEST_F(FlacInfoTest, PicturesAndAnId3v2TagBeforeTheStreamArePassedOver) {
    const std::string blocks = FlacFile({kTenSecondsAt44k, FlacBlock(kPictureBlock, std::string(200000, '\x89')),
                                         FlacBlock(kVorbisCommentBlock, VorbisComment({"TITLE=After the picture"}))});
    EXPECT_EQ(Read("picture.flac", blocks).Title, u"After the picture");
    const MediaInfo tagged = Read("id3.FLAC", Id3v2Tag(3, Id3v2Frame(3, "TIT2", TextBody(0, u"id3 title"))) + blocks);
    EXPECT_EQ(tagged.Title, u"After the picture");
    EXPECT_EQ(tagged.SampleRate, u"44.1KHz");
}

TEST_F(FlacInfoTest, RatesNeedWhatTheyAreWorkedOutFrom) {
    // No total sample count: the sample rate alone.
    MediaInfo info = Read("unknown-length.flac", FlacFile({FlacBlock(kStreamInfoBlock, FlacStreamInfo(96000, 0))}));
    EXPECT_EQ(info.SampleRate, u"96KHz");
    EXPECT_EQ(info.BitRate, u"");
    // A sample rate of 0 is no stream information at all.
    info = Read("zero-rate.flac", FlacFile({FlacBlock(kStreamInfoBlock, FlacStreamInfo(0, 1000))}));
    EXPECT_EQ(info.SampleRate, u"");
    EXPECT_EQ(info.BitRate, u"");
    // A STREAMINFO block shorter than its fields.
    info =
        Read("short-info.flac", FlacFile({FlacBlock(kStreamInfoBlock, FlacStreamInfo(44100, 441000).substr(0, 20))}));
    EXPECT_EQ(info.SampleRate, u"");
}

TEST_F(FlacInfoTest, TruncatedBlocksGiveTheirWholeFields) {
    const std::string full =
        FlacFile({kTenSecondsAt44k, FlacBlock(kVorbisCommentBlock, VorbisComment({"TITLE=T", "ARTIST=A"}))}, 0);
    // Cut inside the artist: the title is there, the artist is not, and without the end of the
    // metadata the audio's length, so the bit rate, is unknown.
    const MediaInfo cut = Read("cut.flac", full.substr(0, full.size() - 3));
    EXPECT_EQ(cut.Title, u"T");
    EXPECT_EQ(cut.Artist, u"");
    EXPECT_EQ(cut.SampleRate, u"44.1KHz");
    EXPECT_EQ(cut.BitRate, u"");

    // Cut inside a block header, and right after the marker.
    EXPECT_EQ(Read("header.flac", full.substr(0, 4 + 38 + 2)).SampleRate, u"44.1KHz");
    const MediaInfo bare = Read("marker.flac", "fLaC");
    EXPECT_EQ(bare.Title, u"");
    EXPECT_EQ(bare.SampleRate, u"");
}

TEST_F(FlacInfoTest, LengthsThatLieEndTheWalkSafely) {
    // A comment whose field length runs past the end of its block.
    std::string comment = VorbisComment({"TITLE=T", "ARTIST=A"});
    comment.replace(comment.find("ARTIST") - 4, 4, LittleEndian(1000, 4));
    const MediaInfo info = Read("field.flac", FlacFile({kTenSecondsAt44k, FlacBlock(kVorbisCommentBlock, comment),
                                                        FlacBlock(kPaddingBlock, std::string(2000, '\0'))}));
    EXPECT_EQ(info.Title, u"T");
    EXPECT_EQ(info.Artist, u"") << "the field's bytes lie in the padding, outside its block";

    // A block that claims 16 MiB in a small file reads as a file cut short: its whole fields are
    // taken, and the walk ends there without an end of the metadata.
    std::string lying = FlacFile(
        {kTenSecondsAt44k, FlacBlock(kVorbisCommentBlock, VorbisComment({"TITLE=T"})), FlacBlock(kPaddingBlock, "")});
    lying.replace(4 + 38, 4, "\x04\xFF\xFF\xFF");
    const MediaInfo longBlock = Read("block.flac", lying);
    EXPECT_EQ(longBlock.Title, u"T");
    EXPECT_EQ(longBlock.SampleRate, u"44.1KHz");
    EXPECT_EQ(longBlock.BitRate, u"");
    // An invalid block type ends the walk: the blocks after it are not read.
    std::string invalid =
        FlacFile({kTenSecondsAt44k, FlacBlock(127, "xx"), FlacBlock(kVorbisCommentBlock, VorbisComment({"TITLE=T"}))});
    EXPECT_EQ(Read("invalid.flac", invalid).Title, u"");

    // Thousands of empty blocks: the walk ends at its bound.
    std::vector<std::string> empties(5000, FlacBlock(kPaddingBlock, ""));
    empties.push_back(FlacBlock(kVorbisCommentBlock, VorbisComment({"TITLE=far"})));
    EXPECT_EQ(Read("many.flac", FlacFile(empties)).Title, u"");
}

TEST_F(FlacInfoTest, OtherFilesAreNotFlacAndLeaveTheRecord) {
    WriteFile(dir / "fake.flac", "RIFF....WAVEfmt ");
    MediaInfo record;
    record.FileName = Location("fake.flac");
    record.Title = u"before";
    EXPECT_FALSE(media::ReadMediaInfo(record));
    EXPECT_EQ(record.Title, u"before");
    const MediaInfo before = record;
    EXPECT_FALSE(media::ReadFlacInfo(record));
    EXPECT_EQ(record, before);
    Read("empty.flac", "", false);
}

}  // namespace
