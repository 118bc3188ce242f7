#include "platform/text/AnsiText.h"

#include <gtest/gtest.h>

#include <thread>

namespace {

TEST(AnsiText, GbkRoundTrip) {
    std::string gbk;
    ASSERT_TRUE(text::ToAnsi(u"Abc 中文歌名€", gbk));
    EXPECT_EQ(gbk, "Abc \xD6\xD0\xCE\xC4\xB8\xE8\xC3\xFB\x80");
    EXPECT_EQ(text::FromAnsi(gbk), u"Abc 中文歌名€");
    EXPECT_EQ(text::FromAnsi(""), u"");
}

TEST(AnsiText, TextsGbkCannotHoldAreRefused) {
    std::string out;
    EXPECT_FALSE(text::ToAnsi(u"노래", out));
    EXPECT_FALSE(text::ToAnsi(u"a🎵", out));
    EXPECT_FALSE(text::ToAnsi(std::u16string(1, u'\xD800'), out));  // unpaired surrogate
}

TEST(AnsiText, UndecodableBytesBecomeReplacementCharacters) {
    // 0xFF starts nothing, 0xD6 at the end has lost its second byte; the A between survives.
    EXPECT_EQ(text::FromAnsi("\xFF"
                             "A\xD6"),
              u"\uFFFDA\uFFFD");
    EXPECT_EQ(text::FromAnsi("\xD6 "), u"\uFFFD ");  // a space is no second byte
}

TEST(AnsiText, Utf8BothWays) {
    const std::u16string s = u"a中🎵";
    EXPECT_EQ(text::ToUtf8(s), "a\xE4\xB8\xAD\xF0\x9F\x8E\xB5");
    EXPECT_EQ(text::FromUtf8(text::ToUtf8(s)), s);
    // Overlong form, encoded surrogate, cut-off sequence.
    EXPECT_EQ(text::FromUtf8("\xC0\x80x\xED\xA0\x80\xE4\xB8"), u"\uFFFD\uFFFDx\uFFFD\uFFFD\uFFFD\uFFFD\uFFFD");
    EXPECT_EQ(text::ToUtf8(std::u16string(1, u'\xDC00')), "\xEF\xBF\xBD");
}

TEST(AnsiText, ConvertsOnSeveralThreadsAtOnce) {
    std::vector<std::thread> threads;
    std::atomic<int> wrong{0};
    for (int t = 0; t < 4; ++t)
        threads.emplace_back([&wrong] {
            std::string gbk;
            for (int i = 0; i < 2000; ++i)
                if (!text::ToAnsi(u"歌手" + std::u16string(i % 5, u'名'), gbk) ||
                    text::FromAnsi(gbk) != u"歌手" + std::u16string(i % 5, u'名'))
                    ++wrong;
        });
    for (std::thread& t : threads) t.join();
    EXPECT_EQ(wrong, 0);
}

}  // namespace
