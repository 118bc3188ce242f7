#pragma once

#include <QByteArray>
#include <QColor>
#include <QImage>
#include <QString>

// A small GIF89a encoder for the skin's thumb pictures, which must carry real transparency and
// which Qt can read but not write. It gives every colour its own palette entry and stores the
// pixels as literal LZW codes: right for pictures of a few hundred pixels, refused beyond 255
// distinct colours.
namespace skin {

struct GifEncoding {
    QByteArray bytes;  // empty when the picture cannot be encoded
    QString error;
};

// Pixels with alpha below 128 become transparent; all others are stored opaque.
GifEncoding EncodeGif(const QImage& image);

// GIF transparency is all or nothing: edge pixels are blended onto `matte` (the colour the picture
// will mostly lie on) and then kept opaque or dropped at half coverage.
QImage FlattenAlpha(const QImage& image, const QColor& matte);

}  // namespace skin
