#pragma once

#include "platform/mediaplayer/AudioOutput.h"
#include "platform/mediaplayer/EngineReport.h"

#include <cstdint>
#include <functional>
#include <memory>

namespace mediaplayer {

class AbandonableThread;
class PlaybackEngine;

// The thread that owns the playback engine and makes every call that may wait on GStreamer or the
// sound server. The host's thread only posts requests and reads the engine's last report, so it never
// waits on either: a frozen sound server holds up this thread, not the window.
class EngineThread {
public:
    // What a request does to the ones posted before it.
    enum class Kind {
        Ordinary,
        Resets,  // sets everything anew (a new media): ordinary requests and resets before it need not run
        Kept,    // runs even before a reset: its effect outlasts it (a stop or a close ends the stream; volume)
    };
    using Request = std::function<void(PlaybackEngine&)>;

    explicit EngineThread(AudioSinkFactory audioSink);
    // Asks the engine to end and waits for it a little; an engine held up by its output is left to end by itself.
    ~EngineThread();
    EngineThread(const EngineThread&) = delete;
    EngineThread& operator=(const EngineThread&) = delete;

    // Returns the request's number, which EngineReport::handled reaches once it has been carried out.
    std::uint64_t Post(Request request, Kind kind);
    EngineReport Report() const;

private:
    struct Shared;
    static void Run(const std::shared_ptr<Shared>& shared, AudioSinkFactory audioSink);

    std::shared_ptr<Shared> shared_;
    std::unique_ptr<AbandonableThread> thread_;
};

}  // namespace mediaplayer
