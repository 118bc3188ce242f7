#include "ProgramIcons.h"

#include "PictureFiles.h"
#include "media/art/ProgramIconArt.h"

#include <QDir>
#include <QFileInfo>

namespace skin {

namespace {
// The icon's theme name: the desktop entry's Icon= and the program's identity.
constexpr char iconName[] = "media";
}  // namespace

QString programIconPath(int size) {
    return QStringLiteral("hicolor/%1x%1/apps/%2.png").arg(size).arg(QLatin1String(iconName));
}

QString writeProgramIcons(const QString& folder) {
    for (int size : media::ProgramIconSizes()) {
        const QString path = QDir(folder).filePath(programIconPath(size));
        if (!QDir().mkpath(QFileInfo(path).path()))
            return QFileInfo(path).path() + QStringLiteral(": cannot create the folder");
        const QString error = writePicture(media::PaintProgramIcon(size), path);
        if (!error.isEmpty()) return error;
    }
    return {};
}

}  // namespace skin
