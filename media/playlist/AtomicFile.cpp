#include "media/playlist/AtomicFile.h"

#include <QByteArray>
#include <QFile>
#include <QSaveFile>

namespace media {

bool writeFileAtomically(const std::string& utf8Path, std::string_view content)
{
    // QSaveFile writes beside the file (an unnamed file where the file system offers one, so a killed save leaves
    // nothing), follows a symbolic link to the file it names, gives the new file the old one's permissions, and
    // replaces the old file only on commit.
    QSaveFile file(QFile::decodeName(QByteArray::fromStdString(utf8Path)));
    if (!file.open(QIODevice::WriteOnly))
        return false;
    const auto size = static_cast<qint64>(content.size());
    if (file.write(content.data(), size) != size) {
        file.cancelWriting();
        return false;
    }
    return file.commit();
}

}  // namespace media
