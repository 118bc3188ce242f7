#pragma once

#include <cstdio>
#include <functional>
#include <memory>
#include <optional>
#include <string>

namespace media {

// One list row as a ".lst" file keeps it.
struct PlaylistRecord {
    std::u16string title, artist, time, location;

    bool operator==(const PlaylistRecord&) const = default;
};

// Reads a ".lst" file record by record, so the caller can keep its interface responsive between
// records. Lines hold quoted fields separated by commas; fields are taken four at a time across
// line ends, and fields missing at the end of the file read as empty. A file that starts with a
// UTF-8 byte-order mark is UTF-8, any other is in the ANSI code page. Bytes of a UTF-8 list that are
// not UTF-8 are taken as a file name's own bytes (see text::fromFileName), so they survive a save.
class PlaylistFileReader {
public:
    bool Open(const std::string& localPath);
    std::optional<PlaylistRecord> Next();
    // True when reading stopped at an error rather than at the end of the file.
    bool Failed() const { return file_ && std::ferror(file_.get()); }

private:
    struct FileCloser {
        void operator()(std::FILE* f) const { std::fclose(f); }
    };

    bool ReadField(std::string& bytes);
    int NextNonBlank();
    void Append(std::string& bytes, int c) const;

    std::unique_ptr<std::FILE, FileCloser> file_;
    bool utf8_ = false;
    bool afterComma_ = false;  // a comma was read, so a field follows even at a line end
    std::string field_;
};

// Writes the list through a temporary file that replaces `localPath` only once complete; false when
// anything failed, and then the previous file is untouched. The list is written in the ANSI code
// page, or, when some text has no ANSI form, whole in UTF-8 behind a byte-order mark; a name that
// is not UTF-8 on disk has no ANSI form and is written as its own bytes.
bool SavePlaylistFile(const std::string& localPath, std::size_t rowCount,
                      const std::function<PlaylistRecord(std::size_t)>& rowAt);

// The bytes SavePlaylistFile writes for these rows.
std::string EncodePlaylist(std::size_t rowCount, const std::function<PlaylistRecord(std::size_t)>& rowAt);

}  // namespace media
