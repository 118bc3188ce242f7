#pragma once
// The menu window: never shown, it holds the playlist menu and the lyrics menu, and runs the playlist commands.
#include "platform/forms/Form.h"
#include "platform/forms/Menu.h"

namespace media {

class MenuWindow final : public forms::Form {
    Q_OBJECT
public:
    MenuWindow();

    forms::Menu mnuList;
    forms::Menu mnuLrc;
    forms::MenuItem& mnuPlayMode(int index) { return mnuList.Item(PlayModeFirst + static_cast<std::size_t>(index)); }
    forms::MenuItem& mnuEdit() { return mnuLrc.Item(0); }

    // The save-as command: asks for a file name and writes the list there.
    void PlayListSave();

private:
    static constexpr std::size_t PlayModeFirst = 6;
    void mnuDelFile_Click();
    void mnuClearList_Click();
    void mnuPlayMode_Click(int index);
};

}  // namespace media
