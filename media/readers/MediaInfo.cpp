#include "media/readers/MediaInfo.h"

#include "media/readers/Refusals.h"
#include "media/readers/TagText.h"
#include "platform/text/FileName.h"

#include <sys/stat.h>
#include <array>
#include <cerrno>
#include <cstring>

namespace media {
namespace {

struct ExtensionType {
    std::u16string_view extension;
    std::int32_t type;
};

constexpr std::array kExtensionTypes{
    ExtensionType{u".mpg", kMediaVideo},
    ExtensionType{u".mpeg", kMediaVideo},
    ExtensionType{u".avi", kMediaVideo},
    ExtensionType{u".mpe", kMediaVideo},
    ExtensionType{u".mpa", kMediaVideo},
    ExtensionType{u".m1v", kMediaVideo},
    ExtensionType{u".ifo", kMediaVideo},
    ExtensionType{u".vob", kMediaVideo},
    ExtensionType{u".mp3", kMediaMp3},
    ExtensionType{u".wav", kMediaWave},
    ExtensionType{u".snd", kMediaWave},
    ExtensionType{u".aif", kMediaWave},
    ExtensionType{u".au", kMediaWave},
    ExtensionType{u".aifc", kMediaWave},
    ExtensionType{u".aiff", kMediaWave},
    ExtensionType{u".asf", kMediaWindowsMedia},
    ExtensionType{u".wma", kMediaWindowsMedia},
    ExtensionType{u".wm", kMediaWindowsMedia},
    ExtensionType{u".wmd", kMediaWindowsMedia},
    ExtensionType{u".wmv", kMediaWindowsMedia | kMediaVideo},
    ExtensionType{u".mid", kMediaMidi},
    ExtensionType{u".midi", kMediaMidi},
    ExtensionType{u".rmi", kMediaMidi},
    // Formats beyond the classic table; an extension it lists keeps its value.
    ExtensionType{u".flac", kMediaFlac},
    ExtensionType{u".ogg", kMediaOgg},
    ExtensionType{u".oga", kMediaOgg},
    ExtensionType{u".opus", kMediaOpus},
    ExtensionType{u".m4a", kMediaMp4Audio},
};

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

std::int32_t MediaTypeOf(std::u16string_view name) {
    const std::size_t dot = name.rfind(u'.');
    if (dot == std::u16string_view::npos) return 0;
    const std::u16string extension = tagtext::AsciiLower(name.substr(dot));
    for (const ExtensionType& entry : kExtensionTypes)
        if (entry.extension == extension) return entry.type;
    return 0;
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
