#include "tests/mediaplayer/TestMedia.h"

#include <gtest/gtest.h>

namespace mediaplayer::test {
namespace {

class MediaKinds : public ::testing::Test {
protected:
    std::u16string WriteMp3(const std::string& name, const Bytes& tag, double seconds) {
        Bytes file = tag;
        const Bytes audio = Mp3Audio(seconds);
        file.insert(file.end(), audio.begin(), audio.end());
        return WriteFile(folder / name, file);
    }

    TempFolder folder;
    WatchedOutput output;
    MediaPlayer player{output.Factory()};
};

TEST_F(MediaKinds, Mp3ShowsItsTitleAndArtistTags) {
    player.setURL(WriteMp3("track01.mp3", Id3v23Tag(0, "Morning Tone", "The Testers"), 1.5));
    ASSERT_TRUE(WaitForState(player, Playing));
    EXPECT_EQ(player.currentMedia().getItemInfo(u"title"), u"Morning Tone");
    EXPECT_EQ(player.currentMedia().name(), u"Morning Tone");
    EXPECT_EQ(player.currentMedia().getItemInfo(u"Author"), u"The Testers");
    EXPECT_NEAR(player.currentMedia().duration(), 1.5, 0.2);
}

TEST_F(MediaKinds, Mp3TagTextInTheCodePageOfItsHomeSystemsReadsAsChinese) {
    // "晴天" and "周杰伦" in GBK, in frames that declare the Latin-1 encoding.
    player.setURL(WriteMp3("gbk.mp3", Id3v23Tag(0, "\xC7\xE7\xCC\xEC", "\xD6\xDC\xBD\xDC\xC2\xD7"), 1.0));
    ASSERT_TRUE(WaitForState(player, Playing));
    EXPECT_EQ(player.currentMedia().getItemInfo(u"title"), u"晴天");
    EXPECT_EQ(player.currentMedia().getItemInfo(u"Author"), u"周杰伦");
}

TEST_F(MediaKinds, AFileNamedInAnotherCodePagePlaysUnderItsReadableName) {
    // 你好.wav in GBK, as an archive made on Windows leaves it: not UTF-8.
    player.setURL(WriteFile(folder / "\xC4\xE3\xBA\xC3.wav", WavFile(1.0)));
    ASSERT_TRUE(WaitForState(player, Playing));
    EXPECT_EQ(player.currentMedia().name(), u"你好");
}

TEST_F(MediaKinds, MidiPlaysThroughTheSynthesiser) {
    player.setURL(WriteFile(folder / "tune.mid", MidiFile()));
    ASSERT_TRUE(WaitForState(player, Playing, 20));  // the General MIDI sound font takes a moment to load
    EXPECT_TRUE(output.Runs("fluiddec"));
    EXPECT_EQ(player.currentMedia().name(), u"tune");
    EXPECT_EQ(player.currentMedia().durationString(), u"00:02");
    EXPECT_TRUE(WaitUntil([&] { return player.controls().currentPosition() > 0.3; }));
    EXPECT_TRUE(WaitForState(player, Stopped));
}

TEST_F(MediaKinds, VideoFilePlaysItsSoundWithoutDecodingThePicture) {
    player.setURL(WriteVideo(folder / "clip.avi", 1.5, true));
    ASSERT_TRUE(WaitForState(player, Playing));
    EXPECT_FALSE(output.Runs("jpegdec"));
    EXPECT_NEAR(player.currentMedia().duration(), 1.5, 0.2);
    EXPECT_TRUE(WaitForState(player, Stopped));

    // Without a soundtrack there is nothing to play.
    player.setURL(WriteVideo(folder / "mute.avi", 1.0, false));
    EXPECT_TRUE(WaitForState(player, Ready));
}

}  // namespace
}  // namespace mediaplayer::test
