#include "media/windows/FrameGeometry.h"

#include <algorithm>
#include <cmath>

#include "platform/forms/Twips.h"

namespace media {

std::array<FramePiece, 8> FramePieces(double w, double h, double pw, double ph, double b, double c) {
    return {{
        {{420, 0, 120, 800}, {420, 0, w, 800}},                              // title-bar middle
        {{420, ph - b, 120, b}, {420, h - b, w, b}},                         // bottom middle
        {{0, 800, 200, 40}, {0, 0, 200, h}},                                 // left edge
        {{pw - 100, 800, 200, 40}, {w - 100, 0, 200, h}},                    // right edge
        {{0, 0, 450, 800}, {0, 0, 450, 800}},                                // top-left corner
        {{0, ph - c, 450, c}, {0, h - c, 450, c}},                           // bottom-left corner
        {{pw - 1665, 0, 1665, 435}, {w - 1665, 0, 1665, 435}},               // top-right corner
        {{pw - 1665, ph - 525, 1665, 525}, {w - 1665, h - 525, 1665, 525}},  // bottom-right corner
    }};
}

QRect ToPixelRect(const QRectF& twips) {
    return QRect(forms::ToPixels(twips.x()), forms::ToPixels(twips.y()), forms::ToPixels(twips.width()),
                 forms::ToPixels(twips.height()));
}

QRegion ToolWindowRegion(double widthTwips, double heightTwips) {
    // The height is whole pixels at once; the width stays fractional until each coordinate is taken from it.
    const double w = widthTwips / forms::kTwipsPerPixel;
    const int h = static_cast<int>(std::lround(heightTwips / forms::kTwipsPerPixel));
    const auto px = [](double v) { return static_cast<int>(std::lround(v)); };
    // Rectangles given by corners exclude their right and bottom edges.
    QRegion region(QRect(0, 6, px(w), h - 6));
    region += QRect(7, 0, px(w - 6) - 7, h);
    region += QRegion(0, 0, 14, 14, QRegion::Ellipse);
    region += QRegion(px(w - 14), 0, px(w + 1) - px(w - 14), 14, QRegion::Ellipse);
    return region;
}

QPointF SnapToMain(const SnapRule& rule, QPointF dropped, const QRectF& main) {
    const QPointF line = rule.side == SnapSide::Below ? QPointF(main.left(), main.top() + main.height())
                                                      : QPointF(main.left() + main.width(), main.top());
    QPointF settled = dropped;
    if (std::abs(dropped.x() - line.x()) < rule.distance) settled.setX(line.x());
    if (std::abs(dropped.y() - line.y()) < rule.distance) settled.setY(line.y());
    return settled;
}

QSizeF DraggedSize(ResizeAxes axes, QPoint cursorPixels, QPointF windowTopLeft, QSizeF current, QSizeF minimum) {
    QSizeF size = current;
    if (axes.width) {
        const double width = forms::ToTwips(cursorPixels.x()) - windowTopLeft.x();
        if (width > minimum.width()) size.setWidth(width);
    }
    if (axes.height) {
        const double height = forms::ToTwips(cursorPixels.y()) - windowTopLeft.y();
        if (height > minimum.height()) size.setHeight(height);
    }
    return size;
}

namespace {

// One axis of KeptWithin: the window's start and length, within [areaStart, areaEnd).
std::pair<double, double> KeptOnAxis(double start, double length, double areaStart, double areaEnd, double minimum) {
    const double from = std::max(start, areaStart);
    const double kept = std::max(std::min(length, areaEnd - from), std::min(minimum, length));
    // Moved in from the far edge first, so that a window larger than the area shows its start (the title bar and its
    // buttons).
    return {std::max(std::min(from, areaEnd - kept), areaStart), kept};
}

}  // namespace

QRectF KeptWithin(const QRectF& window, const QRectF& area, QSizeF minimum) {
    const auto [left, width] = KeptOnAxis(window.left(), window.width(), area.left(), area.right(), minimum.width());
    const auto [top, height] = KeptOnAxis(window.top(), window.height(), area.top(), area.bottom(), minimum.height());
    return QRectF(left, top, width, height);
}

}  // namespace media
