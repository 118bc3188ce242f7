#include "platform/text/AnsiText.h"

#include <gtest/gtest.h>

#include <thread>

namespace {

TEST(AnsiText, GbkRoundTrip) {
    std::string gbk;
    ASSERT_TRUE(text::toAnsi(u"Abc 中文歌名€", gbk));
    EXPECT_EQ(gbk, "Abc \xD6\xD0\xCE\xC4\xB8\xE8\xC3\xFB\x80");
    EXPECT_EQ(text::fromAnsi(gbk), u"Abc 中文歌名€");
    EXPECT_EQ(text::fromAnsi(""), u"");
}

TEST(AnsiText, TextsGbkCannotHoldAreRefused) {
    std::string out;
    EXPECT_FALSE(text::toAnsi(u"노래", out));
    EXPECT_FALSE(text::toAnsi(u"a🎵", out));
    EXPECT_FALSE(text::toAnsi(std::u16string(1, u'\xD800'), out));  // unpaired surrogate
}

TEST(AnsiText, UndecodableBytesBecomeReplacementCharacters) {
    // 0xFF starts nothing, 0xD6 at the end has lost its second byte; the A between survives.
    EXPECT_EQ(text::fromAnsi("\xFF"
                             "A\xD6"),
              u"\uFFFDA\uFFFD");
    EXPECT_EQ(text::fromAnsi("\xD6 "), u"\uFFFD ");  // a space is no second byte
}

TEST(AnsiText, Utf8BothWays) {
    const std::u16string s = u"a中🎵";
    EXPECT_EQ(text::toUtf8(s), "a\xE4\xB8\xAD\xF0\x9F\x8E\xB5");
    EXPECT_EQ(text::fromUtf8(text::toUtf8(s)), s);
    // Overlong form, encoded surrogate, cut-off sequence.
    EXPECT_EQ(text::fromUtf8("\xC0\x80x\xED\xA0\x80\xE4\xB8"), u"\uFFFD\uFFFDx\uFFFD\uFFFD\uFFFD\uFFFD\uFFFD");
    EXPECT_EQ(text::toUtf8(std::u16string(1, u'\xDC00')), "\xEF\xBF\xBD");
}

TEST(AnsiText, ConvertsOnSeveralThreadsAtOnce) {
    std::vector<std::thread> threads;
    std::atomic<int> wrong{0};
    for (int t = 0; t < 4; ++t)
        threads.emplace_back([&wrong] {
            std::string gbk;
            for (int i = 0; i < 2000; ++i)
                if (!text::toAnsi(u"歌手" + std::u16string(i % 5, u'名'), gbk) ||
                    text::fromAnsi(gbk) != u"歌手" + std::u16string(i % 5, u'名'))
                    ++wrong;
        });
    for (std::thread& t : threads) t.join();
    EXPECT_EQ(wrong, 0);
}

}  // namespace
