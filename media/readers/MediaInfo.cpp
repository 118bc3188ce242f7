#include "media/readers/MediaInfo.h"

#include "media/readers/TagText.h"
#include "platform/text/FileName.h"

#include <sys/stat.h>
#include <array>

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

bool IsRegularFile(const std::string& path) {
    struct stat st {};
    return !path.empty() && ::stat(path.c_str(), &st) == 0 && S_ISREG(st.st_mode);
}

}  // namespace

std::int32_t MediaTypeOf(std::u16string_view name) {
    const std::size_t dot = name.rfind(u'.');
    if (dot == std::u16string_view::npos) return 0;
    const std::u16string extension = tagtext::AsciiLower(name.substr(dot));
    for (const ExtensionType& entry : kExtensionTypes)
        if (entry.extension == extension) return entry.type;
    return 0;
}

bool ReadMediaInfo(MediaInfo& record) {
    if (!IsRegularFile(text::ToFileName(record.FileName))) return false;
    const std::u16string_view location = record.FileName;
    record.MediaType = MediaTypeOf(location.substr(location.rfind(u'/') + 1));
    if (record.MediaType & kMediaMp3) return ReadMp3Info(record);
    if (record.MediaType & kMediaWindowsMedia) return ReadAsfInfo(record);
    if (record.MediaType & kMediaFlac) return ReadFlacInfo(record);
    if (record.MediaType & (kMediaOgg | kMediaOpus)) return ReadOggInfo(record);
    if (record.MediaType & kMediaMp4Audio) return ReadMp4Info(record);
    return false;
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
