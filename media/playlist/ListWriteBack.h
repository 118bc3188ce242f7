#pragma once
// Writing the list back over its file without losing a version that someone else wrote there meanwhile.
#include <cstdint>
#include <optional>
#include <string>

namespace media {

// What tells one version of a file from another without reading it.
struct FileStamp {
    std::int64_t size = -1;
    std::int64_t modifiedNs = 0;
    std::int64_t changedNs = 0;
    std::uint64_t inode = 0;
    bool operator==(const FileStamp&) const = default;
};

// The file's stamp; none when there is no such file.
std::optional<FileStamp> StampOf(const std::string& localPath);

// The version of a list file this program last saw, read by a load or written by a save.
struct SeenVersion {
    bool known = false;              // false: this program has not seen the file (a save under a new name)
    std::optional<FileStamp> stamp;  // none: there was no such file
};

// Writes `content` over the list file. A version someone else wrote since `seen` is first kept beside it as
// "<file>.orig", and when that cannot be kept the list is not written either. False, with errno telling why, when
// the list was not written (the file is then as it was). It touches nothing but files: any thread may call it.
bool WriteListOverSeenVersion(const std::string& localPath, const std::string& content, const SeenVersion& seen);

}  // namespace media
