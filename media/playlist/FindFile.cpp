#include "media/playlist/FindFile.h"

#include <dirent.h>
#include <fnmatch.h>
#include <sys/stat.h>

#include <QCollator>
#include <QLocale>
#include <QString>
#include <algorithm>

#include "platform/text/FileName.h"

namespace media {

WildcardPattern::WildcardPattern(const std::u16string& pattern) {
    // Brackets and backslashes are plain characters here, as names may contain them.
    for (char c : text::ToFileName(pattern)) {
        if (c == '[' || c == ']' || c == '\\') pattern_ += '\\';
        pattern_ += c;
    }
}

bool WildcardPattern::Matches(const char* fileSystemName) const {
    return ::fnmatch(pattern_.c_str(), fileSystemName, FNM_CASEFOLD) == 0;
}

bool WildcardPattern::Matches(const std::u16string& name) const { return Matches(text::ToFileName(name).c_str()); }

namespace {

// Whether the entry is a folder; a link counts as what it points to, a broken one as a file.
bool IsFolder(DIR* folder, const dirent& entry) {
    if (entry.d_type != DT_LNK && entry.d_type != DT_UNKNOWN) return entry.d_type == DT_DIR;
    struct stat target {};
    return ::fstatat(::dirfd(folder), entry.d_name, &target, 0) == 0 && S_ISDIR(target.st_mode);
}

// Names in the order file managers show them: case ignored, runs of digits by their value ("2 x" before "10 x"),
// Chinese names by their reading (pinyin), which is what the Chinese locale's collation gives. The locale is named
// rather than taken from the environment, so an album keeps its order on every machine. A name in another code
// page is ordered as it reads (歌 before 你好), not by its raw bytes. Names the collation holds equal ("a" and "A",
// "01" and "1") fall back to their code units, so the order is never left to the sort.
int CompareAsShown(const std::u16string& a, const std::u16string& b) {
    static const QCollator kCollator = [] {
        QCollator made{QLocale(QLocale::Chinese, QLocale::China)};
        made.setNumericMode(true);
        made.setCaseSensitivity(Qt::CaseInsensitive);
        return made;
    }();
    return kCollator.compare(QStringView(a), QStringView(b));
}

}  // namespace

std::u16string cFindFile::Find(const std::u16string& spec, bool /*showErrors*/) {
    Close();
    const QString text = QString::fromStdU16String(spec);
    const qsizetype slash = text.lastIndexOf(QLatin1Char('/'));
    const QString folderName = slash < 0 ? QStringLiteral(".") : slash == 0 ? QStringLiteral("/") : text.left(slash);
    const WildcardPattern pattern(text.mid(slash + 1).toStdU16String());
    DIR* folder = ::opendir(text::ToFileName(folderName.toStdU16String()).c_str());
    if (!folder) return {};
    while (const dirent* entry = ::readdir(folder)) {
        if (!pattern.Matches(entry->d_name)) continue;
        std::u16string name = text::FromFileName(entry->d_name);
        std::u16string shown = text::ReadableFileName(name);
        matches_.push_back({std::move(name), std::move(shown),
                            IsFolder(folder, *entry) ? kFileAttributeDirectory : kFileAttributeNormal});
    }
    ::closedir(folder);
    std::sort(matches_.begin(), matches_.end(), [](const Match& a, const Match& b) {
        const int order = CompareAsShown(a.shown, b.shown);
        if (order != 0) return order < 0;
        return a.shown != b.shown ? a.shown < b.shown : a.name < b.name;
    });
    return NextMatch();
}

std::u16string cFindFile::FindNext() { return NextMatch(); }

void cFindFile::Close() {
    matches_.clear();
    next_ = 0;
    attributes_ = 0;
}

std::u16string cFindFile::NextMatch() {
    if (next_ == matches_.size()) {
        Close();
        return {};
    }
    const Match& match = matches_[next_++];
    attributes_ = match.attributes;
    return match.name;
}

}  // namespace media
