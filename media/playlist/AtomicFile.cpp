#include "media/playlist/AtomicFile.h"

#include <QByteArray>
#include <QFile>
#include <QSaveFile>

#include "platform/text/FileName.h"

#include <cerrno>
#include <csignal>
#include <filesystem>
#include <system_error>

namespace media {

bool WriteFileAtomically(const std::string& localPath, std::string_view content) {
    // QSaveFile writes beside the file (an unnamed file where the file system offers one, so a killed save leaves
    // nothing), follows a symbolic link to the file it names, gives the new file the old one's permissions, and
    // replaces the old file only on commit.
    // Qt names files in UTF-8 only: a path holding other bytes would be written under another name, so it is not
    // written at all.
    const QString name = QString::fromStdU16String(text::FromFileName(localPath));
    if (QFile::encodeName(name).toStdString() != localPath) {
        errno = EILSEQ;
        return false;
    }
    QSaveFile file(name);
    if (!file.open(QIODevice::WriteOnly)) return false;
    const auto size = static_cast<qint64>(content.size());
    if (file.write(content.data(), size) != size) {
        file.cancelWriting();
        return false;
    }
    return file.commit();
}

namespace {

// The process number of "<name>.tmp-<process>-<number>", or 0 when `candidate` is not such a name.
long LeftoverProcess(const std::string& name, const std::string& candidate) {
    const std::string prefix = name + ".tmp-";
    if (candidate.compare(0, prefix.size(), prefix) != 0) return 0;
    const std::string rest = candidate.substr(prefix.size());
    const auto dash = rest.find('-');
    const auto digits = [](const std::string& s) {
        return !s.empty() && s.size() < 10 && s.find_first_not_of("0123456789") == std::string::npos;
    };
    if (dash == std::string::npos || !digits(rest.substr(0, dash)) || !digits(rest.substr(dash + 1))) return 0;
    return std::stol(rest.substr(0, dash));
}

}  // namespace

void RemoveLeftoverTemporaries(const std::string& localPath) {
    namespace fs = std::filesystem;
    const fs::path path(localPath);
    const std::string name = path.filename().string();
    std::error_code error;
    for (const fs::directory_entry& entry : fs::directory_iterator(path.parent_path(), error)) {
        const long process = LeftoverProcess(name, entry.path().filename().string());
        if (process <= 0 || !entry.is_regular_file(error)) continue;
        if (::kill(static_cast<pid_t>(process), 0) == 0 || errno != ESRCH) continue;  // its writer still runs
        fs::remove(entry.path(), error);
    }
}

}  // namespace media
