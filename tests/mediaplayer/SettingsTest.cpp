#include "tests/mediaplayer/TestMedia.h"

#include <gst/gst.h>
#include <gtest/gtest.h>

namespace mediaplayer::test {
namespace {

TEST(Settings, VolumeIsClampedHeardOnACubicScaleAndLastsAcrossMedia) {
    TempFolder folder;
    WatchedOutput output;
    MediaPlayer player(output.Factory());
    EXPECT_EQ(player.settings().volume(), 100);
    EXPECT_FALSE(player.settings().mute());
    player.settings().setVolume(-4);
    EXPECT_EQ(player.settings().volume(), 0);
    player.settings().setVolume(106);
    EXPECT_EQ(player.settings().volume(), 100);
    player.settings().setVolume(50);  // before the pipeline exists
    player.settings().setMute(true);

    // A sink without a volume of its own (this one) is given the sound through the output's volume element.
    const auto heard = [&] {
        gdouble volume = -1;
        gboolean mute = FALSE;
        const GstPointer pipeline = output.Pipeline();
        GstElement* element = gst_bin_get_by_name(GST_BIN(pipeline.get()), "softvolume");
        if (!element) return std::pair{volume, false};
        g_object_get(element, "volume", &volume, "mute", &mute, nullptr);
        gst_object_unref(element);
        return std::pair{volume, mute != FALSE};
    };
    player.setURL(WriteFile(folder / "a.wav", WavFile(1.0)));
    ASSERT_TRUE(WaitForState(player, Playing));
    EXPECT_NEAR(heard().first, 0.125, 1e-6);
    EXPECT_TRUE(heard().second);

    player.settings().setVolume(80);
    player.close();
    player.setURL(WriteFile(folder / "b.wav", WavFile(1.0)));
    ASSERT_TRUE(WaitForState(player, Playing));
    EXPECT_EQ(player.settings().volume(), 80);
    EXPECT_TRUE(player.settings().mute());
    EXPECT_NEAR(heard().first, 0.8 * 0.8 * 0.8, 1e-6);
    player.settings().setMute(false);
    EXPECT_TRUE(WaitUntil([&] { return !heard().second; }, 1));
}

TEST(LazyStart, GStreamerComesUpWithTheFirstMediaNotWithThePlayer) {
    if (gst_is_initialized()) GTEST_SKIP() << "an earlier test in this process brought GStreamer up";
    MediaPlayer player;
    player.settings().setVolume(30);
    player.controls().play();
    EXPECT_EQ(player.playState(), Undefined);
    EXPECT_EQ(player.network().bufferingProgress(), 0);
    EXPECT_FALSE(gst_is_initialized());
    TempFolder folder;
    player.setURL(WriteFile(folder / "a.wav", WavFile(1.0)));
    EXPECT_TRUE(gst_is_initialized());
    EXPECT_TRUE(WaitForState(player, Playing));
}

}  // namespace
}  // namespace mediaplayer::test
