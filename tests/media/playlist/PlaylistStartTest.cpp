// The playlist window starts rows through the transport: a double-click starts the row it lands on, and a list
// loaded from its file starts its first row with the play action. On the real windows, the grid created through
// the program's manifest.
#include <gtest/gtest.h>

#include <QTest>

#include "media/core/MainWindow.h"
#include "media/core/ModuleMedia.h"
#include "media/core/Windows.h"
#include "media/playlist/PlaylistFile.h"
#include "media/playlist/PlaylistRows.h"
#include "media/playlist/PlaylistWindow.h"
#include "platform/mediaplayer/MediaPlayer.h"
#include "tests/media/playlist/ProgramWindows.h"
#include "tests/mediaplayer/TestMedia.h"

using namespace media;
namespace test = mediaplayer::test;

namespace {

const auto* windows = ::testing::AddGlobalTestEnvironment(new ProgramWindows);

class PlaylistStart : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(grid().Valid()) << "the grid library was not found through media.manifest";
        ASSERT_NE(frmList().PlayListHost().widget(), nullptr);
        frmList().Show();  // the grid lays its rows out once it is shown
        transport().Stop();
        grid().Clear();
        player().close();
        Shared().CurrentIndex = 0;
        Shared().TrackStarted = false;
    }
    void TearDown() override {
        transport().Stop();
        player().close();
    }

    static GridProxy& grid() { return frmList().PlayList(); }
    static Transport& transport() { return frmMain().transport(); }
    static mediaplayer::MediaPlayer& player() { return frmMain().MediaPlayer(); }
    std::u16string AddTrack(const std::string& name) {
        const std::u16string path = test::writeFile(folder / name, test::wavFile(3));
        AddRow(grid(), grid().ItemCount() + 1, u"", u"", u"00:00", path);
        return path;
    }
    // A double-click of the left button on the row, as the user gives it.
    static void DoubleClick(std::int32_t row) {
        const std::int32_t height = grid().ItemHeight();
        QWidget* control = frmList().PlayListHost().widget();
        const QPoint inControl(40, static_cast<int>(row * height + height / 2 + 1));
        QWidget* window = control->childAt(inControl);  // the list's own window inside the control
        ASSERT_NE(window, nullptr);
        const QPoint at = window->mapFrom(control, inControl);
        QTest::mouseClick(window, Qt::LeftButton, {}, at);
        QTest::mouseDClick(window, Qt::LeftButton, {}, at);
        QTest::mouseRelease(window, Qt::LeftButton, {}, at);
    }

    test::TempFolder folder;
};

}  // namespace

TEST_F(PlaylistStart, ADoubleClickStartsTheRowItLandsOn) {
    AddTrack("a.wav");
    const std::u16string second = AddTrack("b.wav");
    AddTrack("c.wav");
    DoubleClick(1);
    EXPECT_EQ(Shared().CurrentIndex, 1);
    EXPECT_TRUE(Shared().TrackStarted);
    EXPECT_TRUE(transport().TimerMain.Enabled());
    EXPECT_EQ(player().URL(), second);
    EXPECT_TRUE(test::waitForState(player(), mediaplayer::Playing));

    // A row without a location stops what played: its texts are never another track's.
    AddRow(grid(), 4, u"no place", u"", u"00:00", u"");
    DoubleClick(3);
    EXPECT_EQ(Shared().CurrentIndex, 3);
    EXPECT_TRUE(player().URL().empty());
}

TEST_F(PlaylistStart, ALoadedListStartsItsFirstRowWithThePlayAction) {
    const std::u16string first = test::writeFile(folder / "first.wav", test::wavFile(3));
    const std::u16string second = test::writeFile(folder / "second.wav", test::wavFile(3));
    const std::string list = (folder / "two.lst").string();
    ASSERT_TRUE(SavePlaylistFile(list, 2, [&](std::size_t r) {
        return PlaylistRecord{u"", u"", u"00:00", r ? second : first};
    }));
    Shared().CurrentIndex = 1;
    Shared().PlayListFile = QString::fromStdString(list).toStdU16String();
    frmList().LoadPlayList();
    EXPECT_EQ(grid().ItemCount(), 2);
    EXPECT_EQ(Shared().CurrentIndex, 0);
    EXPECT_TRUE(Shared().TrackStarted);
    EXPECT_TRUE(transport().TimerMain.Enabled());
    EXPECT_EQ(player().URL(), first);
    EXPECT_EQ(frmMain().ImgPlay.Tag, QStringLiteral("s"));
    EXPECT_EQ(frmMain().EchoState.Caption(), QStringLiteral("正在播放"));
    EXPECT_TRUE(test::waitForState(player(), mediaplayer::Playing));

    // A list file that is not there gives no rows and leaves no media open.
    transport().Stop();
    grid().Clear();
    Shared().PlayListFile = QString::fromStdString((folder / "missing.lst").string()).toStdU16String();
    frmList().LoadPlayList();
    EXPECT_EQ(grid().ItemCount(), 0);
    EXPECT_TRUE(player().URL().empty());
    EXPECT_EQ(Shared().CurrentIndex, 0);
}
