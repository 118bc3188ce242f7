#pragma once

namespace mediaplayer {

// The values `playState` reports, numbered as the player's poller expects them.
enum PlayState : int {
    Undefined = 0,  // no media set, or released by close()
    Stopped = 1,    // stopped by the user or at the end of the media
    Paused = 2,
    Playing = 3,        // playing, and the duration is known (or could not be learnt in time)
    Buffering = 6,      // a network stream fills its buffer; see bufferingProgress()
    Transitioning = 9,  // opening, or resuming
    Ready = 10,         // the media could not be opened; play() tries again
};

}  // namespace mediaplayer
