#pragma once
// One directory search: the entries of a folder whose names match a wildcard pattern, one at a time, in name order
// as file managers show them (case ignored, numbers by value, Chinese names by pinyin), not in the order the file
// system happens to list them, which is no order a user knows.
#include <cstdint>
#include <string>
#include <vector>

namespace media {

// Attribute bits of a match.
inline constexpr std::uint32_t kFileAttributeDirectory = 0x10;
inline constexpr std::uint32_t kFileAttributeNormal = 0x80;

// A search pattern: "*" matches any run of characters and "?" any one character; case is ignored, and every other
// character, a leading "." included, stands for itself.
class WildcardPattern {
public:
    explicit WildcardPattern(const std::u16string& pattern = u"*");
    bool Matches(const char* fileSystemName) const;
    bool Matches(const std::u16string& name) const;

private:
    std::string pattern_;  // in the file system's encoding, for fnmatch
};

class cFindFile {
public:
    cFindFile() = default;
    ~cFindFile() { Close(); }
    cFindFile(const cFindFile&) = delete;
    cFindFile& operator=(const cFindFile&) = delete;

    // Starts a search for spec, a folder and a pattern ("/music/*.mp3") and returns the first match's name, or empty
    // text when nothing matches or the folder cannot be read. "." and ".." are listed like every other entry. A search
    // still open is closed first. showErrors is accepted for callers that pass it; failures are never shown.
    // The folder's matches are read at once and the folder closed again, so a search open in every folder of a deep
    // tree holds no descriptors.
    std::u16string Find(const std::u16string& spec, bool showErrors = false);
    // The next match's name; empty text, and the search closed, at the end or with no search open.
    std::u16string FindNext();
    // The current match's attributes (FileAttributeDirectory for a folder, also one reached through a symbolic
    // link); 0 with no search open.
    std::uint32_t FileAttributes() const { return attributes_; }
    void Close();

private:
    struct Match {
        std::u16string name;
        std::u16string shown;  // as people read it, for the order
        std::uint32_t attributes;
    };
    std::u16string NextMatch();

    std::vector<Match> matches_;  // in name order
    std::size_t next_ = 0;
    std::uint32_t attributes_ = 0;
};

}  // namespace media
