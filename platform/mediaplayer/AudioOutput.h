#pragma once

#include <functional>

typedef struct _GstElement GstElement;
typedef struct _GstObject GstObject;

namespace mediaplayer {

// Makes the audio sink of a media; a null result counts as a sink that cannot play.
using AudioSinkFactory = std::function<GstElement*()>;

// Chooses where the sound goes: the preferred sink (the system's audio output by default) or,
// once that has failed, a silent sink that still runs in real time, so that position, duration
// and end of track behave as if the sound were heard. Each new media tries the preferred sink
// again, so a sound server that comes up later is used.
class AudioOutput {
public:
    explicit AudioOutput(AudioSinkFactory preferred = {});

    // A fresh sink for the next start of a media, introduced to the sound server (see
    // introduceToSoundServer); the pipeline takes ownership.
    GstElement* CreateSink();
    // True when `source` (an element that reported an error) is or lies inside the sink made last.
    bool IsSource(GstObject* source) const;

    // True when the sink made last plays nowhere: the silent sink, or the stand-in the system output puts in
    // place of a device it could not open (autoaudiosink then only warns). Known once the sink has started.
    bool StandsIn() const;

    void FallBackToSilence() { silent_ = true; }
    void RetryPreferred() { silent_ = false; }
    bool Silent() const { return silent_; }

private:
    AudioSinkFactory preferred_;
    bool silent_ = false;
    GstElement* current_ = nullptr;  // borrowed: owned by the pipeline it was given to
    bool currentSilent_ = false;     // current_ is the silent sink
};

}  // namespace mediaplayer
