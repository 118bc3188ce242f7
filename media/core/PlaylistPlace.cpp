#include "media/core/PlaylistPlace.h"

#include <sys/stat.h>

#include "platform/automation/ClassRegistry.h"
#include "platform/forms/Application.h"
#include "platform/text/FileName.h"

namespace media {

namespace {

constexpr char16_t kListName[] = u"/default.lst";

bool Exists(const std::u16string& path) {
    struct stat info {};
    return ::stat(text::ToFileName(path).c_str(), &info) == 0;
}

}  // namespace

PlaylistPlace ChoosePlaylistPlace(const std::u16string& programFolder, bool programFolderWritable,
                                  const std::u16string& dataFolder) {
    const std::u16string besideProgram = programFolder + kListName;
    if (programFolderWritable || dataFolder.empty()) return {besideProgram, besideProgram};
    const std::u16string own = dataFolder + kListName;
    if (!Exists(own) && Exists(besideProgram)) return {own, besideProgram};
    return {own, own};
}

PlaylistPlace PlaylistPlaceOfThisProgram() {
    const std::string programFolder = automation::ProgramFolder();
    return ChoosePlaylistPlace(text::FromFileName(programFolder), forms::FolderWritable(programFolder),
                               text::FromFileName(forms::UserDataFolder("media")));
}

}  // namespace media
