#include "media/windows/CjkFont.h"

#include <QFontDatabase>
#include <QStringList>

namespace media {

QString CjkFamily(const QString& wanted) {
    const QStringList installed = QFontDatabase::families();
    if (installed.contains(wanted)) return wanted;
    for (const QString& family :
         {QStringLiteral("WenQuanYi Micro Hei"), QStringLiteral("Noto Sans CJK SC"), QStringLiteral("AR PL UMing CN")})
        if (installed.contains(family)) return family;
    return wanted;
}

}  // namespace media
