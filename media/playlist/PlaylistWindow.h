#pragma once
// The playlist window: the skinned tool-window frame around the playlist grid, with a menu button in its title bar;
// loads and saves list files, plays a row on double click, adds dropped files.
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
    // Writes every row to a list file; false when the file could not be written (the old one stays).
    bool SavePlayList(const std::u16string& path);
    // True while LoadPlayList is reading: the rows are not all there yet.
    bool Loading() const { return loading_; }
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

    forms::ControlHost host_;
    GridProxy grid_;
    bool loading_ = false;
    bool stopLoading_ = false;
};

// The playlist grid's design properties.
automation::PropertyBag PlaylistGridDesign();

}  // namespace media
