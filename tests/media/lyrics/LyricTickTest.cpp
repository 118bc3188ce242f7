// The lyrics display's tick: where the block of lines stands and which line is lit, tick by tick.
#include <gtest/gtest.h>

#include <cmath>

#include "media/lyrics/LyricScroller.h"

using namespace media;

namespace {

constexpr double kHeight = 200;  // canvas pixels
constexpr double kPitch = 16;    // one printed line
constexpr double kMiddle = kHeight / 2 - kPitch / 2;

LyricTable Table(std::vector<LyricLine> lines) {
    LyricTable t;
    t.Install(std::move(lines));
    t.lyricLineHeight = static_cast<float>(kPitch);
    return t;
}

}  // namespace

TEST(LyricTick, ThreeLinesLightTheReachedLineAndScrollBetweenTimes) {
    LyricTable t = Table({{2, u"one"}, {4, u"two"}, {6, u"three"}});
    LyricFrame f = LyricTick(t, 1.0, 60, kHeight);  // before the first line: it rises towards the middle
    EXPECT_EQ(t.lyricIndex, 0);
    EXPECT_EQ(f.highlight, -1);
    EXPECT_FLOAT_EQ(f.top, kMiddle - kPitch * 1.0 / 2);
    f = LyricTick(t, 3.0, 60, kHeight);
    EXPECT_EQ(t.lyricIndex, 1);
    EXPECT_EQ(f.highlight, 0);
    EXPECT_FLOAT_EQ(f.top, kMiddle - 1.5 * kPitch);
    EXPECT_TRUE(f.clear && f.draw);
    f = LyricTick(t, 5.0, 60, kHeight);
    EXPECT_EQ(f.highlight, 1);
    EXPECT_FLOAT_EQ(f.top, kMiddle - 2 * kPitch - kPitch * 0.5);
    // Reaching the last line: the block stands one pitch per line up.
    f = LyricTick(t, 6.0, 60, kHeight);
    EXPECT_EQ(t.lyricIndex, 3);
    EXPECT_EQ(f.highlight, 2);
    EXPECT_FLOAT_EQ(f.top, kMiddle - 3 * kPitch);
}

TEST(LyricTick, JumpsAreCaughtUpOneLineATickAndSeekingBackKeepsTheHighlight) {
    LyricTable t = Table({{1, u"a"}, {2, u"b"}, {3, u"c"}, {4, u"d"}});
    LyricTick(t, 3.5, 60, kHeight);
    EXPECT_EQ(t.lyricIndex, 1);
    LyricTick(t, 3.5, 60, kHeight);
    EXPECT_EQ(t.lyricIndex, 2);
    LyricTick(t, 3.5, 60, kHeight);
    EXPECT_EQ(t.lyricIndex, 3);
    const LyricFrame back = LyricTick(t, 0.5, 60, kHeight);
    EXPECT_EQ(t.lyricIndex, 3);
    EXPECT_EQ(back.highlight, 2);
}

TEST(LyricTick, OneLineRisesUntilItsTimeThenEndScrollingTakesOver) {
    LyricTable t = Table({{4, u"only"}});
    LyricFrame f = LyricTick(t, 2.0, 20, kHeight);
    EXPECT_EQ(f.highlight, -1);
    EXPECT_FLOAT_EQ(f.top, kMiddle - kPitch * 0.5);
    f = LyricTick(t, 4.0, 20, kHeight);  // reached: no next line to scroll towards, the block stays
    EXPECT_EQ(f.highlight, 0);
    EXPECT_FLOAT_EQ(f.top, kMiddle - kPitch * 0.5);
    // After the last line it rises so that its middle meets the top edge at the end: (h - sh/2) over 16 s.
    f = LyricTick(t, 7.0, 20, kHeight);
    EXPECT_EQ(f.highlight, 0);
    EXPECT_FLOAT_EQ(f.top, kMiddle - kPitch * 1 + (kPitch - kHeight / 2) * 3.0 / 16.0);
}

TEST(LyricTick, EndScrollingDriftsWhenTheDurationEndsOnTheLastLineOrWouldBeTooFast) {
    LyricTable t = Table({{1, u"a"}, {2, u"b"}});
    LyricTick(t, 1, 2, kHeight);
    LyricTick(t, 2, 2, kHeight);
    ASSERT_EQ(t.lyricIndex, 2);
    const float before = t.lyricTop;
    EXPECT_FLOAT_EQ(LyricTick(t, 2, 2, kHeight).top, before - 2);      // duration equals the last line's time
    EXPECT_FLOAT_EQ(LyricTick(t, 2.5, 2.5, kHeight).top, before - 4);  // 68 px in 0.5 s is too fast to read
}

TEST(LyricTick, NoTableClearsAndAnEmptyFirstTextLeavesTheCanvasAlone) {
    LyricTable empty = Table({});
    LyricFrame f = LyricTick(empty, 1, 10, kHeight);
    EXPECT_TRUE(f.clear);
    EXPECT_FALSE(f.draw);
    LyricTable blank = Table({{1, u""}, {2, u"x"}});
    f = LyricTick(blank, 5, 10, kHeight);
    EXPECT_FALSE(f.clear);
    EXPECT_FALSE(f.draw);
    EXPECT_EQ(blank.lyricIndex, 0);
}

TEST(LyricTick, EqualNeighbourTimesKeepTheBlockWhereItWas) {
    LyricTable t = Table({{1, u"a"}, {2, u"b"}, {2, u"b'"}, {5, u"c"}});
    const float top = LyricTick(t, 1.5, 60, kHeight).top;
    const LyricFrame f = LyricTick(t, 2.0, 60, kHeight);  // now between the two lines at 2 s
    EXPECT_EQ(t.lyricIndex, 2);
    EXPECT_EQ(f.highlight, 1);
    EXPECT_FLOAT_EQ(f.top, top);
}

TEST(LyricTick, ReadsOnlyWhatItSaysItReads) {
    // Two tables tick side by side; one is given nonsense for every input the tick says it does not read.
    LyricTable told = Table({{1, u"a"}, {2, u"b"}, {3, u"c"}});
    LyricTable guessed = told;
    EXPECT_FALSE(LyricTickReads(told).duration);
    for (double position = 0; position < 12; position += 0.25) {
        const LyricTickInputs reads = LyricTickReads(guessed);
        const LyricFrame a = LyricTick(told, position, 10, kHeight);
        const LyricFrame b = LyricTick(guessed, reads.position ? position : -77, reads.duration ? 10 : -55, kHeight);
        ASSERT_EQ(a.top, b.top) << position;
        ASSERT_EQ(a.highlight, b.highlight) << position;
        ASSERT_EQ(told.lyricIndex, guessed.lyricIndex) << position;
    }
    EXPECT_TRUE(LyricTickReads(told).duration);  // past the last line the block rises towards the end of the media

    LyricTable none = Table({});
    EXPECT_FALSE(LyricTickReads(none).position);
    LyricTable blank = Table({{1, u""}, {2, u"x"}});
    EXPECT_FALSE(LyricTickReads(blank).position);
}

// The window sleeps until the next tick can change a pixel: one pitch's rise takes the time between two lines.
TEST(LyricTick, TheNextStepIsOnePixelOfRiseOrTheNextLineWhicheverComesFirst) {
    LyricTable t = Table({{2, u"one"}, {4, u"two"}, {6, u"three"}});
    EXPECT_DOUBLE_EQ(LyricSecondsToNextStep(t, 1.0), 2.0 / kPitch);  // rising towards the first line
    LyricTick(t, 3.0, 60, kHeight);
    EXPECT_DOUBLE_EQ(LyricSecondsToNextStep(t, 3.0), 2.0 / kPitch);
    EXPECT_NEAR(LyricSecondsToNextStep(t, 3.95), 0.05, 1e-9) << "the next line is lit sooner";
    EXPECT_EQ(LyricSecondsToNextStep(t, 5.0), 0.0) << "behind the position: catch up tick by tick";
    LyricTick(t, 6.0, 60, kHeight);
    EXPECT_EQ(LyricSecondsToNextStep(t, 6.5), 0.0) << "after the last line the block may move every tick";

    EXPECT_TRUE(std::isinf(LyricSecondsToNextStep(Table({}), 1.0)));
    LyricTable same = Table({{3, u"a"}, {3, u"b"}});
    LyricTick(same, 3.0, 60, kHeight);
    EXPECT_EQ(LyricSecondsToNextStep(same, 3.0), 0.0) << "no pace between equal times";
}
