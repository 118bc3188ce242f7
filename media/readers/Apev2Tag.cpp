#include "media/readers/Apev2Tag.h"

#include "media/readers/ByteCursor.h"
#include "media/readers/Id3Tags.h"
#include "media/readers/StreamRates.h"
#include "media/readers/TagText.h"

#include <algorithm>

namespace media {
namespace {

constexpr std::string_view kPreamble = "APETAGEX";
constexpr std::uint32_t kVersion1 = 1000;
constexpr std::uint32_t kVersion2 = 2000;
constexpr std::uint32_t kHasHeader = 1u << 31;
// Item flags, bits 1 and 2: 0 UTF-8 text, 1 binary, 2 a locator, 3 reserved.
constexpr std::uint32_t kItemKindMask = 6;
// A hostile tag may declare billions of items; real ones hold a few dozen.
constexpr std::uint32_t kMaxItems = 4096;
// Keys are 2 to 255 printable ASCII characters, ended by a NUL.
constexpr std::size_t kMaxKeyLength = 255;
constexpr std::size_t kItemHeaderSize = 8;

enum class ItemKey { Other, Field, Cuesheet };

struct NamedItem {
    std::string_view key;
    TagField field;
};

constexpr NamedItem kNamedItems[] = {
    {"title", TagField::Title}, {"artist", TagField::Artist}, {"album", TagField::Album},
    {"year", TagField::Year},   {"lyrics", TagField::Lyrics}, {"composer", TagField::Composer},
};

std::string AsciiLower(std::string_view text) {
    std::string lower(text);
    for (char& c : lower)
        if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
    return lower;
}

}  // namespace

namespace {

// The tag whose footer ends at `footerEnd`, if one does.
std::optional<Apev2Location> TagEndingAt(ByteSource& file, std::uint64_t footerEnd) {
    if (footerEnd < kApeTagFooterSize) return std::nullopt;
    ByteCursor footer(file.Read(footerEnd - kApeTagFooterSize, kApeTagFooterSize));
    if (footer.Take(kPreamble.size()) != kPreamble) return std::nullopt;
    const std::uint32_t version = footer.U32();
    const std::uint32_t size = footer.U32();  // the items and the footer, not the header
    footer.Skip(4);                           // the item count, which the reading bounds itself
    const std::uint32_t flags = footer.U32();
    if (!footer.Ok() || (version != kVersion1 && version != kVersion2)) return std::nullopt;
    if (size < kApeTagFooterSize || size > footerEnd) return std::nullopt;
    const std::uint64_t itemsStart = footerEnd - size;
    // APEv1 tags have no header; an APEv2 header is counted only where it really is there.
    const bool header = version == kVersion2 && (flags & kHasHeader) && itemsStart >= kApeTagFooterSize &&
                        file.Read(itemsStart - kApeTagFooterSize, kPreamble.size()) == kPreamble;
    return Apev2Location{itemsStart - (header ? kApeTagFooterSize : 0), footerEnd};
}

// Where a Lyrics3v2 block that ends at `end` begins: "LYRICSBEGIN", the fields, their size in six digits and
// "LYRICS200". Some taggers put one between the APEv2 tag and the ID3v1 block.
std::optional<std::uint64_t> Lyrics3v2StartBefore(ByteSource& file, std::uint64_t end) {
    constexpr std::size_t kTrailerSize = 15;  // six digits and "LYRICS200"
    if (end < kTrailerSize) return std::nullopt;
    const std::string trailer(file.Read(end - kTrailerSize, kTrailerSize));
    if (trailer.size() != kTrailerSize || trailer.substr(6) != "LYRICS200") return std::nullopt;
    std::uint64_t size = 0;
    for (char digit : trailer.substr(0, 6)) {
        if (digit < '0' || digit > '9') return std::nullopt;
        size = size * 10 + static_cast<std::uint64_t>(digit - '0');
    }
    if (size > end - kTrailerSize) return std::nullopt;
    const std::uint64_t start = end - kTrailerSize - size;
    if (file.Read(start, 11) != "LYRICSBEGIN") return std::nullopt;
    return start;
}

}  // namespace

std::optional<Apev2Location> FindApev2Tag(ByteSource& file) {
    if (HasId3v1(file)) {
        const std::uint64_t id3v1Start = file.Size() - kId3v1Size;
        if (auto tag = TagEndingAt(file, id3v1Start)) return tag;
        if (const auto lyrics = Lyrics3v2StartBefore(file, id3v1Start))
            if (auto tag = TagEndingAt(file, *lyrics)) return tag;
    }
    // Also where the file's last 128 bytes start with "TAG" only by chance, inside the tag's own texts.
    return TagEndingAt(file, file.Size());
}

void ReadApev2Tag(ByteSource& file, const Apev2Location& tag, TagFields& fields, std::string* cuesheet) {
    const std::uint64_t itemsEnd = tag.end - kApeTagFooterSize;
    // The items begin after the header, where there is one.
    std::uint64_t pos = tag.start;
    if (file.Read(pos, kPreamble.size()) == kPreamble) pos += kApeTagFooterSize;
    for (std::uint32_t item = 0; item < kMaxItems && pos + kItemHeaderSize < itemsEnd; ++item) {
        ByteCursor header(file.Read(pos, kItemHeaderSize));
        const std::uint32_t valueSize = header.U32();
        const std::uint32_t itemFlags = header.U32();
        if (!header.Ok()) return;
        const std::uint64_t keyStart = pos + kItemHeaderSize;
        const std::string_view keyArea = file.Read(
            keyStart, static_cast<std::size_t>(std::min<std::uint64_t>(kMaxKeyLength + 1, itemsEnd - keyStart)));
        const std::size_t nul = keyArea.find('\0');
        if (nul == std::string_view::npos || nul < 2) return;  // no key can be read; nor can any item after it
        const std::string key = AsciiLower(keyArea.substr(0, nul));
        const std::uint64_t valueStart = keyStart + nul + 1;
        if (valueSize > itemsEnd - valueStart) return;
        pos = valueStart + valueSize;

        if ((itemFlags & kItemKindMask) != 0 || valueSize > kMaxTagValueBytes) continue;  // pictures, links
        if (key == "cuesheet") {
            if (cuesheet && fields.TakeReadAllowance(valueSize))
                *cuesheet = std::string(file.Read(valueStart, valueSize));
            continue;
        }
        const auto named = std::find_if(std::begin(kNamedItems), std::end(kNamedItems),
                                        [&key](const NamedItem& entry) { return entry.key == key; });
        if (named == std::end(kNamedItems) || !fields.TakeReadAllowance(valueSize)) continue;
        // One item may hold several values, split by NUL. The values should be UTF-8; some rippers wrote the code
        // page, which the reading that tells the two apart takes as the ID3 texts are taken.
        const std::string value(file.Read(valueStart, valueSize));
        for (std::string_view rest = value; !rest.empty();) {
            const std::size_t end = std::min(rest.find('\0'), rest.size());
            fields.Add(named->field, tagtext::FromAnsiTagText(rest.substr(0, end)));
            rest.remove_prefix(std::min(end + 1, rest.size()));
        }
    }
}

void ApplyTagAndRates(ByteSource& file, std::uint64_t streamStart, std::uint64_t samples, std::uint32_t sampleRate,
                      MediaInfo& record) {
    const std::optional<Apev2Location> tag = FindApev2Tag(file);
    if (tag) {
        TagFields fields;
        ReadApev2Tag(file, *tag, fields);
        fields.ApplyTo(record);
    }
    const std::uint64_t audioEnd = tag ? tag->start : file.Size() - (HasId3v1(file) ? kId3v1Size : 0);
    const std::uint64_t streamBytes = audioEnd > streamStart ? audioEnd - streamStart : 0;
    SetStreamRates(record, AverageBitRate(streamBytes, samples, sampleRate), sampleRate);
}

std::optional<std::string> ReadEmbeddedCuesheet(const std::string& utf8Path) {
    FileRegionReader file;
    if (!file.Open(utf8Path)) return std::nullopt;
    const std::optional<Apev2Location> tag = FindApev2Tag(file);
    if (!tag) return std::nullopt;
    TagFields fields;
    std::string cuesheet;
    ReadApev2Tag(file, *tag, fields, &cuesheet);
    if (cuesheet.empty()) return std::nullopt;
    return cuesheet;
}

}  // namespace media
