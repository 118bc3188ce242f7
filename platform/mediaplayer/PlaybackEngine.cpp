#include "platform/mediaplayer/PlaybackEngine.h"

#include "platform/mediaplayer/AbandonableThread.h"
#include "platform/mediaplayer/GStreamerRuntime.h"
#include "platform/mediaplayer/MediaLocation.h"
#include "platform/mediaplayer/OutputStage.h"
#include "platform/mediaplayer/TrackSource.h"

#include <gst/gst.h>

#include <algorithm>
#include <chrono>
#include <cmath>
#include <memory>

namespace mediaplayer {
namespace {

// A media whose duration is still unknown after this much playing is reported as playing anyway
// (live streams never learn one).
constexpr std::int64_t kDurationGraceUs = 1'500'000;
// A start reads as opening for at least this long, even when the media fails at once: a host that
// polls three times a second sees it on at least one poll, as it does for a slow network source.
constexpr std::int64_t kOpeningShownUs = 400'000;
// How long a stop waits for the pipeline to come down before leaving it to come down by itself. A healthy one
// takes a few milliseconds; one whose sound server is frozen takes as long as the server's client library waits.
constexpr std::chrono::milliseconds kTeardownWait(1500);
// A local media that should be playing but has not moved on for this long is held up by its output (a suspended
// sink, a frozen sound server), since a file never starves: it goes on on the silent output from where it was.
constexpr std::int64_t kOutputStallUs = 3'000'000;
constexpr double kStillSeconds = 0.02;
// A media that has sent no sound this long after its start (a local one) or after its buffer filled (a network one)
// will not play: some files make a demuxer wait for ever without an error or an end.
constexpr std::int64_t kSilentStartUs = 4'000'000;
// A position this close to the duration is the end: an end some decoders never announce.
constexpr double kEndMargin = 0.25;

double ToSeconds(gint64 nanoseconds) { return static_cast<double>(nanoseconds) / GST_SECOND; }

}  // namespace

PlaybackEngine::PlaybackEngine(AudioSinkFactory audioSink) : audio_(std::move(audioSink)) {}

PlaybackEngine::~PlaybackEngine() {
    ToNull();
    if (positionQuery_) gst_query_unref(positionQuery_);
}

bool PlaybackEngine::EnsurePipeline() {
    if (pipeline_) return true;
    if (!EnsureGStreamer()) return false;
    GstElement* pipeline = gst_pipeline_new("media");
    if (!pipeline) return false;
    pipeline_ = GST_ELEMENT(gst_object_ref_sink(pipeline));
    g_signal_connect(pipeline_, "deep-element-added", G_CALLBACK(OnElementAdded), this);
    bus_ = gst_element_get_bus(pipeline_);
    if (!positionQuery_) positionQuery_ = gst_query_new_position(GST_FORMAT_TIME);
    return true;
}

void PlaybackEngine::Open(const std::string& uri, const std::optional<MediaSpan>& span) {
    Disarm(true);
    handOvers_ = 0;
    uri_ = uri;
    span_ = span;
    duration_.reset();
    tags_.Clear();
    ++startsFromTop_;
    StartAsAsked();
}

void PlaybackEngine::Release() {
    ToNull();
    target_ = Target::None;
    failed_ = false;
    uri_.clear();
    span_.reset();
    handOvers_ = 0;
    duration_.reset();
    tags_.Clear();
    ResetProgress();
}

void PlaybackEngine::Start() {
    const unsigned thisStart = ++starts_;
    target_ = Target::Play;
    failed_ = false;
    startedAtUs_ = g_get_monotonic_time();
    ResetProgress();
    // Checked at every start: a retry must not wait either, and the file may have changed kind.
    if (uri_.empty() || !OpensPromptly(uri_) || !EnsurePipeline()) {
        IdleOutput();
        failed_ = true;
        return;
    }
    if (!StartOnRunningOutput()) StartFromNothing();
    if (!track_) {
        IdleOutput();
        failed_ = true;
        return;
    }
    // A span must not be heard from the file's beginning: it prerolls paused and plays once placed.
    heldForSpan_ = span_.has_value();
    const GstStateChangeReturn result =
        gst_element_set_state(pipeline_, heldForSpan_ ? GST_STATE_PAUSED : GST_STATE_PLAYING);
    if (result == GST_STATE_CHANGE_NO_PREROLL) live_ = true;
    if (result == GST_STATE_CHANGE_FAILURE) {
        // The error on the bus says whether another audio sink may help; that retry is a newer start.
        DrainBus();
        if (thisStart == starts_ && !failed_) {
            failed_ = true;
            ToNull();
        }
    }
}

void PlaybackEngine::StartAsAsked() {
    audio_.RetryPreferred();
    Start();
}

bool PlaybackEngine::StartOnRunningOutput() {
    // A silent output is kept only for a restart that falls back to it; a start the host asked for tries the
    // system's output again, which a sound server that has come back (or come up late) then serves.
    if (!output_ || OutputIsSilent() != audio_.Silent() || SettledState() == GST_STATE_NULL) return false;
    output_->BeginFlush();
    if (!RetireTrack()) return false;
    // What the previous media left on the bus (its end, its errors) is no news of this one.
    DropBusMessages();
    output_->EndFlush();
    output_->ExpectNewTrack();
    track_ = MakeTrack(uri_, false);
    if (!track_->Valid())
        track_.reset();
    else
        track_->Start();
    return true;
}

void PlaybackEngine::StartFromNothing() {
    ToNull();
    if (!EnsurePipeline()) return;
    output_ = std::make_unique<OutputStage>(GST_BIN(pipeline_), audio_.CreateSink());
    if (!output_->Valid()) {
        output_.reset();
        return;
    }
    output_->SetVolume(volume_, mute_);
    track_ = MakeTrack(uri_, false);
    if (!track_->Valid()) track_.reset();
}

void PlaybackEngine::ToNull() {
    if (!pipeline_) return;
    if (output_) outputSilentLast_ = OutputIsSilent();
    g_signal_handlers_disconnect_by_data(pipeline_, this);
    // The pipeline comes down on a thread of its own, left to it when the sink waits on a frozen sound server; the
    // next start builds another. What the stopped run leaves on its bus is no news of the next one.
    struct Retired {
        GstElement* pipeline = nullptr;
        std::unique_ptr<TrackSource> track;
        std::unique_ptr<TrackSource> next;
        std::unique_ptr<OutputStage> output;
        ~Retired() {
            gst_element_set_state(pipeline, GST_STATE_NULL);
            track.reset();
            next.reset();
            output.reset();
            gst_object_unref(pipeline);
        }
    };
    auto retired = std::make_shared<Retired>();
    retired->pipeline = pipeline_;
    retired->track = std::move(track_);
    {
        std::lock_guard lock(handOverLock_);
        retired->next = std::move(next_);
        handedOver_ = false;
    }
    retired->output = std::move(output_);
    pipeline_ = nullptr;
    gst_object_unref(bus_);
    bus_ = nullptr;
    AbandonableThread::RunWithin([retired = std::move(retired)]() mutable { retired.reset(); }, kTeardownWait);
}

std::unique_ptr<TrackSource> PlaybackEngine::MakeTrack(const std::string& uri, bool held) {
    auto track = std::make_unique<TrackSource>(GST_BIN(pipeline_), uri, output_->Entrance(), held);
    track->SetEndHandler([this] { return HandOver(); });
    return track;
}

void PlaybackEngine::Arm(const std::string& uri, const std::optional<MediaSpan>& span) {
    CompleteHandOver();  // one armed before that has just taken over is the media now, and stays
    Disarm();
    if (uri.empty() || target_ != Target::Play || failed_ || !track_ || !output_ || !OpensPromptly(uri)) return;
    auto next = MakeTrack(uri, true);
    if (!next->Valid()) return;
    next->Start();
    std::lock_guard lock(handOverLock_);
    next_ = std::move(next);
    nextUri_ = uri;
    nextSpan_ = span;
    nextPlaced_ = !span;
    nextTags_.Clear();
}

void PlaybackEngine::Disarm(bool evenIfTakenOver) {
    std::unique_ptr<TrackSource> next;
    {
        std::lock_guard lock(handOverLock_);
        // Too late, unless a new media replaces it: it plays already, and becomes the media at the next look.
        if (handedOver_ && !evenIfTakenOver) return;
        handedOver_ = false;
        next = std::move(next_);
    }
    if (next) RetireTrack(std::move(next));
}

void PlaybackEngine::PlaceNext() {
    // Only this thread makes or drops the armed track; the lock keeps the streaming thread's look at it consistent,
    // and is not held while the seek runs through the decoder.
    TrackSource* next = nullptr;
    {
        std::lock_guard lock(handOverLock_);
        if (nextPlaced_ || !next_ || !nextSpan_ || !next_->SoundReady()) return;
        next = next_.get();
    }
    const bool placed = next->SeekHeld(nextSpan_->start, nextSpan_->end);
    std::lock_guard lock(handOverLock_);
    nextPlaced_ = placed;
}

bool PlaybackEngine::HandOver() {
    std::lock_guard lock(handOverLock_);
    if (!next_ || handedOver_ || !output_ || !nextPlaced_ || (nextSpan_ && !next_->PlacedAt(nextSpan_->start)) ||
        !next_->TakeOver(output_->RunningEnd()))
        return false;
    handedOver_ = true;
    return true;
}

void PlaybackEngine::CompleteHandOver() {
    std::unique_ptr<TrackSource> ended;
    {
        std::lock_guard lock(handOverLock_);
        if (!handedOver_) return;
        handedOver_ = false;
        ended = std::move(track_);
        track_ = std::move(next_);
        uri_ = nextUri_;
        span_ = nextSpan_;
        tags_ = nextTags_;
    }
    duration_.reset();
    ++startsFromTop_;
    ++handOvers_;
    lastPosition_ = 0;
    pendingSeek_.reset();
    stillSinceUs_ = 0;
    startedAtUs_ = g_get_monotonic_time();
    RetireTrack(std::move(ended));
}

bool PlaybackEngine::RetireTrack() { return RetireTrack(std::move(track_)); }

bool PlaybackEngine::RetireTrack(std::unique_ptr<TrackSource> track) {
    if (!track) return true;
    // The decoder stops on a thread of its own: one whose streaming thread is held inside an element (a lock
    // never released, a read that never returns) would hold the engine, and every later request, for good.
    struct Retired {
        GstElement* pipeline = nullptr;
        std::unique_ptr<TrackSource> track;
        ~Retired() {
            track.reset();
            gst_object_unref(pipeline);
        }
    };
    auto retired = std::make_shared<Retired>();
    retired->pipeline = GST_ELEMENT(gst_object_ref(pipeline_));
    retired->track = std::move(track);
    if (AbandonableThread::RunWithin([retired = std::move(retired)]() mutable { retired.reset(); }, kTeardownWait))
        return true;
    // Left to itself, with its pipeline: the next start builds another.
    ToNull();
    return false;
}

void PlaybackEngine::IdleOutput() {
    if (!pipeline_) return;
    Disarm();
    CompleteHandOver();  // an armed track that took over just now ends with the rest
    if (output_) output_->BeginFlush();
    if (!RetireTrack()) return;
    if (output_) output_->EndFlush();
    // Paused, the sound server's stream stays open but plays nothing.
    if (SettledState() != GST_STATE_NULL) gst_element_set_state(pipeline_, GST_STATE_PAUSED);
}

void PlaybackEngine::DropBusMessages() {
    while (GstMessage* stale = bus_ ? gst_bus_pop(bus_) : nullptr) gst_message_unref(stale);
}

int PlaybackEngine::SettledState() const {
    GstState current = GST_STATE_VOID_PENDING;
    GstState pending = GST_STATE_VOID_PENDING;
    if (!pipeline_ || gst_element_get_state(pipeline_, &current, &pending, 0) == GST_STATE_CHANGE_FAILURE)
        return GST_STATE_NULL;
    if (current == GST_STATE_NULL) return GST_STATE_NULL;
    return pending == GST_STATE_VOID_PENDING ? current : GST_STATE_VOID_PENDING;
}

bool PlaybackEngine::SoundFlows() const { return output_ && output_->SoundArrived(); }

bool PlaybackEngine::Prerolled() {
    if (!prerolled_) prerolled_ = SoundFlows() && SettledState() >= GST_STATE_PAUSED;
    return prerolled_;
}

void PlaybackEngine::ResetProgress() {
    prerolled_ = false;
    started_ = false;
    live_ = false;
    buffering_ = false;
    buffers_ = false;
    bufferingPercent_ = 0;
    playingSinceUs_ = 0;
    pendingSeek_.reset();
    lastPosition_ = 0;
    resumeAt_ = 0;
    stillSinceUs_ = 0;
    bufferedAtUs_ = 0;
    heldForSpan_ = false;
    spanPlaced_ = false;
}

void PlaybackEngine::Play() {
    DrainBus();
    if (target_ == Target::None) return;
    if (failed_ || target_ == Target::Stop) {
        ++startsFromTop_;
        StartAsAsked();
        return;
    }
    if (target_ == Target::Pause) {
        target_ = Target::Play;
        if (!buffering_ && !heldForSpan_) gst_element_set_state(pipeline_, GST_STATE_PLAYING);
    }
}

void PlaybackEngine::Pause() {
    DrainBus();
    if (failed_ || target_ != Target::Play) return;
    target_ = Target::Pause;
    gst_element_set_state(pipeline_, GST_STATE_PAUSED);
}

void PlaybackEngine::Stop() {
    DrainBus();
    if (target_ == Target::None) return;
    ToNull();
    target_ = Target::Stop;
    failed_ = false;
    ResetProgress();
}

PlayState PlaybackEngine::State() {
    DrainBus();
    if (target_ == Target::None) return Undefined;
    if (failed_) return g_get_monotonic_time() - startedAtUs_ < kOpeningShownUs ? Transitioning : Ready;
    switch (target_) {
        case Target::Stop: return Stopped;
        case Target::Pause: return Prerolled() ? Paused : Transitioning;
        default: break;
    }
    FollowBuffering();
    if (buffering_) return Buffering;
    if (!started_ && Prerolled() && SettledState() == GST_STATE_PLAYING) {
        if (playingSinceUs_ == 0) playingSinceUs_ = g_get_monotonic_time();
        RefreshDuration();
        started_ = duration_.has_value() || g_get_monotonic_time() - playingSinceUs_ >= kDurationGraceUs;
    }
    return started_ ? Playing : Transitioning;
}

double PlaybackEngine::Position() {
    DrainBus();
    if (failed_ || (target_ != Target::Play && target_ != Target::Pause)) return 0;
    if (pendingSeek_) return *pendingSeek_;
    if (!SoundFlows()) return lastPosition_;
    gint64 nanoseconds = -1;
    if (gst_element_query(pipeline_, positionQuery_)) {
        gst_query_parse_position(positionQuery_, nullptr, &nanoseconds);
        // The pipeline counts in the file's time; a span's position counts from the span's start.
        if (nanoseconds >= 0) lastPosition_ = std::max(0.0, ToSeconds(nanoseconds) - (span_ ? span_->start : 0));
    }
    // Decoders may run a little past the announced duration; the seek bar must not.
    return duration_ ? std::min(lastPosition_, *duration_) : lastPosition_;
}

void PlaybackEngine::Seek(double seconds) {
    DrainBus();
    if (failed_ || !Prerolled() || (target_ != Target::Play && target_ != Target::Pause) || !std::isfinite(seconds))
        return;
    SeekTo(seconds);
}

void PlaybackEngine::SeekTo(double seconds) {
    // Callers may compute a little before the start or past the end; both mean the nearest end.
    double target = std::max(0.0, seconds);
    RefreshDuration();
    if (duration_) target = std::min(target, *duration_);
    const auto flags = static_cast<GstSeekFlags>(GST_SEEK_FLAG_FLUSH | GST_SEEK_FLAG_ACCURATE);
    // A span's end goes with every seek, so the stream still ends there.
    const double offset = span_ ? span_->start : 0;
    const bool stops = span_ && span_->end;
    if (gst_element_seek(pipeline_, 1.0, GST_FORMAT_TIME, flags, GST_SEEK_TYPE_SET,
                         static_cast<gint64>((offset + target) * GST_SECOND),
                         stops ? GST_SEEK_TYPE_SET : GST_SEEK_TYPE_NONE,
                         stops ? static_cast<gint64>(*span_->end * GST_SECOND) : GST_CLOCK_TIME_NONE)) {
        // Until the pipeline has settled, position queries still answer the old place.
        pendingSeek_ = target;
        lastPosition_ = target;
    }
}

double PlaybackEngine::Duration() {
    DrainBus();
    RefreshDuration();
    return duration_.value_or(0);
}

int PlaybackEngine::BufferingPercent() {
    DrainBus();
    return bufferingPercent_;
}

const StreamTags& PlaybackEngine::Tags() {
    DrainBus();
    return tags_;
}

void PlaybackEngine::SetVolume(double cubicVolume) {
    volume_ = std::clamp(cubicVolume, 0.0, 1.0);
    ApplyVolume();
}

void PlaybackEngine::SetMute(bool mute) {
    mute_ = mute;
    ApplyVolume();
}

void PlaybackEngine::ApplyVolume() {
    if (output_) output_->SetVolume(volume_, mute_);
}

// autoaudiosink makes its real sink only as it starts; the output stage finds it as it joins.
// This runs in the thread that changes the pipeline's state, which is the host's.
void PlaybackEngine::OnElementAdded(GstBin*, GstBin*, GstElement* element, void* self) {
    const PlaybackEngine& playback = *static_cast<const PlaybackEngine*>(self);
    if (playback.output_) playback.output_->OnElementAdded(element);
}

void PlaybackEngine::RefreshDuration() {
    if (duration_ || failed_ || !pipeline_ || !SoundFlows()) return;
    gint64 nanoseconds = -1;
    const bool known = gst_element_query_duration(pipeline_, GST_FORMAT_TIME, &nanoseconds) && nanoseconds > 0;
    if (!span_) {
        if (known) duration_ = ToSeconds(nanoseconds);
        return;
    }
    // A span ends at its end or the file's, whichever comes first.
    std::optional<double> end = span_->end;
    if (known) end = std::min(end.value_or(ToSeconds(nanoseconds)), ToSeconds(nanoseconds));
    if (end && *end > span_->start) duration_ = *end - span_->start;
}

void PlaybackEngine::DrainBus() {
    CompleteHandOver();
    PlaceNext();
    // A message may take the pipeline down and build another, with a bus of its own.
    while (GstMessage* message = bus_ ? gst_bus_pop(bus_) : nullptr) {
        Handle(message);
        gst_message_unref(message);
    }
}

void PlaybackEngine::Handle(GstMessage* message) {
    // The armed track speaks for itself only: its tags are kept for its turn, and its failure only disarms it.
    bool fromNext = false;
    {
        std::lock_guard lock(handOverLock_);
        fromNext = next_ && !handedOver_ && next_->Owns(GST_MESSAGE_SRC(message));
        if (fromNext && GST_MESSAGE_TYPE(message) == GST_MESSAGE_TAG) {
            GstTagList* tags = nullptr;
            gst_message_parse_tag(message, &tags);
            nextTags_.Add(tags);
            gst_tag_list_unref(tags);
        }
    }
    if (fromNext) {
        if (GST_MESSAGE_TYPE(message) == GST_MESSAGE_ERROR) Disarm();
        return;
    }
    switch (GST_MESSAGE_TYPE(message)) {
        case GST_MESSAGE_STATE_CHANGED: OnStateChanged(message); break;
        case GST_MESSAGE_ASYNC_DONE:
            prerolled_ = prerolled_ || SoundFlows();
            pendingSeek_.reset();
            // Learnt here too, while the pipeline still runs: a short media may end before anyone asks.
            RefreshDuration();
            if (heldForSpan_ && !spanPlaced_) {
                // Prerolled at the file's beginning: to the span's start (or where a restart resumes), still paused.
                spanPlaced_ = true;
                SeekTo(resumeAt_);
                resumeAt_ = 0;
            } else if (heldForSpan_) {
                heldForSpan_ = false;
                if (target_ == Target::Play && !buffering_) gst_element_set_state(pipeline_, GST_STATE_PLAYING);
            } else if (resumeAt_ > 0) {
                SeekTo(resumeAt_);
                resumeAt_ = 0;
            }
            break;
        case GST_MESSAGE_EOS: OnEndOfStream(); break;
        case GST_MESSAGE_ERROR: OnError(message); break;
        case GST_MESSAGE_TAG: {
            GstTagList* tags = nullptr;
            gst_message_parse_tag(message, &tags);
            tags_.Add(tags);
            gst_tag_list_unref(tags);
            break;
        }
        case GST_MESSAGE_DURATION_CHANGED: duration_.reset(); break;
        case GST_MESSAGE_BUFFERING: {
            gint percent = 0;
            gst_message_parse_buffering(message, &percent);
            OnBuffering(percent);
            break;
        }
        case GST_MESSAGE_LATENCY:
            // An element's latency changed (network streams): the pipeline has to learn it anew.
            if (pipeline_) gst_bin_recalculate_latency(GST_BIN(pipeline_));
            break;
        case GST_MESSAGE_CLOCK_LOST:
            // The audio sink that provided the clock went away; pausing and resuming selects a new one.
            if (target_ == Target::Play && !buffering_) {
                gst_element_set_state(pipeline_, GST_STATE_PAUSED);
                gst_element_set_state(pipeline_, GST_STATE_PLAYING);
            }
            break;
        default: break;
    }
}

void PlaybackEngine::OnStateChanged(GstMessage* message) {
    if (GST_MESSAGE_SRC(message) != GST_OBJECT_CAST(pipeline_)) return;
    GstState now = GST_STATE_NULL;
    gst_message_parse_state_changed(message, nullptr, &now, nullptr);
    if (now == GST_STATE_PLAYING && !started_) playingSinceUs_ = g_get_monotonic_time();
}

void PlaybackEngine::OnError(GstMessage* message) {
    if (!audio_.Silent() && audio_.IsSource(GST_MESSAGE_SRC(message))) {
        // No usable sound output (no sound server, device busy or gone, the stream killed).
        OnOutputLost();
        return;
    }
    FailStart();
}

// The media plays on silently, from where the sound stopped; the next start the host asks for tries the output
// again.
void PlaybackEngine::OnOutputLost() {
    gint64 nanoseconds = -1;
    const bool known = gst_element_query_position(pipeline_, GST_FORMAT_TIME, &nanoseconds) && nanoseconds > 0;
    const double reached = known ? std::max(0.0, ToSeconds(nanoseconds) - (span_ ? span_->start : 0)) : lastPosition_;
    audio_.FallBackToSilence();
    Start();
    resumeAt_ = reached;
    if (reached > 0) pendingSeek_ = reached;
}

void PlaybackEngine::FailStart() {
    failed_ = true;
    IdleOutput();
}

void PlaybackEngine::WatchProgress(double position) {
    const std::int64_t now = g_get_monotonic_time();
    if (target_ != Target::Play || failed_ || buffering_) {
        stillSinceUs_ = 0;
        return;
    }
    const bool local = g_str_has_prefix(uri_.c_str(), "file:");
    if (!SoundFlows()) {
        // Network sources are given their connection's own time, then a few seconds once their buffer is full.
        const std::int64_t since = local ? startedAtUs_ : bufferedAtUs_;
        if (since > 0 && now - since >= kSilentStartUs) FailStart();
        return;
    }
    if (live_ || !local || pendingSeek_ || heldForSpan_) {
        stillSinceUs_ = 0;
        return;
    }
    if (stillSinceUs_ == 0 || std::abs(position - stillAt_) > kStillSeconds) {
        stillAt_ = position;
        stillSinceUs_ = now;
        return;
    }
    if (now - stillSinceUs_ < kOutputStallUs) return;
    stillSinceUs_ = 0;
    if (duration_ && position >= *duration_ - kEndMargin)
        OnEndOfStream();
    else if (!audio_.Silent())
        OnOutputLost();  // a file never starves: its output holds it up
    else
        FailStart();  // even the silent output does not move it on
}

void PlaybackEngine::OnBuffering(int percent) {
    bufferingPercent_ = percent;
    // A live stream cannot wait for its buffer; pausing it would only lose data.
    if (live_) return;
    if (percent >= 100 && (buffering_ || bufferedAtUs_ == 0)) bufferedAtUs_ = g_get_monotonic_time();
    buffering_ = percent < 100;
    buffers_ = true;
    FollowBuffering();
}

// Pauses while the buffer fills and resumes once it is full. Never while the pipeline is still changing state: a
// state asked for while it finishes an earlier change can be lost, leaving it between the two for good. The next
// look at the state asks again.
void PlaybackEngine::FollowBuffering() {
    if (!buffers_ || target_ != Target::Play || live_ || !pipeline_) return;
    const int settled = SettledState();
    const int wanted = buffering_ ? GST_STATE_PAUSED : GST_STATE_PLAYING;
    if (settled != GST_STATE_VOID_PENDING && settled != GST_STATE_NULL && settled != wanted)
        gst_element_set_state(pipeline_, static_cast<GstState>(wanted));
}

void PlaybackEngine::OnEndOfStream() {
    // Everything has been heard. The output pauses rather than closes: the next media, if the host
    // starts one, plays on the same stream.
    IdleOutput();
    target_ = Target::Stop;
    ResetProgress();
}

bool PlaybackEngine::OutputIsSilent() const { return output_ ? audio_.StandsIn() : outputSilentLast_; }

EngineReport PlaybackEngine::Report() {
    EngineReport report;
    report.state = State();
    report.position = Position();
    WatchProgress(report.position);
    report.positionTakenUs = g_get_monotonic_time();
    report.clockRuns = report.state == Playing && !pendingSeek_ && SoundFlows() && SettledState() == GST_STATE_PLAYING;
    report.duration = Duration();
    report.bufferingPercent = bufferingPercent_;
    report.tags = tags_;
    report.prerolled = !failed_ && Prerolled();
    report.restartsOnPlay = failed_ || target_ == Target::Stop;
    report.outputSilent = OutputIsSilent();
    report.handOvers = handOvers_;
    return report;
}

}  // namespace mediaplayer
