// The grid driven with real mouse and key events on its window: selection with Shift and Ctrl, rubber-band
// ranges, dragging rows, resizing columns, header buttons, check boxes, navigation keys, clicks, and the events
// each of them raises.
#include <QMimeData>
#include <QUrl>

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
    ListView& view() { return *grid.view; }
    ControlWindow* w() { return grid.window(); }
    QPoint RowPoint(int row, int x = 50) { return QPoint(x, grid.RowY(row)); }

    void Press(QPoint p, Qt::KeyboardModifiers mods = Qt::NoModifier, Qt::MouseButton b = Qt::LeftButton) {
        QTest::mousePress(w(), b, mods, p);
    }
    void Release(QPoint p, Qt::KeyboardModifiers mods = Qt::NoModifier, Qt::MouseButton b = Qt::LeftButton) {
        QTest::mouseRelease(w(), b, mods, p);
    }
    void Click(QPoint p, Qt::KeyboardModifiers mods = Qt::NoModifier) {
        Press(p, mods);
        Release(p, mods);
    }
    // A pointer move with the left button held.
    void DragTo(QPoint p) {
        QMouseEvent move(QEvent::MouseMove, QPointF(p), w()->mapToGlobal(QPointF(p)), Qt::NoButton, Qt::LeftButton,
                         Qt::NoModifier);
        QApplication::sendEvent(w(), &move);
    }
    void Hover(QPoint p) {
        QMouseEvent move(QEvent::MouseMove, QPointF(p), w()->mapToGlobal(QPointF(p)), Qt::NoButton, Qt::NoButton,
                         Qt::NoModifier);
        QApplication::sendEvent(w(), &move);
    }
    void Key(Qt::Key key, Qt::KeyboardModifiers mods = Qt::NoModifier) { QTest::keyClick(w(), key, mods); }

    std::vector<int> Selected() {
        std::vector<int> rows;
        for (int i = 0; i < view().ItemCount(); ++i)
            if (view().items()[static_cast<std::size_t>(i)].selected) rows.push_back(i);
        return rows;
    }
    std::vector<std::u16string> Texts(int column = 0) {
        std::vector<std::u16string> texts;
        for (int i = 0; i < view().ItemCount(); ++i) texts.push_back(view().ItemText(i, column));
        return texts;
    }

    GridHarness grid;
};

using Rows = std::vector<int>;

}  // namespace

TEST_F(Input, PressBelowTheRowsUnselectsAllAndReportsNoRow) {
    view().items()[1].selected = view().items()[2].selected = true;
    view().SetSelectedItem(2);
    Press(QPoint(50, 180), Qt::NoModifier, Qt::RightButton);  // only the left button lets go
    EXPECT_EQ(Selected(), (Rows{1, 2}));
    Press(QPoint(50, 180));
    EXPECT_EQ(Selected(), Rows{});
    EXPECT_EQ(view().SelectedItem(), 2);
    const auto downs = grid.Raised(event::MouseDown);
    ASSERT_EQ(downs.size(), 2u);
    EXPECT_EQ(downs[0].args[0].int32Or(), -1);
    EXPECT_EQ(downs[0].args[1].int32Or(), RightButton);
    EXPECT_EQ(downs[1].args[0].int32Or(), -1);
    EXPECT_EQ(downs[1].args[1].int32Or(), LeftButton);
    EXPECT_EQ(downs[1].args[3].doubleOr(), 50.0);
    EXPECT_EQ(downs[1].args[4].doubleOr(), 180.0);
    // Right of the columns too.
    view().items()[3].selected = true;
    Press(RowPoint(3, 250));
    EXPECT_EQ(Selected(), Rows{});
    EXPECT_EQ(grid.Raised(event::MouseDown).back().args[0].int32Or(), -1);
}

TEST_F(Input, PlainShiftAndCtrlClicks) {
    Click(RowPoint(2));
    EXPECT_EQ(Selected(), Rows{2});
    EXPECT_EQ(view().SelectedItem(), 2);
    Click(RowPoint(5), Qt::ShiftModifier);
    EXPECT_EQ(Selected(), (Rows{2, 3, 4, 5}));
    Click(RowPoint(8), Qt::ControlModifier);
    EXPECT_EQ(Selected(), (Rows{2, 3, 4, 5, 8}));
    EXPECT_EQ(view().SelectedItem(), 8);
    const auto downs = grid.Raised(event::MouseDown);
    ASSERT_EQ(downs.size(), 3u);
    EXPECT_EQ(downs[1].args[2].int32Or(), ShiftMask);
    EXPECT_EQ(downs[2].args[0].int32Or(), 8);
    EXPECT_EQ(downs[2].args[2].int32Or(), CtrlMask);
    // Click after each release, with the current row.
    const auto clicks = grid.Raised(event::Click);
    ASSERT_EQ(clicks.size(), 3u);
    EXPECT_EQ(clicks[2].args[0].int32Or(), 8);
}

TEST_F(Input, CtrlClickOnASelectedRowMakesTheNextShiftClickClearItsRange) {
    for (int row : {1, 2, 3, 4, 5}) view().items()[static_cast<std::size_t>(row)].selected = true;
    Click(RowPoint(2), Qt::ControlModifier);
    EXPECT_EQ(Selected(), (Rows{1, 3, 4, 5}));
    Click(RowPoint(4), Qt::ShiftModifier);
    EXPECT_EQ(Selected(), (Rows{1, 5}));
    EXPECT_EQ(view().SelectedItem(), 4);
    // A plain click ends the clearing.
    Click(RowPoint(7));
    Click(RowPoint(8), Qt::ShiftModifier);
    EXPECT_EQ(Selected(), (Rows{7, 8}));
}

TEST_F(Input, PlainClickInASelectionCollapsesItOnRelease) {
    for (int row : {1, 2, 3}) view().items()[static_cast<std::size_t>(row)].selected = true;
    Press(RowPoint(2));
    EXPECT_EQ(grid.side().input().State(), MouseState::MouseRowDrag);
    EXPECT_EQ(Selected(), (Rows{1, 2, 3}));  // kept while the button is down, ready to drag
    Release(RowPoint(2));
    EXPECT_EQ(Selected(), Rows{2});
    EXPECT_EQ(grid.side().input().State(), MouseState::MouseIdle);
    EXPECT_FALSE(grid.side().input().AutoScrolling());
    const auto ups = grid.Raised(event::MouseUp);
    ASSERT_EQ(ups.size(), 1u);
    EXPECT_EQ(ups[0].args[0].int32Or(), 2);
}

TEST_F(Input, DraggingSelectedRowsUpMovesThemAndTheCurrentRowFollows) {
    Click(RowPoint(2));
    Click(RowPoint(3), Qt::ShiftModifier);
    ASSERT_EQ(view().SelectedItem(), 3);
    grid.events.clear();
    Press(RowPoint(3));
    DragTo(RowPoint(2));
    EXPECT_EQ(Texts(),
              (std::vector<std::u16string>{u"r0", u"r2", u"r3", u"r1", u"r4", u"r5", u"r6", u"r7", u"r8", u"r9"}));
    EXPECT_EQ(Selected(), (Rows{1, 2}));
    EXPECT_EQ(view().SelectedItem(), 2);
    EXPECT_EQ(grid.Count(event::Reorder), 1);
    // Every later move of the same drag reports the reorder again, even without moving.
    DragTo(RowPoint(2, 60));
    EXPECT_EQ(grid.Count(event::Reorder), 2);
    EXPECT_EQ(grid.Raised(event::MouseMove).back().args[0].int32Or(), 2);
    Release(RowPoint(2));
    EXPECT_EQ(Selected(), (Rows{1, 2}));  // moved rows stay selected
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
    view().SetReorder(false);
    Press(RowPoint(3));
    EXPECT_FALSE(grid.side().input().AutoScrolling());
    DragTo(RowPoint(6));
    EXPECT_EQ(Texts()[3], u"r1");
    Release(RowPoint(6));
}

TEST_F(Input, RubberBandSelectsFromTheAnchorToThePointer) {
    Press(RowPoint(4));
    EXPECT_EQ(grid.side().input().State(), MouseState::MouseRangeSelect);
    EXPECT_TRUE(grid.side().input().AutoScrolling());
    DragTo(RowPoint(7));
    EXPECT_EQ(Selected(), (Rows{4, 5, 6, 7}));
    EXPECT_EQ(view().SelectedItem(), 7);
    DragTo(RowPoint(2));
    EXPECT_EQ(Selected(), (Rows{2, 3, 4}));
    DragTo(QPoint(50, 185));  // beyond the last row: up to the last row
    EXPECT_EQ(Selected(), (Rows{4, 5, 6, 7, 8, 9}));
    Release(QPoint(50, 185));
    EXPECT_EQ(Selected(), (Rows{4, 5, 6, 7, 8, 9}));
    EXPECT_FALSE(grid.side().input().AutoScrolling());
    // Without MultiSelect a press selects one row and starts no band.
    view().SetMultiSelect(false);
    Press(RowPoint(1));
    DragTo(RowPoint(3));
    EXPECT_EQ(Selected(), Rows{3});  // the row was dragged along instead
    Release(RowPoint(3));
}

TEST_F(Input, RubberBandScrollsWhenThePointerLeavesTheList) {
    grid.AddRows(40);
    Press(RowPoint(2));
    DragTo(QPoint(50, w()->clientRect().height() + 20));  // below the window, button held
    EXPECT_EQ(grid.side().FirstRow(), 1);
    const int moves = grid.Count(event::MouseMove);
    // The 15 ms timer keeps scrolling, and each tick sends a move.
    QTRY_VERIFY_WITH_TIMEOUT(grid.side().FirstRow() > 3 && grid.Count(event::MouseMove) > moves + 2, 5000);
    Release(QPoint(50, w()->clientRect().height() + 20));
    EXPECT_FALSE(grid.side().input().AutoScrolling());
    const int stopped = grid.side().FirstRow();
    QTest::qWait(60);  // four ticks of the timer, were it still running: that nothing moves is the point
    EXPECT_EQ(grid.side().FirstRow(), stopped);
    EXPECT_EQ(view().SelectedItem(), Selected().back());
}

TEST_F(Input, DividersResizeColumnsDownToFivePixels) {
    Hover(QPoint(102, 10));
    EXPECT_EQ(w()->cursor().shape(), Qt::SizeHorCursor);
    Hover(QPoint(50, 10));
    EXPECT_EQ(w()->cursor().shape(), Qt::ArrowCursor);
    Press(QPoint(102, 10));
    EXPECT_EQ(grid.side().input().State(), MouseState::MouseResizing);
    DragTo(QPoint(150, 10));
    EXPECT_EQ(view().columns()[0].width, 150);
    EXPECT_EQ(grid.side().layout().contentWidth, 230);
    DragTo(QPoint(-30, 10));  // left of the column's start
    EXPECT_EQ(view().columns()[0].width, 5);
    Release(QPoint(-30, 10));
    EXPECT_EQ(grid.Count(event::MouseDown), 0);  // presses on the header raise no event
    // The second column's divider now lies at 5 + 80.
    Press(QPoint(84, 10));  // from inside: right of the last column lies beside the grid
    DragTo(QPoint(105, 10));
    Release(QPoint(105, 10));
    EXPECT_EQ(view().columns()[1].width, 100);
    // A column that is not resizable keeps its width.
    view().columns()[1].resizable = false;
    Press(QPoint(103, 10));
    DragTo(QPoint(150, 10));
    Release(QPoint(150, 10));
    EXPECT_EQ(view().columns()[1].width, 100);
}

TEST_F(Input, AutoSizedColumnsIgnoreTheirDividers) {
    view().SetColumnsAutoSize(true);
    const std::int32_t first = view().columns()[0].widthAutoSized;
    const std::int32_t right = first;
    Hover(QPoint(right, 10));
    EXPECT_EQ(w()->cursor().shape(), Qt::ArrowCursor);
    Press(QPoint(right, 10));
    DragTo(QPoint(right - 40, 10));
    Release(QPoint(right - 40, 10));
    EXPECT_EQ(view().columns()[0].width, 100);
    EXPECT_EQ(view().columns()[0].widthAutoSized, first);
    EXPECT_EQ(view().columns()[0].widthAutoSized + view().columns()[1].widthAutoSized, w()->clientRect().width());
}

TEST_F(Input, HeaderClicksSortAndToggleTheOrderPerColumn) {
    const char16_t* names[] = {u"pear", u"Apple", u"fig",  u"banana", u"cherry",
                               u"kiwi", u"lime",  u"date", u"grape",  u"melon"};
    for (int i = 0; i < 10; ++i) view().SetItemText(i, 1, names[i]);
    view().SetSelectedItem(4);
    Press(QPoint(140, 10));
    EXPECT_TRUE(view().columns()[1].pushed);
    EXPECT_EQ(grid.Count(event::ColumnClick), 0);
    Release(QPoint(250, 150));  // where the pointer is let go plays no part
    EXPECT_FALSE(view().columns()[1].pushed);
    EXPECT_EQ(Texts(1)[0], u"Apple");
    EXPECT_EQ(Texts(1)[9], u"pear");
    EXPECT_EQ(view().columns()[1].lastSortOrder, SortDescending);
    EXPECT_EQ(view().SelectedItem(), 4);  // keeps its number
    ASSERT_EQ(grid.Count(event::ColumnClick), 1);
    EXPECT_EQ(grid.Raised(event::ColumnClick)[0].args[0].int32Or(), 1);
    Click(QPoint(140, 10));
    EXPECT_EQ(Texts(1)[0], u"pear");
    EXPECT_EQ(view().columns()[1].lastSortOrder, SortAscending);

    // Without Sortable the click is only reported.
    view().SetSortable(false);
    const auto before = Texts(1);
    Click(QPoint(50, 10));
    EXPECT_EQ(Texts(1), before);
    EXPECT_EQ(view().columns()[0].lastSortOrder, SortAscending);
    EXPECT_EQ(grid.Raised(event::ColumnClick).back().args[0].int32Or(), 0);
    // Near a divider nothing is pushed.
    Click(QPoint(97, 10));
    EXPECT_EQ(grid.Count(event::ColumnClick), 3);
}

TEST_F(Input, CheckBoxesToggleByMouseWithAnEventAndBySpaceWithout) {
    view().SetCheckboxes(true);
    view().items()[2].selected = true;
    view().SetSelectedItem(2);
    grid.events.clear();
    Press(RowPoint(1, 9));  // inside the box (3 < x < 15)
    EXPECT_TRUE(view().items()[1].checked);
    EXPECT_EQ(Selected(), Rows{2});
    EXPECT_EQ(view().SelectedItem(), 2);
    ASSERT_EQ(grid.Count(event::ItemCheck), 1);
    EXPECT_EQ(grid.Raised(event::ItemCheck)[0].args[0].int32Or(), 1);
    EXPECT_EQ(grid.Count(event::MouseDown), 0);
    Release(RowPoint(1, 9));
    Press(RowPoint(1, 3));  // on the box's outer line: a row press
    EXPECT_EQ(Selected(), Rows{1});
    Release(RowPoint(1, 3));
    Key(Qt::Key_Space);
    EXPECT_FALSE(view().items()[1].checked);
    EXPECT_EQ(grid.Count(event::ItemCheck), 1);
    // Ctrl+Space toggles the current row's selection as well.
    Key(Qt::Key_Space, Qt::ControlModifier);
    EXPECT_EQ(Selected(), Rows{});
    EXPECT_TRUE(view().items()[1].checked);
}

TEST_F(Input, HitTestsFindRowsAndColumnsUnderAPoint) {
    EXPECT_EQ(view().RowFromPoint(50, grid.RowY(3), true), 3);
    EXPECT_EQ(view().RowFromPoint(50, 20, true), 0);  // a row's top line belongs to it
    EXPECT_EQ(view().RowFromPoint(50, 36, false), 1);
    EXPECT_EQ(view().RowFromPoint(179, grid.RowY(3), true), 3);
    EXPECT_EQ(view().RowFromPoint(180, grid.RowY(3), true), -1);  // right of the last column
    EXPECT_EQ(view().RowFromPoint(50, 185, true), -1);            // below the last row
    EXPECT_EQ(view().RowFromPoint(50, 185, false), 10);           // the computed row, as it is
    EXPECT_EQ(view().RowFromPoint(50, 5, false), -1);             // the header band
    EXPECT_EQ(view().ColumnFromPoint(0, 0), 0);
    EXPECT_EQ(view().ColumnFromPoint(100, 0), 1);
    EXPECT_EQ(view().ColumnFromPoint(179, 0), 1);
    EXPECT_EQ(view().ColumnFromPoint(180, 0), -1);
    // A hidden column takes no room.
    std::vector<Variant> hide{Variant(u"a"), Variant::fromBool(false)};
    ASSERT_TRUE(view().Invoke(dispid::ColumnVisible, InvokeKind::PropertyPut, hide, nullptr).ok());
    EXPECT_EQ(view().ColumnFromPoint(10, 0), 1);
    EXPECT_EQ(view().ColumnFromPoint(80, 0), -1);
    // Through the dispatch interface, HitTest optional.
    Variant row;
    std::vector<Variant> args{Variant(std::int32_t(10)), Variant(std::int32_t(grid.RowY(2)))};
    ASSERT_TRUE(view().Invoke(dispid::RowFromPoint, InvokeKind::Method, args, &row).ok());
    EXPECT_EQ(row.int32Or(), 2);
}

TEST_F(Input, ArrowAndPageKeysMoveTheCurrentRowAndScroll) {
    grid.AddRows(30);  // 40 rows, about 11 on screen
    const int shown = grid.side().VisibleRowCount();
    Key(Qt::Key_Down);
    EXPECT_EQ(view().SelectedItem(), 0);  // from no current row to the first
    EXPECT_EQ(Selected(), Rows{0});
    for (int i = 0; i < shown - 2; ++i) Key(Qt::Key_Down);
    EXPECT_EQ(view().SelectedItem(), shown - 2);
    EXPECT_EQ(grid.side().FirstRow(), 0);
    Key(Qt::Key_Down);
    EXPECT_EQ(grid.side().FirstRow(), 1);  // the row went past the last fully visible one
    Key(Qt::Key_PageDown);
    EXPECT_EQ(view().SelectedItem(), 2 * shown - 2);
    EXPECT_EQ(grid.side().FirstRow(), shown);
    Key(Qt::Key_Down, Qt::ShiftModifier);
    Key(Qt::Key_Down, Qt::ShiftModifier);
    EXPECT_EQ(Selected(), (Rows{2 * shown - 2, 2 * shown - 1, 2 * shown}));
    Key(Qt::Key_Down, Qt::ControlModifier);  // moves only the mark
    EXPECT_EQ(view().SelectedItem(), 2 * shown + 1);
    EXPECT_EQ(Selected(), (Rows{2 * shown - 2, 2 * shown - 1, 2 * shown}));
    Key(Qt::Key_PageUp);
    EXPECT_EQ(Selected(), Rows{shown + 2});
    Key(Qt::Key_Up);
    EXPECT_EQ(view().SelectedItem(), shown + 1);
    EXPECT_EQ(grid.Count(event::Click), shown + 6);
    // KeyDown comes first, and the host may cancel the key.
    grid.onEvent = [](DispId id, std::span<Variant> args) {
        if (id == event::KeyDown) args[0].assign(Variant(std::int16_t(0)));
    };
    Key(Qt::Key_Down);
    EXPECT_EQ(view().SelectedItem(), shown + 1);
    EXPECT_EQ(grid.Count(event::Click), shown + 6);
    EXPECT_EQ(grid.Raised(event::KeyUp).back().args[0].int32Or(), VK_DOWN);
}

TEST_F(Input, DownOnTheLastRowKeepsItAndStillClicks) {
    view().SetSelectedItem(9);
    Key(Qt::Key_Down);
    EXPECT_EQ(view().SelectedItem(), 9);
    EXPECT_EQ(Selected(), Rows{9});
    ASSERT_EQ(grid.Count(event::Click), 1);
    EXPECT_EQ(grid.Raised(event::Click)[0].args[0].int32Or(), 9);
    // A current row set beyond the rows comes back into them.
    view().SetSelectedItem(500);
    Key(Qt::Key_Up);
    EXPECT_EQ(view().SelectedItem(), 9);
}

TEST(InputEmpty, KeysOnAnEmptyListDoNothingHarmful) {
    GridHarness grid;
    grid.AddColumn(u"a", 100);
    grid.view->SetCheckboxes(true);
    for (Qt::Key key : {Qt::Key_Down, Qt::Key_Up, Qt::Key_PageDown, Qt::Key_PageUp, Qt::Key_Space})
        QTest::keyClick(grid.window(), key);
    QTest::keyClick(grid.window(), Qt::Key_Space, Qt::ControlModifier);
    EXPECT_EQ(grid.view->SelectedItem(), -1);
    EXPECT_EQ(grid.Count(event::Click), 0);
    EXPECT_EQ(grid.Count(event::KeyDown), 7);   // the Ctrl key itself too
    EXPECT_EQ(grid.Count(event::KeyPress), 2);  // the two spaces typed
    QTest::mouseClick(grid.window(), Qt::LeftButton, Qt::NoModifier, QPoint(20, 50));
    EXPECT_EQ(grid.Raised(event::MouseDown).back().args[0].int32Or(), -1);
}

TEST_F(Input, DoubleClickNeedsASelectedCurrentRow) {
    Click(RowPoint(3));
    QTest::mouseDClick(w(), Qt::LeftButton, Qt::NoModifier, RowPoint(3));
    Release(RowPoint(3));
    ASSERT_EQ(grid.Count(event::DblClick), 1);
    EXPECT_EQ(grid.Raised(event::DblClick)[0].args[0].int32Or(), 3);
    EXPECT_EQ(grid.Count(event::Click), 1);  // the second release of a double click is no click
    EXPECT_EQ(grid.Count(event::MouseUp), 2);
    view().items()[3].selected = false;
    QTest::mouseDClick(w(), Qt::LeftButton, Qt::NoModifier, RowPoint(3));
    EXPECT_EQ(grid.Count(event::DblClick), 1);
}

TEST_F(Input, WhileDisabledOnlyReleasesClicksAndDoubleClicksReachTheHost) {
    view().SetSelectedItem(2);
    view().items()[2].selected = true;
    view().SetEnabled(false);
    Press(RowPoint(5));
    DragTo(RowPoint(6));
    Key(Qt::Key_Down);
    EXPECT_EQ(view().SelectedItem(), 2);
    EXPECT_EQ(Selected(), Rows{2});
    Release(RowPoint(6));
    QTest::mouseDClick(w(), Qt::LeftButton, Qt::NoModifier, RowPoint(5));
    std::vector<DispId> seen;
    for (const auto& e : grid.events) seen.push_back(e.id);
    EXPECT_EQ(seen, (std::vector<DispId>{event::MouseUp, event::Click, event::DblClick}));
}

TEST_F(Input, DroppedFilesReachTheHostAsADataObject) {
    view().SetOLEDropMode(OLEDropManual);
    QMimeData mime;
    // As a file manager offers them; the last name is GBK (你), not UTF-8, and reaches the host with its bytes.
    mime.setData(QStringLiteral("text/uri-list"),
                 "file:///music/a%20b.mp3\r\nfile://localhost/music/c.wma\r\nfile:///music/%C4%E3.mp3\r\n");
    std::vector<std::u16string> dropped;
    int overState = -1;
    grid.onEvent = [&](DispId id, std::span<Variant> args) {
        auto data = automation::QueryAs<automation::DataObject>(args[0].object());
        if (id == event::OLEDragOver) overState = args[6].int32Or();
        if (id == event::OLEDragDrop && data && data->GetFormat(automation::DataObject::FormatFiles))
            dropped = data->files();
    };
    QDragEnterEvent enter(QPoint(40, 60), Qt::CopyAction, &mime, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(w(), &enter);
    EXPECT_TRUE(enter.isAccepted());
    EXPECT_EQ(overState, static_cast<int>(DragState::Enter));
    QDropEvent drop(QPointF(40, 60), Qt::CopyAction, &mime, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(w(), &drop);
    EXPECT_TRUE(drop.isAccepted());
    EXPECT_EQ(dropped, (std::vector<std::u16string>{u"/music/a b.mp3", u"/music/c.wma", u"/music/\xDCC4\xDCE3.mp3"}));
    const auto drops = grid.Raised(event::OLEDragDrop);
    ASSERT_EQ(drops.size(), 1u);
    EXPECT_EQ(drops[0].args.size(), 6u);
    EXPECT_EQ(drops[0].args[1].int32Or(), DropEffectCopy);
    EXPECT_EQ(drops[0].args[4].doubleOr(), 40.0);

    // The host refuses by setting Effect to none; a disabled grid takes nothing.
    grid.onEvent = [](DispId, std::span<Variant> args) { args[1].assign(Variant(std::int32_t(DropEffectNone))); };
    QApplication::sendEvent(w(), &enter);
    QDropEvent refused(QPointF(40, 60), Qt::CopyAction, &mime, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(w(), &refused);
    EXPECT_FALSE(refused.isAccepted());
    grid.onEvent = nullptr;
    view().SetEnabled(false);
    QApplication::sendEvent(w(), &enter);
    QDropEvent disabled(QPointF(40, 60), Qt::CopyAction, &mime, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(w(), &disabled);
    EXPECT_FALSE(disabled.isAccepted());
    EXPECT_EQ(grid.Count(event::OLEDragDrop), 2);
}

// The player only reads dropped paths: a drop is always taken as a copy, so a source that honours a move never
// deletes the user's files, and a source that offers nothing but a move is refused.
TEST_F(Input, DropsAreTakenAsCopiesEvenWhenTheSourceProposesAMove) {
    view().SetOLEDropMode(OLEDropManual);
    QMimeData mime;
    mime.setUrls({QUrl::fromLocalFile("/music/a.mp3")});
    // The host accepts whatever effect it is offered, a move included.
    grid.onEvent = [](DispId, std::span<Variant> args) {
        args[1].assign(Variant(std::int32_t(DropEffectCopy | DropEffectMove)));
    };
    const Qt::DropActions both = Qt::CopyAction | Qt::MoveAction;
    QDragEnterEvent enter(QPoint(40, 60), both, &mime, Qt::LeftButton, Qt::ShiftModifier);
    QApplication::sendEvent(w(), &enter);
    QDragMoveEvent move(QPoint(42, 62), both, &mime, Qt::LeftButton, Qt::ShiftModifier);
    ASSERT_EQ(move.proposedAction(), Qt::MoveAction);
    QApplication::sendEvent(w(), &move);
    EXPECT_TRUE(move.isAccepted());
    EXPECT_EQ(move.dropAction(), Qt::CopyAction);
    QDropEvent drop(QPointF(42, 62), both, &mime, Qt::LeftButton, Qt::ShiftModifier);
    ASSERT_EQ(drop.proposedAction(), Qt::MoveAction);
    QApplication::sendEvent(w(), &drop);
    EXPECT_TRUE(drop.isAccepted());
    EXPECT_EQ(drop.dropAction(), Qt::CopyAction);

    // A new drag, from a source that offers nothing but a move.
    QDragEnterEvent enterMoveOnly(QPoint(40, 60), Qt::MoveAction, &mime, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(w(), &enterMoveOnly);
    QDragMoveEvent moveOnly(QPoint(42, 62), Qt::MoveAction, &mime, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(w(), &moveOnly);
    EXPECT_FALSE(moveOnly.isAccepted());
    EXPECT_EQ(moveOnly.dropAction(), Qt::IgnoreAction);
    QDropEvent dropMoveOnly(QPointF(42, 62), Qt::MoveAction, &mime, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(w(), &dropMoveOnly);
    EXPECT_FALSE(dropMoveOnly.isAccepted());
    EXPECT_EQ(dropMoveOnly.dropAction(), Qt::IgnoreAction);
}

TEST(InputLifetime, AHandlerMayDropTheLastReferenceToTheGrid) {
    auto grid = std::make_unique<GridHarness>();
    grid->AddColumn(u"a", 100);
    grid->AddRows(3);
    QPointer<QWidget> frame = grid->view->Widget();
    ControlWindow* window = grid->window();
    grid->onEvent = [&](DispId id, std::span<Variant>) {
        if (id == event::MouseDown) grid->view = nullptr;  // the host lets go of the control
    };
    QTest::mousePress(window, Qt::LeftButton, Qt::NoModifier, QPoint(20, 30));
    EXPECT_FALSE(grid->view);
    QTest::qWait(0);
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    EXPECT_TRUE(frame.isNull());
}
