#include "platform/text/AnsiText.h"
#include "platform/text/FileName.h"

#include <gtest/gtest.h>

#include <random>

namespace {

const std::string kGbkNiHao = "\xC4\xE3\xBA\xC3";  // 你好 in GBK, not UTF-8

TEST(FileName, EveryByteStringSurvivesTheTripThroughText) {
    std::mt19937 random(12345);
    std::uniform_int_distribution<int> byte(1, 255);
    std::uniform_int_distribution<int> length(0, 24);
    for (int n = 0; n < 20000; ++n) {
        std::string bytes(length(random), '\0');
        for (char& c : bytes) c = static_cast<char>(byte(random));
        const std::u16string name = text::FromFileName(bytes);
        ASSERT_EQ(text::ToFileName(name), bytes);
        // The text read back from its bytes is the same text, so a name can be stored and read any number of times.
        ASSERT_EQ(text::FromFileName(text::ToFileName(name)), name);
    }
}

TEST(FileName, Utf8NamesAreTheirTextAndOtherBytesAreMarked) {
    const std::string utf8 = text::ToUtf8(u"/音乐/a 🎵 \uFFFD.mp3");
    EXPECT_EQ(text::FromFileName(utf8), u"/音乐/a 🎵 \uFFFD.mp3");
    EXPECT_EQ(text::ToFileName(u"/音乐/a 🎵.mp3"), text::ToUtf8(u"/音乐/a 🎵.mp3"));
    EXPECT_FALSE(text::HoldsRawBytes(text::FromFileName(utf8)));
    // A character beyond the BMP whose low half lies in the marked range is a character, not a byte.
    EXPECT_FALSE(text::HoldsRawBytes(u"\U00010080"));

    const std::u16string gbkName = text::FromFileName("/m/" + kGbkNiHao + ".mp3");
    EXPECT_EQ(gbkName, u"/m/\xDCC4\xDCE3\xDCBA\xDCC3.mp3");
    EXPECT_TRUE(text::HoldsRawBytes(gbkName));
    // Such a name has no code page form, so a list holding it is written in UTF-8 with its bytes.
    std::string ansi;
    EXPECT_FALSE(text::ToAnsi(gbkName, ansi));
    // Unpaired surrogates that stand for no byte still become U+FFFD.
    EXPECT_EQ(text::ToFileName(std::u16string(1, u'\xD800')), "\xEF\xBF\xBD");
    EXPECT_EQ(text::ToFileName(std::u16string(1, u'\xDC7F')), "\xEF\xBF\xBD");
}

TEST(FileName, ReadableNamesShowTheCodePageThatWroteThem) {
    EXPECT_EQ(text::ReadableFileName(text::FromFileName(kGbkNiHao + ".mp3")), u"你好.mp3");
    // GBK's second byte may be ASCII: the name is read whole, not byte run by byte run.
    EXPECT_EQ(text::ReadableFileName(text::FromFileName("\x81\x40.mp3")), u"丂.mp3");
    // Not GBK either (a lead byte at the end): Windows-1252, the Western code page.
    EXPECT_EQ(text::ReadableFileName(text::FromFileName("Caf\xE9")), u"Café");
    EXPECT_EQ(text::ReadableFileName(u"plain 名字"), u"plain 名字");
}

}  // namespace
