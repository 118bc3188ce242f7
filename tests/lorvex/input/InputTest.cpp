// The grid driven with real mouse and key events on its window: selection with Shift and Ctrl, rubber-band
// ranges, dragging rows, resizing columns, header buttons, check boxes, navigation keys, clicks, and the events
// each of them raises.
#include <QMenu>
#include <QMimeData>
#include <QTimer>
#include <QUrl>
#include <QWheelEvent>

#include "tests/lorvex/input/GridHarness.h"

using namespace lorvex;
using namespace lorvex::test;

namespace {

// A 300 x 200 grid: two columns of 100 and 80 pixels, a 20-pixel header, rows 16 high, rows "r0".."r9".
class Input : public ::testing::Test {
protected:
    void SetUp() override {
        grid.AddColumn(u"a", 100);
        grid.AddColumn(u"b", 80);
        grid.AddRows(10);
        grid.events.clear();
    }
    ListView& View() { return *grid.view; }
    ControlWindow* W() { return grid.Window(); }
    QPoint RowPoint(int row, int x = 50) { return QPoint(x, grid.RowY(row)); }

    void Press(QPoint p, Qt::KeyboardModifiers mods = Qt::NoModifier, Qt::MouseButton b = Qt::LeftButton) {
        QTest::mousePress(W(), b, mods, p);
    }
    void Release(QPoint p, Qt::KeyboardModifiers mods = Qt::NoModifier, Qt::MouseButton b = Qt::LeftButton) {
        QTest::mouseRelease(W(), b, mods, p);
    }
    void Click(QPoint p, Qt::KeyboardModifiers mods = Qt::NoModifier) {
        Press(p, mods);
        Release(p, mods);
    }
    // A pointer move with the left button held.
    void DragTo(QPoint p) {
        QMouseEvent move(QEvent::MouseMove, QPointF(p), W()->mapToGlobal(QPointF(p)), Qt::NoButton, Qt::LeftButton,
                         Qt::NoModifier);
        QApplication::sendEvent(W(), &move);
    }
    void Hover(QPoint p) {
        QMouseEvent move(QEvent::MouseMove, QPointF(p), W()->mapToGlobal(QPointF(p)), Qt::NoButton, Qt::NoButton,
                         Qt::NoModifier);
        QApplication::sendEvent(W(), &move);
    }
    void Key(Qt::Key key, Qt::KeyboardModifiers mods = Qt::NoModifier) { QTest::keyClick(W(), key, mods); }

    std::vector<int> Selected() {
        std::vector<int> rows;
        for (int i = 0; i < View().ItemCount(); ++i)
            if (View().Items()[static_cast<std::size_t>(i)].selected) rows.push_back(i);
        return rows;
    }
    std::vector<std::u16string> Texts(int column = 0) {
        std::vector<std::u16string> texts;
        for (int i = 0; i < View().ItemCount(); ++i) texts.push_back(View().ItemText(i, column));
        return texts;
    }

    GridHarness grid;
};

using Rows = std::vector<int>;

}  // namespace

TEST_F(Input, PressBelowTheRowsUnselectsAllAndReportsNoRow) {
    View().Items()[1].selected = View().Items()[2].selected = true;
    View().SetSelectedItem(2);
    Press(QPoint(50, 180), Qt::NoModifier, Qt::RightButton);  // only the left button lets go
    EXPECT_EQ(Selected(), (Rows{1, 2}));
    Press(QPoint(50, 180));
    EXPECT_EQ(Selected(), Rows{});
    EXPECT_EQ(View().SelectedItem(), 2);
    const auto downs = grid.Raised(event::MouseDown);
    ASSERT_EQ(downs.size(), 2u);
    EXPECT_EQ(downs[0].args[0].Int32Or(), -1);
    EXPECT_EQ(downs[0].args[1].Int32Or(), kRightButton);
    EXPECT_EQ(downs[1].args[0].Int32Or(), -1);
    EXPECT_EQ(downs[1].args[1].Int32Or(), kLeftButton);
    EXPECT_EQ(downs[1].args[3].DoubleOr(), 50.0);
    EXPECT_EQ(downs[1].args[4].DoubleOr(), 180.0);
    // Right of the columns too.
    View().Items()[3].selected = true;
    Press(RowPoint(3, 250));
    EXPECT_EQ(Selected(), Rows{});
    EXPECT_EQ(grid.Raised(event::MouseDown).back().args[0].Int32Or(), -1);
}

TEST_F(Input, PlainShiftAndCtrlClicks) {
    Click(RowPoint(2));
    EXPECT_EQ(Selected(), Rows{2});
    EXPECT_EQ(View().SelectedItem(), 2);
    Click(RowPoint(5), Qt::ShiftModifier);
    EXPECT_EQ(Selected(), (Rows{2, 3, 4, 5}));
    Click(RowPoint(8), Qt::ControlModifier);
    EXPECT_EQ(Selected(), (Rows{2, 3, 4, 5, 8}));
    EXPECT_EQ(View().SelectedItem(), 8);
    const auto downs = grid.Raised(event::MouseDown);
    ASSERT_EQ(downs.size(), 3u);
    EXPECT_EQ(downs[1].args[2].Int32Or(), kShiftMask);
    EXPECT_EQ(downs[2].args[0].Int32Or(), 8);
    EXPECT_EQ(downs[2].args[2].Int32Or(), kCtrlMask);
    // Click after each release, with the current row.
    const auto clicks = grid.Raised(event::Click);
    ASSERT_EQ(clicks.size(), 3u);
    EXPECT_EQ(clicks[2].args[0].Int32Or(), 8);
}

TEST_F(Input, CtrlClickOnASelectedRowMakesTheNextShiftClickClearItsRange) {
    for (int row : {1, 2, 3, 4, 5}) View().Items()[static_cast<std::size_t>(row)].selected = true;
    Click(RowPoint(2), Qt::ControlModifier);
    EXPECT_EQ(Selected(), (Rows{1, 3, 4, 5}));
    Click(RowPoint(4), Qt::ShiftModifier);
    EXPECT_EQ(Selected(), (Rows{1, 5}));
    EXPECT_EQ(View().SelectedItem(), 4);
    // A plain click ends the clearing.
    Click(RowPoint(7));
    Click(RowPoint(8), Qt::ShiftModifier);
    EXPECT_EQ(Selected(), (Rows{7, 8}));
}

TEST_F(Input, PlainClickInASelectionCollapsesItOnRelease) {
    for (int row : {1, 2, 3}) View().Items()[static_cast<std::size_t>(row)].selected = true;
    Press(RowPoint(2));
    EXPECT_EQ(grid.Side().Input().State(), MouseState::MouseRowDrag);
    EXPECT_EQ(Selected(), (Rows{1, 2, 3}));  // kept while the button is down, ready to drag
    Release(RowPoint(2));
    EXPECT_EQ(Selected(), Rows{2});
    EXPECT_EQ(grid.Side().Input().State(), MouseState::MouseIdle);
    EXPECT_FALSE(grid.Side().Input().AutoScrolling());
    const auto ups = grid.Raised(event::MouseUp);
    ASSERT_EQ(ups.size(), 1u);
    EXPECT_EQ(ups[0].args[0].Int32Or(), 2);
}

TEST_F(Input, DraggingSelectedRowsUpMovesThemAndTheCurrentRowFollows) {
    Click(RowPoint(2));
    Click(RowPoint(3), Qt::ShiftModifier);
    ASSERT_EQ(View().SelectedItem(), 3);
    grid.events.clear();
    Press(RowPoint(3));
    DragTo(RowPoint(2));
    EXPECT_EQ(Texts(),
              (std::vector<std::u16string>{u"r0", u"r2", u"r3", u"r1", u"r4", u"r5", u"r6", u"r7", u"r8", u"r9"}));
    EXPECT_EQ(Selected(), (Rows{1, 2}));
    EXPECT_EQ(View().SelectedItem(), 2);
    EXPECT_EQ(grid.Count(event::Reorder), 1);
    // Every later move of the same drag reports the reorder again, even without moving.
    DragTo(RowPoint(2, 60));
    EXPECT_EQ(grid.Count(event::Reorder), 2);
    EXPECT_EQ(grid.Raised(event::MouseMove).back().args[0].Int32Or(), 2);
    Release(RowPoint(2));
    EXPECT_EQ(Selected(), (Rows{1, 2}));  // moved rows stay selected
}

// A host that opens a popup menu from a right press, as the player does: the menu takes the pointer, so the
// press's release never reaches the grid. The next drag, on a row the user has not picked, moves no rows.
TEST_F(Input, ADragAfterAPopupMenuMovesNoRowsTheUserDidNotPick) {
    QMenu menu;
    menu.addAction(QStringLiteral("item"));
    grid.onEvent = [&](DispId id, std::span<Variant> args) {
        if (id != event::MouseDown || args[1].Deref().Int32Or() != kRightButton) return;
        QTimer::singleShot(50, [] {
            if (QWidget* popup = QApplication::activePopupWidget()) QTest::keyClick(popup, Qt::Key_Escape);
        });
        menu.exec(W()->mapToGlobal(RowPoint(3)));
    };
    const std::vector<std::u16string> before = Texts();
    struct Case {
        const char* name;
        bool hoverFirst;  // the pointer moves over the rows, no button held, before the next press
    };
    for (const Case& c : {Case{"moved then pressed", true}, Case{"pressed at once", false}}) {
        SCOPED_TRACE(c.name);
        Press(RowPoint(3), Qt::NoModifier, Qt::RightButton);
        EXPECT_FALSE(menu.isVisible());
        if (c.hoverFirst) {
            Hover(RowPoint(7));
            EXPECT_EQ(grid.Side().Input().State(), MouseState::MouseIdle);
            EXPECT_FALSE(grid.Side().Input().AutoScrolling());
        }
        // A press on a row the user has not picked starts a rubber band: nothing moves.
        Press(RowPoint(7));
        DragTo(RowPoint(8));
        Release(RowPoint(8));
        ASSERT_EQ(Texts(), before);
        EXPECT_EQ(Selected(), (Rows{7, 8}));
    }
    // The row the menu was opened on is picked, and drags alone.
    Press(RowPoint(3), Qt::NoModifier, Qt::RightButton);
    Hover(RowPoint(3));
    Press(RowPoint(3));
    DragTo(RowPoint(5));
    Release(RowPoint(5));
    EXPECT_EQ(Texts()[5], u"r3");
    EXPECT_EQ(Texts()[3], u"r4");
    EXPECT_EQ(Selected(), Rows{5});
}

TEST_F(Input, RowsThatCannotAllMoveStayWhereTheyAre) {
    Click(RowPoint(0));
    Click(RowPoint(1), Qt::ShiftModifier);
    Press(RowPoint(1));
    DragTo(QPoint(50, 5));  // up, into the header band: row 0 would leave the list
    EXPECT_EQ(Texts()[0], u"r0");
    EXPECT_EQ(Texts()[1], u"r1");
    EXPECT_EQ(grid.Count(event::Reorder), 0);
    Release(QPoint(50, 5));
    EXPECT_EQ(Selected(), Rows{1});  // nothing moved: the click collapsed the selection
    // Downwards works, and without Reorder nothing moves at all.
    Press(RowPoint(1));
    DragTo(RowPoint(3));
    EXPECT_EQ(Texts()[1], u"r2");
    EXPECT_EQ(Texts()[3], u"r1");
    Release(RowPoint(3));
    View().SetReorder(false);
    Press(RowPoint(3));
    EXPECT_FALSE(grid.Side().Input().AutoScrolling());
    DragTo(RowPoint(6));
    EXPECT_EQ(Texts()[3], u"r1");
    Release(RowPoint(6));
}

TEST_F(Input, RubberBandSelectsFromTheAnchorToThePointer) {
    Press(RowPoint(4));
    EXPECT_EQ(grid.Side().Input().State(), MouseState::MouseRangeSelect);
    EXPECT_TRUE(grid.Side().Input().AutoScrolling());
    DragTo(RowPoint(7));
    EXPECT_EQ(Selected(), (Rows{4, 5, 6, 7}));
    EXPECT_EQ(View().SelectedItem(), 7);
    DragTo(RowPoint(2));
    EXPECT_EQ(Selected(), (Rows{2, 3, 4}));
    DragTo(QPoint(50, 185));  // beyond the last row: up to the last row
    EXPECT_EQ(Selected(), (Rows{4, 5, 6, 7, 8, 9}));
    Release(QPoint(50, 185));
    EXPECT_EQ(Selected(), (Rows{4, 5, 6, 7, 8, 9}));
    EXPECT_FALSE(grid.Side().Input().AutoScrolling());
    // Without MultiSelect a press selects one row and starts no band.
    View().SetMultiSelect(false);
    Press(RowPoint(1));
    DragTo(RowPoint(3));
    EXPECT_EQ(Selected(), Rows{3});  // the row was dragged along instead
    Release(RowPoint(3));
}

TEST_F(Input, RubberBandScrollsWhenThePointerLeavesTheList) {
    grid.AddRows(40);
    Press(RowPoint(2));
    DragTo(QPoint(50, W()->ClientRect().height() + 20));  // below the window, button held
    EXPECT_EQ(grid.Side().FirstRow(), 1);
    const int moves = grid.Count(event::MouseMove);
    // The 15 ms timer keeps scrolling, and each tick sends a move.
    QTRY_VERIFY_WITH_TIMEOUT(grid.Side().FirstRow() > 3 && grid.Count(event::MouseMove) > moves + 2, 5000);
    Release(QPoint(50, W()->ClientRect().height() + 20));
    EXPECT_FALSE(grid.Side().Input().AutoScrolling());
    const int stopped = grid.Side().FirstRow();
    QTest::qWait(60);  // four ticks of the timer, were it still running: that nothing moves is the point
    EXPECT_EQ(grid.Side().FirstRow(), stopped);
    EXPECT_EQ(View().SelectedItem(), Selected().back());
}

TEST_F(Input, DividersResizeColumnsDownToFivePixels) {
    Hover(QPoint(102, 10));
    EXPECT_EQ(W()->cursor().shape(), Qt::SizeHorCursor);
    Hover(QPoint(50, 10));
    EXPECT_EQ(W()->cursor().shape(), Qt::ArrowCursor);
    Press(QPoint(102, 10));
    EXPECT_EQ(grid.Side().Input().State(), MouseState::MouseResizing);
    DragTo(QPoint(150, 10));
    EXPECT_EQ(View().Columns()[0].width, 150);
    EXPECT_EQ(grid.Side().Layout().contentWidth, 230);
    DragTo(QPoint(-30, 10));  // left of the column's start
    EXPECT_EQ(View().Columns()[0].width, 5);
    Release(QPoint(-30, 10));
    EXPECT_EQ(grid.Count(event::MouseDown), 0);  // presses on the header raise no event
    // The second column's divider now lies at 5 + 80.
    Press(QPoint(84, 10));  // from inside: right of the last column lies beside the grid
    DragTo(QPoint(105, 10));
    Release(QPoint(105, 10));
    EXPECT_EQ(View().Columns()[1].width, 100);
    // A column that is not resizable keeps its width.
    View().Columns()[1].resizable = false;
    Press(QPoint(103, 10));
    DragTo(QPoint(150, 10));
    Release(QPoint(150, 10));
    EXPECT_EQ(View().Columns()[1].width, 100);
}

TEST_F(Input, AutoSizedColumnsIgnoreTheirDividers) {
    View().SetColumnsAutoSize(true);
    const std::int32_t first = View().Columns()[0].widthAutoSized;
    const std::int32_t right = first;
    Hover(QPoint(right, 10));
    EXPECT_EQ(W()->cursor().shape(), Qt::ArrowCursor);
    Press(QPoint(right, 10));
    DragTo(QPoint(right - 40, 10));
    Release(QPoint(right - 40, 10));
    EXPECT_EQ(View().Columns()[0].width, 100);
    EXPECT_EQ(View().Columns()[0].widthAutoSized, first);
    EXPECT_EQ(View().Columns()[0].widthAutoSized + View().Columns()[1].widthAutoSized, W()->ClientRect().width());
}

TEST_F(Input, HeaderClicksSortAndToggleTheOrderPerColumn) {
    const char16_t* names[] = {u"pear", u"Apple", u"fig",  u"banana", u"cherry",
                               u"kiwi", u"lime",  u"date", u"grape",  u"melon"};
    for (int i = 0; i < 10; ++i) View().SetItemText(i, 1, names[i]);
    View().SetSelectedItem(4);
    Press(QPoint(140, 10));
    EXPECT_TRUE(View().Columns()[1].pushed);
    EXPECT_EQ(grid.Count(event::ColumnClick), 0);
    Release(QPoint(250, 150));  // where the pointer is let go plays no part
    EXPECT_FALSE(View().Columns()[1].pushed);
    EXPECT_EQ(Texts(1)[0], u"Apple");
    EXPECT_EQ(Texts(1)[9], u"pear");
    EXPECT_EQ(View().Columns()[1].lastSortOrder, SortDescending);
    EXPECT_EQ(View().SelectedItem(), 4);  // keeps its number
    ASSERT_EQ(grid.Count(event::ColumnClick), 1);
    EXPECT_EQ(grid.Raised(event::ColumnClick)[0].args[0].Int32Or(), 1);
    Click(QPoint(140, 10));
    EXPECT_EQ(Texts(1)[0], u"pear");
    EXPECT_EQ(View().Columns()[1].lastSortOrder, SortAscending);

    // Without Sortable the click is only reported.
    View().SetSortable(false);
    const auto before = Texts(1);
    Click(QPoint(50, 10));
    EXPECT_EQ(Texts(1), before);
    EXPECT_EQ(View().Columns()[0].lastSortOrder, SortAscending);
    EXPECT_EQ(grid.Raised(event::ColumnClick).back().args[0].Int32Or(), 0);
    // Near a divider nothing is pushed.
    Click(QPoint(97, 10));
    EXPECT_EQ(grid.Count(event::ColumnClick), 3);
}

TEST_F(Input, CheckBoxesToggleByMouseWithAnEventAndBySpaceWithout) {
    View().SetCheckboxes(true);
    View().Items()[2].selected = true;
    View().SetSelectedItem(2);
    grid.events.clear();
    Press(RowPoint(1, 9));  // inside the box (3 < x < 15)
    EXPECT_TRUE(View().Items()[1].checked);
    EXPECT_EQ(Selected(), Rows{2});
    EXPECT_EQ(View().SelectedItem(), 2);
    ASSERT_EQ(grid.Count(event::ItemCheck), 1);
    EXPECT_EQ(grid.Raised(event::ItemCheck)[0].args[0].Int32Or(), 1);
    EXPECT_EQ(grid.Count(event::MouseDown), 0);
    Release(RowPoint(1, 9));
    Press(RowPoint(1, 3));  // on the box's outer line: a row press
    EXPECT_EQ(Selected(), Rows{1});
    Release(RowPoint(1, 3));
    Key(Qt::Key_Space);
    EXPECT_FALSE(View().Items()[1].checked);
    EXPECT_EQ(grid.Count(event::ItemCheck), 1);
    // Ctrl+Space toggles the current row's selection as well.
    Key(Qt::Key_Space, Qt::ControlModifier);
    EXPECT_EQ(Selected(), Rows{});
    EXPECT_TRUE(View().Items()[1].checked);
}

TEST_F(Input, HitTestsFindRowsAndColumnsUnderAPoint) {
    EXPECT_EQ(View().RowFromPoint(50, grid.RowY(3), true), 3);
    EXPECT_EQ(View().RowFromPoint(50, 20, true), 0);  // a row's top line belongs to it
    EXPECT_EQ(View().RowFromPoint(50, 36, false), 1);
    EXPECT_EQ(View().RowFromPoint(179, grid.RowY(3), true), 3);
    EXPECT_EQ(View().RowFromPoint(180, grid.RowY(3), true), -1);  // right of the last column
    EXPECT_EQ(View().RowFromPoint(50, 185, true), -1);            // below the last row
    EXPECT_EQ(View().RowFromPoint(50, 185, false), 10);           // the computed row, as it is
    EXPECT_EQ(View().RowFromPoint(50, 5, false), -1);             // the header band
    EXPECT_EQ(View().ColumnFromPoint(0, 0), 0);
    EXPECT_EQ(View().ColumnFromPoint(100, 0), 1);
    EXPECT_EQ(View().ColumnFromPoint(179, 0), 1);
    EXPECT_EQ(View().ColumnFromPoint(180, 0), -1);
    // A hidden column takes no room.
    std::vector<Variant> hide{Variant(u"a"), Variant::FromBool(false)};
    ASSERT_TRUE(View().Invoke(dispid::ColumnVisible, InvokeKind::PropertyPut, hide, nullptr).Ok());
    EXPECT_EQ(View().ColumnFromPoint(10, 0), 1);
    EXPECT_EQ(View().ColumnFromPoint(80, 0), -1);
    // Through the dispatch interface, HitTest optional.
    Variant row;
    std::vector<Variant> args{Variant(std::int32_t(10)), Variant(std::int32_t(grid.RowY(2)))};
    ASSERT_TRUE(View().Invoke(dispid::RowFromPoint, InvokeKind::Method, args, &row).Ok());
    EXPECT_EQ(row.Int32Or(), 2);
}

TEST_F(Input, ArrowAndPageKeysMoveTheCurrentRowAndScroll) {
    grid.AddRows(30);  // 40 rows, about 11 on screen
    const int shown = grid.Side().VisibleRowCount();
    Key(Qt::Key_Down);
    EXPECT_EQ(View().SelectedItem(), 0);  // from no current row to the first
    EXPECT_EQ(Selected(), Rows{0});
    for (int i = 0; i < shown - 2; ++i) Key(Qt::Key_Down);
    EXPECT_EQ(View().SelectedItem(), shown - 2);
    EXPECT_EQ(grid.Side().FirstRow(), 0);
    Key(Qt::Key_Down);
    EXPECT_EQ(grid.Side().FirstRow(), 1);  // the row went past the last fully visible one
    Key(Qt::Key_PageDown);
    EXPECT_EQ(View().SelectedItem(), 2 * shown - 2);
    EXPECT_EQ(grid.Side().FirstRow(), shown);
    Key(Qt::Key_Down, Qt::ShiftModifier);
    Key(Qt::Key_Down, Qt::ShiftModifier);
    EXPECT_EQ(Selected(), (Rows{2 * shown - 2, 2 * shown - 1, 2 * shown}));
    Key(Qt::Key_Down, Qt::ControlModifier);  // moves only the mark
    EXPECT_EQ(View().SelectedItem(), 2 * shown + 1);
    EXPECT_EQ(Selected(), (Rows{2 * shown - 2, 2 * shown - 1, 2 * shown}));
    Key(Qt::Key_PageUp);
    EXPECT_EQ(Selected(), Rows{shown + 2});
    Key(Qt::Key_Up);
    EXPECT_EQ(View().SelectedItem(), shown + 1);
    EXPECT_EQ(grid.Count(event::Click), shown + 6);
    // KeyDown comes first, and the host may cancel the key.
    grid.onEvent = [](DispId id, std::span<Variant> args) {
        if (id == event::KeyDown) args[0].Assign(Variant(std::int16_t(0)));
    };
    Key(Qt::Key_Down);
    EXPECT_EQ(View().SelectedItem(), shown + 1);
    EXPECT_EQ(grid.Count(event::Click), shown + 6);
    EXPECT_EQ(grid.Raised(event::KeyUp).back().args[0].Int32Or(), VK_DOWN);
}

TEST_F(Input, DownOnTheLastRowKeepsItAndStillClicks) {
    View().SetSelectedItem(9);
    Key(Qt::Key_Down);
    EXPECT_EQ(View().SelectedItem(), 9);
    EXPECT_EQ(Selected(), Rows{9});
    ASSERT_EQ(grid.Count(event::Click), 1);
    EXPECT_EQ(grid.Raised(event::Click)[0].args[0].Int32Or(), 9);
    // A current row set beyond the rows comes back into them.
    View().SetSelectedItem(500);
    Key(Qt::Key_Up);
    EXPECT_EQ(View().SelectedItem(), 9);
}

TEST(InputEmpty, KeysOnAnEmptyListDoNothingHarmful) {
    GridHarness grid;
    grid.AddColumn(u"a", 100);
    grid.view->SetCheckboxes(true);
    for (Qt::Key key : {Qt::Key_Down, Qt::Key_Up, Qt::Key_PageDown, Qt::Key_PageUp, Qt::Key_Space})
        QTest::keyClick(grid.Window(), key);
    QTest::keyClick(grid.Window(), Qt::Key_Space, Qt::ControlModifier);
    EXPECT_EQ(grid.view->SelectedItem(), -1);
    EXPECT_EQ(grid.Count(event::Click), 0);
    EXPECT_EQ(grid.Count(event::KeyDown), 7);   // the Ctrl key itself too
    EXPECT_EQ(grid.Count(event::KeyPress), 2);  // the two spaces typed
    QTest::mouseClick(grid.Window(), Qt::LeftButton, Qt::NoModifier, QPoint(20, 50));
    EXPECT_EQ(grid.Raised(event::MouseDown).back().args[0].Int32Or(), -1);
}

// The wheel scrolls whenever rows lie beyond the view, whether the host shows the bar or keeps it hidden.
TEST_F(Input, TheWheelScrollsWheneverRowsOverflow) {
    struct Case {
        int extraRows;
        bool barShown;
        int firstRow;  // after one notch towards the user
    };
    const int lines = WheelScrollLines();
    for (const Case& c : {Case{0, false, 0}, Case{0, true, 0}, Case{40, true, lines}, Case{40, false, lines}}) {
        SCOPED_TRACE(::testing::Message() << c.extraRows << " more rows, bar shown " << c.barShown);
        grid.AddRows(c.extraRows);
        View().SetScrolVisible(c.barShown);
        View().Refresh();
        grid.Bars().SetValue(kBarVertical, 0);
        QWheelEvent wheel(QPointF(RowPoint(2)), W()->mapToGlobal(QPointF(RowPoint(2))), QPoint(), QPoint(0, -120),
                          Qt::NoButton, Qt::NoModifier, Qt::NoScrollPhase, false);
        QApplication::sendEvent(W(), &wheel);
        EXPECT_EQ(grid.Side().FirstRow(), c.firstRow);
    }
}

TEST_F(Input, DoubleClickNeedsASelectedCurrentRow) {
    Click(RowPoint(3));
    QTest::mouseDClick(W(), Qt::LeftButton, Qt::NoModifier, RowPoint(3));
    Release(RowPoint(3));
    ASSERT_EQ(grid.Count(event::DblClick), 1);
    EXPECT_EQ(grid.Raised(event::DblClick)[0].args[0].Int32Or(), 3);
    EXPECT_EQ(grid.Count(event::Click), 1);  // the second release of a double click is no click
    EXPECT_EQ(grid.Count(event::MouseUp), 2);
    View().Items()[3].selected = false;
    QTest::mouseDClick(W(), Qt::LeftButton, Qt::NoModifier, RowPoint(3));
    EXPECT_EQ(grid.Count(event::DblClick), 1);
}

TEST_F(Input, WhileDisabledOnlyReleasesClicksAndDoubleClicksReachTheHost) {
    View().SetSelectedItem(2);
    View().Items()[2].selected = true;
    View().SetEnabled(false);
    Press(RowPoint(5));
    DragTo(RowPoint(6));
    Key(Qt::Key_Down);
    EXPECT_EQ(View().SelectedItem(), 2);
    EXPECT_EQ(Selected(), Rows{2});
    Release(RowPoint(6));
    QTest::mouseDClick(W(), Qt::LeftButton, Qt::NoModifier, RowPoint(5));
    std::vector<DispId> seen;
    for (const auto& e : grid.events) seen.push_back(e.id);
    EXPECT_EQ(seen, (std::vector<DispId>{event::MouseUp, event::Click, event::DblClick}));
}

TEST_F(Input, DroppedFilesReachTheHostAsADataObject) {
    View().SetOLEDropMode(OLEDropManual);
    QMimeData mime;
    // As a file manager offers them; the last name is GBK (你), not UTF-8, and reaches the host with its bytes.
    mime.setData(QStringLiteral("text/uri-list"),
                 "file:///music/a%20b.mp3\r\nfile://localhost/music/c.wma\r\nfile:///music/%C4%E3.mp3\r\n");
    std::vector<std::u16string> dropped;
    int overState = -1;
    grid.onEvent = [&](DispId id, std::span<Variant> args) {
        auto data = automation::QueryAs<automation::DataObject>(args[0].Object());
        if (id == event::OLEDragOver) overState = args[6].Int32Or();
        if (id == event::OLEDragDrop && data && data->GetFormat(automation::DataObject::FormatFiles))
            dropped = data->Files();
    };
    QDragEnterEvent enter(QPoint(40, 60), Qt::CopyAction, &mime, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(W(), &enter);
    EXPECT_TRUE(enter.isAccepted());
    EXPECT_EQ(overState, static_cast<int>(DragState::Enter));
    QDropEvent drop(QPointF(40, 60), Qt::CopyAction, &mime, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(W(), &drop);
    EXPECT_TRUE(drop.isAccepted());
    EXPECT_EQ(dropped, (std::vector<std::u16string>{u"/music/a b.mp3", u"/music/c.wma", u"/music/\xDCC4\xDCE3.mp3"}));
    const auto drops = grid.Raised(event::OLEDragDrop);
    ASSERT_EQ(drops.size(), 1u);
    EXPECT_EQ(drops[0].args.size(), 6u);
    EXPECT_EQ(drops[0].args[1].Int32Or(), kDropEffectCopy);
    EXPECT_EQ(drops[0].args[4].DoubleOr(), 40.0);

    // The host refuses by setting Effect to none; a disabled grid takes nothing.
    grid.onEvent = [](DispId, std::span<Variant> args) { args[1].Assign(Variant(std::int32_t(kDropEffectNone))); };
    QApplication::sendEvent(W(), &enter);
    QDropEvent refused(QPointF(40, 60), Qt::CopyAction, &mime, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(W(), &refused);
    EXPECT_FALSE(refused.isAccepted());
    grid.onEvent = nullptr;
    View().SetEnabled(false);
    QApplication::sendEvent(W(), &enter);
    QDropEvent disabled(QPointF(40, 60), Qt::CopyAction, &mime, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(W(), &disabled);
    EXPECT_FALSE(disabled.isAccepted());
    EXPECT_EQ(grid.Count(event::OLEDragDrop), 2);
}

// The player only reads dropped paths: a drop is always taken as a copy, so a source that honours a move never
// deletes the user's files, and a source that offers nothing but a move is refused.
TEST_F(Input, DropsAreTakenAsCopiesEvenWhenTheSourceProposesAMove) {
    View().SetOLEDropMode(OLEDropManual);
    QMimeData mime;
    mime.setUrls({QUrl::fromLocalFile("/music/a.mp3")});
    // The host accepts whatever effect it is offered, a move included.
    grid.onEvent = [](DispId, std::span<Variant> args) {
        args[1].Assign(Variant(std::int32_t(kDropEffectCopy | kDropEffectMove)));
    };
    const Qt::DropActions both = Qt::CopyAction | Qt::MoveAction;
    QDragEnterEvent enter(QPoint(40, 60), both, &mime, Qt::LeftButton, Qt::ShiftModifier);
    QApplication::sendEvent(W(), &enter);
    QDragMoveEvent move(QPoint(42, 62), both, &mime, Qt::LeftButton, Qt::ShiftModifier);
    ASSERT_EQ(move.proposedAction(), Qt::MoveAction);
    QApplication::sendEvent(W(), &move);
    EXPECT_TRUE(move.isAccepted());
    EXPECT_EQ(move.dropAction(), Qt::CopyAction);
    QDropEvent drop(QPointF(42, 62), both, &mime, Qt::LeftButton, Qt::ShiftModifier);
    ASSERT_EQ(drop.proposedAction(), Qt::MoveAction);
    QApplication::sendEvent(W(), &drop);
    EXPECT_TRUE(drop.isAccepted());
    EXPECT_EQ(drop.dropAction(), Qt::CopyAction);

    // A new drag, from a source that offers nothing but a move.
    QDragEnterEvent enterMoveOnly(QPoint(40, 60), Qt::MoveAction, &mime, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(W(), &enterMoveOnly);
    QDragMoveEvent moveOnly(QPoint(42, 62), Qt::MoveAction, &mime, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(W(), &moveOnly);
    EXPECT_FALSE(moveOnly.isAccepted());
    EXPECT_EQ(moveOnly.dropAction(), Qt::IgnoreAction);
    QDropEvent dropMoveOnly(QPointF(42, 62), Qt::MoveAction, &mime, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(W(), &dropMoveOnly);
    EXPECT_FALSE(dropMoveOnly.isAccepted());
    EXPECT_EQ(dropMoveOnly.dropAction(), Qt::IgnoreAction);
}

TEST(InputLifetime, AHandlerMayDropTheLastReferenceToTheGrid) {
    auto grid = std::make_unique<GridHarness>();
    grid->AddColumn(u"a", 100);
    grid->AddRows(3);
    QPointer<QWidget> frame = grid->view->Widget();
    ControlWindow* window = grid->Window();
    grid->onEvent = [&](DispId id, std::span<Variant>) {
        if (id == event::MouseDown) grid->view = nullptr;  // the host lets go of the control
    };
    QTest::mousePress(window, Qt::LeftButton, Qt::NoModifier, QPoint(20, 30));
    EXPECT_FALSE(grid->view);
    QTest::qWait(0);
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    EXPECT_TRUE(frame.isNull());
}
