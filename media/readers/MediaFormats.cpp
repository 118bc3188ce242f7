#include "media/readers/MediaFormats.h"

#include "media/readers/MediaInfo.h"
#include "media/readers/TagText.h"

#include <algorithm>
#include <array>

namespace media {
namespace {

using Pass = FolderPass;
using Dialog = DialogEntry;

// The classic rows first, in their old order (the classic dialog entry is made from it), then the formats taken
// on later. Only the MIME types the player was already claiming somewhere are claimed for the classic video rows.
// .mp4 is read and offered in the dialog but not searched for: a music folder's videos would fill the list, and
// the MP4 audio of such folders is .m4a (or .m4b audiobooks).
constexpr std::array kFormats{
    MediaFormat{u".mpg", kMediaVideo, "video/mpeg", Pass::None, Dialog::None},
    MediaFormat{u".mpeg", kMediaVideo, "video/mpeg", Pass::None, Dialog::None},
    MediaFormat{u".avi", kMediaVideo, "", Pass::None, Dialog::None},
    MediaFormat{u".mpe", kMediaVideo, "video/mpeg", Pass::None, Dialog::None},
    MediaFormat{u".mpa", kMediaVideo, "", Pass::None, Dialog::None},
    MediaFormat{u".m1v", kMediaVideo, "", Pass::None, Dialog::None},
    MediaFormat{u".ifo", kMediaVideo, "", Pass::None, Dialog::None},
    MediaFormat{u".vob", kMediaVideo, "", Pass::None, Dialog::None},
    MediaFormat{u".mp3", kMediaMp3, "audio/mpeg", Pass::Mp3, Dialog::Classic},
    MediaFormat{u".wav", kMediaWave, "audio/wav;audio/x-wav", Pass::None, Dialog::Classic},
    MediaFormat{u".snd", kMediaWave, "", Pass::None, Dialog::None},
    MediaFormat{u".aif", kMediaWave, "", Pass::None, Dialog::None},
    MediaFormat{u".au", kMediaWave, "", Pass::None, Dialog::None},
    MediaFormat{u".aifc", kMediaWave, "", Pass::None, Dialog::None},
    MediaFormat{u".aiff", kMediaWave, "", Pass::None, Dialog::None},
    MediaFormat{u".asf", kMediaWindowsMedia, "video/x-ms-asf", Pass::None, Dialog::None},
    MediaFormat{u".wma", kMediaWindowsMedia, "audio/x-ms-wma", Pass::Wma, Dialog::Classic},
    MediaFormat{u".wm", kMediaWindowsMedia, "", Pass::None, Dialog::None},
    MediaFormat{u".wmd", kMediaWindowsMedia, "", Pass::None, Dialog::None},
    MediaFormat{u".wmv", kMediaWindowsMedia | kMediaVideo, "", Pass::None, Dialog::None},
    MediaFormat{u".mid", kMediaMidi, "audio/midi;audio/x-midi", Pass::None, Dialog::None},
    MediaFormat{u".midi", kMediaMidi, "", Pass::None, Dialog::None},
    MediaFormat{u".rmi", kMediaMidi, "", Pass::None, Dialog::None},
    // Offered by the classic dialog entry though no reader knows it: the entry is kept as it always read.
    MediaFormat{u".mdi", 0, "", Pass::None, Dialog::Classic},
    MediaFormat{u".flac", kMediaFlac, "audio/flac;audio/x-flac", Pass::Flac, Dialog::More},
    MediaFormat{u".ogg", kMediaOgg, "audio/ogg;audio/x-vorbis+ogg", Pass::Ogg, Dialog::More},
    MediaFormat{u".oga", kMediaOgg, "", Pass::Ogg, Dialog::More},
    MediaFormat{u".opus", kMediaOpus, "audio/opus;audio/x-opus+ogg", Pass::Opus, Dialog::More},
    MediaFormat{u".m4a", kMediaMp4Audio, "audio/mp4;audio/x-m4a", Pass::Mp4, Dialog::More},
    MediaFormat{u".m4b", kMediaMp4Audio, "audio/x-m4b;audio/mp4", Pass::Mp4, Dialog::More},
    MediaFormat{u".mp4", kMediaMp4Audio, "", Pass::None, Dialog::More},
    MediaFormat{u".ape", kMediaApe, "audio/x-ape", Pass::Ape, Dialog::More},
    MediaFormat{u".wv", kMediaWavPack, "audio/x-wavpack", Pass::WavPack, Dialog::More},
    // A sheet is no media for the tag readers: its tracks are read by the sheet reader.
    MediaFormat{u".cue", 0, "application/x-cue", Pass::Sheets, Dialog::More},
    // Other players' lists, which the program opens for the locations they name (given to it, or "open with").
    MediaFormat{u".m3u", 0, "audio/x-mpegurl;audio/mpegurl", Pass::None, Dialog::OtherLists},
    MediaFormat{u".m3u8", 0, "application/vnd.apple.mpegurl", Pass::None, Dialog::OtherLists},
    MediaFormat{u".pls", 0, "audio/x-scpls", Pass::None, Dialog::OtherLists},
    MediaFormat{u".xspf", 0, "application/xspf+xml", Pass::None, Dialog::OtherLists},
};

constexpr FolderPass kPassOrder[] = {Pass::Wma,  Pass::Sheets, Pass::Mp3, Pass::Flac,   Pass::Ogg,
                                     Pass::Opus, Pass::Mp4,    Pass::Ape, Pass::WavPack};

std::u16string PatternOf(const MediaFormat& format) { return u"*" + std::u16string(format.extension); }

}  // namespace

std::span<const MediaFormat> MediaFormats() { return kFormats; }

const MediaFormat* FormatOfExtension(std::u16string_view extension) {
    const std::u16string lower = tagtext::AsciiLower(extension);
    const auto row = std::find_if(kFormats.begin(), kFormats.end(),
                                  [&lower](const MediaFormat& format) { return format.extension == lower; });
    return row == kFormats.end() ? nullptr : &*row;
}

std::u16string DialogPatterns(DialogEntry entry) {
    std::u16string patterns;
    for (const MediaFormat& format : kFormats) {
        if (format.dialogEntry != entry) continue;
        if (!patterns.empty()) patterns += u';';
        patterns += PatternOf(format);
    }
    return patterns;
}

const std::vector<FolderPassPatterns>& FolderPasses() {
    static const std::vector<FolderPassPatterns> kPasses = [] {
        std::vector<FolderPassPatterns> passes;
        for (FolderPass pass : kPassOrder) {
            FolderPassPatterns entry{pass, {}};
            for (const MediaFormat& format : kFormats)
                if (format.folderPass == pass) entry.patterns.push_back(PatternOf(format));
            passes.push_back(std::move(entry));
        }
        return passes;
    }();
    return kPasses;
}

std::vector<std::string> MimeTypes() {
    std::vector<std::string> types;
    for (const MediaFormat& format : kFormats) {
        std::string_view rest = format.mimeTypes;
        while (!rest.empty()) {
            const std::size_t semicolon = std::min(rest.find(';'), rest.size());
            const std::string type(rest.substr(0, semicolon));
            if (std::find(types.begin(), types.end(), type) == types.end()) types.push_back(type);
            rest.remove_prefix(std::min(semicolon + 1, rest.size()));
        }
    }
    return types;
}

}  // namespace media
