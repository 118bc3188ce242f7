#pragma once
// The classic three-dimensional edges of buttons and sunken frames, in the system's 3-D colours: an outer and an
// inner one-pixel border, each lit on its top and left and shaded on its bottom and right.
#include <QRect>

class QPainter;

namespace lorvex {

enum class EdgeKind {
    Raised,       // a button at rest
    Etched,       // a groove: a button held down in the header
    Sunken,       // two pixels deep: a client edge
    SunkenOuter,  // one pixel deep: a static edge
};

enum EdgeSides : unsigned { EdgeLeft = 1, EdgeTop = 2, EdgeRight = 4, EdgeBottom = 8, EdgeAll = 15 };

// Draws the edge inside rect on the given sides; the bottom-right colour wins where the borders meet.
void DrawEdge(QPainter& painter, const QRect& rect, EdgeKind kind, unsigned sides = EdgeAll);

// How many pixels the edge takes on each side.
int EdgeWidth(EdgeKind kind);

}  // namespace lorvex
