#include "media/art/ProgramIconArt.h"

#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>

namespace media {

const QList<int>& ProgramIconSizes() {
    static const QList<int> kSizes{16, 22, 24, 32, 48, 64, 128, 256};
    return kSizes;
}

QImage PaintProgramIcon(int size) {
    QImage image(size, size, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::transparent);
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing);
    const qreal s = size;
    QLinearGradient body(0, 0, 0, s);
    body.setColorAt(0, QColor(72, 160, 235));
    body.setColorAt(1, QColor(22, 74, 150));
    p.setPen(Qt::NoPen);
    p.setBrush(body);
    p.drawRoundedRect(QRectF(0.5, 0.5, s - 1, s - 1), s * 0.22, s * 0.22);
    // A quaver: two heads joined by a beam.
    p.setBrush(Qt::white);
    p.drawEllipse(QRectF(s * 0.20, s * 0.62, s * 0.24, s * 0.18));
    p.drawEllipse(QRectF(s * 0.56, s * 0.54, s * 0.24, s * 0.18));
    p.drawRect(QRectF(s * 0.38, s * 0.22, s * 0.06, s * 0.50));
    p.drawRect(QRectF(s * 0.74, s * 0.14, s * 0.06, s * 0.50));
    QPainterPath beam;
    beam.moveTo(s * 0.38, s * 0.22);
    beam.lineTo(s * 0.80, s * 0.14);
    beam.lineTo(s * 0.80, s * 0.24);
    beam.lineTo(s * 0.38, s * 0.32);
    beam.closeSubpath();
    p.drawPath(beam);
    return image;
}

}  // namespace media
