#include "media/playlist/ForeignLists.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#include <QXmlStreamReader>

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <iterator>
#include <utility>

#include "media/playlist/UriLocation.h"
#include "platform/text/AnsiText.h"
#include "platform/text/FileName.h"
#include "platform/text/TextCodePage.h"

namespace media {

namespace {

constexpr std::string_view kUtf8Bom = "\xEF\xBB\xBF";
// XML entities a list may expand; a list has no use for more, and a crafted one gains nothing by them.
constexpr int kMaxEntityExpansion = 64;

char16_t LowerAscii(char16_t c) { return c >= u'A' && c <= u'Z' ? static_cast<char16_t>(c + 32) : c; }

bool EndsWithIgnoringCase(std::u16string_view text, std::u16string_view end) {
    if (text.size() < end.size()) return false;
    return std::equal(end.begin(), end.end(), text.end() - static_cast<std::ptrdiff_t>(end.size()),
                      [](char16_t a, char16_t b) { return LowerAscii(a) == LowerAscii(b); });
}

std::u16string_view Trimmed(std::u16string_view text) {
    const auto blank = [](char16_t c) { return c == u' ' || c == u'\t' || c == u'\r' || c == u'\uFEFF'; };
    while (!text.empty() && blank(text.front())) text.remove_prefix(1);
    while (!text.empty() && blank(text.back())) text.remove_suffix(1);
    return text;
}

// Whether the text begins with a URI scheme ("file:", "http://"); a path never does, as no list names a path "x:".
bool HasScheme(std::string_view text) {
    const std::size_t colon = text.find(':');
    if (colon == std::string_view::npos || colon == 0) return false;
    return std::all_of(text.begin(), text.begin() + static_cast<std::ptrdiff_t>(colon), [](char c) {
        return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') || c == '+' || c == '-' ||
               c == '.';
    });
}

// An entry as the location it names, or nothing. `percentEncoded` for XSPF, whose relative entries are URIs too.
std::optional<std::u16string> EntryLocation(std::u16string_view entry, std::string_view listFolder,
                                            bool percentEncoded) {
    entry = Trimmed(entry);
    if (entry.empty()) return std::nullopt;
    std::string bytes = text::ToFileName(entry);
    if (HasScheme(bytes)) return LocationFromUri(bytes);
    if (percentEncoded) {
        std::optional<std::string> decoded = PercentDecoded(bytes);
        if (!decoded) return std::nullopt;
        bytes = std::move(*decoded);
    }
    if (bytes.find('\0') != std::string::npos) return std::nullopt;
    if (bytes.starts_with('/')) return text::FromFileName(bytes);
    while (bytes.starts_with("./")) bytes.erase(0, 2);
    std::string joined(listFolder);
    if (!joined.ends_with('/')) joined += '/';
    return text::FromFileName(joined + bytes);
}

std::u16string TextOfList(std::string_view bytes, ListFormat format) {
    if (format == ListFormat::M3u8) {
        if (bytes.starts_with(kUtf8Bom)) bytes.remove_prefix(kUtf8Bom.size());
        return text::FromFileName(bytes);  // a name that is not UTF-8 keeps its bytes
    }
    return text::DecodeFoundCodePage(bytes).text;
}

std::vector<std::u16string_view> Lines(std::u16string_view text) {
    std::vector<std::u16string_view> lines;
    std::size_t from = 0;
    while (from <= text.size()) {
        const std::size_t end = std::min(text.find_first_of(u"\r\n", from), text.size());
        lines.push_back(text.substr(from, end - from));
        from = end + 1;
    }
    return lines;
}

std::vector<std::u16string> M3uEntries(std::u16string_view text, std::string_view folder) {
    std::vector<std::u16string> locations;
    for (std::u16string_view line : Lines(text)) {
        line = Trimmed(line);
        if (line.empty() || line.front() == u'#') continue;
        if (auto location = EntryLocation(line, folder, false)) locations.push_back(std::move(*location));
        if (locations.size() == kMaxListEntries) break;
    }
    return locations;
}

std::vector<std::u16string> PlsEntries(std::u16string_view text, std::string_view folder) {
    std::vector<std::pair<long, std::u16string>> numbered;
    for (std::u16string_view line : Lines(text)) {
        line = Trimmed(line);
        const std::size_t equals = line.find(u'=');
        if (equals == std::u16string_view::npos || line.size() < 5) continue;
        std::u16string_view key = Trimmed(line.substr(0, equals));
        if (key.size() < 5 || !EndsWithIgnoringCase(key.substr(0, 4), u"file")) continue;
        long number = 0;
        bool digits = true;
        for (char16_t c : key.substr(4)) {
            digits = digits && c >= u'0' && c <= u'9';
            if (digits) number = std::min(number * 10 + (c - u'0'), 1L << 30);
        }
        if (!digits) continue;
        if (auto location = EntryLocation(line.substr(equals + 1), folder, false))
            numbered.emplace_back(number, std::move(*location));
        if (numbered.size() == kMaxListEntries) break;
    }
    std::stable_sort(numbered.begin(), numbered.end(), [](const auto& a, const auto& b) { return a.first < b.first; });
    std::vector<std::u16string> locations;
    for (auto& entry : numbered) locations.push_back(std::move(entry.second));
    return locations;
}

std::vector<std::u16string> XspfEntries(std::string_view bytes, std::string_view folder) {
    QXmlStreamReader xml(QByteArray::fromRawData(bytes.data(), static_cast<qsizetype>(bytes.size())));
    xml.setEntityExpansionLimit(kMaxEntityExpansion);
    std::vector<std::u16string> locations;
    bool inTrack = false, trackHasLocation = false;
    while (!xml.atEnd() && locations.size() < kMaxListEntries) {
        const QXmlStreamReader::TokenType token = xml.readNext();
        if (token == QXmlStreamReader::StartElement) {
            if (xml.name() == QLatin1String("track")) {
                inTrack = true;
                trackHasLocation = false;
            } else if (inTrack && !trackHasLocation && xml.name() == QLatin1String("location")) {
                trackHasLocation = true;
                const QString uri = xml.readElementText(QXmlStreamReader::SkipChildElements);
                if (xml.hasError()) break;  // a location cut short names no file
                if (auto location = EntryLocation(uri.toStdU16String(), folder, true))
                    locations.push_back(std::move(*location));
            }
        } else if (token == QXmlStreamReader::EndElement && xml.name() == QLatin1String("track")) {
            inTrack = false;
        }
    }
    // A list cut or broken part way keeps the tracks before the fault.
    return locations;
}

// The file's bytes, when it is a regular file of at most kMaxListBytes. Opened without waiting, so a FIFO given
// a list's name never holds the window.
std::optional<std::string> ReadWhole(const std::string& localPath) {
    const int fd = ::open(localPath.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0) return std::nullopt;
    std::optional<std::string> bytes;
    struct stat info {};
    if (::fstat(fd, &info) == 0 && S_ISREG(info.st_mode) && static_cast<std::size_t>(info.st_size) <= kMaxListBytes) {
        std::string content(static_cast<std::size_t>(info.st_size), '\0');
        std::size_t got = 0;
        while (got < content.size()) {
            const ssize_t n = ::read(fd, content.data() + got, content.size() - got);
            if (n < 0 && errno == EINTR) continue;
            if (n <= 0) break;
            got += static_cast<std::size_t>(n);
        }
        content.resize(got);
        bytes = std::move(content);
    }
    ::close(fd);
    return bytes;
}

// "mm:ss" or "hh:mm:ss" in seconds; -1 for "00:00" (never played) or any other text.
long SecondsOf(std::u16string_view time) {
    long seconds = 0;
    int parts = 0;
    std::size_t from = 0;
    while (from <= time.size()) {
        const std::size_t colon = std::min(time.find(u':', from), time.size());
        const std::u16string_view part = time.substr(from, colon - from);
        if (part.empty() || part.size() > 4) return -1;
        long value = 0;
        for (char16_t c : part) {
            if (c < u'0' || c > u'9') return -1;
            value = value * 10 + (c - u'0');
        }
        seconds = seconds * 60 + value;
        ++parts;
        from = colon + 1;
    }
    return parts >= 2 && parts <= 3 && seconds > 0 ? seconds : -1;
}

// A cell's text on one line: line ends and other control characters as spaces.
std::string OneLine(std::u16string_view cell) {
    std::u16string line(cell);
    std::replace_if(
        line.begin(), line.end(), [](char16_t c) { return c < 0x20 || c == 0x7F; }, u' ');
    return text::ToUtf8(line);
}

std::string M3uLocation(const std::u16string& location) {
    const std::string bytes = text::ToFileName(location);
    if (LocationFromUri(bytes) && HasScheme(bytes)) return bytes;  // an address
    const bool plain = !text::HoldsRawBytes(location) && !bytes.starts_with('#') &&
                       std::none_of(bytes.begin(), bytes.end(), [](char c) { return c == '\r' || c == '\n'; }) &&
                       !HasScheme(bytes) && Trimmed(location).size() == location.size();
    return plain ? bytes : FileUri(location);
}

}  // namespace

ListFormat ListFormatOf(std::u16string_view path) {
    if (EndsWithIgnoringCase(path, u".lst")) return ListFormat::Lst;
    if (EndsWithIgnoringCase(path, u".m3u")) return ListFormat::M3u;
    if (EndsWithIgnoringCase(path, u".m3u8")) return ListFormat::M3u8;
    if (EndsWithIgnoringCase(path, u".pls")) return ListFormat::Pls;
    if (EndsWithIgnoringCase(path, u".xspf")) return ListFormat::Xspf;
    return ListFormat::NotAList;
}

std::vector<std::u16string> ForeignListEntries(std::string_view bytes, ListFormat format, std::string_view listFolder) {
    switch (format) {
        case ListFormat::M3u:
        case ListFormat::M3u8: return M3uEntries(TextOfList(bytes, format), listFolder);
        case ListFormat::Pls: return PlsEntries(TextOfList(bytes, format), listFolder);
        case ListFormat::Xspf: return XspfEntries(bytes, listFolder);
        case ListFormat::Lst:
        case ListFormat::NotAList: break;
    }
    return {};
}

std::optional<std::vector<std::u16string>> ReadListEntries(const std::string& localPath) {
    const ListFormat format = ListFormatOf(text::FromFileName(localPath));
    if (format == ListFormat::NotAList) return std::nullopt;
    const std::optional<std::string> bytes = ReadWhole(localPath);
    if (!bytes) return std::nullopt;
    if (format != ListFormat::Lst) {
        const std::size_t slash = localPath.find_last_of('/');
        const std::string folder = slash == std::string::npos ? std::string(".") : localPath.substr(0, slash + 1);
        return ForeignListEntries(*bytes, format, folder);
    }
    PlaylistFileReader reader;
    if (!reader.Open(localPath)) return std::nullopt;
    std::vector<std::u16string> locations;
    while (locations.size() < kMaxListEntries)
        if (auto record = reader.Next())
            locations.push_back(std::move(record->location));
        else
            break;
    return locations;
}

std::vector<std::u16string> WithListsOpened(const std::vector<std::u16string>& locations) {
    std::vector<std::u16string> opened;
    for (const std::u16string& location : locations) {
        if (opened.size() >= kMaxListEntries) break;
        if (ListFormatOf(location) == ListFormat::NotAList || LocationFromUri(text::ToFileName(location))) {
            opened.push_back(location);
            continue;
        }
        const std::string localPath = text::ToFileName(location);
        std::optional<std::vector<std::u16string>> entries = ReadListEntries(localPath);
        if (!entries) {
            std::fprintf(stderr, "media: the playlist %s could not be read; it is left out\n", localPath.c_str());
            continue;
        }
        const std::size_t room = kMaxListEntries - opened.size();
        if (entries->size() > room) entries->resize(room);
        opened.insert(opened.end(), std::make_move_iterator(entries->begin()), std::make_move_iterator(entries->end()));
    }
    return opened;
}

std::string EncodeM3u8(std::size_t rowCount, const std::function<PlaylistRecord(std::size_t)>& rowAt) {
    std::string content = "#EXTM3U\n";
    for (std::size_t row = 0; row < rowCount; ++row) {
        const PlaylistRecord record = rowAt(row);
        const std::string title = OneLine(record.title), artist = OneLine(record.artist);
        content += "#EXTINF:" + std::to_string(SecondsOf(record.time)) + ',' +
                   (artist.empty() ? title : artist + " - " + title) + '\n';
        content += M3uLocation(record.location) + '\n';
    }
    return content;
}

}  // namespace media
