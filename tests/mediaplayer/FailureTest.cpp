#include "tests/mediaplayer/TestMedia.h"

#include <gst/gst.h>
#include <gtest/gtest.h>

#include <chrono>
#include <thread>

namespace mediaplayer::test {
namespace {

class Failures : public ::testing::Test {
protected:
    // What the player's poller does with a media that will not open: stop, play, look again.
    bool RetryStaysReady() {
        player.controls().stop();
        player.controls().play();
        return WaitForState(player, Ready);
    }

    TempFolder folder;
    MediaPlayer player;
};

TEST_F(Failures, MissingFileIsReadyUntilARetryFindsIt) {
    const auto path = folder / "later.wav";
    player.setURL(path.u16string());
    ASSERT_TRUE(WaitForState(player, Ready));
    EXPECT_EQ(player.URL(), path.u16string());
    EXPECT_EQ(player.controls().currentPositionString(), u"");
    EXPECT_EQ(player.currentMedia().durationString(), u"00:00");
    EXPECT_EQ(player.currentMedia().name(), u"later");
    player.controls().pause();
    player.controls().setCurrentPosition(3);
    EXPECT_EQ(player.controls().currentPosition(), 0.0);
    EXPECT_TRUE(RetryStaysReady());

    WriteFile(path, WavFile(1.0));
    player.controls().play();
    EXPECT_TRUE(WaitForState(player, Playing));
}

// A host that looks three times a second sees every attempt as opening before it fails, however fast the failure,
// and a media that never played never reads as playing.
TEST_F(Failures, AnAttemptThatFailsAtOnceStillReadsAsOpeningFirst) {
    for (const std::u16string& url :
         {(folder / "missing.wav").u16string(), WriteFile(folder / "noise.mp3", Bytes(4000, 0x5A))}) {
        player.setURL(url);
        EXPECT_EQ(player.playState(), Transitioning);
        std::this_thread::sleep_for(std::chrono::milliseconds(250));
        EXPECT_EQ(player.playState(), Transitioning) << "a quarter of a second into the attempt";
        EXPECT_TRUE(WaitUntil([&] {
            const int state = player.playState();
            EXPECT_NE(state, Playing);
            return state == Ready;
        }));
        player.controls().stop();
        player.controls().play();
        EXPECT_EQ(player.playState(), Transitioning) << "the retry";
        EXPECT_TRUE(WaitForState(player, Ready));
    }
}

TEST_F(Failures, CorruptEmptyAndUnreachableMediaAreReady) {
    Bytes noise(64 * 1024);
    std::uint32_t seed = 12345;
    for (auto& byte : noise) byte = static_cast<std::uint8_t>((seed = seed * 1103515245 + 12345) >> 16);
    // Port 1 on the loopback interface refuses connections at once.
    for (const std::u16string& url : {WriteFile(folder / "noise.mp3", noise), WriteFile(folder / "empty.wav", {}),
                                      std::u16string(u"http://127.0.0.1:1/stream.mp3")}) {
        player.setURL(url);
        EXPECT_TRUE(WaitForState(player, Ready, 15));
        EXPECT_TRUE(RetryStaysReady());
        EXPECT_EQ(player.URL(), url);
    }
    EXPECT_EQ(player.currentMedia().name(), u"stream");
}

TEST_F(Failures, TruncatedFilePlaysWhatItHoldsAndStops) {
    Bytes truncated = WavFile(2.0);  // the header promises two seconds, a fifth of one is there
    truncated.resize(44 + 22050 * 2 / 5);
    player.setURL(WriteFile(folder / "truncated.wav", truncated));
    EXPECT_TRUE(WaitForState(player, Stopped));
}

// A file sink into a folder that does not exist stands for a sound output that cannot open.
GstElement* BrokenOutput() {
    GstElement* sink = gst_element_factory_make("filesink", nullptr);
    g_object_set(sink, "location", "/nonexistent-folder/sound.raw", nullptr);
    return sink;
}

TEST(AudioOutputFallback, WithoutAUsableOutputTheMediaPlaysSilentlyInRealTime) {
    for (const AudioSinkFactory& output :
         {AudioSinkFactory(BrokenOutput), AudioSinkFactory([] { return static_cast<GstElement*>(nullptr); })}) {
        TempFolder folder;
        MediaPlayer player(output);
        player.setURL(WriteFile(folder / "tone.wav", WavFile(1.5)));
        const auto start = std::chrono::steady_clock::now();
        ASSERT_TRUE(WaitForState(player, Playing));
        ASSERT_TRUE(WaitUntil([&] { return player.controls().currentPosition() > 0.3; }));
        EXPECT_LE(player.controls().currentPosition(),
                  std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count() + 0.1);
        EXPECT_TRUE(WaitForState(player, Stopped));
        player.controls().play();
        EXPECT_TRUE(WaitForState(player, Playing));
    }
}

TEST(AudioOutputFallback, OutputLostWhilePlayingGoesOnSilentlyFromTheSamePlace) {
    TempFolder folder;
    MediaPlayer player([] {  // fails after its first few buffers
        return gst_parse_bin_from_description("identity error-after=8 ! fakesink sync=true", TRUE, nullptr);
    });
    player.setURL(WriteFile(folder / "tone.wav", WavFile(2.0)));
    double furthest = 0;
    ASSERT_TRUE(WaitUntil([&] {
        if (player.playState() == Stopped) return true;
        const double position = player.controls().currentPosition();
        EXPECT_GE(position, furthest - 0.05);
        furthest = std::max(furthest, position);
        return false;
    }));
    EXPECT_GT(furthest, 1.5);
}

}  // namespace
}  // namespace mediaplayer::test
