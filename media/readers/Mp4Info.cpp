// MP4 audio (.m4a, .m4b audiobooks, .mp4): the texts come from the iTunes item list moov/udta/meta/ilst,
// the rates from the sound track: its sample entry in moov/trak/mdia/minf/stbl/stsd gives the sample rate, and the
// decoder configuration in its esds box the average bit rate. An encoder that leaves that at 0
// (variable rate) gets the average of the media data over the track's duration instead.
//
// ©wrt is the composer, as iTunes shows it, so it fills Composer; Writer (the words) comes only
// from a free-form item named LYRICIST or WRITER, the names Vorbis comments use for it.
#include "media/readers/ByteCursor.h"
#include "media/readers/MediaInfo.h"
#include "media/readers/Mp4Boxes.h"
#include "media/readers/Refusals.h"
#include "media/readers/StreamRates.h"
#include "media/readers/TagFields.h"
#include "media/readers/TagText.h"
#include "media/readers/VorbisComment.h"
#include "platform/text/AnsiText.h"

#include <algorithm>
#include <cstring>

namespace media {
namespace {

// Bounds for hostile files: values read an item (one is usual), and the bytes of a free-form name
// or an esds box. Cover art is never read.
constexpr int kMaxValuesPerItem = 16;
constexpr std::uint64_t kMaxNameBytes = 64;
constexpr std::uint64_t kMaxEsdsBytes = 4096;
// A data box: a version byte, a 24-bit value type, a 4-byte locale, then the value.
constexpr std::uint64_t kDataHeaderSize = 8;
enum DataType : std::uint32_t { Implicit = 0, Utf8 = 1, Utf16BigEndian = 2 };

struct NamedItem {
    std::string_view type;
    TagField field;
};

constexpr NamedItem kItems[] = {
    {"\xA9"
     "nam",
     TagField::Title},
    {"\xA9"
     "ART",
     TagField::Artist},
    {"\xA9"
     "alb",
     TagField::Album},
    {"\xA9"
     "day",
     TagField::Year},
    {"\xA9"
     "lyr",
     TagField::Lyrics},
    {"\xA9"
     "wrt",
     TagField::Composer},
};

// What a top-level box must be for the file to be MP4: files begin with ftyp, or in older
// QuickTime-made files with one of the others.
bool StartsMp4File(std::string_view type) {
    for (std::string_view first : {"ftyp", "moov", "mdat", "free", "skip", "wide"})
        if (type == first) return true;
    return false;
}

std::string_view ContentOf(ByteSource& file, const Mp4Box& box, std::uint64_t limit) {
    return file.Read(box.contentStart, static_cast<std::size_t>(std::min(box.ContentSize(), limit)));
}

// ISO's meta is a full box; QuickTime's has its first child right away. A full box here has
// version 0 and no flags, while a child's size is never 0.
Mp4Box MetaChildren(ByteSource& file, const Mp4Box& meta) {
    const std::string_view head = ContentOf(file, meta, 4);
    return head == std::string_view("\0\0\0\0", 4) ? FullBoxChildren(meta) : meta;
}

// A free-form item ("----") names itself in a name box: a full box holding the UTF-8 name.
std::optional<TagField> FreeFormField(ByteSource& file, const Mp4Box& item) {
    const std::optional<Mp4Box> name = FindMp4Box(file, item, {"name"});
    if (!name) return std::nullopt;
    const std::string_view text = ContentOf(file, FullBoxChildren(*name), kMaxNameBytes);
    return VorbisCommentField(text);
}

std::optional<TagField> ItemField(ByteSource& file, const Mp4Box& item) {
    if (item.type == "----") return FreeFormField(file, item);
    for (const NamedItem& entry : kItems)
        if (item.type == entry.type) return entry.field;
    return std::nullopt;
}

std::optional<std::u16string> DataText(ByteSource& file, const Mp4Box& data, TagFields& fields) {
    if (data.ContentSize() < kDataHeaderSize || data.ContentSize() - kDataHeaderSize > kMaxTagValueBytes)
        return std::nullopt;
    const auto type = static_cast<std::uint32_t>(BigEndian(ContentOf(file, data, kDataHeaderSize), 0, 4) & 0xFFFFFF);
    if (type != Implicit && type != Utf8 && type != Utf16BigEndian) return std::nullopt;  // numbers, pictures
    if (!fields.TakeReadAllowance(data.ContentSize() - kDataHeaderSize)) return std::nullopt;
    const std::string_view value = file.Read(data.contentStart + kDataHeaderSize, data.ContentSize() - kDataHeaderSize);
    return type == Utf16BigEndian ? tagtext::FromUtf16(value, true) : text::FromUtf8(value);
}

void ReadItem(ByteSource& file, const Mp4Box& item, TagFields& fields) {
    const std::optional<TagField> field = ItemField(file, item);
    if (!field) return;
    Mp4BoxWalker children(file, item);
    int values = 0;
    for (std::optional<Mp4Box> data = children.Next(); data && values < kMaxValuesPerItem; data = children.Next()) {
        if (data->type != "data") continue;
        ++values;
        if (const auto text = DataText(file, *data, fields)) fields.Add(*field, *text);
    }
}

void ReadItemList(ByteSource& file, const Mp4Box& moov, TagFields& fields) {
    const std::optional<Mp4Box> meta = FindMp4Box(file, moov, {"udta", "meta"});
    const std::optional<Mp4Box> ilst = meta ? FindMp4Box(file, MetaChildren(file, *meta), {"ilst"}) : std::nullopt;
    if (!ilst) return;
    Mp4BoxWalker items(file, *ilst);
    while (const std::optional<Mp4Box> item = items.Next()) ReadItem(file, *item, fields);
}

struct SoundTrack {
    std::uint64_t sampleRate = 0;
    std::uint64_t averageBitRate = 0;  // 0 when the decoder configuration leaves it open
    std::uint64_t timescale = 0;       // mdhd: units a second
    std::uint64_t duration = 0;        // mdhd: in those units
};

bool IsSoundTrack(ByteSource& file, const Mp4Box& mdia) {
    // hdlr: version and flags, a predefined word, then the handler type.
    const std::optional<Mp4Box> hdlr = FindMp4Box(file, mdia, {"hdlr"});
    const std::string_view head = hdlr ? ContentOf(file, *hdlr, 12) : std::string_view();
    return head.size() == 12 && head.substr(8) == "soun";
}

void ReadMediaHeader(ByteSource& file, const Mp4Box& mdia, SoundTrack& track) {
    const std::optional<Mp4Box> mdhd = FindMp4Box(file, mdia, {"mdhd"});
    if (!mdhd) return;
    // Version 1 has 64-bit times and duration, version 0 32-bit ones.
    const std::string_view header = ContentOf(file, *mdhd, 32);
    const bool wide = !header.empty() && ByteAt(header, 0) == 1;
    const std::size_t timescaleAt = wide ? 20 : 12;
    const std::size_t durationBytes = wide ? 8 : 4;
    if (header.size() < timescaleAt + 4 + durationBytes) return;
    track.timescale = BigEndian(header, timescaleAt, 4);
    track.duration = durationBytes == 8 ? (std::uint64_t{BigEndian(header, 24, 4)} << 32) | BigEndian(header, 28, 4)
                                        : BigEndian(header, 16, 4);
}

// An MPEG-4 descriptor: a tag byte, then its length in one to four bytes of seven bits each.
struct Descriptor {
    std::uint8_t tag = 0;
    std::string_view body;
};

std::optional<Descriptor> TakeDescriptor(ByteCursor& in) {
    const std::string_view tag = in.Take(1);
    std::size_t length = 0;
    for (int i = 0; i < 4 && in.Ok(); ++i) {
        const std::string_view part = in.Take(1);
        if (part.empty()) break;
        length = (length << 7) | (ByteAt(part, 0) & 0x7F);
        if (!(ByteAt(part, 0) & 0x80)) break;
    }
    const std::string_view body = in.Take(length);
    if (!in.Ok()) return std::nullopt;
    return Descriptor{ByteAt(tag, 0), body};
}

// esds: an ES descriptor (tag 3) holding the decoder configuration (tag 4), whose average bit rate
// follows the object type, stream type, buffer size and maximum bit rate.
std::uint64_t EsdsAverageBitRate(std::string_view esds) {
    ByteCursor in(esds);
    in.Skip(4);  // version and flags
    const std::optional<Descriptor> es = TakeDescriptor(in);
    if (!es || es->tag != 3) return 0;
    ByteCursor inner(es->body);
    inner.Skip(2);  // ES id
    const std::string_view flags = inner.Take(1);
    const std::uint8_t bits = flags.empty() ? 0 : ByteAt(flags, 0);
    if (bits & 0x80) inner.Skip(2);  // the stream it depends on
    if (bits & 0x40) {
        const std::string_view urlLength = inner.Take(1);
        inner.Skip(urlLength.empty() ? 0 : ByteAt(urlLength, 0));
    }
    if (bits & 0x20) inner.Skip(2);  // OCR stream
    while (const std::optional<Descriptor> descriptor = TakeDescriptor(inner)) {
        if (descriptor->tag == 4) return descriptor->body.size() >= 13 ? BigEndian(descriptor->body, 9, 4) : 0;
    }
    return 0;
}

// The audio sample entry: 8 bytes of sample entry, a version (QuickTime), then channels, sample
// size and the rate as 16.16 fixed point. QuickTime version 1 adds 16 bytes before the children,
// version 2 keeps the rate as a 64-bit float and its children after 64 bytes.
void ReadSampleEntry(ByteSource& file, const Mp4Box& stbl, SoundTrack& track) {
    const std::optional<Mp4Box> stsd = FindMp4Box(file, stbl, {"stsd"});
    if (!stsd) return;
    Mp4Box entries = FullBoxChildren(*stsd);
    entries.contentStart = std::min(entries.contentStart + 4, entries.end);  // entry count
    const std::optional<Mp4Box> entry = Mp4BoxWalker(file, entries).Next();
    if (!entry) return;
    const std::string_view fields = ContentOf(file, *entry, 40);
    if (fields.size() < 28) return;
    const std::uint32_t version = BigEndian(fields, 8, 2);
    std::uint64_t childrenAt = 28;
    if (version == 2 && fields.size() >= 40) {
        double rate = 0;
        const std::uint64_t bits = (std::uint64_t{BigEndian(fields, 32, 4)} << 32) | BigEndian(fields, 36, 4);
        std::memcpy(&rate, &bits, sizeof rate);
        track.sampleRate = rate >= 1 && rate < 1e7 ? static_cast<std::uint64_t>(rate + 0.5) : 0;
        childrenAt = 64;
    } else {
        track.sampleRate = BigEndian(fields, 24, 2);
        childrenAt = version == 1 ? 44 : 28;
    }
    Mp4Box children = *entry;
    children.contentStart = std::min(entry->contentStart + childrenAt, entry->end);
    if (const std::optional<Mp4Box> esds = FindMp4Box(file, children, {"esds"}))
        track.averageBitRate = EsdsAverageBitRate(ContentOf(file, *esds, kMaxEsdsBytes));
}

struct Tracks {
    std::optional<SoundTrack> sound;  // the first
    int count = 0;
};

Tracks ReadTracks(ByteSource& file, const Mp4Box& moov) {
    Tracks tracks;
    Mp4BoxWalker children(file, moov);
    while (const std::optional<Mp4Box> trak = children.Next()) {
        if (trak->type != "trak") continue;
        ++tracks.count;
        const std::optional<Mp4Box> mdia = FindMp4Box(file, *trak, {"mdia"});
        if (tracks.sound || !mdia || !IsSoundTrack(file, *mdia)) continue;
        SoundTrack track;
        ReadMediaHeader(file, *mdia, track);
        if (const std::optional<Mp4Box> stbl = FindMp4Box(file, *mdia, {"minf", "stbl"}))
            ReadSampleEntry(file, *stbl, track);
        // Audio tracks count time in samples, so the media header's scale is the rate where the
        // entry has none (rates above 65535 do not fit its field).
        if (track.sampleRate == 0) track.sampleRate = track.timescale;
        tracks.sound = track;
    }
    return tracks;
}

}  // namespace

bool ReadMp4Info(MediaInfo& record, Refusal* why) {
    FileRegionReader file;
    if (!OpenRecordFile(file, record, why)) return false;
    Mp4BoxWalker top(file, Mp4FileBox(file));
    std::optional<Mp4Box> box = top.Next();
    if (!box) return Refuse(why, RefusalReason::NoMp4Box);
    if (!StartsMp4File(box->type)) return Refuse(why, RefusalReason::NotMp4Start);

    std::optional<Mp4Box> moov;
    std::uint64_t mediaBytes = 0;
    for (; box; box = top.Next()) {
        if (box->type == "moov" && !moov)
            moov = box;
        else if (box->type == "mdat")
            mediaBytes += box->ContentSize();
    }

    MediaInfo read = record;
    if (moov) {
        TagFields fields;
        ReadItemList(file, *moov, fields);
        fields.ApplyTo(read);
        const Tracks tracks = ReadTracks(file, *moov);
        if (const std::optional<SoundTrack>& sound = tracks.sound) {
            // The media data is the sound's alone only when there is no other track.
            const std::uint64_t bitRate = sound->averageBitRate > 0 ? sound->averageBitRate
                                          : tracks.count == 1
                                              ? AverageBitRate(mediaBytes, sound->duration, sound->timescale)
                                              : 0;
            SetStreamRates(read, bitRate, sound->sampleRate);
        }
    }
    record = std::move(read);
    return true;
}

}  // namespace media
