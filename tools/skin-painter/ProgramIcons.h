#pragma once

#include <QString>

// The program's icon as the desktop's icon theme expects it: FOLDER/hicolor/NxN/apps/media.png at every size the
// program draws, where FOLDER is an icon theme base folder such as <prefix>/share/icons.
namespace skin {

// Where the picture of `size` pixels lives below the icon theme base folder.
QString ProgramIconPath(int size);

// Returns an empty string on success, otherwise what went wrong.
QString WriteProgramIcons(const QString& folder);

}  // namespace skin
