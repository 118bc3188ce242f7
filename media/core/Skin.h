#pragma once
// Skin pictures: the program folder, "/Skin/", the skin name, then the picture's file name.
#include <QString>

namespace forms {
class Image;
}

namespace media {

QString SkinFile(const QString& fileName);
// Shows a skin picture on an image control; a missing picture leaves the one shown and is reported once on stderr.
void ApplyButtonPicture(forms::Image& image, const QString& fileName);

}  // namespace media
