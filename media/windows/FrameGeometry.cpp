#include "media/windows/FrameGeometry.h"

#include <cmath>

#include "platform/forms/Twips.h"

namespace media {

std::array<FramePiece, 8> FramePieces(double W, double H, double PW, double PH, double B, double C) {
    return {{
        {{420, 0, 120, 800}, {420, 0, W, 800}},                              // title-bar middle
        {{420, PH - B, 120, B}, {420, H - B, W, B}},                         // bottom middle
        {{0, 800, 200, 40}, {0, 0, 200, H}},                                 // left edge
        {{PW - 100, 800, 200, 40}, {W - 100, 0, 200, H}},                    // right edge
        {{0, 0, 450, 800}, {0, 0, 450, 800}},                                // top-left corner
        {{0, PH - C, 450, C}, {0, H - C, 450, C}},                           // bottom-left corner
        {{PW - 1665, 0, 1665, 435}, {W - 1665, 0, 1665, 435}},               // top-right corner
        {{PW - 1665, PH - 525, 1665, 525}, {W - 1665, H - 525, 1665, 525}},  // bottom-right corner
    }};
}

QRect ToPixelRect(const QRectF& twips) {
    return QRect(forms::ToPixels(twips.x()), forms::ToPixels(twips.y()), forms::ToPixels(twips.width()),
                 forms::ToPixels(twips.height()));
}

QRegion ToolWindowRegion(double widthTwips, double heightTwips) {
    // The height is whole pixels at once; the width stays fractional until each coordinate is taken from it.
    const double w = widthTwips / forms::TwipsPerPixel;
    const int h = static_cast<int>(std::lround(heightTwips / forms::TwipsPerPixel));
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

}  // namespace media
