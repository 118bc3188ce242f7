#pragma once
// The playlist window: the skinned tool-window frame around the playlist grid, with a menu button in its title bar;
// loads and saves list files, plays a row on double click, adds dropped files (a dropped list adds its songs). Lists
// of other players (M3U, M3U8, PLS, XSPF) are read for their songs, and a list saved under a ".m3u8" name is written
// as M3U8; the program's own ".lst" is every other list it keeps.
#include <QTimer>
#include <cstdint>
#include <memory>
#include <optional>
#include <string>

#include "media/playlist/FindBox.h"
#include "media/playlist/GridProxy.h"
#include "media/playlist/ListWriteBack.h"
#include "media/windows/ToolWindow.h"
#include "platform/automation/Variant.h"
#include "platform/forms/ControlHost.h"
#include "platform/forms/Image.h"

namespace media {

class PlaylistWindow final : public ToolWindow {
    Q_OBJECT
public:
    PlaylistWindow();
    ~PlaylistWindow() override;

    // Appends the rows of PlayListFile and starts the list's first row.
    void LoadPlayList();
    // The next load reads `list` in place of PlayListFile, whose rows they then count as: a list the program may
    // not write over seeds the one it keeps.
    void StartFrom(std::u16string list) { startFrom_ = std::move(list); }
    // Writes every row to a list file; false, with errno telling why, when the file could not be written (the old
    // one stays). Rows the file already holds from this program's own last write are not written again. A version
    // someone else wrote over the file since this program read or wrote it is first kept beside it as
    // "<file>.orig"; when that cannot be kept, the file is not written either.
    bool SavePlayList(const std::u16string& path);
    // The bytes SavePlayList would write to `path` now.
    std::string EncodeRows(const std::u16string& path);
    // The version of `path` this program last read or wrote, as SavePlayList judges a hand edit by.
    SeenVersion SeenVersionOf(const std::u16string& path) const;
    // True while LoadPlayList is reading: the rows are not all there yet.
    bool Loading() const { return loading_; }
    // Ends a list load under way (the program is ending); the rows read so far stay, the file is not written back.
    void StopLoading() { stopLoading_ = true; }
    // Whether the rows may be written back over `path`: only a list read whole from that file (or saved there) may
    // replace it. A list that could not be read, was read with damage, was cut at the grid's limit or is still loading
    // keeps its file.
    bool MayWriteBack(const std::u16string& path) const;
    // Why the list file the last load read is not held whole ("it was read with damage: an unclosed quote on
    // line 3"); empty when it is.
    const std::string& ReadProblem() const { return readProblem_; }
    // Shows the vertical scroll bar only when the rows overflow the grid.
    void ApplyScrollBarRule();

    // Opens the find box over this window, or over the main window while this one is hidden.
    void OpenFindBox();
    FindBox* FindBoxIfMade() const { return findBox_.get(); }
    // Plays the selected current row as a double-click on it does.
    void PlaySelectedRow();

    GridProxy& PlayList() { return grid_; }
    forms::ControlHost& PlayListHost() { return host_; }
    SkinnedButton ImgList;  // the menu button

protected:
    void Form_Load() override;
    void Form_Unload() override;
    void PlaceTitleBar() override;
    void PlaceContent() override;
    void ClearHoverPictures() override;

private:
    void CreateGrid();
    void ConnectMenuButton();
    void ApplyListSkin();
    void ImgList_Click();
    void OnGridEvent(automation::DispId event, std::span<automation::Variant> args);
    void PlayList_DblClick(std::int32_t row);
    void PlayList_Reorder();
    void PlayList_MouseDown(std::int32_t button);
    void PlayList_MouseMove() { ClearHoverPictures(); }
    void PlayList_KeyDown(std::span<automation::Variant> args);
    void PickRow(std::int32_t row);
    void PlayList_OLEDragDrop(const automation::Variant& data);

    // Reads PlayListFile's records into the grid; true when every record of the file is now a row.
    bool ReadListFile(const std::u16string& path);
    bool ReadForeignListFile(const std::string& localPath);

    forms::ControlHost host_;
    GridProxy grid_;
    QTimer scrollRule_;  // applies the scroll-bar rule once the rows' number has changed
    std::unique_ptr<FindBox> findBox_;
    bool loading_ = false;
    bool stopLoading_ = false;
    std::u16string heldWhole_;  // the list file whose every record the grid holds, if any
    std::u16string startFrom_;  // read by the next load in place of PlayListFile, if set
    std::string readProblem_;
    // The list file as this program last saw it, read by a load or written by a save, to tell whether someone else
    // has written it since.
    struct SeenFile {
        std::u16string path;
        std::optional<FileStamp> stamp;          // none: there was no such file
        std::optional<std::size_t> contentHash;  // what this program wrote there, if it wrote the version seen
    } seen_;
};

// The playlist grid's design properties.
automation::PropertyBag PlaylistGridDesign();

}  // namespace media
