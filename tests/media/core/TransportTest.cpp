// Play/pause, stop, the play modes and the poll, against the real media-player component and the real grid,
// on short tracks the tests write.
#include <gtest/gtest.h>

#include <QElapsedTimer>
#include <QThread>
#include <vector>

#include "lorvex/listview/ListView.h"
#include "media/core/Transport.h"
#include "media/playlist/PlaylistRows.h"
#include "tests/mediaplayer/TestMedia.h"

using namespace media;
using mediaplayer::MediaPlayer;
namespace test = mediaplayer::test;

namespace {

class RecordingView : public TransportView {
public:
    void SetStateText(const QString& t) override { state = t; }
    void SetTitleText(const QString& t) override { title = t; }
    void SetTimerText(const QString& t) override { timer = t; }
    void SetAllTimerText(const QString& t) override { allTimer = t; }
    bool PollerEnabled() const override { return poller; }
    void SetPollerEnabled(bool on) override { poller = on; }
    QString PlayTag() const override { return tag; }
    void SetPlayTag(const QString& t) override { tag = t; }
    void ShowPlayPicture(const QString& file) override { playPicture = file; }
    void SetTransportButtonsEnabled(bool on) override { buttons = on; }
    double SeekThumbLeft() const override { return thumb; }
    void SetSeekThumbLeft(double t) override { thumb = t; }
    void SetSeekFillWidth(double t) override { fill = t; }
    bool SeekDragging() const override { return false; }

    QString state, title, timer, allTimer, tag = QStringLiteral("p"), playPicture;
    bool poller = false, buttons = false;
    double thumb = 80, fill = 0;
};

class TransportTest : public ::testing::Test {
protected:
    TransportTest()
        : view_(lorvex::ListView::Create()), grid(static_cast<automation::Dispatch*>(view_.get())),
          transport(player, view, shared) {
        SetUpColumns(grid);
        transport.SetGrid(grid);
    }

    void AddTrack(const std::string& name, double seconds) {
        const std::u16string path = test::writeFile(folder / name, test::wavFile(seconds));
        AddRow(grid, grid.ItemCount() + 1, u"", u"", u"00:00", path);
    }
    void AddBroken(const std::string& name) {
        const std::u16string path = test::writeFile(folder / name, test::Bytes(2000, 0x5A));
        AddRow(grid, grid.ItemCount() + 1, u"", u"", u"00:00", path);
    }
    // Polls as the 333 ms timer would (faster, to keep the tests short) until done() or the time is up.
    bool PollUntil(const std::function<bool()>& done, double seconds = 15) {
        QElapsedTimer clock;
        clock.start();
        while (clock.elapsed() < seconds * 1000) {
            if (view.poller) transport.Poll();
            if (done()) return true;
            QThread::msleep(40);
        }
        return false;
    }
    std::u16string Location(int row) { return grid.ItemText(row, column::Location); }

    test::TempFolder folder;
    MediaPlayer player{};
    RecordingView view;
    SharedValues shared;
    automation::Ref<lorvex::ListView> view_;
    GridProxy grid;
    Transport transport;
};

}  // namespace

TEST_F(TransportTest, ThePlayingRowGetsTheCurrentMarkAndThePlayersTexts) {
    AddTrack("first song.wav", 1.2);
    AddTrack("second.wav", 1.2);
    shared.CurrentIndex = 0;
    shared.PreviousIndex = 1;
    shared.TrackStarted = true;
    grid.SetItemTag(1, TagCurrent);
    transport.PlayPause();  // no media set yet: plays the first row
    EXPECT_EQ(player.URL(), Location(0));
    EXPECT_EQ(view.tag, QStringLiteral("s"));
    EXPECT_EQ(view.playPicture, QStringLiteral("pause_n.bmp"));
    EXPECT_TRUE(view.buttons);
    EXPECT_TRUE(view.poller);
    ASSERT_TRUE(PollUntil([&] { return grid.ItemTag(0) == TagCurrent; }));
    EXPECT_EQ(grid.ItemTag(1), TagOrdinary);
    EXPECT_EQ(shared.PreviousIndex, 0);
    EXPECT_FALSE(shared.TrackStarted);
    EXPECT_EQ(grid.ItemText(0, column::Title), u"first song");
    EXPECT_EQ(grid.ItemText(0, column::Time), u"00:01");
    EXPECT_EQ(view.state, QStringLiteral("正在播放"));
    EXPECT_EQ(view.title, QStringLiteral("first song[00:01]"));

    // Pausing and resuming writes nothing again.
    grid.SetItemText(0, column::Title, u"kept");
    transport.PlayPause();
    EXPECT_EQ(view.tag, QStringLiteral("p"));
    ASSERT_TRUE(PollUntil([&] { return player.playState() == mediaplayer::Paused; }));
    transport.Poll();
    EXPECT_EQ(view.state, QStringLiteral("暂停播放"));
    transport.PlayPause();
    ASSERT_TRUE(PollUntil([&] { return player.playState() == mediaplayer::Playing; }));
    transport.Poll();
    EXPECT_EQ(grid.ItemText(0, column::Title), u"kept");

    transport.Stop();
    EXPECT_FALSE(view.poller);
    EXPECT_FALSE(view.buttons);
    EXPECT_EQ(view.tag, QStringLiteral("p"));
    EXPECT_EQ(view.state, QStringLiteral("停止播放"));
}

TEST_F(TransportTest, LoopModeWrapsToTheFirstRowAfterTheLast) {
    AddTrack("a.wav", 3);
    AddTrack("b.wav", 0.6);
    shared.PlayMode = ModeLoop;
    shared.CurrentIndex = 0;
    transport.PlayTrack(MoveNext);
    EXPECT_EQ(shared.CurrentIndex, 1);
    EXPECT_EQ(player.URL(), Location(1));
    ASSERT_TRUE(PollUntil([&] { return shared.CurrentIndex == 0; }));
    EXPECT_EQ(player.URL(), Location(0));
    EXPECT_TRUE(view.poller);
    EXPECT_TRUE(shared.TrackStarted);
    EXPECT_EQ(view.thumb, 80);
    EXPECT_EQ(view.fill, 10);
}

TEST_F(TransportTest, SequentialModeStopsAfterTheLastRow) {
    AddTrack("a.wav", 0.6);
    AddTrack("b.wav", 0.6);
    shared.PlayMode = ModeSequential;
    shared.CurrentIndex = 0;
    transport.PlayTrack(MoveNext);
    ASSERT_TRUE(PollUntil([&] { return !view.poller; }));
    EXPECT_EQ(shared.CurrentIndex, 1);
    EXPECT_EQ(view.state, QStringLiteral("停止播放"));
    EXPECT_EQ(view.timer, QStringLiteral("00:00"));
    EXPECT_EQ(player.playState(), mediaplayer::Stopped);
}

TEST_F(TransportTest, RepeatOneRestartsTheSameRowAndWritesItAgain) {
    AddTrack("only.wav", 0.6);
    shared.PlayMode = ModeRepeatOne;
    shared.CurrentIndex = 0;
    transport.PlayTrack(MoveSame);
    ASSERT_TRUE(PollUntil([&] { return grid.ItemTag(0) == TagCurrent; }));
    grid.SetItemText(0, column::Title, u"overwritten");
    // The end of the track starts it again, and the next playing poll writes the row again.
    ASSERT_TRUE(PollUntil([&] { return grid.ItemText(0, column::Title) == u"only"; }));
    EXPECT_EQ(shared.CurrentIndex, 0);
    EXPECT_EQ(player.URL(), Location(0));
}

TEST_F(TransportTest, AnUnplayableTrackIsTriedFourTimesMarkedAndSkipped) {
    AddBroken("broken.mp3");
    AddTrack("good.wav", 2);
    shared.PlayMode = ModeSequential;
    shared.CurrentIndex = -1;
    transport.PlayTrack(MoveNext);
    int mostRetries = 0;
    ASSERT_TRUE(PollUntil([&] {
        mostRetries = std::max(mostRetries, transport.RetryCount());
        return shared.CurrentIndex == 1;
    }, 30));
    EXPECT_EQ(mostRetries, 3);
    EXPECT_EQ(grid.ItemTag(0), TagFailed);
    ASSERT_TRUE(PollUntil([&] { return grid.ItemTag(1) == TagCurrent; }));
    EXPECT_EQ(transport.RetryCount(), 0);
}

TEST_F(TransportTest, PreviousAndNextStopAtTheEndsOfTheList) {
    AddTrack("a.wav", 1);
    AddTrack("b.wav", 1);
    shared.CurrentIndex = 0;
    transport.PlayTrack(MovePrevious);
    EXPECT_EQ(shared.CurrentIndex, 0);
    EXPECT_TRUE(player.URL().empty());  // nothing started
    EXPECT_TRUE(view.poller);
    EXPECT_TRUE(shared.TrackStarted);
    shared.CurrentIndex = 1;
    transport.PlayTrack(MoveNext);
    EXPECT_EQ(shared.CurrentIndex, 1);
    EXPECT_TRUE(player.URL().empty());
}

TEST_F(TransportTest, SingleModeAfterPlayPauseLeavesThePlayerPaused) {
    AddTrack("a.wav", 0.6);
    shared.PlayMode = ModeSingle;
    shared.CurrentIndex = 0;
    transport.PlayPause();
    ASSERT_TRUE(PollUntil([&] { return !view.poller; }));
    EXPECT_EQ(view.tag, QStringLiteral("p"));
    EXPECT_EQ(view.state, QStringLiteral("暂停播放"));
    EXPECT_EQ(view.playPicture, QStringLiteral("play_n.bmp"));
}

TEST_F(TransportTest, AnEmptyListSwitchesThePollerOff) {
    view.poller = true;
    transport.Poll();
    EXPECT_FALSE(view.poller);
    EXPECT_TRUE(view.state.isEmpty());
}

TEST(RandomRow, EveryRowCanBeDrawn) {
    EXPECT_EQ(RandomRow(0.0, 3), 0);
    EXPECT_EQ(RandomRow(0.999, 3), 2);
    EXPECT_EQ(RandomRow(0.5, 1), 0);
    EXPECT_EQ(RandomRow(0.7, 0), 0);
}
