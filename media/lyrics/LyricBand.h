#pragma once
// A picture of rows of the lyric block exactly as the canvas prints them: black ground, the lines one pitch apart,
// the current one lit. It is kept between ticks, so that a tick that only moves the block copies pixels instead of
// shaping and printing text; text is printed again only when the block has risen by about a canvas height or the
// lit line changes (and then only the rows of the two lines concerned).
#include <QImage>
#include <QSize>
#include <cstdint>

class QPainter;

namespace media {

class LyricLayout;

class LyricBand {
public:
    // Forgets the picture: it no longer matches the layout.
    void Drop() { picture_ = QImage(); }

    // Paints the whole canvas with the row of line 0 starting at canvas row `blockRow` and line `highlight` lit (-1:
    // none), printing into the picture first what it lacks. `dpi` is the canvas's logical resolution, which fonts
    // given in points are sized by. False when the picture cannot be had (no memory); nothing is painted then.
    bool Paint(QPainter& painter, LyricLayout& layout, std::int64_t blockRow, int highlight, QSize canvas, QSize dpi);

    // The picture and the block row at its top, for tests.
    const QImage& Picture() const { return picture_; }
    std::int64_t Start() const { return start_; }

private:
    // Makes the picture hold block rows [first, end) with `highlight` lit.
    bool Prepare(LyricLayout& layout, std::int64_t first, std::int64_t end, int highlight, QSize canvas, QSize dpi);
    // Prints block rows [first, end) of the picture again (clipped to it).
    void Render(LyricLayout& layout, std::int64_t first, std::int64_t end);
    void RenderLine(LyricLayout& layout, int line);

    QImage picture_;
    std::int64_t start_ = 0;  // the block row at the picture's top; row 0 is the top of line 0's row
    int highlight_ = -1;      // the line lit in the picture
};

}  // namespace media
