#include "media/readers/VorbisComment.h"

#include "media/readers/ByteCursor.h"
#include "media/readers/CueSheet.h"
#include "platform/text/AnsiText.h"

#include <algorithm>

namespace media {
namespace {

// A hostile comment may declare billions of fields; real ones hold a few dozen.
constexpr std::uint32_t kMaxFields = 4096;
// Enough of a field to see its name and the "=" after it; longer names are none of ours.
constexpr std::size_t kNameLookahead = 32;

struct NamedField {
    std::string_view name;
    TagField field;
};

constexpr NamedField kNamedFields[] = {
    {"TITLE", TagField::Title},
    {"ARTIST", TagField::Artist},
    {"ALBUM", TagField::Album},
    {"DATE", TagField::Year},
    {"YEAR", TagField::Year},
    {"LYRICS", TagField::Lyrics},
    {"UNSYNCEDLYRICS", TagField::Lyrics},
    {"LYRICIST", TagField::Writer},
    {"WRITER", TagField::Writer},
    {"COMPOSER", TagField::Composer},
};

bool EqualsIgnoringAsciiCase(std::string_view a, std::string_view upper) {
    return a.size() == upper.size() && std::equal(a.begin(), a.end(), upper.begin(), [](char c, char u) {
               return (c >= 'a' && c <= 'z' ? static_cast<char>(c - 'a' + 'A') : c) == u;
           });
}

std::optional<std::uint32_t> U32At(ByteSource& source, std::uint64_t at) {
    const std::string_view bytes = source.Read(at, 4);
    if (bytes.size() < 4) return std::nullopt;
    return static_cast<std::uint32_t>(LittleEndian(bytes, 0, 4));
}

}  // namespace

std::optional<TagField> VorbisCommentField(std::string_view name) {
    for (const NamedField& entry : kNamedFields)
        if (EqualsIgnoringAsciiCase(name, entry.name)) return entry.field;
    return std::nullopt;
}

void ReadVorbisComment(ByteSource& comment, TagFields& fields, std::string* cuesheet) {
    const auto vendorLength = U32At(comment, 0);
    if (!vendorLength) return;
    std::uint64_t pos = 4 + std::uint64_t{*vendorLength};
    const auto count = U32At(comment, pos);
    if (!count) return;
    pos += 4;
    for (std::uint32_t i = 0; i < std::min(*count, kMaxFields); ++i) {
        const auto length = U32At(comment, pos);
        if (!length || *length > comment.Size() - (pos + 4)) return;
        const std::uint64_t start = pos + 4;
        pos = start + *length;

        const std::string_view head = comment.Read(start, std::min<std::uint64_t>(*length, kNameLookahead));
        const std::size_t equals = head.find('=');
        if (equals == std::string_view::npos) continue;
        if (cuesheet && EqualsIgnoringAsciiCase(head.substr(0, equals), "CUESHEET") &&
            *length - equals - 1 <= kMaxCueSheetBytes) {
            *cuesheet = comment.Read(start + equals + 1, *length - equals - 1);
            continue;
        }
        const auto field = VorbisCommentField(head.substr(0, equals));
        if (!field) continue;
        const std::uint64_t valueLength = *length - equals - 1;
        if (valueLength > kMaxTagValueBytes || !fields.TakeReadAllowance(valueLength)) continue;
        fields.Add(*field, text::FromUtf8(comment.Read(start + equals + 1, static_cast<std::size_t>(valueLength))));
    }
}

}  // namespace media
