#include "media/playlist/CueTracks.h"

#include <sys/stat.h>

#include <QString>

#include "media/playlist/FindFile.h"
#include "media/playlist/PlaylistRows.h"
#include "media/readers/Apev2Tag.h"
#include "media/readers/ByteSource.h"
#include "media/readers/MediaInfo.h"
#include "platform/text/FileName.h"

namespace media {
namespace {

constexpr std::u16string_view kSpanFragment = u"#t=";

bool IsRegularFile(const std::u16string& path) {
    struct stat info {};
    return ::stat(text::ToFileName(path).c_str(), &info) == 0 && S_ISREG(info.st_mode);
}

bool EndsWithIgnoringCase(const std::u16string& text, std::u16string_view end) {
    return text.size() >= end.size() &&
           QString::fromStdU16String(text.substr(text.size() - end.size()))
                   .compare(QString::fromRawData(reinterpret_cast<const QChar*>(end.data()),
                                                 static_cast<qsizetype>(end.size())),
                            Qt::CaseInsensitive) == 0;
}

std::u16string FolderOf(const std::u16string& path) {
    const std::size_t slash = path.rfind(u'/');
    return slash == std::u16string::npos ? u"." : path.substr(0, slash == 0 ? 1 : slash);
}

std::u16string Joined(const std::u16string& folder, const std::u16string& name) {
    return folder.ends_with(u'/') ? folder + name : folder + u'/' + name;
}

// The first file (not folder) of `folder` whose name matches `pattern` and passes `accept`, in name order.
template <typename Accept>
std::optional<std::u16string> FirstFileMatching(const std::u16string& folder, const std::u16string& pattern,
                                                Accept accept) {
    cFindFile finder;
    for (std::u16string name = finder.Find(Joined(folder, pattern)); !name.empty(); name = finder.FindNext())
        if (!(finder.FileAttributes() & kFileAttributeDirectory) && accept(name)) return Joined(folder, name);
    return std::nullopt;
}

// What the audio file's own tags say, read once a file, only when the sheet lacks a text.
struct AudioTags {
    std::u16string title;
    std::u16string artist;
};

AudioTags ReadAudioTags(const std::u16string& audioPath) {
    MediaInfo info;
    info.FileName = audioPath;
    if (!ReadMediaInfo(info)) return {TitleFromPath(audioPath), {}};
    return {info.Title.empty() ? TitleFromPath(audioPath) : info.Title, info.Artist};
}

// The rows of one file's tracks, each ending where the next begins.
void AppendRows(const std::u16string& audioPath, const std::vector<CueTrack>& tracks, std::vector<SheetRow>& rows) {
    std::optional<AudioTags> tags;
    const auto fileTags = [&]() -> const AudioTags& {
        if (!tags) tags = ReadAudioTags(audioPath);
        return *tags;
    };
    for (std::size_t i = 0; i < tracks.size(); ++i) {
        const CueTrack& track = tracks[i];
        std::u16string title = track.title;
        // Without the sheet's title the tracks would all bear the album file's: its number tells them apart.
        if (title.empty())
            title = fileTags().title + u" (" + QString::number(track.number).rightJustified(2, u'0').toStdU16String() +
                    u")";
        std::u16string artist = track.performer.empty() ? fileTags().artist : track.performer;
        const std::optional<std::uint64_t> end =
            i + 1 < tracks.size() ? std::optional<std::uint64_t>(tracks[i + 1].startFrame) : std::nullopt;
        rows.push_back({WithoutQuotes(std::move(title)), WithoutQuotes(std::move(artist)),
                        TrackSpanLocation(audioPath, track.startFrame, end)});
    }
}

std::optional<std::string> ReadSheetBytes(const std::u16string& sheetPath) {
    FileRegionReader file;
    if (!file.Open(text::ToFileName(sheetPath)) || file.Size() > kMaxCueSheetBytes) return std::nullopt;
    return std::string(file.Read(0, static_cast<std::size_t>(file.Size())));
}

}  // namespace

bool IsCueSheet(const std::u16string& location) { return EndsWithIgnoringCase(location, u".cue"); }

std::u16string TrackSpanLocation(const std::u16string& audioPath, std::uint64_t startFrame,
                                 std::optional<std::uint64_t> endFrame) {
    std::u16string location = audioPath + std::u16string(kSpanFragment) + CueSeconds(startFrame);
    if (endFrame) location += u',' + CueSeconds(*endFrame);
    return location;
}

bool IsTrackSpanLocation(const std::u16string& location) {
    const std::size_t fragment = location.rfind(kSpanFragment);
    return fragment != std::u16string::npos && fragment > 0 && !IsRegularFile(location);
}

std::optional<std::u16string> FindSheetAudio(const std::u16string& folder, const std::u16string& name) {
    // Sheets written on other systems separate folders with backslashes.
    std::u16string written = name;
    std::replace(written.begin(), written.end(), u'\\', u'/');
    if (written.empty()) return std::nullopt;
    // A sheet is never audio: one that names a sheet (itself, say) would give rows that can never play.
    if (IsCueSheet(written)) return std::nullopt;
    const std::u16string asWritten = written.front() == u'/' ? written : Joined(folder, written);
    if (IsRegularFile(asWritten)) return asWritten;

    const std::u16string leaf = written.substr(written.rfind(u'/') + 1);
    // A name with wildcards would match other files; only the name as written stands for it.
    if (leaf.empty() || leaf.find_first_of(u"*?") != std::u16string::npos) return std::nullopt;
    if (auto sameName = FirstFileMatching(folder, leaf, [](const std::u16string&) { return true; })) return sameName;
    const std::size_t dot = leaf.rfind(u'.');
    const std::u16string stem = dot == std::u16string::npos ? leaf : leaf.substr(0, dot);
    return FirstFileMatching(folder, stem + u".*", [&stem](const std::u16string& candidate) {
        return candidate.rfind(u'.') == stem.size() && MediaTypeOf(candidate) != 0 && !IsCueSheet(candidate);
    });
}

SheetRows ReadSheetRows(const std::u16string& sheetPath) {
    SheetRows result;
    const std::optional<std::string> bytes = ReadSheetBytes(sheetPath);
    const std::optional<CueSheet> sheet = bytes ? ReadCueSheet(*bytes) : std::nullopt;
    if (!sheet) return result;
    const std::u16string folder = FolderOf(sheetPath);
    for (const CueFile& file : sheet->files) {
        if (const std::optional<std::u16string> audio = FindSheetAudio(folder, file.name))
            AppendRows(*audio, file.tracks, result.rows);
        else
            result.missingAudio.push_back(file.name);
    }
    return result;
}

std::vector<SheetRow> EmbeddedSheetRows(const std::u16string& audioPath) {
    std::optional<CueSheet> sheet;
    const std::int32_t type = MediaTypeOf(audioPath);
    if (type == kMediaFlac) {
        sheet = ReadFlacCueSheet(text::ToFileName(audioPath));
    } else if (type == kMediaApe || type == kMediaWavPack) {
        if (const std::optional<std::string> bytes = ReadEmbeddedCuesheet(text::ToFileName(audioPath)))
            sheet = ReadCueSheet(*bytes);
    }
    std::vector<SheetRow> rows;
    // A sheet inside a file describes that file, whatever name its FILE line gives; one file is one disc.
    if (sheet) AppendRows(audioPath, sheet->files.front().tracks, rows);
    return rows;
}

bool SheetAudioIndex::NamedBySheet(const std::u16string& path) {
    const std::u16string folder = FolderOf(path);
    auto it = namedByFolder_.find(folder);
    if (it == namedByFolder_.end()) {
        std::set<std::u16string> named;
        cFindFile finder;
        for (std::u16string name = finder.Find(Joined(folder, u"*.cue")); !name.empty(); name = finder.FindNext()) {
            if (finder.FileAttributes() & kFileAttributeDirectory) continue;
            const std::optional<std::string> bytes = ReadSheetBytes(Joined(folder, name));
            const std::optional<CueSheet> sheet = bytes ? ReadCueSheet(*bytes) : std::nullopt;
            if (!sheet) continue;
            for (const CueFile& file : sheet->files)
                if (const std::optional<std::u16string> audio = FindSheetAudio(folder, file.name)) named.insert(*audio);
        }
        it = namedByFolder_.emplace(folder, std::move(named)).first;
    }
    return it->second.contains(path);
}

}  // namespace media
