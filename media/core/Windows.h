#pragma once
// Every window exists once, is created on first use and is reached from everywhere by its name.
namespace media {

class MainWindow;
class PlaylistWindow;
class MenuWindow;
class LyricsWindow;
class WebWindow;

MainWindow& frmMain();
PlaylistWindow& frmList();
MenuWindow& frmMenu();
LyricsWindow& frmLrc();
WebWindow& frmWindow();

// Whether a window has been created yet (reaching it by name would create it).
bool frmMainExists();
bool frmListExists();
bool frmMenuExists();
bool frmLrcExists();
bool frmWindowExists();

// Destroys every window; the program calls it once the main window has unloaded, while the application exists.
void DestroyWindows();

}  // namespace media
