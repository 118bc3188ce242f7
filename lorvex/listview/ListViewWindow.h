#pragma once
// The grid control's window side: its frame and window, the drawing font and its measures, the layout, the
// scroll bars, the back buffer every paint goes through, and the input handling. It receives the window's
// messages as the window's client and the scroll bars' events as their owner.
#include <QFont>
#include <QImage>
#include <QPointer>

#include "lorvex/listview/ControlWindow.h"
#include "lorvex/listview/ListViewInput.h"
#include "lorvex/listview/ListViewLayout.h"
#include "lorvex/listview/Scrollbars.h"
#include "platform/automation/Unknown.h"

namespace lorvex {

class BorderFrame;
class ListView;
using automation::Ref;

class ListViewWindow final : public ControlWindowClient, private ScrollbarsEvents {
public:
    // Holds the control for the length of one message or timer tick: a host's event handler may drop the last
    // reference to it, and the window must then outlive the message it is handling.
    class MessageScope {
    public:
        explicit MessageScope(ListView& view);
        ~MessageScope();
        MessageScope(const MessageScope&) = delete;
        MessageScope& operator=(const MessageScope&) = delete;

    private:
        Ref<ListView> hold_;
    };

    ListViewWindow(ListView& view, QWidget* parent);
    ~ListViewWindow() override;
    ListViewWindow(const ListViewWindow&) = delete;
    ListViewWindow& operator=(const ListViewWindow&) = delete;

    // What the container places: the frame with the window inside.
    QWidget* Widget() const;
    // The window whose messages the control receives.
    ControlWindow* Control() const { return window_; }

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
    // Asks for a repaint; the paint itself renders the back buffer once however often it was asked for.
    void PaintList();
    void MakeSureVisible(std::int32_t item, std::int32_t column);
    std::int32_t ColumnFromPoint(std::int32_t x, std::int32_t y) const;
    std::int32_t RowFromPoint(std::int32_t x, std::int32_t y, bool hitTest) const;

    const ListViewLayout& Layout() const { return layout_; }
    Scrollbars& Bars() { return scrollbars_; }
    const ListViewInput& Input() const { return input_; }
    std::int32_t VisibleRowCount() const;
    std::int32_t FirstRow() const { return scrollbars_.Value(kBarVertical); }
    // How far the content is scrolled to the left.
    std::int32_t HorizontalOffset() const;
    bool HasFocus() const { return focused_; }
    void SetPointer(Qt::CursorShape shape);

    // ControlWindowClient
    void Paint(QPainter& painter, const QRect& dirty) override;
    void Resized(int clientWidth, int clientHeight) override;
    void FocusIn() override;
    void FocusOut() override;
    void KeyDown(int vkCode, int shift) override;
    void KeyUp(int vkCode, int shift) override;
    void KeyChar(int charCode) override;
    void MouseDown(int button, int shift, int x, int y) override;
    void MouseUp(int button, int shift, int x, int y) override;
    void MouseDoubleClick(int button, int shift, int x, int y) override;
    void MouseMove(int buttons, int shift, int x, int y) override;
    void DragOver(DropData& data) override;
    void DragDrop(DropData& data) override;

private:
    // ScrollbarsEvents: every movement of a bar, and clicks on them, repaint the list.
    void ScrollClick(int& bar, int& button) override;
    void Scroll(int& bar) override;
    void Change(int& bar) override;
    // The wheel scrolls the list whenever rows lie beyond the view, also while the host keeps the bar hidden.
    void MouseWheel(int& bar, int& amount) override;

    void Render();

    ListView& view_;
    // The container may destroy the window before the control goes.
    QPointer<BorderFrame> frame_;
    QPointer<ControlWindow> window_;
    QFont drawFont_;
    std::int32_t textHeight_ = 0;
    ListViewLayout layout_;
    Scrollbars scrollbars_{this};
    ListViewInput input_;
    QImage backBuffer_;
    bool busy_ = false;         // a paint is in progress
    bool needsRender_ = false;  // the back buffer is out of date
    bool focused_ = false;
};

}  // namespace lorvex
