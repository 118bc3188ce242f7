#pragma once

#include <QHash>
#include <QImage>
#include <QString>

// A look at the skin in use: the main window at start-up and while playing (with hover and press
// pictures up), the playlist window and the lyrics window composed from the frame bitmap the way
// the tool windows compose it, and a sheet of every picture.
namespace skin {

using PictureSet = QHash<QString, QImage>;

QImage PaintPreview(const PictureSet& pictures, int scale);

// The pictures of the set that are missing from `pictures`, for a clear message before composing.
QStringList MissingPictures(const PictureSet& pictures);

}  // namespace skin
