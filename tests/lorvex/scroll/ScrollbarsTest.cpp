// The scroll-bar object over a window's two bars: values kept in the window's scroll information, the requests
// and wheel turns it answers, the events it raises; and how the grid scrolls its rows with it.
#include <optional>

#include "lorvex/listview/Scrollbars.h"
#include "tests/lorvex/input/GridHarness.h"
#include "tests/lorvex/scroll/ScrollBarParts.h"

using namespace lorvex;
using namespace lorvex::test;

namespace {

class Recorder : public ScrollbarsEvents {
public:
    void ScrollClick(int& bar, int& button) override {
        log.push_back("click " + std::to_string(bar) + " " + std::to_string(button));
    }
    void Scroll(int& bar) override { log.push_back("scroll " + std::to_string(bar)); }
    void Change(int& bar) override {
        log.push_back("change " + std::to_string(bar) + " " + std::to_string(bars->Value(bar)));
    }
    void MouseWheel(int& bar, int& amount) override {
        log.push_back("wheel " + std::to_string(bar) + " " + std::to_string(amount));
        if (wheelOverride) amount = *wheelOverride;
    }
    std::vector<std::string> log;
    Scrollbars* bars = nullptr;
    std::optional<int> wheelOverride;
};

void Wheel(QWidget* target, int delta) {
    QWheelEvent wheel(QPointF(20, 20), target->mapToGlobal(QPointF(20, 20)), QPoint(), QPoint(0, delta), Qt::NoButton,
                      Qt::NoModifier, Qt::NoScrollPhase, false);
    QApplication::sendEvent(target, &wheel);
}

// A bare window whose vertical bar runs over 100 rows with 10 to a page.
class Bars : public ::testing::Test {
protected:
    void SetUp() override {
        window.resize(200, 200);
        window.show();
        QTest::qWait(0);
        recorder.bars = &bars;
        bars.Create(window.Handle());
        bars.SetVisible(kBarVertical, true);
        bars.SetEnabled(kBarVertical, true);
        bars.SetLargeChange(kBarVertical, 10);
        bars.SetMax(kBarVertical, 89);
        recorder.log.clear();
    }
    QScrollBar* VerticalBar() { return window.findChildren<QScrollBar*>().at(SB_VERT); }

    ControlWindow window;
    Recorder recorder;
    Scrollbars bars{&recorder};
};

}  // namespace

TEST_F(Bars, RangeAndPageLiveInTheWindowsScrollInformation) {
    EXPECT_EQ(bars.Max(kBarVertical), 89);
    EXPECT_EQ(bars.LargeChange(kBarVertical), 10);
    EXPECT_EQ(window.GetScrollInfo(SB_VERT).max, 99);
    EXPECT_EQ(window.GetScrollInfo(SB_VERT).page, 10);
    bars.SetValue(kBarVertical, 1000);
    EXPECT_EQ(bars.Value(kBarVertical), 90);  // Max + 1
    bars.SetLargeChange(kBarVertical, 20);    // the page grows, Max stays
    EXPECT_EQ(bars.Max(kBarVertical), 89);
    EXPECT_EQ(window.GetScrollInfo(SB_VERT).max, 109);
    bars.SetMin(kBarVertical, 5);
    EXPECT_EQ(bars.Min(kBarVertical), 5);
    EXPECT_EQ(bars.Max(kBarVertical), 89);
    bars.SetValue(kBarVertical, 0);
    EXPECT_EQ(bars.Value(kBarVertical), 5);
    EXPECT_EQ(recorder.log, (std::vector<std::string>{"change 1 90", "change 1 5"}));
    // Setting the value it already has raises nothing.
    bars.SetValue(kBarVertical, 5);
    EXPECT_EQ(recorder.log.size(), 2u);
    // A smaller Max pulls the position in and reports it.
    bars.SetValue(kBarVertical, 80);
    bars.SetMax(kBarVertical, 40);
    EXPECT_EQ(bars.Value(kBarVertical), 41);
    EXPECT_EQ(recorder.log.back(), "change 1 41");
}

TEST_F(Bars, ArrowsStepUpToOneBeyondMaxAndTheBottomRequestGoesToMax) {
    const QPoint down = ScrollBarPart(VerticalBar(), QStyle::SC_ScrollBarAddLine);
    bars.SetValue(kBarVertical, 88);
    recorder.log.clear();
    for (int i = 0; i < 4; ++i) QTest::mouseClick(VerticalBar(), Qt::LeftButton, Qt::NoModifier, down);
    EXPECT_EQ(bars.Value(kBarVertical), 90);
    EXPECT_EQ(recorder.log, (std::vector<std::string>{"change 1 89", "click 1 1", "change 1 90", "click 1 1",
                                                      "click 1 1", "click 1 1"}));
    window.SendMessage(WM_VSCROLL, MAKEWPARAM(SB_BOTTOM, 0), 0);
    EXPECT_EQ(bars.Value(kBarVertical), 89);
    window.SendMessage(WM_VSCROLL, MAKEWPARAM(SB_TOP, 0), 0);
    EXPECT_EQ(bars.Value(kBarVertical), 0);
    window.SendMessage(WM_VSCROLL, MAKEWPARAM(SB_LINEUP, 0), 0);
    EXPECT_EQ(bars.Value(kBarVertical), 0);
    window.SendMessage(WM_VSCROLL, MAKEWPARAM(SB_PAGEDOWN, 0), 0);
    EXPECT_EQ(bars.Value(kBarVertical), 10);
    bars.SetSmallChange(kBarVertical, 4);
    window.SendMessage(WM_VSCROLL, MAKEWPARAM(SB_LINEDOWN, 0), 0);
    EXPECT_EQ(bars.Value(kBarVertical), 14);
    window.SendMessage(WM_VSCROLL, MAKEWPARAM(SB_THUMBPOSITION, 50), 0);  // the drag already took it
    EXPECT_EQ(bars.Value(kBarVertical), 14);
}

TEST_F(Bars, DraggingTheThumbReportsEachPositionAsChangeAndNothingOnRelease) {
    QScrollBar* bar = VerticalBar();
    const QPoint thumb = ScrollBarPart(bar, QStyle::SC_ScrollBarSlider);
    QTest::mousePress(bar, Qt::LeftButton, Qt::NoModifier, thumb);
    for (int dy : {10, 25, 40}) {
        QMouseEvent move(QEvent::MouseMove, QPointF(thumb + QPoint(0, dy)),
                         bar->mapToGlobal(QPointF(thumb + QPoint(0, dy))), Qt::NoButton, Qt::LeftButton,
                         Qt::NoModifier);
        QApplication::sendEvent(bar, &move);
    }
    const std::vector<std::string> tracked = recorder.log;
    ASSERT_EQ(tracked.size(), 3u);
    for (const std::string& entry : tracked) EXPECT_EQ(entry.rfind("change 1 ", 0), 0u) << entry;
    EXPECT_GT(bars.Value(kBarVertical), 0);
    QTest::mouseRelease(bar, Qt::LeftButton, Qt::NoModifier, thumb + QPoint(0, 40));
    EXPECT_EQ(recorder.log.size(), 4u);
    EXPECT_EQ(recorder.log.back(), "click 1 1");  // the press itself, reported when it is over
}

TEST_F(Bars, WheelNotchesScrollByLinesTimesTheStep) {
    bars.SetValue(kBarVertical, 20);
    recorder.log.clear();
    Wheel(&window, -120);  // one notch towards the user
    EXPECT_EQ(bars.Value(kBarVertical), 20 + WheelScrollLines());
    Wheel(&window, 240);
    EXPECT_EQ(bars.Value(kBarVertical), 20 - WheelScrollLines());
    // A fine wheel's parts of a notch add up to one.
    Wheel(&window, -60);
    EXPECT_EQ(bars.Value(kBarVertical), 20 - WheelScrollLines());
    Wheel(&window, -60);
    EXPECT_EQ(bars.Value(kBarVertical), 20);
    const std::string lines = std::to_string(WheelScrollLines());
    EXPECT_EQ(recorder.log.front(), "wheel 1 " + lines);
    EXPECT_EQ(recorder.log[2], "wheel 1 -" + std::to_string(2 * WheelScrollLines()));
    // The handler may change the amount; a disabled or hidden bar does not move.
    recorder.wheelOverride = 7;
    Wheel(&window, -120);
    EXPECT_EQ(bars.Value(kBarVertical), 27);
    bars.SetEnabled(kBarVertical, false);
    Wheel(&window, -120);
    EXPECT_EQ(bars.Value(kBarVertical), 27);
    EXPECT_EQ(window.SendMessage(WM_MOUSEWHEEL, MAKEWPARAM(0, -120), 0), 0);
    bars.SetEnabled(kBarVertical, true);
    EXPECT_EQ(window.SendMessage(WM_MOUSEWHEEL, MAKEWPARAM(0, -120), 0), 1);  // handled
}

TEST_F(Bars, ClicksOnTheBarsVisibilityAndLettingGo) {
    window.SendMessage(WM_NCRBUTTONDOWN, HTVSCROLL, 0);
    window.SendMessage(WM_NCLBUTTONDOWN, HTHSCROLL, 0);
    window.SendMessage(WM_NCMBUTTONDOWN, HTVSCROLL, 0);
    window.SendMessage(WM_NCLBUTTONDOWN, HTNOWHERE, 0);
    EXPECT_EQ(recorder.log, (std::vector<std::string>{"click 1 2", "click 0 1"}));
    EXPECT_FALSE(bars.CanBeFlat());
    bars.SetStyle(2);
    EXPECT_EQ(bars.Style(), 0);
    bars.SetOrientation(kOrientationHorizontal);
    EXPECT_TRUE(window.IsScrollBarVisible(SB_HORZ));
    EXPECT_FALSE(window.IsScrollBarVisible(SB_VERT));
    bars.SetVisible(kBarVertical, true);
    EXPECT_TRUE(window.IsScrollBarVisible(SB_VERT));
    bars.SetEnabled(kBarVertical, false);
    EXPECT_FALSE(window.IsScrollBarEnabled(SB_VERT));

    // Once let go the window's requests reach nothing, and values read as 0.
    bars.Terminate();
    EXPECT_FALSE(bars.Attached());
    window.SendMessage(WM_VSCROLL, MAKEWPARAM(SB_BOTTOM, 0), 0);
    EXPECT_EQ(window.GetScrollInfo(SB_VERT).pos, 0);
    EXPECT_EQ(bars.Value(kBarVertical), 0);
    bars.Create(0);  // ignored
    EXPECT_FALSE(bars.Attached());
    bars.Create(window.Handle());
    EXPECT_TRUE(bars.Attached());
    window.SendMessage(WM_VSCROLL, MAKEWPARAM(SB_BOTTOM, 0), 0);
    EXPECT_EQ(bars.Value(kBarVertical), 89);
}

// ---------------------------------------------------------------- the grid's scrolling

namespace {

// 100 rows of 16 pixels under a 20-pixel header in a list band of 170 pixels: 11 rows fit.
class GridScroll : public ::testing::Test {
protected:
    void SetUp() override {
        grid.AddColumn(u"a", 100);
        grid.AddRows(100);
    }
    GridHarness grid{300, 192};
};

}  // namespace

TEST_F(GridScroll, HundredRowsElevenVisibleGiveMax89AndTheFirstRowReaches90) {
    ASSERT_EQ(grid.Side().Layout().listBottom - grid.Side().Layout().listTop, 170);
    EXPECT_EQ(grid.Side().VisibleRowCount(), 11);
    EXPECT_EQ(grid.Bars().Max(kBarVertical), 89);
    EXPECT_TRUE(grid.Bars().Enabled(kBarVertical));
    grid.Window()->SendMessage(WM_VSCROLL, MAKEWPARAM(SB_PAGEDOWN, 0), 0);
    EXPECT_EQ(grid.Side().FirstRow(), 10);
    for (int i = 0; i < 20; ++i) grid.Window()->SendMessage(WM_VSCROLL, MAKEWPARAM(SB_PAGEDOWN, 0), 0);
    EXPECT_EQ(grid.Side().FirstRow(), 90);
    // The last row is then fully visible at the bottom.
    EXPECT_EQ(grid.view->RowFromPoint(10, 20 + 9 * 16 + 1, true), 99);
    EXPECT_EQ(grid.view->RowFromPoint(10, 20 + 10 * 16 + 1, true), -1);
}

TEST_F(GridScroll, TheListFollowsTheThumbAndTheWheel) {
    QScrollBar* bar = grid.Window()->findChildren<QScrollBar*>().at(SB_VERT);
    const QPoint thumb = ScrollBarPart(bar, QStyle::SC_ScrollBarSlider);
    QTest::mousePress(bar, Qt::LeftButton, Qt::NoModifier, thumb);
    QMouseEvent move(QEvent::MouseMove, QPointF(thumb + QPoint(0, 30)),
                     bar->mapToGlobal(QPointF(thumb + QPoint(0, 30))), Qt::NoButton, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(bar, &move);
    const int dragged = grid.Side().FirstRow();
    EXPECT_GT(dragged, 0);
    QTest::mouseRelease(bar, Qt::LeftButton, Qt::NoModifier, thumb + QPoint(0, 30));
    EXPECT_EQ(grid.Side().FirstRow(), dragged);
    EXPECT_EQ(grid.view->RowFromPoint(10, 21, false), dragged);

    grid.Bars().SetValue(kBarVertical, 0);
    Wheel(grid.Window(), -120);  // one notch towards the user
    EXPECT_EQ(grid.Side().FirstRow(), 3);
    Wheel(grid.Window(), 120);
    EXPECT_EQ(grid.Side().FirstRow(), 0);
    Wheel(bar, -120);  // over the bar itself too
    EXPECT_EQ(grid.Side().FirstRow(), 3);
    // The painted rows follow: the top row is now "r3".
    EXPECT_EQ(grid.view->RowFromPoint(10, 21, true), 3);
}

TEST_F(GridScroll, ADisabledGridDisablesItsBarOnTheNextRefresh) {
    ASSERT_TRUE(grid.Window()->IsScrollBarEnabled(SB_VERT));
    grid.view->SetEnabled(false);  // runs Refresh
    EXPECT_FALSE(grid.Bars().Enabled(kBarVertical));
    EXPECT_FALSE(grid.Window()->IsScrollBarEnabled(SB_VERT));
    Wheel(grid.Window(), -120);
    EXPECT_EQ(grid.Side().FirstRow(), 0);
    grid.view->SetEnabled(true);
    EXPECT_TRUE(grid.Window()->IsScrollBarEnabled(SB_VERT));
}

TEST_F(GridScroll, RowsThatAllFitLeaveNothingScrolledAway) {
    grid.Bars().SetValue(kBarVertical, 50);
    grid.view->SetEnabled(false);
    for (int i = 0; i < 95; ++i) grid.view->RemoveItem(0);
    grid.view->SetEnabled(true);
    EXPECT_FALSE(grid.Bars().Enabled(kBarVertical));
    EXPECT_EQ(grid.Bars().Max(kBarVertical), 0);
    EXPECT_EQ(grid.Side().FirstRow(), 0);
    grid.view->RemoveItem(0);
    grid.AddRows(1);
    EXPECT_EQ(grid.Side().FirstRow(), 0);
}

TEST_F(GridScroll, MakeSureVisibleScrollsTheRowToTheTopAndTheColumnToTheLeft) {
    grid.view->MakeSureVisible(40, -1);
    EXPECT_EQ(grid.Side().FirstRow(), 40);
    grid.view->MakeSureVisible(500, -1);
    EXPECT_EQ(grid.Side().FirstRow(), 90);
    grid.view->MakeSureVisible(-5, 0);
    EXPECT_EQ(grid.Side().FirstRow(), 0);
    grid.view->SetScrolVisible(false);
    EXPECT_FALSE(grid.Window()->IsScrollBarVisible(SB_VERT));
    grid.view->SetScrolVisible(true);
    EXPECT_TRUE(grid.Window()->IsScrollBarVisible(SB_VERT));
}

TEST(GridScrollSideways, MakeSureVisibleAndTheHorizontalBarFollowTheContentWidth) {
    GridHarness grid(300, 200);
    grid.AddColumn(u"a", 150);
    grid.AddColumn(u"b", 150);
    grid.AddColumn(u"c", 150);
    grid.AddRows(5);
    const int client = grid.Window()->ClientRect().width();
    EXPECT_TRUE(grid.Window()->IsScrollBarVisible(SB_HORZ));
    EXPECT_EQ(grid.Bars().Max(kBarHorizontal), 450 - client - 1);
    EXPECT_EQ(grid.Bars().LargeChange(kBarHorizontal), 225);
    EXPECT_EQ(grid.Bars().SmallChange(kBarHorizontal), 3);
    grid.view->MakeSureVisible(0, 2);
    EXPECT_EQ(grid.Bars().Value(kBarHorizontal), 450 - client);  // as far as it goes: the platform limits it
    grid.view->MakeSureVisible(0, 1);
    EXPECT_EQ(grid.Bars().Value(kBarHorizontal), 150);
    EXPECT_EQ(grid.view->ColumnFromPoint(0, 0), 1);
    // Narrow columns fit again: the bar goes and the content returns to the left edge.
    for (std::int32_t column : {1, 2}) {
        std::vector<Variant> narrow{Variant(column), Variant(std::int32_t(60))};
        ASSERT_TRUE(grid.view->Invoke(dispid::ColumnWidth, InvokeKind::PropertyPut, narrow, nullptr).Ok());
    }
    EXPECT_FALSE(grid.Window()->IsScrollBarVisible(SB_HORZ));
    EXPECT_EQ(grid.Bars().Value(kBarHorizontal), 0);
    EXPECT_EQ(grid.view->ColumnFromPoint(0, 0), 0);
}
