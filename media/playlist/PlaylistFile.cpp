#include "media/playlist/PlaylistFile.h"

#include "media/playlist/AtomicFile.h"
#include "platform/text/AnsiText.h"
#include "platform/text/FileName.h"

#include <array>

namespace media {
namespace {

constexpr std::string_view kUtf8Bom = "\xEF\xBB\xBF";
// Longest field kept; anything longer is damage and is cut rather than held in memory.
constexpr std::size_t kMaxFieldBytes = 1 << 20;

bool EndsField(int c) { return c == ',' || c == '\r' || c == '\n' || c == EOF; }

std::array<const std::u16string*, 4> CellsOf(const PlaylistRecord& record) {
    return {&record.title, &record.artist, &record.time, &record.location};
}

// Fields never held quotes in lists of old; a quote written since is doubled so it reads back.
void AppendQuoted(std::string& out, std::string_view field) {
    out += '"';
    for (char c : field) {
        out += c;
        if (c == '"') out += '"';
    }
    out += '"';
}

}  // namespace

bool PlaylistFileReader::Open(const std::string& localPath) {
    file_.reset(std::fopen(localPath.c_str(), "rbe"));
    afterComma_ = false;
    utf8_ = false;
    if (!file_) return false;
    char start[3] = {};
    utf8_ = std::fread(start, 1, 3, file_.get()) == 3 && std::string_view(start, 3) == kUtf8Bom;
    if (!utf8_) std::rewind(file_.get());
    return true;
}

std::optional<PlaylistRecord> PlaylistFileReader::Next() {
    if (!file_) return std::nullopt;
    PlaylistRecord record;
    std::array<std::u16string*, 4> cells = {&record.title, &record.artist, &record.time, &record.location};
    std::size_t filled = 0;
    for (; filled < cells.size() && ReadField(field_); ++filled)
        *cells[filled] = utf8_ ? text::FromFileName(field_) : text::FromAnsi(field_);
    if (filled == 0) return std::nullopt;
    return record;
}

int PlaylistFileReader::NextNonBlank() {
    int c = std::getc(file_.get());
    while (c == ' ' || c == '\t') c = std::getc(file_.get());
    return c;
}

void PlaylistFileReader::Append(std::string& bytes, int c) const {
    if (bytes.size() < kMaxFieldBytes) bytes += static_cast<char>(c);
}

bool PlaylistFileReader::ReadField(std::string& bytes) {
    bytes.clear();
    int c = NextNonBlank();
    if (!afterComma_) {
        // Line ends between fields separate nothing more than a comma does; blank lines hold none.
        while (c == '\r' || c == '\n') c = NextNonBlank();
        if (c == EOF) return false;
    }
    afterComma_ = false;
    if (c == '"') {
        // Up to the closing quote everything belongs to the field; a doubled quote stands for one.
        while ((c = std::getc(file_.get())) != EOF) {
            if (c == '"') {
                c = std::getc(file_.get());
                if (c != '"') break;
            }
            Append(bytes, c);
        }
        while (!EndsField(c))  // what stands between the closing quote and the separator is ignored
            c = std::getc(file_.get());
    } else {
        for (; !EndsField(c); c = std::getc(file_.get())) Append(bytes, c);
        bytes.erase(bytes.find_last_not_of(" \t") + 1);
    }
    afterComma_ = c == ',';
    return true;
}

bool SavePlaylistFile(const std::string& localPath, std::size_t rowCount,
                      const std::function<PlaylistRecord(std::size_t)>& rowAt) {
    return WriteFileAtomically(localPath, EncodePlaylist(rowCount, rowAt));
}

std::string EncodePlaylist(std::size_t rowCount, const std::function<PlaylistRecord(std::size_t)>& rowAt) {
    std::string content;
    std::string cell;
    bool utf8 = false;
    for (std::size_t row = 0; row < rowCount; ++row) {
        const PlaylistRecord record = rowAt(row);
        const char* separator = "";
        for (const std::u16string* text : CellsOf(record)) {
            content += separator;
            separator = ",";
            if (!utf8 && !text::ToAnsi(*text, cell)) {
                // A text GBK cannot hold: the whole list goes to UTF-8, including what is written. A location
                // whose name on disk is not UTF-8 keeps its own bytes there, which read back as the same name.
                content = std::string(kUtf8Bom) + text::ToUtf8(text::FromAnsi(content));
                utf8 = true;
            }
            if (utf8) cell = text::ToFileName(*text);
            AppendQuoted(content, cell);
        }
        content += "\r\n";
    }
    return content;
}

}  // namespace media
