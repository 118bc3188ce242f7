#pragma once
// The lines of the lyric laid out for one canvas: each line's text and centred pen x are worked out once per lyric,
// font and canvas width, not shaped again on every tick.
#include <QFont>
#include <QFontMetrics>
#include <QString>
#include <cstdint>
#include <vector>

#include "media/lyrics/LyricTable.h"

class QPainter;

namespace media {

class LyricLayout {
public:
    // Takes on the table's lyric, the font and the canvas width. Every Install (also of the same lines), another font
    // or another width starts the layout afresh; returns whether it did.
    bool Follow(const LyricTable& table, const QFont& font, int canvasWidth);

    std::size_t Count() const { return lines_.size(); }
    // The pitch of one printed line.
    int Pitch() const { return metrics_.lineSpacing(); }
    const QFont& Font() const { return font_; }
    // The Install of the table this layout was made from.
    std::uint64_t Generation() const { return generation_; }

    // How far the ink of a line may reach beyond its row, above and below.
    int Overhang() const { return Pitch(); }

    // Prints, with the row of line 0 starting at y0 and the next lines one pitch apart, every line whose ink may reach
    // the rows from `from` to `to`: centred, line `highlight` in the highlight colour, the others in the normal one.
    void PrintRows(QPainter& painter, double y0, int highlight, double from, double to);

private:
    void Print(QPainter& painter, std::size_t i, double y, bool current);

    struct Line {
        QString text;
        double x = 0;
        bool measured = false;  // a line is measured when it is first printed: a long lyric costs nothing up front
    };

    std::uint64_t generation_ = 0;
    QFont font_;
    QFontMetrics metrics_{font_};
    int width_ = -1;
    std::vector<Line> lines_;
};

// The pixel row at which the painter puts text it is asked to print at y: like the raster engine, it keeps y in 64ths
// of a pixel and rounds that to the nearest row. The engine does so on device rows, which differ from the canvas's by
// whole pixels and are positive (the canvas lies inside its window), so two tops on the same row print the same
// pixels, and a block printed at a whole row can be copied to any other.
std::int64_t PrintedRow(double y);

}  // namespace media
