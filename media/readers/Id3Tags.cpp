#include "media/readers/Id3Tags.h"

#include "media/readers/ByteCursor.h"
#include "media/readers/TagText.h"

#include <zlib.h>
#include <algorithm>

namespace media {
namespace {

using namespace tagtext;

// No title, artist or lyric needs more; larger frames are pictures or damage and are passed over.
constexpr std::size_t kMaxFrameBody = 1 << 20;
// Bound on the copy an unsynchronised ID3v2.2/2.3 tag needs; frames beyond it are not read.
constexpr std::size_t kMaxUnsynchronisedTag = 16 << 20;
// Bound on what the compressed frames of one tag may inflate to together: a few bytes of stream
// can inflate a thousandfold, and a tag can hold many such frames.
constexpr std::size_t kMaxInflatedPerTag = 4 << 20;
constexpr std::size_t kTagHeaderSize = 10;

enum class Field { None, Title, Artist, Album, Year, RecordingTime, Lyrics, Writer, Composer };

struct FrameField {
    std::string_view id;
    Field field;
};

// ID3v2.3/2.4 four-letter frames and their ID3v2.2 three-letter forms.
constexpr FrameField kFrameFields[] = {
    {"TIT2", Field::Title},         {"TPE1", Field::Artist}, {"TALB", Field::Album},   {"TYER", Field::Year},
    {"TDRC", Field::RecordingTime}, {"USLT", Field::Lyrics}, {"TEXT", Field::Writer},  {"TCOM", Field::Composer},
    {"TT2", Field::Title},          {"TP1", Field::Artist},  {"TAL", Field::Album},    {"TYE", Field::Year},
    {"ULT", Field::Lyrics},         {"TXT", Field::Writer},  {"TCM", Field::Composer},
};

Field FieldOf(std::string_view id) {
    for (const FrameField& entry : kFrameFields)
        if (entry.id == id) return entry.field;
    return Field::None;
}

bool IsFrameId(std::string_view id) {
    return std::all_of(id.begin(), id.end(), [](char c) { return (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9'); });
}

// Padding fills the rest of a tag with NULs; no frame follows it.
bool IsPadding(std::string_view bytes) { return bytes.find_first_not_of('\0') == std::string_view::npos; }

// Undoes unsynchronisation: every FF 00 pair was written for a plain FF.
std::string RemoveUnsynchronisation(std::string_view bytes) {
    std::string out;
    out.reserve(bytes.size());
    for (std::size_t i = 0; i < bytes.size(); ++i) {
        out += bytes[i];
        if (ByteAt(bytes, i) == 0xFF && i + 1 < bytes.size() && bytes[i + 1] == '\0') ++i;
    }
    return out;
}

// Inflates a compressed frame's zlib stream into at most `limit` bytes, the size its writer
// declared: a stream that goes on is cut there. The room grows with what the stream yields, so a
// declared size alone allocates nothing. Empty for a stream that is damaged or ends too early.
std::string InflateFrame(std::string_view compressed, std::size_t limit) {
    z_stream stream{};
    if (inflateInit(&stream) != Z_OK) return {};
    stream.next_in = reinterpret_cast<Bytef*>(const_cast<char*>(compressed.data()));
    stream.avail_in = static_cast<uInt>(compressed.size());
    std::string out;
    int result = Z_OK;
    while (result == Z_OK && out.size() < limit) {
        const std::size_t filled = out.size();
        const std::size_t room = std::min(limit - filled, std::max<std::size_t>(filled, 4096));
        out.resize(filled + room);
        stream.next_out = reinterpret_cast<Bytef*>(out.data() + filled);
        stream.avail_out = static_cast<uInt>(room);
        result = inflate(&stream, Z_NO_FLUSH);
        out.resize(out.size() - stream.avail_out);
    }
    inflateEnd(&stream);
    const bool complete = result == Z_STREAM_END || (result == Z_OK && out.size() == limit);
    return complete ? out : std::string();
}

// Text encodings named by a frame's first byte.
enum Encoding : std::uint8_t { Ansi = 0, Utf16WithBom = 1, Utf16BigEndian = 2, Utf8 = 3 };

std::size_t UnitSize(Encoding encoding) { return encoding == Utf16WithBom || encoding == Utf16BigEndian ? 2 : 1; }

// Offset of the first NUL character (a whole, aligned unit), or the size when there is none.
std::size_t FindTerminator(std::string_view bytes, std::size_t unit) {
    for (std::size_t i = 0; i + unit <= bytes.size(); i += unit)
        if (bytes.substr(i, unit).find_first_not_of('\0') == std::string_view::npos) return i;
    return bytes.size();
}

// Splits off the text up to its terminator, leaving `bytes` after the terminator.
std::string_view TakeTerminated(std::string_view& bytes, std::size_t unit) {
    const std::size_t end = FindTerminator(bytes, unit);
    const std::string_view value = bytes.substr(0, end);
    bytes.remove_prefix(std::min(bytes.size(), end + unit));
    return value;
}

std::u16string Decode(std::string_view bytes, Encoding encoding) {
    switch (encoding) {
        case Utf16WithBom:
            if (bytes.size() >= 2 && ByteAt(bytes, 0) == 0xFE && ByteAt(bytes, 1) == 0xFF)
                return FromUtf16(bytes.substr(2), true);
            if (bytes.size() >= 2 && ByteAt(bytes, 0) == 0xFF && ByteAt(bytes, 1) == 0xFE) bytes.remove_prefix(2);
            return FromUtf16(bytes, false);
        case Utf16BigEndian: return FromUtf16(bytes, true);
        case Utf8: return FromUtf8WithoutBom(bytes);
        default: return FromAnsiTagText(bytes);
    }
}

// Takes the encoding byte off a frame body. A first byte that names no encoding is text itself:
// such frames come from writers that stored bare ANSI text.
Encoding TakeEncoding(std::string_view& body) {
    const std::uint8_t first = ByteAt(body, 0);
    if (first > Utf8) return Ansi;
    body.remove_prefix(1);
    return static_cast<Encoding>(first);
}

// A text frame; several values (ID3v2.4 separates them by NULs) are joined by "/".
std::u16string DecodeTextFrame(std::string_view body) {
    const Encoding encoding = TakeEncoding(body);
    std::u16string joined;
    while (!body.empty()) {
        const std::u16string value = Clean(Decode(TakeTerminated(body, UnitSize(encoding)), encoding));
        if (value.empty()) continue;
        if (!joined.empty()) joined += u'/';
        joined += value;
    }
    return joined;
}

// USLT/ULT: encoding, three-letter language, a terminated content descriptor, then the lyric.
std::u16string DecodeLyricsFrame(std::string_view body) {
    const Encoding encoding = TakeEncoding(body);
    body.remove_prefix(std::min<std::size_t>(body.size(), 3));
    TakeTerminated(body, UnitSize(encoding));
    return CollapseSpacePairs(Clean(Decode(body, encoding)));
}

// Frames are applied one at a time in tag order, one frame per ID as the classic loop did: where a tag holds one
// ID twice (two TPE1 frames, which ID3v2 forbids but some taggers write), the later frame's text stands. A row
// shows one artist; joining the two would show a text neither frame holds.
void Apply(Field field, std::string_view body, MediaInfo& info) {
    const std::u16string text = field == Field::Lyrics ? DecodeLyricsFrame(body) : DecodeTextFrame(body);
    // An empty frame leaves what the ID3v1 block said.
    if (text.empty()) return;
    switch (field) {
        case Field::Title: info.Title = text; break;
        case Field::Artist: info.Artist = text; break;
        case Field::Album: info.Album = text; break;
        case Field::Year: info.Year = text; break;
        case Field::RecordingTime: info.Year = text.substr(0, 4); break;  // "2008-05-01" gives 2008
        case Field::Lyrics: info.Lyrics = text; break;
        case Field::Writer: info.Writer = text; break;
        case Field::Composer: info.Composer = text; break;
        case Field::None: break;
    }
}

// The frames of one tag version: their header layout and the flags that change their body.
class FrameWalker {
public:
    FrameWalker(ByteSource& tag, int version, bool allFramesUnsynchronised)
        : tag_(tag),
          version_(version),
          allFramesUnsynchronised_(allFramesUnsynchronised),
          idLength_(version == 2 ? 3 : 4),
          headerLength_(version == 2 ? 6 : 10) {}

    void Walk(std::uint64_t pos, std::uint64_t end, MediaInfo& info) {
        while (pos <= end && end - pos >= headerLength_) {
            // A copy: looking at the frame that follows may read over the source's buffer.
            const std::string header(tag_.Read(pos, headerLength_));
            if (header.size() < headerLength_ || IsPadding(header.substr(0, idLength_))) return;
            const std::uint64_t bodyStart = pos + headerLength_;
            const std::uint64_t size = FrameSize(header, bodyStart, end);
            if (size > end - bodyStart) return;  // a frame that runs out of its tag: the rest cannot be trusted
            // Frames with other IDs ("COM ", left by old converters) are passed over by their size.
            const std::string_view id = std::string_view(header).substr(0, idLength_);
            const Field field = IsFrameId(id) ? FieldOf(id) : Field::None;
            if (field != Field::None && size > 0 && size <= kMaxFrameBody) {
                const std::uint8_t format = version_ == 2 ? 0 : ByteAt(header, 9);
                const std::string content = FrameContent(tag_.Read(bodyStart, size), format);
                if (!content.empty()) Apply(field, content, info);
            }
            pos = bodyStart + size;
        }
    }

private:
    std::uint64_t FrameSize(std::string_view header, std::uint64_t bodyStart, std::uint64_t end) {
        if (version_ == 2) return BigEndian(header, 3, 3);
        const std::uint64_t plain = BigEndian(header, 4, 4);
        if (version_ == 3) return plain;
        // ID3v2.4 sizes are syncsafe, but some writers put plain numbers there. A byte with its
        // high bit set can only come from those; otherwise the two readings differ from 128 on, and
        // the one after which a frame, the padding or the tag's end follows is the size written,
        // the syncsafe reading first.
        const bool highBit = std::any_of(header.begin() + 4, header.begin() + 8, [](char c) { return c & 0x80; });
        if (highBit) return plain;
        const std::uint64_t synced = Syncsafe(header, 4);
        if (synced == plain || IsFrameBoundary(bodyStart + synced, end) || !IsFrameBoundary(bodyStart + plain, end))
            return synced;
        return plain;
    }

    // Whether a frame may end at `at`: the tag ends there, or its padding or a valid frame ID begins.
    bool IsFrameBoundary(std::uint64_t at, std::uint64_t end) {
        if (at >= end) return at == end;
        const std::string_view next =
            tag_.Read(at, static_cast<std::size_t>(std::min<std::uint64_t>(idLength_, end - at)));
        return !next.empty() && (IsPadding(next) || (next.size() == idLength_ && IsFrameId(next)));
    }

    // The frame's text bytes; empty for encrypted frames, which cannot be read.
    std::string FrameContent(std::string_view body, std::uint8_t format) {
        if (version_ == 3) return Id3v23Content(body, format);
        if (version_ == 4) return Id3v24Content(body, format);
        return std::string(body);
    }

    // ID3v2.3 flags: 0x80 compressed (the inflated size comes first), 0x40 encrypted, 0x20 grouped
    // (an identity byte follows).
    std::string Id3v23Content(std::string_view body, std::uint8_t format) {
        if (format & 0x40) return {};
        ByteCursor extras(body);
        const std::string_view inflatedSize = format & 0x80 ? extras.Take(4) : std::string_view();
        if (format & 0x20) extras.Skip(1);
        if (!extras.Ok()) return {};
        if (format & 0x80) return InflateWithin(extras.Rest(), BigEndian(inflatedSize, 0, 4));
        return std::string(extras.Rest());
    }

    // ID3v2.4 flags: 0x40 grouped (an identity byte follows), 0x08 compressed, 0x04 encrypted,
    // 0x02 unsynchronised, 0x01 with a data length indicator (the inflated size, syncsafe).
    std::string Id3v24Content(std::string_view body, std::uint8_t format) {
        if (format & 0x04) return {};
        ByteCursor extras(body);
        if (format & 0x40) extras.Skip(1);
        const std::string_view dataLength = format & 0x01 ? extras.Take(4) : std::string_view();
        if (!extras.Ok()) return {};
        // Unsynchronisation was applied last, so it comes off first.
        const bool unsynchronised = (format & 0x02) || allFramesUnsynchronised_;
        std::string content = unsynchronised ? RemoveUnsynchronisation(extras.Rest()) : std::string(extras.Rest());
        if (!(format & 0x08)) return content;
        // A writer that left out the required data length indicator gets the largest size we read.
        return InflateWithin(content, dataLength.empty() ? kMaxFrameBody : Syncsafe(dataLength, 0));
    }

    // A compressed frame inflates to its declared size. One declaring more than any text needs is
    // passed over like a stored frame of that size, and so is one beyond what is left of the tag's
    // inflate budget.
    std::string InflateWithin(std::string_view compressed, std::uint64_t inflatedSize) {
        if (inflatedSize > std::min(kMaxFrameBody, inflateBudget_)) return {};
        std::string inflated = InflateFrame(compressed, static_cast<std::size_t>(inflatedSize));
        inflateBudget_ -= inflated.size();
        return inflated;
    }

    ByteSource& tag_;
    int version_;
    bool allFramesUnsynchronised_;
    std::size_t idLength_;
    std::size_t headerLength_;
    std::size_t inflateBudget_ = kMaxInflatedPerTag;
};

// Skips the extended header at `pos`; ID3v2.3 counts the bytes after its size field, ID3v2.4
// the whole header (syncsafe).
std::uint64_t SkipExtendedHeader(ByteSource& tag, int version, std::uint64_t pos, std::uint64_t end) {
    const std::string_view size = tag.Read(pos, 4);
    if (size.size() < 4) return end;
    const std::uint64_t length = version == 3 ? 4 + std::uint64_t{BigEndian(size, 0, 4)} : Syncsafe(size, 0);
    return length > end - pos ? end : pos + length;
}

}  // namespace

bool HasId3v1(ByteSource& file) {
    if (file.Size() < kId3v1Size) return false;
    const std::string_view mark = file.Read(file.Size() - kId3v1Size, 3);
    return mark.size() == 3 && AsciiLower(std::u16string(mark.begin(), mark.end())) == u"tag";
}

bool ReadId3v1(ByteSource& file, MediaInfo& info) {
    if (!HasId3v1(file)) return false;
    const std::string_view block = file.Read(file.Size() - kId3v1Size, kId3v1Size);
    if (block.size() < kId3v1Size) return false;
    const auto field = [block](std::size_t at, std::size_t length) {
        return Clean(FromAnsiTagText(block.substr(at, length), FieldWidth::Fixed));
    };

    // Titles were often stored as "artist - song.mp3": keep the song.
    std::u16string title = field(3, 30);
    if (!title.empty()) {
        EraseAll(title, u"-");
        EraseAll(title, u"——");
        EraseAllIgnoringAsciiCase(title, u".mp3");
        info.Title = title;
    }
    const std::u16string artist = field(33, 30);
    if (!artist.empty()) {
        EraseAll(info.Title, artist);
        info.Artist = artist;
    }
    if (std::u16string album = field(63, 30); !album.empty()) info.Album = album;
    if (std::u16string year = field(93, 4); !year.empty()) info.Year = year;
    return true;
}

Id3v2Location ReadId3v2(ByteSource& file, MediaInfo& info) {
    const std::string_view header = file.Read(0, kTagHeaderSize);
    if (header.size() < kTagHeaderSize || header.substr(0, 3) != "ID3") return {};
    const int version = ByteAt(header, 3);
    const std::uint8_t flags = ByteAt(header, 5);
    const bool unsynchronised = flags & 0x80;
    const bool extendedHeader = flags & 0x40;  // ID3v2.2: compression, which has no defined form
    const bool footer = version == 4 && (flags & 0x10);
    const std::uint64_t tagEnd = kTagHeaderSize + Syncsafe(header, 6);
    const Id3v2Location location{true, tagEnd + (footer ? kTagHeaderSize : 0)};
    if (version < 2 || version > 4 || (version == 2 && extendedHeader))
        return location;  // a layout we do not know: its texts cannot be read, the audio start can

    const std::uint64_t end = std::min(tagEnd, file.Size());
    if (end <= kTagHeaderSize) return location;
    if (unsynchronised && version < 4) {
        // Before ID3v2.4 the whole tag after its header is unsynchronised: undo that first.
        const std::string tag = RemoveUnsynchronisation(
            file.Read(kTagHeaderSize, std::min<std::uint64_t>(end - kTagHeaderSize, kMaxUnsynchronisedTag)));
        MemorySource memory(tag);
        const std::uint64_t first = extendedHeader ? SkipExtendedHeader(memory, version, 0, memory.Size()) : 0;
        FrameWalker(memory, version, false).Walk(first, memory.Size(), info);
    } else {
        const std::uint64_t first =
            extendedHeader ? SkipExtendedHeader(file, version, kTagHeaderSize, end) : kTagHeaderSize;
        FrameWalker(file, version, unsynchronised).Walk(first, end, info);
    }
    return location;
}

std::uint64_t StreamStartAfterId3v2(ByteSource& file) {
    const std::string_view header = file.Read(0, kTagHeaderSize);
    if (header.size() < kTagHeaderSize || header.substr(0, 3) != "ID3") return 0;
    const bool footer = ByteAt(header, 3) == 4 && (ByteAt(header, 5) & 0x10);
    return kTagHeaderSize + Syncsafe(header, 6) + (footer ? kTagHeaderSize : 0);
}

}  // namespace media
