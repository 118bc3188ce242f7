// Rows of the playlist on the real grid: columns, titles from tags or from the path, numbering and the row limit.
#include <gtest/gtest.h>

#include <QTemporaryDir>
#include <fstream>

#include "lorvex/listview/ListView.h"
#include "media/playlist/PlaylistRows.h"

using namespace media;

namespace {

struct Grid {
    Grid() : view(lorvex::ListView::Create()), grid(static_cast<automation::Dispatch*>(view.Get())) {
        SetUpColumns(grid);
    }
    automation::Ref<lorvex::ListView> view;
    GridProxy grid;
};

// An MP3 file with an ID3v2.3 tag of ISO-8859-1 texts and one MPEG-1 layer III frame header.
std::string WriteMp3(const QTemporaryDir& dir, const std::string& name, const std::string& title,
                     const std::string& artist) {
    auto frame = [](const std::string& id, const std::string& text) {
        std::string body = std::string(1, '\0') + text;
        std::string f = id;
        const auto n = static_cast<std::uint32_t>(body.size());
        f += {char(n >> 24), char(n >> 16), char(n >> 8), char(n)};
        f += std::string(2, '\0');
        return f + body;
    };
    const std::string frames = frame("TIT2", title) + frame("TPE1", artist);
    const auto size = static_cast<std::uint32_t>(frames.size());
    std::string file = "ID3";
    file +=
        {3, 0, 0, char((size >> 21) & 0x7F), char((size >> 14) & 0x7F), char((size >> 7) & 0x7F), char(size & 0x7F)};
    file += frames;
    file += {char(0xFF), char(0xFB), char(0x90), char(0x64)};
    file += std::string(400, '\0');
    const std::string path = dir.filePath(QString::fromStdString(name)).toStdString();
    std::ofstream(path, std::ios::binary) << file;
    return path;
}

std::u16string U16(const std::string& s) { return QString::fromStdString(s).toStdU16String(); }

}  // namespace

TEST(PlaylistColumns, EightColumnsWithHiddenNumberAndLocation) {
    Grid g;
    auto& columns = g.view->Columns();
    ASSERT_EQ(columns.Count(), 8u);
    EXPECT_EQ(columns[2].caption, u"歌名");
    EXPECT_EQ(columns[7].key, u"filaname");
    EXPECT_FALSE(columns[0].visible);
    EXPECT_FALSE(columns[7].visible);
    EXPECT_FALSE(columns[3].resizable);
    EXPECT_EQ(columns[6].width, 55);
    EXPECT_TRUE(g.view->ColumnsAutoSize());
    EXPECT_TRUE(g.view->Redraw());
}

TEST(PlaylistRows, TagsGiveTitleAndArtistWithoutQuotes) {
    QTemporaryDir dir;
    Grid g;
    const std::string path = WriteMp3(dir, "song.mp3", "Say \"Hello\"", "The \"Band\"");
    ASSERT_TRUE(AddFile(g.grid, U16(path)));
    EXPECT_EQ(g.grid.ItemText(0, column::kNumber), u"1.");
    EXPECT_EQ(g.grid.ItemText(0, column::kTitle), u"Say Hello");
    EXPECT_EQ(g.grid.ItemText(0, column::kArtist), u"The Band");
    EXPECT_EQ(g.grid.ItemText(0, column::kTime), u"00:00");
    EXPECT_EQ(g.grid.ItemText(0, column::kLocation), U16(path));
    EXPECT_EQ(g.grid.ItemTag(0), kTagOrdinary);
}

TEST(PlaylistRows, EmptyOrMissingTagsFallBackToTheFileName) {
    QTemporaryDir dir;
    Grid g;
    const std::string untitled = WriteMp3(dir, "My Song.mp3", "\"\"", "Someone");
    ASSERT_TRUE(AddFile(g.grid, U16(untitled)));
    EXPECT_EQ(g.grid.ItemText(0, column::kTitle), u"MY SONG");
    EXPECT_EQ(g.grid.ItemText(0, column::kArtist), u"Someone");
    // Unreadable, missing, or no reader for the type: still a row, titled from the path.
    ASSERT_TRUE(AddFile(g.grid, U16(dir.filePath("gone.wav").toStdString())));
    EXPECT_EQ(g.grid.ItemText(1, column::kTitle), u"GONE");
    EXPECT_EQ(g.grid.ItemText(1, column::kNumber), u"2.");
    ASSERT_TRUE(AddFile(g.grid, U16(untitled)));  // the same file twice is two rows
    EXPECT_EQ(g.grid.ItemCount(), 3);
    EXPECT_FALSE(AddFile(g.grid, u""));
    EXPECT_EQ(g.grid.ItemCount(), 3);
}

TEST(PlaylistRows, TitleFromPathTakesTheLastSegmentLessItsExtension) {
    EXPECT_EQ(TitleFromPath(u"/music/My Song.mp3"), u"MY SONG");
    EXPECT_EQ(TitleFromPath(u"/music/README"), u"README");
    EXPECT_EQ(TitleFromPath(u"http://host/a/b.wma"), u"B");
    EXPECT_EQ(TitleFromPath(u"/music/a.mp3.b.mp3"), u"A.B");  // every ".MP3" goes, the other dots stay
    EXPECT_EQ(TitleFromPath(u"/music/x.Mp3y.mp3"), u"XY");
    EXPECT_EQ(TitleFromPath(u"/音乐/歌.wma"), u"歌");
}

TEST(PlaylistRows, AFullGridRefusesRowsWithoutTouchingOthers) {
    Grid g;
    g.view->SetRedraw(false);
    for (int i = 0; i < kMaxRows; ++i) ASSERT_TRUE(AddRow(g.grid, i + 1, u"t", u"a", u"00:00", u"/x.mp3"));
    EXPECT_FALSE(AddRow(g.grid, kMaxRows + 1, u"intruder", u"", u"00:00", u"/y.mp3"));
    EXPECT_EQ(g.grid.ItemCount(), kMaxRows);
    EXPECT_EQ(g.grid.ItemText(0, column::kTitle), u"t");
    EXPECT_EQ(g.grid.ItemText(kMaxRows - 1, column::kNumber), u"32767.");
}
