#include "platform/mediaplayer/MediaLocation.h"
#include "tests/mediaplayer/TestMedia.h"

#include <gtest/gtest.h>

#include <filesystem>

namespace mediaplayer::test {
namespace {

TEST(MediaLocation, TimeFragmentNamesASpanUnlessThePathExistsAsWritten) {
    TempFolder folder;
    const std::u16string kept = WriteFile(folder / "odd#t=1,2.wav", WavFile(0.1));
    struct Case {
        std::u16string text;
        std::optional<MediaSpan> span;
        std::u16string name;
    };
    const Case cases[] = {
        {u"/music/disc.flac#t=12.5,200.25", MediaSpan{12.5, 200.25}, u"disc"},
        {u"/music/disc.flac#t=300", MediaSpan{300, std::nullopt}, u"disc"},
        {u"/music/disc.flac#t=npt:1,2", MediaSpan{1, 2}, u"disc"},
        {u"/music/disc.flac#t=,2", MediaSpan{0, 2}, u"disc"},
        {u"/music/disc.flac#t=5,2", std::nullopt, u"disc"},  // an empty span names no span: a file of that name
        {u"/music/disc.flac#t=abc", std::nullopt, u"disc"},
        {u"/music/disc#1.flac", std::nullopt, u"disc#1"},
        {u"http://host/live.mp3#t=5,6", std::nullopt, u"live"},
        {kept, std::nullopt, u"odd#t=1,2"},
    };
    for (const Case& c : cases) {
        const MediaLocation location(c.text);
        ASSERT_EQ(location.Span().has_value(), c.span.has_value()) << std::filesystem::path(c.text);
        if (c.span) {
            EXPECT_EQ(location.Span()->start, c.span->start);
            EXPECT_EQ(location.Span()->end, c.span->end);
            EXPECT_EQ(location.Uri(), "file:///music/disc.flac");
        }
        EXPECT_EQ(location.DisplayName(), c.name) << std::filesystem::path(c.text);
    }
}

// A span plays as a media of its own: from its first sample to its last, with its own duration and position, and
// seeks stay inside it.
TEST(Span, PlaysExactlyThatPartOfTheFile) {
    TempFolder folder;
    RecordedOutput output;
    MediaPlayer player(output.Factory());
    const std::pair<const char*, const char*> formats[] = {
        {"wav", "wavenc"}, {"flac", "flacenc"}, {"aiff", "aiffmux"}, {"wma", "avenc_wmav2 ! asfmux"}};
    for (const auto& [extension, encoder] : formats) {
        const auto path = folder / (std::string("album.") + extension);
        WriteFile(path, EncodedRamp(3.0, encoder));
        output.Clear();
        player.setURL(path.u16string() + u"#t=1.25,2.5");
        ASSERT_TRUE(WaitForState(player, Playing)) << encoder;
        EXPECT_NEAR(player.currentMedia().duration(), 1.25, 0.01);
        EXPECT_EQ(player.currentMedia().name(), u"album");
        EXPECT_LT(player.controls().currentPosition(), 0.5);
        ASSERT_TRUE(WaitForState(player, Stopped)) << encoder;
        const std::vector<int> heard = output.Samples();
        ASSERT_FALSE(heard.empty());
        const std::int64_t first = kRampRate * 5 / 4;
        const std::int64_t last = kRampRate * 5 / 2 - 1;
        // A lossy file's samples are only near the ramp's, and its length is whole encoder frames.
        const bool lossy = std::string(extension) == "wma";
        if (!lossy) {
            EXPECT_EQ(heard.front(), RampSample(first)) << encoder;
            EXPECT_EQ(heard.back(), RampSample(last)) << encoder;
        }
        EXPECT_EQ(static_cast<std::int64_t>(heard.size()), last - first + 1) << encoder;

        // To its end without an end given; a seek lands inside the span and counts from its start.
        player.setURL(path.u16string() + u"#t=2");
        ASSERT_TRUE(WaitForState(player, Playing));
        EXPECT_NEAR(player.currentMedia().duration(), 1.0, lossy ? 0.05 : 0.01);
        player.controls().pause();
        player.controls().setCurrentPosition(0.5);
        EXPECT_TRUE(WaitUntil([&] { return std::abs(player.controls().currentPosition() - 0.5) < 0.05; }));
        player.controls().setCurrentPosition(30);
        EXPECT_NEAR(player.controls().currentPosition(), 1.0, lossy ? 0.05 : 0.01);
    }
}

}  // namespace
}  // namespace mediaplayer::test
