// skin-painter: paints the DA10 skin.
//   skin-painter FOLDER                                   write every picture into FOLDER
//   skin-painter --preview OUT.png [--from FOLDER] [--scale N]
//                                                         compose the windows from the pictures
//                                                         (painted afresh, or read from FOLDER)
//   skin-painter --icons FOLDER                           write the program's icon into the icon theme base
//                                                         FOLDER (FOLDER/hicolor/NxN/apps/media.png)
#include "PictureFiles.h"
#include "Preview.h"
#include "ProgramIcons.h"
#include "SkinSet.h"

#include <QDir>
#include <QGuiApplication>
#include <QImageReader>

#include <cstdio>

namespace {

int Fail(const QString& message) {
    std::fprintf(stderr, "skin-painter: %s\n", qPrintable(message));
    return 1;
}

int WriteSkin(const QString& folder) {
    if (!QDir().mkpath(folder)) return Fail(folder + QStringLiteral(": cannot create the folder"));
    for (const skin::Picture& picture : skin::PaintSkinSet()) {
        const QString error = skin::WritePicture(picture.image, QDir(folder).filePath(picture.fileName));
        if (!error.isEmpty()) return Fail(error);
    }
    return 0;
}

skin::PictureSet ReadSkin(const QString& folder) {
    skin::PictureSet pictures;
    for (const skin::Picture& picture : skin::PaintSkinSet())
        pictures.insert(picture.fileName, QImageReader(QDir(folder).filePath(picture.fileName)).read());
    return pictures;
}

int WritePreview(const QStringList& args) {
    QString output, from;
    int scale = 1;
    for (qsizetype i = 1; i < args.size(); ++i) {
        const bool hasValue = i + 1 < args.size();
        if (args[i] == QLatin1String("--preview") && hasValue)
            output = args[++i];
        else if (args[i] == QLatin1String("--from") && hasValue)
            from = args[++i];
        else if (args[i] == QLatin1String("--scale") && hasValue)
            scale = args[++i].toInt();
        else
            return Fail(QStringLiteral("unexpected argument: ") + args[i]);
    }
    if (output.isEmpty() || scale < 1 || scale > 8)
        return Fail(QStringLiteral("usage: skin-painter --preview OUT.png [--from FOLDER] [--scale 1-8]"));

    skin::PictureSet pictures;
    if (from.isEmpty()) {
        for (const skin::Picture& picture : skin::PaintSkinSet()) pictures.insert(picture.fileName, picture.image);
    } else {
        pictures = ReadSkin(from);
    }
    const QStringList missing = skin::MissingPictures(pictures);
    if (!missing.isEmpty())
        return Fail(from + QStringLiteral(": missing or unreadable: ") + missing.join(QStringLiteral(", ")));
    const QString error = skin::WritePicture(skin::PaintPreview(pictures, scale), output);
    return error.isEmpty() ? 0 : Fail(error);
}

}  // namespace

int main(int argc, char** argv) {
    // The painter opens no window; it only needs fonts, which a display-less platform provides.
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);
    const QStringList args = app.arguments();
    if (args.size() >= 2 && args[1] == QLatin1String("--preview")) return WritePreview(args);
    if (args.size() == 3 && args[1] == QLatin1String("--icons")) {
        const QString error = skin::WriteProgramIcons(args[2]);
        return error.isEmpty() ? 0 : Fail(error);
    }
    if (args.size() == 2 && !args[1].startsWith(QLatin1Char('-'))) return WriteSkin(args[1]);
    return Fail(
        QStringLiteral("usage: skin-painter FOLDER | skin-painter --preview OUT.png [--from FOLDER] [--scale N]"
                       " | skin-painter --icons FOLDER"));
}
