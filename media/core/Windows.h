#pragma once
// Every window exists once, is created on first use and is reached from everywhere by its name.
namespace media {

class MainWindow;
class PlaylistWindow;
class MenuWindow;

MainWindow& frmMain();
PlaylistWindow& frmList();
MenuWindow& frmMenu();

// Whether a window has been created yet (reaching it by name would create it).
bool frmListExists();
bool frmMenuExists();

// Destroys every window; the program calls it once the main window has unloaded.
void DestroyWindows();

}  // namespace media
