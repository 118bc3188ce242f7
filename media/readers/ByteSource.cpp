#include "media/readers/ByteSource.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#include <algorithm>
#include <cerrno>

namespace media {

std::string_view MemorySource::Read(std::uint64_t offset, std::size_t length) {
    if (offset >= bytes_.size()) return {};
    return bytes_.substr(offset, length);
}

FileRegionReader::~FileRegionReader() {
    if (fd_ >= 0) ::close(fd_);
}

bool FileRegionReader::Open(const std::string& utf8Path) {
    fd_ = ::open(utf8Path.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK);
    struct stat st {};
    if (fd_ < 0 || ::fstat(fd_, &st) != 0) {
        openError_ = errno;
        return false;
    }
    if (!S_ISREG(st.st_mode)) return false;
    size_ = static_cast<std::uint64_t>(st.st_size);
    return true;
}

std::string_view FileRegionReader::Read(std::uint64_t offset, std::size_t length) {
    if (fd_ < 0 || offset >= size_) return {};
    length = static_cast<std::size_t>(std::min<std::uint64_t>(length, size_ - offset));
    const bool buffered = offset >= bufferOffset_ && offset - bufferOffset_ + length <= buffer_.size();
    if (!buffered) {
        // Fill a whole block from `offset`: the next reads of a tag walk usually fall inside it.
        const auto fill =
            static_cast<std::size_t>(std::min<std::uint64_t>(std::max(length, kBlockSize), size_ - offset));
        buffer_.resize(fill);
        std::size_t got = 0;
        while (got < fill) {
            const ssize_t n = ::pread(fd_, buffer_.data() + got, fill - got, static_cast<off_t>(offset + got));
            if (n < 0 && errno == EINTR) continue;
            if (n <= 0) break;
            got += static_cast<std::size_t>(n);
        }
        buffer_.resize(got);
        bufferOffset_ = offset;
    }
    const std::size_t start = static_cast<std::size_t>(offset - bufferOffset_);
    return std::string_view(buffer_).substr(start, std::min(length, buffer_.size() - start));
}

}  // namespace media
