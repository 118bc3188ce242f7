#include "platform/mediaplayer/Playback.h"

#include "platform/mediaplayer/GStreamerRuntime.h"
#include "platform/mediaplayer/MediaLocation.h"
#include "platform/mediaplayer/OutputStage.h"
#include "platform/mediaplayer/TrackSource.h"

#include <gst/gst.h>

#include <algorithm>
#include <cmath>

namespace mediaplayer {
namespace {

// A media whose duration is still unknown after this much playing is reported as playing anyway
// (live streams never learn one).
constexpr std::int64_t kDurationGraceUs = 1'500'000;
// A start reads as opening for at least this long, even when the media fails at once: a host that
// polls three times a second sees it on at least one poll, as it does for a slow network source.
constexpr std::int64_t kOpeningShownUs = 400'000;

double toSeconds(gint64 nanoseconds) { return static_cast<double>(nanoseconds) / GST_SECOND; }

}  // namespace

Playback::Playback(AudioSinkFactory audioSink) : audio_(std::move(audioSink)) {}

Playback::~Playback() {
    if (pipeline_) {
        toNull();
        g_signal_handlers_disconnect_by_data(pipeline_, this);
        gst_object_unref(pipeline_);
    }
    if (bus_) gst_object_unref(bus_);
    if (positionQuery_) gst_query_unref(positionQuery_);
}

bool Playback::ensurePipeline() {
    if (pipeline_) return true;
    if (!ensureGStreamer()) return false;
    GstElement* pipeline = gst_pipeline_new("media");
    if (!pipeline) return false;
    pipeline_ = GST_ELEMENT(gst_object_ref_sink(pipeline));
    g_signal_connect(pipeline_, "deep-element-added", G_CALLBACK(onElementAdded), this);
    bus_ = gst_element_get_bus(pipeline_);
    positionQuery_ = gst_query_new_position(GST_FORMAT_TIME);
    return true;
}

void Playback::open(const std::string& uri) {
    uri_ = uri;
    duration_.reset();
    tags_.clear();
    audio_.retryPreferred();
    ++startsFromTop_;
    start();
}

void Playback::release() {
    toNull();
    target_ = Target::None;
    failed_ = false;
    uri_.clear();
    duration_.reset();
    tags_.clear();
    resetProgress();
}

void Playback::start() {
    const unsigned thisStart = ++starts_;
    target_ = Target::Play;
    failed_ = false;
    startedAtUs_ = g_get_monotonic_time();
    resetProgress();
    // Checked at every start: a retry must not wait either, and the file may have changed kind.
    if (uri_.empty() || !opensPromptly(uri_) || !ensurePipeline()) {
        idleOutput();
        failed_ = true;
        return;
    }
    if (!startOnRunningOutput()) startFromNothing();
    if (!track_) {
        idleOutput();
        failed_ = true;
        return;
    }
    const GstStateChangeReturn result = gst_element_set_state(pipeline_, GST_STATE_PLAYING);
    if (result == GST_STATE_CHANGE_NO_PREROLL) live_ = true;
    if (result == GST_STATE_CHANGE_FAILURE) {
        // The error on the bus says whether another audio sink may help; that retry is a newer start.
        drainBus();
        if (thisStart == starts_ && !failed_) {
            failed_ = true;
            toNull();
        }
    }
}

bool Playback::startOnRunningOutput() {
    if (!output_ || outputSilent_ != audio_.silent() || settledState() == GST_STATE_NULL) return false;
    output_->beginFlush();
    track_.reset();
    // What the previous media left on the bus (its end, its errors) is no news of this one.
    dropBusMessages();
    output_->endFlush();
    output_->expectNewTrack();
    track_ = std::make_unique<TrackSource>(GST_BIN(pipeline_), uri_, output_->entrance());
    if (!track_->valid())
        track_.reset();
    else
        track_->start();
    return true;
}

void Playback::startFromNothing() {
    toNull();
    output_ = std::make_unique<OutputStage>(GST_BIN(pipeline_), audio_.createSink());
    outputSilent_ = audio_.silent();
    if (!output_->valid()) {
        output_.reset();
        return;
    }
    output_->setVolume(volume_, mute_);
    track_ = std::make_unique<TrackSource>(GST_BIN(pipeline_), uri_, output_->entrance());
    if (!track_->valid()) track_.reset();
}

void Playback::toNull() {
    if (!pipeline_) return;
    gst_element_set_state(pipeline_, GST_STATE_NULL);
    track_.reset();
    output_.reset();
    // What the stopped run left on the bus must not be taken for news of the next one.
    dropBusMessages();
}

void Playback::idleOutput() {
    if (!pipeline_) return;
    if (output_) output_->beginFlush();
    track_.reset();
    if (output_) output_->endFlush();
    // Paused, the sound server's stream stays open but plays nothing.
    if (settledState() != GST_STATE_NULL) gst_element_set_state(pipeline_, GST_STATE_PAUSED);
}

void Playback::dropBusMessages() {
    while (GstMessage* stale = gst_bus_pop(bus_)) gst_message_unref(stale);
}

int Playback::settledState() const {
    GstState current = GST_STATE_VOID_PENDING;
    GstState pending = GST_STATE_VOID_PENDING;
    if (!pipeline_ || gst_element_get_state(pipeline_, &current, &pending, 0) == GST_STATE_CHANGE_FAILURE)
        return GST_STATE_NULL;
    if (current == GST_STATE_NULL) return GST_STATE_NULL;
    return pending == GST_STATE_VOID_PENDING ? current : GST_STATE_VOID_PENDING;
}

bool Playback::soundFlows() const { return output_ && output_->soundArrived(); }

bool Playback::prerolled() {
    if (!prerolled_) prerolled_ = soundFlows() && settledState() >= GST_STATE_PAUSED;
    return prerolled_;
}

void Playback::resetProgress() {
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
}

void Playback::play() {
    drainBus();
    if (target_ == Target::None) return;
    if (failed_ || target_ == Target::Stop) {
        ++startsFromTop_;
        start();
        return;
    }
    if (target_ == Target::Pause) {
        target_ = Target::Play;
        if (!buffering_) gst_element_set_state(pipeline_, GST_STATE_PLAYING);
    }
}

void Playback::pause() {
    drainBus();
    if (failed_ || target_ != Target::Play) return;
    target_ = Target::Pause;
    gst_element_set_state(pipeline_, GST_STATE_PAUSED);
}

void Playback::stop() {
    drainBus();
    if (target_ == Target::None) return;
    toNull();
    target_ = Target::Stop;
    failed_ = false;
    resetProgress();
}

PlayState Playback::state() {
    drainBus();
    if (target_ == Target::None) return Undefined;
    if (failed_) return g_get_monotonic_time() - startedAtUs_ < kOpeningShownUs ? Transitioning : Ready;
    switch (target_) {
        case Target::Stop: return Stopped;
        case Target::Pause: return prerolled() ? Paused : Transitioning;
        default: break;
    }
    followBuffering();
    if (buffering_) return Buffering;
    if (!started_ && prerolled() && settledState() == GST_STATE_PLAYING) {
        if (playingSinceUs_ == 0) playingSinceUs_ = g_get_monotonic_time();
        refreshDuration();
        started_ = duration_.has_value() || g_get_monotonic_time() - playingSinceUs_ >= kDurationGraceUs;
    }
    return started_ ? Playing : Transitioning;
}

double Playback::position() {
    drainBus();
    if (failed_ || (target_ != Target::Play && target_ != Target::Pause)) return 0;
    if (pendingSeek_) return *pendingSeek_;
    if (!soundFlows()) return lastPosition_;
    gint64 nanoseconds = -1;
    if (gst_element_query(pipeline_, positionQuery_)) {
        gst_query_parse_position(positionQuery_, nullptr, &nanoseconds);
        if (nanoseconds >= 0) lastPosition_ = toSeconds(nanoseconds);
    }
    // Decoders may run a little past the announced duration; the seek bar must not.
    return duration_ ? std::min(lastPosition_, *duration_) : lastPosition_;
}

void Playback::seek(double seconds) {
    drainBus();
    if (failed_ || !prerolled() || (target_ != Target::Play && target_ != Target::Pause) || !std::isfinite(seconds))
        return;
    seekTo(seconds);
}

void Playback::seekTo(double seconds) {
    // Callers may compute a little before the start or past the end; both mean the nearest end.
    double target = std::max(0.0, seconds);
    refreshDuration();
    if (duration_) target = std::min(target, *duration_);
    const auto flags = static_cast<GstSeekFlags>(GST_SEEK_FLAG_FLUSH | GST_SEEK_FLAG_ACCURATE);
    if (gst_element_seek_simple(pipeline_, GST_FORMAT_TIME, flags, static_cast<gint64>(target * GST_SECOND))) {
        // Until the pipeline has settled, position queries still answer the old place.
        pendingSeek_ = target;
        lastPosition_ = target;
    }
}

double Playback::duration() {
    drainBus();
    refreshDuration();
    return duration_.value_or(0);
}

int Playback::bufferingPercent() {
    drainBus();
    return bufferingPercent_;
}

const StreamTags& Playback::tags() {
    drainBus();
    return tags_;
}

void Playback::setVolume(double cubicVolume) {
    volume_ = std::clamp(cubicVolume, 0.0, 1.0);
    applyVolume();
}

void Playback::setMute(bool mute) {
    mute_ = mute;
    applyVolume();
}

void Playback::applyVolume() {
    if (output_) output_->setVolume(volume_, mute_);
}

// autoaudiosink makes its real sink only as it starts; the output stage finds it as it joins.
// This runs in the thread that changes the pipeline's state, which is the host's.
void Playback::onElementAdded(GstBin*, GstBin*, GstElement* element, void* self) {
    const Playback& playback = *static_cast<const Playback*>(self);
    if (playback.output_) playback.output_->onElementAdded(element);
}

void Playback::refreshDuration() {
    if (duration_ || failed_ || !pipeline_ || !soundFlows()) return;
    gint64 nanoseconds = -1;
    if (gst_element_query_duration(pipeline_, GST_FORMAT_TIME, &nanoseconds) && nanoseconds > 0)
        duration_ = toSeconds(nanoseconds);
}

void Playback::drainBus() {
    if (!bus_) return;
    while (GstMessage* message = gst_bus_pop(bus_)) {
        handle(message);
        gst_message_unref(message);
    }
}

void Playback::handle(GstMessage* message) {
    switch (GST_MESSAGE_TYPE(message)) {
        case GST_MESSAGE_STATE_CHANGED: onStateChanged(message); break;
        case GST_MESSAGE_ASYNC_DONE:
            prerolled_ = prerolled_ || soundFlows();
            pendingSeek_.reset();
            // Learnt here too, while the pipeline still runs: a short media may end before anyone asks.
            refreshDuration();
            if (resumeAt_ > 0) {
                seekTo(resumeAt_);
                resumeAt_ = 0;
            }
            break;
        case GST_MESSAGE_EOS: onEndOfStream(); break;
        case GST_MESSAGE_ERROR: onError(message); break;
        case GST_MESSAGE_TAG: {
            GstTagList* tags = nullptr;
            gst_message_parse_tag(message, &tags);
            tags_.add(tags);
            gst_tag_list_unref(tags);
            break;
        }
        case GST_MESSAGE_DURATION_CHANGED: duration_.reset(); break;
        case GST_MESSAGE_BUFFERING: {
            gint percent = 0;
            gst_message_parse_buffering(message, &percent);
            onBuffering(percent);
            break;
        }
        case GST_MESSAGE_LATENCY:
            // An element's latency changed (network streams): the pipeline has to learn it anew.
            gst_bin_recalculate_latency(GST_BIN(pipeline_));
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

void Playback::onStateChanged(GstMessage* message) {
    if (GST_MESSAGE_SRC(message) != GST_OBJECT_CAST(pipeline_)) return;
    GstState now = GST_STATE_NULL;
    gst_message_parse_state_changed(message, nullptr, &now, nullptr);
    if (now == GST_STATE_PLAYING && !started_) playingSinceUs_ = g_get_monotonic_time();
}

void Playback::onError(GstMessage* message) {
    if (!audio_.silent() && audio_.isSource(GST_MESSAGE_SRC(message))) {
        // No usable sound output (no sound server, device busy or gone): play on silently, from
        // where the sound stopped.
        gint64 nanoseconds = -1;
        const bool known = gst_element_query_position(pipeline_, GST_FORMAT_TIME, &nanoseconds) && nanoseconds > 0;
        const double reached = known ? toSeconds(nanoseconds) : lastPosition_;
        audio_.fallBackToSilence();
        start();
        resumeAt_ = reached;
        if (reached > 0) pendingSeek_ = reached;
        return;
    }
    failed_ = true;
    idleOutput();
}

void Playback::onBuffering(int percent) {
    bufferingPercent_ = percent;
    // A live stream cannot wait for its buffer; pausing it would only lose data.
    if (live_) return;
    buffering_ = percent < 100;
    buffers_ = true;
    followBuffering();
}

// Pauses while the buffer fills and resumes once it is full. Never while the pipeline is still changing state: a
// state asked for while it finishes an earlier change can be lost, leaving it between the two for good. The next
// look at the state asks again.
void Playback::followBuffering() {
    if (!buffers_ || target_ != Target::Play || live_ || !pipeline_) return;
    const int settled = settledState();
    const int wanted = buffering_ ? GST_STATE_PAUSED : GST_STATE_PLAYING;
    if (settled != GST_STATE_VOID_PENDING && settled != GST_STATE_NULL && settled != wanted)
        gst_element_set_state(pipeline_, static_cast<GstState>(wanted));
}

void Playback::onEndOfStream() {
    // Everything has been heard. The output pauses rather than closes: the next media, if the host
    // starts one, plays on the same stream.
    idleOutput();
    target_ = Target::Stop;
    resetProgress();
}

}  // namespace mediaplayer
