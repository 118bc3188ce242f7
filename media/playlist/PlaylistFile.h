#pragma once

#include <cstdio>
#include <deque>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace media {

// One list row as a ".lst" file keeps it.
struct PlaylistRecord {
    std::u16string title, artist, time, location;

    bool operator==(const PlaylistRecord&) const = default;
};

// Reads a ".lst" file record by record, so the caller can keep its interface responsive between
// records. A file that starts with a UTF-8 byte-order mark is UTF-8, one with a UTF-16 mark (either
// order) UTF-16. A file without a mark is UTF-8 when it holds a multi-byte sequence and is valid UTF-8
// throughout (as lists written by editors and other programs on this system are), else it is in the
// ANSI code page. GBK text is seldom valid UTF-8 by chance, and the writer never leaves it so (below),
// so every list the program wrote reads back as written; a GBK list of an old version whose text is
// valid UTF-8 reads as UTF-8, the price of reading the lists of this system. Bytes of a UTF-8 list
// with a mark that are not UTF-8 are taken as a file name's own bytes (see text::fromFileName), so
// they survive a save.
//
// Fields are quoted texts or bare texts separated by commas or line ends, taken four at a time
// across line ends; a quoted field may hold commas, and a doubled quote in it stands for one. Lists
// are hand edited and disks fail, so the reading is made to lose as little as it can:
// - A quoted field ends at its line end when its closing quote is missing. It goes on over the line
//   end only when the lines so joined make one clean line of four fields, which is how the writer
//   writes a text holding a line end (a name on disk may).
// - NUL bytes are not text: they are dropped, so a line of them is a blank line, which holds no field.
// - A line of four clean fields is a record of its own, as the writer writes one: a record still
//   short of fields when such a line comes ends there, with its missing fields empty, and does not
//   take the line's fields. So one damaged line never shifts the fields of the records after it.
// Every list the writer makes, in this version or the ones before, reads as it always did. Whatever
// the reading could not take apart cleanly (a quote left open, text outside quotes, bytes the code
// page does not hold, NUL bytes, a record short of fields, a line too long to keep) is named by
// Damage(); the records are then the best reading there is, but not the file itself.
class PlaylistFileReader {
public:
    bool Open(const std::string& localPath);
    std::optional<PlaylistRecord> Next();
    // True when reading stopped at an error rather than at the end of the file.
    bool Failed() const { return file_ && std::ferror(file_.get()); }
    // The first damage the reading met, as "an unclosed quote on line 3"; empty while there is none.
    const std::string& Damage() const { return damage_; }

private:
    struct FileCloser {
        void operator()(std::FILE* f) const { std::fclose(f); }
    };
    enum class Encoding { Ansi, Utf8, Utf16Le, Utf16Be };
    // One line of the file as code units (bytes, or UTF-16 units), without its line end.
    struct Line {
        std::u16string units;
        std::u16string end;  // the line end as it stands in the file, kept for a quoted field that spans it
        std::size_t number = 0;
    };
    struct Field {
        std::u16string text;
        std::size_t line = 0;
    };
    struct LineFields {
        std::vector<Field> fields;
        bool wholeRecord = false;  // four fields taken apart cleanly, as the writer writes a record
    };

    bool WholeFileIsUtf8();
    int NextByte();
    int NextUnit();
    bool ReadLine(Line& line);
    bool PeekLine(std::size_t index);
    bool NextLineFields(LineFields& out);
    std::u16string Decode(std::u16string_view units, std::size_t line);
    void NoteDamage(const char* what, std::size_t line);

    std::unique_ptr<std::FILE, FileCloser> file_;
    Encoding encoding_ = Encoding::Ansi;
    std::string start_;  // bytes read while looking for a byte-order mark and not yet taken
    int heldUnit_ = -2;  // a unit read ahead to tell CR LF from a lone CR; -2 for none
    std::size_t linesRead_ = 0;
    std::deque<Line> lookahead_;
    std::optional<LineFields> heldLine_;  // a line that starts the next record
    std::deque<Field> fields_;            // fields read and not yet in a record
    std::string damage_;
};

// Writes the list through a temporary file that replaces `localPath` only once complete; false when
// anything failed, and then the previous file is untouched. The list is written in the ANSI code
// page, or, when some text has no ANSI form, whole in UTF-8 behind a byte-order mark; a name that
// is not UTF-8 on disk has no ANSI form and is written as its own bytes. ANSI text whose bytes are
// valid UTF-8 as well (rare short Chinese texts) is written in UTF-8 behind a mark too, since the
// reader would take it for UTF-8.
bool SavePlaylistFile(const std::string& localPath, std::size_t rowCount,
                      const std::function<PlaylistRecord(std::size_t)>& rowAt);

// The bytes SavePlaylistFile writes for these rows.
std::string EncodePlaylist(std::size_t rowCount, const std::function<PlaylistRecord(std::size_t)>& rowAt);

}  // namespace media
