#include "media/core/Skin.h"

#include "media/core/ModuleMedia.h"
#include "platform/forms/Application.h"
#include "platform/forms/Image.h"

namespace media {

QString SkinFile(const QString& fileName) {
    return forms::ProgramFolder() + QStringLiteral("/Skin/") + QString::fromStdU16String(Shared().SkinName) +
           QLatin1Char('/') + fileName;
}

void ApplyButtonPicture(forms::Image& image, const QString& fileName) { image.LoadPicture(SkinFile(fileName)); }

}  // namespace media
