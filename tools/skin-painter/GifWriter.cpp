#include "GifWriter.h"

#include <QHash>
#include <QList>

namespace skin {
namespace {

constexpr int kPaletteEntries = 256;
constexpr int kTransparentIndex = 255;  // the last entry; the colours use 0 to 254
constexpr int kMinimumCodeSize = 8;
constexpr int kClearCode = 1 << kMinimumCodeSize;
constexpr int kEndCode = kClearCode + 1;
constexpr int kCodeWidth = kMinimumCodeSize + 1;
// Literal codes still grow the decoder's table; clearing it this often keeps every code 9 bits wide.
constexpr int kCodesPerClear = 200;
constexpr int kOpaqueFrom = 128;

void PutWord(QByteArray& out, int value) {
    out.append(char(value & 0xff));
    out.append(char((value >> 8) & 0xff));
}

class CodeWriter {
public:
    void Put(int code) {
        pending_ |= quint32(code) << pendingBits_;
        pendingBits_ += kCodeWidth;
        while (pendingBits_ >= 8) {
            bytes_.append(char(pending_ & 0xff));
            pending_ >>= 8;
            pendingBits_ -= 8;
        }
    }

    QByteArray Finish() {
        if (pendingBits_ > 0) bytes_.append(char(pending_ & 0xff));
        pending_ = 0;
        pendingBits_ = 0;
        return bytes_;
    }

private:
    QByteArray bytes_;
    quint32 pending_ = 0;
    int pendingBits_ = 0;
};

QByteArray LzwLiteralCodes(const QList<quint8>& indexes) {
    CodeWriter writer;
    int sinceClear = kCodesPerClear;
    for (const quint8 index : indexes) {
        if (sinceClear == kCodesPerClear) {
            writer.Put(kClearCode);
            sinceClear = 0;
        }
        writer.Put(index);
        ++sinceClear;
    }
    writer.Put(kEndCode);
    return writer.Finish();
}

void PutSubBlocks(QByteArray& out, const QByteArray& data) {
    for (qsizetype at = 0; at < data.size(); at += 255) {
        const qsizetype length = std::min<qsizetype>(255, data.size() - at);
        out.append(char(length));
        out.append(data.mid(at, length));
    }
    out.append(char(0));
}

}  // namespace

GifEncoding EncodeGif(const QImage& source) {
    if (source.isNull() || source.width() > 0xffff || source.height() > 0xffff)
        return {{}, QStringLiteral("a GIF needs a picture of 1 to 65535 pixels each way")};
    const QImage image = source.convertToFormat(QImage::Format_ARGB32);

    QList<QRgb> palette;
    QHash<QRgb, quint8> indexOf;
    QList<quint8> indexes;
    indexes.reserve(qsizetype(image.width()) * image.height());
    for (int y = 0; y < image.height(); ++y) {
        const QRgb* row = reinterpret_cast<const QRgb*>(image.constScanLine(y));
        for (int x = 0; x < image.width(); ++x) {
            if (qAlpha(row[x]) < kOpaqueFrom) {
                indexes.append(kTransparentIndex);
                continue;
            }
            const QRgb colour = row[x] & 0xffffff;
            auto found = indexOf.constFind(colour);
            if (found == indexOf.constEnd()) {
                if (palette.size() == kTransparentIndex)
                    return {{}, QStringLiteral("more than 255 colours: too many for this GIF encoder")};
                found = indexOf.insert(colour, quint8(palette.size()));
                palette.append(colour);
            }
            indexes.append(*found);
        }
    }

    QByteArray out("GIF89a");
    PutWord(out, image.width());
    PutWord(out, image.height());
    out.append(char(0xf7));  // global colour table of 256 entries, 8 bits per primary
    out.append(char(kTransparentIndex));
    out.append(char(0));
    for (int i = 0; i < kPaletteEntries; ++i) {
        const QRgb colour = i < palette.size() ? palette[i] : 0;
        out.append(char(qRed(colour)));
        out.append(char(qGreen(colour)));
        out.append(char(qBlue(colour)));
    }
    // Graphic control extension: no animation, one transparent palette entry.
    out.append("\x21\xf9\x04\x01", 4);
    PutWord(out, 0);
    out.append(char(kTransparentIndex));
    out.append(char(0));
    // The one image, covering the whole screen, not interlaced, using the global colour table.
    out.append(char(0x2c));
    PutWord(out, 0);
    PutWord(out, 0);
    PutWord(out, image.width());
    PutWord(out, image.height());
    out.append(char(0));
    out.append(char(kMinimumCodeSize));
    PutSubBlocks(out, LzwLiteralCodes(indexes));
    out.append(char(0x3b));
    return {out, {}};
}

QImage FlattenAlpha(const QImage& source, const QColor& matte) {
    QImage image = source.convertToFormat(QImage::Format_ARGB32);
    for (int y = 0; y < image.height(); ++y) {
        QRgb* row = reinterpret_cast<QRgb*>(image.scanLine(y));
        for (int x = 0; x < image.width(); ++x) {
            const int alpha = qAlpha(row[x]);
            if (alpha < kOpaqueFrom) {
                row[x] = qRgba(0, 0, 0, 0);
                continue;
            }
            auto blend = [alpha](int over, int under) { return (over * alpha + under * (255 - alpha) + 127) / 255; };
            row[x] = qRgb(blend(qRed(row[x]), matte.red()), blend(qGreen(row[x]), matte.green()),
                          blend(qBlue(row[x]), matte.blue()));
        }
    }
    return image;
}

}  // namespace skin
