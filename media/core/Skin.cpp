#include "media/core/Skin.h"

#include "media/core/ModuleMedia.h"
#include "platform/forms/Application.h"
#include "platform/forms/Image.h"

#include <QSet>
#include <QtDebug>

namespace media {

QString SkinFile(const QString& fileName) {
    return forms::ProgramFolder() + QStringLiteral("/Skin/") + QString::fromStdU16String(Shared().SkinName) +
           QLatin1Char('/') + fileName;
}

void ApplyButtonPicture(forms::Image& image, const QString& fileName) {
    const QString path = SkinFile(fileName);
    if (image.LoadPicture(path)) return;
    // A broken skin folder should be found out, not guessed at; hover pictures are applied again and again, so each
    // file is reported once.
    static QSet<QString> reported;
    if (!reported.contains(path)) {
        reported.insert(path);
        qWarning().noquote() << "media: skin picture missing or unreadable:" << path;
    }
}

}  // namespace media
