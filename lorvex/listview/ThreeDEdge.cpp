#include "lorvex/listview/ThreeDEdge.h"

#include <QPainter>

#include "lorvex/listview/SystemColors.h"

namespace lorvex {

namespace {

// System colours of the 3-D elements.
constexpr std::uint32_t kButtonShadow = 0x80000010;
constexpr std::uint32_t kButtonHighlight = 0x80000014;
constexpr std::uint32_t kDarkShadow = 0x80000015;
constexpr std::uint32_t kLight = 0x80000016;

struct Border {
    std::uint32_t topLeft;
    std::uint32_t bottomRight;
};

struct EdgeColors {
    Border outer;
    Border inner;  // topLeft 0: no inner border
};

EdgeColors ColorsOf(EdgeKind kind) {
    switch (kind) {
        case EdgeKind::Raised: return {{kLight, kDarkShadow}, {kButtonHighlight, kButtonShadow}};
        case EdgeKind::Etched: return {{kButtonShadow, kButtonHighlight}, {kButtonHighlight, kButtonShadow}};
        case EdgeKind::Sunken: return {{kButtonShadow, kButtonHighlight}, {kDarkShadow, kLight}};
        case EdgeKind::SunkenOuter: break;
    }
    return {{kButtonShadow, kButtonHighlight}, {0, 0}};
}

// One border along the inside of r; returns r less what the border took.
QRect DrawBorder(QPainter& painter, QRect r, const Border& border, unsigned sides) {
    if (r.width() <= 0 || r.height() <= 0) return r;
    const QColor lit = SystemColor(border.topLeft);
    const QColor shaded = SystemColor(border.bottomRight);
    if (sides & EdgeTop) painter.fillRect(QRect(r.left(), r.top(), r.width(), 1), lit);
    if (sides & EdgeLeft) painter.fillRect(QRect(r.left(), r.top(), 1, r.height()), lit);
    if (sides & EdgeBottom) painter.fillRect(QRect(r.left(), r.bottom(), r.width(), 1), shaded);
    if (sides & EdgeRight) painter.fillRect(QRect(r.right(), r.top(), 1, r.height()), shaded);
    return r.adjusted(sides & EdgeLeft ? 1 : 0, sides & EdgeTop ? 1 : 0, sides & EdgeRight ? -1 : 0,
                      sides & EdgeBottom ? -1 : 0);
}

}  // namespace

void DrawEdge(QPainter& painter, const QRect& rect, EdgeKind kind, unsigned sides) {
    const EdgeColors colors = ColorsOf(kind);
    const QRect inside = DrawBorder(painter, rect, colors.outer, sides);
    if (colors.inner.topLeft != 0) DrawBorder(painter, inside, colors.inner, sides);
}

int EdgeWidth(EdgeKind kind) { return kind == EdgeKind::SunkenOuter ? 1 : 2; }

}  // namespace lorvex
