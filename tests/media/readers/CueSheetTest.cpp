// Cue sheets from bytes: the sheet's lines, its bounds, the code pages rips write them in, and sheets inside FLAC
// files as flac and metaflac write them.
#include "media/readers/CueSheet.h"
#include "tests/media/readers/MediaFileTest.h"
#include "tests/media/readers/SilentWav.h"

#include <cmath>

using media::CueSheet;

namespace {

// Two files, a data track, a pregap, track-level performers and one that takes the sheet's, unquoted values.
constexpr std::string_view kAlbum =
    "REM GENRE Pop\n"
    "REM DATE 2003\n"
    "PERFORMER \"Sheet Artist\"\n"
    "TITLE \"Album\"\n"
    "FILE \"Disc 1.wav\" WAVE\n"
    "  TRACK 01 AUDIO\n"
    "    TITLE \"First\"\n"
    "    PERFORMER Solo\n"
    "    INDEX 01 00:00:00\n"
    "  TRACK 02 MODE1/2352\n"
    "    TITLE \"Data\"\n"
    "    INDEX 01 03:00:00\n"
    "  TRACK 03 audio\n"
    "    TITLE Second\n"
    "    INDEX 00 04:05:00\n"
    "    INDEX 01 04:05:27\n"
    "FILE disc2.flac WAVE\n"
    "  TRACK 04 AUDIO\n"
    "    TITLE \"Third, \"\"quoted\"\n"
    "    INDEX 01 120:00:74\n";

std::string WithCrLf(std::string_view text) {
    std::string out;
    for (char c : text) out += c == '\n' ? std::string("\r\n") : std::string(1, c);
    return out;
}

TEST(CueSheet, ReadsFilesTracksAndTextsWithEitherLineEnd) {
    for (const std::string& bytes : {std::string(kAlbum), WithCrLf(kAlbum)}) {
        const std::optional<CueSheet> sheet = media::ReadCueSheet(bytes);
        ASSERT_TRUE(sheet);
        EXPECT_EQ(sheet->title, u"Album");
        EXPECT_EQ(sheet->performer, u"Sheet Artist");
        EXPECT_EQ(sheet->date, u"2003");
        EXPECT_EQ(sheet->genre, u"Pop");
        ASSERT_EQ(sheet->files.size(), 2u);
        EXPECT_EQ(sheet->files[0].name, u"Disc 1.wav");
        EXPECT_EQ(sheet->files[1].name, u"disc2.flac");
        const auto& first = sheet->files[0].tracks;
        ASSERT_EQ(first.size(), 2u);  // the data track is not played
        EXPECT_EQ(first[0].number, 1);
        EXPECT_EQ(first[0].title, u"First");
        EXPECT_EQ(first[0].performer, u"Solo");
        EXPECT_EQ(first[0].startFrame, 0u);
        EXPECT_EQ(first[1].number, 3);
        EXPECT_EQ(first[1].title, u"Second");
        EXPECT_EQ(first[1].performer, u"Sheet Artist");
        EXPECT_EQ(first[1].startFrame, (4 * 60 + 5) * 75 + 27u);  // INDEX 01, not the pregap's INDEX 00
        ASSERT_EQ(sheet->files[1].tracks.size(), 1u);
        EXPECT_EQ(sheet->files[1].tracks[0].title, u"Third, ");  // a value ends at its second quote
        EXPECT_EQ(sheet->files[1].tracks[0].startFrame, 120 * 60 * 75 + 74u);
    }
}

TEST(CueSheet, RefusesWhatIsNoSheetAndBoundsWhatIs) {
    const std::string track = "FILE a.wav WAVE\nTRACK 01 AUDIO\nINDEX 01 00:00:00\n";
    struct Case {
        const char* name;
        std::string bytes;
        std::size_t tracks;  // 0: no sheet
    };
    std::string hundred = "FILE a.wav WAVE\n";
    for (int i = 1; i <= 100; ++i) hundred += "TRACK " + std::to_string(i) + " AUDIO\nINDEX 01 00:00:00\n";
    std::string huge = track + std::string(media::kMaxCueSheetBytes, ' ');
    const Case cases[] = {
        {"empty", "", 0},
        {"binary", std::string("\0\xFF\x01TRACK", 8), 0},
        {"no FILE before the track", "TRACK 01 AUDIO\nINDEX 01 00:00:00\n", 0},
        {"no INDEX 01", "FILE a.wav WAVE\nTRACK 01 AUDIO\nINDEX 00 00:00:00\n", 0},
        {"seconds out of range", "FILE a.wav WAVE\nTRACK 01 AUDIO\nINDEX 01 00:60:00\n", 0},
        {"frames out of range", "FILE a.wav WAVE\nTRACK 01 AUDIO\nINDEX 01 00:00:75\n", 0},
        {"overlong minutes", "FILE a.wav WAVE\nTRACK 01 AUDIO\nINDEX 01 99999999999999999999:00:00\n", 0},
        {"unclosed quote", "FILE \"a.wav WAVE\nTRACK 01 AUDIO\nINDEX 01 00:00:00\n", 1},
        {"a track starting before the one before",
         track + "TRACK 02 AUDIO\nINDEX 01 01:00:00\nTRACK 03 AUDIO\nINDEX 01 00:30:00\n", 2},
        {"more tracks than a disc holds", hundred, media::kMaxCueTracksPerFile},
        {"larger than any sheet", huge, 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const std::optional<CueSheet> sheet = media::ReadCueSheet(c.bytes);
        ASSERT_EQ(sheet.has_value(), c.tracks > 0);
        if (sheet) EXPECT_EQ(sheet->files.at(0).tracks.size(), c.tracks);
    }
}

TEST(CueSheet, SecondsAreExactToTheFrame) {
    const std::pair<std::uint64_t, std::u16string_view> cases[] = {
        {0, u"0"}, {75, u"1"}, {18402, u"245.36"}, {38430, u"512.4"}, {1, u"0.013333"}, {74, u"0.986667"}};
    for (const auto& [frames, seconds] : cases) {
        EXPECT_EQ(media::CueSeconds(frames), seconds);
        // Read back as a player reads a fragment, the seconds give the same frame.
        EXPECT_EQ(std::llround(std::stod(text::ToUtf8(seconds)) * 75), static_cast<long long>(frames));
    }
}

TEST(CueSheet, TextsInTheCodePageTheSheetWasWrittenIn) {
    // GBK "周杰伦" / "东风破" and UTF-16 with its mark: the reader sees the decoded text.
    const std::string gbk =
        "PERFORMER \"\xD6\xDC\xBD\xDC\xC2\xD7\"\r\nFILE \"CDImage.wav\" WAVE\r\n  TRACK 01 AUDIO\r\n"
        "    TITLE \"\xB6\xAB\xB7\xE7\xC6\xC6\"\r\n    INDEX 01 00:00:00\r\n";
    const std::u16string utf16Text = u"FILE x.wav WAVE\nTRACK 01 AUDIO\nTITLE \"笑忘書\"\nINDEX 01 00:00:00\n";
    std::string utf16 = "\xFF\xFE";
    for (char16_t c : utf16Text) utf16 += {static_cast<char>(c & 0xFF), static_cast<char>(c >> 8)};
    const auto fromGbk = media::ReadCueSheet(gbk);
    const auto fromUtf16 = media::ReadCueSheet(utf16);
    ASSERT_TRUE(fromGbk && fromUtf16);
    EXPECT_EQ(fromGbk->files[0].tracks[0].title, u"东风破");
    EXPECT_EQ(fromGbk->files[0].tracks[0].performer, u"周杰伦");
    EXPECT_EQ(fromUtf16->files[0].tracks[0].title, u"笑忘書");
}

class FlacCueSheetTest : public MediaFileTest {};

// flac --cuesheet stores the binary CUESHEET block (no titles); metaflac stores the text as a CUESHEET comment.
TEST_F(FlacCueSheetTest, SheetsInsideFlacFilesAsTheToolsWriteThem) {
    if (!tools::Installed({"flac", "metaflac"})) GTEST_SKIP() << "flac is not installed";
    // Ten seconds of CD audio, silence; tracks at 0, 2 s 37 frames and 6 s.
    constexpr std::uint32_t kSamples = 441000;
    tagfile::WriteFile(dir / "tone.wav", tagfile::SilentCdWav(kSamples));
    tagfile::WriteFile(dir / "sheet.cue",
                       "FILE \"tone.wav\" WAVE\nTRACK 01 AUDIO\nTITLE \"One\"\nINDEX 01 00:00:00\n"
                       "TRACK 02 AUDIO\nTITLE \"Two\"\nINDEX 01 00:02:37\nTRACK 03 AUDIO\nTITLE \"Three\"\n"
                       "INDEX 01 00:06:00\n");
    const std::string in = tools::ShellQuoted((dir / "tone.wav").string());
    const std::string block = tools::ShellQuoted((dir / "block.flac").string());
    const std::string comment = tools::ShellQuoted((dir / "comment.flac").string());
    const std::string sheet = tools::ShellQuoted((dir / "sheet.cue").string());
    ASSERT_EQ(std::system(("flac -s -f --cuesheet=" + sheet + " -o " + block + " " + in).c_str()), 0);
    ASSERT_EQ(std::system(("flac -s -f -o " + comment + " " + in +
                           " && metaflac --set-tag-from-file=CUESHEET=" + sheet + " " + comment)
                              .c_str()),
              0);

    const auto fromBlock = media::ReadFlacCueSheet((dir / "block.flac").string());
    const auto fromComment = media::ReadFlacCueSheet((dir / "comment.flac").string());
    ASSERT_TRUE(fromBlock && fromComment);
    for (const CueSheet* found : {&*fromBlock, &*fromComment}) {
        ASSERT_EQ(found->files.size(), 1u);
        const auto& tracks = found->files[0].tracks;
        ASSERT_EQ(tracks.size(), 3u);  // the block's lead-out is no track
        EXPECT_EQ(tracks[1].startFrame, 2 * 75 + 37u);
        EXPECT_EQ(tracks[2].startFrame, 6 * 75u);
    }
    EXPECT_EQ(fromComment->files[0].tracks[1].title, u"Two");
    EXPECT_FALSE(media::ReadFlacCueSheet((dir / "tone.wav").string()));
}

}  // namespace
