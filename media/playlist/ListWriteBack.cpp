#include "media/playlist/ListWriteBack.h"

#include <sys/stat.h>

#include <cerrno>
#include <cstdio>
#include <cstring>

#include "media/playlist/AtomicFile.h"

namespace media {
namespace {

std::int64_t Nanoseconds(const timespec& time) {
    return static_cast<std::int64_t>(time.tv_sec) * 1'000'000'000 + time.tv_nsec;
}

}  // namespace

std::optional<FileStamp> StampOf(const std::string& localPath) {
    struct stat info {};
    if (::stat(localPath.c_str(), &info) != 0) return std::nullopt;
    return FileStamp{info.st_size, Nanoseconds(info.st_mtim), Nanoseconds(info.st_ctim), info.st_ino};
}

bool WriteListOverSeenVersion(const std::string& localPath, const std::string& content, const SeenVersion& seen) {
    const std::optional<FileStamp> now = StampOf(localPath);
    // Someone else wrote the file since this program read or wrote it (a hand edit): that version is kept beside it
    // before ours replaces it.
    if (seen.known && now && now != seen.stamp) {
        const std::string kept = localPath + ".orig";
        if (!CopyFileAtomically(localPath, kept)) {
            const int error = errno;
            std::fprintf(stderr,
                         "media: the playlist %s was changed by another program, and that version could not be kept "
                         "as %s (%s); the file is not written over\n",
                         localPath.c_str(), kept.c_str(), std::strerror(error));
            errno = error;
            return false;
        }
        std::fprintf(stderr, "media: the playlist %s was changed by another program; that version is kept as %s\n",
                     localPath.c_str(), kept.c_str());
    }
    return WriteFileAtomically(localPath, content);
}

}  // namespace media
