#pragma once
// The program's icon: a rounded blue square with a white quaver, painted at any size.
#include <QImage>
#include <QList>

namespace media {

// The sizes the icon is drawn at, for the window, the tray and the desktop's icon theme.
const QList<int>& ProgramIconSizes();

// The icon as a square picture of `size` pixels with a transparent background.
QImage PaintProgramIcon(int size);

}  // namespace media
