#pragma once

namespace mediaplayer {

// Brings GStreamer up on first use rather than at program start, which keeps start-up fast and
// idle memory small. Safe to call from any thread, any number of times; false when GStreamer
// cannot be initialised (then no media can be opened).
bool EnsureGStreamer();

}  // namespace mediaplayer
