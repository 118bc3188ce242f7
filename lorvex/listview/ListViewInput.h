#pragma once
// What the mouse and the keyboard do to the grid: hit testing of header, dividers, check boxes and rows;
// selection with Shift and Ctrl, rubber-band ranges, dragging selected rows to new places, resizing columns,
// header buttons that sort, the navigation keys, auto-scrolling while dragging, and the drop notifications.
#include <QPoint>
#include <QTimer>

#include <cstdint>

#include "lorvex/listview/ControlWindow.h"

namespace lorvex {

class ListView;
class ListViewWindow;

enum class MouseState { MouseIdle, MouseResizing, MouseRangeSelect, MouseRowDrag, MouseHeaderPress };

class ListViewInput {
public:
    static constexpr int kAutoScrollInterval = 15;  // ms

    ListViewInput(ListView& view, ListViewWindow& window);

    void MouseDown(int button, int shift, int x, int y);
    void MouseMove(int buttons, int shift, int x, int y);
    void MouseUp(int button, int shift, int x, int y);
    void MouseDoubleClick(int button, int shift, int x, int y);
    void KeyDown(int keyCode, int shift);
    void KeyUp(int keyCode, int shift);
    void KeyChar(int charCode);
    void DragOver(DropData& data);
    void DragDrop(DropData& data);

    MouseState State() const { return state_; }
    bool AutoScrolling() const { return tmrMove_.isActive(); }

private:
    // One tick of the auto-scroll timer: while the pointer is held beyond the top or bottom edge the list
    // scrolls a row and the move is handled again.
    void AutoScrollTick();
    // Ends a gesture whose release will not come, as if nothing had been pressed.
    void AbandonGesture();
    void PressHeader(std::int64_t contentX);
    bool OnCheckbox(std::int64_t contentX) const;
    void PressRow(std::int32_t row, int shift);
    void ExtendRange(std::int32_t y);
    void DragRows(std::int32_t y);
    void ResizeColumn(std::int64_t contentX);
    void ChoosePointer(std::int64_t contentX, std::int32_t y);
    void ReleaseHeader();
    void Navigate(int keyCode, int shift);
    void ToggleCurrentWithSpace(int shift);
    void SetRowsSelected(std::int32_t from, std::int32_t to, bool selected);
    bool ValidRow(std::int32_t row) const;
    std::int64_t ContentX(int x) const;
    std::int32_t RowUnder(int y) const;

    ListView& view_;
    ListViewWindow& window_;
    MouseState state_ = MouseState::MouseIdle;
    std::int32_t resizeColumn_ = -1;
    std::int32_t anchorRow_ = -1;
    bool rangeClears_ = false;
    bool rowsMoved_ = false;
    bool clickPending_ = false;  // a left press in the window awaits its release to make a click
    QPoint pointer_;             // where the pointer was last seen, in client pixels
    QTimer tmrMove_;
};

}  // namespace lorvex
