#include "platform/mediaplayer/Playback.h"

#include "platform/mediaplayer/GStreamerRuntime.h"
#include "platform/mediaplayer/PlaybackEngine.h"

#include <glib.h>

#include <algorithm>
#include <cmath>

namespace mediaplayer {
namespace {

// Between two reports the position moves on with the clock, but no further than this: a pipeline that has
// stalled (its sound server frozen) must not seem to play on.
constexpr std::int64_t kMostClockUs = 250'000;

using Kind = EngineThread::Kind;

}  // namespace

Playback::Playback(AudioSinkFactory audioSink) : audioSink_(std::move(audioSink)) {}

Playback::~Playback() = default;

std::uint64_t Playback::Post(EngineThread::Request request, Kind kind) {
    if (!engine_) engine_ = std::make_unique<EngineThread>(std::move(audioSink_));
    posted_ = engine_->Post(std::move(request), kind);
    return posted_;
}

EngineReport Playback::Latest() const { return engine_ ? engine_->Report() : EngineReport(); }

Playback::Outlook Playback::Expected(const EngineReport& report) const {
    if (Pending(report)) return expected_;
    return {report.state, report.prerolled, report.restartsOnPlay};
}

void Playback::Open(const std::string& uri, const std::optional<MediaSpan>& span) {
    // Brought up here, not in the engine's thread, so that GStreamer is there once a media has been given.
    EnsureGStreamer();
    ++startsFromTop_;
    tags_.Clear();
    expected_ = {Transitioning, false, false};
    rewound_ = mediaCleared_ = Post([uri, span](PlaybackEngine& engine) { engine.Open(uri, span); }, Kind::Resets);
}

void Playback::Arm(const std::string& uri, const std::optional<MediaSpan>& span) {
    expected_ = Expected(Latest());
    Post([uri, span](PlaybackEngine& engine) { engine.Arm(uri, span); });
}

unsigned Playback::HandOvers() const {
    const EngineReport report = Latest();
    return mediaCleared_ > report.handled ? 0 : report.handOvers;
}

void Playback::Release() {
    tags_.Clear();
    expected_ = {};
    rewound_ = mediaCleared_ = Post([](PlaybackEngine& engine) { engine.Release(); }, Kind::Kept);
}

void Playback::Play() {
    const Outlook now = Expected(Latest());
    if (now.state != Undefined && now.restartsOnPlay) {
        ++startsFromTop_;
        expected_ = {Transitioning, false, false};
        rewound_ = Post([](PlaybackEngine& engine) { engine.Play(); });
        return;
    }
    expected_ = now;
    if (now.state == Paused) expected_.state = Playing;
    Post([](PlaybackEngine& engine) { engine.Play(); });
}

void Playback::Pause() {
    const Outlook now = Expected(Latest());
    expected_ = now;
    if (now.state != Undefined && !now.restartsOnPlay) expected_.state = now.prerolled ? Paused : Transitioning;
    Post([](PlaybackEngine& engine) { engine.Pause(); });
}

void Playback::Stop() {
    const Outlook now = Expected(Latest());
    expected_ = now.state == Undefined ? now : Outlook{Stopped, false, true};
    rewound_ = Post([](PlaybackEngine& engine) { engine.Stop(); }, Kind::Kept);
}

PlayState Playback::State() { return Expected(Latest()).state; }

double Playback::Position() {
    const EngineReport report = Latest();
    if (rewound_ > report.handled && rewound_ > seeked_) return 0;
    if (seeked_ > report.handled) return seekTarget_;
    double position = report.position;
    if (report.clockRuns && !(Pending(report) && expected_.state != Playing))
        position += static_cast<double>(std::min(g_get_monotonic_time() - report.positionTakenUs, kMostClockUs)) / 1e6;
    return report.duration > 0 ? std::min(position, report.duration) : position;
}

void Playback::Seek(double seconds) {
    const EngineReport report = Latest();
    const Outlook now = Expected(report);
    if (!std::isfinite(seconds) || !now.prerolled || now.restartsOnPlay || now.state == Undefined) return;
    expected_ = now;
    // Callers may compute a little before the start or past the end; both mean the nearest end.
    seekTarget_ = std::max(0.0, seconds);
    if (report.duration > 0 && mediaCleared_ <= report.handled) seekTarget_ = std::min(seekTarget_, report.duration);
    seeked_ = Post([seconds](PlaybackEngine& engine) { engine.Seek(seconds); });
}

double Playback::Duration() {
    const EngineReport report = Latest();
    return mediaCleared_ > report.handled ? 0 : report.duration;
}

int Playback::BufferingPercent() {
    const EngineReport report = Latest();
    return rewound_ > report.handled ? 0 : report.bufferingPercent;
}

const StreamTags& Playback::Tags() {
    const EngineReport report = Latest();
    if (mediaCleared_ <= report.handled) tags_ = report.tags;
    return tags_;
}

void Playback::SetVolume(double cubicVolume) {
    const double volume = std::clamp(cubicVolume, 0.0, 1.0);
    expected_ = Expected(Latest());
    Post([volume](PlaybackEngine& engine) { engine.SetVolume(volume); }, Kind::Kept);
}

void Playback::SetMute(bool mute) {
    expected_ = Expected(Latest());
    Post([mute](PlaybackEngine& engine) { engine.SetMute(mute); }, Kind::Kept);
}

bool Playback::OutputIsSilent() { return Latest().outputSilent; }

}  // namespace mediaplayer
