#include "media/playlist/AtomicFile.h"

#include <QByteArray>
#include <QFile>
#include <QSaveFile>

#include "platform/text/FileName.h"

#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <csignal>
#include <cstdio>
#include <filesystem>
#include <memory>
#include <system_error>

namespace media {

namespace {

// Gives up a save under way, keeping the error that made it fail for the caller.
bool Abandon(QSaveFile& file, int error) {
    file.cancelWriting();
    errno = error != 0 ? error : EIO;
    return false;
}

// Why QSaveFile refused to open a file it found unfit without a failing system call (it then leaves errno alone).
int ReasonNotOpened(const std::string& localPath) {
    struct stat info {};
    if (::stat(localPath.c_str(), &info) != 0) return errno;
    if (S_ISDIR(info.st_mode)) return EISDIR;
    if (::access(localPath.c_str(), W_OK) != 0) return errno;
    return EIO;
}

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
    errno = 0;
    if (!file.open(QIODevice::WriteOnly | QIODevice::Unbuffered)) {
        if (errno == 0) errno = ReasonNotOpened(localPath);
        return false;
    }
    // Unbuffered, so that a full disk shows in the write itself: a buffered save meets it only in the flush within
    // commit(), which (Qt 6.4) then still renames the cut file over the list. A file system that reports the
    // failure only when the data reach the disk reports it here, in the sync, also before the rename.
    const auto size = static_cast<qint64>(content.size());
    if (file.write(content.data(), size) != size) return Abandon(file, errno);
    if (::fsync(file.handle()) != 0) return Abandon(file, errno);
    if (file.error() != QFileDevice::NoError) return Abandon(file, errno);
    errno = 0;
    if (file.commit()) return true;
    if (errno == 0) errno = EIO;
    return false;
}

bool CopyFileAtomically(const std::string& from, const std::string& to) {
    std::unique_ptr<std::FILE, int (*)(std::FILE*)> file(std::fopen(from.c_str(), "rbe"), &std::fclose);
    if (!file) return false;
    std::string content;
    char block[1 << 16];
    std::size_t got = 0;
    while ((got = std::fread(block, 1, sizeof block, file.get())) > 0) content.append(block, got);
    if (std::ferror(file.get())) {
        errno = errno != 0 ? errno : EIO;
        return false;
    }
    return WriteFileAtomically(to, content);
}

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
