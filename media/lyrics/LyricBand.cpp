#include "media/lyrics/LyricBand.h"

#include <QPainter>
#include <algorithm>

#include "media/lyrics/LyricLayout.h"

namespace media {
namespace {

int DotsPerMeter(int dpi) { return qRound(dpi / 0.0254); }

}  // namespace

bool LyricBand::Paint(QPainter& painter, LyricLayout& layout, std::int64_t blockRow, int highlight, QSize canvas,
                      QSize dpi) {
    const std::int64_t pitch = layout.Pitch(), overhang = layout.Overhang();
    const auto count = static_cast<std::int64_t>(layout.Count());
    // The block rows in view that can hold ink of some line; rows around the block are plain black.
    const std::int64_t first = std::max(-blockRow, -overhang);
    const std::int64_t end = std::min(-blockRow + canvas.height(), count * pitch + overhang);
    const QRect whole(QPoint(0, 0), canvas);
    if (pitch <= 0 || canvas.width() <= 0 || first >= end) {
        painter.fillRect(whole, Qt::black);
        return true;
    }
    if (!Prepare(layout, first, end, highlight, canvas, dpi)) return false;
    // Both ends lie within the canvas: first >= -blockRow and end <= canvas height - blockRow.
    const int top = static_cast<int>(first + blockRow), bottom = static_cast<int>(end + blockRow);
    painter.fillRect(0, 0, canvas.width(), top, Qt::black);
    painter.drawImage(QPoint(0, top), picture_,
                      QRect(0, static_cast<int>(first - start_), canvas.width(), bottom - top));
    painter.fillRect(0, bottom, canvas.width(), canvas.height() - bottom, Qt::black);
    return true;
}

bool LyricBand::Prepare(LyricLayout& layout, std::int64_t first, std::int64_t end, int highlight, QSize canvas,
                        QSize dpi) {
    const bool fits = !picture_.isNull() && picture_.width() == canvas.width() && first >= start_ &&
                      end <= start_ + picture_.height() && picture_.dotsPerMeterX() == DotsPerMeter(dpi.width()) &&
                      picture_.dotsPerMeterY() == DotsPerMeter(dpi.height());
    if (fits) {
        if (highlight != highlight_) {
            const int before = highlight_;
            highlight_ = highlight;
            RenderLine(layout, before);
            RenderLine(layout, highlight);
        }
        return true;
    }
    // The block rises as the track plays: the picture starts at the first row shown and reaches at least a canvas
    // height further down, so it is printed again about once per canvas height risen. Having moved down (a seek),
    // the block is shown from the picture's bottom rows instead.
    const std::int64_t pitch = layout.Pitch(), overhang = layout.Overhang();
    const std::int64_t blockStart = -overhang, blockEnd = static_cast<std::int64_t>(layout.Count()) * pitch + overhang;
    const std::int64_t rows = std::min<std::int64_t>(
        canvas.height() + std::max<std::int64_t>(canvas.height(), 8 * pitch), blockEnd - blockStart);
    const bool movedDown = !picture_.isNull() && first < start_;
    start_ = movedDown ? std::max(blockStart, end - rows) : std::min(first, blockEnd - rows);
    picture_ = QImage(canvas.width(), static_cast<int>(rows), QImage::Format_RGB32);
    if (picture_.isNull()) return false;
    picture_.setDotsPerMeterX(DotsPerMeter(dpi.width()));
    picture_.setDotsPerMeterY(DotsPerMeter(dpi.height()));
    highlight_ = highlight;
    Render(layout, start_, start_ + rows);
    return true;
}

void LyricBand::Render(LyricLayout& layout, std::int64_t first, std::int64_t end) {
    first = std::max(first, start_);
    end = std::min(end, start_ + picture_.height());
    if (first >= end) return;
    const QRect rows(0, static_cast<int>(first - start_), picture_.width(), static_cast<int>(end - first));
    QPainter painter(&picture_);
    // The clip keeps the rows around untouched: printing over them again would blend the text twice.
    painter.setClipRect(rows);
    painter.fillRect(rows, Qt::black);
    painter.setFont(layout.Font());
    layout.PrintRows(painter, static_cast<double>(-start_), highlight_, rows.top(), rows.top() + rows.height());
}

void LyricBand::RenderLine(LyricLayout& layout, int line) {
    if (line < 0 || static_cast<std::size_t>(line) >= layout.Count()) return;
    const std::int64_t pitch = layout.Pitch(), overhang = layout.Overhang();
    Render(layout, line * pitch - overhang, (line + 1) * pitch + overhang);
}

}  // namespace media
