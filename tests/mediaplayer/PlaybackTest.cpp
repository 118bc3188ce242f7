#include "tests/mediaplayer/TestMedia.h"

#include <gst/gst.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <cmath>
#include <thread>

namespace mediaplayer::test {
namespace {

using Clock = std::chrono::steady_clock;

// A two-second tone, opened and playing.
class PlayingWav : public ::testing::Test {
protected:
    void SetUp() override {
        player.setURL(url);
        ASSERT_TRUE(WaitForState(player, Playing));
    }
    double Position() { return player.controls().currentPosition(); }

    TempFolder folder;
    std::u16string url = WriteFile(folder / "tone.wav", WavFile(2.0));
    MediaPlayer player;
};

TEST(Opening, TransitionsToPlayingOnlyWithTheDurationKnown) {
    TempFolder folder;
    MediaPlayer player;
    const std::u16string url = WriteFile(folder / "tone.wav", WavFile(2.0));
    player.setURL(url);
    EXPECT_EQ(player.URL(), url);
    std::vector<int> states;
    ASSERT_TRUE(WaitUntil([&] {
        states.push_back(player.playState());
        // The player stores the duration text the moment it first sees the playing state.
        if (states.back() == Playing) {
            EXPECT_EQ(player.currentMedia().durationString(), u"00:02");
        }
        return states.back() == Playing;
    }));
    // A local file may open before the first look; only opening may come before playing.
    EXPECT_EQ(std::count(states.begin(), states.end(), Transitioning), states.size() - 1);
    EXPECT_NEAR(player.currentMedia().duration(), 2.0, 0.05);
    EXPECT_EQ(player.currentMedia().getItemInfoByAtom(7), u"00:02");
    // Untagged: the file name without extension, and no artist.
    EXPECT_EQ(player.currentMedia().name(), u"tone");
    EXPECT_EQ(player.currentMedia().getItemInfo(u"title"), u"tone");
    EXPECT_EQ(player.currentMedia().getItemInfo(u"Author"), u"");
}

TEST_F(PlayingWav, PositionFollowsRealTime) {
    const auto start = Clock::now();
    const double first = Position();
    ASSERT_TRUE(WaitUntil([&] { return Position() > first + 0.4; }));
    // Never ahead of the wall clock: the silent output of machines without sound keeps time too.
    EXPECT_LE(Position() - first, std::chrono::duration<double>(Clock::now() - start).count() + 0.1);
    EXPECT_EQ(player.controls().currentPositionString().substr(0, 4), u"00:0");
}

TEST_F(PlayingWav, PauseHoldsThePositionAndPlayResumes) {
    player.controls().pause();
    EXPECT_EQ(player.playState(), Paused);
    const double held = Position();
    std::this_thread::sleep_for(std::chrono::milliseconds(300));
    EXPECT_NEAR(Position(), held, 0.1);
    EXPECT_EQ(player.playState(), Paused);
    player.controls().play();
    EXPECT_TRUE(WaitForState(player, Playing));
    EXPECT_TRUE(WaitUntil([&] { return Position() > held + 0.2; }));
}

TEST_F(PlayingWav, SeeksWhilePlaying) {
    player.controls().setCurrentPosition(1.2);
    // The seek bar reads the new place at once, not the old one while the pipeline settles.
    EXPECT_NEAR(Position(), 1.2, 0.01);
    EXPECT_EQ(player.playState(), Playing);
    EXPECT_TRUE(WaitUntil([&] { return Position() > 1.25; }));
}

TEST_F(PlayingWav, SeeksWhilePausedWithinTheMedia) {
    player.controls().pause();
    player.controls().setCurrentPosition(1.5);
    EXPECT_TRUE(WaitUntil([&] { return std::abs(Position() - 1.5) < 0.05; }));
    EXPECT_EQ(player.playState(), Paused);
    // Targets before the start or past the end mean the nearest end; not-a-number means nothing.
    player.controls().setCurrentPosition(-0.5);
    EXPECT_EQ(Position(), 0.0);
    player.controls().setCurrentPosition(std::nan(""));
    EXPECT_EQ(Position(), 0.0);
    player.controls().setCurrentPosition(1e9);
    EXPECT_NEAR(Position(), 2.0, 0.05);
}

TEST_F(PlayingWav, StopRewindsKeepsTheMediaAndPlayStartsOver) {
    ASSERT_TRUE(WaitUntil([&] { return Position() > 0.3; }));
    player.controls().stop();
    EXPECT_EQ(player.playState(), Stopped);
    EXPECT_EQ(Position(), 0.0);
    EXPECT_EQ(player.controls().currentPositionString(), u"");
    EXPECT_EQ(player.currentMedia().durationString(), u"00:02");
    EXPECT_EQ(player.currentMedia().name(), u"tone");
    player.controls().setCurrentPosition(1.0);  // nothing to seek in
    player.controls().play();
    ASSERT_TRUE(WaitForState(player, Playing));
    EXPECT_LT(Position(), 1.0);
}

TEST_F(PlayingWav, EndOfTheMediaIsStoppedAndPlayStartsItAgain) {
    player.controls().setCurrentPosition(1.7);
    ASSERT_TRUE(WaitForState(player, Stopped));
    EXPECT_EQ(Position(), 0.0);
    EXPECT_EQ(player.URL(), url);
    player.controls().play();
    EXPECT_TRUE(WaitForState(player, Playing));
}

// A player on an output the test can look into.
class Watched : public ::testing::Test {
protected:
    void StartTone(const std::string& name, double seconds) {
        player.setURL(WriteFile(folder / name, WavFile(seconds)));
        ASSERT_TRUE(WaitForState(player, Playing));
    }

    TempFolder folder;
    WatchedOutput output;
    MediaPlayer player{output.Factory()};
};
using NetworkBuffer = Watched;
using NextMedia = Watched;
using CompressedStreams = Watched;

TEST_F(NetworkBuffer, PausesUntilTheBufferIsFullThenPlaysOn) {
    StartTone("tone.wav", 2.0);
    // What a network source reports while its buffer runs low and fills again.
    const auto report = [&](int percent) {
        const GstPointer pipeline = output.Pipeline();
        gst_element_post_message(pipeline.get(), gst_message_new_buffering(GST_OBJECT(pipeline.get()), percent));
    };
    // The report reaches the player's own thread first; the host sees it by its next look or so.
    report(30);
    EXPECT_TRUE(WaitForState(player, Buffering, 1));
    EXPECT_EQ(player.network().bufferingProgress(), 30);
    const double held = player.controls().currentPosition();
    std::this_thread::sleep_for(std::chrono::milliseconds(300));
    EXPECT_NEAR(player.controls().currentPosition(), held, 0.1);
    // A pause asked for while buffering is kept when the buffer is full.
    player.controls().pause();
    report(100);
    EXPECT_TRUE(WaitUntil([&] { return player.network().bufferingProgress() == 100; }, 1));
    EXPECT_EQ(player.playState(), Paused);
    player.controls().play();
    EXPECT_EQ(player.playState(), Playing);
    EXPECT_TRUE(WaitUntil([&] { return player.controls().currentPosition() > held + 0.2; }));
}

TEST(ShortMedia, EndsByItselfAndStillHasAPlayableLength) {
    TempFolder folder;
    MediaPlayer player;
    player.setURL(WriteFile(folder / "blip.wav", WavFile(0.4)));
    EXPECT_TRUE(WaitForState(player, Stopped));
    EXPECT_EQ(player.currentMedia().durationString(), u"00:01");
}

// The next media, after one that ended or one left while it played, runs in the same pipeline into the same sink,
// from its own beginning, and its own end is seen.
TEST_F(NextMedia, PlaysOnTheSameOutputFromItsOwnStart) {
    StartTone("first.wav", 0.6);
    const GstPointer pipeline = output.Pipeline();
    ASSERT_TRUE(WaitForState(player, Stopped));
    EXPECT_EQ(player.controls().currentPosition(), 0.0);

    player.setURL(WriteFile(folder / "second.wav", WavFile(3.0)));
    ASSERT_TRUE(WaitForState(player, Playing));
    EXPECT_EQ(output.Pipeline().get(), pipeline.get());
    EXPECT_NEAR(player.currentMedia().duration(), 3.0, 0.05);
    EXPECT_EQ(player.currentMedia().name(), u"second");
    EXPECT_LT(player.controls().currentPosition(), 0.5);
    EXPECT_TRUE(WaitUntil([&] { return player.controls().currentPosition() > 0.3; }));

    const auto third = WriteFile(folder / "third.wav", WavFile(1.0));
    player.setURL(third);
    ASSERT_TRUE(WaitForState(player, Playing));
    EXPECT_EQ(output.Pipeline().get(), pipeline.get());
    EXPECT_NEAR(player.currentMedia().duration(), 1.0, 0.05);
    EXPECT_LT(player.controls().currentPosition(), 0.5) << "not where the second one was left";
    player.controls().setCurrentPosition(0.5);
    EXPECT_TRUE(WaitUntil([&] { return player.controls().currentPosition() > 0.6; }));
    EXPECT_TRUE(WaitForState(player, Stopped));
    EXPECT_EQ(player.URL(), third);
}

// The compressed streams of GStreamer's own demuxers (MP4's AAC and Apple Lossless, Matroska's AC-3) go through the
// player's own decoder and play to their end. Damaged packets are skipped; a stream of nothing but damage fails like
// any unplayable track instead of playing silence.
TEST_F(CompressedStreams, PlayThroughThePlayersOwnDecoderAndSkipDamage) {
    const std::pair<const char*, const char*> streams[] = {
        {"aac.m4a", "avenc_aac ! mp4mux"},
        {"alac.m4a", "avenc_alac ! mp4mux"},
        {"ac3.mka", "avenc_ac3 ! matroskamux"},
    };
    for (const auto& [name, encoder] : streams) {
        player.setURL(WriteFile(folder / name, EncodedRamp(1.0, encoder)));
        ASSERT_TRUE(WaitForState(player, Playing)) << name;
        EXPECT_TRUE(output.Runs("mediaaudiodecoder")) << name;
        EXPECT_NEAR(player.currentMedia().duration(), 1.0, 0.1) << name;
        EXPECT_TRUE(WaitForState(player, Stopped)) << name;
    }

    const Bytes aac = EncodedRamp(2.0, "avenc_aac ! mp4mux");
    const auto samplesStart = std::search(aac.begin(), aac.end(), std::begin("mdat"), std::end("mdat") - 1) + 12;
    const auto samplesEnd = std::search(aac.begin(), aac.end(), std::begin("moov"), std::end("moov") - 1) - 8;
    ASSERT_LT(samplesStart, samplesEnd);
    // Overwrites [from, to) of the packets, as fractions of them, with noise.
    const auto damaged = [&](std::vector<std::pair<double, double>> stretches) {
        Bytes bytes = aac;
        std::uint32_t noise = 7;
        const std::ptrdiff_t length = samplesEnd - samplesStart;
        const std::ptrdiff_t offset = samplesStart - aac.begin();
        for (const auto& [from, to] : stretches) {
            for (auto i = static_cast<std::ptrdiff_t>(from * length); i < static_cast<std::ptrdiff_t>(to * length); ++i)
                bytes[offset + i] = static_cast<std::uint8_t>((noise = noise * 1103515245 + 12345) >> 16);
        }
        return bytes;
    };
    player.setURL(WriteFile(folder / "scratched.m4a", damaged({{0.3, 0.32}, {0.5, 0.52}, {0.7, 0.72}})));
    EXPECT_TRUE(WaitForState(player, Playing)) << "state " << player.playState();
    EXPECT_TRUE(WaitForState(player, Stopped)) << "state " << player.playState();
    player.setURL(WriteFile(folder / "noise.m4a", damaged({{0, 1}})));
    EXPECT_TRUE(WaitForState(player, Ready)) << "state " << player.playState();
}

TEST_F(PlayingWav, CloseAndAnEmptyUrlReleaseTheMedia) {
    for (auto release : {+[](MediaPlayer& p) { p.close(); }, +[](MediaPlayer& p) { p.setURL(u""); }}) {
        release(player);
        EXPECT_EQ(player.playState(), Undefined);
        EXPECT_EQ(player.URL(), u"");
        EXPECT_EQ(player.currentMedia().name(), u"");
        EXPECT_EQ(player.currentMedia().durationString(), u"00:00");
        EXPECT_EQ(player.controls().currentPositionString(), u"");
        player.controls().play();  // nothing to play
        EXPECT_EQ(player.playState(), Undefined);
        player.setURL(url);
        EXPECT_TRUE(WaitForState(player, Playing));
    }
}

}  // namespace
}  // namespace mediaplayer::test
