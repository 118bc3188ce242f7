#pragma once

#include "platform/mediaplayer/AudioOutput.h"
#include "platform/mediaplayer/EngineReport.h"
#include "platform/mediaplayer/MediaLocation.h"
#include "platform/mediaplayer/PlayState.h"
#include "platform/mediaplayer/StreamTags.h"

#include <cstdint>
#include <memory>
#include <mutex>
#include <optional>
#include <string>

typedef struct _GstBin GstBin;
typedef struct _GstBus GstBus;
typedef struct _GstMessage GstMessage;
typedef struct _GstQuery GstQuery;

namespace mediaplayer {

class OutputStage;
class TrackSource;

// One media at a time on a GStreamer pipeline, driven from one thread: the engine's own (see
// EngineThread), never the window's, because a sound server that stops answering holds up state
// changes, flushes and the sink's start for as long as its client library waits for it. What the
// pipeline reports waits on its bus and is taken in whenever the engine is asked for something.
//
// The pipeline is kept while playback goes on. Each media gets a decoder of its own (TrackSource),
// linked to an output stage (OutputStage) that stays from one media to the next: at the end of a
// media the output only pauses, and the next media, started by the host after it has seen the end,
// flows into the same sink and the same sound-server stream. A media armed ahead of time (Arm) does better: its
// decoder waits at its first buffer, and at the end of the playing one takes the output over on that stream's own
// thread, its time moved on to where the output stands, so not a sample of silence lies between the two; the engine
// then makes it the media (HandOvers counts these). A stop, a close or a change of audio
// output takes the pipeline down (on a thread of its own, abandoned if it will not come down), as
// the first start builds one up.
//
// The output's faults are never the media's: a sink that fails or is lost while a media plays is
// replaced by a silent one that keeps real time, from the place reached; every start the host asks
// for (a new media, play after a stop or a failure) tries the system's output again.
//
// A media that shows no sign of playing is a failure, not a wait: a local one that has sent no sound within a few
// seconds of its start (or a network one within a few seconds of its buffer filling), or one whose position has
// stopped moving on the silent output, fails as if it could not be opened, so the host's retries and skip take
// over. One that stops moving at its very end has ended, whether or not its end was announced.
//
// A span of a file plays as a media of its own: the pipeline prerolls paused, is sent to the span's start with
// its end as the stop (the demuxers end the stream there, to the sample), and only then plays; the duration and
// the position are the span's, and a seek stays inside it.
class PlaybackEngine {
public:
    explicit PlaybackEngine(AudioSinkFactory audioSink);
    ~PlaybackEngine();
    PlaybackEngine(const PlaybackEngine&) = delete;
    PlaybackEngine& operator=(const PlaybackEngine&) = delete;

    // Opens the media and starts playing it. An empty URI counts as a media that cannot be opened,
    // and so does a local one that could hold up the calling thread (see opensPromptly).
    void Open(const std::string& uri, const std::optional<MediaSpan>& span = std::nullopt);
    // Stops and forgets the media.
    void Release();
    // Prepares `uri` to follow the playing media with no gap: at its end the next plays on through the same output
    // as a media of its own (HandOvers() counts these); a span is placed at its start while it waits. A later call
    // replaces it; an empty URI, a local location that cannot be opened, or no media playing arm nothing. Open, stop
    // and the end disarm.
    void Arm(const std::string& uri, const std::optional<MediaSpan>& span = std::nullopt);
    unsigned HandOvers() const { return handOvers_; }  // since the last open

    void Play();  // resumes; after a stop, the end or a failure, starts the media again
    void Pause();
    void Stop();

    PlayState State();
    // Starts of the media from its beginning (open, and play after a stop, the end or a failure).
    unsigned StartsFromTop() const { return startsFromTop_; }
    double Position();  // seconds; 0 when stopped
    void Seek(double seconds);
    double Duration();  // seconds; 0 while unknown
    int BufferingPercent();
    const StreamTags& Tags();

    void SetVolume(double cubicVolume);  // 0..1, perceptual scale
    void SetMute(bool mute);

    // Everything the host may read, taken at once.
    EngineReport Report();
    // True while the media plays on a silent stand-in for the sound output (none could be opened).
    bool OutputIsSilent() const;

private:
    enum class Target { None, Stop, Pause, Play };

    bool EnsurePipeline();
    void Start();
    // Starts the media on the running output stage (see OutputStage); false when there is none
    // to keep, or it is not the output the next start has to use.
    bool StartOnRunningOutput();
    void StartFromNothing();
    // A start the host asked for: the system's output is tried again first.
    void StartAsAsked();
    void ToNull();
    // Takes the decoder out and pauses the output, which keeps its stream for the next media.
    void IdleOutput();
    // Takes the decoder out of the pipeline; false when it would not stop in time, and the pipeline was left to it.
    bool RetireTrack();
    bool RetireTrack(std::unique_ptr<TrackSource> track);
    // Sends an armed span to its start once its stream is there.
    void PlaceNext();
    // Drops the armed media; `evenIfTakenOver` also when it has just taken the output over, for a new media.
    void Disarm(bool evenIfTakenOver = false);
    // On the playing track's streaming thread, at its end: the armed track takes the output over.
    bool HandOver();
    // On the engine's thread, once the armed track has taken over: it becomes the media.
    void CompleteHandOver();
    std::unique_ptr<TrackSource> MakeTrack(const std::string& uri, bool held);
    void DropBusMessages();
    void ResetProgress();
    int SettledState() const;  // the GstState the pipeline is in; GST_STATE_VOID_PENDING while it changes
    bool SoundFlows() const;
    // Whether the current start has had its sound reach a settled pipeline at least once.
    bool Prerolled();
    void DrainBus();
    void Handle(GstMessage* message);
    void OnStateChanged(GstMessage* message);
    void OnError(GstMessage* message);
    void OnOutputLost();
    // Takes an output that keeps a local media from moving on for good for a lost one, a media that shows no sign
    // of playing for a failed one, and one held at its end for one that has ended.
    void WatchProgress(double position);
    void FailStart();
    void OnBuffering(int percent);
    void FollowBuffering();
    void OnEndOfStream();
    void SeekTo(double seconds);
    void RefreshDuration();
    void ApplyVolume();
    static void OnElementAdded(GstBin* playbin, GstBin* bin, GstElement* element, void* self);

    AudioOutput audio_;
    GstElement* pipeline_ = nullptr;
    std::unique_ptr<OutputStage> output_;
    bool outputSilentLast_ = false;  // whether the last output stage, now gone, was silent
    std::unique_ptr<TrackSource> track_;
    // The armed track, and whether it has taken over; guarded by handOverLock_ against the streaming thread.
    std::mutex handOverLock_;
    std::unique_ptr<TrackSource> next_;
    std::string nextUri_;
    std::optional<MediaSpan> nextSpan_;
    bool nextPlaced_ = false;  // a span: sent to its start once its stream was there
    bool handedOver_ = false;
    StreamTags nextTags_;
    unsigned handOvers_ = 0;
    GstBus* bus_ = nullptr;
    GstQuery* positionQuery_ = nullptr;  // reused: the lyrics read the position some 60 times a second

    std::string uri_;
    std::optional<MediaSpan> span_;
    Target target_ = Target::None;
    bool failed_ = false;
    unsigned starts_ = 0;
    unsigned startsFromTop_ = 0;

    // Progress of the current start.
    std::int64_t startedAtUs_ = 0;
    bool prerolled_ = false;
    bool started_ = false;  // has been reported as playing
    bool live_ = false;
    bool buffering_ = false;
    bool buffers_ = false;  // the source has reported its buffer: playback follows it
    int bufferingPercent_ = 0;
    std::int64_t playingSinceUs_ = 0;
    std::optional<double> pendingSeek_;
    double lastPosition_ = 0;
    double resumeAt_ = 0;  // where a restart on the silent output picks up once the media is open
    double stillAt_ = 0;   // the position the media has not left since stillSinceUs_
    std::int64_t stillSinceUs_ = 0;
    std::int64_t bufferedAtUs_ = 0;  // when the network source's buffer last filled; 0 before
    bool heldForSpan_ = false;       // prerolls paused until placed at the span's start
    bool spanPlaced_ = false;

    // Facts about the media, kept while it is stopped.
    std::optional<double> duration_;
    StreamTags tags_;

    double volume_ = 1.0;
    bool mute_ = false;
};

}  // namespace mediaplayer
