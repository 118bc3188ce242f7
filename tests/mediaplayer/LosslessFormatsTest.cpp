// The lossless formats the player adds beside FLAC: WavPack plays through plugins-good's decoder, Monkey's Audio
// through the player's own libav file decoder, which also plays WMA, AIFF and MPEG program streams; a file the
// decoder cannot read fails as an unplayable track.
#include "tests/media/readers/TagFileBuilder.h"
#include "tests/mediaplayer/TestMedia.h"

#include <gtest/gtest.h>

#include <random>

namespace mediaplayer::test {
namespace {

class LosslessFormats : public ::testing::Test {
protected:
    TempFolder folder;
    WatchedOutput output;
    MediaPlayer player{output.Factory()};
};

TEST_F(LosslessFormats, WavPackPlaysToItsEnd) {
    player.setURL(WriteFile(folder / "track.wv", EncodedRamp(1.5, "wavpackenc")));
    ASSERT_TRUE(WaitForState(player, Playing));
    EXPECT_TRUE(output.Runs("wavpackdec"));
    EXPECT_NEAR(player.currentMedia().duration(), 1.5, 0.2);
    EXPECT_TRUE(WaitForState(player, Stopped));
}

// Appends `value` as `bytes` little-endian bytes.
void Append(Bytes& out, std::uint64_t value, int bytes) {
    for (int i = 0; i < bytes; ++i) out.push_back(static_cast<std::uint8_t>(value >> (8 * i)));
}

// CRC-32 (the zlib one) of `count` zero bytes.
std::uint32_t CrcOfZeros(std::size_t count) {
    std::uint32_t crc = 0xFFFFFFFF;
    for (std::size_t i = 0; i < count; ++i)
        for (int bit = 0; bit < 8; ++bit) crc = (crc >> 1) ^ ((crc & 1) ? 0xEDB88320u : 0);
    return ~crc;
}

// Debian has no Monkey's Audio encoder, so the file is made here: version 3.99, 16-bit stereo at 44.1 kHz, one
// frame marked as stereo silence (the flag an encoder sets for a silent frame, which the decoder honours without
// range-decoding anything), with its seek table and the CRC of the samples it decodes to; then an APEv2 tag.
// `damaged` replaces the frame by noise no encoder wrote.
Bytes MonkeysAudioFile(double seconds, bool damaged) {
    const auto blocks = static_cast<std::uint32_t>(seconds * 44100);
    Bytes frame;
    Append(frame, (CrcOfZeros(std::size_t{blocks} * 4) >> 1) | 0x80000000u, 4);  // the CRC, and flags follow
    Append(frame, 3, 4);                                                         // both channels silent
    Append(frame, 0, 8);
    if (damaged) {
        std::mt19937 noise(7);
        frame.resize(200000);
        for (std::uint8_t& byte : frame) byte = static_cast<std::uint8_t>(noise());
    }
    constexpr std::uint32_t kSeekTableBytes = 4, kFirstFrame = 52 + 24 + kSeekTableBytes;
    Bytes file{'M', 'A', 'C', ' '};
    Append(file, 3990, 2), Append(file, 0, 2), Append(file, 52, 4), Append(file, 24, 4);
    Append(file, kSeekTableBytes, 4), Append(file, 0, 4), Append(file, frame.size(), 4), Append(file, 0, 8);
    Append(file, 0, 16);  // MD5, unchecked
    Append(file, 2000, 2), Append(file, 32, 2), Append(file, 73728 * 4, 4), Append(file, blocks, 4);
    Append(file, 1, 4), Append(file, 16, 2), Append(file, 2, 2), Append(file, 44100, 4);
    Append(file, kFirstFrame, 4);
    file.insert(file.end(), frame.begin(), frame.end());
    const std::string title = "Silence";
    Bytes items;
    Append(items, title.size(), 4), Append(items, 0, 4);
    for (char c : std::string("Title") + '\0' + title) items.push_back(static_cast<std::uint8_t>(c));
    for (std::uint32_t flags : {0xA0000000u, 0x80000000u}) {  // header, items, footer
        if (flags == 0x80000000u) file.insert(file.end(), items.begin(), items.end());
        for (char c : std::string("APETAGEX")) file.push_back(static_cast<std::uint8_t>(c));
        Append(file, 2000, 4), Append(file, items.size() + 32, 4), Append(file, 1, 4), Append(file, flags, 4);
        Append(file, 0, 8);
    }
    return file;
}

TEST_F(LosslessFormats, MonkeysAudioPlaysToItsEnd) {
    player.setURL(WriteFile(folder / "silence.ape", MonkeysAudioFile(1.5, false)));
    ASSERT_TRUE(WaitForState(player, Playing));
    EXPECT_TRUE(output.Runs("mediafiledecoder"));
    EXPECT_EQ(player.currentMedia().getItemInfo(u"title"), u"Silence");
    EXPECT_NEAR(player.currentMedia().duration(), 1.5, 0.2);
    EXPECT_TRUE(WaitForState(player, Stopped));
}

// The decoder finds nothing it can decode: the track fails at once, rather than playing the length its header
// claims in silence.
TEST_F(LosslessFormats, AMonkeysAudioFileTheDecoderCannotReadFailsAtOnce) {
    player.setURL(WriteFile(folder / "damaged.ape", MonkeysAudioFile(1.5, true)));
    EXPECT_TRUE(WaitForState(player, Ready, 3)) << "state " << player.playState();
}

// The same element demuxes and decodes the other whole-file formats: each plays with its duration, seeks, and ends;
// a WMA's tags, stored in UTF-16, reach the player; a WMV plays its sound alone.
TEST_F(LosslessFormats, TheFileDecoderPlaysWmaAiffAndMpegProgramStreams) {
    Bytes wma = EncodedRamp(2.0, "avenc_wmav2 ! asfmux");
    const std::string description = tagfile::AsfContentDescription(u"晨曲", u"The Testers");
    wma.insert(wma.begin() + 30, description.begin(), description.end());  // first in the header object
    std::uint64_t headerBytes = 0;
    for (int i = 7; i >= 0; --i) headerBytes = headerBytes << 8 | wma[16 + i];
    headerBytes += description.size();
    for (int i = 0; i < 8; ++i) wma[16 + i] = static_cast<std::uint8_t>(headerBytes >> (8 * i));
    ++wma[24];  // one object more
    const std::pair<const char*, Bytes> files[] = {
        {"tagged.wma", wma},
        {"tone.aiff", EncodedRamp(2.0, "aiffmux")},
        {"tone.mpg", EncodedRamp(2.0, "avenc_mp2 ! mpegpsmux")},
        {"clip.wmv", EncodedRamp(2.0,
                                 "avenc_wmav2 ! mux. videotestsrc num-buffers=20 ! "
                                 "video/x-raw,width=64,height=48,framerate=10/1 ! avenc_wmv2 ! asfmux name=mux")},
    };
    for (const auto& [name, bytes] : files) {
        player.setURL(WriteFile(folder / name, bytes));
        ASSERT_TRUE(WaitForState(player, Playing)) << name;
        EXPECT_TRUE(output.Runs("mediafiledecoder")) << name;
        EXPECT_FALSE(output.Runs("avdec_wmv2")) << name << ": the picture is never decoded";
        EXPECT_NEAR(player.currentMedia().duration(), 2.0, 0.1) << name;
        if (std::string(name).ends_with(".wma")) {
            EXPECT_EQ(player.currentMedia().getItemInfo(u"title"), u"晨曲");
            EXPECT_EQ(player.currentMedia().getItemInfo(u"Author"), u"The Testers");
        }
        player.controls().setCurrentPosition(1.2);
        EXPECT_TRUE(WaitUntil([&] {
            const double position = player.controls().currentPosition();
            return position >= 1.2 && position < 1.6;
        })) << name;
        EXPECT_TRUE(WaitForState(player, Stopped, 3)) << name;

        // A cue sheet's track of a one-file album: that span, ended at its end.
        player.setURL((folder / name).u16string() + u"#t=0.5,1.5");
        ASSERT_TRUE(WaitForState(player, Playing)) << name;
        EXPECT_NEAR(player.currentMedia().duration(), 1.0, 0.01) << name;
        EXPECT_TRUE(WaitForState(player, Stopped, 3)) << name;
    }
}

}  // namespace
}  // namespace mediaplayer::test
