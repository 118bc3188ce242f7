#include "media/playlist/PlaylistFile.h"

#include "media/playlist/AtomicFile.h"
#include "platform/text/AnsiText.h"
#include "platform/text/FileName.h"

#include <array>
#include <utility>

namespace media {
namespace {

constexpr std::string_view kUtf8Bom = "\xEF\xBB\xBF";
// Longest line kept, in code units; anything longer is damage and is cut rather than held in memory.
constexpr std::size_t kMaxLineUnits = 4 << 20;
// Most lines one record's quoted fields may span.
constexpr std::size_t kMaxJoinedLines = 64;
constexpr char16_t kReplacement = u'\uFFFD';
constexpr int kNoUnit = -2;

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

bool IsBlank(char16_t c) { return c == u' ' || c == u'\t'; }

// Bytes without a byte-order mark are taken for UTF-8 when they hold a multi-byte sequence and are valid UTF-8
// throughout, the order the tag readers follow for ANSI texts: Chinese GBK text is seldom valid UTF-8 by chance,
// while a list written by an editor on this system is UTF-8 without a mark.
class Utf8Scan {
public:
    void Take(std::string_view bytes) {
        pending_ += bytes;
        // A sequence holds no ASCII byte and only its first byte is a lead byte, so the text before the last lead
        // byte (or up to the last ASCII byte) can be checked on its own.
        std::size_t cut = pending_.size();
        while (cut > 0) {
            const auto byte = static_cast<unsigned char>(pending_[cut - 1]);
            if (byte < 0x80) break;
            if (byte >= 0xC0) {
                --cut;
                break;
            }
            --cut;
        }
        if (pending_.size() - cut > 4) cut = pending_.size();  // longer than any sequence: invalid whatever follows
        Check(std::string_view(pending_).substr(0, cut));
        pending_.erase(0, cut);
    }
    bool IsUtf8() {
        Check(pending_);
        pending_.clear();
        return valid_ && multiByte_;
    }

private:
    void Check(std::string_view bytes) {
        if (!valid_ || bytes.empty()) return;
        for (char c : bytes) multiByte_ = multiByte_ || static_cast<unsigned char>(c) >= 0x80;
        valid_ = !text::HoldsRawBytes(text::FromFileName(bytes));
    }

    std::string pending_;
    bool valid_ = true;
    bool multiByte_ = false;
};

bool ReadsAsUtf8(std::string_view bytes) {
    Utf8Scan scan;
    scan.Take(bytes);
    return scan.IsUtf8();
}

// The fields of one line (or of lines joined within a quoted field), as code units.
struct SplitLine {
    std::vector<std::u16string> fields;
    const char* flaw = nullptr;  // the first thing that could not be taken apart cleanly
    bool openAtEnd = false;      // the text ended within a quoted field
};

SplitLine SplitFields(std::u16string_view text) {
    SplitLine out;
    const auto note = [&out](const char* flaw) {
        if (!out.flaw) out.flaw = flaw;
    };
    std::size_t i = 0;
    const auto skipBlanks = [&] {
        while (i < text.size() && IsBlank(text[i])) ++i;
    };
    skipBlanks();
    if (i == text.size()) return out;  // a blank line holds no field
    for (;;) {
        std::u16string field;
        skipBlanks();
        if (i < text.size() && text[i] == u'"') {
            bool closed = false;
            for (++i; i < text.size(); ++i) {
                if (text[i] == u'"') {
                    if (i + 1 == text.size() || text[i + 1] != u'"') {
                        closed = true;
                        ++i;
                        break;
                    }
                    ++i;  // a doubled quote stands for one
                }
                field += text[i];
            }
            if (!closed) {
                out.openAtEnd = true;
                note("an unclosed quote");
            }
            skipBlanks();
            if (i < text.size() && text[i] != u',') {
                note("text outside the quotes");
                while (i < text.size() && text[i] != u',') ++i;
            }
        } else {
            const std::size_t start = i;
            while (i < text.size() && text[i] != u',') ++i;
            field.assign(text.substr(start, i - start));
            while (!field.empty() && IsBlank(field.back())) field.pop_back();
            if (field.find(u'"') != std::u16string::npos) note("a quote inside an unquoted field");
        }
        out.fields.push_back(std::move(field));
        if (i == text.size()) return out;
        ++i;  // past the comma: a field follows it, even at the line end
    }
}

// A UTF-16 text with every unpaired surrogate replaced; false when there was one.
bool PairSurrogates(std::u16string& text) {
    bool paired = true;
    for (std::size_t i = 0; i < text.size(); ++i) {
        const bool high = text[i] >= 0xD800 && text[i] <= 0xDBFF;
        const bool low = text[i] >= 0xDC00 && text[i] <= 0xDFFF;
        if (high && i + 1 < text.size() && text[i + 1] >= 0xDC00 && text[i + 1] <= 0xDFFF) {
            ++i;
        } else if (high || low) {
            text[i] = kReplacement;
            paired = false;
        }
    }
    return paired;
}

}  // namespace

bool PlaylistFileReader::Open(const std::string& localPath) {
    file_.reset(std::fopen(localPath.c_str(), "rbe"));
    encoding_ = Encoding::Ansi;
    start_.clear();
    heldUnit_ = kNoUnit;
    linesRead_ = 0;
    lookahead_.clear();
    heldLine_.reset();
    fields_.clear();
    damage_.clear();
    if (!file_) return false;
    char start[3] = {};
    start_.assign(start, std::fread(start, 1, sizeof start, file_.get()));
    // GBK starts no text with 0xFF 0xFE or 0xFE 0xFF (0xFF is neither a lead nor a trail byte), so no ANSI list is
    // taken for UTF-16.
    if (start_.starts_with(kUtf8Bom)) {
        encoding_ = Encoding::Utf8;
        start_.erase(0, kUtf8Bom.size());
    } else if (start_.starts_with("\xFF\xFE") || start_.starts_with("\xFE\xFF")) {
        encoding_ = start_[0] == '\xFF' ? Encoding::Utf16Le : Encoding::Utf16Be;
        start_.erase(0, 2);
    } else if (WholeFileIsUtf8()) {
        encoding_ = Encoding::Utf8;
    }
    return true;
}

// Reads the file through once and goes back to its start; the caller opens regular files only.
bool PlaylistFileReader::WholeFileIsUtf8() {
    Utf8Scan scan;
    scan.Take(start_);
    std::string chunk(1 << 16, '\0');
    for (std::size_t got; (got = std::fread(chunk.data(), 1, chunk.size(), file_.get())) > 0;)
        scan.Take(std::string_view(chunk).substr(0, got));
    // A file that cannot be read again from its start is read as it stands (the error shows as Failed()).
    if (std::ferror(file_.get()) || std::fseek(file_.get(), static_cast<long>(start_.size()), SEEK_SET) != 0)
        return false;
    return scan.IsUtf8();
}

int PlaylistFileReader::NextByte() {
    if (start_.empty()) return std::getc(file_.get());
    const auto byte = static_cast<unsigned char>(start_.front());
    start_.erase(0, 1);
    return byte;
}

int PlaylistFileReader::NextUnit() {
    if (heldUnit_ != kNoUnit) return std::exchange(heldUnit_, kNoUnit);
    const int first = NextByte();
    if (first == EOF || encoding_ == Encoding::Ansi || encoding_ == Encoding::Utf8) return first;
    const int second = NextByte();
    if (second == EOF) {
        NoteDamage("half a UTF-16 character", linesRead_);
        return EOF;
    }
    return encoding_ == Encoding::Utf16Le ? first | second << 8 : first << 8 | second;
}

bool PlaylistFileReader::ReadLine(Line& line) {
    line = Line{};
    line.number = ++linesRead_;
    int unit = NextUnit();
    if (unit == EOF) {
        --linesRead_;
        return false;
    }
    bool cut = false;
    for (; unit != EOF; unit = NextUnit()) {
        if (unit == '\n') {
            line.end = u"\n";
            break;
        }
        if (unit == '\r') {
            line.end = u"\r";
            const int next = NextUnit();
            if (next == '\n')
                line.end += u'\n';
            else
                heldUnit_ = next;
            break;
        }
        if (unit == 0) {
            NoteDamage("NUL bytes", line.number);
        } else if (line.units.size() < kMaxLineUnits) {
            line.units += static_cast<char16_t>(unit);
        } else if (!cut) {
            NoteDamage("a line too long to keep", line.number);
            cut = true;
        }
    }
    return true;
}

bool PlaylistFileReader::PeekLine(std::size_t index) {
    while (lookahead_.size() <= index) {
        Line line;
        if (!ReadLine(line)) return false;
        lookahead_.push_back(std::move(line));
    }
    return true;
}

bool PlaylistFileReader::NextLineFields(LineFields& out) {
    if (!PeekLine(0)) return false;
    SplitLine split = SplitFields(lookahead_[0].units);
    std::size_t used = 1;
    if (split.openAtEnd) {
        // The writer writes a text holding a line end as it is, between its quotes: the quote goes on over the line
        // end when the lines so joined make a clean line of four fields; else it ends at the line end.
        std::u16string joined = lookahead_[0].units;
        for (std::size_t next = 1; next < kMaxJoinedLines && joined.size() < kMaxLineUnits && PeekLine(next); ++next) {
            joined += lookahead_[next - 1].end;
            joined += lookahead_[next].units;
            SplitLine candidate = SplitFields(joined);
            if (candidate.openAtEnd) continue;
            if (!candidate.flaw && candidate.fields.size() == 4) {
                split = std::move(candidate);
                used = next + 1;
            }
            break;
        }
    }
    const std::size_t number = lookahead_[0].number;
    lookahead_.erase(lookahead_.begin(), lookahead_.begin() + static_cast<std::ptrdiff_t>(used));
    if (split.flaw) NoteDamage(split.flaw, number);
    out = LineFields{};
    out.wholeRecord = !split.flaw && split.fields.size() == 4;
    for (const std::u16string& units : split.fields) out.fields.push_back({Decode(units, number), number});
    return true;
}

std::u16string PlaylistFileReader::Decode(std::u16string_view units, std::size_t line) {
    if (encoding_ == Encoding::Utf16Le || encoding_ == Encoding::Utf16Be) {
        std::u16string text(units);
        if (!PairSurrogates(text)) NoteDamage("a broken UTF-16 character", line);
        return text;
    }
    std::string bytes(units.size(), '\0');
    for (std::size_t i = 0; i < units.size(); ++i) bytes[i] = static_cast<char>(units[i]);
    if (encoding_ == Encoding::Utf8) return text::FromFileName(bytes);
    std::u16string text = text::FromAnsi(bytes);
    // A byte GBK cannot take would turn into a character that no GBK list can hold, and the list into UTF-8.
    if (text.find(kReplacement) != std::u16string::npos) NoteDamage("bytes that are not GBK", line);
    return text;
}

void PlaylistFileReader::NoteDamage(const char* what, std::size_t line) {
    if (damage_.empty()) damage_ = std::string(what) + " on line " + std::to_string(line);
}

std::optional<PlaylistRecord> PlaylistFileReader::Next() {
    if (!file_) return std::nullopt;
    while (fields_.size() < 4) {
        LineFields line;
        if (heldLine_)
            line = *std::exchange(heldLine_, std::nullopt);
        else if (!NextLineFields(line))
            break;
        if (line.fields.empty()) continue;
        if (!fields_.empty() && line.wholeRecord) {
            heldLine_ = std::move(line);  // the writer's line: the record short of fields ends before it
            break;
        }
        for (Field& field : line.fields) fields_.push_back(std::move(field));
    }
    if (fields_.empty()) return std::nullopt;
    if (fields_.size() < 4) NoteDamage("a record of fewer than four fields", fields_.front().line);
    PlaylistRecord record;
    for (std::u16string* cell : {&record.title, &record.artist, &record.time, &record.location}) {
        if (fields_.empty()) break;
        *cell = std::move(fields_.front().text);
        fields_.pop_front();
    }
    return record;
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
    // GBK text whose bytes happen to be valid UTF-8 would read back as other characters: such a list is written in
    // UTF-8 behind a mark, which reads back as it was.
    if (!utf8 && ReadsAsUtf8(content)) content = std::string(kUtf8Bom) + text::ToUtf8(text::FromAnsi(content));
    return content;
}

}  // namespace media
