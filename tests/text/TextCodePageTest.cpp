#include "platform/text/TextCodePage.h"

#include <gtest/gtest.h>

#include <string>

namespace {

using text::CodePage;

// A short sheet as rips write them: ASCII keywords, and the performer and the one title in the code page.
std::string Sheet(std::string_view performer, std::string_view title, std::string_view eol = "\r\n") {
    std::string sheet = "REM GENRE Pop\r\nREM DATE 2003\r\nREM COMMENT \"ExactAudioCopy v0.99pb4\"\r\n";
    sheet += "PERFORMER \"" + std::string(performer) + "\"" + std::string(eol);
    sheet += "FILE \"CDImage.wav\" WAVE" + std::string(eol) + "  TRACK 01 AUDIO" + std::string(eol);
    sheet += "    TITLE \"" + std::string(title) + "\"" + std::string(eol) + "    INDEX 01 00:00:00" + std::string(eol);
    return sheet;
}

std::u16string Sheet16(std::u16string_view performer, std::u16string_view title) {
    std::u16string sheet = u"REM GENRE Pop\r\nREM DATE 2003\r\nREM COMMENT \"ExactAudioCopy v0.99pb4\"\r\n";
    sheet += u"PERFORMER \"" + std::u16string(performer) + u"\"\r\n";
    sheet += u"FILE \"CDImage.wav\" WAVE\r\n  TRACK 01 AUDIO\r\n";
    sheet += u"    TITLE \"" + std::u16string(title) + u"\"\r\n    INDEX 01 00:00:00\r\n";
    return sheet;
}

std::string Utf16Bytes(std::u16string_view s, bool bigEndian) {
    std::string out = bigEndian ? "\xFE\xFF" : "\xFF\xFE";
    for (char16_t c : s) {
        const char high = static_cast<char>(c >> 8), low = static_cast<char>(c & 0xFF);
        out += bigEndian ? high : low;
        out += bigEndian ? low : high;
    }
    return out;
}

struct SheetCase {
    const char* name;
    std::string bytes;
    CodePage codePage;
    std::u16string performer;
    std::u16string title;
};

// Each sheet holds one title, the hardest case: a detector weighing so little text often guesses.
TEST(TextCodePage, FindsTheCodePageOfShortSheets) {
    const SheetCase cases[] = {
        {"GBK", Sheet("\xD6\xDC\xBD\xDC\xC2\xD7", "\xB6\xAB\xB7\xE7\xC6\xC6"), CodePage::Gbk, u"周杰伦", u"东风破"},
        {"GBK two-character title", Sheet("\xB2\xCC\xC7\xD9", "\xB6\xC9\xBF\xDA"), CodePage::Gbk, u"蔡琴", u"渡口"},
        {"GBK", Sheet("\xCD\xF5\xB7\xC6", "\xD0\xA6\xCD\xFC\xCA\xE9"), CodePage::Gbk, u"王菲", u"笑忘书"},
        {"Big5",
         Sheet("\xA9P\xAAN\xAD\xDB",
               "\xAA"
               "F\xAD\xB7\xAF}"),
         CodePage::Big5, u"周杰倫", u"東風破"},
        {"Big5 two-character title",
         Sheet("\xBD\xB2\xB5^",
               "\xB4\xE7\xA4"
               "f"),
         CodePage::Big5, u"蔡琴", u"渡口"},
        {"Big5", Sheet("\xA4\xFD\xB5\xE1", "\xAF\xBA\xA7\xD1\xAE\xD1"), CodePage::Big5, u"王菲", u"笑忘書"},
        {"Shift_JIS", Sheet("\x92\x86\x93\x87\x82\xDD\x82\xE4\x82\xAB", "\x92n\x8F\xE3\x82\xCC\x90\xAF"),
         CodePage::ShiftJis, u"中島みゆき", u"地上の星"},
        {"Windows-1252",
         Sheet("\xC9"
               "dith Piaf",
               "Hymne \xE0 l'amour"),
         CodePage::Windows1252, u"Édith Piaf", u"Hymne à l'amour"},
        {"Windows-1252", Sheet("Bj\xF6rk", "Caf\xE9"), CodePage::Windows1252, u"Björk", u"Café"},
        {"UTF-8", Sheet("周杰伦", "東風破"), CodePage::Utf8, u"周杰伦", u"東風破"},
        {"UTF-8 with mark", "\xEF\xBB\xBF" + Sheet("周杰伦", "东风破", "\n"), CodePage::Utf8, u"周杰伦", u"东风破"},
        {"UTF-16LE", Utf16Bytes(Sheet16(u"王菲", u"笑忘书"), false), CodePage::Utf16Le, u"王菲", u"笑忘书"},
        {"UTF-16BE", Utf16Bytes(Sheet16(u"王菲", u"笑忘書"), true), CodePage::Utf16Be, u"王菲", u"笑忘書"},
        {"ASCII", Sheet("Various", "Track one"), CodePage::Utf8, u"Various", u"Track one"},
    };
    for (const SheetCase& c : cases) {
        SCOPED_TRACE(c.name);
        const text::FoundText found = text::DecodeFoundCodePage(c.bytes);
        EXPECT_EQ(found.codePage, c.codePage);
        EXPECT_NE(found.text.find(u"PERFORMER \"" + c.performer + u"\""), std::u16string::npos);
        EXPECT_NE(found.text.find(u"TITLE \"" + c.title + u"\""), std::u16string::npos);
        EXPECT_NE(found.text.at(0), u'\uFEFF');  // a mark is not part of the text
    }
}

TEST(TextCodePage, OddAndLargeInputsDecodeSafely) {
    EXPECT_EQ(text::DecodeFoundCodePage("").text, u"");
    EXPECT_EQ(text::DecodeFoundCodePage("\xFF\xFE"
                                        "A")
                  .text,
              u"\uFFFD");  // a UTF-16 unit cut short
    // Megabytes of GBK titles: the code page is found from the first part and the whole text decoded.
    std::string big;
    while (big.size() < 4 * 1024 * 1024) big += "TITLE \"\xB6\xAB\xB7\xE7\xC6\xC6\"\r\n";
    const text::FoundText found = text::DecodeFoundCodePage(big);
    EXPECT_EQ(found.codePage, CodePage::Gbk);
    EXPECT_EQ(found.text.substr(found.text.size() - 13), u"TITLE \"东风破\"\r\n");
}

}  // namespace
