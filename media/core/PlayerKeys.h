#pragma once
// The player's keys on its main and playlist windows: one table from a key to the handler the matching button or
// menu item runs, so a key does just what its click does (pictures, flags and texts follow), and a button that is
// disabled ignores its key as it ignores the pointer.
#include <QKeyCombination>
#include <QStringList>
#include <span>

class QWidget;

namespace media {

// Where a key works.
enum class KeyPlace {
    Windows,     // the main and playlist windows, but not in the grid, which keeps the arrows up and down
    Everywhere,  // the windows and the grid
    Grid,        // the grid only
};

struct PlayerKey {
    QKeyCombination key;
    const char* name;     // as the about box and the README show it
    const char* caption;  // what it does (UTF-8)
    KeyPlace place;
    bool repeats;  // held down, it keeps acting
    void (*run)();
};

std::span<const PlayerKey> PlayerKeyTable();

// Runs the table's handler for a key pressed in the windows (inGrid false) or in the playlist grid; false when the
// table has no such key there.
bool RunPlayerKey(QKeyCombination key, bool inGrid, bool autoRepeat = false);
// The same for a key the grid reports by its key code and shift mask (1 Shift, 2 Ctrl, 4 Alt).
bool RunGridKey(int keyCode, int shift);

// Runs the table's keys that reach `window` unused by its controls.
void WatchPlayerKeys(QWidget& window);

// Each key with what it does ("Z 上一首"), for the about box.
QStringList PlayerKeyItems();

}  // namespace media
