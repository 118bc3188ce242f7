#include "tests/mediaplayer/TestMedia.h"

#include <gst/gst.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <condition_variable>
#include <mutex>

#include <filesystem>
#include <string>

namespace mediaplayer::test {
namespace {

class Ending : public ::testing::Test {
protected:
    // Plays `url` as the host does: a failed start is stopped and played again, three times at most. The state it
    // ends in: Stopped once the media has played to its end, Ready when every attempt failed.
    int PlayThrough(const std::u16string& url, double seconds) {
        player.setURL(url);
        for (int retries = 0;; ++retries) {
            int state = Undefined;
            const bool settled = WaitUntil(
                [&] {
                    state = player.playState();
                    return state == Stopped || state == Ready;
                },
                seconds + 8);
            if (!settled || state == Stopped || retries == 3) return state;
            player.controls().stop();
            player.controls().play();
        }
    }

    TempFolder folder;
    MediaPlayer player;
};

// Every media that plays to its end reaches the stopped state, however short, in every container offered: a host
// that never saw the end would never move on.
TEST_F(Ending, EveryContainerReachesItsEndHoweverShort) {
    const std::pair<const char*, const char*> containers[] = {
        {"wav", "wavenc"},
        {"aiff", "aiffmux"},
        {"mp3", "lamemp3enc"},
        {"wma", "avenc_wmav2 ! asfmux"},
        {"flac", "flacenc"},
        {"ogg", "vorbisenc ! oggmux"},
        {"opus", "audioresample ! opusenc ! oggmux"},
        {"m4a", "avenc_aac ! mp4mux"},
        {"wv", "wavpackenc"},
        {"mpg", "avenc_mp2 ! mpegpsmux"},
    };
    for (const auto& [extension, encoder] : containers) {
        for (double seconds : {0.02, 0.1, 0.2}) {
            const std::string name = std::to_string(seconds) + "." + extension;
            EXPECT_EQ(PlayThrough(WriteFile(folder / name, EncodedRamp(seconds, encoder)), seconds), Stopped) << name;
        }
    }
    // Ordinary AIFF files, which stalled the player on a few tries in ten.
    const std::u16string aiff = WriteFile(folder / "tone.aiff", EncodedRamp(1.0, "aiffmux"));
    for (int i = 0; i < 6; ++i) EXPECT_EQ(PlayThrough(aiff, 1.0), Stopped) << "try " << i;
    if (std::filesystem::exists("/usr/share/sounds/sf2/default-GM.sf2") ||
        std::filesystem::exists("/usr/share/sounds/sf3/default-GM.sf3"))  // one General MIDI sound font
        EXPECT_EQ(PlayThrough(WriteFile(folder / "notes.mid", MidiFile()), 1.5), Stopped);
}

// A media whose demuxer reports an error, or that never gives sound, fails instead of keeping the host waiting.
TEST_F(Ending, BrokenMediaFailsInsteadOfStalling) {
    const Bytes wma = EncodedRamp(2.0, "avenc_wmav2 ! asfmux");
    const Bytes aiff = EncodedRamp(2.0, "aiffmux");
    const Bytes mpg = EncodedRamp(2.0, "avenc_mp2 ! mpegpsmux");
    const auto cut = [](const Bytes& bytes, std::size_t size) {
        return Bytes(bytes.begin(), bytes.begin() + static_cast<std::ptrdiff_t>(std::min(size, bytes.size())));
    };
    Bytes noisyWma = cut(wma, 600);  // a WMA header, then data no encoder wrote
    for (std::uint32_t i = 0; i < 100000; ++i) noisyWma.push_back(static_cast<std::uint8_t>(i * 2654435761u >> 24));
    Bytes badWav = WavFile(0.5);
    badWav[20] = 0x55;  // an unknown sample format
    const std::pair<std::string, Bytes> broken[] = {
        {"truncated.wma", cut(wma, wma.size() / 3)},
        {"header-only.wma", cut(wma, 600)},
        {"noisy.wma", noisyWma},
        {"truncated.aiff", cut(aiff, aiff.size() / 3)},
        {"header-only.aiff", cut(aiff, 60)},
        {"truncated.mpg", cut(mpg, mpg.size() / 3)},
        {"header-only.mpg", cut(mpg, 100)},
        {"bad-format.wav", badWav},
    };
    for (const auto& [name, bytes] : broken) {
        const int state = PlayThrough(WriteFile(folder / name, bytes), 2.0);
        EXPECT_TRUE(state == Ready || state == Stopped) << name << " stalls in state " << state;
    }
}

// Two tracker modules in a row once held a decoder's lock against a query from the thread that asked for the
// next: each plays to its end, and no call of the host waits.
TEST_F(Ending, TrackerModulesFollowOneAnother) {
    const std::u16string modules[] = {WriteFile(folder / "a.mod", ModModule()),
                                      WriteFile(folder / "b.s3m", S3mModule())};
    for (int round = 0; round < 2; ++round) {
        for (const std::u16string& module : modules) {
            EXPECT_TRUE(ReturnsPromptly([&] { EXPECT_EQ(PlayThrough(module, 3), Stopped); }, [] {}, 15));
        }
    }
}

// An element that holds its streaming thread for good (a lock never released, a read that never returns; here one
// in the first output) holds up neither the host nor the next media: the engine leaves that pipeline to itself.
TEST(HeldElement, HoldsUpNeitherTheHostNorTheNextMedia) {
    // Outlives the test: the held thread is let go only at its end, and may run on after.
    static struct Hold {
        std::mutex lock;
        std::condition_variable released;
        bool release = false;
    } hold;
    const auto holdForGood = +[](GstElement*, GstBuffer*, gpointer) {
        std::unique_lock guard(hold.lock);
        hold.released.wait(guard, [] { return hold.release; });
    };
    int made = 0;
    TempFolder folder;
    MediaPlayer player([&]() -> GstElement* {
        if (made++ > 0) return gst_parse_launch("fakesink sync=true", nullptr);
        GstElement* bin = gst_parse_bin_from_description("identity name=hold signal-handoffs=true ! fakesink sync=true",
                                                         TRUE, nullptr);
        GstElement* identity = gst_bin_get_by_name(GST_BIN(bin), "hold");
        g_signal_connect(identity, "handoff", G_CALLBACK(holdForGood), nullptr);
        gst_object_unref(identity);
        return bin;
    });
    const auto second = WriteFile(folder / "second.wav", WavFile(1.0));
    EXPECT_TRUE(ReturnsPromptly([&] { player.setURL(WriteFile(folder / "first.wav", WavFile(1.0))); }, [] {}, 1));
    std::this_thread::sleep_for(std::chrono::milliseconds(500));
    EXPECT_TRUE(ReturnsPromptly([&] { player.setURL(second); }, [] {}, 1));
    EXPECT_TRUE(WaitForState(player, Playing, 10)) << "state " << player.playState();
    EXPECT_TRUE(WaitForState(player, Stopped, 5));
    {
        std::lock_guard guard(hold.lock);
        hold.release = true;
    }
    hold.released.notify_all();
}

}  // namespace
}  // namespace mediaplayer::test
