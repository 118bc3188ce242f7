// The window's standard bars keep the platform's scroll-information rules, and the user's actions on
// them arrive as scroll requests without moving anything by themselves.
#include "MessageLog.h"
#include "tests/lorvex/scroll/ScrollBarParts.h"

#include <QApplication>
#include <QScrollBar>
#include <QStyle>
#include <QStyleOptionSlider>
#include <QTest>

#include <gtest/gtest.h>

using namespace lorvex;
using lorvex::test::Message;
using lorvex::test::MessageLog;

namespace {

ScrollInfo Info(int min, int max, int page, int pos, std::uint32_t mask = SIF_ALL) {
    ScrollInfo result;
    result.mask = mask;
    result.min = min;
    result.max = max;
    result.page = page;
    result.pos = pos;
    return result;
}

class ScrollBars : public ::testing::Test {
protected:
    void SetUp() override {
        window.resize(200, 200);
        window.ShowScrollBar(SB_BOTH, true);
        window.SetScrollInfo(SB_VERT, Info(0, 99, 10, 5));
        window.SetScrollInfo(SB_HORZ, Info(0, 500, 100, 0));
        window.show();
        QTest::qWait(0);
        vertical = window.findChildren<QScrollBar*>().at(SB_VERT);
        horizontal = window.findChildren<QScrollBar*>().at(SB_HORZ);
    }

    static QPoint PartOf(QScrollBar* bar, QStyle::SubControl part) { return lorvex::test::ScrollBarPart(bar, part); }

    std::vector<Message> ScrollMessages(const MessageLog& log) const {
        return log.Of({WM_VSCROLL, WM_HSCROLL, WM_NCLBUTTONDOWN, WM_NCRBUTTONDOWN, WM_NCMBUTTONDOWN});
    }

    ControlWindow window;
    QScrollBar* vertical = nullptr;
    QScrollBar* horizontal = nullptr;
};

LPARAM ScreenPoint(QWidget* widget, QPoint point) {
    const QPoint global = widget->mapToGlobal(point);
    return MAKELPARAM(global.x(), global.y());
}

}  // namespace

TEST(ScrollInfoRules, PositionStaysWithinRangeLessPage) {
    ControlWindow window;
    // 100 rows, 10 per page: the first row can go to 90; with a page of 11 to 89.
    EXPECT_EQ(window.SetScrollInfo(SB_VERT, Info(0, 99, 10, 500)), 90);
    EXPECT_EQ(window.SetScrollInfo(SB_VERT, Info(0, 0, 11, 0, SIF_PAGE)), 89);
    EXPECT_EQ(window.SetScrollInfo(SB_VERT, Info(0, 0, 0, -3, SIF_POS)), 0);
    // Without a page the whole range is reachable.
    EXPECT_EQ(window.SetScrollInfo(SB_VERT, Info(0, 0, 0, 1000, SIF_PAGE | SIF_POS)), 99);
    // A page larger than the range shrinks to the range.
    window.SetScrollInfo(SB_HORZ, Info(0, 5, 100, 3));
    EXPECT_EQ(window.GetScrollInfo(SB_HORZ).page, 6);
    EXPECT_EQ(window.GetScrollInfo(SB_HORZ).pos, 0);
    // An inverted range becomes 0..0.
    window.SetScrollInfo(SB_HORZ, Info(10, 2, 0, 0, SIF_RANGE));
    EXPECT_EQ(window.GetScrollInfo(SB_HORZ).min, 0);
    EXPECT_EQ(window.GetScrollInfo(SB_HORZ).max, 0);
    // Only the masked fields change.
    window.SetScrollInfo(SB_VERT, Info(0, 49, 0, 0, SIF_RANGE));
    const ScrollInfo vertical = window.GetScrollInfo(SB_VERT);
    EXPECT_EQ(vertical.max, 49);
    EXPECT_EQ(vertical.page, 0);
    EXPECT_EQ(vertical.pos, 49);
    EXPECT_EQ(window.SetScrollInfo(7, Info(0, 9, 1, 1)), 0);  // no such bar
}

TEST_F(ScrollBars, ArrowClickRequestsALineAndMovesNothingByItself) {
    MessageLog log(window);
    const QPoint arrow = PartOf(vertical, QStyle::SC_ScrollBarAddLine);
    QTest::mouseClick(vertical, Qt::LeftButton, Qt::NoModifier, arrow);
    EXPECT_EQ(ScrollMessages(log), (std::vector<Message>{{WM_VSCROLL, SB_LINEDOWN, 0},
                                                         {WM_VSCROLL, SB_ENDSCROLL, 0},
                                                         {WM_NCLBUTTONDOWN, HTVSCROLL, ScreenPoint(vertical, arrow)}}));
    EXPECT_EQ(window.GetScrollInfo(SB_VERT).pos, 5);
    EXPECT_EQ(vertical->value(), 5);
    EXPECT_EQ(vertical->sliderPosition(), 5);

    // The window moves the bar by answering the request.
    const WindowProc previous = window.SetWindowProc([&](WindowHandle h, std::uint32_t msg, WPARAM w, LPARAM l) {
        if (msg == WM_VSCROLL && LOWORD(w) == SB_LINEDOWN) {
            ScrollInfo next = window.GetScrollInfo(SB_VERT);
            next.mask = SIF_POS;
            next.pos += 1;
            window.SetScrollInfo(SB_VERT, next);
        }
        return previous(h, msg, w, l);
    });
    QTest::mouseClick(vertical, Qt::LeftButton, Qt::NoModifier, arrow);
    EXPECT_EQ(window.GetScrollInfo(SB_VERT).pos, 6);
    EXPECT_EQ(vertical->value(), 6);
}

TEST_F(ScrollBars, PageClicksAndHorizontalArrows) {
    MessageLog log(window);
    QTest::mouseClick(vertical, Qt::LeftButton, Qt::NoModifier, PartOf(vertical, QStyle::SC_ScrollBarAddPage));
    QTest::mouseClick(horizontal, Qt::LeftButton, Qt::NoModifier, PartOf(horizontal, QStyle::SC_ScrollBarSubLine));
    const auto requests = log.Of({WM_VSCROLL, WM_HSCROLL});
    ASSERT_EQ(requests.size(), 4u);
    EXPECT_EQ(requests[0], (Message{WM_VSCROLL, SB_PAGEDOWN, 0}));
    EXPECT_EQ(requests[2], (Message{WM_HSCROLL, SB_LINELEFT, 0}));
    EXPECT_EQ(log.Of({WM_NCLBUTTONDOWN}).back().wParam, HTHSCROLL);
    EXPECT_EQ(window.GetScrollInfo(SB_HORZ).pos, 0);
    EXPECT_EQ(vertical->value(), 5);
}

TEST_F(ScrollBars, ThumbDragTracksWithoutMovingThePosition) {
    MessageLog log(window);
    const QPoint thumb = PartOf(vertical, QStyle::SC_ScrollBarSlider);
    QTest::mousePress(vertical, Qt::LeftButton, Qt::NoModifier, thumb);
    QMouseEvent move(QEvent::MouseMove, QPointF(thumb + QPoint(0, 40)),
                     vertical->mapToGlobal(QPointF(thumb + QPoint(0, 40))), Qt::NoButton, Qt::LeftButton,
                     Qt::NoModifier);
    QApplication::sendEvent(vertical, &move);

    const ScrollInfo tracking = window.GetScrollInfo(SB_VERT);
    EXPECT_EQ(tracking.pos, 5);
    EXPECT_GT(tracking.trackPos, 5);
    const auto tracks = log.Of({WM_VSCROLL});
    ASSERT_EQ(tracks.size(), 1u);
    EXPECT_EQ(tracks[0], (Message{WM_VSCROLL, MAKEWPARAM(SB_THUMBTRACK, tracking.trackPos), 0}));

    QTest::mouseRelease(vertical, Qt::LeftButton, Qt::NoModifier, thumb + QPoint(0, 40));
    EXPECT_EQ(ScrollMessages(log),
              (std::vector<Message>{tracks[0],
                                    {WM_VSCROLL, MAKEWPARAM(SB_THUMBPOSITION, tracking.trackPos), 0},
                                    {WM_VSCROLL, SB_ENDSCROLL, 0},
                                    {WM_NCLBUTTONDOWN, HTVSCROLL, ScreenPoint(vertical, thumb)}}));
    // Nobody took the tracked position: the thumb goes back.
    EXPECT_EQ(vertical->value(), 5);
    EXPECT_EQ(vertical->sliderPosition(), 5);
    EXPECT_EQ(window.GetScrollInfo(SB_VERT).trackPos, 5);
}

TEST_F(ScrollBars, OtherButtonsAndDisabledBarsOnlyReportTheClick) {
    MessageLog log(window);
    const QPoint arrow = PartOf(vertical, QStyle::SC_ScrollBarAddLine);
    QTest::mouseClick(vertical, Qt::RightButton, Qt::NoModifier, arrow);
    QTest::mouseClick(vertical, Qt::MiddleButton, Qt::NoModifier, arrow);
    window.EnableScrollBar(SB_VERT, false);
    EXPECT_FALSE(window.IsScrollBarEnabled(SB_VERT));
    QTest::mouseClick(vertical, Qt::LeftButton, Qt::NoModifier, arrow);
    EXPECT_EQ(ScrollMessages(log), (std::vector<Message>{{WM_NCRBUTTONDOWN, HTVSCROLL, ScreenPoint(vertical, arrow)},
                                                         {WM_NCMBUTTONDOWN, HTVSCROLL, ScreenPoint(vertical, arrow)},
                                                         {WM_NCLBUTTONDOWN, HTVSCROLL, ScreenPoint(vertical, arrow)}}));
    // None of it reached the client area.
    EXPECT_TRUE(log.Of({WM_LBUTTONDOWN, WM_RBUTTONDOWN, WM_MBUTTONDOWN, WM_LBUTTONUP}).empty());
    EXPECT_EQ(vertical->value(), 5);
}
