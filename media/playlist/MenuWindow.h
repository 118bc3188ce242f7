#pragma once
// The menu window: never shown, it holds the playlist menu and the lyrics menu, and runs the playlist commands.
#include <string>

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
    // The items by the names of their commands.
    forms::MenuItem& mnuAddFile() { return mnuList.Item(u"mnuAddFile"); }
    forms::MenuItem& mnuAddFolder() { return mnuList.Item(u"mnuAddFolder"); }
    forms::MenuItem& mnuDelFile() { return mnuList.Item(u"mnuDelFile"); }
    forms::MenuItem& mnuClearList() { return mnuList.Item(u"mnuClearList"); }
    forms::MenuItem& mnuPlayMode(int index) { return mnuList.Item(u"mnuPlayMode", index); }
    forms::MenuItem& mnuPlayListOpen() { return mnuList.Item(u"mnuPlayListOpen"); }
    forms::MenuItem& mnuPlayListCreate() { return mnuList.Item(u"mnuPlayListCreate"); }
    forms::MenuItem& mnuPlayListSave() { return mnuList.Item(u"mnuPlayListSave"); }
    forms::MenuItem& mnuAbout() { return mnuList.Item(u"mnuAbout"); }
    forms::MenuItem& mnuEdit() { return mnuLrc.Item(u"mnuEdit"); }
    // The play-mode items, one for each PlayModeIndex.
    static constexpr int kPlayModeCount = 5;

    // The save-as command: asks for a file name and writes the list there; the list takes that name only once it is
    // written, so a failed save leaves the list where it was kept before.
    void PlayListSave();
    // Writes the list to `path`. A failure is said on stderr with the path and the reason, and also in a message box
    // when `inABox` (someone is there to read it); the file keeps what it held.
    static bool SaveListTelling(const std::u16string& path, bool inABox);
    // The play-mode command of the item at `index` (a PlayModeIndex), as a click on it runs it; other indexes are
    // ignored.
    void ChoosePlayMode(int index);

private:
    // The items in the order the menu shows them, each named for its command.
    void AddListItems();
    // Each command to the item of its name.
    void BindListCommands();
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
