#include "PictureFiles.h"

#include "GifWriter.h"

#include <QFileInfo>
#include <QImageWriter>
#include <QSaveFile>

namespace skin {

QString WritePicture(const QImage& image, const QString& path) {
    const QString suffix = QFileInfo(path).suffix().toLower();
    QByteArray bytes;
    if (suffix == QLatin1String("gif")) {
        GifEncoding gif = EncodeGif(image);
        if (!gif.error.isEmpty()) return path + QStringLiteral(": ") + gif.error;
        bytes = std::move(gif.bytes);
    }
    if (suffix != QLatin1String("gif") && suffix != QLatin1String("bmp") && suffix != QLatin1String("png"))
        return path + QStringLiteral(": no picture format for this file name");

    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly)) return path + QStringLiteral(": ") + file.errorString();
    if (suffix == QLatin1String("gif")) {
        if (file.write(bytes) != bytes.size()) return path + QStringLiteral(": ") + file.errorString();
    } else {
        // Qt writes 24 bits per pixel for an opaque 32-bit picture; PNG keeps any transparency.
        const QImage pixels = suffix == QLatin1String("bmp") ? image.convertToFormat(QImage::Format_RGB32) : image;
        QImageWriter writer(&file, suffix.toLatin1());
        if (!writer.write(pixels)) return path + QStringLiteral(": ") + writer.errorString();
    }
    if (!file.commit()) return path + QStringLiteral(": ") + file.errorString();
    return {};
}

}  // namespace skin
