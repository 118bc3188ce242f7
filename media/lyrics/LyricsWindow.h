#pragma once
// The lyrics window: the skinned tool frame around a black canvas on which the current track's lyric scrolls in step
// with playback, the current line lit.
#include <QFont>
#include <QWidget>

#include "media/lyrics/LyricScroller.h"
#include "media/windows/ToolWindow.h"
#include "platform/forms/Image.h"
#include "platform/forms/Timer.h"

namespace media {

// The canvas P1: prints every line of the table from the frame's top, one pitch apart, centred.
class LyricCanvas final : public QWidget {
    Q_OBJECT
public:
    explicit LyricCanvas(QWidget* parent);
    // The pitch of one printed line.
    float LineHeight() const;
    // Shows a frame; repaints only when it differs from the one shown.
    void Show(const LyricFrame& frame);
    const LyricFrame& Shown() const { return shown_; }

    std::function<void(const QPoint& globalPosition)> RightButtonDown;

protected:
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;

private:
    LyricFrame shown_;
};

class LyricsWindow final : public ToolWindow {
    Q_OBJECT
public:
    LyricsWindow();

    forms::Image Imico;
    QWidget FrameMain;
    LyricCanvas P1;
    forms::Timer Timer1;

    // One redraw of the canvas from the playback position.
    void Timer1_Timer();

protected:
    void Form_Load() override;
    void PlaceContent() override;
    void showEvent(QShowEvent* event) override;
    void hideEvent(QHideEvent* event) override;
};

}  // namespace media
