// Play/pause, stop, the start of a row, the play modes, the retries and the poll (its state texts and the announced
// starts) on a scripted component that answers at once and fails, hangs or ends on cue; then a track played, a
// missing file retried and a silent output shown through the real media-player component, on short tracks the tests
// write.
#include <gst/gst.h>
#include <gtest/gtest.h>

#include <QElapsedTimer>
#include <QThread>
#include <algorithm>
#include <map>
#include <optional>
#include <set>
#include <vector>

#include "lorvex/listview/ListView.h"
#include "media/core/MediaPlayerComponent.h"
#include "media/core/Transport.h"
#include "media/playlist/PlaylistRows.h"
#include "platform/mediaplayer/MediaPlayer.h"
#include "tests/media/core/ScriptedComponent.h"
#include "tests/mediaplayer/TestMedia.h"

using namespace media;
using media::test::ScriptedComponent;

namespace {

const QString kPlaying = QStringLiteral("正在播放");
const QString kPaused = QStringLiteral("暂停播放");
const QString kStopped = QStringLiteral("停止播放");
const QString kConnecting = QStringLiteral("连接媒体");

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
    void ShowPlayOffer(PlayOffer offer) override { playOffer = offer; }
    void SetTransportButtonsEnabled(bool on) override { buttons = on; }
    double SeekThumbLeft() const override { return thumb; }
    void SetSeekThumbLeft(double t) override { thumb = t; }
    void SetSeekFillWidth(double t) override { fill = t; }
    bool SeekDragging() const override { return false; }

    QString state, title, timer, allTimer, tag = QStringLiteral("p");
    PlayOffer playOffer = PlayOffer::Play;
    std::function<void(const QString&)> stateWritten;
    bool buttons = false;
    double thumb = 80, fill = 0;
};

// The list and the main window's face every transport test plays against.
class TransportFixture : public ::testing::Test {
protected:
    TransportFixture()
        : listView(lorvex::ListView::Create()), grid(static_cast<automation::Dispatch*>(listView.Get())) {
        SetUpColumns(grid);
    }
    void AddLocation(const std::u16string& location) {
        AddRow(grid, grid.ItemCount() + 1, u"", u"", u"00:00", location);
    }
    void Select(std::int32_t row) {
        grid.SetSelectedItem(row);
        if (row >= 0) grid.SetItemSelected(row, true);
    }
    std::u16string Location(int row) { return grid.ItemText(row, column::kLocation); }

    RecordingView view;
    SharedValues shared;
    automation::Ref<lorvex::ListView> listView;
    GridProxy grid;
};

// On the scripted component: every row's location is its name, and a poll needs no waiting.
class TransportTest : public TransportFixture {
protected:
    TransportTest() { transport.SetGrid(grid); }

    void AddRows(std::initializer_list<const char16_t*> locations) {
        for (const char16_t* location : locations) AddLocation(location);
    }
    bool Polling() const { return transport.TimerMain.Enabled(); }
    // Polls as the timer would, while it runs, until done() holds.
    bool PollUntil(const std::function<bool()>& done, int polls = 50) {
        for (int i = 0; i < polls; ++i) {
            if (Polling()) transport.Poll();
            if (done()) return true;
        }
        return false;
    }
    int CallsSince(std::size_t from) const { return static_cast<int>(component.Calls().size() - from); }

    ScriptedComponent component;
    Transport transport{view, shared, component};
};

}  // namespace

TEST_F(TransportTest, ThePlayingRowGetsTheCurrentMarkAndThePlayersTexts) {
    AddRows({u"first.wav", u"second.wav"});
    component.media[u"first.wav"] = {.title = u"first \"song\"", .author = u"singer", .seconds = 61.2};
    shared.CurrentIndex = 0;
    shared.PreviousIndex = 1;
    shared.TrackStarted = true;
    grid.SetItemTag(1, kTagCurrent);
    transport.PlayPause();  // no media set yet: plays the first row
    EXPECT_EQ(component.URL(), Location(0));
    EXPECT_EQ(view.tag, QStringLiteral("s"));
    EXPECT_EQ(view.playOffer, PlayOffer::Pause);
    EXPECT_TRUE(view.buttons);
    EXPECT_TRUE(Polling());
    component.position = 30;
    ASSERT_TRUE(PollUntil([&] { return grid.ItemTag(0) == kTagCurrent; }));
    EXPECT_EQ(grid.ItemTag(1), kTagOrdinary);
    EXPECT_EQ(shared.PreviousIndex, 0);
    EXPECT_FALSE(shared.TrackStarted);
    EXPECT_EQ(grid.ItemText(0, column::kTitle), u"first song") << "the list file quotes its fields";
    EXPECT_EQ(grid.ItemText(0, column::kArtist), u"singer");
    EXPECT_EQ(grid.ItemText(0, column::kTime), u"01:01");
    EXPECT_EQ(view.state, kPlaying);
    EXPECT_EQ(view.title, QStringLiteral("first \"song\"[01:01]"));
    EXPECT_EQ(view.timer, QStringLiteral("00:30"));
    EXPECT_EQ(view.allTimer, QStringLiteral("01:01"));
    EXPECT_DOUBLE_EQ(view.thumb, Transport::kSeekLeftMax / 61.2 * 30 + Transport::kSeekLeftMin);
    EXPECT_DOUBLE_EQ(view.fill, view.thumb);

    // Pausing and resuming writes nothing again.
    grid.SetItemText(0, column::kTitle, u"kept");
    transport.PlayPause();
    EXPECT_EQ(view.tag, QStringLiteral("p"));
    EXPECT_EQ(component.playState(), mediaplayer::Paused);
    transport.Poll();
    EXPECT_EQ(view.state, kPaused);
    transport.PlayPause();
    EXPECT_EQ(component.playState(), mediaplayer::Playing);
    transport.Poll();
    EXPECT_EQ(grid.ItemText(0, column::kTitle), u"kept");

    transport.Stop();
    EXPECT_FALSE(Polling());
    EXPECT_FALSE(view.buttons);
    EXPECT_EQ(view.tag, QStringLiteral("p"));
    EXPECT_EQ(view.state, kStopped);
}

// A track of a one-file album plays the album file: the file's tags must not replace the sheet's texts.
TEST_F(TransportTest, ATrackOfASheetKeepsItsTextsWhenItPlays) {
    AddRow(grid, 1, u"晴天", u"周杰伦", u"00:00", u"album.flac#t=245.36,512.4");
    component.media[u"album.flac#t=245.36,512.4"] = {.title = u"叶惠美", .author = u"Album Artist", .seconds = 266.9};
    shared.TrackStarted = true;
    transport.PlayPause();
    ASSERT_TRUE(PollUntil([&] { return grid.ItemTag(0) == kTagCurrent; }));
    EXPECT_EQ(grid.ItemText(0, column::kTitle), u"晴天");
    EXPECT_EQ(grid.ItemText(0, column::kArtist), u"周杰伦");
    EXPECT_EQ(grid.ItemText(0, column::kTime), u"04:27");
    EXPECT_EQ(view.title, QStringLiteral("晴天[04:27]")) << "the main window names the track as its row does";
}

// Each row plays until the component reports its end; then the mode chooses what follows.
TEST_F(TransportTest, TheEndOfATrackStartsWhatThePlayModeChooses) {
    struct Case {
        PlayModeIndex mode;
        std::int16_t endedRow;
        std::optional<std::int16_t> next;  // none: the list stops there
    };
    for (const Case& c : {Case{ModeRepeatOne, 1, 1}, Case{ModeSequential, 0, 1}, Case{ModeSequential, 2, {}},
                          Case{ModeLoop, 1, 2}, Case{ModeLoop, 2, 0}, Case{ModeRandom, 1, std::nullopt}}) {
        SCOPED_TRACE(testing::Message() << "mode " << c.mode << ", row " << c.endedRow);
        grid.Clear();
        AddRows({u"a", u"b", u"c"});
        shared.PlayMode = c.mode;
        transport.StartRow(c.endedRow);
        ASSERT_TRUE(PollUntil([&] { return grid.ItemTag(c.endedRow) == kTagCurrent; }));
        grid.SetItemText(c.endedRow, column::kTitle, u"overwritten");
        const int starts = component.Starts();

        component.EndOfMedia();
        transport.Poll();
        EXPECT_DOUBLE_EQ(view.thumb, Transport::kSeekLeftMin);
        EXPECT_DOUBLE_EQ(view.fill, 10);
        EXPECT_EQ(view.timer, QStringLiteral("00:00"));
        if (c.mode == ModeRandom) {
            EXPECT_EQ(component.Starts(), starts + 1);
            EXPECT_EQ(component.URL(), Location(shared.CurrentIndex));
            EXPECT_TRUE(shared.CurrentIndex >= 0 && shared.CurrentIndex < 3);
        } else if (c.next) {
            EXPECT_EQ(shared.CurrentIndex, *c.next);
            EXPECT_EQ(component.URL(), Location(*c.next));
            EXPECT_EQ(component.Starts(), starts + 1);
            EXPECT_TRUE(Polling());
            EXPECT_TRUE(shared.TrackStarted);
            ASSERT_TRUE(PollUntil([&] { return grid.ItemTag(*c.next) == kTagCurrent; }));
            EXPECT_EQ(grid.ItemText(*c.next, column::kTitle), Location(*c.next)) << "the row is written again";
        } else {
            EXPECT_EQ(shared.CurrentIndex, c.endedRow);
            EXPECT_FALSE(Polling());
            EXPECT_EQ(view.state, kStopped);
            EXPECT_EQ(component.Starts(), starts);
            // Nothing follows: the sound stream the component keeps for a next track is closed.
            EXPECT_EQ(component.Calls().back(), "stop");
            transport.PlayPause();
            EXPECT_TRUE(PollUntil([&] { return component.playState() == mediaplayer::Playing; }));
            EXPECT_EQ(component.Starts(), starts + 1);
        }
        transport.Stop();
    }
}

// The single mode ends a track with the play/pause action: from the button (offering pause) it pauses and stops
// polling; from the list (the button still offering play) it starts the track again from the top, announced anew.
TEST_F(TransportTest, TheSingleModeEndsWithThePlayAction) {
    for (const bool fromButton : {true, false}) {
        SCOPED_TRACE(fromButton ? "from the button" : "from the list");
        grid.Clear();
        AddRows({u"a", u"b"});
        view.tag = QStringLiteral("p");
        shared.PlayMode = ModeSingle;
        shared.CurrentIndex = 0;
        int announced = 0;
        transport.TrackPlaying = [&](const std::u16string&) { ++announced; };
        if (fromButton)
            transport.PlayPause();
        else
            transport.StartRow(0);
        ASSERT_TRUE(PollUntil([&] { return announced == 1; }));

        component.EndOfMedia();
        transport.Poll();
        EXPECT_EQ(PollUntil([&] { return announced == 2; }), !fromButton);
        EXPECT_EQ(shared.CurrentIndex, 0);
        EXPECT_EQ(view.playOffer, PlayOffer::Play);
        EXPECT_EQ(view.tag, fromButton ? QStringLiteral("p") : QStringLiteral("s"));
        EXPECT_EQ(view.state, fromButton ? kPaused : kPlaying);
        EXPECT_EQ(Polling(), !fromButton);
        EXPECT_EQ(announced, fromButton ? 1 : 2);
        transport.Stop();
    }
}

// A start the component fails is tried again three times, the row marked as failed; one that then plays is kept,
// one that fails a fourth time is passed for the next row.
TEST_F(TransportTest, AFailedStartIsRetriedThreeTimesThenPassed) {
    for (const int failures : {2, 3, 4}) {
        SCOPED_TRACE(failures);
        grid.Clear();
        AddRows({u"flaky", u"good"});
        component = ScriptedComponent();
        component.media[u"flaky"].failingStarts = failures;
        shared.PlayMode = ModeSequential;
        shared.CurrentIndex = -1;
        transport.PlayTrack(MoveNext);
        const std::int16_t played = failures > 3 ? 1 : 0;
        int mostRetries = 0;
        bool markedFailed = false;  // until a row that plays takes the current mark
        ASSERT_TRUE(PollUntil([&] {
            mostRetries = std::max(mostRetries, transport.RetryCount());
            markedFailed = markedFailed || grid.ItemTag(0) == kTagFailed;
            return grid.ItemTag(played) == kTagCurrent;
        }));
        EXPECT_EQ(mostRetries, std::min(failures, 3));
        EXPECT_EQ(component.Starts(), std::min(failures, 4) + 1);
        EXPECT_EQ(shared.CurrentIndex, played);
        EXPECT_TRUE(markedFailed);
        EXPECT_EQ(transport.RetryCount(), 0);
    }
}

TEST_F(TransportTest, PreviousAndNextStopAtTheEndsOfTheList) {
    AddRows({u"a", u"b"});
    shared.CurrentIndex = 0;
    transport.PlayTrack(MovePrevious);
    EXPECT_EQ(shared.CurrentIndex, 0);
    EXPECT_TRUE(component.URL().empty());  // nothing started
    EXPECT_TRUE(Polling());
    EXPECT_TRUE(shared.TrackStarted);
    shared.CurrentIndex = 1;
    transport.PlayTrack(MoveNext);
    EXPECT_EQ(shared.CurrentIndex, 1);
    EXPECT_TRUE(component.URL().empty());
    EXPECT_EQ(component.Starts(), 0);
}

TEST_F(TransportTest, AnEmptyListSwitchesThePollerOff) {
    transport.TimerMain.SetEnabled(true);
    transport.Poll();
    EXPECT_FALSE(Polling());
    EXPECT_TRUE(view.state.isEmpty());
}

// ---------------------------------------------------------------- starting a row

TEST_F(TransportTest, StartRowMakesTheRowCurrentAndPlaysIt) {
    AddRows({u"a", u"b", u"c"});
    shared.CurrentIndex = 0;
    EXPECT_TRUE(transport.StartRow(2));
    EXPECT_EQ(shared.CurrentIndex, 2);
    EXPECT_TRUE(shared.TrackStarted);
    EXPECT_TRUE(Polling());
    EXPECT_EQ(component.URL(), Location(2));
    ASSERT_TRUE(PollUntil([&] { return grid.ItemTag(2) == kTagCurrent; }));
    EXPECT_EQ(grid.ItemText(2, column::kTitle), u"c");
    EXPECT_EQ(view.state, kPlaying);

    // A row without a location, or no row at all, starts nothing: what plays goes on.
    AddRow(grid, 4, u"no place", u"", u"01:00", u"  ");
    for (std::int32_t row : {3, 40, -1}) {
        shared.TrackStarted = false;
        transport.TimerMain.SetEnabled(false);
        EXPECT_FALSE(transport.StartRow(row));
        EXPECT_EQ(shared.CurrentIndex, row);
        EXPECT_TRUE(shared.TrackStarted);
        EXPECT_TRUE(Polling());
        EXPECT_EQ(component.URL(), Location(2));
    }
    EXPECT_FALSE(transport.StartRow(70000));
    EXPECT_EQ(shared.CurrentIndex, -1) << "a row no index can hold names no row";
    EXPECT_EQ(component.Starts(), 1);

    // Chosen in the list, a row without a location closes what played, which therefore never lands in that row.
    transport.StartChosenRow(3);
    EXPECT_EQ(shared.CurrentIndex, 3);
    EXPECT_TRUE(component.URL().empty());
    transport.Poll();
    EXPECT_EQ(grid.ItemText(3, column::kTitle), u"no place");
    EXPECT_EQ(grid.ItemText(3, column::kTime), u"01:00");
}

TEST_F(TransportTest, PlayWithNoMediaStartsTheSelectedRowAsTheCurrentOne) {
    AddRows({u"a", u"b", u"c"});
    component.media[u"c"].seconds = 1.2;
    grid.SetItemText(0, column::kTitle, u"own title");
    grid.SetItemText(0, column::kTime, u"01:23");
    shared.CurrentIndex = 0;
    shared.PreviousIndex = 0;
    Select(2);
    transport.PlayPause();
    EXPECT_EQ(shared.CurrentIndex, 2);
    EXPECT_TRUE(shared.TrackStarted);
    EXPECT_EQ(component.URL(), Location(2));
    ASSERT_TRUE(PollUntil([&] { return grid.ItemTag(2) == kTagCurrent; }));
    EXPECT_EQ(grid.ItemText(2, column::kTitle), u"c");
    EXPECT_EQ(grid.ItemText(2, column::kTime), u"00:01");
    EXPECT_EQ(grid.ItemText(0, column::kTitle), u"own title") << "the row that was current keeps its own texts";
    EXPECT_EQ(grid.ItemText(0, column::kTime), u"01:23");
    EXPECT_EQ(grid.ItemTag(0), kTagOrdinary);

    // With nothing selected it is the first row.
    transport.Stop();
    component.close();
    grid.SetItemSelected(2, false);
    Select(-1);
    transport.PlayPause();
    EXPECT_EQ(shared.CurrentIndex, 0);
    EXPECT_TRUE(shared.TrackStarted);
    EXPECT_EQ(component.URL(), Location(0));
}

TEST_F(TransportTest, ALoadedListStartsItsFirstRowThroughThePlayAction) {
    AddRows({u"a", u"b"});
    shared.CurrentIndex = 1;
    transport.StartLoadedList();
    EXPECT_EQ(shared.CurrentIndex, 0);
    EXPECT_TRUE(shared.TrackStarted);
    EXPECT_TRUE(Polling());
    EXPECT_EQ(component.URL(), Location(0));
    EXPECT_EQ(view.tag, QStringLiteral("s"));
    EXPECT_EQ(view.playOffer, PlayOffer::Pause);
    EXPECT_EQ(view.state, kPlaying);
    EXPECT_TRUE(view.buttons);
    ASSERT_TRUE(PollUntil([&] { return grid.ItemTag(0) == kTagCurrent; }));

    // While the button offers pause, the play action that ends the load pauses the first row.
    transport.StartRow(1);
    transport.StartLoadedList();
    EXPECT_EQ(shared.CurrentIndex, 0);
    EXPECT_EQ(component.URL(), Location(0));
    EXPECT_EQ(view.tag, QStringLiteral("p"));
    EXPECT_EQ(view.state, kPaused);
    EXPECT_EQ(component.playState(), mediaplayer::Paused);

    // An empty list leaves no media open, and the first poll switches the poller off.
    grid.Clear();
    transport.StartLoadedList();
    EXPECT_TRUE(component.URL().empty());
    EXPECT_EQ(shared.CurrentIndex, 0);
    transport.Poll();
    EXPECT_FALSE(Polling());
}

// ---------------------------------------------------------------- honest states

TEST_F(TransportTest, ThePollShowsWhatTheComponentReports) {
    struct Case {
        int state;
        int retries;  // failed starts of the row before
        bool silent;
        const char* text;
    };
    for (const Case& c :
         {Case{mediaplayer::Playing, 0, false, "正在播放"}, Case{mediaplayer::Playing, 0, true, "无声播放"},
          Case{mediaplayer::Paused, 0, false, "暂停播放"}, Case{mediaplayer::Buffering, 0, false, "缓冲45 %"},
          Case{mediaplayer::Transitioning, 0, false, "连接媒体"},
          Case{mediaplayer::Transitioning, 2, false, "重试中2"}}) {
        SCOPED_TRACE(c.text);
        grid.Clear();
        AddRows({u"a"});
        component = ScriptedComponent();
        component.media[u"a"].failingStarts = c.retries;
        component.silent = c.silent;
        component.buffering = 45;
        transport.StartRow(0);
        ASSERT_TRUE(PollUntil([&] { return transport.RetryCount() == c.retries; }));
        component.SetState(c.state);
        transport.Poll();
        EXPECT_EQ(view.state, QString::fromUtf8(c.text));
    }
}

// Every row fails: each says it connects and then that it retries, three times; then the loop goes round again while
// the sequential mode restarts the last row round after round, and nothing ever claims that the list plays.
TEST_F(TransportTest, AListThatCannotPlayNeverClaimsToBePlaying) {
    for (const PlayModeIndex mode : {ModeLoop, ModeSequential}) {
        SCOPED_TRACE(mode == ModeLoop ? "loop" : "sequential");
        transport.Stop();
        grid.Clear();
        view.tag = QStringLiteral("p");
        AddRows({u"noise.mp3", u"noise.wav", u"gone.mp3"});
        component = ScriptedComponent();
        component.openingReads = 2;  // so that the poll sees the first start open too, after the play action's read
        for (const char16_t* dead : {u"noise.mp3", u"noise.wav", u"gone.mp3"})
            component.media[dead].failingStarts = 1000;
        shared.PlayMode = mode;
        std::map<std::int16_t, std::set<QString>> written;  // by the row current when the text was written
        view.stateWritten = [&](const QString& text) { written[shared.CurrentIndex].insert(text); };
        transport.StartLoadedList();

        const auto everyRowTried = [&] {
            for (std::int32_t row = 0; row < grid.ItemCount(); ++row)
                if (grid.ItemTag(row) != kTagFailed) return false;
            return true;
        };
        ASSERT_TRUE(PollUntil(everyRowTried, 100));
        EXPECT_EQ(shared.CurrentIndex, 2);

        std::set<QString> shownSince;
        PollUntil(
            [&] {
                shownSince.insert(view.state);
                return false;
            },
            60);
        EXPECT_EQ(shownSince.count(kPlaying), 0u);
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
        AddRows({u"first.wav", u"gone.mp3"});
        component = ScriptedComponent();
        component.media[u"gone.mp3"].failingStarts = 1000;
        shared.PlayMode = mode;
        shared.CurrentIndex = 0;
        transport.PlayTrack(MoveNext);
        ASSERT_TRUE(PollUntil([&] { return grid.ItemTag(1) == kTagFailed && transport.RetryCount() == 3; }));
        const bool wrapped = PollUntil([&] { return grid.ItemTag(0) == kTagCurrent; }, 20);
        EXPECT_EQ(wrapped, mode == ModeLoop);
        EXPECT_EQ(shared.CurrentIndex, mode == ModeLoop ? 0 : 1);
        EXPECT_EQ(grid.ItemTag(1), kTagFailed);
        EXPECT_TRUE(Polling());
    }
}

// A start that stays opening is shown as connecting for as long as it lasts: its row is not written, nothing is
// announced, and the user's next and stop still act. A media without a duration is unplayable and skipped.
TEST_F(TransportTest, MediaThatNeverSoundsIsNeverShownAsPlaying) {
    AddRows({u"silent stream", u"no duration", u"last"});
    component.media[u"silent stream"].neverSounds = true;
    component.media[u"no duration"].seconds = 0;
    int announced = 0;
    transport.TrackPlaying = [&](const std::u16string&) { ++announced; };
    transport.StartChosenRow(0);
    for (int i = 0; i < 30; ++i) transport.Poll();
    EXPECT_EQ(view.state, kConnecting);
    EXPECT_TRUE(Polling());
    EXPECT_EQ(grid.ItemTag(0), kTagOrdinary);
    EXPECT_EQ(grid.ItemText(0, column::kTitle), u"");
    EXPECT_EQ(announced, 0);
    EXPECT_EQ(component.Starts(), 1) << "an opening is waited for, not restarted";

    std::map<std::int16_t, std::set<QString>> written;  // by the row current when the text was written
    view.stateWritten = [&](const QString& text) { written[shared.CurrentIndex].insert(text); };
    transport.PlayTrack(MoveNext);  // to the media without a duration, which passes itself on to the last row
    ASSERT_TRUE(PollUntil([&] { return grid.ItemTag(2) == kTagCurrent; }));
    EXPECT_EQ(written[1].count(kPlaying), 0u);
    EXPECT_EQ(written[2].count(kPlaying), 1u);
    EXPECT_EQ(grid.ItemText(1, column::kTime), u"00:00");
    view.stateWritten = nullptr;
    transport.Stop();
    EXPECT_EQ(view.state, kStopped);
}

// A network stream with no duration is live: it plays on, shown as playing, though another row follows.
TEST_F(TransportTest, ALiveStreamWithoutADurationPlaysOn) {
    AddRows({u"http://radio.example/live", u"next"});
    component.media[u"http://radio.example/live"].seconds = 0;
    transport.StartChosenRow(0);
    ASSERT_TRUE(PollUntil([&] { return view.state == kPlaying; }));
    for (int i = 0; i < 20; ++i) transport.Poll();
    EXPECT_EQ(shared.CurrentIndex, 0);
    EXPECT_EQ(view.state, kPlaying);
    EXPECT_EQ(grid.ItemTag(0), kTagCurrent);
}

// ---------------------------------------------------------------- gapless: arming the row that follows

// Near its end the playing track arms the row the mode's end would start; when that row takes over, the transport
// does all the end and the start of a row do (current row, mark, texts, announcement, seek bar) but the silence.
TEST_F(TransportTest, TheRowThePlayModeWouldStartIsArmedAndTakesOverAsIfStarted) {
    struct Case {
        PlayModeIndex mode;
        std::int16_t current;
        std::optional<std::int16_t> follows;
    };
    const Case cases[] = {
        {ModeSequential, 0, 1}, {ModeSequential, 2, std::nullopt}, {ModeLoop, 1, 2}, {ModeLoop, 2, 0},
        {ModeRepeatOne, 1, 1},  {ModeSingle, 0, std::nullopt},
    };
    AddRows({u"a", u"b", u"c"});
    std::vector<std::u16string> announced;
    transport.TrackPlaying = [&](const std::u16string& location) { announced.push_back(location); };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << "mode " << c.mode << " from row " << c.current);
        shared.PlayMode = c.mode;
        transport.StartChosenRow(c.current);
        ASSERT_TRUE(PollUntil([&] { return view.state == kPlaying; }));
        EXPECT_EQ(component.Armed(), u"") << "not yet: far from the end";
        component.position = 88;  // of 90
        transport.Poll();
        EXPECT_EQ(component.Armed(), c.follows ? Location(*c.follows) : u"");
        if (!c.follows) continue;
        announced.clear();
        component.EndOfMedia();
        transport.Poll();
        EXPECT_EQ(shared.CurrentIndex, *c.follows);
        EXPECT_EQ(shared.PreviousIndex, *c.follows);
        EXPECT_EQ(grid.ItemTag(*c.follows), kTagCurrent);
        if (*c.follows != c.current) EXPECT_EQ(grid.ItemTag(c.current), kTagOrdinary);
        EXPECT_EQ(announced, std::vector<std::u16string>{Location(*c.follows)});
        EXPECT_EQ(view.state, kPlaying);
        EXPECT_DOUBLE_EQ(view.thumb, Transport::kSeekLeftMin);
        EXPECT_TRUE(Polling());
    }
}

// What follows is armed again when the mode, the list or the current row change which row that is; the random
// mode keeps its draw, and a stop disarms.
TEST_F(TransportTest, TheArmedRowFollowsTheChangesOfModeListAndRow) {
    AddRows({u"a", u"b", u"c"});
    shared.PlayMode = ModeSequential;
    transport.StartChosenRow(0);
    ASSERT_TRUE(PollUntil([&] { return view.state == kPlaying; }));
    component.position = 89;
    transport.Poll();
    EXPECT_EQ(component.Armed(), u"b");
    shared.PlayMode = ModeRepeatOne;
    transport.Poll();
    EXPECT_EQ(component.Armed(), u"a");
    shared.PlayMode = ModeSequential;
    grid.SetItemText(1, column::kLocation, u"b2");
    transport.Poll();
    EXPECT_EQ(component.Armed(), u"b2");
    shared.PlayMode = ModeRandom;
    transport.Poll();
    const std::u16string drawn = component.Armed();
    EXPECT_FALSE(drawn.empty());
    for (int i = 0; i < 10; ++i) transport.Poll();
    EXPECT_EQ(component.Armed(), drawn);
    shared.PlayMode = ModeSingle;
    transport.Poll();
    EXPECT_EQ(component.Armed(), u"");
    shared.PlayMode = ModeLoop;
    transport.Stop();
    transport.PlayPause();
    ASSERT_TRUE(PollUntil([&] { return view.state == kPlaying; }));
    component.position = 89;
    transport.Poll();
    EXPECT_EQ(component.Armed(), u"b2") << "armed again after the restart";
}

// A component that stops answering holds up the window for one call at a time: the transport asks it once per poll
// and per action, never again and again in a loop, and once stopped it asks nothing more.
TEST_F(TransportTest, AComponentThatStopsAnsweringIsNeverAskedInALoop) {
    AddRows({u"a", u"b"});
    transport.StartRow(0);
    ASSERT_TRUE(PollUntil([&] { return view.state == kPlaying; }));
    component.StopAnswering();

    std::vector<int> perPoll;
    for (int i = 0; i < 10; ++i) {
        const std::size_t before = component.Calls().size();
        transport.Poll();
        perPoll.push_back(CallsSince(before));
    }
    EXPECT_EQ(std::count(perPoll.begin(), perPoll.end(), perPoll.front()), 10) << "every poll asks the same";
    EXPECT_EQ(std::count(component.Calls().end() - perPoll.back(), component.Calls().end(), "playState"), 1);

    for (const auto& action : std::vector<std::function<void()>>{
             [&] { transport.PlayTrack(MoveNext); }, [&] { transport.PlayPause(); }, [&] { transport.Stop(); }}) {
        const std::size_t before = component.Calls().size();
        action();
        EXPECT_LE(CallsSince(before), 3);
    }
    EXPECT_FALSE(Polling());
    EXPECT_EQ(view.state, kStopped);
    const std::size_t afterStop = component.Calls().size();
    PollUntil([] { return false; }, 10);
    EXPECT_EQ(component.Calls().size(), afterStop);
}

// ---------------------------------------------------------------- announcing a start

TEST_F(TransportTest, EveryStartFromTheTopIsAnnouncedButAResumeIsNot) {
    AddRows({u"song.wav"});
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
    transport.Poll();
    EXPECT_EQ(component.playState(), mediaplayer::Paused);
    transport.PlayPause();
    for (int i = 0; i < 5; ++i) transport.Poll();
    EXPECT_EQ(announced.size(), 2u);
}

TEST(RandomRow, EveryRowCanBeDrawn) {
    EXPECT_EQ(RandomRow(0.0, 3), 0);
    EXPECT_EQ(RandomRow(0.999, 3), 2);
    EXPECT_EQ(RandomRow(0.5, 1), 0);
    EXPECT_EQ(RandomRow(0.7, 0), 0);
}

// ---------------------------------------------------------------- on the real component

namespace {

class RealTransportTest : public TransportFixture {
protected:
    void AddTrack(const std::string& name, double seconds) {
        AddLocation(mediaplayer::test::WriteFile(folder / name, mediaplayer::test::WavFile(seconds)));
    }
    // Polls as the 333 ms timer would (faster, to keep the tests short) until done() or the time is up.
    static bool PollUntil(Transport& transport, const std::function<bool()>& done, double seconds = 10) {
        QElapsedTimer clock;
        clock.start();
        while (clock.elapsed() < seconds * 1000) {
            if (transport.TimerMain.Enabled()) transport.Poll();
            if (done()) return true;
            QThread::msleep(20);
        }
        return false;
    }

    mediaplayer::test::TempFolder folder;
    mediaplayer::test::WatchedOutput output;  // silent, in real time
};

}  // namespace

// A track the tests write plays to its end through GStreamer: its tags land in its row, and when nothing follows the
// sound output is closed rather than kept paused for a next track.
TEST_F(RealTransportTest, ATrackPlaysToItsEndAndTheOutputCloses) {
    MediaPlayerComponent component(output.Factory());
    Transport transport(view, shared, component);
    transport.SetGrid(grid);
    AddTrack("first song.wav", 0.4);
    std::vector<std::u16string> announced;
    transport.TrackPlaying = [&](const std::u16string& location) { announced.push_back(location); };
    shared.PlayMode = ModeSequential;
    shared.CurrentIndex = 0;
    transport.PlayPause();
    ASSERT_TRUE(PollUntil(transport, [&] { return grid.ItemTag(0) == kTagCurrent; }));
    EXPECT_EQ(grid.ItemText(0, column::kTitle), u"first song");
    EXPECT_EQ(grid.ItemText(0, column::kTime), u"00:01");
    EXPECT_EQ(view.title, QStringLiteral("first song[00:01]"));
    EXPECT_EQ(announced, std::vector<std::u16string>{Location(0)});

    ASSERT_TRUE(PollUntil(transport, [&] { return !transport.TimerMain.Enabled(); }));
    EXPECT_EQ(view.state, kStopped);
    EXPECT_EQ(component.playState(), mediaplayer::Stopped);
    EXPECT_TRUE(mediaplayer::test::WaitUntil(
        [&] {
            GstState state = GST_STATE_VOID_PENDING;
            gst_element_get_state(output.Pipeline().get(), &state, nullptr, 0);
            return state == GST_STATE_NULL;
        },
        2));
    transport.Stop();
}

// The real component's failure to open a file is seen by the poll: the row is marked and tried again.
TEST_F(RealTransportTest, AMissingFileIsMarkedAndTriedAgain) {
    MediaPlayerComponent component(output.Factory());
    Transport transport(view, shared, component);
    transport.SetGrid(grid);
    AddLocation((folder / "gone.mp3").u16string());
    transport.StartChosenRow(0);
    ASSERT_TRUE(PollUntil(transport, [&] { return transport.RetryCount() == 1; }));
    EXPECT_EQ(grid.ItemTag(0), kTagFailed);
    transport.Poll();
    EXPECT_EQ(view.state, QStringLiteral("重试中1"));
    transport.Stop();
}

// With no sound output to be had, a track still plays on in real time, and the state says there is no sound.
TEST_F(RealTransportTest, PlayingWithoutASoundOutputSaysSo) {
    MediaPlayerComponent component([] { return static_cast<GstElement*>(nullptr); });
    Transport transport(view, shared, component);
    transport.SetGrid(grid);
    AddTrack("quiet.wav", 1.5);
    transport.StartChosenRow(0);
    EXPECT_TRUE(PollUntil(transport, [&] { return view.state == QStringLiteral("无声播放"); }));
    EXPECT_EQ(grid.ItemTag(0), kTagCurrent);
    transport.Stop();
}

// On the real component, a looped list of two tracks goes round with no end ever seen: each row takes over from the
// one before, is marked and announced, and the state never reads stopped.
TEST_F(RealTransportTest, ALoopedListGoesRoundWithoutAnEndBetweenTracks) {
    MediaPlayerComponent component(output.Factory());
    Transport transport(view, shared, component);
    transport.SetGrid(grid);
    AddTrack("one.wav", 1.0);
    AddTrack("two.wav", 1.0);
    std::vector<std::u16string> announced;
    transport.TrackPlaying = [&](const std::u16string& location) { announced.push_back(location); };
    std::set<QString> states;
    view.stateWritten = [&](const QString& text) { states.insert(text); };
    shared.PlayMode = ModeLoop;
    shared.CurrentIndex = 0;
    transport.PlayPause();
    ASSERT_TRUE(PollUntil(
        transport, [&] { return announced.size() == 3; }, 8));
    EXPECT_EQ(announced, (std::vector<std::u16string>{Location(0), Location(1), Location(0)}));
    EXPECT_EQ(shared.CurrentIndex, 0);
    EXPECT_EQ(grid.ItemTag(0), kTagCurrent);
    EXPECT_EQ(grid.ItemTag(1), kTagOrdinary);
    EXPECT_EQ(grid.ItemText(1, column::kTime), u"00:01");
    EXPECT_EQ(states.count(kStopped), 0u);
    EXPECT_EQ(component.HandOvers(), 2u);
    transport.Stop();
}
