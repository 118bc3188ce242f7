#pragma once

#include <cstdint>
#include <span>
#include <string>
#include <string_view>

namespace media {

// What the tag readers learn about one media file. Every text stays empty unless a reader sets it.
struct MediaInfo {
    std::u16string FileName;  // the location as added; on disk it names the UTF-8 path
    std::int32_t MediaType = 0;
    std::u16string Title;
    std::u16string Artist;
    std::u16string Album;
    std::u16string Year;
    std::u16string Lyrics;
    std::u16string Writer;
    std::u16string Composer;
    std::u16string BitRate;     // "128Kbps"
    std::u16string SampleRate;  // "44.1KHz"

    bool operator==(const MediaInfo&) const = default;
};

// MediaType flags, by file extension.
inline constexpr std::int32_t kMediaMidi = 1;
inline constexpr std::int32_t kMediaMp3 = 2;
inline constexpr std::int32_t kMediaWindowsMedia = 4;
inline constexpr std::int32_t kMediaVideo = 8;
inline constexpr std::int32_t kMediaWave = 16;
// Formats read beyond MP3 and Windows Media, each with a bit of its own above the classic ones, so
// that every test of those bits gives what it always gave.
inline constexpr std::int32_t kMediaFlac = 32;       // .flac
inline constexpr std::int32_t kMediaOgg = 64;        // .ogg, .oga: Vorbis, Opus or FLAC inside
inline constexpr std::int32_t kMediaOpus = 128;      // .opus
inline constexpr std::int32_t kMediaMp4Audio = 256;  // .m4a, .m4b, .mp4
inline constexpr std::int32_t kMediaApe = 512;       // .ape: Monkey's Audio
inline constexpr std::int32_t kMediaWavPack = 1024;  // .wv

// Flags for the extension of `name` (case-insensitive); 0 for any other or none. The extensions and their flags
// are rows of the formats table (MediaFormats.h).
std::int32_t MediaTypeOf(std::u16string_view name);

// Why a reader refused a file. The player only needs to know that it did; tools that explain a
// refusal pass a Refusal to be told why. Nothing is allocated unless the reason is turned into text.
enum class RefusalReason : std::uint8_t {
    None,
    CannotOpen,        // with the system's error number
    NotRegularFile,    // a directory, a device, a FIFO
    NoReaderForType,   // an extension no reader reads (.wav, .mid, video, none)
    NoMpegFrame,       // MP3: neither a tag nor an audio frame followed by another
    TagPastEnd,        // FLAC: the ID3v2 tag before the stream claims more bytes than the file has
    NoFlacMarker,      // FLAC: no "fLaC" where the stream should start
    NotAsfHeader,      // Windows Media: the file does not start with the header object
    NoOggPage,         // Ogg: the file does not start with a page
    NoOggAudioStream,  // Ogg: none of the leading first pages starts a Vorbis, Opus or FLAC stream
    NoMp4Box,          // MP4: the file does not start with a whole box
    NotMp4Start,       // MP4: the first box is of a type no MP4 file starts with
    NoApeHeader,       // Monkey's Audio: no "MAC " header with a version the reader knows (3.93 and later)
    BadApeHeader,      // Monkey's Audio: a header whose sizes or rates no encoder writes
    NoWavPackBlock,    // WavPack: the file does not start with a "wvpk" block header
};

struct Refusal {
    RefusalReason reason = RefusalReason::None;
    int error = 0;  // errno, for CannotOpen
};

// The reason as one short lower-case English line ("no MPEG frame confirmed"); empty for None.
std::string RefusalText(const Refusal& refusal);

// Sets MediaType of an existing regular file and runs the reader its type calls for; true when
// that reader succeeded. Locations that name no file (web addresses) give false. On false, `why`
// (when given) says why.
bool ReadMediaInfo(MediaInfo& record, Refusal* why = nullptr);

// Each reader fills the record only when it succeeds; on failure the record stays as it was and
// `why` (when given) says why.
// MP3: ID3v1 and ID3v2 texts plus bit and sample rate of the first MPEG audio frame; true when
// a tag or an audio frame was found.
bool ReadMp3Info(MediaInfo& record, Refusal* why = nullptr);
// Windows Media: the ASF header objects; true when the file starts with an ASF header object.
bool ReadAsfInfo(MediaInfo& record, Refusal* why = nullptr);
// FLAC: STREAMINFO and the Vorbis comment; true when the stream marker "fLaC" is found (after an
// ID3v2 tag that some taggers put first).
bool ReadFlacInfo(MediaInfo& record, Refusal* why = nullptr);
// Ogg (.ogg, .oga, .opus): the first Vorbis, Opus or FLAC stream's headers and comment; true when
// the file starts with the first page of such a stream.
bool ReadOggInfo(MediaInfo& record, Refusal* why = nullptr);
// MP4 audio (.m4a, .m4b audiobooks, .mp4): the iTunes item list and the sound track's rates; true when the file starts
// with an MP4 box.
bool ReadMp4Info(MediaInfo& record, Refusal* why = nullptr);
// Monkey's Audio (.ape): the header (versions 3.93 to 3.99 and later) and the APEv2 tag; true when the file starts
// with a header the reader knows, after an ID3v2 tag that some taggers put first.
bool ReadApeInfo(MediaInfo& record, Refusal* why = nullptr);
// WavPack (.wv): the first block header and the APEv2 tag; true when the file starts with a "wvpk" block.
bool ReadWavPackInfo(MediaInfo& record, Refusal* why = nullptr);

// A stored GUID in registry form, "{75B22630-668E-11CF-A6D9-00AA0062CE6C}".
std::u16string GuidToString(std::span<const std::uint8_t, 16> bytes);

}  // namespace media
