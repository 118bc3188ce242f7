#include "ButtonArt.h"

#include "SkinGeometry.h"
#include "Theme.h"

#include <QLinearGradient>
#include <QPainter>
#include <QRadialGradient>

namespace skin {
namespace {

QColor WithAlpha(QColor colour, int alpha) {
    colour.setAlpha(alpha);
    return colour;
}

// A glow is the glyph's outline drawn in widening, fading strokes below the glyph itself.
void PaintGlow(QPainter& painter, const QPainterPath& shape, const QColor& colour, qreal reach) {
    painter.setBrush(Qt::NoBrush);
    for (qreal width = reach; width > 0.5; width -= 1.0) {
        painter.setPen(
            QPen(WithAlpha(colour, int(170 / (1.0 + width))), width * 2, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
        painter.drawPath(shape);
    }
}

// Title-bar buttons: the glyph is engraved (a light line below it) and gets a plate on hover or press.
void PaintTitleButton(QPainter& painter, const QRectF& box, Glyph glyph, ButtonState state, bool closeButton) {
    const QRectF plate = box.adjusted(1, 1, -1, -1);
    // Lettering is kept to the height of the other glyphs' strokes; symbols fill most of the box.
    const qreal glyphSize = std::min(box.width(), box.height()) - 3;
    QRectF glyphBox(0, 0, glyph == Glyph::Lyrics ? box.width() - 8 : glyphSize,
                    glyph == Glyph::Lyrics ? 7.5 : glyphSize);
    glyphBox.moveCenter(box.center());
    const bool pressed = state == ButtonState::Pressed;
    if (pressed) glyphBox.translate(0, 0.6);
    const QPainterPath shape = GlyphPath(glyph, glyphBox);

    QColor ink = theme::kStripGlyph;
    if (state == ButtonState::Hover || pressed) {
        QLinearGradient fill(0, plate.top(), 0, plate.bottom());
        QColor border;
        if (closeButton) {
            fill.setColorAt(0, pressed ? theme::kCloseHover.darker(135) : theme::kCloseHover.lighter(118));
            fill.setColorAt(1, pressed ? theme::kCloseHover.darker(115) : theme::kCloseHover);
            border = theme::kCloseHover.darker(150);
            ink = QColor(255, 255, 255);
        } else if (pressed) {
            fill.setColorAt(0, QColor(146, 160, 182));
            fill.setColorAt(1, QColor(176, 189, 207));
            border = QColor(96, 110, 134);
            ink = theme::kAccentDeep.darker(125);
        } else {
            fill.setColorAt(0, QColor(255, 255, 255));
            fill.setColorAt(1, QColor(214, 234, 252));
            border = WithAlpha(theme::kAccentDeep, 200);
            ink = theme::kAccentDeep;
        }
        painter.setPen(QPen(border, 1));
        painter.setBrush(fill);
        painter.drawRoundedRect(plate.adjusted(0.5, 0.5, -0.5, -0.5), 3, 3);
        if (pressed) {
            painter.setPen(QPen(QColor(0, 0, 0, 50), 1));
            painter.drawLine(QPointF(plate.left() + 2, plate.top() + 1.5),
                             QPointF(plate.right() - 2, plate.top() + 1.5));
        }
    }
    if (state != ButtonState::Pressed && !(closeButton && state == ButtonState::Hover))
        painter.fillPath(shape.translated(0, 1), QColor(255, 255, 255, 170));
    painter.fillPath(shape, ink);
}

struct BodyColours {
    QColor top, bottom, rim, ink, glow;
};

BodyColours BodyColoursFor(ButtonShape shape, ButtonState state) {
    const bool accent = shape == ButtonShape::RoundAccent;
    const QColor top = accent ? theme::kAccentDeep.lighter(135) : theme::kButtonTop;
    const QColor bottom = accent ? theme::kAccentDeep.darker(160) : theme::kButtonBottom;
    const QColor rim = accent ? theme::kAccent : theme::kButtonRim;
    switch (state) {
        case ButtonState::Normal: return {top, bottom, rim, theme::kGlyph, QColor()};
        case ButtonState::Hover:
            return {top.lighter(128), bottom.lighter(125), theme::kAccentGlow, QColor(255, 255, 255), theme::kAccent};
        case ButtonState::Pressed:
            return {bottom.darker(125), top.darker(115), rim.darker(140),
                    accent ? QColor(255, 255, 255) : theme::kAccent, QColor()};
        case ButtonState::Disabled:
            return {theme::kButtonTop.darker(135), theme::kButtonBottom.darker(110), theme::kButtonRim.darker(160),
                    theme::kGlyphDisabled, QColor()};
    }
    return {};
}

// Buttons on the dark body: a domed cap with a rim; hover lights the rim and makes the glyph glow,
// press sinks the cap, disabled flattens it and greys the glyph.
void PaintBodyButton(QPainter& painter, const QRectF& box, ButtonShape shape, Glyph glyph, ButtonState state) {
    const BodyColours colours = BodyColoursFor(shape, state);
    const QRectF cap = box.adjusted(1, 1, -1, -1);
    const bool round = shape != ButtonShape::Square;
    const qreal radius = round ? cap.width() / 2 : 5;
    auto capPath = [&](const QRectF& rect, qreal inset) {
        QPainterPath path;
        if (round)
            path.addEllipse(rect.adjusted(inset, inset, -inset, -inset));
        else
            path.addRoundedRect(rect.adjusted(inset, inset, -inset, -inset), radius - inset, radius - inset);
        return path;
    };

    // Drop shadow and, on hover, a halo around the cap.
    painter.fillPath(capPath(cap.translated(0, 0.8), -0.2), QColor(0, 0, 0, 110));
    if (colours.glow.isValid()) painter.fillPath(capPath(cap, -0.9), WithAlpha(colours.glow, 90));

    QLinearGradient dome(0, cap.top(), 0, cap.bottom());
    dome.setColorAt(0, colours.top);
    dome.setColorAt(1, colours.bottom);
    painter.fillPath(capPath(cap, 0), colours.rim);
    painter.fillPath(capPath(cap, 1), dome);
    if (state == ButtonState::Normal || state == ButtonState::Hover) {
        // A soft highlight on the upper half makes the cap look domed.
        QRadialGradient shine(cap.center().x(), cap.top() + cap.height() * 0.25, cap.width() * 0.55);
        shine.setColorAt(0, QColor(255, 255, 255, state == ButtonState::Hover ? 70 : 45));
        shine.setColorAt(1, QColor(255, 255, 255, 0));
        painter.fillPath(capPath(cap, 1), shine);
    } else if (state == ButtonState::Pressed) {
        painter.setPen(QPen(QColor(0, 0, 0, 90), 1.2));
        painter.setBrush(Qt::NoBrush);
        painter.drawPath(capPath(cap.translated(0, 0.6), 1.6));
    }

    const qreal glyphSide = cap.width() * (shape == ButtonShape::RoundAccent ? 0.58 : 0.62);
    QRectF glyphBox(0, 0, glyphSide, glyphSide);
    glyphBox.moveCenter(cap.center());
    if (state == ButtonState::Pressed) glyphBox.translate(0, 0.7);
    const QPainterPath shape2 = GlyphPath(glyph, glyphBox);
    if (colours.glow.isValid())
        PaintGlow(painter, shape2, colours.glow, 2.5);
    else if (state != ButtonState::Disabled)
        painter.fillPath(shape2.translated(0, 0.8), QColor(0, 0, 0, 120));
    painter.fillPath(shape2, colours.ink);
}

}  // namespace

QImage PaintButton(const QImage& backdrop, ButtonShape shape, Glyph glyph, ButtonState state) {
    QImage image = backdrop.convertToFormat(QImage::Format_RGB32);
    QPainter painter(&image);
    painter.setRenderHint(QPainter::Antialiasing);
    const QRectF box(0, 0, image.width(), image.height());
    if (shape == ButtonShape::TitleBar || shape == ButtonShape::CloseTitle) {
        // The tool windows show only the top of the shared close picture, so every title-bar
        // button keeps its art within that height and they all line up.
        const QRectF visible(0, 0, box.width(), std::min<qreal>(box.height(), tool_window::kCloseControl.height()));
        PaintTitleButton(painter, visible, glyph, state, shape == ButtonShape::CloseTitle);
    } else {
        PaintBodyButton(painter, box, shape, glyph, state);
    }
    return image;
}

}  // namespace skin
