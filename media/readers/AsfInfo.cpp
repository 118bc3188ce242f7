#include "media/readers/ByteCursor.h"
#include "media/readers/ByteSource.h"
#include "media/readers/MediaInfo.h"
#include "media/readers/Refusals.h"
#include "media/readers/TagText.h"

#include <algorithm>
#include <array>
#include <cstring>

namespace media {
namespace {

using namespace tagtext;
using GuidBytes = std::array<std::uint8_t, 16>;

// Stored forms of the object GUIDs read here.
constexpr GuidBytes kHeaderObject = {
    0x30, 0x26, 0xB2, 0x75, 0x8E, 0x66, 0xCF, 0x11,
    0xA6, 0xD9, 0x00, 0xAA, 0x00, 0x62, 0xCE, 0x6C};  // {75B22630-668E-11CF-A6D9-00AA0062CE6C}
constexpr GuidBytes kCodecList = {0x40, 0x52, 0xD1, 0x86, 0x1D, 0x31, 0xD0, 0x11, 0xA3,
                                  0xA4, 0x00, 0xA0, 0xC9, 0x03, 0x48, 0xF6};  // {86D15240-311D-11D0-A3A4-00A0C90348F6}
constexpr GuidBytes kContentDescription = {
    0x33, 0x26, 0xB2, 0x75, 0x8E, 0x66, 0xCF, 0x11,
    0xA6, 0xD9, 0x00, 0xAA, 0x00, 0x62, 0xCE, 0x6C};  // {75B22633-668E-11CF-A6D9-00AA0062CE6C}
constexpr GuidBytes kExtendedContentDescription = {
    0x40, 0xA4, 0xD0, 0xD2, 0x07, 0xE3, 0xD2, 0x11,
    0x97, 0xF0, 0x00, 0xA0, 0xC9, 0x5E, 0xA8, 0x50};  // {D2D0A440-E307-11D2-97F0-00A0C95EA850}

constexpr std::size_t kHeaderObjectSize = 30;
constexpr std::size_t kObjectHeaderSize = 24;
// The objects read here hold a few texts; a larger one is damage, or pictures, and is passed over.
constexpr std::uint64_t kMaxObjectBody = 16 << 20;

bool IsGuid(std::string_view bytes, const GuidBytes& guid) {
    return bytes.size() >= guid.size() && std::memcmp(bytes.data(), guid.data(), guid.size()) == 0;
}

std::u16string Utf16Text(std::string_view bytes) { return Clean(FromUtf16(bytes, false)); }

// Audio entries describe themselves as "128 kbps, 44 kHz, stereo"; a video entry marks the file
// as video.
void ReadCodecList(ByteCursor in, MediaInfo& info) {
    in.Skip(16);  // reserved GUID
    for (std::uint32_t count = in.U32(); count > 0 && in.Ok(); --count) {
        const std::uint16_t type = in.U16();
        in.Skip(std::size_t{in.U16()} * 2);  // codec name
        const std::u16string description = Utf16Text(in.Take(std::size_t{in.U16()} * 2));
        in.Skip(in.U16());  // codec information
        if (!in.Ok()) return;
        if (type == 1) info.MediaType |= kMediaVideo;
        if (type != 2 || description.find(u',') == std::u16string::npos) continue;
        const auto parts = Split(description, u',');
        if (ContainsIgnoringAsciiCase(parts[0], u"kbps")) info.BitRate = NumberOf(parts[0]).text + u"Kbps";
        if (ContainsIgnoringAsciiCase(parts[1], u"khz")) info.SampleRate = NumberOf(parts[1]).text + u"KHz";
    }
}

bool IsPlausibleYear(const std::u16string& year) {
    const double value = NumberOf(year).value;
    return value >= 1900 && value <= 2100;
}

void ReadContentDescription(ByteCursor in, MediaInfo& info) {
    const std::uint16_t titleLength = in.U16();
    const std::uint16_t authorLength = in.U16();
    const std::uint16_t copyrightLength = in.U16();
    in.Skip(4);  // description and rating lengths; those texts are not used
    const std::string_view title = in.Take(titleLength);
    const std::string_view author = in.Take(authorLength);
    if (!in.Ok()) return;
    info.Title = Utf16Text(title);
    info.Artist = Utf16Text(author);
    if (IsPlausibleYear(info.Year)) return;
    // Without a year, take the first number of the copyright text ("(C) 2005 Label").
    const std::u16string copyright = Utf16Text(in.Take(copyrightLength));
    for (std::u16string_view part : Split(copyright, u' ')) {
        if (const Number number = NumberOf(part); number.value > 0) {
            info.Year = number.text;
            return;
        }
    }
}

void ApplyDescriptor(const std::u16string& name, const std::u16string& value, MediaInfo& info) {
    if (name == u"title")
        info.Title = value;
    else if (name == u"author") {
        if (info.Artist.empty()) info.Artist = value;
    } else if (name == u"wm/albumartist")
        info.Artist = value;
    else if (name == u"wm/writer")
        info.Writer = value;
    else if (name == u"wm/composer")
        info.Composer = value;
    else if (name == u"wm/albumtitle")
        info.Album = value;
    else if (name == u"wm/lyrics")
        info.Lyrics = CollapseSpacePairs(value);
    else if (name == u"wm/originalreleaseyear") {
        if (info.Year.empty()) info.Year = NumberOf(value).text;
    } else if (name == u"wm/year")
        info.Year = NumberOf(value).text;
}

void ReadExtendedContentDescription(ByteCursor in, MediaInfo& info) {
    for (std::uint16_t count = in.U16(); count > 0 && in.Ok(); --count) {
        const std::u16string name = AsciiLower(Utf16Text(in.Take(in.U16())));
        const std::uint16_t type = in.U16();
        const std::string_view value = in.Take(in.U16());
        // Only texts (0) and byte arrays (1) carry the values wanted; numbers and flags are skipped
        // by their declared length.
        if (in.Ok() && (type == 0 || type == 1)) ApplyDescriptor(name, Utf16Text(value), info);
    }
}

using ObjectReader = void (*)(ByteCursor, MediaInfo&);

ObjectReader ReaderFor(std::string_view objectHeader) {
    if (IsGuid(objectHeader, kCodecList)) return ReadCodecList;
    if (IsGuid(objectHeader, kContentDescription)) return ReadContentDescription;
    if (IsGuid(objectHeader, kExtendedContentDescription)) return ReadExtendedContentDescription;
    return nullptr;  // other objects hold nothing the list shows
}

}  // namespace

bool ReadAsfInfo(MediaInfo& record, Refusal* why) {
    FileRegionReader file;
    if (!OpenRecordFile(file, record, why)) return false;
    const std::string_view header = file.Read(0, kHeaderObjectSize);
    if (header.size() < kHeaderObjectSize || !IsGuid(header, kHeaderObject))
        return Refuse(why, RefusalReason::NotAsfHeader);

    MediaInfo read = record;
    std::uint32_t objects = static_cast<std::uint32_t>(LittleEndian(header, 24, 4));
    // Each object must at least hold its own header, so the walk always moves on and ends at the
    // end of the file whatever the declared count.
    for (std::uint64_t pos = kHeaderObjectSize; objects > 0; --objects) {
        const std::string_view object = file.Read(pos, kObjectHeaderSize);
        if (object.size() < kObjectHeaderSize) break;
        const std::uint64_t size = LittleEndian(object, 16, 8);
        if (size < kObjectHeaderSize) break;
        const auto reader = ReaderFor(object);
        if (reader && size - kObjectHeaderSize <= kMaxObjectBody) {
            // A file cut short still gives the texts of its last, partial object.
            reader(ByteCursor(file.Read(pos + kObjectHeaderSize, size - kObjectHeaderSize)), read);
        }
        if (size > file.Size() - pos) break;
        pos += size;
    }
    record = std::move(read);
    return true;
}

}  // namespace media
