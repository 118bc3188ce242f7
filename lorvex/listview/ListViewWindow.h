#pragma once
// The grid control's window side: the drawing font and its measures, layout, hit testing and painting, on the
// control window whose messages the control receives as its client.
#include <QFont>
#include <QPointer>

#include "lorvex/listview/ControlWindow.h"

namespace lorvex {

class ListView;

class ListViewWindow final : public ControlWindowClient {
public:
    ListViewWindow(ListView& view, QWidget* parent);
    ~ListViewWindow() override;

    ControlWindow* widget() const { return window_; }

    // Run-time set-up of the window's two scroll bars.
    void AttachScrollBars();
    void CreateBackBuffer();
    // Rebuilds the drawing font and the character height from the control's font.
    void BuildDrawFont();
    std::int32_t TextHeight() const { return textHeight_; }
    const QFont& DrawFont() const { return drawFont_; }
    void ApplyBorderStyle(std::int32_t style);
    void SetDropMode(std::int32_t mode);
    void SetVerticalBarVisible(bool visible);

    void CalcLayout();
    void UpdateVScroll();
    void PaintList();
    void MakeSureVisible(std::int32_t item, std::int32_t column);
    std::int32_t ColumnFromPoint(std::int32_t x, std::int32_t y) const;
    std::int32_t RowFromPoint(std::int32_t x, std::int32_t y, bool hitTest) const;
    std::int32_t HeaderHeight() const;

    // ControlWindowClient
    void paint(QPainter& painter, const QRect& dirty) override;
    void resized(int clientWidth, int clientHeight) override;

private:
    ListView& view_;
    // The container may destroy the window before the control goes.
    QPointer<ControlWindow> window_;
    QFont drawFont_;
    std::int32_t textHeight_ = 0;
};

}  // namespace lorvex
