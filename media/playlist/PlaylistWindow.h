#pragma once
// The playlist window: the skinned tool-window frame around the playlist grid, with a menu button in its title bar;
// loads and saves list files, plays a row on double click, adds dropped files.
#include <cstdint>
#include <memory>

#include "media/playlist/GridProxy.h"
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
    // Writes every row to a list file; false when the file could not be written (the old one stays). Rows the file
    // already holds from this program's own last write are not written again.
    bool SavePlayList(const std::u16string& path);
    // True while LoadPlayList is reading: the rows are not all there yet.
    bool Loading() const { return loading_; }
    // Ends a list load under way (the program is ending); the rows read so far stay, the file is not written back.
    void StopLoading() { stopLoading_ = true; }
    // Whether the rows may be written back over `path`: only a list read whole from that file (or saved there) may
    // replace it. A list that could not be read, was cut at the grid's limit or is still loading keeps its file.
    bool MayWriteBack(const std::u16string& path) const;
    // Shows the vertical scroll bar only when the rows overflow the grid.
    void ApplyScrollBarRule();

    GridProxy& PlayList() { return grid_; }
    forms::ControlHost& PlayListHost() { return host_; }
    forms::Image ImgList;  // the menu button

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
    void PlayList_OLEDragDrop(const automation::Variant& data);

    // Reads PlayListFile's records into the grid; true when every record of the file is now a row.
    bool ReadListFile(const std::u16string& path);

    forms::ControlHost host_;
    GridProxy grid_;
    bool loading_ = false;
    bool stopLoading_ = false;
    std::u16string heldWhole_;  // the list file whose every record the grid holds, if any
    std::u16string startFrom_;  // read by the next load in place of PlayListFile, if set
    struct Written {
        std::u16string path;
        std::size_t contentHash = 0;  // a whole list's bytes need not be kept for the comparison
        std::int64_t size = -1;
        std::int64_t modifiedNs = 0;
    } lastWrite_;  // what this program last wrote, to tell whether a file still holds it
};

// The playlist grid's design properties.
automation::PropertyBag PlaylistGridDesign();

}  // namespace media
