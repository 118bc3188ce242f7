// The program's icon as the skin painter writes it for the icon theme: every size the program draws, as the program
// draws it.
#include "ProgramIcons.h"
#include "media/art/ProgramIconArt.h"

#include <QDir>
#include <QImage>
#include <QTemporaryDir>

#include <gtest/gtest.h>

namespace {

TEST(ProgramIcons, EverySizeIsWrittenWhereTheIconThemeLooks) {
    QTemporaryDir folder;
    ASSERT_TRUE(folder.isValid());
    ASSERT_EQ(skin::WriteProgramIcons(folder.path()), QString());
    for (int size : media::ProgramIconSizes()) {
        const QString path = folder.filePath(QStringLiteral("hicolor/%1x%1/apps/media.png").arg(size));
        QImage written(path, "PNG");
        ASSERT_FALSE(written.isNull()) << path.toStdString();
        const QImage painted = media::PaintProgramIcon(size);
        EXPECT_EQ(written.convertToFormat(QImage::Format_ARGB32), painted.convertToFormat(QImage::Format_ARGB32))
            << "size " << size;
    }
}

TEST(ProgramIcons, TheIconIsARoundedSquareWithATransparentCorner) {
    const QImage icon = media::PaintProgramIcon(64).convertToFormat(QImage::Format_ARGB32);
    ASSERT_EQ(icon.size(), QSize(64, 64));
    EXPECT_EQ(qAlpha(icon.pixel(0, 0)), 0);
    EXPECT_EQ(qAlpha(icon.pixel(32, 4)), 255);
    // The quaver's stem is white on the blue body.
    EXPECT_EQ(icon.pixel(26, 30), qRgb(255, 255, 255));
    EXPECT_GT(qBlue(icon.pixel(8, 32)), qRed(icon.pixel(8, 32)));
}

TEST(ProgramIcons, AFolderThatCannotBeMadeIsReported) {
    QTemporaryDir folder;
    ASSERT_TRUE(folder.isValid());
    QFile blocker(folder.filePath(QStringLiteral("file")));
    ASSERT_TRUE(blocker.open(QIODevice::WriteOnly));
    blocker.close();
    EXPECT_FALSE(skin::WriteProgramIcons(blocker.fileName()).isEmpty());
}

}  // namespace
