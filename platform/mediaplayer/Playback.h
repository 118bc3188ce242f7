#pragma once

#include "platform/mediaplayer/AudioOutput.h"
#include "platform/mediaplayer/PlayState.h"
#include "platform/mediaplayer/StreamTags.h"

#include <atomic>
#include <cstdint>
#include <optional>
#include <string>

typedef struct _GstBin GstBin;
typedef struct _GstBus GstBus;
typedef struct _GstMessage GstMessage;
typedef struct _GstQuery GstQuery;

namespace mediaplayer {

// One media at a time on a GStreamer playbin, driven from the host's thread. It starts no threads
// and no timers of its own: what the pipeline reports waits on its bus and is taken in whenever
// the host asks for something, which the player does several times a second while it plays.
// Only the volume and mute are also read from GStreamer's threads, by the hook that sets up each
// new audio sink.
class Playback {
public:
    explicit Playback(AudioSinkFactory audioSink);
    ~Playback();
    Playback(const Playback&) = delete;
    Playback& operator=(const Playback&) = delete;

    // Opens the media and starts playing it. An empty URI counts as a media that cannot be opened,
    // and so does a local one that could hold up the calling thread (see opensPromptly).
    void open(const std::string& uri);
    // Stops and forgets the media.
    void release();

    void play();   // resumes; after a stop, the end or a failure, starts the media again
    void pause();
    void stop();

    PlayState state();
    double position();  // seconds; 0 when stopped
    void seek(double seconds);
    double duration();  // seconds; 0 while unknown
    int bufferingPercent();
    const StreamTags& tags();

    void setVolume(double cubicVolume);  // 0..1, perceptual scale
    void setMute(bool mute);

private:
    enum class Target { None, Stop, Pause, Play };

    bool ensurePipeline();
    void start();
    void toNull();
    void resetProgress();
    void drainBus();
    void handle(GstMessage* message);
    void onStateChanged(GstMessage* message);
    void onError(GstMessage* message);
    void onBuffering(int percent);
    void onEndOfStream();
    void seekTo(double seconds);
    void refreshDuration();
    void applyVolume();
    static void onElementAdded(GstBin* playbin, GstBin* bin, GstElement* element, void* self);

    AudioOutput audio_;
    GstElement* playbin_ = nullptr;
    GstBus* bus_ = nullptr;
    GstQuery* positionQuery_ = nullptr;  // reused: the lyrics read the position some 60 times a second

    std::string uri_;
    Target target_ = Target::None;
    bool failed_ = false;
    unsigned starts_ = 0;

    // Progress of the current start.
    int reached_ = 0;  // GstState the pipeline last reported
    bool prerolled_ = false;
    bool started_ = false;  // has been reported as playing
    bool live_ = false;
    bool buffering_ = false;
    int bufferingPercent_ = 0;
    std::int64_t playingSinceUs_ = 0;
    std::optional<double> pendingSeek_;
    double lastPosition_ = 0;
    double resumeAt_ = 0;  // where a restart on the silent output picks up once the media is open

    // Facts about the media, kept while it is stopped.
    std::optional<double> duration_;
    StreamTags tags_;

    std::atomic<double> volume_ = 1.0;
    std::atomic<bool> mute_ = false;
};

}  // namespace mediaplayer
