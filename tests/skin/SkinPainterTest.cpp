// The painter's own GIF encoder and file writing: what the thumbs depend on.
#include "GifWriter.h"
#include "Glyphs.h"
#include "PictureFiles.h"
#include "SkinSet.h"

#include <QDir>
#include <QFile>
#include <QImage>
#include <QTemporaryDir>

#include <gtest/gtest.h>

namespace {

using skin::EncodeGif;
using skin::FlattenAlpha;
using skin::WritePicture;

QImage DecodeGif(const QByteArray& bytes) {
    return QImage::fromData(bytes, "GIF").convertToFormat(QImage::Format_ARGB32);
}

// A picture with `colours` distinct opaque colours and a transparent pixel every seventh place.
QImage Patterned(QSize size, int colours) {
    QImage image(size, QImage::Format_ARGB32);
    int n = 0;
    for (int y = 0; y < size.height(); ++y)
        for (int x = 0; x < size.width(); ++x, ++n)
            image.setPixel(x, y,
                           n % 7 == 3 ? qRgba(0, 0, 0, 0)
                                      : qRgb((n % colours) * 37 % 256, (n % colours) * 11 % 256, (n % colours) % 256));
    return image;
}

void ExpectSamePixels(const QImage& decoded, const QImage& original) {
    ASSERT_EQ(decoded.size(), original.size());
    for (int y = 0; y < original.height(); ++y)
        for (int x = 0; x < original.width(); ++x) {
            const QRgb want = original.pixel(x, y), got = decoded.pixel(x, y);
            if (qAlpha(want) == 0)
                ASSERT_EQ(qAlpha(got), 0) << x << "," << y;
            else
                ASSERT_EQ(got, want) << x << "," << y;
        }
}

TEST(GifEncoder, SmallPictureComesBackExactlyWithItsTransparency) {
    const QImage original = Patterned({20, 10}, 40);
    const skin::GifEncoding gif = EncodeGif(original);
    ASSERT_TRUE(gif.error.isEmpty()) << gif.error.toStdString();
    EXPECT_TRUE(gif.bytes.startsWith("GIF89a"));
    ExpectSamePixels(DecodeGif(gif.bytes), original);
}

// Thousands of codes: several table resets and many data sub-blocks, with all 255 colours in use.
TEST(GifEncoder, LargerPictureWithAFullPaletteComesBackExactly) {
    const QImage original = Patterned({97, 61}, 255);
    const skin::GifEncoding gif = EncodeGif(original);
    ASSERT_TRUE(gif.error.isEmpty()) << gif.error.toStdString();
    ExpectSamePixels(DecodeGif(gif.bytes), original);
}

TEST(GifEncoder, RefusesWhatItCannotStore) {
    QImage manyColours(16, 16, QImage::Format_RGB32);
    for (int i = 0; i < 256; ++i) manyColours.setPixel(i % 16, i / 16, qRgb(i, 0, 0));
    const skin::GifEncoding tooMany = EncodeGif(manyColours);
    EXPECT_TRUE(tooMany.bytes.isEmpty());
    EXPECT_FALSE(tooMany.error.isEmpty());

    const skin::GifEncoding empty = EncodeGif(QImage());
    EXPECT_TRUE(empty.bytes.isEmpty());
    EXPECT_FALSE(empty.error.isEmpty());
}

TEST(GifEncoder, FlatteningBlendsEdgesOntoTheMatteAndDropsFaintPixels) {
    QImage image(3, 1, QImage::Format_ARGB32);
    image.setPixel(0, 0, qRgba(255, 255, 255, 255));
    image.setPixel(1, 0, qRgba(255, 255, 255, 128));
    image.setPixel(2, 0, qRgba(255, 255, 255, 127));
    const QImage flat = FlattenAlpha(image, QColor(0, 0, 0));
    EXPECT_EQ(flat.pixel(0, 0), qRgba(255, 255, 255, 255));
    EXPECT_EQ(flat.pixel(1, 0), qRgba(128, 128, 128, 255));
    EXPECT_EQ(qAlpha(flat.pixel(2, 0)), 0);
}

TEST(PictureFiles, WritesEachFormatItsNameAsksFor) {
    QTemporaryDir folder;
    ASSERT_TRUE(folder.isValid());
    const QImage picture = Patterned({9, 5}, 12);
    for (const char* name : {"a.bmp", "b.gif", "c.png"})
        ASSERT_EQ(WritePicture(picture, folder.filePath(QLatin1String(name))), QString()) << name;

    const QImage bmp(folder.filePath(QStringLiteral("a.bmp")));
    EXPECT_FALSE(bmp.hasAlphaChannel());
    EXPECT_EQ(bmp.size(), picture.size());
    ExpectSamePixels(QImage(folder.filePath(QStringLiteral("b.gif"))).convertToFormat(QImage::Format_ARGB32), picture);
    ExpectSamePixels(QImage(folder.filePath(QStringLiteral("c.png"))).convertToFormat(QImage::Format_ARGB32), picture);
}

TEST(PictureFiles, FailureIsReportedAndLeavesTheOldFileInPlace) {
    QTemporaryDir folder;
    ASSERT_TRUE(folder.isValid());
    const QString missingFolder = folder.filePath(QStringLiteral("absent/x.bmp"));
    EXPECT_FALSE(WritePicture(Patterned({4, 4}, 3), missingFolder).isEmpty());
    EXPECT_FALSE(QFile::exists(missingFolder));

    EXPECT_FALSE(WritePicture(Patterned({4, 4}, 3), folder.filePath(QStringLiteral("x.tiff"))).isEmpty());

    // A picture the GIF encoder refuses must not replace the file already there.
    const QString kept = folder.filePath(QStringLiteral("kept.gif"));
    ASSERT_EQ(WritePicture(Patterned({4, 4}, 3), kept), QString());
    QFile before(kept);
    ASSERT_TRUE(before.open(QIODevice::ReadOnly));
    const QByteArray old = before.readAll();
    before.close();
    EXPECT_FALSE(WritePicture(Patterned({30, 30}, 300), kept).isEmpty());
    QFile after(kept);
    ASSERT_TRUE(after.open(QIODevice::ReadOnly));
    EXPECT_EQ(after.readAll(), old);
    EXPECT_EQ(QDir(folder.path()).entryList(QDir::Files).size(), 1);
}

// Regenerating must give the set the windows load: same names, same sizes as the shipped files.
TEST(SkinPainter, PaintsExactlyTheShippedSetAtTheShippedSizes) {
    const QDir shipped(QStringLiteral(SKIN_SOURCE_DIR));
    QStringList painted;
    for (const skin::Picture& picture : skin::PaintSkinSet()) {
        painted.append(picture.fileName);
        const QImage file(shipped.filePath(picture.fileName));
        EXPECT_EQ(picture.image.size(), file.size()) << picture.fileName.toStdString();
    }
    painted.sort();
    EXPECT_EQ(painted, shipped.entryList(QDir::Files, QDir::Name));
}

TEST(SkinPainter, EveryGlyphHasAShapeInsideItsBox) {
    const QRectF box(3, 2, 20, 14);
    for (int i = int(skin::Glyph::Play); i <= int(skin::Glyph::Note); ++i) {
        const QPainterPath path = skin::GlyphPath(skin::Glyph(i), box);
        EXPECT_FALSE(path.isEmpty()) << "glyph " << i;
        EXPECT_TRUE(box.adjusted(-0.5, -0.5, 0.5, 0.5).contains(path.boundingRect())) << "glyph " << i;
        const QSizeF extent = path.boundingRect().size();
        EXPECT_GT(std::max(extent.width(), extent.height()), box.height() / 3)
            << "glyph " << i << " is too small to see";
    }
}

}  // namespace
