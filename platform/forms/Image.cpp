#include "platform/forms/Image.h"

#include <QPainter>

namespace forms {

bool Image::LoadPicture(const QString& path) {
    QPixmap loaded;
    if (!loaded.load(path)) return false;
    picture_ = std::move(loaded);
    pictureFile_ = path;
    update();
    return true;
}

void Image::SetPicture(const QPixmap& picture) {
    picture_ = picture;
    pictureFile_.clear();
    update();
}

void Image::paintEvent(QPaintEvent*) {
    if (picture_.isNull()) return;
    QPainter painter(this);
    painter.drawPixmap(0, 0, picture_);
}

}  // namespace forms
