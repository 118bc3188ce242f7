#pragma once
// The menu window: never shown, it holds the playlist menu and the lyrics menu, and runs the playlist commands.
#include "platform/forms/Form.h"
#include "platform/forms/Menu.h"

namespace media {

class MediaAdder;

class MenuWindow final : public forms::Form {
    Q_OBJECT
public:
    MenuWindow();

    forms::Menu mnuList;
    forms::Menu mnuLrc;
    forms::MenuItem& mnuAddFile() { return mnuList.Item(0); }
    forms::MenuItem& mnuAddFolder() { return mnuList.Item(1); }
    forms::MenuItem& mnuDelFile() { return mnuList.Item(3); }
    forms::MenuItem& mnuClearList() { return mnuList.Item(4); }
    forms::MenuItem& mnuPlayMode(int index) { return mnuList.Item(PlayModeFirst + static_cast<std::size_t>(index)); }
    forms::MenuItem& mnuPlayListOpen() { return mnuList.Item(12); }
    forms::MenuItem& mnuPlayListCreate() { return mnuList.Item(13); }
    forms::MenuItem& mnuPlayListSave() { return mnuList.Item(14); }
    forms::MenuItem& mnuAbout() { return mnuList.Item(16); }
    forms::MenuItem& mnuEdit() { return mnuLrc.Item(0); }

    // The save-as command: asks for a file name and writes the list there.
    void PlayListSave();
    // The play-mode command of the item at `index` (a PlayModeIndex), as a click on it runs it; other indexes are
    // ignored.
    void ChoosePlayMode(int index);

private:
    static constexpr std::size_t PlayModeFirst = 6;
    // Adds rows to the playlist while the playlist window stays loaded.
    static MediaAdder PlaylistAdder();
    void mnuAddFile_Click();
    void mnuAddFolder_Click();
    void mnuDelFile_Click();
    void mnuClearList_Click();
    void mnuPlayMode_Click(int index);
    void mnuPlayListOpen_Click();
    void mnuPlayListCreate_Click();
};

}  // namespace media
