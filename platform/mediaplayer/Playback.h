#pragma once

#include "platform/mediaplayer/AudioOutput.h"
#include "platform/mediaplayer/EngineReport.h"
#include "platform/mediaplayer/EngineThread.h"
#include "platform/mediaplayer/MediaLocation.h"
#include "platform/mediaplayer/PlayState.h"
#include "platform/mediaplayer/StreamTags.h"

#include <cstdint>
#include <memory>
#include <optional>
#include <string>

namespace mediaplayer {

// One media at a time, as the host's thread sees it. Every call returns at once: requests go to the
// playback engine's thread (EngineThread), and what is read comes from the engine's last report, so a
// sound server that has frozen, or an output that takes its time, never holds up the host. Until the
// engine has carried out a request, the reads answer what the request will make of them (a media being
// opened reads as opening, a stop as stopped at 0, a seek as its target), and the position moves on with
// the clock between two reports.
class Playback {
public:
    explicit Playback(AudioSinkFactory audioSink);
    ~Playback();
    Playback(const Playback&) = delete;
    Playback& operator=(const Playback&) = delete;

    // Opens the media and starts playing it. An empty URI counts as a media that cannot be opened,
    // and so does a local one that could hold up a thread (see OpensPromptly). With a span, only that part plays.
    void Open(const std::string& uri, const std::optional<MediaSpan>& span = std::nullopt);
    // Stops and forgets the media.
    void Release();
    // The media to follow this one with no gap (see PlaybackEngine::Arm); empty disarms.
    void Arm(const std::string& uri, const std::optional<MediaSpan>& span = std::nullopt);
    // How many armed media have taken over since the last Open; 0 while that open is still on its way.
    unsigned HandOvers() const;

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

    // True while the media plays on a silent stand-in for the sound output, none having opened; every start
    // tries the system's output again.
    bool OutputIsSilent();

private:
    // The part of the engine's state that the next request depends on.
    struct Outlook {
        PlayState state = Undefined;
        bool prerolled = false;
        bool restartsOnPlay = false;
    };

    EngineReport Latest() const;
    Outlook Expected(const EngineReport& report) const;
    bool Pending(const EngineReport& report) const { return report.handled < posted_; }
    std::uint64_t Post(EngineThread::Request request, EngineThread::Kind kind = EngineThread::Kind::Ordinary);

    AudioSinkFactory audioSink_;  // until the engine's thread starts, with the first request
    std::unique_ptr<EngineThread> engine_;

    std::uint64_t posted_ = 0;        // number of the last request posted
    Outlook expected_;                // what the engine will be once it has carried out every request posted
    std::uint64_t rewound_ = 0;       // the last request that puts the position back to 0
    std::uint64_t mediaCleared_ = 0;  // the last request that forgets the media's facts
    std::uint64_t seeked_ = 0;        // the last seek
    double seekTarget_ = 0;
    unsigned startsFromTop_ = 0;
    StreamTags tags_;
};

}  // namespace mediaplayer
