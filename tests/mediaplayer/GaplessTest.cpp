#include "tests/mediaplayer/TestMedia.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdlib>
#include <string>
#include <vector>

namespace mediaplayer::test {
namespace {

// The two halves of one ramp, the second armed while the first plays: the output hears every sample once, in
// order, with no gap between them, and the host sees the second start as it sees any start.
TEST(Gapless, AnArmedMediaFollowsWithNoGapAndNoOverlap) {
    TempFolder folder;
    RecordedOutput output;
    MediaPlayer player(output.Factory());
    for (const auto& [extension, encoder] : {std::pair{"wav", "wavenc"}, std::pair{"flac", "flacenc"}}) {
        const std::int64_t half = kRampRate;  // one second
        const auto first = WriteFile(folder / (std::string("first.") + extension), EncodedRamp(1.0, encoder));
        const auto second = WriteFile(folder / (std::string("second.") + extension), EncodedRamp(1.0, encoder, half));
        output.Clear();
        player.setURL(first);
        ASSERT_TRUE(WaitForState(player, Playing));
        const unsigned starts = player.StartNumber();
        player.ArmNext(second);
        ASSERT_TRUE(WaitUntil([&] {
            EXPECT_EQ(player.playState(), Playing) << "the joint is no end";
            return player.URL() == second;
        }));
        EXPECT_EQ(player.StartNumber(), starts + 1);
        EXPECT_EQ(player.currentMedia().name(), u"second");
        EXPECT_TRUE(WaitUntil([&] { return player.currentMedia().duration() > 0.9; }));
        EXPECT_LT(player.controls().currentPosition(), 0.8);
        ASSERT_TRUE(WaitForState(player, Stopped));
        const std::vector<int> heard = output.Samples();
        ASSERT_EQ(static_cast<std::int64_t>(heard.size()), 2 * half) << extension;
        std::int64_t wrong = 0;
        for (std::int64_t i = 0; i < 2 * half; ++i) wrong += heard[i] != RampSample(i);
        EXPECT_EQ(wrong, 0) << extension;
    }
}

// Two spans of one file (the tracks of a one-file album) follow one another to the sample.
TEST(Gapless, TheNextSpanOfTheSameFileFollowsToTheSample) {
    TempFolder folder;
    RecordedOutput output;
    MediaPlayer player(output.Factory());
    const auto album = folder / "album.flac";
    WriteFile(album, EncodedRamp(2.0, "flacenc"));
    const std::u16string second = album.u16string() + u"#t=1.25";
    player.setURL(album.u16string() + u"#t=0.5,1.25");
    ASSERT_TRUE(WaitForState(player, Playing));
    player.ArmNext(second);
    ASSERT_TRUE(WaitUntil([&] { return player.URL() == second; }));
    EXPECT_TRUE(WaitUntil([&] { return std::abs(player.currentMedia().duration() - 0.75) < 0.01; }));
    ASSERT_TRUE(WaitForState(player, Stopped));
    const std::vector<int> heard = output.Samples();
    const std::int64_t first = kRampRate / 2;
    ASSERT_EQ(static_cast<std::int64_t>(heard.size()), 2 * kRampRate - first);
    std::int64_t wrong = 0;
    for (std::size_t i = 0; i < heard.size(); ++i)
        wrong += heard[i] != RampSample(first + static_cast<std::int64_t>(i));
    EXPECT_EQ(wrong, 0);
}

// Two pieces of a second of one tone (a cosine: its first sample is loud), encoded by ffmpeg with `codec` (its
// encoder's delay and padding written in the file as that format does), played one after the other; returns what
// was heard, empty when the pieces could not be made or played.
std::vector<int> TwoPiecesHeard(const std::string& codec, const std::string& extension) {
    TempFolder folder;
    RecordedOutput output;
    MediaPlayer player(output.Factory());
    std::u16string pieces[2];
    for (int i = 0; i < 2; ++i) {
        const auto path = folder / ("piece" + std::to_string(i) + "." + extension);
        const std::string command =
            "ffmpeg -loglevel error -y -f lavfi -i 'aevalsrc=0.5*cos(2*PI*441*t):s=44100:d=2' "
            "-af atrim=start_sample=" +
            std::to_string(i * kRampRate) + ":end_sample=" + std::to_string((i + 1) * kRampRate) +
            ",asetpts=PTS-STARTPTS -ac 1 " + codec + " '" + path.string() + "'";
        if (std::system(command.c_str()) != 0) return {};
        pieces[i] = path.u16string();
    }
    player.setURL(pieces[0]);
    if (!WaitForState(player, Playing)) return {};
    player.ArmNext(pieces[1]);
    if (!WaitUntil([&] { return player.URL() == pieces[1]; }) || !WaitForState(player, Stopped)) return {};
    return output.Samples();
}

// MP3 pieces written by a LAME-based encoder: its delay and padding are cut, so two pieces of a second are heard as
// two seconds exactly.
TEST(Gapless, TheMp3EncodersDelayAndPaddingAreCut) {
    EXPECT_EQ(static_cast<std::int64_t>(TwoPiecesHeard("-c:a libmp3lame -b:a 192k", "mp3").size()), 2 * kRampRate);
}

// M4A pieces whose edit lists name the AAC encoder's priming: it is cut to the sample, so the first sample heard is
// the tone's (a priming sample left at the join would be a click). The end is not exact: GStreamer's MP4 demuxer of
// this release leaves out a piece's last packet, and the edit's length is in milliseconds.
TEST(Gapless, TheAacEncodersPrimingIsCutByTheEditList) {
    constexpr std::int64_t kAacFrame = 1024;
    const std::vector<int> heard = TwoPiecesHeard("-c:a aac -b:a 128k", "m4a");
    const auto count = static_cast<std::int64_t>(heard.size());
    ASSERT_GT(count, 2 * (kRampRate - kAacFrame)) << "more than the last packets of the pieces are missing";
    EXPECT_LE(count, 2 * kRampRate) << "the priming or the padding is heard";
    EXPECT_GT(heard.front(), 8000) << "a priming sample is heard first";
}

// An armed media that cannot be opened is not armed, and a new media or a stop disarms: the end is an end.
TEST(Gapless, NothingFollowsWhatWasNotArmedOrWasDisarmed) {
    TempFolder folder;
    MediaPlayer player;
    const auto tone = WriteFile(folder / "tone.wav", WavFile(0.6));
    const auto other = WriteFile(folder / "other.wav", WavFile(0.6));
    for (int way = 0; way < 3; ++way) {
        player.setURL(tone);
        ASSERT_TRUE(WaitForState(player, Playing));
        if (way == 0) player.ArmNext((folder / "missing.wav").u16string());
        if (way == 1) player.ArmNext(other), player.ArmNext(u"");
        if (way == 2) player.ArmNext(other), player.setURL(tone);
        EXPECT_TRUE(WaitForState(player, Stopped)) << way;
        EXPECT_EQ(player.URL(), tone) << way;
    }
}

}  // namespace
}  // namespace mediaplayer::test
