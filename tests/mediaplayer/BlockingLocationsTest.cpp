#include "tests/mediaplayer/TestMedia.h"

#include "platform/mediaplayer/MediaLocation.h"

#include <gtest/gtest.h>

#include <fcntl.h>
#include <stdlib.h>
#include <sys/stat.h>
#include <unistd.h>

#include <chrono>
#include <filesystem>
#include <functional>
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
    // retry (stop, play) must not wait either. `release` frees a reader stuck on the location.
    void ExpectTurnedDown(const std::u16string& location, const std::function<void()>& release) {
        EXPECT_TRUE(ReturnsPromptly([&] { player.setURL(location); }, release)) << "setURL blocked";
        EXPECT_TRUE(WaitForState(player, Ready, 2));
        EXPECT_EQ(player.URL(), location);
        EXPECT_TRUE(ReturnsPromptly(
            [&] {
                player.controls().stop();
                player.controls().play();
            },
            release))
            << "play blocked";
        EXPECT_TRUE(WaitForState(player, Ready, 2));
    }
    void ExpectTurnedDown(const std::u16string& location, const std::filesystem::path& fifo) {
        ExpectTurnedDown(location, [&] { ReleaseReaders(fifo); });
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

// Started from a terminal, a list may name the terminal itself: a reader of it waits for a key, and
// stopping it waits for the reader. Character devices fail at once like FIFOs, and so does the
// program's standard input, whether a terminal or a pipe.
TEST_F(BlockingLocations, TerminalsCharacterDevicesAndStandardInputFailAtOnce) {
    const int terminal = posix_openpt(O_RDWR | O_NOCTTY);
    ASSERT_GE(terminal, 0);
    ASSERT_EQ(grantpt(terminal), 0);
    ASSERT_EQ(unlockpt(terminal), 0);
    const std::string terminalPath = ptsname(terminal);
    const int terminalEnd = open(terminalPath.c_str(), O_RDWR | O_NOCTTY);
    int pipeEnds[2];
    ASSERT_EQ(pipe(pipeEnds), 0);
    const int savedInput = dup(STDIN_FILENO);
    // A stuck reader goes on once the terminal or the pipe has something to read.
    const auto type = [&] {
        for (int fd : {terminal, pipeEnds[1]}) (void)!write(fd, "\n\n\n\n", 4);
    };
    struct Case {
        const char* what;
        std::string path;
        int standardInput;  // what /dev/stdin is while the case runs; -1 leaves it
    };
    for (const Case& item :
         {Case{"a terminal", terminalPath, -1}, Case{"/dev/zero", "/dev/zero", -1}, Case{"/dev/null", "/dev/null", -1},
          Case{"a terminal as input", "/dev/stdin", terminalEnd}, Case{"a pipe as input", "/dev/stdin", pipeEnds[0]}}) {
        if (item.standardInput >= 0) dup2(item.standardInput, STDIN_FILENO);
        EXPECT_FALSE(OpensPromptly(MediaLocation(std::u16string(item.path.begin(), item.path.end())).Uri()))
            << item.what;
        ExpectTurnedDown(std::u16string(item.path.begin(), item.path.end()), type);
        dup2(savedInput, STDIN_FILENO);
    }
    for (int fd : {terminal, terminalEnd, pipeEnds[0], pipeEnds[1], savedInput}) close(fd);
    player.setURL(WriteFile(folder / "tone.wav", WavFile(1.0)));
    EXPECT_TRUE(WaitForState(player, Playing));
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

TEST(OpensPromptly, RegularFilesBlockDevicesAndNetworkAddressesDoOtherKindsDoNot) {
    TempFolder folder;
    const auto uri = [](const std::filesystem::path& path) { return MediaLocation(path.u16string()).Uri(); };
    WriteFile(folder / "tone.wav", WavFile(0.1));
    mkfifo((folder / "pipe.mp3").c_str(), 0600);
    EXPECT_TRUE(OpensPromptly(uri(folder / "tone.wav")));
    std::error_code error;
    for (const auto& entry : std::filesystem::directory_iterator("/dev", error)) {
        if (entry.is_block_file(error)) {
            EXPECT_TRUE(OpensPromptly(uri(entry.path()))) << entry.path();
            break;
        }
    }
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
