#pragma once

#include <QImage>
#include <QString>

// Writes a picture in the format its file name asks for: ".bmp" as 24-bit BMP, ".gif" as GIF with
// transparency, ".png" as PNG. The file appears complete or not at all (temporary file + rename).
namespace skin {

// Returns an empty string on success, otherwise what went wrong.
QString WritePicture(const QImage& image, const QString& path);

}  // namespace skin
