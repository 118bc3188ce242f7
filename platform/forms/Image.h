#pragma once
// An image control: shows its picture unscaled from its top-left corner, clipped to its own size. Transparent pixels
// (GIF transparency) show whatever lies below.
#include <QPixmap>

#include "platform/forms/Control.h"

namespace forms {

class Image : public Control {
    Q_OBJECT
public:
    explicit Image(QWidget* parent) : Control(parent) {}

    // Loads the picture from a file; a missing or unreadable file leaves the current picture in place.
    bool LoadPicture(const QString& path);
    void SetPicture(const QPixmap& picture);
    const QPixmap& Picture() const { return picture_; }
    // The file of the picture shown, for checks and tests.
    const QString& PictureFile() const { return pictureFile_; }

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    QPixmap picture_;
    QString pictureFile_;
};

}  // namespace forms
