#include "BarArt.h"

#include "Theme.h"

#include <QLinearGradient>
#include <QPainter>

namespace skin {
namespace {

// The knob of both thumbs: light steel at rest, lit in the accent colour while held or playing.
QLinearGradient KnobShade(const QRectF& knob, ThumbState state) {
    QLinearGradient shade(0, knob.top(), 0, knob.bottom());
    if (state == ThumbState::Active) {
        shade.setColorAt(0, theme::kAccentGlow.lighter(110));
        shade.setColorAt(0.5, theme::kAccent);
        shade.setColorAt(1, theme::kAccentDeep);
    } else {
        shade.setColorAt(0, theme::kKnobLight);
        shade.setColorAt(1, theme::kKnobDark);
    }
    return shade;
}

QColor KnobRim(ThumbState state) {
    return state == ThumbState::Active ? theme::kAccentDeep.darker(150) : QColor(38, 46, 60);
}

}  // namespace

QImage PaintStrip(const QImage& groove, bool filled) {
    QImage image = groove.convertToFormat(QImage::Format_RGB32);
    QPainter painter(&image);
    painter.setRenderHint(QPainter::Antialiasing);
    const qreal middle = image.height() / 2.0;
    if (!filled) {
        // An empty rail, its upper edge in shadow.
        const QRectF track(1, middle - 2, image.width() - 2, 4);
        painter.setPen(Qt::NoPen);
        painter.setBrush(theme::kTrackShadow);
        painter.drawRoundedRect(track.translated(0, -0.6), 2, 2);
        painter.setBrush(theme::kTrack);
        painter.drawRoundedRect(track.adjusted(0, 0.4, 0, 0), 2, 2);
        return image;
    }
    // The bar runs on past the right edge so that only its start is rounded.
    const QRectF bar(1, middle - 2.5, image.width() + 8, 5);
    QColor halo = theme::kAccent;
    halo.setAlpha(60);
    painter.setPen(Qt::NoPen);
    painter.setBrush(halo);
    painter.drawRoundedRect(bar.adjusted(-0.5, -1, 0, 1), 3, 3);
    QLinearGradient shade(0, bar.top(), 0, bar.bottom());
    shade.setColorAt(0, theme::kAccentGlow);
    shade.setColorAt(0.45, theme::kAccent);
    shade.setColorAt(1, theme::kAccentDeep);
    painter.setBrush(shade);
    painter.drawRoundedRect(bar, 2.5, 2.5);
    return image;
}

QImage PaintSeekThumb(ThumbState state) {
    QImage image(20, 10, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::transparent);
    QPainter painter(&image);
    painter.setRenderHint(QPainter::Antialiasing);
    const QRectF knob(1, 0.5, 18, 9);
    painter.setPen(QPen(KnobRim(state), 1));
    painter.setBrush(KnobShade(knob, state));
    painter.drawRoundedRect(knob, 4.5, 4.5);
    // Three grip lines in the middle.
    painter.setPen(QPen(state == ThumbState::Active ? QColor(255, 255, 255, 200) : QColor(70, 82, 100, 200), 1));
    for (const qreal x : {7.5, 10.0, 12.5}) painter.drawLine(QPointF(x, 3), QPointF(x, 7));
    painter.end();
    return image.convertToFormat(QImage::Format_ARGB32);
}

QImage PaintVolumeThumb(const QImage& emptyStrip, const QImage& filledStrip, QSize size, int topInStrip,
                        ThumbState state) {
    // Cut from the middle of the strips, away from the rounded ends of the rails.
    const int middle = emptyStrip.width() / 2;
    QImage image =
        emptyStrip.copy(middle, topInStrip, size.width(), size.height()).convertToFormat(QImage::Format_RGB32);
    QPainter painter(&image);
    // The fill ends under the thumb's left edge; a column of it keeps the bar continuous.
    painter.drawImage(QPoint(0, 0), filledStrip.copy(middle, topInStrip, 1, size.height()));
    painter.setRenderHint(QPainter::Antialiasing);
    const QRectF knob(1.5, 0.5, size.width() - 3, size.height() - 1);
    painter.setPen(QPen(KnobRim(state), 1));
    painter.setBrush(KnobShade(knob, state));
    painter.drawRoundedRect(knob, 3, 3);
    painter.setPen(QPen(state == ThumbState::Active ? QColor(255, 255, 255, 210) : QColor(70, 82, 100, 210), 1));
    for (const qreal y : {4.5, 6.5, 8.5}) painter.drawLine(QPointF(4, y), QPointF(size.width() - 4, y));
    return image;
}

}  // namespace skin
