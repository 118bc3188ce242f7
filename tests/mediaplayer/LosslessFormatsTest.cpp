// The lossless formats the player adds beside FLAC: WavPack plays through plugins-good's decoder, Monkey's Audio
// through the libav demuxer and decoder the set-up installs; a file neither can decode fails as an unplayable track.
#include "tests/mediaplayer/TestMedia.h"

#include <gst/gst.h>
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

// Debian has no Monkey's Audio encoder, so no real file is made here: the decoder is looked for, and a file with a
// true header and frames no encoder wrote must fail promptly rather than play silence or hang.
TEST_F(LosslessFormats, MonkeysAudioHasADecoderAndADamagedFileFailsAsUnplayable) {
    gst_init(nullptr, nullptr);
    for (const char* element : {"avdemux_ape", "avdec_ape"}) {
        GstElementFactory* factory = gst_element_factory_find(element);
        EXPECT_NE(factory, nullptr) << element << ": is gstreamer1.0-libav installed?";
        if (factory) gst_object_unref(factory);
    }

    Bytes file;
    const auto append = [&file](std::uint64_t value, int bytes) {
        for (int i = 0; i < bytes; ++i) file.push_back(static_cast<std::uint8_t>(value >> (8 * i)));
    };
    constexpr std::uint32_t kFrameBytes = 200000;
    for (char c : std::string("MAC ")) file.push_back(static_cast<std::uint8_t>(c));
    // Version 3.99: the descriptor (52 bytes, with its sizes), then the header: 2 frames of 73728 blocks, 16-bit
    // stereo at 44.1 kHz.
    append(3990, 2), append(0, 2), append(52, 4), append(24, 4), append(0, 4), append(0, 4), append(kFrameBytes, 4);
    append(0, 4), append(0, 4), append(0, 16);
    append(2000, 2), append(0, 2), append(73728, 4), append(20000, 4), append(2, 4), append(16, 2), append(2, 2);
    append(44100, 4);
    std::mt19937 noise(7);
    for (std::uint32_t i = 0; i < kFrameBytes; ++i) file.push_back(static_cast<std::uint8_t>(noise()));

    player.setURL(WriteFile(folder / "damaged.ape", file));
    EXPECT_TRUE(WaitForState(player, Ready));
}

}  // namespace
}  // namespace mediaplayer::test
