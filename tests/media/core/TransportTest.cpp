// Play/pause, stop, the start of a row, the play modes and the poll (its state texts and the announced starts),
// against the real media-player component and the real grid, on short tracks the tests write.
#include <gst/gst.h>
#include <gtest/gtest.h>

#include <QElapsedTimer>
#include <QThread>
#include <map>
#include <random>
#include <set>
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
    void SetStateText(const QString& t) override {
        state = t;
        if (stateWritten) stateWritten(t);
    }
    void SetTitleText(const QString& t) override { title = t; }
    void SetTimerText(const QString& t) override { timer = t; }
    void SetAllTimerText(const QString& t) override { allTimer = t; }
    QString PlayTag() const override { return tag; }
    void SetPlayTag(const QString& t) override { tag = t; }
    void ShowPlayPicture(const QString& file) override { playPicture = file; }
    void SetTransportButtonsEnabled(bool on) override { buttons = on; }
    double SeekThumbLeft() const override { return thumb; }
    void SetSeekThumbLeft(double t) override { thumb = t; }
    void SetSeekFillWidth(double t) override { fill = t; }
    bool SeekDragging() const override { return false; }

    QString state, title, timer, allTimer, tag = QStringLiteral("p"), playPicture;
    std::function<void(const QString&)> stateWritten;
    bool buttons = false;
    double thumb = 80, fill = 0;
};

class TransportTest : public ::testing::Test {
protected:
    TransportTest()
        : listView(lorvex::ListView::Create()),
          grid(static_cast<automation::Dispatch*>(listView.Get())),
          transport(view, shared, output.Factory()),
          player(transport.Player()) {
        SetUpColumns(grid);
        transport.SetGrid(grid);
    }

    void AddTrack(const std::string& name, double seconds) {
        const std::u16string path = test::WriteFile(folder / name, test::WavFile(seconds));
        AddRow(grid, grid.ItemCount() + 1, u"", u"", u"00:00", path);
    }
    void AddBroken(const std::string& name) {
        const std::u16string path = test::WriteFile(folder / name, test::Bytes(2000, 0x5A));
        AddRow(grid, grid.ItemCount() + 1, u"", u"", u"00:00", path);
    }
    void AddNoise(const std::string& name, unsigned seed) {
        std::mt19937 random(seed);
        test::Bytes bytes(6000);
        for (auto& byte : bytes) byte = static_cast<std::uint8_t>(random());
        AddRow(grid, grid.ItemCount() + 1, u"", u"", u"00:00", test::WriteFile(folder / name, bytes));
    }
    void AddMissing(const std::string& name) {
        AddRow(grid, grid.ItemCount() + 1, u"", u"", u"00:00", (folder / name).u16string());
    }
    void Select(std::int32_t row) {
        grid.SetSelectedItem(row);
        if (row >= 0) grid.SetItemSelected(row, true);
    }
    // Polls as the 333 ms timer would (faster, to keep the tests short) until done() or the time is up.
    bool PollUntil(const std::function<bool()>& done, double seconds = 15) {
        QElapsedTimer clock;
        clock.start();
        while (clock.elapsed() < seconds * 1000) {
            if (Polling()) transport.Poll();
            if (done()) return true;
            QThread::msleep(40);
        }
        return false;
    }
    bool Polling() const { return transport.TimerMain.Enabled(); }
    std::u16string Location(int row) { return grid.ItemText(row, column::kLocation); }

    test::TempFolder folder;
    test::WatchedOutput output;  // silent, in real time
    RecordingView view;
    SharedValues shared;
    automation::Ref<lorvex::ListView> listView;
    GridProxy grid;
    Transport transport;
    MediaPlayer& player;
};

}  // namespace

TEST_F(TransportTest, ThePlayingRowGetsTheCurrentMarkAndThePlayersTexts) {
    AddTrack("first song.wav", 1.2);
    AddTrack("second.wav", 1.2);
    shared.CurrentIndex = 0;
    shared.PreviousIndex = 1;
    shared.TrackStarted = true;
    grid.SetItemTag(1, kTagCurrent);
    transport.PlayPause();  // no media set yet: plays the first row
    EXPECT_EQ(player.URL(), Location(0));
    EXPECT_EQ(view.tag, QStringLiteral("s"));
    EXPECT_EQ(view.playPicture, QStringLiteral("pause_n.bmp"));
    EXPECT_TRUE(view.buttons);
    EXPECT_TRUE(Polling());
    ASSERT_TRUE(PollUntil([&] { return grid.ItemTag(0) == kTagCurrent; }));
    EXPECT_EQ(grid.ItemTag(1), kTagOrdinary);
    EXPECT_EQ(shared.PreviousIndex, 0);
    EXPECT_FALSE(shared.TrackStarted);
    EXPECT_EQ(grid.ItemText(0, column::kTitle), u"first song");
    EXPECT_EQ(grid.ItemText(0, column::kTime), u"00:01");
    EXPECT_EQ(view.state, QStringLiteral("正在播放"));
    EXPECT_EQ(view.title, QStringLiteral("first song[00:01]"));

    // Pausing and resuming writes nothing again.
    grid.SetItemText(0, column::kTitle, u"kept");
    transport.PlayPause();
    EXPECT_EQ(view.tag, QStringLiteral("p"));
    ASSERT_TRUE(PollUntil([&] { return player.playState() == mediaplayer::Paused; }));
    transport.Poll();
    EXPECT_EQ(view.state, QStringLiteral("暂停播放"));
    transport.PlayPause();
    ASSERT_TRUE(PollUntil([&] { return player.playState() == mediaplayer::Playing; }));
    transport.Poll();
    EXPECT_EQ(grid.ItemText(0, column::kTitle), u"kept");

    transport.Stop();
    EXPECT_FALSE(Polling());
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
    EXPECT_TRUE(Polling());
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
    ASSERT_TRUE(PollUntil([&] { return !Polling(); }));
    EXPECT_EQ(shared.CurrentIndex, 1);
    EXPECT_EQ(view.state, QStringLiteral("停止播放"));
    EXPECT_EQ(view.timer, QStringLiteral("00:00"));
    EXPECT_EQ(player.playState(), mediaplayer::Stopped);
    // Nothing follows: the output is closed, not left paused (by the player's own thread, soon after).
    EXPECT_TRUE(test::WaitUntil(
        [&] {
            GstState state = GST_STATE_VOID_PENDING;
            gst_element_get_state(output.Pipeline().get(), &state, nullptr, 0);
            return state == GST_STATE_NULL;
        },
        2));
    transport.PlayPause();
    EXPECT_TRUE(PollUntil([&] { return player.playState() == mediaplayer::Playing; }));
}

TEST_F(TransportTest, RepeatOneRestartsTheSameRowAndWritesItAgain) {
    AddTrack("only.wav", 0.6);
    shared.PlayMode = ModeRepeatOne;
    shared.CurrentIndex = 0;
    transport.PlayTrack(MoveSame);
    ASSERT_TRUE(PollUntil([&] { return grid.ItemTag(0) == kTagCurrent; }));
    grid.SetItemText(0, column::kTitle, u"overwritten");
    // The end of the track starts it again, and the next playing poll writes the row again.
    ASSERT_TRUE(PollUntil([&] { return grid.ItemText(0, column::kTitle) == u"only"; }));
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
    ASSERT_TRUE(PollUntil(
        [&] {
            mostRetries = std::max(mostRetries, transport.RetryCount());
            return shared.CurrentIndex == 1;
        },
        30));
    EXPECT_EQ(mostRetries, 3);
    EXPECT_EQ(grid.ItemTag(0), kTagFailed);
    ASSERT_TRUE(PollUntil([&] { return grid.ItemTag(1) == kTagCurrent; }));
    EXPECT_EQ(transport.RetryCount(), 0);
}

TEST_F(TransportTest, PreviousAndNextStopAtTheEndsOfTheList) {
    AddTrack("a.wav", 1);
    AddTrack("b.wav", 1);
    shared.CurrentIndex = 0;
    transport.PlayTrack(MovePrevious);
    EXPECT_EQ(shared.CurrentIndex, 0);
    EXPECT_TRUE(player.URL().empty());  // nothing started
    EXPECT_TRUE(Polling());
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
    ASSERT_TRUE(PollUntil([&] { return !Polling(); }));
    EXPECT_EQ(view.tag, QStringLiteral("p"));
    EXPECT_EQ(view.state, QStringLiteral("暂停播放"));
    EXPECT_EQ(view.playPicture, QStringLiteral("play_n.bmp"));
}

TEST_F(TransportTest, AnEmptyListSwitchesThePollerOff) {
    transport.TimerMain.SetEnabled(true);
    transport.Poll();
    EXPECT_FALSE(Polling());
    EXPECT_TRUE(view.state.isEmpty());
}

// ---------------------------------------------------------------- starting a row

TEST_F(TransportTest, StartRowMakesTheRowCurrentAndPlaysIt) {
    AddTrack("a.wav", 1);
    AddTrack("b.wav", 1);
    AddTrack("c.wav", 1.2);
    shared.CurrentIndex = 0;
    EXPECT_TRUE(transport.StartRow(2));
    EXPECT_EQ(shared.CurrentIndex, 2);
    EXPECT_TRUE(shared.TrackStarted);
    EXPECT_TRUE(Polling());
    EXPECT_EQ(player.URL(), Location(2));
    ASSERT_TRUE(PollUntil([&] { return grid.ItemTag(2) == kTagCurrent; }));
    EXPECT_EQ(grid.ItemText(2, column::kTitle), u"c");
    EXPECT_EQ(view.state, QStringLiteral("正在播放"));

    // A row without a location, or no row at all, starts nothing: what plays goes on.
    AddRow(grid, 4, u"no place", u"", u"01:00", u"  ");
    for (std::int32_t row : {3, 40, -1}) {
        shared.TrackStarted = false;
        transport.TimerMain.SetEnabled(false);
        EXPECT_FALSE(transport.StartRow(row));
        EXPECT_EQ(shared.CurrentIndex, row);
        EXPECT_TRUE(shared.TrackStarted);
        EXPECT_TRUE(Polling());
        EXPECT_EQ(player.URL(), Location(2));
    }
    EXPECT_FALSE(transport.StartRow(70000));
    EXPECT_EQ(shared.CurrentIndex, -1) << "a row no index can hold names no row";

    // Chosen in the list, a row without a location closes what played, which therefore never lands in that row.
    transport.StartChosenRow(3);
    EXPECT_EQ(shared.CurrentIndex, 3);
    EXPECT_TRUE(player.URL().empty());
    transport.Poll();
    EXPECT_EQ(grid.ItemText(3, column::kTitle), u"no place");
    EXPECT_EQ(grid.ItemText(3, column::kTime), u"01:00");
}

TEST_F(TransportTest, PlayWithNoMediaStartsTheSelectedRowAsTheCurrentOne) {
    AddTrack("a.wav", 1);
    AddTrack("b.wav", 1);
    AddTrack("c.wav", 1.2);
    grid.SetItemText(0, column::kTitle, u"own title");
    grid.SetItemText(0, column::kTime, u"01:23");
    shared.CurrentIndex = 0;
    shared.PreviousIndex = 0;
    Select(2);
    transport.PlayPause();
    EXPECT_EQ(shared.CurrentIndex, 2);
    EXPECT_TRUE(shared.TrackStarted);
    EXPECT_EQ(player.URL(), Location(2));
    ASSERT_TRUE(PollUntil([&] { return grid.ItemTag(2) == kTagCurrent; }));
    EXPECT_EQ(grid.ItemText(2, column::kTitle), u"c");
    EXPECT_EQ(grid.ItemText(2, column::kTime), u"00:01");
    EXPECT_EQ(grid.ItemText(0, column::kTitle), u"own title") << "the row that was current keeps its own texts";
    EXPECT_EQ(grid.ItemText(0, column::kTime), u"01:23");
    EXPECT_EQ(grid.ItemTag(0), kTagOrdinary);

    // With nothing selected it is the first row.
    transport.Stop();
    player.close();
    grid.SetItemSelected(2, false);
    Select(-1);
    transport.PlayPause();
    EXPECT_EQ(shared.CurrentIndex, 0);
    EXPECT_TRUE(shared.TrackStarted);
    EXPECT_EQ(player.URL(), Location(0));
}

TEST_F(TransportTest, ALoadedListStartsItsFirstRowThroughThePlayAction) {
    AddTrack("a.wav", 3);
    AddTrack("b.wav", 3);
    shared.CurrentIndex = 1;
    transport.StartLoadedList();
    EXPECT_EQ(shared.CurrentIndex, 0);
    EXPECT_TRUE(shared.TrackStarted);
    EXPECT_TRUE(Polling());
    EXPECT_EQ(player.URL(), Location(0));
    EXPECT_EQ(view.tag, QStringLiteral("s"));
    EXPECT_EQ(view.playPicture, QStringLiteral("pause_n.bmp"));
    EXPECT_EQ(view.state, QStringLiteral("正在播放"));
    EXPECT_TRUE(view.buttons);
    ASSERT_TRUE(PollUntil([&] { return grid.ItemTag(0) == kTagCurrent; }));

    // While the button offers pause, the play action that ends the load pauses the first row.
    transport.StartRow(1);
    transport.StartLoadedList();
    EXPECT_EQ(shared.CurrentIndex, 0);
    EXPECT_EQ(player.URL(), Location(0));
    EXPECT_EQ(view.tag, QStringLiteral("p"));
    EXPECT_EQ(view.state, QStringLiteral("暂停播放"));
    EXPECT_TRUE(test::WaitForState(player, mediaplayer::Paused));

    // An empty list leaves no media open, and the first poll switches the poller off.
    grid.Clear();
    transport.StartLoadedList();
    EXPECT_TRUE(player.URL().empty());
    EXPECT_EQ(shared.CurrentIndex, 0);
    transport.Poll();
    EXPECT_FALSE(Polling());
}

// ---------------------------------------------------------------- honest states

// Every row fails: noise the decoders cannot read, and a file that is not there. Each row says it connects and then
// that it retries, three times; then the loop goes round again while the sequential mode restarts the last row round
// after round, and nothing ever claims that the list plays.
TEST_F(TransportTest, AListThatCannotPlayNeverClaimsToBePlaying) {
    for (const PlayModeIndex mode : {ModeLoop, ModeSequential}) {
        SCOPED_TRACE(mode == ModeLoop ? "loop" : "sequential");
        transport.Stop();
        grid.Clear();
        view.tag = QStringLiteral("p");
        AddNoise("noise.mp3", 7);
        AddNoise("noise.wav", 11);
        AddMissing("gone.mp3");
        shared.PlayMode = mode;
        std::map<std::int16_t, std::set<QString>> written;  // by the row current when the text was written
        view.stateWritten = [&](const QString& text) { written[shared.CurrentIndex].insert(text); };
        transport.StartLoadedList();

        const auto everyRowTried = [&] {
            for (std::int32_t row = 0; row < grid.ItemCount(); ++row)
                if (grid.ItemTag(row) != kTagFailed) return false;
            return true;
        };
        ASSERT_TRUE(PollUntil(everyRowTried, 60));
        EXPECT_EQ(shared.CurrentIndex, 2);

        std::set<QString> shownSince;
        int polls = 0;
        PollUntil(
            [&] {
                shownSince.insert(view.state);
                return ++polls == 60;
            },
            60);
        EXPECT_EQ(shownSince.count(QStringLiteral("正在播放")), 0u);
        EXPECT_TRUE(Polling()) << "the poller stays on and keeps retrying";
        view.stateWritten = nullptr;
        for (std::int16_t row = 0; row < 3; ++row)
            for (const char* text : {"连接媒体", "重试中1", "重试中2", "重试中3"})
                EXPECT_EQ(written[row].count(QString::fromUtf8(text)), 1u) << "row " << row << ": " << text;
    }
}

// A dead last row is given up on like any other: the loop wraps to the first row, which plays. The sequential mode
// has nowhere to go and keeps restarting it.
TEST_F(TransportTest, AfterItsRetriesADeadLastRowIsPassedLikeAnyOther) {
    for (const PlayModeIndex mode : {ModeLoop, ModeSequential}) {
        SCOPED_TRACE(mode == ModeLoop ? "loop" : "sequential");
        transport.Stop();
        grid.Clear();
        AddTrack("first.wav", 3);
        AddMissing("gone.mp3");
        shared.PlayMode = mode;
        shared.CurrentIndex = 0;
        transport.PlayTrack(MoveNext);
        ASSERT_TRUE(PollUntil([&] { return grid.ItemTag(1) == kTagFailed && transport.RetryCount() == 3; }, 30));
        const bool wrapped = PollUntil([&] { return grid.ItemTag(0) == kTagCurrent; }, 6);
        EXPECT_EQ(wrapped, mode == ModeLoop);
        EXPECT_EQ(shared.CurrentIndex, mode == ModeLoop ? 0 : 1);
        EXPECT_EQ(grid.ItemTag(1), kTagFailed);
        EXPECT_TRUE(Polling());
    }
}

// ---------------------------------------------------------------- announcing a start

TEST_F(TransportTest, EveryStartFromTheTopIsAnnouncedButAResumeIsNot) {
    AddTrack("song.wav", 3);
    std::vector<std::u16string> announced;
    transport.TrackPlaying = [&](const std::u16string& location) { announced.push_back(location); };
    shared.CurrentIndex = 0;
    transport.PlayPause();
    ASSERT_TRUE(PollUntil([&] { return announced.size() == 1; }));

    // Stop and play start the media from its beginning without a new row: announced, but the row is not rewritten.
    grid.SetItemText(0, column::kTitle, u"kept");
    transport.Stop();
    transport.PlayPause();
    EXPECT_FALSE(shared.TrackStarted);
    ASSERT_TRUE(PollUntil([&] { return announced.size() == 2; }));
    EXPECT_EQ(announced, (std::vector<std::u16string>{Location(0), Location(0)}));
    EXPECT_EQ(grid.ItemText(0, column::kTitle), u"kept");

    // Pausing and resuming go on where the media was.
    transport.PlayPause();
    ASSERT_TRUE(PollUntil([&] { return player.playState() == mediaplayer::Paused; }));
    transport.PlayPause();
    ASSERT_TRUE(PollUntil([&] { return player.playState() == mediaplayer::Playing; }));
    for (int i = 0; i < 5; ++i) transport.Poll();
    EXPECT_EQ(announced.size(), 2u);
}

TEST_F(TransportTest, TheSingleModeRestartOfATrackIsAnnouncedAgain) {
    AddTrack("short.wav", 0.6);
    int announced = 0;
    transport.TrackPlaying = [&](const std::u16string&) { ++announced; };
    shared.PlayMode = ModeSingle;
    transport.StartRow(0);  // started by the list: the button still offers play
    ASSERT_TRUE(PollUntil([&] { return announced == 1; }));
    // The end of the track runs the play action, which starts it again from the top.
    ASSERT_TRUE(PollUntil([&] { return announced == 2; }));
    EXPECT_EQ(view.tag, QStringLiteral("s"));
}

TEST(RandomRow, EveryRowCanBeDrawn) {
    EXPECT_EQ(RandomRow(0.0, 3), 0);
    EXPECT_EQ(RandomRow(0.999, 3), 2);
    EXPECT_EQ(RandomRow(0.5, 1), 0);
    EXPECT_EQ(RandomRow(0.7, 0), 0);
}

// With no sound output to be had, a track still plays on in real time, and the state says there is no sound.
TEST_F(TransportTest, PlayingWithoutASoundOutputSaysSo) {
    Transport silent(view, shared, [] { return static_cast<GstElement*>(nullptr); });
    silent.SetGrid(grid);
    AddTrack("quiet.wav", 1.5);
    silent.StartChosenRow(0);
    QElapsedTimer clock;
    clock.start();
    while (view.state != QStringLiteral("无声播放") && clock.elapsed() < 15000) {
        silent.Poll();
        QThread::msleep(40);
    }
    EXPECT_EQ(view.state, QStringLiteral("无声播放"));
    EXPECT_EQ(grid.ItemTag(0), kTagCurrent);
    silent.Stop();
}
