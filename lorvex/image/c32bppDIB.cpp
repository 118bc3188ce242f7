#include "lorvex/image/c32bppDIB.h"

#include <QImageReader>
#include <QPainter>

#include <algorithm>
#include <cstdlib>

namespace lorvex {

namespace {

constexpr int kMaxIconImages = 64;

bool Acceptable(const QSize& size) {
    return size.isValid() && qint64{size.width()} * size.height() <= c32bppDIB::kMaxPixels;
}

// Moves the reader to the icon image whose size lies nearest to the wanted one.
void PickIconImage(QImageReader& reader, const QSize& wanted) {
    const int count = std::min(reader.imageCount(), kMaxIconImages);
    int best = -1;
    long long bestDistance = 0;
    for (int i = 0; i < count; ++i) {
        if (!reader.jumpToImage(i)) break;
        const QSize size = reader.size();
        if (!Acceptable(size)) continue;
        const long long distance = std::llabs(static_cast<long long>(size.width()) - wanted.width()) +
                                   std::llabs(static_cast<long long>(size.height()) - wanted.height());
        if (best < 0 || distance < bestDistance) {
            best = i;
            bestDistance = distance;
        }
    }
    if (best >= 0) reader.jumpToImage(best);
}

}  // namespace

bool c32bppDIB::LoadFromFile(const QString& path, int iconWidth, int iconHeight) {
    image_ = QImage();
    QImageReader reader(path);
    const bool icon = reader.format() == "ico" || reader.format() == "cur";
    const QSize iconSize(iconWidth, iconHeight);
    if (icon && iconSize.isValid() && !iconSize.isEmpty()) PickIconImage(reader, iconSize);
    // Refuse before decoding when the header already tells the size.
    if (reader.size().isValid() && !Acceptable(reader.size())) return false;
    QImage image = reader.read();
    if (image.isNull() || !Acceptable(image.size())) return false;
    if (icon && iconSize.isValid() && !iconSize.isEmpty() && image.size() != iconSize)
        image = image.scaled(iconSize, Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
    image_ = image.convertToFormat(QImage::Format_ARGB32_Premultiplied);
    return !image_.isNull();
}

bool c32bppDIB::LoadFromResource(const QString& section, const QString& id, int iconWidth, int iconHeight) {
    // The library's resources are compiled in as ":/lorvex/<section>/<id>".
    return LoadFromFile(QStringLiteral(":/lorvex/%1/%2").arg(section, id), iconWidth, iconHeight);
}

bool c32bppDIB::Render(QPainter& painter, int x, int y, int width, int height, int opacity, bool blend,
                       bool halftone) const {
    if (image_.isNull() || width <= 0 || height <= 0) return false;
    painter.save();
    painter.setOpacity(std::clamp(opacity, 0, 100) / 100.0);
    painter.setCompositionMode(blend && alpha_ ? QPainter::CompositionMode_SourceOver
                                               : QPainter::CompositionMode_Source);
    painter.setRenderHint(QPainter::SmoothPixmapTransform, halftone || highQuality_);
    painter.drawImage(QRect(x, y, width, height), image_);
    painter.restore();
    return true;
}

}  // namespace lorvex
