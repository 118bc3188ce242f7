#pragma once
// Where the program keeps its list: default.lst beside the program where the program may write there and the folder is
// not a system-wide install's (whose install leaves the file `shared-install` in it); otherwise in the user's data
// folder, the only place it then writes. So a system-wide program folder is never written, by root or anyone.
#include <ctime>
#include <string>

namespace media {

struct PlaylistPlace {
    std::u16string file;       // the list the program holds, and writes back as it ends
    std::u16string startFrom;  // the list read at start-up: `file`, or the program folder's list seeding it
};

// The choice itself, for folders given as the program names them (text::fromFileName). `programFolderOurs` is true
// where this process may write the program folder and it is no system-wide install's. Another program folder's list
// is the starting point while the data folder holds none yet; without a data folder the list stays beside the program.
PlaylistPlace ChoosePlaylistPlace(const std::u16string& programFolder, bool programFolderOurs,
                                  const std::u16string& dataFolder);

// The choice for this program: its own folder, asked whether this process may write there and whether a system-wide
// install put it there, and the user's data folder.
PlaylistPlace PlaylistPlaceOfThisProgram();

// A new file in `folder` for a list without a name that must be kept with nobody there to name it (the program ends by
// a signal or with the session): "未命名播放列表-<date>-<time>.lst" for the local time `when`, with "-2", "-3", ...
// before the extension while that name is taken. Never the name of anything that exists, a broken link included.
std::u16string NewUnnamedListFile(const std::u16string& folder, std::time_t when);

// Where those files go: the user's data folder, else (no home to tell it) the folder of the program's own list.
std::u16string UnnamedListFolder();

}  // namespace media
