#include "media/core/PlaylistPlace.h"

#include <sys/stat.h>

#include <ctime>

#include "media/core/ProgramIdentity.h"
#include "platform/automation/ClassRegistry.h"
#include "platform/forms/Application.h"
#include "platform/text/FileName.h"

namespace media {

namespace {

constexpr char16_t kListName[] = u"/default.lst";
// Left in the program folder by a system-wide install (cmake/InstallTime.cmake).
constexpr char kSharedInstallMark[] = "/shared-install";

bool Exists(const std::u16string& path) {
    struct stat info {};
    return ::stat(text::ToFileName(path).c_str(), &info) == 0;
}

// Anything by that name, even a link to nothing: writing there would follow the link.
bool NameTaken(const std::u16string& path) {
    struct stat info {};
    return ::lstat(text::ToFileName(path).c_str(), &info) == 0;
}

}  // namespace

PlaylistPlace ChoosePlaylistPlace(const std::u16string& programFolder, bool programFolderOurs,
                                  const std::u16string& dataFolder) {
    const std::u16string besideProgram = programFolder + kListName;
    if (programFolderOurs || dataFolder.empty()) return {besideProgram, besideProgram};
    const std::u16string own = dataFolder + kListName;
    if (!Exists(own) && Exists(besideProgram)) return {own, besideProgram};
    return {own, own};
}

PlaylistPlace PlaylistPlaceOfThisProgram() {
    const std::string programFolder = automation::ProgramFolder();
    struct stat mark {};
    const bool shared = ::stat((programFolder + kSharedInstallMark).c_str(), &mark) == 0;
    return ChoosePlaylistPlace(text::FromFileName(programFolder), !shared && forms::FolderWritable(programFolder),
                               text::FromFileName(forms::UserDataFolder(kProgramName)));
}

std::u16string NewUnnamedListFile(const std::u16string& folder, std::time_t when) {
    std::tm local{};
    char stamp[32] = "";
    if (::localtime_r(&when, &local)) std::strftime(stamp, sizeof stamp, "%Y%m%d-%H%M%S", &local);
    const std::u16string stem = folder + u"/未命名播放列表-" + text::FromFileName(stamp);
    std::u16string path = stem + u".lst";
    for (int n = 2; NameTaken(path); ++n) path = stem + u"-" + text::FromFileName(std::to_string(n)) + u".lst";
    return path;
}

std::u16string UnnamedListFolder() {
    const std::string dataFolder = forms::UserDataFolder(kProgramName);
    if (!dataFolder.empty()) return text::FromFileName(dataFolder);
    const std::u16string list = PlaylistPlaceOfThisProgram().file;
    return list.substr(0, list.find_last_of(u'/'));
}

}  // namespace media
