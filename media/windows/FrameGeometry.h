#pragma once
// The tool-window frame's arithmetic, in twips unless said otherwise: where each piece of the skin bitmap goes, the
// window's outline, snapping to the main window, and which dragged sizes are taken. No widgets involved.
#include <QPoint>
#include <QPointF>
#include <QRect>
#include <QRectF>
#include <QRegion>
#include <QSizeF>
#include <array>

namespace media {

struct FramePiece {
    QRectF source;  // in the skin bitmap
    QRectF target;  // in the window; stretched when its size differs from the source's
};

// The eight pieces in the order they are copied; later ones cover earlier ones where they overlap.
// W, H: the window; PW, PH: the skin bitmap; B, C: the heights of the bottom middle and bottom-left pieces.
std::array<FramePiece, 8> FramePieces(double w, double h, double pw, double ph, double b, double c);

// Twips to whole pixels, each value rounded on its own, as controls are placed.
QRect ToPixelRect(const QRectF& twips);

// The window's outline in pixels: square bottom corners, top corners rounded with a 7-pixel radius.
QRegion ToolWindowRegion(double widthTwips, double heightTwips);

enum class SnapSide {
    Below,    // left edges aligned, top on the main window's bottom edge
    RightOf,  // top edges aligned, left on the main window's right edge
};

struct SnapRule {
    SnapSide side;
    double distance;  // an axis snaps only when strictly closer than this
};

// Where a window dropped with its top-left corner at `dropped` settles; each axis is tested on its own.
QPointF SnapToMain(const SnapRule& rule, QPointF dropped, const QRectF& main);

// Which sides a resize handle drags.
struct ResizeAxes {
    bool width;
    bool height;
};

// The window size after dragging a handle to the cursor (screen pixels): the window's far edge goes to the cursor,
// but a dimension changes only when the new value is strictly greater than its minimum; there is no clamping.
QSizeF DraggedSize(ResizeAxes axes, QPoint cursorPixels, QPointF windowTopLeft, QSizeF current, QSizeF minimum);

// Where a window the program places (docked under the main window, beside it) goes so that it lies within `area`,
// the screen's part that panels leave free: first made smaller to the room left from its place (so a docked window
// stays docked), down to `minimum`, then moved in. A window that fits stays where it is.
QRectF KeptWithin(const QRectF& window, const QRectF& area, QSizeF minimum);

}  // namespace media
