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
        ASSERT_TRUE(Grid().Valid()) << "the grid library was not found through media.manifest";
        ASSERT_NE(frmList().PlayListHost().Widget(), nullptr);
        frmList().Show();  // the grid lays its rows out once it is shown
        Transport().Stop();
        Grid().Clear();
        Player().close();
        Shared().CurrentIndex = 0;
        Shared().TrackStarted = false;
    }
    void TearDown() override {
        Transport().Stop();
        Player().close();
    }

    static GridProxy& Grid() { return frmList().PlayList(); }
    static media::Transport& Transport() { return frmMain().Transport(); }
    static mediaplayer::MediaPlayer& Player() { return frmMain().MediaPlayer(); }
    std::u16string AddTrack(const std::string& name) {
        const std::u16string path = test::WriteFile(folder / name, test::WavFile(3));
        AddRow(Grid(), Grid().ItemCount() + 1, u"", u"", u"00:00", path);
        return path;
    }
    // A double-click of the left button on the row, as the user gives it.
    static void DoubleClick(std::int32_t row) {
        const std::int32_t height = Grid().ItemHeight();
        QWidget* control = frmList().PlayListHost().Widget();
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
    EXPECT_TRUE(Transport().TimerMain.Enabled());
    EXPECT_EQ(Player().URL(), second);
    EXPECT_TRUE(test::WaitForState(Player(), mediaplayer::Playing));

    // A row without a location stops what played: its texts are never another track's.
    AddRow(Grid(), 4, u"no place", u"", u"00:00", u"");
    DoubleClick(3);
    EXPECT_EQ(Shared().CurrentIndex, 3);
    EXPECT_TRUE(Player().URL().empty());
}

TEST_F(PlaylistStart, ALoadedListStartsItsFirstRowWithThePlayAction) {
    const std::u16string first = test::WriteFile(folder / "first.wav", test::WavFile(3));
    const std::u16string second = test::WriteFile(folder / "second.wav", test::WavFile(3));
    const std::string list = (folder / "two.lst").string();
    ASSERT_TRUE(SavePlaylistFile(list, 2, [&](std::size_t r) {
        return PlaylistRecord{u"", u"", u"00:00", r ? second : first};
    }));
    Shared().CurrentIndex = 1;
    Shared().PlayListFile = QString::fromStdString(list).toStdU16String();
    frmList().LoadPlayList();
    EXPECT_EQ(Grid().ItemCount(), 2);
    EXPECT_EQ(Shared().CurrentIndex, 0);
    EXPECT_TRUE(Shared().TrackStarted);
    EXPECT_TRUE(Transport().TimerMain.Enabled());
    EXPECT_EQ(Player().URL(), first);
    EXPECT_EQ(frmMain().ImgPlay.Tag, QStringLiteral("s"));
    EXPECT_EQ(frmMain().EchoState.Caption(), QStringLiteral("正在播放"));
    EXPECT_TRUE(test::WaitForState(Player(), mediaplayer::Playing));

    // A list file that is not there gives no rows and leaves no media open.
    Transport().Stop();
    Grid().Clear();
    Shared().PlayListFile = QString::fromStdString((folder / "missing.lst").string()).toStdU16String();
    frmList().LoadPlayList();
    EXPECT_EQ(Grid().ItemCount(), 0);
    EXPECT_TRUE(Player().URL().empty());
    EXPECT_EQ(Shared().CurrentIndex, 0);
}
