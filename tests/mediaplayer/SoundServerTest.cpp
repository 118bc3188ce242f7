#include "tests/mediaplayer/SoundServer.h"

#include "platform/mediaplayer/StreamIdentity.h"

#include <gtest/gtest.h>

#include <chrono>
#include <cmath>
#include <functional>
#include <optional>
#include <thread>

namespace mediaplayer::test {
namespace {

// The player on its system output, heard through a PulseAudio server of the test's own that,
// like many, does not restore a stream's volume: each track's stream is what the player makes it.
class SoundServerStreams : public ::testing::Test {
protected:
    void SetUp() override {
        try {
            server.emplace();
        } catch (const std::exception& error) {
            FAIL() << error.what();
        }
    }

    // The one stream on the server once it shows, when it is not `previous` (a track's stream
    // before the next track's).
    std::optional<SinkInput> Stream(int previous = -1) {
        std::optional<SinkInput> found;
        WaitUntil([&] {
            const auto inputs = server->SinkInputs();
            if (inputs.size() == 1 && inputs.front().index != previous) found = inputs.front();
            return found.has_value();
        });
        return found;
    }

    std::u16string Track(const std::string& name) { return WriteFile(folder / name, WavFile(3.0)); }

    std::optional<PrivateSoundServer> server;
    TempFolder folder;
};

std::string Property(const Properties& properties, const std::string& name) {
    const auto found = properties.find(name);
    return found == properties.end() ? "(none)" : found->second;
}

// `volume` is the player's (0..100, heard on a cubic scale).
bool HeardAt(const SinkInput& stream, int volume, bool mute) {
    const double linear = std::pow(volume / 100.0, 3);
    bool all = !stream.volume.empty() && stream.mute == mute;
    for (unsigned channel : stream.volume) all = all && std::abs(LinearVolume(channel) - linear) < 1e-4;
    return all;
}

std::string Describe(const SinkInput& stream) {
    std::string text = "stream #" + std::to_string(stream.index) + (stream.mute ? " muted" : "") + " at";
    for (unsigned channel : stream.volume)
        text += " " + std::to_string(channel) + " (linear " + std::to_string(LinearVolume(channel)) + ")";
    return text;
}

TEST_F(SoundServerStreams, EveryTrackNamesItselfAsMusicFromThePlayer) {
    SetSoundServerIdentity("Morvane-Tavri", "media");  // as the program does at start
    MediaPlayer player;
    int previous = -1;
    for (const char* name : {"first.wav", "second.wav", "third.wav"}) {
        player.setURL(Track(name));
        ASSERT_TRUE(WaitForState(player, Playing));
        const auto playing = Stream(previous);
        ASSERT_TRUE(playing) << "no stream of " << name << " on the sound server";
        EXPECT_EQ(Property(playing->properties, "media.role"), "music");
        EXPECT_EQ(Property(playing->properties, "application.name"), "Morvane-Tavri");
        EXPECT_EQ(Property(playing->properties, "application.icon_name"), "media");
        EXPECT_EQ(Property(playing->properties, "application.id"), "media");
        // The client the stream belongs to, which the server lists too.
        EXPECT_EQ(Property(server->ClientProperties(playing->client), "application.name"), "Morvane-Tavri");
        previous = playing->index;
        // After a stop the next track opens a new stream.
        player.controls().stop();
    }
}

// A new track, whether the last one ended or was left, plays on the stream that is open: the sound server has no new
// stream to set up, and its sink never falls idle between the two.
TEST_F(SoundServerStreams, TracksFollowOneAnotherOnOneStream) {
    MediaPlayer player;
    player.setURL(WriteFile(folder / "short.wav", WavFile(0.5)));
    ASSERT_TRUE(WaitForState(player, Playing));
    const auto first = Stream();
    ASSERT_TRUE(first);
    ASSERT_TRUE(WaitForState(player, Stopped));
    player.setURL(Track("ended.wav"));
    ASSERT_TRUE(WaitForState(player, Playing));
    EXPECT_EQ(server->SinkInputs().size(), 1u);
    EXPECT_EQ(Stream()->index, first->index) << "the track after an ended one";
    player.setURL(Track("left.wav"));
    ASSERT_TRUE(WaitForState(player, Playing));
    EXPECT_EQ(Stream()->index, first->index) << "the track after one left while it played";
    EXPECT_TRUE(WaitUntil([&] { return player.controls().currentPosition() > 0.3; }));
}

TEST_F(SoundServerStreams, VolumeAndMuteHoldAcrossTracks) {
    MediaPlayer player;
    player.settings().setVolume(57);
    player.setURL(Track("first.wav"));
    ASSERT_TRUE(WaitForState(player, Playing));
    const auto first = Stream();
    ASSERT_TRUE(first);
    EXPECT_TRUE(HeardAt(*first, 57, false)) << Describe(*first);

    player.controls().stop();
    player.setURL(Track("second.wav"));
    ASSERT_TRUE(WaitForState(player, Playing));
    const auto second = Stream(first->index);
    ASSERT_TRUE(second);
    EXPECT_TRUE(HeardAt(*second, 57, false)) << Describe(*second);

    // Changed while a track plays: that stream follows at once, and the next one starts so.
    player.settings().setVolume(30);
    player.settings().setMute(true);
    EXPECT_TRUE(WaitUntil([&] {
        const auto now = Stream();
        return now && HeardAt(*now, 30, true);
    }));
    player.close();
    player.setURL(Track("third.wav"));
    ASSERT_TRUE(WaitForState(player, Playing));
    const auto third = Stream(second->index);
    ASSERT_TRUE(third);
    EXPECT_TRUE(HeardAt(*third, 30, true)) << Describe(*third);
}

double SecondsTaken(const std::function<void()>& call) {
    const auto start = std::chrono::steady_clock::now();
    call();
    return std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
}

// Waits until `condition` holds, failing the test if the player reads as failed meanwhile: the output's faults
// are never the media's.
bool PlaysOnWithoutFailing(MediaPlayer& player, const std::function<bool()>& condition, double seconds = 10) {
    return WaitUntil(
        [&] {
            EXPECT_NE(player.playState(), Ready) << "the media was taken for failed";
            return condition();
        },
        seconds);
}

// A server that goes away while the player plays, or that comes up only after it: the media plays on in real time
// on a silent output, which the player says, and the next start (a new track, play after a stop) is heard again.
TEST(SoundServerFaults, SoundComesBackAtTheNextStartAfterTheServerWasLostOrLate) {
    for (const bool startedFirst : {true, false}) {
        SCOPED_TRACE(startedFirst ? "killed and started again" : "started after the player");
        TempFolder folder;
        PrivateSoundServer server(startedFirst);
        MediaPlayer player;
        player.setURL(WriteFile(folder / "first.wav", WavFile(4.0)));
        ASSERT_TRUE(WaitForState(player, Playing));
        if (startedFirst) {
            ASSERT_TRUE(WaitUntil([&] { return server.SinkInputs().size() == 1; }));
            EXPECT_FALSE(player.OutputIsSilent());
            ASSERT_TRUE(WaitUntil([&] { return player.controls().currentPosition() > 0.5; }));
            server.Kill();
        }
        EXPECT_TRUE(PlaysOnWithoutFailing(
            player, [&] { return player.OutputIsSilent(); }, 5));
        const double reached = player.controls().currentPosition();
        EXPECT_TRUE(PlaysOnWithoutFailing(player, [&] { return player.controls().currentPosition() > reached + 0.5; }));
        EXPECT_EQ(player.playState(), Playing);
        server.Start();
        if (startedFirst) {
            player.setURL(WriteFile(folder / "second.wav", WavFile(4.0)));
        } else {
            player.controls().stop();
            player.controls().play();
        }
        EXPECT_TRUE(WaitForState(player, Playing));
        EXPECT_TRUE(WaitUntil([&] { return server.SinkInputs().size() == 1; })) << "no stream after the next start";
        EXPECT_FALSE(player.OutputIsSilent());
    }
}

// The host's thread never waits on a frozen server: not to start the next track, to poll, to stop, to close, nor
// to end the player. The media still reads as opening or playing, never as failed.
TEST_F(SoundServerStreams, AFrozenServerHoldsUpNoCallOfTheHost) {
    constexpr double kPrompt = 1.0;  // generous for a loaded machine; a frozen server holds a call for 30 s
    std::optional<MediaPlayer> player(std::in_place);
    player->setURL(Track("first.wav"));
    ASSERT_TRUE(WaitForState(*player, Playing));
    ASSERT_TRUE(Stream());
    server->Freeze();
    const auto poll = [&] {
        EXPECT_NE(player->playState(), Ready);
        player->controls().currentPosition();
        player->controls().currentPositionString();
        player->currentMedia().durationString();
        player->currentMedia().name();
    };
    for (const char* name : {"second.wav", "third.wav"}) {
        const std::u16string track = Track(name);
        EXPECT_LT(SecondsTaken([&] { player->setURL(track), player->controls().play(); }), kPrompt) << name;
        for (int i = 0; i < 5; ++i) {
            EXPECT_LT(SecondsTaken(poll), kPrompt);
            std::this_thread::sleep_for(std::chrono::milliseconds(100));
        }
    }
    EXPECT_LT(SecondsTaken([&] { player->controls().pause(), player->controls().play(); }), kPrompt);
    EXPECT_LT(SecondsTaken([&] { player->settings().setVolume(40); }), kPrompt);
    EXPECT_LT(SecondsTaken([&] { player->controls().stop(); }), kPrompt);
    EXPECT_EQ(player->playState(), Stopped);
    EXPECT_LT(SecondsTaken([&] { player->close(); }), kPrompt);
    EXPECT_LT(SecondsTaken([&] { player.reset(); }), kPrompt + 1.5) << "the end of the player";
    server->Thaw();
    // Thawed, the server serves a new player at once.
    MediaPlayer next;
    next.setURL(Track("fourth.wav"));
    EXPECT_TRUE(WaitForState(next, Playing));
}

// A suspended sink is the output's state, not the media's: every track plays, none reads as failed.
TEST_F(SoundServerStreams, ASuspendedSinkFailsNoMedia) {
    server->Suspend(true);
    MediaPlayer player;
    for (const char* name : {"first.wav", "second.wav", "third.wav"}) {
        player.setURL(WriteFile(folder / name, WavFile(1.0)));
        EXPECT_TRUE(PlaysOnWithoutFailing(player, [&] { return player.playState() == Playing; })) << name;
        EXPECT_TRUE(PlaysOnWithoutFailing(player, [&] { return player.playState() == Stopped; })) << name;
    }
    server->Suspend(false);
    player.setURL(Track("fourth.wav"));
    EXPECT_TRUE(WaitForState(player, Playing));
    EXPECT_TRUE(Stream());
}

}  // namespace
}  // namespace mediaplayer::test
