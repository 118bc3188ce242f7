#include "lorvex/listview/ListViewWindow.h"

#include <QPainter>
#include <cmath>

#include "lorvex/listview/ListView.h"

namespace lorvex {

ListViewWindow::ListViewWindow(ListView& view, QWidget* parent)
    : view_(view), window_(new ControlWindow(parent)) {
    window_->setClient(this);
    window_->setFocusPolicy(Qt::StrongFocus);
    BuildDrawFont();
}

ListViewWindow::~ListViewWindow() {
    if (!window_) return;
    window_->setClient(nullptr);
    delete window_;
}

void ListViewWindow::AttachScrollBars() {}

void ListViewWindow::CreateBackBuffer() {}

void ListViewWindow::BuildDrawFont() {
    const auto font = view_.Font();
    if (!font) return;
    // Character height in pixels from the point size (rounded half to even) at the screen's vertical resolution.
    const double points = std::nearbyint(font->size());
    const int dpi = window_ ? window_->logicalDpiY() : 96;
    textHeight_ = static_cast<std::int32_t>(std::lround(points * dpi / 72.0));
    drawFont_ = automation::ToQFont(*font);
    drawFont_.setPixelSize(std::max(textHeight_, 1));
}

void ListViewWindow::ApplyBorderStyle(std::int32_t) {}

void ListViewWindow::SetDropMode(std::int32_t mode) {
    if (window_) window_->setDropMode(mode == OLEDropManual);
}

void ListViewWindow::SetVerticalBarVisible(bool visible) {
    if (window_) window_->showScrollBar(SB_VERT, visible);
}

void ListViewWindow::CalcLayout() {
    auto& columns = view_.columns();
    if (!window_ || !view_.ColumnsAutoSize()) return;
    // Resizable columns share what the fixed ones leave of the client width, in proportion to their widths.
    const int clientWidth = window_->clientRect().width();
    double resizable = 0, fixed = 0;
    for (Column& c : columns) {
        if (!c.visible) continue;
        if (c.resizable) resizable += c.width;
        else {
            fixed += c.width;
            c.widthAutoSized = c.width;
        }
    }
    int total = 0;
    for (std::size_t i = 0; i < columns.Count(); ++i) {
        Column& c = columns[i];
        if (!c.visible) continue;
        if (c.resizable) {
            c.widthAutoSized =
                resizable > 0 ? static_cast<std::int32_t>(std::nearbyint(c.width * (clientWidth - fixed) / resizable + 0.5))
                              : 0;
            if (i + 1 == columns.Count() && total + c.widthAutoSized > clientWidth) c.widthAutoSized = clientWidth - total;
        }
        total += c.widthAutoSized;
    }
}

void ListViewWindow::UpdateVScroll() {}

void ListViewWindow::PaintList() {
    if (window_) window_->update();
}

void ListViewWindow::MakeSureVisible(std::int32_t, std::int32_t) { PaintList(); }

std::int32_t ListViewWindow::HeaderHeight() const { return view_.ColumnsVisible() ? textHeight_ + 8 : 0; }

std::int32_t ListViewWindow::ColumnFromPoint(std::int32_t x, std::int32_t) const {
    int left = 0;
    const auto& columns = view_.columns();
    for (std::size_t i = 0; i < columns.Count(); ++i) {
        if (!columns[i].visible) continue;
        const int right = left + columns[i].displayWidth(view_.ColumnsAutoSize());
        if (x >= left && x < right) return static_cast<std::int32_t>(i);
        left = right;
    }
    return -1;
}

std::int32_t ListViewWindow::RowFromPoint(std::int32_t x, std::int32_t y, bool hitTest) const {
    const int top = HeaderHeight();
    const int height = view_.ItemHeight();
    if (y < top || height <= 0) return -1;
    const int row = (y - top) / height;
    if (hitTest && (row >= view_.ItemCount() || ColumnFromPoint(x, y) < 0)) return -1;
    return row;
}

void ListViewWindow::paint(QPainter& painter, const QRect& dirty) { painter.fillRect(dirty, view_.colors().back.GDIBrush()); }

void ListViewWindow::resized(int, int) { view_.Refresh(); }

}  // namespace lorvex
