#pragma once

#include "platform/mediaplayer/PlayState.h"
#include "platform/mediaplayer/StreamTags.h"

#include <cstdint>

namespace mediaplayer {

// What the playback engine last made known to the host's thread, which reads it without waiting.
struct EngineReport {
    std::uint64_t handled = 0;  // the number of the last request the engine has carried out
    PlayState state = Undefined;
    bool prerolled = false;            // the current start has had its sound reach the output
    bool restartsOnPlay = false;       // play starts the media again (stopped, ended or failed)
    double position = 0;               // seconds, when it was taken
    std::int64_t positionTakenUs = 0;  // monotonic time of `position`
    bool clockRuns = false;            // the position moves on with time (playing, not buffering)
    double duration = 0;               // seconds; 0 while unknown
    int bufferingPercent = 0;
    StreamTags tags;
    bool outputSilent = false;
    unsigned handOvers = 0;  // armed media that have followed the one before them with no gap, since the last open
};

}  // namespace mediaplayer
