#include "lorvex/listview/ListViewInput.h"

#include <QApplication>

#include <algorithm>
#include <cstdlib>
#include <utility>
#include <vector>

#include "lorvex/listview/ListView.h"
#include "lorvex/listview/ListViewWindow.h"
#include "platform/automation/DataObject.h"

namespace lorvex {

namespace {

constexpr int kDividerReach = 5;  // pixels either side of a column's right edge that grab its divider
constexpr int kMinColumnWidth = 5;
constexpr int kAutoScrollMargin = 3;

Variant Integer(int v) { return Variant(static_cast<std::int16_t>(v)); }
Variant Single(int v) { return Variant(static_cast<float>(v)); }

// Position of a mouse event and its buttons, as the mouse events carry them.
std::vector<Variant> MouseArgs(std::int32_t item, int button, int shift, int x, int y) {
    return {Variant(item), Integer(button), Integer(shift), Single(x), Single(y)};
}

}  // namespace

ListViewInput::ListViewInput(ListView& view, ListViewWindow& window) : view_(view), window_(window) {
    tmrMove_.setInterval(kAutoScrollInterval);
    QObject::connect(&tmrMove_, &QTimer::timeout, [this] {
        ListViewWindow::MessageScope scope(view_);
        AutoScrollTick();
    });
}

bool ListViewInput::ValidRow(std::int32_t row) const { return view_.Items().Contains(row); }

std::int64_t ListViewInput::ContentX(int x) const { return std::int64_t{x} + window_.HorizontalOffset(); }

std::int32_t ListViewInput::RowUnder(int y) const {
    return window_.Layout().RowAt(y, view_.ItemHeight(), window_.FirstRow());
}

void ListViewInput::SetRowsSelected(std::int32_t from, std::int32_t to, bool selected) {
    if (from > to) std::swap(from, to);
    from = std::max(from, 0);
    to = std::min(to, view_.ItemCount() - 1);
    for (std::int32_t i = from; i <= to; ++i) view_.Items()[static_cast<std::size_t>(i)].selected = selected;
}

// ---------------------------------------------------------------- buttons

// A gesture lives from a press to its release, but the release can go astray: a host that opens a popup menu from
// the press hands the pointer to the menu, and the menu takes the release. Left standing, the gesture would turn
// the next bare pointer moves into a rubber band from the old anchor, and the next drag into a move of that block.
void ListViewInput::AbandonGesture() {
    state_ = MouseState::MouseIdle;
    tmrMove_.stop();
    bool released = false;  // a header button shown held comes up
    for (Column& column : view_.Columns()) released = std::exchange(column.pushed, false) || released;
    if (released) window_.PaintList();
}

void ListViewInput::MouseDown(int button, int shift, int x, int y) {
    // A new press ends whatever gesture is still open: its release never came.
    if (state_ != MouseState::MouseIdle) AbandonGesture();
    if (button == kLeftButton) clickPending_ = true;
    if (!view_.Enabled()) return;
    pointer_ = QPoint(x, y);
    const ListViewLayout& layout = window_.Layout();
    const std::int64_t contentX = ContentX(x);
    std::int32_t eventRow = -1;
    if (contentX >= layout.contentWidth) {
        // Beside the columns: the press only lets go of the selection.
        if (button == kLeftButton) view_.UnSelectAll();
    } else if (view_.ColumnsVisible() && layout.InHeader(y)) {
        PressHeader(contentX);
        return;  // presses on the header raise no event
    } else if (y < layout.listTop || y >= layout.listBottom) {
        return;
    } else {
        const std::int32_t row = RowUnder(y);
        if (!ValidRow(row)) {
            if (button == kLeftButton) view_.UnSelectAll();
        } else if (OnCheckbox(contentX)) {
            ListItem& item = view_.Items()[static_cast<std::size_t>(row)];
            item.checked = !item.checked;
            Variant args[] = {Variant(row)};
            view_.RaiseEvent(event::ItemCheck, args);
            window_.PaintList();
            return;
        } else {
            PressRow(row, shift);
            eventRow = row;
        }
    }
    window_.PaintList();
    auto args = MouseArgs(eventRow, button, shift, x, y);
    view_.RaiseEvent(event::MouseDown, args);
}

void ListViewInput::PressHeader(std::int64_t contentX) {
    ColumnCollection& columns = view_.Columns();
    std::int64_t previous = 0;
    ForEachVisibleColumn(columns, view_.ColumnsAutoSize(), [&](std::int32_t i, std::int64_t, std::int64_t right) {
        Column& column = columns[static_cast<std::size_t>(i)];
        if (std::llabs(contentX - right) < kDividerReach) {
            if (column.resizable) {
                state_ = MouseState::MouseResizing;
                resizeColumn_ = i;
            }
            return false;
        }
        if (previous + kDividerReach < contentX && contentX < right - kDividerReach) {
            column.pushed = true;
            state_ = MouseState::MouseHeaderPress;
            window_.PaintList();
            return false;
        }
        previous = right;
        return true;
    });
}

bool ListViewInput::OnCheckbox(std::int64_t contentX) const {
    if (!view_.Checkboxes() || ColumnAt(view_.Columns(), view_.ColumnsAutoSize(), contentX) != 0) return false;
    if (view_.PicturesVisible() && view_.PictureCount() > 0)
        return view_.PictureWidth() + 8 < contentX && contentX < view_.PictureWidth() + 20;
    return 3 < contentX && contentX < 15;
}

void ListViewInput::PressRow(std::int32_t row, int shift) {
    ListItemCollection& items = view_.Items();
    const bool multi = view_.MultiSelect();
    const bool wasSelected = items[static_cast<std::size_t>(row)].selected;
    if (shift == kShiftMask || !wasSelected) {
        if (shift == 0 || !multi) {
            view_.UnSelectAll();
            if (multi) {
                state_ = MouseState::MouseRangeSelect;
                tmrMove_.start();
            }
        } else if (shift == kShiftMask) {
            SetRowsSelected(view_.SelectedItem(), row, !rangeClears_);
        }
    }
    if (shift == 0 && (!multi || items[static_cast<std::size_t>(row)].selected)) {
        state_ = MouseState::MouseRowDrag;
        if (view_.Reorder())
            tmrMove_.start();
        else
            tmrMove_.stop();
        rowsMoved_ = false;
    }
    view_.SetSelectedItem(row);
    ListItem& item = items[static_cast<std::size_t>(row)];
    if (shift == kCtrlMask) {
        item.selected = !item.selected;
        rangeClears_ = !item.selected;
    } else if (shift == kShiftMask) {
        item.selected = !rangeClears_;
    } else {
        item.selected = true;
        rangeClears_ = false;
    }
    anchorRow_ = row;
}

void ListViewInput::MouseUp(int button, int shift, int x, int y) {
    // Releases are handled while disabled too: a gesture begun before must end.
    if (button == kLeftButton && state_ == MouseState::MouseRowDrag && !rowsMoved_) {
        // A click on a row of a selection that did not move it keeps only that row.
        view_.UnSelectAll();
        if (ValidRow(view_.SelectedItem()))
            view_.Items()[static_cast<std::size_t>(view_.SelectedItem())].selected = true;
        window_.PaintList();
    } else if (state_ == MouseState::MouseHeaderPress) {
        ReleaseHeader();
    }
    state_ = MouseState::MouseIdle;
    tmrMove_.stop();
    auto args = MouseArgs(view_.SelectedItem(), button, shift, x, y);
    view_.RaiseEvent(event::MouseUp, args);
    if (button == kLeftButton && clickPending_) {
        clickPending_ = false;
        if (ValidRow(view_.SelectedItem())) {
            Variant click[] = {Variant(view_.SelectedItem())};
            view_.RaiseEvent(event::Click, click);
        }
    }
}

void ListViewInput::ReleaseHeader() {
    ColumnCollection& columns = view_.Columns();
    // ColumnClick handlers may change the columns; positions are checked against the current count.
    for (std::size_t i = 0; i < columns.Count(); ++i) {
        if (!columns[i].pushed) continue;
        if (view_.Sortable()) {
            view_.Items().Sort(static_cast<std::int32_t>(i), columns[i].lastSortOrder);
            columns[i].lastSortOrder = columns[i].lastSortOrder == SortAscending ? SortDescending : SortAscending;
        }
        Variant args[] = {Variant(static_cast<std::int32_t>(i))};
        view_.RaiseEvent(event::ColumnClick, args);
    }
    for (Column& column : columns) column.pushed = false;
    window_.PaintList();
}

void ListViewInput::MouseDoubleClick(int button, int shift, int x, int y) {
    if (button != kLeftButton) {
        MouseDown(button, shift, x, y);  // only the left button double-clicks; other buttons just press again
        return;
    }
    clickPending_ = false;  // the second release of a double click makes no click
    const std::int32_t current = view_.SelectedItem();
    if (ValidRow(current) && view_.Items()[static_cast<std::size_t>(current)].selected) {
        Variant args[] = {Variant(current)};
        view_.RaiseEvent(event::DblClick, args);
    }
}

// ---------------------------------------------------------------- pointer moves

void ListViewInput::MouseMove(int buttons, int shift, int x, int y) {
    if (!view_.Enabled()) return;
    pointer_ = QPoint(x, y);
    if (buttons == 0 && state_ != MouseState::MouseIdle) AbandonGesture();  // its release went elsewhere
    const std::int64_t contentX = ContentX(x);
    switch (state_) {
        case MouseState::MouseIdle: ChoosePointer(contentX, y); break;
        case MouseState::MouseResizing: ResizeColumn(contentX); break;
        case MouseState::MouseRangeSelect: ExtendRange(y); break;
        case MouseState::MouseRowDrag:
            if (view_.Reorder()) DragRows(y);
            break;
        case MouseState::MouseHeaderPress: break;
    }
    auto args = MouseArgs(view_.SelectedItem(), buttons, shift, x, y);
    view_.RaiseEvent(event::MouseMove, args);
}

void ListViewInput::ChoosePointer(std::int64_t contentX, std::int32_t y) {
    const ListViewLayout& layout = window_.Layout();
    Qt::CursorShape shape = Qt::ArrowCursor;
    if (view_.ColumnsVisible() && layout.InHeader(y) && !view_.ColumnsAutoSize()) {
        const ColumnCollection& columns = view_.Columns();
        ForEachVisibleColumn(columns, false, [&](std::int32_t i, std::int64_t, std::int64_t right) {
            if (std::llabs(contentX - right) < kDividerReach && columns[static_cast<std::size_t>(i)].resizable) {
                shape = Qt::SizeHorCursor;
                return false;
            }
            return true;
        });
    }
    window_.SetPointer(shape);
}

void ListViewInput::ResizeColumn(std::int64_t contentX) {
    ColumnCollection& columns = view_.Columns();
    if (!view_.ColumnsAutoSize() && resizeColumn_ >= 0 && static_cast<std::size_t>(resizeColumn_) < columns.Count()) {
        // The divider follows the pointer from the column's own left edge, as it is drawn.
        std::int64_t left = 0;
        ForEachVisibleColumn(columns, false, [&](std::int32_t i, std::int64_t l, std::int64_t) {
            left = l;
            return i != resizeColumn_;
        });
        const std::int64_t width = std::clamp<std::int64_t>(contentX - left, kMinColumnWidth, 1 << 24);
        columns[static_cast<std::size_t>(resizeColumn_)].width = static_cast<std::int32_t>(width);
    }
    window_.CalcLayout();
    window_.UpdateVScroll();
    window_.PaintList();
}

void ListViewInput::ExtendRange(std::int32_t y) {
    const std::int32_t count = view_.ItemCount();
    if (count > 0) {
        const std::int32_t row = std::clamp(RowUnder(y), 0, count - 1);
        const std::int32_t anchor = std::clamp(anchorRow_, 0, count - 1);
        SetRowsSelected(0, std::min(row, anchor) - 1, false);
        SetRowsSelected(std::max(row, anchor) + 1, count - 1, false);
        SetRowsSelected(anchor, row, true);
        view_.SetSelectedItem(row);
        if (count - window_.VisibleRowCount() >= 1) {
            Scrollbars& bars = window_.Bars();
            if (y < window_.Layout().headerHeight)
                bars.SetValue(kBarVertical, bars.Value(kBarVertical) - 1);
            else if (y > window_.Layout().clientHeight - kAutoScrollMargin)
                bars.SetValue(kBarVertical, bars.Value(kBarVertical) + 1);
        }
    }
    window_.PaintList();
}

void ListViewInput::DragRows(std::int32_t y) {
    ListItemCollection& items = view_.Items();
    const std::int32_t count = view_.ItemCount();
    const std::int64_t distance = std::int64_t{RowUnder(y)} - view_.SelectedItem();
    // Rows move only while each selected row can move the whole distance; the row farthest in the direction of
    // the move is tried first, so in practice the selection moves as one block or not at all.
    auto moveRow = [&](std::int32_t i) {
        if (!items[static_cast<std::size_t>(i)].selected) return true;
        const std::int64_t target = i + distance;
        if (target < 0 || target >= count) return false;
        items.MoveItem(i, static_cast<std::int32_t>(target));
        if (i == view_.SelectedItem()) view_.SetSelectedItem(static_cast<std::int32_t>(target));
        rowsMoved_ = true;
        return true;
    };
    if (distance < 0) {
        for (std::int32_t i = 0; i < count && moveRow(i); ++i) {}
    } else if (distance > 0) {
        for (std::int32_t i = count - 1; i >= 0 && moveRow(i); --i) {}
    }
    if (rowsMoved_) {
        view_.RaiseEvent(event::Reorder, {});
        window_.PaintList();
    }
}

void ListViewInput::AutoScrollTick() {
    // A popup holds the pointer now, so the press that started this gesture will not see its release.
    if (QApplication::activePopupWidget() != nullptr) {
        AbandonGesture();
        return;
    }
    const std::int32_t count = view_.ItemCount();
    if (count - window_.VisibleRowCount() < 0) return;
    Scrollbars& bars = window_.Bars();
    const int before = bars.Value(kBarVertical);
    if (pointer_.y() > window_.Layout().clientHeight - kAutoScrollMargin)
        bars.SetValue(kBarVertical, before + 1);
    else if (pointer_.y() < window_.Layout().headerHeight - kAutoScrollMargin)
        bars.SetValue(kBarVertical, before - 1);
    if (bars.Value(kBarVertical) != before) MouseMove(kLeftButton, 0, pointer_.x(), pointer_.y());
}

// ---------------------------------------------------------------- keys

void ListViewInput::KeyDown(int keyCode, int shift) {
    if (!view_.Enabled()) return;
    Variant code = Integer(keyCode), state = Integer(shift);
    Variant args[] = {Variant::ByRef(code), Variant::ByRef(state)};
    view_.RaiseEvent(event::KeyDown, args);
    // The host may have changed the key, or cancelled it with 0.
    keyCode = code.Int32Or(0);
    shift = state.Int32Or(0);
    switch (keyCode) {
        case VK_SPACE: ToggleCurrentWithSpace(shift); break;
        case VK_UP:
        case VK_DOWN:
        case VK_PRIOR:
        case VK_NEXT: Navigate(keyCode, shift); break;
        default: break;
    }
    window_.PaintList();
}

void ListViewInput::ToggleCurrentWithSpace(int shift) {
    const std::int32_t current = view_.SelectedItem();
    if (!ValidRow(current)) return;  // nothing is current on an empty list
    ListItem& item = view_.Items()[static_cast<std::size_t>(current)];
    if (shift == kCtrlMask && view_.MultiSelect()) {
        item.selected = !item.selected;
        rangeClears_ = !item.selected;
    }
    if (view_.Checkboxes()) item.checked = !item.checked;
}

void ListViewInput::Navigate(int keyCode, int shift) {
    const std::int32_t count = view_.ItemCount();
    if (count == 0) return;  // no row to move to
    const bool multi = view_.MultiSelect();
    if (shift == 0 || !multi) {
        view_.UnSelectAll();
        rangeClears_ = false;
    }
    Scrollbars& bars = window_.Bars();
    const std::int64_t top = bars.Value(kBarVertical);
    const std::int64_t shown = window_.VisibleRowCount();
    const std::int64_t current = view_.SelectedItem();
    std::int64_t next = current;
    std::int64_t scrollTo = top;
    switch (keyCode) {
        case VK_UP:
            next = std::max<std::int64_t>(current - 1, 0);
            if (next < top) scrollTo = top - 1;
            break;
        case VK_DOWN:
            next = std::min<std::int64_t>(current + 1, count - 1);
            if (next > top + shown - 2) scrollTo = top + 1;
            break;
        case VK_PRIOR:
            next = std::max<std::int64_t>(current - (shown - 1), 0);
            if (next < top) scrollTo = top - shown + 1;
            break;
        case VK_NEXT:
            next = std::min<std::int64_t>(current + (shown - 1), count - 1);
            if (next > top + shown - 2) scrollTo = top + shown - 1;
            break;
    }
    // A current row the host set beyond the rows comes back into them.
    view_.SetSelectedItem(static_cast<std::int32_t>(std::clamp<std::int64_t>(next, 0, count - 1)));
    if (scrollTo != top) bars.SetValue(kBarVertical, static_cast<int>(scrollTo));
    Variant args[] = {Variant(view_.SelectedItem())};
    view_.RaiseEvent(event::Click, args);
    // Ctrl moves only the current row mark; Shift extends the selection row by row.
    if (!(shift == kCtrlMask && multi) && ValidRow(view_.SelectedItem()))
        view_.Items()[static_cast<std::size_t>(view_.SelectedItem())].selected = !rangeClears_;
}

void ListViewInput::KeyUp(int keyCode, int shift) {
    Variant code = Integer(keyCode), state = Integer(shift);
    Variant args[] = {Variant::ByRef(code), Variant::ByRef(state)};
    view_.RaiseEvent(event::KeyUp, args);
}

void ListViewInput::KeyChar(int charCode) {
    Variant code = Integer(charCode);
    Variant args[] = {Variant::ByRef(code)};
    view_.RaiseEvent(event::KeyPress, args);
}

// ---------------------------------------------------------------- drops

namespace {

// The by-reference arguments of the drop events, handed back to the drop after the host has seen them.
struct DropArgs {
    explicit DropArgs(const DropData& d) {
        std::vector<std::u16string> files;
        for (const QString& file : d.files) files.push_back(file.toStdU16String());
        data = Variant(Ref<Dispatch>(automation::DataObject::Create(std::move(files)).Get()));
        effect = Variant(static_cast<std::int32_t>(d.effect));
        button = Integer(d.button);
        shift = Integer(d.shift);
        x = Single(d.x);
        y = Single(d.y);
        state = Integer(static_cast<int>(d.state));
    }
    std::vector<Variant> Refs(bool withState) {
        std::vector<Variant> args{Variant::ByRef(data),  Variant::ByRef(effect), Variant::ByRef(button),
                                  Variant::ByRef(shift), Variant::ByRef(x),      Variant::ByRef(y)};
        if (withState) args.push_back(Variant::ByRef(state));
        return args;
    }
    Variant data, effect, button, shift, x, y, state;
};

}  // namespace

void ListViewInput::DragOver(DropData& data) {
    if (!view_.Enabled()) {
        data.effect = kDropEffectNone;  // a disabled control takes no drops
        return;
    }
    DropArgs args(data);
    auto refs = args.Refs(true);
    view_.RaiseEvent(event::OLEDragOver, refs);
    data.effect = args.effect.Int32Or(kDropEffectNone);
}

void ListViewInput::DragDrop(DropData& data) {
    if (!view_.Enabled()) {
        data.effect = kDropEffectNone;
        return;
    }
    DropArgs args(data);
    auto refs = args.Refs(false);
    view_.RaiseEvent(event::OLEDragDrop, refs);
    data.effect = args.effect.Int32Or(kDropEffectNone);
}

}  // namespace lorvex
