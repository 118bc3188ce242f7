// Rows of cue sheets on the real grid: a sheet's tracks as spans of its audio file, the audio found beside the
// sheet whatever case or extension the sheet gives it, sheets inside FLAC files, and a saved list that keeps them.
#include <gtest/gtest.h>

#include <QDir>
#include <QTemporaryDir>
#include <cstdlib>
#include <fstream>

#include "lorvex/listview/ListView.h"
#include "media/playlist/CueTracks.h"
#include "media/playlist/PlaylistFile.h"
#include "media/playlist/PlaylistRows.h"
#include "platform/text/FileName.h"
#include "tests/media/readers/SilentWav.h"

using namespace media;

namespace {

class CueRowsTest : public ::testing::Test {
protected:
    CueRowsTest() : view(lorvex::ListView::Create()), grid(static_cast<automation::Dispatch*>(view.Get())) {
        SetUpColumns(grid);
    }

    std::u16string Path(const std::string& name) const {
        return text::FromFileName(dir.filePath(QString::fromStdString(name)).toStdString());
    }
    std::u16string Write(const std::string& name, std::string_view bytes) const {
        std::ofstream(text::ToFileName(Path(name)), std::ios::binary) << bytes;
        return Path(name);
    }
    // Title, artist, time and location of every row.
    std::vector<PlaylistRecord> Rows() {
        std::vector<PlaylistRecord> rows;
        for (std::int32_t row = 0; row < grid.ItemCount(); ++row)
            rows.push_back({grid.ItemText(row, column::kTitle), grid.ItemText(row, column::kArtist),
                            grid.ItemText(row, column::kTime), grid.ItemText(row, column::kLocation)});
        return rows;
    }
    // Adds the sheet, and returns what it said on stderr.
    std::string AddCapturingStderr(const std::u16string& location) {
        ::testing::internal::CaptureStderr();
        EXPECT_TRUE(AddFile(grid, location));  // a sheet that adds nothing is no full list
        return ::testing::internal::GetCapturedStderr();
    }

    QTemporaryDir dir;
    automation::Ref<lorvex::ListView> view;
    GridProxy grid;
};

// A GBK sheet as rips write it: "CDImage.wav", while the rip kept the audio as CDImage.FLAC.
constexpr std::string_view kGbkSheet =
    "REM GENRE Pop\r\nPERFORMER \"\xD6\xDC\xBD\xDC\xC2\xD7\"\r\nTITLE \"\xD2\xB6\xBB\xDD\xC3\xC0\"\r\n"
    "FILE \"CDImage.wav\" WAVE\r\n"
    "  TRACK 01 AUDIO\r\n    TITLE \"\xD2\xD4\xB8\xB8\xD6\xAE\xC3\xFB\"\r\n    INDEX 01 00:00:00\r\n"
    "  TRACK 02 AUDIO\r\n    TITLE \"\xC7\xE7\xCC\xEC\"\r\n    INDEX 00 04:05:00\r\n    INDEX 01 04:05:27\r\n"
    "  TRACK 03 AUDIO\r\n    TITLE \"\xB6\xAB\xB7\xE7\xC6\xC6\"\r\n    PERFORMER \"Guest\"\r\n"
    "    INDEX 01 08:32:30\r\n";

TEST_F(CueRowsTest, ASheetAddsItsTracksAsSpansOfTheAudioBesideIt) {
    const std::u16string audio = Write("CDImage.FLAC", "not decoded here");
    Write("CDImage.ape.txt", "");  // same stem, no audio extension
    const std::u16string sheet = Write("album.cue", kGbkSheet);
    EXPECT_EQ(AddCapturingStderr(sheet), "");
    const std::vector<PlaylistRecord> expected = {
        {u"以父之名", u"周杰伦", u"00:00", audio + u"#t=0,245.36"},
        {u"晴天", u"周杰伦", u"00:00", audio + u"#t=245.36,512.4"},
        {u"东风破", u"Guest", u"00:00", audio + u"#t=512.4"},
    };
    EXPECT_EQ(Rows(), expected);
    EXPECT_EQ(grid.ItemText(2, column::kNumber), u"3.");

    // Saved and read back, the list holds the same tracks.
    const std::string list = text::ToFileName(Path("saved.lst"));
    ASSERT_TRUE(SavePlaylistFile(list, 3, [&](std::size_t i) { return expected[i]; }));
    PlaylistFileReader reader;
    ASSERT_TRUE(reader.Open(list));
    std::vector<PlaylistRecord> read;
    while (auto record = reader.Next()) read.push_back(*record);
    EXPECT_EQ(read, expected);
}

TEST_F(CueRowsTest, TheAudioIsFoundByNameThenCaseThenStem) {
    struct Case {
        const char* name;
        std::vector<std::string> files;  // in the folder besides the sheet
        std::string found;               // empty: none
    };
    const Case cases[] = {
        {"as written", {"CDImage.wav", "cdimage.flac"}, "CDImage.wav"},
        {"another case", {"CDIMAGE.WAV", "CDImage.flac"}, "CDIMAGE.WAV"},
        {"another extension", {"CDImage.ape"}, "CDImage.ape"},
        {"only an extension the player does not take", {"CDImage.log", "CDImage.cue"}, ""},
        {"a longer stem is another file", {"CDImage2.flac"}, ""},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        QTemporaryDir folder;
        for (const std::string& file : c.files)
            std::ofstream(folder.filePath(QString::fromStdString(file)).toStdString());
        const std::u16string path = folder.path().toStdU16String();
        const std::optional<std::u16string> found = FindSheetAudio(path, u"CDImage.wav");
        EXPECT_EQ(found.value_or(u""),
                  c.found.empty() ? u"" : path + u"/" + QString::fromStdString(c.found).toStdU16String());
    }
    // Sheets written on other systems: backslashes, a full path of another machine.
    Write("disc.wv", "");
    EXPECT_EQ(FindSheetAudio(Path(""), u"C:\\Rips\\DISC.wav").value_or(u""), Path("disc.wv"));
    Write("self.cue", "FILE self.cue WAVE\nTRACK 01 AUDIO\nINDEX 01 00:00:00\n");
    EXPECT_FALSE(FindSheetAudio(Path(""), u"self.cue")) << "a sheet naming itself";
}

TEST_F(CueRowsTest, MissingAudioAddsNothingAndSaysWhy) {
    Write("one.wav", "");
    const std::u16string twoFiles = Write("two.cue",
                                          "FILE \"one.wav\" WAVE\nTRACK 01 AUDIO\nTITLE A\nINDEX 01 00:00:00\n"
                                          "FILE \"gone.wav\" WAVE\nTRACK 02 AUDIO\nTITLE B\nINDEX 01 00:00:00\n");
    const std::string said = AddCapturingStderr(twoFiles);
    EXPECT_EQ(said, "media: " + text::ToFileName(twoFiles) + ": its audio file gone.wav was not found\n");
    ASSERT_EQ(grid.ItemCount(), 1);  // the file that is there gives its track
    EXPECT_EQ(grid.ItemText(0, column::kLocation), Path("one.wav") + u"#t=0");

    const std::u16string missing = Write("missing.cue", "FILE \"x.flac\" WAVE\nTRACK 01 AUDIO\nINDEX 01 00:00:00\n");
    EXPECT_EQ(AddCapturingStderr(missing),
              "media: " + text::ToFileName(missing) + ": its audio file x.flac was not found\n");
    EXPECT_EQ(grid.ItemCount(), 1);
    EXPECT_NE(AddCapturingStderr(Write("empty.cue", "")), "");
    EXPECT_NE(AddCapturingStderr(Path("absent.cue")), "");
    EXPECT_EQ(grid.ItemCount(), 1);
}

TEST_F(CueRowsTest, SpanLocationsAreFilesFirst) {
    const std::u16string literal = Write("odd#t=1,2.mp3", "");
    EXPECT_FALSE(IsTrackSpanLocation(literal));
    EXPECT_TRUE(IsTrackSpanLocation(Path("album.flac") + u"#t=1,2"));
    EXPECT_FALSE(IsTrackSpanLocation(Path("album.flac")));
}

// flac writes the audio with its own tags and the sheet as a CUESHEET comment without performers: the file's
// artist fills them; a sheet without titles takes the file's title and the track's number. WavPack the same.
TEST_F(CueRowsTest, FlacAndWavPackFilesWithASheetInsideAreSplit) {
    if (std::system("command -v flac >/dev/null && command -v metaflac >/dev/null") != 0)
        GTEST_SKIP() << "flac is not installed";
    const std::string wavPath = text::ToFileName(Write("tone.wav", tagfile::SilentCdWav(44100 * 4)));
    const std::string sheetPath =
        text::ToFileName(Write("in.cue",
                               "FILE \"tone.wav\" WAVE\nTRACK 01 AUDIO\nTITLE \"一\"\nINDEX 01 00:00:00\n"
                               "TRACK 02 AUDIO\nINDEX 01 00:02:00\n"));
    const std::string flacPath = text::ToFileName(Path("专辑.flac"));
    const std::string command = "flac -s -f -T TITLE=Album -T ARTIST=Band -o '" + flacPath + "' '" + wavPath +
                                "' && metaflac --set-tag-from-file=CUESHEET='" + sheetPath + "' '" + flacPath + "'";
    ASSERT_EQ(std::system(command.c_str()), 0);
    ASSERT_TRUE(AddFile(grid, text::FromFileName(flacPath)));
    const std::u16string flac = text::FromFileName(flacPath);
    const std::vector<PlaylistRecord> expected = {{u"一", u"Band", u"00:00", flac + u"#t=0,2"},
                                                  {u"Album (02)", u"Band", u"00:00", flac + u"#t=2"}};
    EXPECT_EQ(Rows(), expected);

    // WavPack keeps the sheet in its APEv2 tag's Cuesheet item.
    if (std::system("command -v wavpack >/dev/null") != 0) GTEST_SKIP() << "wavpack is not installed";
    const std::string wvPath = text::ToFileName(Path("album.wv"));
    ASSERT_EQ(std::system(("wavpack -q -y -w 'Cuesheet=@" + sheetPath + "' -w 'Artist=WV' '" + wavPath + "' -o '" +
                           wvPath + "' >/dev/null 2>&1")
                              .c_str()),
              0);
    ASSERT_TRUE(AddFile(grid, text::FromFileName(wvPath)));
    const std::u16string wv = text::FromFileName(wvPath);
    EXPECT_EQ(grid.ItemCount(), 4);
    EXPECT_EQ(grid.ItemText(2, column::kLocation), wv + u"#t=0,2");
    EXPECT_EQ(grid.ItemText(3, column::kArtist), u"WV");
    EXPECT_EQ(grid.ItemText(3, column::kLocation), wv + u"#t=2");
}

}  // namespace
