#include "media/playlist/FindFile.h"

#include <fnmatch.h>
#include <sys/stat.h>

#include <QString>

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

std::u16string cFindFile::Find(const std::u16string& spec, bool /*showErrors*/) {
    Close();
    const QString text = QString::fromStdU16String(spec);
    const qsizetype slash = text.lastIndexOf(QLatin1Char('/'));
    const QString folder = slash < 0 ? QStringLiteral(".") : slash == 0 ? QStringLiteral("/") : text.left(slash);
    pattern_ = WildcardPattern(text.mid(slash + 1).toStdU16String());
    folder_ = ::opendir(text::ToFileName(folder.toStdU16String()).c_str());
    return NextMatch();
}

std::u16string cFindFile::FindNext() { return NextMatch(); }

void cFindFile::Close() {
    if (folder_) ::closedir(folder_);
    folder_ = nullptr;
    attributes_ = 0;
}

std::u16string cFindFile::NextMatch() {
    while (folder_) {
        const dirent* entry = ::readdir(folder_);
        if (!entry) break;
        if (!pattern_.Matches(entry->d_name)) continue;
        bool directory = entry->d_type == DT_DIR;
        if (entry->d_type == DT_LNK || entry->d_type == DT_UNKNOWN) {
            // A link counts as what it points to; a broken one as a file.
            struct stat target {};
            directory = ::fstatat(::dirfd(folder_), entry->d_name, &target, 0) == 0 && S_ISDIR(target.st_mode);
        }
        attributes_ = directory ? kFileAttributeDirectory : kFileAttributeNormal;
        return text::FromFileName(entry->d_name);
    }
    Close();
    return {};
}

}  // namespace media
