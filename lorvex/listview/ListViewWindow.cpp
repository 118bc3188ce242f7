#include "lorvex/listview/ListViewWindow.h"

#include <QPainter>
#include <algorithm>
#include <cmath>

#include "lorvex/listview/BorderFrame.h"
#include "lorvex/listview/ListView.h"
#include "lorvex/listview/ListViewPainter.h"
#include "lorvex/listview/SystemColors.h"

namespace lorvex {

namespace {

// Back buffers beyond this many pixels are not made: the layout then shows nothing new, as when the
// platform refuses a bitmap.
constexpr qint64 kMaxBufferPixels = qint64{1} << 26;

// Font sizes beyond this are taken as this: larger text than any screen shows.
constexpr double kMaxPoints = 4096;

// Messages of any grid window being handled right now.
int messagesInProgress = 0;

}  // namespace

ListViewWindow::MessageScope::MessageScope(ListView& view) : hold_(&view) { ++messagesInProgress; }

ListViewWindow::MessageScope::~MessageScope() {
    hold_ = nullptr;  // may destroy the control, whose window then goes once this message is done
    --messagesInProgress;
}

ListViewWindow::ListViewWindow(ListView& view, QWidget* parent)
    : view_(view), frame_(new BorderFrame(parent)), window_(new ControlWindow), input_(view, *this) {
    frame_->SetContent(window_);
    frame_->SetBorderStyle(view.BorderStyle());
    window_->SetClient(this);
    window_->setFocusPolicy(Qt::StrongFocus);
    BuildDrawFont();
}

ListViewWindow::~ListViewWindow() {
    scrollbars_.Terminate();
    if (window_) window_->SetClient(nullptr);
    if (!frame_) return;
    // Inside one of the window's own messages it must outlive the message.
    if (messagesInProgress > 0) {
        frame_->hide();
        frame_->deleteLater();
    } else {
        delete frame_;
    }
}

QWidget* ListViewWindow::Widget() const { return frame_; }

void ListViewWindow::AttachScrollBars() {
    if (!window_) return;
    scrollbars_.Create(window_->Handle());
    scrollbars_.SetOrientation(kOrientationBoth);
    scrollbars_.SetVisible(kBarVertical, true);
    scrollbars_.SetVisible(kBarHorizontal, true);
    scrollbars_.SetEnabled(kBarHorizontal, true);
    scrollbars_.SetEnabled(kBarVertical, false);
    scrollbars_.SetLargeChange(kBarVertical, 10);
}

void ListViewWindow::BuildDrawFont() {
    const auto font = view_.Font();
    if (!font) return;
    // Character height in pixels from the point size (rounded half to even) at the screen's vertical resolution.
    const double size = font->Size();
    const double points = std::nearbyint(size > 0 ? std::min(size, kMaxPoints) : 0.0);
    const int dpi = window_ ? window_->logicalDpiY() : 96;
    textHeight_ = static_cast<std::int32_t>(std::lround(points * dpi / 72.0));
    drawFont_ = automation::ToQFont(*font);
    drawFont_.setPixelSize(std::max(textHeight_, 1));
}

void ListViewWindow::ApplyBorderStyle(std::int32_t style) {
    if (frame_) frame_->SetBorderStyle(style);
}

void ListViewWindow::SetDropMode(std::int32_t mode) {
    if (window_) window_->SetDropMode(mode == OLEDropManual);
}

void ListViewWindow::SetVerticalBarVisible(bool visible) { scrollbars_.SetVisible(kBarVertical, visible); }

// ---------------------------------------------------------------- layout and scrolling

void ListViewWindow::CalcLayout() {
    if (!window_) return;
    ColumnCollection& columns = view_.Columns();
    const bool autoSized = view_.ColumnsAutoSize();
    const QRect client = window_->ClientRect();
    if (autoSized) AutoSizeColumns(columns, client.width());
    layout_.Measure(columns, autoSized, view_.ColumnsVisible(), textHeight_, client.width(), client.height());
    if (layout_.ContentWiderThanClient()) {
        scrollbars_.SetVisible(kBarHorizontal, true);
        scrollbars_.SetMin(kBarHorizontal, 0);
        scrollbars_.SetMax(kBarHorizontal, layout_.contentWidth - layout_.clientWidth - 1);
        scrollbars_.SetLargeChange(kBarHorizontal, RoundHalfEven(layout_.contentWidth / 2.0));
        scrollbars_.SetSmallChange(kBarHorizontal, 3);
        scrollbars_.SetEnabled(kBarHorizontal, view_.Enabled());
    } else {
        scrollbars_.SetVisible(kBarHorizontal, false);
        scrollbars_.SetValue(kBarHorizontal, 0);
    }
    // Showing or hiding the bar changes the client area.
    const QRect after = window_->ClientRect();
    layout_.Measure(columns, autoSized, view_.ColumnsVisible(), textHeight_, after.width(), after.height());
    CreateBackBuffer();
}

void ListViewWindow::CreateBackBuffer() {
    const QSize size(layout_.listRight, layout_.clientHeight);
    needsRender_ = true;
    if (!backBuffer_.isNull() && backBuffer_.size() == size) return;
    if (size.isEmpty() || qint64{size.width()} * size.height() > kMaxBufferPixels) {
        backBuffer_ = QImage();
        return;
    }
    QImage buffer(size, QImage::Format_RGB32);
    if (buffer.isNull()) {
        backBuffer_ = QImage();
        return;
    }
    buffer.fill(ColorOf(view_.Colors().back));
    // The last frame stays on screen until the next paint (which waits while Redraw is off).
    if (!backBuffer_.isNull()) QPainter(&buffer).drawImage(0, 0, backBuffer_);
    backBuffer_ = std::move(buffer);
}

void ListViewWindow::UpdateVScroll() {
    if (!view_.Enabled()) {
        scrollbars_.SetEnabled(kBarVertical, false);
        return;
    }
    const std::int32_t surplus = view_.ItemCount() - VisibleRowCount();
    if (surplus < 0) {
        if (scrollbars_.Enabled(kBarVertical)) scrollbars_.SetEnabled(kBarVertical, false);
        // All rows fit, so none may stay scrolled away, even when the bar was already off.
        if (scrollbars_.Max(kBarVertical) != 0) scrollbars_.SetMax(kBarVertical, 0);
        scrollbars_.SetValue(kBarVertical, 0);
    } else {
        if (!scrollbars_.Enabled(kBarVertical)) scrollbars_.SetEnabled(kBarVertical, true);
        scrollbars_.SetMax(kBarVertical, surplus);
    }
}

std::int32_t ListViewWindow::VisibleRowCount() const { return layout_.VisibleRowCount(view_.ItemHeight()); }

std::int32_t ListViewWindow::HorizontalOffset() const {
    return layout_.ContentWiderThanClient() ? scrollbars_.Value(kBarHorizontal) : 0;
}

void ListViewWindow::MakeSureVisible(std::int32_t item, std::int32_t column) {
    scrollbars_.SetValue(kBarVertical, item);
    if (column >= 0 && !view_.ColumnsAutoSize() && layout_.ContentWiderThanClient()) {
        std::int64_t left = 0;
        ForEachVisibleColumn(view_.Columns(), false, [&](std::int32_t i, std::int64_t l, std::int64_t r) {
            if (i >= column) return false;
            left = r;
            return true;
        });
        scrollbars_.SetValue(kBarHorizontal, static_cast<std::int32_t>(std::min<std::int64_t>(left, INT32_MAX)));
    }
    PaintList();
}

std::int32_t ListViewWindow::ColumnFromPoint(std::int32_t x, std::int32_t) const {
    return ColumnAt(view_.Columns(), view_.ColumnsAutoSize(), std::int64_t{x} + HorizontalOffset());
}

std::int32_t ListViewWindow::RowFromPoint(std::int32_t x, std::int32_t y, bool hitTest) const {
    const std::int32_t row = layout_.RowAt(y, view_.ItemHeight(), FirstRow());
    if (!hitTest) return row;
    if (std::int64_t{x} + HorizontalOffset() >= layout_.contentWidth || !view_.Items().Contains(row)) return -1;
    return row;
}

void ListViewWindow::SetPointer(Qt::CursorShape shape) {
    if (window_ && window_->cursor().shape() != shape) window_->setCursor(shape);
}

// ---------------------------------------------------------------- painting

void ListViewWindow::PaintList() {
    if (!view_.Redraw() || busy_ || backBuffer_.isNull() || !window_) return;
    needsRender_ = true;
    window_->update();
}

void ListViewWindow::Render() {
    busy_ = true;
    needsRender_ = false;
    const ListViewPainter::Frame frame{layout_, drawFont_, FirstRow(), focused_ && view_.Enabled()};
    ListViewPainter(view_, frame).Paint(backBuffer_);
    busy_ = false;
}

void ListViewWindow::Paint(QPainter& painter, const QRect& dirty) {
    MessageScope scope(view_);
    if (backBuffer_.isNull()) {
        painter.fillRect(dirty, ColorOf(view_.Colors().back));
        return;
    }
    if (needsRender_ && view_.Redraw() && !busy_) Render();
    painter.drawImage(QPoint(0, 0), backBuffer_,
                      QRect(HorizontalOffset(), 0, layout_.clientWidth, layout_.clientHeight));
}

void ListViewWindow::ScrollClick(int&, int&) { PaintList(); }
void ListViewWindow::Scroll(int&) { PaintList(); }
void ListViewWindow::Change(int&) { PaintList(); }

void ListViewWindow::MouseWheel(int& bar, int& amount) {
    // The bar's range follows the rows whether the bar is shown or not (it is enabled exactly while rows overflow),
    // so a hidden bar still scrolls; a shown one moves by itself after this event.
    if (bar != kBarVertical || amount == 0 || scrollbars_.Visible(kBarVertical) || !scrollbars_.Enabled(kBarVertical))
        return;
    const std::int64_t value = std::int64_t{scrollbars_.Value(kBarVertical)} + amount;
    scrollbars_.SetValue(kBarVertical, static_cast<int>(std::clamp<std::int64_t>(value, 0, INT32_MAX)));
}

// ---------------------------------------------------------------- messages

void ListViewWindow::Resized(int, int) {
    MessageScope scope(view_);
    view_.Refresh();
}

void ListViewWindow::FocusIn() {
    focused_ = true;
    PaintList();
}

void ListViewWindow::FocusOut() {
    focused_ = false;
    PaintList();
}

void ListViewWindow::KeyDown(int vkCode, int shift) {
    MessageScope scope(view_);
    input_.KeyDown(vkCode, shift);
}

void ListViewWindow::KeyUp(int vkCode, int shift) {
    MessageScope scope(view_);
    input_.KeyUp(vkCode, shift);
}

void ListViewWindow::KeyChar(int charCode) {
    MessageScope scope(view_);
    input_.KeyChar(charCode);
}

void ListViewWindow::MouseDown(int button, int shift, int x, int y) {
    MessageScope scope(view_);
    input_.MouseDown(button, shift, x, y);
}

void ListViewWindow::MouseUp(int button, int shift, int x, int y) {
    MessageScope scope(view_);
    input_.MouseUp(button, shift, x, y);
}

void ListViewWindow::MouseDoubleClick(int button, int shift, int x, int y) {
    MessageScope scope(view_);
    input_.MouseDoubleClick(button, shift, x, y);
}

void ListViewWindow::MouseMove(int buttons, int shift, int x, int y) {
    MessageScope scope(view_);
    input_.MouseMove(buttons, shift, x, y);
}

void ListViewWindow::DragOver(DropData& data) {
    MessageScope scope(view_);
    input_.DragOver(data);
}

void ListViewWindow::DragDrop(DropData& data) {
    MessageScope scope(view_);
    input_.DragDrop(data);
}

}  // namespace lorvex
