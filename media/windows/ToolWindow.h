#pragma once
// The skinned frame of the playlist, lyrics and web windows: composed from pieces of one skin bitmap into a back
// buffer whenever the window's size changes, cut to an outline with rounded top corners, moved by its title bar
// (snapping to the main window), resized by its right, bottom and corner handles, hidden by its close button, and
// optionally kept on top of other windows.
#include <QImage>

#include "media/core/SkinnedButton.h"
#include "media/windows/ToolWindowKind.h"
#include "platform/forms/Form.h"
#include "platform/forms/Image.h"

namespace media {

class ToolWindow : public forms::Form {
    Q_OBJECT
public:
    explicit ToolWindow(ToolWindowKind kind);

    const ToolWindowKind& Kind() const { return kind_; }

    // Applies the window's outline.
    void RMe();
    // Recomposes the frame in the window's current size, then places the content and applies the outline in the
    // window's own order. Runs on every size change.
    void ComposeFrame();
    // The composed frame as the window shows it (content controls excluded).
    const QImage& FrameImage() const { return frame_; }

    // Brings a window the program has placed (docked, beside the main window) within the free area of its screen,
    // made smaller where it would not fit: at a large scale a docked window would run past the screen's edge.
    void KeepWithinScreen();

    // Whether the window is kept above the others (stay-on-top button).
    bool isTop = false;

    // Controls, by their design names. Later ones lie on top: the buttons above the resize handles.
    forms::Image PMain;    // holds the skin bitmap; never shown
    forms::Image IMBar;    // title bar: drag strip
    forms::Image Pbottom;  // resize handles
    forms::Image Pright;
    forms::Image Pjiao;
    SkinnedButton ImClose;
    SkinnedButton ImgTop;  // only in windows with a stay-on-top button; held down while on top

protected:
    void Form_Load() override {
        ApplyFrameSkin();
        KeepWithinScreen();
    }
    void Form_Resize() override { ComposeFrame(); }

    // Loads the frame bitmap and the normal pictures of the frame's buttons, then recomposes.
    void ApplyFrameSkin();
    // Hooks for the window's own controls, run at their places in the composition.
    virtual void PlaceTitleBar() {}
    virtual void PlaceContent() {}
    // Gives the title-bar buttons their normal pictures back once the pointer has left them.
    virtual void ClearHoverPictures();

    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void closeEvent(QCloseEvent* event) override;

private:
    void ConnectFrameHandlers();
    void ConnectResizeHandle(forms::Image& handle, ResizeAxes axes);
    void PaintFrame(QPainter& painter) const;
    void PaintCaption(QPainter& painter) const;
    // Runs the form's move loop; snapping is the caller's.
    void MoveWithPointer();
    void SnapToMainWindow();
    void ResizeTowards(ResizeAxes axes, QPoint cursorPixels);

    void IMBar_MouseDown(const forms::MouseArgs& a);
    void ImClose_Click();
    void ImgTop_Click();

    ToolWindowKind kind_;
    QImage frame_;
    bool moving_ = false;
};

}  // namespace media
