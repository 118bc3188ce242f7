#pragma once
// Every caption and list text is Chinese: faces are picked among those that can show it.
#include <QString>

namespace media {

// The face asked for when it is installed, else an installed CJK face, else the one asked for (the font system
// then substitutes as it can).
QString CjkFamily(const QString& wanted);

}  // namespace media
