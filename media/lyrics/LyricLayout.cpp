#include "media/lyrics/LyricLayout.h"

#include <QPainter>
#include <algorithm>
#include <cmath>

namespace media {
namespace {
const QColor kNormalColor(0, 255, 0);
const QColor kCurrentColor(255, 255, 255);
}  // namespace

bool LyricLayout::Follow(const LyricTable& table, const QFont& font, int canvasWidth) {
    // The count is checked too, so that lines swapped in without an Install can never be read past their end.
    if (table.generation == generation_ && canvasWidth == width_ && table.lyricLines.size() == lines_.size() &&
        font == font_)
        return false;
    generation_ = table.generation;
    width_ = canvasWidth;
    if (!(font == font_)) {
        font_ = font;
        metrics_ = QFontMetrics(font_);
    }
    lines_.clear();
    lines_.reserve(table.lyricLines.size());
    for (const LyricLine& line : table.lyricLines) lines_.push_back({QString::fromStdU16String(line.Text)});
    return true;
}

void LyricLayout::PrintRows(QPainter& painter, double y0, int highlight, double from, double to) {
    const double pitch = Pitch(), overhang = Overhang();
    if (pitch <= 0 || lines_.empty() || !std::isfinite(y0)) return;
    const double last = static_cast<double>(lines_.size()) - 1;
    const double first = std::clamp(std::floor((from - overhang - y0) / pitch), 0.0, last + 1);
    const double end = std::clamp(std::ceil((to + overhang - y0) / pitch), 0.0, last + 1);
    for (auto i = static_cast<std::size_t>(first); i < static_cast<std::size_t>(end); ++i)
        Print(painter, i, y0 + pitch * static_cast<double>(i), static_cast<int>(i) == highlight);
}

void LyricLayout::Print(QPainter& painter, std::size_t i, double y, bool current) {
    if (i >= lines_.size()) return;
    Line& line = lines_[i];
    if (!line.measured) {
        line.x = (width_ - metrics_.horizontalAdvance(line.text)) / 2.0;
        line.measured = true;
    }
    painter.setPen(current ? kCurrentColor : kNormalColor);
    painter.drawText(QPointF(line.x, y + metrics_.ascent()), line.text);
}

std::int64_t PrintedRow(double y) {
    // Far outside any canvas the exact row no longer matters, only that it stays far outside.
    if (std::isnan(y)) return 0;
    const double clamped = std::clamp(y, -1e12, 1e12);
    return static_cast<std::int64_t>(std::floor((std::floor(clamped * 64) + 32) / 64));
}

}  // namespace media
