#include "ProgramIcons.h"

#include "PictureFiles.h"
#include "media/art/ProgramIconArt.h"

#include <QDir>
#include <QFileInfo>

namespace skin {

namespace {
// The icon's theme name: the desktop entry's Icon= and the program's identity.
constexpr char kIconName[] = "media";
}  // namespace

QString ProgramIconPath(int size) {
    return QStringLiteral("hicolor/%1x%1/apps/%2.png").arg(size).arg(QLatin1String(kIconName));
}

QString WriteProgramIcons(const QString& folder) {
    for (int size : media::ProgramIconSizes()) {
        const QString path = QDir(folder).filePath(ProgramIconPath(size));
        if (!QDir().mkpath(QFileInfo(path).path()))
            return QFileInfo(path).path() + QStringLiteral(": cannot create the folder");
        const QString error = WritePicture(media::PaintProgramIcon(size), path);
        if (!error.isEmpty()) return error;
    }
    return {};
}

}  // namespace skin
