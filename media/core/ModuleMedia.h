#pragma once
// Process-wide values the windows share, alive from start to exit. Everything runs on the one window thread,
// so plain variables serve.
#include <cstdint>
#include <string>

namespace media {

struct SharedValues {
    std::u16string SkinName = u"DA10";
    std::u16string PlayListFile;     // the current playlist file; empty after the new-list command
    std::int16_t CurrentIndex = 0;   // row of the current track
    std::int16_t PreviousIndex = 0;  // row that carries the current-track mark
    bool TrackStarted = false;       // a track was started and its row texts are still to be written
    std::int16_t PlayMode = 3;       // index of the checked play-mode menu item
};

// The one instance.
SharedValues& Shared();

}  // namespace media
