// Finding rows and the player's keys: the matching on its own, then on the program's real windows the find box, the
// keys of the main window and of the playlist grid, and the scroll bar that follows the number of rows.
#include <gtest/gtest.h>

#include <QLineEdit>
#include <QListView>
#include <QScrollBar>
#include <QTest>

#include "media/core/MainWindow.h"
#include "media/core/ModuleMedia.h"
#include "media/core/Windows.h"
#include "media/playlist/FindBox.h"
#include "media/playlist/PlaylistRows.h"
#include "media/playlist/PlaylistWindow.h"
#include "media/playlist/RowFinder.h"
#include "platform/mediaplayer/MediaPlayer.h"
#include "tests/media/playlist/ProgramWindows.h"

using namespace media;
using Rows = std::vector<std::int32_t>;

TEST(RowFinder, EveryWordMustOccurInTitleArtistOrFileName) {
    const std::vector<FindableRow> rows = {
        {u"晴天", u"周杰伦", u"/music/jay/qingtian.mp3"},
        {u"Hello", u"Adele", u"/music/adele/25 - Hello.flac"},
        {u"Yesterday", u"The Beatles", u"/music/help/yesterday.mp3"},
        {u"后来", u"刘若英", u"C:\\歌曲\\houlai.wma"},
        {u"", u"", u"/music/untitled/Track 07.mp3"},
    };
    RowFinder finder;
    finder.Index(rows.size(), [&](std::size_t r) { return rows[r]; });
    struct Case {
        const char16_t* query;
        Rows found;
    };
    // In this order: some queries only add to the one before, some take from it, as typing does.
    const Case cases[] = {
        {u"", {0, 1, 2, 3, 4}}, {u"h", {1, 2, 3}},      {u"he", {1, 2}},    {u"hello", {1}},   {u"HELLO adele", {1}},
        {u"he", {1, 2}},        {u"beatles  yes", {2}}, {u"晴", {0}},       {u"周杰伦", {0}},  {u"zjl", {0}},
        {u"qt zjl", {0}},       {u"hl", {3}},           {u"houlai", {3}},   {u"歌曲", {}},     {u"music", {}},
        {u"track 07", {4}},     {u"mp3", {0, 2, 4}},    {u"晴天　周", {0}}, {u"adele 周", {}}, {u"  ", {0, 1, 2, 3, 4}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(QString::fromStdU16String(c.query).toStdString());
        EXPECT_EQ(finder.Find(c.query), c.found);
    }
}

TEST(RowFinder, PinyinInitialsOfCommonCharacters) {
    const std::pair<char16_t, char16_t> cases[] = {{u'啊', u'a'}, {u'周', u'z'}, {u'杰', u'j'}, {u'伦', u'l'},
                                                   {u'座', u'z'}, {u'晴', u'q'}, {u'a', 0},     {u'龘', 0}};
    for (const auto& [c, initial] : cases) EXPECT_EQ(PinyinInitial(c), initial) << int(c);
}

namespace {

const auto* windows = ::testing::AddGlobalTestEnvironment(new ProgramWindows);

class OnTheWindows : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(Grid().Valid()) << "the grid library was not found through media.manifest";
        Grid().Clear();
        frmMain().Transport().TimerMain.SetEnabled(false);
        Shared().CurrentIndex = -1;
    }
    void TearDown() override {
        frmMain().MediaPlayer().close();
        frmMain().Transport().TimerMain.SetEnabled(false);
    }
    static GridProxy& Grid() { return frmList().PlayList(); }
    static void AddSongs(const std::vector<std::pair<std::u16string, std::u16string>>& songs) {
        for (const auto& [title, artist] : songs)
            AddRow(Grid(), Grid().ItemCount() + 1, title, artist, u"00:00", u"/m/" + title + u".mp3");
    }
    // Types text as the keyboard would, Chinese characters too (as an input method hands them over).
    static void Type(QWidget* widget, const QString& text) {
        for (const QChar c : text)
            QTest::sendKeyEvent(QTest::Click, widget, Qt::Key_unknown, QString(c), Qt::NoModifier);
    }
    static void Select(std::int32_t row) {
        Grid().SetSelectedItem(row);
        Grid().SetItemSelected(row, true);
    }
    // The grid's own window, which takes the keys while the grid has the focus.
    static QWidget* GridWindow() {
        for (QWidget* w : frmList().PlayListHost().Widget()->findChildren<QWidget*>())
            if (w->focusPolicy() == Qt::StrongFocus) return w;
        return nullptr;
    }
    // The grid's vertical bar, as the host's ScrolVisible shows or hides it.
    static bool ScrollBarShown() {
        for (const QScrollBar* bar : frmList().PlayListHost().Widget()->findChildren<QScrollBar*>())
            if (bar->orientation() == Qt::Vertical) return !bar->isHidden();
        return false;
    }
};

}  // namespace

TEST_F(OnTheWindows, TheFindBoxNarrowsMovesPlaysAndCloses) {
    AddSongs({{u"晴天", u"周杰伦"}, {u"Hello", u"Adele"}, {u"七里香", u"周杰伦"}, {u"Yesterday", u"The Beatles"}});
    frmList().OpenFindBox();
    FindBox* box = frmList().FindBoxIfMade();
    ASSERT_NE(box, nullptr);
    EXPECT_TRUE(box->isVisible());
    Type(box->Query(), QStringLiteral("周杰伦"));
    EXPECT_EQ(box->Results()->model()->rowCount(), 2);
    EXPECT_EQ(box->ChosenRow(), 0);
    QTest::keyClick(box->Query(), Qt::Key_Down);
    EXPECT_EQ(box->ChosenRow(), 2);
    QTest::keyClick(box->Query(), Qt::Key_Down);  // stays on the last result
    EXPECT_EQ(box->ChosenRow(), 2);
    QTest::keyClick(box->Query(), Qt::Key_Return);
    EXPECT_FALSE(box->isVisible());
    EXPECT_EQ(Shared().CurrentIndex, 2);
    EXPECT_EQ(frmMain().MediaPlayer().URL(), u"/m/七里香.mp3");
    EXPECT_EQ(Grid().SelectedItem(), 2) << "the row played is the one picked in the list";
    EXPECT_TRUE(Grid().ItemSelected(2));
    EXPECT_FALSE(Grid().ItemSelected(0));
    EXPECT_TRUE(frmMain().Transport().TimerMain.Enabled());
    // Opened again, the last query is there to be typed over; Escape closes without playing.
    frmMain().Transport().TimerMain.SetEnabled(false);
    frmList().OpenFindBox();
    EXPECT_EQ(box->Query()->selectedText(), QStringLiteral("周杰伦"));
    Type(box->Query(), QStringLiteral("yes"));
    EXPECT_EQ(box->ChosenRow(), 3);
    QTest::keyClick(box->Query(), Qt::Key_Escape);
    EXPECT_FALSE(box->isVisible());
    EXPECT_EQ(Shared().CurrentIndex, 2);
    // Rows added while it was closed are found the next time.
    AddSongs({{u"稻香", u"周杰伦"}});
    frmList().OpenFindBox();
    Type(box->Query(), QStringLiteral("dx"));
    EXPECT_EQ(box->ChosenRow(), 4);
    QTest::keyClick(box->Query(), Qt::Key_Escape);
}

TEST_F(OnTheWindows, MainWindowKeysRunTheButtonsHandlers) {
    MainWindow& main = frmMain();
    main.SetVolume(50);
    const double thumb = main.ImgVolume.Left();
    QTest::keyClick(&main, Qt::Key_Up);
    EXPECT_EQ(main.MediaPlayer().settings().volume(), 55);
    EXPECT_GT(main.ImgVolume.Left(), thumb) << "the thumb follows";
    QTest::keyClick(&main, Qt::Key_Down);
    QTest::keyClick(&main, Qt::Key_Down);
    EXPECT_EQ(main.MediaPlayer().settings().volume(), 45);
    const bool muted = main.MediaPlayer().settings().mute();
    QTest::keyClick(&main, Qt::Key_M);
    EXPECT_NE(main.MediaPlayer().settings().mute(), muted);
    QTest::keyClick(&main, Qt::Key_M);
    EXPECT_EQ(main.MediaPlayer().settings().mute(), muted);
    // Stopped, the next button is disabled, and so is its key.
    AddSongs({{u"a", u""}, {u"b", u""}});
    main.Transport().Stop();
    ASSERT_FALSE(main.ImgNext.Enabled());
    QTest::keyClick(&main, Qt::Key_B);
    EXPECT_EQ(Shared().CurrentIndex, -1);
    QTest::keyClick(&main, Qt::Key_F, Qt::ControlModifier);
    ASSERT_NE(frmList().FindBoxIfMade(), nullptr);
    EXPECT_TRUE(frmList().FindBoxIfMade()->isVisible());
    QTest::keyClick(frmList().FindBoxIfMade()->Query(), Qt::Key_Escape);
}

TEST_F(OnTheWindows, GridKeysPlayAndRemoveAndKeepTheirArrows) {
    AddSongs({{u"a", u""}, {u"b", u""}, {u"c", u""}});
    QWidget* grid = GridWindow();
    ASSERT_NE(grid, nullptr);
    Select(1);
    QTest::keyClick(grid, Qt::Key_Return);
    EXPECT_EQ(Shared().CurrentIndex, 1);
    EXPECT_EQ(frmMain().MediaPlayer().URL(), u"/m/b.mp3");
    // The arrows up and down move in the list here, not the volume.
    const int volume = frmMain().MediaPlayer().settings().volume();
    QTest::keyClick(grid, Qt::Key_Down);
    EXPECT_EQ(Grid().SelectedItem(), 2);
    EXPECT_EQ(frmMain().MediaPlayer().settings().volume(), volume);
    QTest::keyClick(grid, Qt::Key_Delete);
    EXPECT_EQ(Grid().ItemCount(), 2);
    EXPECT_EQ(Grid().ItemText(1, column::kTitle), u"b");
    // The player's keys work from the grid too.
    QTest::keyClick(grid, Qt::Key_J);
    ASSERT_NE(frmList().FindBoxIfMade(), nullptr);
    EXPECT_TRUE(frmList().FindBoxIfMade()->isVisible());
    QTest::keyClick(frmList().FindBoxIfMade()->Query(), Qt::Key_Escape);
}

TEST_F(OnTheWindows, TheScrollBarFollowsAddsRemovalsAndClearing) {
    struct Step {
        const char* what;
        std::function<void()> change;
        bool shown;
    };
    auto add = [](int n) {
        return [n] {
            for (int i = 0; i < n; ++i) AddSongs({{u"song", u""}});
        };
    };
    const Step steps[] = {
        {"three rows", add(3), false},
        {"forty more", add(40), true},
        {"all but three removed",
         [] {
             while (Grid().ItemCount() > 3) Grid().RemoveItem(0);
         },
         false},
        {"forty more again", add(40), true},
        {"cleared", [] { Grid().Clear(); }, false},
    };
    for (const Step& step : steps) {
        SCOPED_TRACE(step.what);
        step.change();
        QCoreApplication::processEvents();
        EXPECT_EQ(ScrollBarShown(), step.shown);
    }
}
