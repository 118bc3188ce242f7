#include "media/readers/MediaInfo.h"

#include "media/readers/Id3Tags.h"
#include "media/readers/MediaFormats.h"
#include "media/readers/Refusals.h"
#include "platform/text/FileName.h"

#include <sys/stat.h>
#include <cerrno>
#include <cstring>

namespace media {
namespace {

// Checked before the extension is looked at, so that a location naming no file keeps MediaType 0.
bool IsRegularFile(const std::string& path, Refusal* why) {
    struct stat st {};
    if (path.empty()) return Refuse(why, RefusalReason::CannotOpen, ENOENT);
    if (::stat(path.c_str(), &st) != 0) return Refuse(why, RefusalReason::CannotOpen, errno);
    return S_ISREG(st.st_mode) || Refuse(why, RefusalReason::NotRegularFile);
}

std::string_view FixedText(RefusalReason reason) {
    switch (reason) {
        case RefusalReason::None: return {};
        case RefusalReason::CannotOpen: return "file cannot be opened";
        case RefusalReason::NotRegularFile: return "not a regular file";
        case RefusalReason::NoReaderForType: return "no tag reader for this file type";
        case RefusalReason::NoMpegFrame: return "no MPEG frame confirmed";
        case RefusalReason::TagPastEnd: return "tag size past the end of the file";
        case RefusalReason::NoFlacMarker: return "no fLaC stream marker";
        case RefusalReason::NotAsfHeader: return "not an ASF header";
        case RefusalReason::NoOggPage: return "no Ogg page";
        case RefusalReason::NoOggAudioStream: return "no Vorbis, Opus or FLAC stream";
        case RefusalReason::NoMp4Box: return "no MP4 box";
        case RefusalReason::NotMp4Start: return "first box does not start an MP4 file";
        case RefusalReason::NoApeHeader: return "no Monkey's Audio header of a known version";
        case RefusalReason::BadApeHeader: return "Monkey's Audio header out of range";
        case RefusalReason::NoWavPackBlock: return "no WavPack block header";
    }
    return "unknown reason";
}

}  // namespace

std::string RefusalText(const Refusal& refusal) {
    std::string text(FixedText(refusal.reason));
    if (refusal.reason != RefusalReason::CannotOpen) return text;
    // The system's message, in the same lower case as the rest of the line.
    std::string detail = refusal.error != 0 ? std::strerror(refusal.error) : "unknown error";
    if (!detail.empty() && detail[0] >= 'A' && detail[0] <= 'Z') detail[0] = static_cast<char>(detail[0] - 'A' + 'a');
    return text + ": " + detail;
}

bool OpenRecordFile(FileRegionReader& file, const MediaInfo& record, Refusal* why) {
    if (file.Open(text::ToFileName(record.FileName))) return true;
    return file.OpenError() != 0 ? Refuse(why, RefusalReason::CannotOpen, file.OpenError())
                                 : Refuse(why, RefusalReason::NotRegularFile);
}

bool OpenRecordStream(FileRegionReader& file, const MediaInfo& record, std::uint64_t& start, Refusal* why) {
    if (!OpenRecordFile(file, record, why)) return false;
    start = StreamStartAfterId3v2(file);
    return start <= file.Size() || Refuse(why, RefusalReason::TagPastEnd);
}

std::int32_t MediaTypeOf(std::u16string_view name) {
    const std::size_t dot = name.rfind(u'.');
    if (dot == std::u16string_view::npos) return 0;
    const MediaFormat* format = FormatOfExtension(name.substr(dot));
    return format ? format->mediaType : 0;
}

bool ReadMediaInfo(MediaInfo& record, Refusal* why) {
    if (!IsRegularFile(text::ToFileName(record.FileName), why)) return false;
    const std::u16string_view location = record.FileName;
    record.MediaType = MediaTypeOf(location.substr(location.rfind(u'/') + 1));
    if (record.MediaType & kMediaMp3) return ReadMp3Info(record, why);
    if (record.MediaType & kMediaWindowsMedia) return ReadAsfInfo(record, why);
    if (record.MediaType & kMediaFlac) return ReadFlacInfo(record, why);
    if (record.MediaType & (kMediaOgg | kMediaOpus)) return ReadOggInfo(record, why);
    if (record.MediaType & kMediaMp4Audio) return ReadMp4Info(record, why);
    if (record.MediaType & kMediaApe) return ReadApeInfo(record, why);
    if (record.MediaType & kMediaWavPack) return ReadWavPackInfo(record, why);
    return Refuse(why, RefusalReason::NoReaderForType);
}

std::u16string GuidToString(std::span<const std::uint8_t, 16> bytes) {
    // The first three groups are stored little-endian, the last two byte by byte.
    static constexpr int kOrder[16] = {3, 2, 1, 0, 5, 4, 7, 6, 8, 9, 10, 11, 12, 13, 14, 15};
    static constexpr char16_t kHex[] = u"0123456789ABCDEF";
    std::u16string out = u"{";
    for (int i = 0; i < 16; ++i) {
        if (i == 4 || i == 6 || i == 8 || i == 10) out += u'-';
        out += kHex[bytes[kOrder[i]] >> 4];
        out += kHex[bytes[kOrder[i]] & 0x0F];
    }
    return out + u"}";
}

}  // namespace media
