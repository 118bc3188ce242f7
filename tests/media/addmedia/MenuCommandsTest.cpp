// The playlist menu's commands on the real windows: the playlist window with its grid created by class identity,
// the main window's media player, and the dialogs answered by a hook.
#include <gtest/gtest.h>

#include <QTimer>
#include <filesystem>
#include <fstream>
#include <optional>

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
        ASSERT_TRUE(Grid().Valid()) << "the grid library was not found through media.manifest";
        Grid().Clear();
        frmMain().MediaPlayer().close();
        frmMain().Transport().TimerMain.SetEnabled(false);  // the poller would act on what the tests play
        frmMain().ImgPlay.Tag = QStringLiteral("p");
        Shared().PlayListFile = u"/nowhere/default.lst";
    }
    void TearDown() override { forms::SetDialogHook({}); }

    static GridProxy& Grid() { return frmList().PlayList(); }
    static MenuWindow& Menu() { return frmMenu(); }

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
            AddRow(Grid(), Grid().ItemCount() + 1, u"title " + n, u"artist", u"00:00", u"/m/" + n + u".mp3");
        }
    }
    std::vector<std::u16string> Locations() {
        std::vector<std::u16string> out;
        for (std::int32_t r = 0; r < Grid().ItemCount(); ++r) out.push_back(Grid().ItemText(r, column::kLocation));
        return out;
    }
    std::vector<PlaylistRecord> ReadList(const fs::path& path) {
        PlaylistFileReader reader;
        std::vector<PlaylistRecord> records;
        if (!reader.Open(path.string())) return records;
        while (auto record = reader.Next()) records.push_back(*record);
        return records;
    }

    test::TempFolder folder;
    std::vector<forms::DialogRequest> requests;
};

}  // namespace

TEST_F(MenuCommands, RemoveTakesOnlyTheSelectedRow) {
    AddRows(3);
    Menu().mnuDelFile().Click();
    EXPECT_EQ(Grid().ItemCount(), 3) << "with no selection nothing goes";
    Grid().SetSelectedItem(1);
    Menu().mnuDelFile().Click();
    EXPECT_EQ(Locations(), (std::vector<std::u16string>{u"/m/1.mp3", u"/m/3.mp3"}));
    EXPECT_EQ(Grid().ItemText(1, column::kNumber), u"3.") << "numbers are not renewed";
}

TEST_F(MenuCommands, ClearEmptiesTheListAndStopsPlayback) {
    const std::u16string track = test::WriteFile(folder / "tone.wav", test::WavFile(3));
    AddRow(Grid(), 1, u"tone", u"", u"00:00", track);
    frmMain().MediaPlayer().setURL(track);
    ASSERT_TRUE(test::WaitForState(frmMain().MediaPlayer(), mediaplayer::Playing));
    Menu().mnuClearList().Click();
    EXPECT_EQ(Grid().ItemCount(), 0);
    EXPECT_NE(frmMain().MediaPlayer().playState(), mediaplayer::Playing);
    EXPECT_TRUE(frmMain().MediaPlayer().URL().empty()) << "the media is released";
    EXPECT_EQ(Shared().PlayListFile, u"/nowhere/default.lst");
}

TEST_F(MenuCommands, PlayModeMovesTheCheckMark) {
    EXPECT_TRUE(Menu().mnuPlayMode(3).Checked()) << "the program starts in mode 3";
    Menu().mnuPlayMode(4).Click();
    for (int i = 0; i < 5; ++i) EXPECT_EQ(Menu().mnuPlayMode(i).Checked(), i == 4) << i;
    EXPECT_EQ(Shared().PlayMode, 4);
    Menu().mnuPlayMode(0).Click();
    for (int i = 0; i < 5; ++i) EXPECT_EQ(Menu().mnuPlayMode(i).Checked(), i == 0) << i;
    EXPECT_EQ(Shared().PlayMode, 0);
}

TEST_F(MenuCommands, NewForgetsTheFileAndSaveAsNamesAndWritesIt) {
    AddRows(2);
    Menu().mnuPlayListCreate().Click();
    EXPECT_TRUE(Shared().PlayListFile.empty());
    EXPECT_EQ(Grid().ItemCount(), 2) << "new keeps the rows";

    Answer({Q(folder / "mine")});
    Menu().mnuPlayListSave().Click();
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
    Menu().PlayListSave();
    EXPECT_EQ(Shared().PlayListFile, U(folder / "mine.LST.txt"));
    EXPECT_EQ(ReadList(folder / "mine.LST.txt").size(), 1u);

    Answer({Q(folder / "Other.Lst")});
    Menu().PlayListSave();
    EXPECT_EQ(Shared().PlayListFile, U(folder / "Other.Lst"));

    Answer({});
    Shared().PlayListFile = u"/kept.lst";
    Menu().PlayListSave();
    EXPECT_EQ(Shared().PlayListFile, u"/kept.lst") << "cancel changes nothing";
}

TEST_F(MenuCommands, OpenReplacesTheRowsAndStartsTheFirst) {
    const std::u16string first = test::WriteFile(folder / "first.wav", test::WavFile(3));
    const std::u16string second = test::WriteFile(folder / "second.wav", test::WavFile(3));
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
    Menu().mnuPlayListOpen().Click();

    ASSERT_EQ(requests.size(), 1u);
    EXPECT_EQ(requests[0].title, QStringLiteral("选择要播放的列表"));
    EXPECT_EQ(requests[0].nameFilter,
              QStringLiteral("播放列表 (*.lst);;其他播放器的播放列表 (*.m3u *.m3u8 *.pls *.xspf)"))
        << "the program's own lists first, as always";
    EXPECT_EQ(Locations(), (std::vector<std::u16string>{first, second}));
    EXPECT_EQ(Grid().ItemText(1, column::kTitle), u"Second, with comma");
    EXPECT_EQ(Shared().PlayListFile, U(folder / "two.lst"));
    EXPECT_EQ(Shared().CurrentIndex, 0);
    EXPECT_EQ(frmMain().MediaPlayer().URL(), first);
    EXPECT_TRUE(test::WaitForState(frmMain().MediaPlayer(), mediaplayer::Playing));
}

TEST_F(MenuCommands, OpenOfSeveralListsLoadsNothingAndLeavesTheListUnnamed) {
    for (const char* name : {"a.lst", "b.lst"})
        ASSERT_TRUE(SavePlaylistFile((folder / name).string(), 1, [](std::size_t) {
            return PlaylistRecord{u"t", u"", u"00:00", u"/m/x.mp3"};
        }));
    AddRows(2);
    Answer({Q(folder / "a.lst"), Q(folder / "b.lst")});
    Menu().mnuPlayListOpen().Click();
    EXPECT_EQ(Grid().ItemCount(), 0);
    EXPECT_TRUE(Shared().PlayListFile.empty()) << "the exit save asks for a name instead of writing over a folder";
    EXPECT_TRUE(frmMain().MediaPlayer().URL().empty());

    Answer({});
    AddRows(1);
    Menu().mnuPlayListOpen().Click();
    EXPECT_EQ(Grid().ItemCount(), 1) << "cancel keeps the rows";
}

TEST_F(MenuCommands, AddFileAndAddFolderFillTheGrid) {
    fs::create_directories(folder / "music");
    const std::u16string wma = test::WriteFile(folder / "music/b.wma", {});
    const std::u16string mp3 = test::WriteFile(folder / "music/a.mp3", {});
    test::WriteFile(folder / "music/c.wav", {});
    Answer({Q(folder / "music")});
    Menu().mnuAddFolder().Click();
    EXPECT_EQ(Locations(), (std::vector<std::u16string>{wma, mp3}));
    EXPECT_EQ(requests.back().owner, &Menu());
    EXPECT_EQ(requests.back().title, QStringLiteral("请选择文件夹"));

    Answer({Q(folder / "music/c.wav")});
    Menu().mnuAddFile().Click();
    EXPECT_EQ(Grid().ItemText(2, column::kLocation), U(folder / "music/c.wav"));
    EXPECT_EQ(requests.back().owner, nullptr);
}

// A folder add that fills the list stops there and says why, in the main window's state text as well as on stderr.
TEST_F(MenuCommands, AFolderAddThatFillsTheListSaysSo) {
    fs::create_directories(folder / "many");
    for (const char* name : {"1.mp3", "2.mp3", "3.mp3"}) test::WriteFile(folder / "many" / name, {});
    Grid().SetRedraw(false);
    AddRows(kMaxRows - 1);
    Grid().SetRedraw(true);
    frmMain().EchoState.SetCaption(QString());
    Answer({Q(folder / "many")});
    ::testing::internal::CaptureStderr();
    Menu().mnuAddFolder().Click();
    const std::string told = ::testing::internal::GetCapturedStderr();
    EXPECT_EQ(Grid().ItemCount(), kMaxRows);
    EXPECT_EQ(frmMain().EchoState.Caption(), QStringLiteral("播放列表已满（32767首），其余文件未添加"));
    EXPECT_NE(told.find("the playlist is full"), std::string::npos) << told;
    Grid().Clear();
}

TEST_F(MenuCommands, ClearingDuringAFolderSearchLetsItGoOnAppending) {
    constexpr int kFiles = 4000;
    std::vector<std::u16string> order;
    fs::create_directories(folder / "many");
    // Written from the last, searched in name order: t0, t1, ... t9, t10 (numbers by their value).
    for (int i = kFiles - 1; i >= 0; --i) test::WriteFile(folder / "many" / ("t" + std::to_string(i) + ".mp3"), {});
    for (int i = 0; i < kFiles; ++i) order.push_back(U(folder / "many" / ("t" + std::to_string(i) + ".mp3")));

    // The clear waits for the first turn the search gives once it has added a row: the WMA pass before it finds
    // nothing and may already give turns, and a clear of an empty list would prove nothing.
    std::optional<std::int32_t> rowsAtClear;
    QTimer clearOnceARowExists;
    QObject::connect(&clearOnceARowExists, &QTimer::timeout, [&] {
        if (Grid().ItemCount() == 0) return;
        clearOnceARowExists.stop();
        rowsAtClear = Grid().ItemCount();
        Menu().mnuClearList().Click();
    });
    clearOnceARowExists.start(0);
    Answer({Q(folder / "many")});
    Menu().mnuAddFolder().Click();
    ASSERT_TRUE(rowsAtClear) << "the search gave pending events no turn after its first row";
    const auto rows = Locations();
    ASSERT_EQ(rows.size(), order.size() - static_cast<std::size_t>(*rowsAtClear)) << "every row after the clear";
    EXPECT_TRUE(std::equal(rows.begin(), rows.end(), order.end() - static_cast<std::ptrdiff_t>(rows.size())))
        << "the rows after the clear are the rest of the search";
}

// Last: it unloads the playlist window.
TEST_F(MenuCommands, ASearchStopsWhenThePlaylistWindowUnloads) {
    constexpr int kFiles = 4000;
    fs::create_directories(folder / "many");
    for (int i = 0; i < kFiles; ++i) test::WriteFile(folder / "many" / ("t" + std::to_string(i) + ".mp3"), {});
    QTimer::singleShot(0, [] { frmList().Unload(); });
    Answer({Q(folder / "many")});
    Menu().mnuAddFolder().Click();
    EXPECT_FALSE(frmList().Loaded());
    EXPECT_LT(Grid().ItemCount(), kFiles) << "the search stopped with the window";
}
