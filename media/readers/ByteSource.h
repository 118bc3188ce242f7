#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace media {

// Random access to the bytes of a file or of a block already in memory, so the tag parsers can
// walk either without caring which.
class ByteSource {
public:
    virtual ~ByteSource() = default;
    virtual std::uint64_t Size() const = 0;
    // Bytes [offset, offset + length), fewer where the source ends; valid until the next read.
    virtual std::string_view Read(std::uint64_t offset, std::size_t length) = 0;
};

class MemorySource final : public ByteSource {
public:
    explicit MemorySource(std::string_view bytes) : bytes_(bytes) {}
    std::uint64_t Size() const override { return bytes_.size(); }
    std::string_view Read(std::uint64_t offset, std::size_t length) override;

private:
    std::string_view bytes_;
};

// Reads a regular file through one buffer, a block at a time, so that the small reads of a tag
// walk cost one system call per block rather than one per field.
class FileRegionReader final : public ByteSource {
public:
    FileRegionReader() = default;
    ~FileRegionReader() override;
    FileRegionReader(const FileRegionReader&) = delete;
    FileRegionReader& operator=(const FileRegionReader&) = delete;

    // False for a missing or unreadable path and for anything but a regular file (a FIFO would
    // block the caller).
    bool Open(const std::string& utf8Path);
    // After a failed Open: the system's error number, or 0 when the path named no regular file.
    int OpenError() const { return openError_; }
    std::uint64_t Size() const override { return size_; }
    std::string_view Read(std::uint64_t offset, std::size_t length) override;

private:
    static constexpr std::size_t kBlockSize = 16 * 1024;

    int fd_ = -1;
    int openError_ = 0;
    std::uint64_t size_ = 0;
    std::string buffer_;
    std::uint64_t bufferOffset_ = 0;
};

}  // namespace media
