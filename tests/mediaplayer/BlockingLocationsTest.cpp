#include "tests/mediaplayer/TestMedia.h"

#include "platform/mediaplayer/MediaLocation.h"

#include <gtest/gtest.h>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <chrono>
#include <filesystem>
#include <thread>

namespace mediaplayer::test {
namespace {

// Locations that are neither a regular file, a device nor a network address: the player must
// turn them down at once instead of waiting in the caller's (the window's) thread.
class BlockingLocations : public ::testing::Test {
protected:
    std::filesystem::path MakeFifo(const std::string& name) {
        const auto path = folder / name;
        if (mkfifo(path.c_str(), 0600) != 0) ADD_FAILURE() << "mkfifo " << path;
        return path;
    }

    // A reader stuck opening the FIFO goes on once a writer has opened and closed it; the file
    // source may open it more than once.
    static void ReleaseReaders(const std::filesystem::path& fifo) {
        const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(3);
        while (std::chrono::steady_clock::now() < deadline) {
            const int fd = open(fifo.c_str(), O_WRONLY | O_NONBLOCK);
            if (fd >= 0) close(fd);
            std::this_thread::sleep_for(std::chrono::milliseconds(5));
        }
    }

    // Gives the player the location and expects it back at once, the media failed; the poller's
    // retry (stop, play) must not wait either.
    void ExpectTurnedDown(const std::u16string& location, const std::filesystem::path& fifo) {
        EXPECT_TRUE(ReturnsPromptly([&] { player.setURL(location); }, [&] { ReleaseReaders(fifo); }))
            << "setURL blocked on " << fifo;
        EXPECT_TRUE(WaitForState(player, Ready, 2));
        EXPECT_EQ(player.URL(), location);
        EXPECT_TRUE(ReturnsPromptly(
            [&] {
                player.controls().stop();
                player.controls().play();
            },
            [&] { ReleaseReaders(fifo); }))
            << "play blocked on " << fifo;
        EXPECT_TRUE(WaitForState(player, Ready, 2));
    }

    TempFolder folder;
    MediaPlayer player;
};

TEST_F(BlockingLocations, FifosNamedLikeMusicFailAtOnceAndARegularFileStillPlays) {
    for (const char* name : {"pipe.mp3", "pipe.wav"}) {
        const auto fifo = MakeFifo(name);
        ExpectTurnedDown(fifo.u16string(), fifo);
        EXPECT_EQ(player.currentMedia().name(), u"pipe");
        EXPECT_EQ(player.currentMedia().durationString(), u"00:00");
    }
    player.setURL(WriteFile(folder / "tone.wav", WavFile(1.0)));
    EXPECT_TRUE(WaitForState(player, Playing));
}

TEST_F(BlockingLocations, AFifoGivenAsAFileUriOrThroughALinkFailsAtOnce) {
    const auto fifo = MakeFifo("pipe.mp3");
    ExpectTurnedDown(u"file://" + fifo.u16string(), fifo);
    const auto link = folder / "link.mp3";
    std::filesystem::create_symlink(fifo, link);
    ExpectTurnedDown(link.u16string(), fifo);
}

TEST_F(BlockingLocations, AFolderFails) {
    const auto album = folder / "album.mp3";
    std::filesystem::create_directory(album);
    player.setURL(album.u16string());
    EXPECT_TRUE(WaitForState(player, Ready, 2));
    player.setURL(u"file://" + album.u16string());
    EXPECT_TRUE(WaitForState(player, Ready, 2));
}

TEST_F(BlockingLocations, AFileUriOfAMissingFileFailsAndOfARegularFilePlays) {
    player.setURL(u"file://" + (folder / "gone.wav").u16string());
    EXPECT_TRUE(WaitForState(player, Ready, 2));
    // A file URI of a regular file still plays.
    const auto tone = folder / "tone.wav";
    WriteFile(tone, WavFile(1.0));
    player.setURL(u"file://" + tone.u16string());
    EXPECT_TRUE(WaitForState(player, Playing));
}

TEST(OpensPromptly, RegularFilesDevicesAndNetworkAddressesDoOtherKindsDoNot) {
    TempFolder folder;
    const auto uri = [](const std::filesystem::path& path) { return MediaLocation(path.u16string()).Uri(); };
    WriteFile(folder / "tone.wav", WavFile(0.1));
    mkfifo((folder / "pipe.mp3").c_str(), 0600);
    EXPECT_TRUE(OpensPromptly(uri(folder / "tone.wav")));
    EXPECT_TRUE(OpensPromptly(uri("/dev/null")));
    for (const char* address : {"http://127.0.0.1:1/a.mp3", "mms://example.invalid/b", "rtsp://127.0.0.1/c"})
        EXPECT_TRUE(OpensPromptly(address)) << address;
    EXPECT_FALSE(OpensPromptly(uri(folder / "pipe.mp3")));
    EXPECT_FALSE(OpensPromptly("FILE://" + (folder / "pipe.mp3").string()));
    EXPECT_FALSE(OpensPromptly(uri(folder / "gone.mp3")));
    EXPECT_FALSE(OpensPromptly(uri(folder / "")));
    EXPECT_FALSE(OpensPromptly(""));
    EXPECT_FALSE(OpensPromptly("not a uri"));
}

}  // namespace
}  // namespace mediaplayer::test
