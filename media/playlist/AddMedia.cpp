#include "media/playlist/AddMedia.h"

#include <sys/stat.h>

#include <algorithm>
#include <cstdio>
#include <set>
#include <utility>

#include "media/core/MainWindow.h"
#include "media/core/Windows.h"
#include "media/playlist/CueTracks.h"
#include "media/playlist/FindFile.h"
#include "media/playlist/PlaylistRows.h"
#include "media/readers/MediaFormats.h"
#include "platform/forms/CommonDialogs.h"
#include "platform/text/FileName.h"

namespace media {
namespace {

// Says that rows were refused because the list is full: on stderr, and in the main window's state text.
void TellListFull() {
    std::fprintf(stderr, "media: the playlist is full (%d rows); the remaining files were not added\n", kMaxRows);
    if (frmMainExists())
        frmMain().EchoState.SetCaption(QStringLiteral("播放列表已满（%1首），其余文件未添加").arg(kMaxRows));
}

// One pass over a folder tree for a set of patterns: a file matching any of them is added.
class FolderSearch {
public:
    FolderSearch(MediaAdder& adder, const std::vector<std::u16string>& patterns)
        : adder_(adder), patterns_(patterns.begin(), patterns.end()) {}

    void Search(std::u16string folder) {
        if (adder_.Stopped() || !FirstVisit(folder)) return;
        if (folder.back() != u'/') folder += u'/';
        cFindFile finder;
        for (std::u16string name = finder.Find(folder + u"*", false); !name.empty(); name = finder.FindNext()) {
            if (finder.FileAttributes() & kFileAttributeDirectory) {
                if (name.front() != u'.') Search(folder + name);
            } else if (Matches(name) && !sheetAudio_.NamedBySheet(folder + name)) {
                // An album file a sheet beside it names is added as the sheet's tracks, not again as a whole.
                adder_.Add(folder + name);
            }
            if (!adder_.TakeTurn()) return;
        }
    }

private:
    bool Matches(const std::u16string& name) const {
        return std::any_of(patterns_.begin(), patterns_.end(),
                           [&name](const WildcardPattern& pattern) { return pattern.Matches(name); });
    }

    // Folders are told apart by device and inode, so a link back up the tree is not followed round again.
    bool FirstVisit(const std::u16string& folder) {
        struct stat info {};
        if (folder.empty() || ::stat(text::ToFileName(folder).c_str(), &info) != 0) return false;
        return visited_.insert({info.st_dev, info.st_ino}).second;
    }

    MediaAdder& adder_;
    std::vector<WildcardPattern> patterns_;
    std::set<std::pair<dev_t, ino_t>> visited_;
    SheetAudioIndex sheetAudio_;
};

}  // namespace

const std::vector<std::vector<std::u16string>>& MoreFolderPasses() {
    static const std::vector<std::vector<std::u16string>> kPasses = [] {
        std::vector<std::vector<std::u16string>> passes;
        for (const FolderPassPatterns& entry : FolderPasses())
            if (entry.pass > FolderPass::Mp3) passes.push_back(entry.patterns);
        return passes;
    }();
    return kPasses;
}

std::vector<std::u16string>& SelectedFiles() {
    static std::vector<std::u16string> files;
    return files;
}

std::int16_t SplitSelection(const std::u16string& result) {
    std::vector<std::u16string> parts;
    std::size_t start = 0;
    for (std::size_t nul; (nul = result.find(u'\0', start)) != std::u16string::npos; start = nul + 1)
        parts.push_back(result.substr(start, nul - start));
    parts.push_back(result.substr(start));

    auto& files = SelectedFiles();
    files.clear();
    const std::size_t m = parts.size() - 1;
    if (m <= 2) {
        files.push_back(parts[0]);
        return 0;
    }
    // The folder, the names, an empty part and what followed the list. The grid takes no more rows than a 16-bit
    // index reaches, so neither does the selection.
    const std::size_t names = std::min<std::size_t>(m - 2, kMaxRows);
    const std::u16string& folder = parts[0];
    const std::u16string prefix = !folder.empty() && folder.back() == u'/' ? folder : folder + u'/';
    for (std::size_t i = 1; i <= names; ++i) files.push_back(prefix + parts[i]);
    return static_cast<std::int16_t>(names - 1);
}

MediaAdder::MediaAdder(GridProxy grid, StopCheck stopRequested)
    : keepGrid_(grid.Object()), grid_(grid), stopRequested_(std::move(stopRequested)) {}

bool MediaAdder::Add(const std::u16string& location) {
    if (stopped_) return false;
    // Only a full grid refuses a row: nothing more can be added, so the rest of the search is spared, and the user
    // learns why the list ends there.
    if (!AddFile(grid_, location) && !location.empty()) {
        stopped_ = true;
        TellListFull();
    }
    return !stopped_;
}

bool MediaAdder::TakeTurn() {
    if (stopped_) return false;
    if (turns_.Take() && stopRequested_ && stopRequested_()) stopped_ = true;
    return !stopped_;
}

void SearchFolder(MediaAdder& adder, const std::u16string& folder, const std::u16string& pattern) {
    SearchFolder(adder, folder, std::vector<std::u16string>{pattern});
}

void SearchFolder(MediaAdder& adder, const std::u16string& folder, const std::vector<std::u16string>& patterns) {
    FolderSearch(adder, patterns).Search(folder);
}

QString AddFileFilter() {
    // The classic entry first, as it always read; the formats read beyond it in an entry of their own.
    const QString classicPattern = QString::fromStdU16String(DialogPatterns(DialogEntry::Classic));
    const QString morePattern = QString::fromStdU16String(DialogPatterns(DialogEntry::More));
    return forms::NameFilter(QStringLiteral("所有音频格式") + classicPattern, classicPattern) + QStringLiteral(";;") +
           forms::NameFilter(QStringLiteral("更多音频格式") + morePattern, morePattern);
}

void AddFileCommand(MediaAdder& adder) {
    // The filter names its patterns already, so the dialog takes them from there; the pattern argument stays the
    // classic one.
    const QString chosen = forms::BrowseForFiles(nullptr, QStringLiteral("选择要播放的音频文件"), AddFileFilter(),
                                                 QStringLiteral("*.mp3;*.wav;*.wma;*.mdi"), 1, 65535);
    if (chosen.isEmpty()) return;
    const std::int16_t last = SplitSelection(chosen.toStdU16String());
    // A copy: a command run while events are processed may refill the selection.
    const std::vector<std::u16string> files = SelectedFiles();
    for (std::int16_t i = 0; i <= last; ++i)
        if (!adder.Add(files[static_cast<std::size_t>(i)]) || !adder.TakeTurn()) return;
}

void AddFolderCommand(QWidget* owner, MediaAdder& adder) {
    const std::u16string folder =
        forms::UpToNul(forms::BrowseForFolder(owner, QStringLiteral("请选择文件夹"))).toStdU16String();
    if (folder.empty()) return;
    // WMA, then the cue sheets' tracks, then MP3, then the formats read beyond them, a pass each in the table's
    // order. WAV stays unsearched.
    for (const FolderPassPatterns& entry : FolderPasses()) SearchFolder(adder, folder, entry.patterns);
}

}  // namespace media
