#include "media/core/Windows.h"

#include <memory>

#include "media/core/MainWindow.h"
#include "media/playlist/MenuWindow.h"
#include "media/playlist/PlaylistWindow.h"
#include "media/windows/Tray.h"

namespace media {
namespace {

std::unique_ptr<MainWindow> mainWindow;
std::unique_ptr<PlaylistWindow> playlistWindow;
std::unique_ptr<MenuWindow> menuWindow;

template <class W>
W& Reach(std::unique_ptr<W>& slot) {
    if (!slot) slot = std::make_unique<W>();
    return *slot;
}

}  // namespace

MainWindow& frmMain() { return Reach(mainWindow); }
PlaylistWindow& frmList() { return Reach(playlistWindow); }
MenuWindow& frmMenu() { return Reach(menuWindow); }
bool frmListExists() { return playlistWindow != nullptr; }
bool frmMenuExists() { return menuWindow != nullptr; }

void DestroyWindows() {
    mdlNotify().Remove();
    playlistWindow.reset();
    menuWindow.reset();
    mainWindow.reset();
}

}  // namespace media
