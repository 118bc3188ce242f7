#pragma once
// The lyrics window: the skinned tool frame around a black canvas on which the current track's lyric scrolls in step
// with playback, the current line lit.
#include <QWidget>

#include "media/lyrics/LyricCanvas.h"
#include "media/windows/ToolWindow.h"
#include "platform/forms/Image.h"
#include "platform/forms/Timer.h"

namespace media {

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
