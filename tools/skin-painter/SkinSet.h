#pragma once

#include <QImage>
#include <QList>
#include <QString>

// The complete DA10 picture set, painted in memory, by file name.
namespace skin {

struct Picture {
    QString fileName;
    QImage image;
};

QList<Picture> PaintSkinSet();

}  // namespace skin
