// The playlist menu's commands on the real windows: the playlist window with its grid created by class identity,
// the main window's media player, and the dialogs answered by a hook.
#include <gtest/gtest.h>

#include <QTimer>
#include <filesystem>
#include <fstream>

#include "media/core/MainWindow.h"
#include "media/core/ModuleMedia.h"
#include "media/core/Windows.h"
#include "media/playlist/MenuWindow.h"
#include "media/playlist/PlaylistFile.h"
#include "media/playlist/PlaylistRows.h"
#include "media/playlist/PlaylistWindow.h"
#include "platform/forms/CommonDialogs.h"
#include "platform/mediaplayer/MediaPlayer.h"
#include "tests/media/playlist/ProgramWindows.h"
#include "tests/mediaplayer/TestMedia.h"

using namespace media;
namespace fs = std::filesystem;
namespace test = mediaplayer::test;

namespace {

std::u16string U(const fs::path& p) { return QString::fromStdString(p.string()).toStdU16String(); }
QString Q(const fs::path& p) { return QString::fromStdString(p.string()); }

// The windows live for the whole test program, as they do in the player.
class Windows : public ProgramWindows {
public:
    void TearDown() override {
        forms::SetDialogHook({});
        ProgramWindows::TearDown();
    }
};

const auto* windows = ::testing::AddGlobalTestEnvironment(new Windows);

class MenuCommands : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(grid().Valid()) << "the grid library was not found through media.manifest";
        grid().Clear();
        frmMain().MediaPlayer().close();
        frmMain().transport().TimerMain.SetEnabled(false);  // the poller would act on what the tests play
        frmMain().ImgPlay.Tag = QStringLiteral("p");
        Shared().PlayListFile = u"/nowhere/default.lst";
    }
    void TearDown() override { forms::SetDialogHook({}); }

    static GridProxy& grid() { return frmList().PlayList(); }
    static MenuWindow& menu() { return frmMenu(); }

    // Every dialog answers with these paths; the requests are kept.
    void Answer(QStringList paths) {
        forms::SetDialogHook([this, paths](const forms::DialogRequest& request) {
            requests.push_back(request);
            return paths;
        });
    }
    void AddRows(int count) {
        for (int i = 0; i < count; ++i) {
            const std::u16string n = QString::number(i + 1).toStdU16String();
            AddRow(grid(), grid().ItemCount() + 1, u"title " + n, u"artist", u"00:00", u"/m/" + n + u".mp3");
        }
    }
    std::vector<std::u16string> Locations() {
        std::vector<std::u16string> out;
        for (std::int32_t r = 0; r < grid().ItemCount(); ++r) out.push_back(grid().ItemText(r, column::Location));
        return out;
    }
    std::vector<PlaylistRecord> ReadList(const fs::path& path) {
        PlaylistFileReader reader;
        std::vector<PlaylistRecord> records;
        if (!reader.open(path.string())) return records;
        while (auto record = reader.next()) records.push_back(*record);
        return records;
    }

    test::TempFolder folder;
    std::vector<forms::DialogRequest> requests;
};

}  // namespace

TEST_F(MenuCommands, RemoveTakesOnlyTheSelectedRow) {
    AddRows(3);
    menu().mnuDelFile().Click();
    EXPECT_EQ(grid().ItemCount(), 3) << "with no selection nothing goes";
    grid().SetSelectedItem(1);
    menu().mnuDelFile().Click();
    EXPECT_EQ(Locations(), (std::vector<std::u16string>{u"/m/1.mp3", u"/m/3.mp3"}));
    EXPECT_EQ(grid().ItemText(1, column::Number), u"3.") << "numbers are not renewed";
}

TEST_F(MenuCommands, ClearEmptiesTheListAndStopsPlayback) {
    const std::u16string track = test::writeFile(folder / "tone.wav", test::wavFile(3));
    AddRow(grid(), 1, u"tone", u"", u"00:00", track);
    frmMain().MediaPlayer().setURL(track);
    ASSERT_TRUE(test::waitForState(frmMain().MediaPlayer(), mediaplayer::Playing));
    menu().mnuClearList().Click();
    EXPECT_EQ(grid().ItemCount(), 0);
    EXPECT_NE(frmMain().MediaPlayer().playState(), mediaplayer::Playing);
    EXPECT_TRUE(frmMain().MediaPlayer().URL().empty()) << "the media is released";
    EXPECT_EQ(Shared().PlayListFile, u"/nowhere/default.lst");
}

TEST_F(MenuCommands, PlayModeMovesTheCheckMark) {
    EXPECT_TRUE(menu().mnuPlayMode(3).Checked()) << "the program starts in mode 3";
    menu().mnuPlayMode(4).Click();
    for (int i = 0; i < 5; ++i) EXPECT_EQ(menu().mnuPlayMode(i).Checked(), i == 4) << i;
    EXPECT_EQ(Shared().PlayMode, 4);
    menu().mnuPlayMode(0).Click();
    for (int i = 0; i < 5; ++i) EXPECT_EQ(menu().mnuPlayMode(i).Checked(), i == 0) << i;
    EXPECT_EQ(Shared().PlayMode, 0);
}

TEST_F(MenuCommands, NewForgetsTheFileAndSaveAsNamesAndWritesIt) {
    AddRows(2);
    menu().mnuPlayListCreate().Click();
    EXPECT_TRUE(Shared().PlayListFile.empty());
    EXPECT_EQ(grid().ItemCount(), 2) << "new keeps the rows";

    Answer({Q(folder / "mine")});
    menu().mnuPlayListSave().Click();
    ASSERT_EQ(requests.size(), 1u);
    EXPECT_EQ(requests[0].kind, forms::DialogRequest::Kind::SaveFile);
    EXPECT_EQ(requests[0].owner, &frmMain());
    EXPECT_EQ(Shared().PlayListFile, U(folder / "mine.lst"));
    const auto records = ReadList(folder / "mine.lst");
    ASSERT_EQ(records.size(), 2u);
    EXPECT_EQ(records[1], (PlaylistRecord{u"title 2", u"artist", u"00:00", u"/m/2.mp3"}));
    EXPECT_FALSE(fs::exists(folder / "mine"));
}

TEST_F(MenuCommands, SaveAsAddsTheExtensionOnlyWhenNoLstAppearsAnywhere) {
    AddRows(1);
    Answer({Q(folder / "mine.LST.txt")});
    menu().PlayListSave();
    EXPECT_EQ(Shared().PlayListFile, U(folder / "mine.LST.txt"));
    EXPECT_EQ(ReadList(folder / "mine.LST.txt").size(), 1u);

    Answer({Q(folder / "Other.Lst")});
    menu().PlayListSave();
    EXPECT_EQ(Shared().PlayListFile, U(folder / "Other.Lst"));

    Answer({});
    Shared().PlayListFile = u"/kept.lst";
    menu().PlayListSave();
    EXPECT_EQ(Shared().PlayListFile, u"/kept.lst") << "cancel changes nothing";
}

TEST_F(MenuCommands, OpenReplacesTheRowsAndStartsTheFirst) {
    const std::u16string first = test::writeFile(folder / "first.wav", test::wavFile(3));
    const std::u16string second = test::writeFile(folder / "second.wav", test::wavFile(3));
    ASSERT_TRUE(SavePlaylistFile((folder / "two.lst").string(), 2, [&](std::size_t r) {
        return PlaylistRecord{r ? u"Second, with comma" : u"First", u"", u"00:03", r ? second : first};
    }));
    AddRows(3);
    Shared().CurrentIndex = 2;
    // Something plays, so the play/pause button offers pause.
    frmMain().MediaPlayer().setURL(second);
    frmMain().ClickPlay();
    ASSERT_EQ(frmMain().ImgPlay.Tag, QStringLiteral("s"));
    Answer({Q(folder / "two.lst")});
    menu().mnuPlayListOpen().Click();

    ASSERT_EQ(requests.size(), 1u);
    EXPECT_EQ(requests[0].title, QStringLiteral("选择要播放的列表"));
    EXPECT_EQ(requests[0].nameFilter, QStringLiteral("播放列表 (*.lst)"));
    EXPECT_EQ(Locations(), (std::vector<std::u16string>{first, second}));
    EXPECT_EQ(grid().ItemText(1, column::Title), u"Second, with comma");
    EXPECT_EQ(Shared().PlayListFile, U(folder / "two.lst"));
    EXPECT_EQ(Shared().CurrentIndex, 0);
    EXPECT_EQ(frmMain().MediaPlayer().URL(), first);
    EXPECT_TRUE(test::waitForState(frmMain().MediaPlayer(), mediaplayer::Playing));
}

TEST_F(MenuCommands, OpenOfSeveralListsLoadsNothingAndLeavesTheListUnnamed) {
    for (const char* name : {"a.lst", "b.lst"})
        ASSERT_TRUE(SavePlaylistFile((folder / name).string(), 1, [](std::size_t) {
            return PlaylistRecord{u"t", u"", u"00:00", u"/m/x.mp3"};
        }));
    AddRows(2);
    Answer({Q(folder / "a.lst"), Q(folder / "b.lst")});
    menu().mnuPlayListOpen().Click();
    EXPECT_EQ(grid().ItemCount(), 0);
    EXPECT_TRUE(Shared().PlayListFile.empty()) << "the exit save asks for a name instead of writing over a folder";
    EXPECT_TRUE(frmMain().MediaPlayer().URL().empty());

    Answer({});
    AddRows(1);
    menu().mnuPlayListOpen().Click();
    EXPECT_EQ(grid().ItemCount(), 1) << "cancel keeps the rows";
}

TEST_F(MenuCommands, AddFileAndAddFolderFillTheGrid) {
    fs::create_directories(folder / "music");
    const std::u16string wma = test::writeFile(folder / "music/b.wma", {});
    const std::u16string mp3 = test::writeFile(folder / "music/a.mp3", {});
    test::writeFile(folder / "music/c.wav", {});
    Answer({Q(folder / "music")});
    menu().mnuAddFolder().Click();
    EXPECT_EQ(Locations(), (std::vector<std::u16string>{wma, mp3}));
    EXPECT_EQ(requests.back().owner, &menu());
    EXPECT_EQ(requests.back().title, QStringLiteral("请选择文件夹"));

    Answer({Q(folder / "music/c.wav")});
    menu().mnuAddFile().Click();
    EXPECT_EQ(grid().ItemText(2, column::Location), U(folder / "music/c.wav"));
    EXPECT_EQ(requests.back().owner, nullptr);
}

TEST_F(MenuCommands, ClearingDuringAFolderSearchLetsItGoOnAppending) {
    constexpr int Files = 4000;
    std::vector<std::u16string> order;
    fs::create_directories(folder / "many");
    for (int i = 0; i < Files; ++i) test::writeFile(folder / "many" / ("t" + std::to_string(i) + ".mp3"), {});
    for (const auto& entry : fs::directory_iterator(folder / "many")) order.push_back(U(entry.path()));

    bool cleared = false;
    QTimer::singleShot(0, [&] {
        menu().mnuClearList().Click();
        cleared = true;
    });
    Answer({Q(folder / "many")});
    menu().mnuAddFolder().Click();
    ASSERT_TRUE(cleared) << "the search gave pending events no turn";
    const auto rows = Locations();
    ASSERT_LT(rows.size(), order.size());
    EXPECT_TRUE(std::equal(rows.begin(), rows.end(), order.end() - static_cast<std::ptrdiff_t>(rows.size())))
        << "the rows after the clear are the rest of the search";
}

// Last: it unloads the playlist window.
TEST_F(MenuCommands, ASearchStopsWhenThePlaylistWindowUnloads) {
    constexpr int Files = 4000;
    fs::create_directories(folder / "many");
    for (int i = 0; i < Files; ++i) test::writeFile(folder / "many" / ("t" + std::to_string(i) + ".mp3"), {});
    QTimer::singleShot(0, [] { frmList().Unload(); });
    Answer({Q(folder / "many")});
    menu().mnuAddFolder().Click();
    EXPECT_FALSE(frmList().Loaded());
    EXPECT_LT(grid().ItemCount(), Files) << "the search stopped with the window";
}
