#pragma once
// One tick of the lyrics display: advances the highlight with the playback position and works out where the block
// of lines stands, so the window only has to print it.
#include "media/lyrics/LyricTable.h"

namespace media {

struct LyricFrame {
    bool clear = false;  // wipe the canvas
    bool draw = false;   // print every line from `top`, one pitch apart
    float top = 0;
    int highlight = -1;  // the line printed in the highlight colour; -1 for none
};

// position and duration in seconds, canvasHeight in pixels. Updates lyricIndex and lyricTop of the table.
LyricFrame LyricTick(LyricTable& table, double position, double duration, double canvasHeight);

// What the next tick reads of the player: the position whenever there is a lyric, the duration only once the last
// line has been reached. The tick gives the same results whatever is passed for an input it does not read, so the
// window asks the player for nothing more.
struct LyricTickInputs {
    bool position = false;
    bool duration = false;
};
LyricTickInputs LyricTickReads(const LyricTable& table);

// Seconds of playback until the next tick can show something new: the block risen by one more pixel or the next
// line lit. 0 when every tick moves the block (the drift after the last line) or the pace cannot be worked out;
// infinity when nothing will move (no lyric). Lets the window sleep between the ticks that change a pixel.
double LyricSecondsToNextStep(const LyricTable& table, double position);

}  // namespace media
