#pragma once
// The lyrics window's canvas: the block of lines on black, the current line lit.
#include <QWidget>
#include <cstdint>
#include <functional>

#include "media/lyrics/LyricBand.h"
#include "media/lyrics/LyricLayout.h"
#include "media/lyrics/LyricScroller.h"

namespace media {

// The canvas P1: prints every line of the table from the frame's top, one pitch apart, centred. The lines are laid
// out once per lyric, font and width, and kept printed in a picture that a repaint copies from; a frame repaints
// only when it changes a pixel.
class LyricCanvas final : public QWidget {
    Q_OBJECT
public:
    explicit LyricCanvas(QWidget* parent, const LyricTable& table = Lyrics());
    // The pitch of one printed line.
    float LineHeight() const;
    // Shows a frame; repaints only when it shows other pixels than the one on screen.
    void Show(const LyricFrame& frame);
    const LyricFrame& Shown() const { return shown_; }
    const LyricLayout& Layout() const { return layout_; }
    const LyricBand& Band() const { return band_; }

    std::function<void(const QPoint& globalPosition)> RightButtonDown;

protected:
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;

private:
    // What a frame puts on the canvas: two frames with the same picture show the same pixels.
    struct Picture {
        bool clear = false;
        bool draw = false;
        double top = 0;  // the pixel row of line 0 when the block is copied from the band, else the exact top
        int highlight = -1;
        std::uint64_t generation = 0;
        bool operator==(const Picture&) const = default;
    };
    Picture PictureOf(const LyricFrame& frame) const;
    // Copying whole pixel rows is exact only where a logical pixel is a device pixel.
    bool CopiesRows() const { return devicePixelRatioF() == 1.0; }

    const LyricTable& table_;
    LyricFrame shown_;
    Picture onScreen_;
    LyricLayout layout_;
    LyricBand band_;
};

}  // namespace media
