#pragma once
// Filling the playlist from the file and folder dialogs: taking a multiple selection apart, searching a folder
// tree for media files, and the add-file and add-folder commands.
#include <QString>
#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "media/playlist/GridProxy.h"
#include "platform/automation/Unknown.h"
#include "platform/forms/EventTurns.h"

class QWidget;

namespace media {

// The full paths of the selection SplitSelection took apart last.
std::vector<std::u16string>& SelectedFiles();

// Splits an open-file dialog result into full paths in SelectedFiles and returns the highest index filled: one
// file is the result itself; several are the folder joined to each name with exactly one "/".
std::int16_t SplitSelection(const std::u16string& result);

// Appends rows on the window thread without freezing it: pending events get a turn every few milliseconds, so
// the user can scroll, play or clear meanwhile. Adding stops for good once the grid is full or the stop check
// answers true (the playlist window has gone, the program is closing). A full grid is told on stderr and in the
// main window's state text.
class MediaAdder {
public:
    using StopCheck = std::function<bool()>;
    explicit MediaAdder(GridProxy grid, StopCheck stopRequested = {});

    // Appends the file's row; false once adding has stopped.
    bool Add(const std::u16string& location);
    // Gives pending events their turn when one is due; false once adding has stopped.
    bool TakeTurn();
    bool Stopped() const { return stopped_; }

private:
    automation::Ref<automation::Dispatch> keepGrid_;  // the grid outlives a window destroyed meanwhile
    GridProxy grid_;
    StopCheck stopRequested_;
    forms::EventTurns turns_;
    bool stopped_ = false;
};

// Adds every file whose name matches pattern (case ignored) in folder and, depth first, in its subfolders, each
// folder's entries in name order as file managers show them (cFindFile). Folders whose names begin with "." are not
// entered, nor is a folder entered a second time (symbolic-link loops); folders that cannot be read add nothing.
void SearchFolder(MediaAdder& adder, const std::u16string& folder, const std::u16string& pattern);
// The same pass for several patterns at once: a file matching any of them is added where the listing reaches it.
void SearchFolder(MediaAdder& adder, const std::u16string& folder, const std::vector<std::u16string>& patterns);

// The add-folder passes of media files that follow the WMA and MP3 passes, made from the formats table: FLAC, Ogg
// (.ogg and .oga together), Opus, MP4 audio (.m4a and .m4b), Monkey's Audio, WavPack.
const std::vector<std::vector<std::u16string>>& MoreFolderPasses();

// The add-file dialog's filter in Qt's form, made from the formats table: the classic entry
// "所有音频格式*.mp3;*.wav;*.wma;*.mdi" first, then an entry for the formats read beyond it.
QString AddFileFilter();

// The add-file command: asks for one or more media files and appends a row for each, in the dialog's order.
void AddFileCommand(MediaAdder& adder);

// The add-folder command: asks for a folder and adds its WMA files, then its MP3 files, then one pass each of
// MoreFolderPasses.
void AddFolderCommand(QWidget* owner, MediaAdder& adder);

}  // namespace media
