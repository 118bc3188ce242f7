#pragma once
// The frame around the grid's window: none, a thin one-pixel sunken line or a thick two-pixel sunken edge. The
// window inside (client area and scroll bars) shrinks by the frame's width on every side.
#include <QPointer>
#include <QWidget>

namespace lorvex {

class BorderFrame final : public QWidget {
public:
    explicit BorderFrame(QWidget* parent = nullptr);

    // The one widget the frame holds; it receives the focus given to the frame.
    void SetContent(QWidget* content);
    // One of the border style constants; other values leave the frame as it is.
    void SetBorderStyle(int style);
    int FrameWidth() const;

protected:
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;

private:
    void LayoutContent();

    QPointer<QWidget> content_;
    int style_ = 0;
};

}  // namespace lorvex
