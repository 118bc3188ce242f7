#include "media/playlist/AtomicFile.h"

#include <atomic>
#include <cerrno>
#include <cstdio>
#include <fcntl.h>
#include <unistd.h>

namespace media {
namespace {

bool writeAll(int fd, std::string_view content)
{
    while (!content.empty()) {
        const ssize_t n = ::write(fd, content.data(), content.size());
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0)
            return false;
        content.remove_prefix(static_cast<std::size_t>(n));
    }
    return true;
}

// Creates a temporary file beside `target`; its name is unique to this process and call.
int createTemporary(const std::string& target, std::string& temporaryPath)
{
    static std::atomic<unsigned> counter{0};
    for (int attempt = 0; attempt < 100; ++attempt) {
        temporaryPath = target + ".tmp-" + std::to_string(::getpid()) + "-" + std::to_string(counter++);
        // 0666 lets the umask decide the permissions, as for any newly created file.
        const int fd = ::open(temporaryPath.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
        if (fd >= 0 || errno != EEXIST)
            return fd;
    }
    return -1;
}

}  // namespace

bool writeFileAtomically(const std::string& utf8Path, std::string_view content)
{
    std::string temporaryPath;
    const int fd = createTemporary(utf8Path, temporaryPath);
    if (fd < 0)
        return false;
    const bool written = writeAll(fd, content) && ::fsync(fd) == 0;
    const bool closed = ::close(fd) == 0;
    if (written && closed && std::rename(temporaryPath.c_str(), utf8Path.c_str()) == 0)
        return true;
    ::unlink(temporaryPath.c_str());
    return false;
}

}  // namespace media
