#pragma once
// A 32-bit image with per-pixel transparency, as the grid keeps its row pictures: loaded from a file or from the
// library's resources and rendered at a position and size.
#include <QImage>
#include <QString>

class QPainter;

namespace lorvex {

class c32bppDIB {
public:
    // Pictures larger than this are refused: row pictures are small, and a forged header must not make us
    // allocate gigabytes.
    static constexpr qint64 kMaxPixels = 4096 * 4096;

    // With Alpha the image's transparency is kept when rendered; without it every pixel is drawn opaque.
    bool Alpha() const { return alpha_; }
    void SetAlpha(bool on) { alpha_ = on; }
    // Smooth (rather than nearest-pixel) scaling when rendered at another size.
    bool HighQualityInterpolation() const { return highQuality_; }
    void SetHighQualityInterpolation(bool on) { highQuality_ = on; }

    // Loads an image file; for icon files the image nearest to iconWidth x iconHeight is taken and scaled to it.
    bool LoadFromFile(const QString& path, int iconWidth, int iconHeight);
    // Loads a resource of the library, named by its section (type) and identifier.
    bool LoadFromResource(const QString& section, const QString& id, int iconWidth, int iconHeight);

    bool IsLoaded() const { return !image_.isNull(); }
    const QImage& Image() const { return image_; }

    // Draws the image into x, y, width, height at opacity percent; blend mixes it with what lies below by its
    // transparency, halftone scales smoothly. False when there is nothing to draw.
    bool Render(QPainter& painter, int x, int y, int width, int height, int opacity = 100, bool blend = true,
                bool halftone = false) const;

private:
    QImage image_;
    bool alpha_ = false;
    bool highQuality_ = true;
};

}  // namespace lorvex
