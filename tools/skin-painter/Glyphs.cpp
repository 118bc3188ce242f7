#include "Glyphs.h"

#include <QPainterPathStroker>
#include <QPolygonF>
#include <QTransform>

namespace skin {
namespace {

// Every glyph is drawn on a 16 x 16 design grid, except the lettering, which is wider.
constexpr qreal kGrid = 16.0;

QPainterPath Stroked(const QPainterPath& line, qreal width, Qt::PenCapStyle cap = Qt::RoundCap) {
    QPainterPathStroker stroker;
    stroker.setWidth(width);
    stroker.setCapStyle(cap);
    stroker.setJoinStyle(Qt::RoundJoin);
    return stroker.createStroke(line);
}

QPainterPath Polygon(std::initializer_list<QPointF> points) {
    QPainterPath path;
    path.addPolygon(QPolygonF(QList<QPointF>(points)));
    path.closeSubpath();
    return path;
}

// Filled triangles look sharper than the strokes beside them; a thin round stroke softens their tips.
QPainterPath SoftTriangle(QPointF a, QPointF b, QPointF c) {
    const QPainterPath body = Polygon({a, b, c});
    return body.united(Stroked(body, 1.0));
}

QPainterPath Line(QPointF from, QPointF to) {
    QPainterPath path(from);
    path.lineTo(to);
    return path;
}

QPainterPath RoundedBox(const QRectF& rect, qreal radius) {
    QPainterPath path;
    path.addRoundedRect(rect, radius, radius);
    return path;
}

QPainterPath Arc(QPointF centre, qreal radius, qreal startDegrees, qreal spanDegrees) {
    const QRectF bounds(centre.x() - radius, centre.y() - radius, 2 * radius, 2 * radius);
    QPainterPath path;
    path.arcMoveTo(bounds, startDegrees);
    path.arcTo(bounds, startDegrees, spanDegrees);
    return path;
}

QPainterPath SpeakerBody() {
    QPainterPath body = RoundedBox(QRectF(1.5, 5.8, 3.2, 4.4), 0.6);
    body = body.united(Polygon({{4.2, 5.8}, {8.4, 2.6}, {8.4, 13.4}, {4.2, 10.2}}));
    return body.united(Stroked(body, 0.6));
}

QPainterPath ListLines(qreal right) {
    QPainterPath path;
    for (const qreal y : {4.0, 8.0, 12.0}) {
        path.addEllipse(QPointF(2.8, y), 1.15, 1.15);
        path = path.united(Stroked(Line({5.6, y}, {right, y}), 1.6));
    }
    return path;
}

QPainterPath Pin() {
    QPainterPath path = RoundedBox(QRectF(5.8, 1.2, 4.4, 6.2), 1.0);
    path = path.united(RoundedBox(QRectF(3.6, 7.0, 8.8, 1.9), 0.8));
    path = path.united(Stroked(Line({8.0, 8.5}, {8.0, 14.8}), 1.3));
    QTransform tilt;
    tilt.translate(8, 8);
    tilt.rotate(35);
    tilt.translate(-8, -8);
    return tilt.map(path);
}

QPainterPath Note() {
    QPainterPath path;
    path.addEllipse(QPointF(4.4, 12.2), 2.5, 1.9);
    path.addEllipse(QPointF(12.0, 10.6), 2.5, 1.9);
    path = path.united(Stroked(Line({6.6, 12.0}, {6.6, 3.4}), 1.3, Qt::FlatCap));
    path = path.united(Stroked(Line({14.2, 10.4}, {14.2, 1.8}), 1.3, Qt::FlatCap));
    path = path.united(Polygon({{5.95, 3.4}, {14.85, 1.0}, {14.85, 3.6}, {5.95, 6.0}}));
    return path;
}

// "LRC" on a 16 x 7 grid of its own.
QPainterPath LyricsLetters() {
    constexpr qreal kWidth = 1.35;
    QPainterPath l(QPointF(0.7, 0.0));
    l.lineTo(0.7, 7.0);
    l.lineTo(4.2, 7.0);
    QPainterPath r(QPointF(6.0, 7.0));
    r.lineTo(6.0, 0.0);
    r.lineTo(8.0, 0.0);
    r.arcTo(QRectF(6.4, 0.0, 3.6, 3.7), 90, -180);
    r.lineTo(6.0, 3.7);
    r.moveTo(8.1, 3.7);
    r.lineTo(9.7, 7.0);
    // The C stays clear of the R's leg and, with its stroke, within the grid: the caption fits its button.
    QPainterPath c;
    const QRectF bowl(11.9, 0.0, 3.4, 7.0);
    c.arcMoveTo(bowl, 50);
    c.arcTo(bowl, 50, 260);
    return Stroked(l, kWidth, Qt::SquareCap)
        .united(Stroked(r, kWidth, Qt::SquareCap))
        .united(Stroked(c, kWidth, Qt::FlatCap));
}

QPainterPath DesignPath(Glyph glyph) {
    switch (glyph) {
        case Glyph::Play: return SoftTriangle({5.2, 2.6}, {13.6, 8.0}, {5.2, 13.4});
        case Glyph::Pause:
            return RoundedBox(QRectF(3.8, 3.0, 3.2, 10.0), 0.8).united(RoundedBox(QRectF(9.0, 3.0, 3.2, 10.0), 0.8));
        case Glyph::Stop: return RoundedBox(QRectF(3.8, 3.8, 8.4, 8.4), 1.2);
        case Glyph::Previous:
            return RoundedBox(QRectF(2.4, 3.6, 1.9, 8.8), 0.5)
                .united(SoftTriangle({9.0, 3.8}, {4.9, 8.0}, {9.0, 12.2}))
                .united(SoftTriangle({13.6, 3.8}, {9.5, 8.0}, {13.6, 12.2}));
        case Glyph::Next:
            return RoundedBox(QRectF(11.7, 3.6, 1.9, 8.8), 0.5)
                .united(SoftTriangle({7.0, 3.8}, {11.1, 8.0}, {7.0, 12.2}))
                .united(SoftTriangle({2.4, 3.8}, {6.5, 8.0}, {2.4, 12.2}));
        case Glyph::Speaker:
            return SpeakerBody()
                .united(Stroked(Arc({8.4, 8.0}, 3.0, -42, 84), 1.3))
                .united(Stroked(Arc({8.4, 8.0}, 5.6, -45, 90), 1.3));
        case Glyph::SpeakerMuted:
            return SpeakerBody()
                .united(Stroked(Line({10.6, 5.6}, {14.6, 10.4}), 1.4))
                .united(Stroked(Line({14.6, 5.6}, {10.6, 10.4}), 1.4));
        case Glyph::Minimise: return Stroked(Line({4.0, 11.0}, {12.0, 11.0}), 2.0, Qt::FlatCap);
        case Glyph::Maximise: {
            // A window outline with a heavier title edge.
            QPainterPath outline;
            outline.addRect(QRectF(4.0, 4.0, 8.0, 7.6));
            QPainterPath titleEdge;
            titleEdge.addRect(QRectF(3.35, 3.35, 9.3, 2.2));
            return Stroked(outline, 1.3, Qt::SquareCap).united(titleEdge);
        }
        case Glyph::Close:
            return Stroked(Line({4.3, 4.3}, {11.7, 11.7}), 2.0).united(Stroked(Line({11.7, 4.3}, {4.3, 11.7}), 2.0));
        case Glyph::Playlist: return ListLines(13.6);
        case Glyph::ListMenu: return ListLines(10.4).united(SoftTriangle({11.6, 9.8}, {15.4, 9.8}, {13.5, 12.4}));
        case Glyph::Lyrics: return LyricsLetters();
        case Glyph::About: {
            QPainterPath ring;
            ring.addEllipse(QPointF(8.0, 8.0), 6.6, 6.6);
            QPainterPath dot;
            dot.addEllipse(QPointF(8.0, 4.9), 1.15, 1.15);
            return Stroked(ring, 1.3).united(dot).united(Stroked(Line({8.0, 7.4}, {8.0, 11.6}), 1.8, Qt::FlatCap));
        }
        case Glyph::Pin: return Pin();
        case Glyph::Note: return Note();
    }
    return {};
}

QSizeF DesignSize(Glyph glyph) { return glyph == Glyph::Lyrics ? QSizeF(16.0, 7.0) : QSizeF(kGrid, kGrid); }

}  // namespace

QPainterPath GlyphPath(Glyph glyph, const QRectF& box) {
    const QSizeF design = DesignSize(glyph);
    const qreal scale = std::min(box.width() / design.width(), box.height() / design.height());
    QTransform fit;
    fit.translate(box.center().x() - design.width() * scale / 2, box.center().y() - design.height() * scale / 2);
    fit.scale(scale, scale);
    return fit.map(DesignPath(glyph).simplified());
}

}  // namespace skin
