#include "media/core/Windows.h"

#include "media/core/MainWindow.h"
#include "media/lyrics/LyricsWindow.h"
#include "media/playlist/MenuWindow.h"
#include "media/playlist/PlaylistWindow.h"
#include "media/windows/Tray.h"
#include "media/windows/WebWindow.h"

namespace media {
namespace {

// Plain pointers: if the program ends without DestroyWindows (the display went away), the windows are left to the
// operating system rather than destroyed after the application that owns their resources.
MainWindow* mainWindow = nullptr;
PlaylistWindow* playlistWindow = nullptr;
MenuWindow* menuWindow = nullptr;
LyricsWindow* lyricsWindow = nullptr;
WebWindow* webWindow = nullptr;

template <class W>
W& Reach(W*& slot) {
    if (!slot) slot = new W();
    return *slot;
}

template <class W>
void Destroy(W*& slot) {
    delete slot;
    slot = nullptr;
}

}  // namespace

MainWindow& frmMain() { return Reach(mainWindow); }
PlaylistWindow& frmList() { return Reach(playlistWindow); }
MenuWindow& frmMenu() { return Reach(menuWindow); }
LyricsWindow& frmLrc() { return Reach(lyricsWindow); }
WebWindow& frmWindow() { return Reach(webWindow); }
bool frmMainExists() { return mainWindow != nullptr; }
bool frmListExists() { return playlistWindow != nullptr; }
bool frmMenuExists() { return menuWindow != nullptr; }
bool frmLrcExists() { return lyricsWindow != nullptr; }
bool frmWindowExists() { return webWindow != nullptr; }

void DestroyWindows() {
    mdlNotify().Remove();
    Destroy(webWindow);
    Destroy(lyricsWindow);
    Destroy(playlistWindow);
    Destroy(menuWindow);
    Destroy(mainWindow);
}

}  // namespace media
