#include "Backdrops.h"

#include "Glyphs.h"
#include "SkinGeometry.h"
#include "Theme.h"

#include <QFont>
#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>

#include <cmath>

namespace skin {
namespace {

constexpr QSize kToolFrameSize(160, 120);
constexpr int kToolBorder = 6;
// The playlist grid starts 760 twips (50.7 pixels) down; the band above it shows the body colour.
constexpr int kToolInsideTop = 51;
// The tallest bottom-left piece the windows copy (800 twips) and the width of the corner pieces.
constexpr int kBottomLeftTallest = Pixels(800);
constexpr int kCornerPieceWidth = Pixels(450);

QPainterPath TopRoundedRect(const QRectF& rect, qreal radius) {
    QPainterPath path;
    path.moveTo(rect.left(), rect.bottom());
    path.lineTo(rect.left(), rect.top() + radius);
    path.arcTo(QRectF(rect.left(), rect.top(), 2 * radius, 2 * radius), 180, -90);
    path.lineTo(rect.right() - radius, rect.top());
    path.arcTo(QRectF(rect.right() - 2 * radius, rect.top(), 2 * radius, 2 * radius), 90, -90);
    path.lineTo(rect.right(), rect.bottom());
    path.closeSubpath();
    return path;
}

// The light strip along the top of every window. Its rows are the same in every window and it is
// uniform across, so the shared title-bar buttons match wherever they are placed.
void PaintTitleStrip(QPainter& painter, int width) {
    const QRectF strip(0, 0, width, kTitleStripHeight);
    QLinearGradient shade(0, 0, 0, kTitleStripHeight - 1);
    shade.setColorAt(0.0, theme::kStripTop);
    shade.setColorAt(1.0, theme::kStripBottom);
    painter.fillPath(TopRoundedRect(strip, main_window::kCornerRadius), shade);
    // A bright first line catches the light; the last line is the strip's shadow on the body.
    painter.setPen(QPen(QColor(255, 255, 255, 200), 1));
    painter.drawLine(QPointF(main_window::kCornerRadius, 0.5), QPointF(width - main_window::kCornerRadius, 0.5));
    painter.fillRect(QRectF(0, kTitleStripHeight - 1, width, 1), theme::kStripShadow);
}

// A panel set into the body: dark outline, light lower lip, filled with `fill`.
void PaintRecess(QPainter& painter, const QRectF& rect, qreal radius, const QBrush& fill) {
    painter.setPen(Qt::NoPen);
    painter.setBrush(
        QColor(theme::kBodyHighlight.red(), theme::kBodyHighlight.green(), theme::kBodyHighlight.blue(), 150));
    painter.drawRoundedRect(rect.translated(0, 1), radius, radius);
    painter.setBrush(theme::kBodyEdge);
    painter.drawRoundedRect(rect, radius, radius);
    painter.setBrush(fill);
    painter.drawRoundedRect(rect.adjusted(1, 1, -1, -1), std::max<qreal>(radius - 1, 0),
                            std::max<qreal>(radius - 1, 0));
}

// A groove is one flat colour along its length: the bar pictures lying in it are cut from it and
// must look the same wherever they are clipped.
void PaintGroove(QPainter& painter, const QRect& strip) {
    const QRectF groove = QRectF(strip).adjusted(-2, -2, 2, 2);
    PaintRecess(painter, groove, 2, theme::kGroove);
    painter.fillRect(QRectF(groove.left() + 2, groove.top() + 1, groove.width() - 4, 1), QColor(0, 0, 0, 90));
}

void PaintScreen(QPainter& painter) {
    using namespace main_window;
    const QRectF screen(5, 29, 260, 80);
    QLinearGradient glass(0, screen.top(), 0, screen.bottom());
    glass.setColorAt(0.0, theme::kScreenTop);
    glass.setColorAt(1.0, theme::kScreenBottom);
    PaintRecess(painter, screen, 4, glass);

    // A faint sheen over the upper part of the glass.
    QLinearGradient sheen(0, screen.top(), 0, screen.top() + 22);
    sheen.setColorAt(0.0, QColor(255, 255, 255, 14));
    sheen.setColorAt(1.0, QColor(255, 255, 255, 0));
    painter.fillRect(screen.adjusted(2, 2, -2, -58), sheen);

    // The title line sits above a rule; the time texts keep to the right of a divider.
    const qreal ruleY = kTitleText.bottom() + 3.5;
    painter.setPen(QPen(theme::kScreenRule, 1));
    painter.drawLine(QPointF(screen.left() + 4, ruleY), QPointF(screen.right() - 4, ruleY));
    const qreal dividerX = kTimerText.left() - 4.5;
    painter.drawLine(QPointF(dividerX, ruleY + 5), QPointF(dividerX, screen.bottom() - 5));

    // Decoration for the otherwise empty left part: a quiet trace of a sound wave and the emblem.
    QPainterPath wave;
    const qreal left = screen.left() + 10, right = dividerX - 10, middle = 80;
    for (qreal x = left; x <= right; x += 0.5) {
        const qreal t = (x - left) / (right - left);
        const qreal envelope = std::sin(t * M_PI) * (0.55 + 0.45 * std::sin(t * 9.0));
        const qreal y = middle - 17 * envelope * std::sin(t * 46.0) * std::cos(t * 13.0);
        if (x == left)
            wave.moveTo(x, y);
        else
            wave.lineTo(x, y);
    }
    QColor trace = theme::kScreenDecor;
    trace.setAlpha(120);
    painter.setPen(QPen(trace, 1.0));
    painter.setBrush(Qt::NoBrush);
    painter.drawPath(wave);
}

void PaintMainBody(QPainter& painter, const QRect& window) {
    QLinearGradient body(0, kTitleStripHeight, 0, window.height());
    body.setColorAt(0.0, theme::kBodyTop);
    body.setColorAt(1.0, theme::kBodyBottom);
    painter.fillRect(window, body);
    // Bevel: a light line inside the dark outer edge on the left, right and bottom.
    painter.setPen(
        QPen(QColor(theme::kBodyHighlight.red(), theme::kBodyHighlight.green(), theme::kBodyHighlight.blue(), 110), 1));
    painter.drawLine(QPointF(1.5, kTitleStripHeight), QPointF(1.5, window.height() - 1.5));
    painter.drawLine(QPointF(window.width() - 1.5, kTitleStripHeight),
                     QPointF(window.width() - 1.5, window.height() - 1.5));
    painter.drawLine(QPointF(1.5, window.height() - 1.5), QPointF(window.width() - 1.5, window.height() - 1.5));
    painter.setPen(QPen(theme::kBodyEdge, 1));
    painter.setBrush(Qt::NoBrush);
    painter.drawRect(QRectF(0.5, -1, window.width() - 1, window.height() + 0.5));
}

void PaintEmblem(QPainter& painter) {
    painter.fillPath(GlyphPath(Glyph::Note, QRectF(9, 6, 15, 15)), theme::kAccentDeep);
    QFont font("DejaVu Sans");
    font.setPixelSize(11);
    font.setBold(true);
    font.setLetterSpacing(QFont::AbsoluteSpacing, 0.6);
    QPainterPath name;
    name.addText(QPointF(28, 18), font, QStringLiteral("Morvane"));
    painter.fillPath(name.translated(0, 1), QColor(255, 255, 255, 150));
    painter.fillPath(name, theme::kStripGlyph);
}

}  // namespace

QImage PaintPlayerBackdrop() {
    using namespace main_window;
    QImage image(kWindow.size(), QImage::Format_RGB32);
    image.fill(theme::kBodyEdge);
    QPainter painter(&image);
    painter.setRenderHint(QPainter::Antialiasing);
    PaintMainBody(painter, kWindow);
    PaintTitleStrip(painter, kWindow.width());
    PaintEmblem(painter);
    PaintScreen(painter);
    PaintGroove(painter, kSeekStrip);
    PaintGroove(painter, kVolumeStrip);
    return image;
}

QImage PaintToolFrameBitmap() {
    const int width = kToolFrameSize.width(), height = kToolFrameSize.height();
    QImage image(kToolFrameSize, QImage::Format_RGB32);
    image.fill(theme::kBodyEdge);
    QPainter painter(&image);
    painter.setRenderHint(QPainter::Antialiasing);

    // Side and bottom borders: edge, bevel line, body colour; the same all along their length.
    const QColor body = theme::kBodyTop.darker(118);
    painter.fillRect(QRect(1, 0, width - 2, height - 1), body);
    painter.fillRect(QRect(1, 0, 1, height - 2), theme::kBodyHighlight);
    painter.fillRect(QRect(width - 2, 0, 1, height - 2), theme::kBodyHighlight.darker(130));
    painter.fillRect(QRect(2, height - 2, width - 4, 1), theme::kBodyHighlight.darker(130));
    painter.fillRect(
        QRect(kToolBorder + 1, kToolInsideTop, width - 2 * kToolBorder - 2, height - kToolInsideTop - kToolBorder - 1),
        theme::kToolInside);

    // In a window of the smallest height the bottom-left piece reaches up into the band above the
    // grid; its first rows are band-coloured so it closes up there too (in taller windows the grid
    // covers them).
    painter.fillRect(QRect(kToolBorder + 1, height - kBottomLeftTallest, kCornerPieceWidth - kToolBorder - 1, 5), body);

    PaintTitleStrip(painter, width);
    painter.fillRect(QRect(2, kTitleStripHeight, width - 4, 1), QColor(255, 255, 255, 28));

    // Grip dots in the bottom-right corner, where the window is resized.
    painter.setPen(Qt::NoPen);
    painter.setBrush(theme::kBodyHighlight.lighter(140));
    for (const QPointF& dot :
         {QPointF(width - 3.5, height - 3.5), QPointF(width - 6.5, height - 3.5), QPointF(width - 3.5, height - 6.5)})
        painter.drawEllipse(dot, 0.8, 0.8);
    return image;
}

QImage BackdropUnder(const QImage& backdrop, const QRect& place) { return backdrop.copy(place); }

}  // namespace skin
