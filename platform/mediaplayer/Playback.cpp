#include "platform/mediaplayer/Playback.h"

#include "platform/mediaplayer/GStreamerRuntime.h"
#include "platform/mediaplayer/MediaLocation.h"
#include "platform/mediaplayer/SoundOnly.h"

#include <gst/audio/streamvolume.h>
#include <gst/gst.h>

#include <algorithm>
#include <cmath>

namespace mediaplayer {
namespace {

// A media whose duration is still unknown after this much playing is reported as playing anyway
// (live streams never learn one).
constexpr std::int64_t kDurationGraceUs = 1'500'000;

double toSeconds(gint64 nanoseconds)
{
    return static_cast<double>(nanoseconds) / GST_SECOND;
}

}  // namespace

Playback::Playback(AudioSinkFactory audioSink) : audio_(std::move(audioSink)) {}

Playback::~Playback()
{
    if (playbin_) {
        gst_element_set_state(playbin_, GST_STATE_NULL);
        g_signal_handlers_disconnect_by_data(playbin_, this);
        gst_object_unref(playbin_);
    }
    if (bus_)
        gst_object_unref(bus_);
    if (positionQuery_)
        gst_query_unref(positionQuery_);
}

bool Playback::ensurePipeline()
{
    if (playbin_)
        return true;
    if (!ensureGStreamer())
        return false;
    GstElement* playbin = gst_element_factory_make("playbin", nullptr);
    if (!playbin)
        return false;
    playbin_ = GST_ELEMENT(gst_object_ref_sink(playbin));
    decodeSoundOnly(playbin_);
    g_signal_connect(playbin_, "deep-element-added", G_CALLBACK(onElementAdded), this);
    bus_ = gst_element_get_bus(playbin_);
    positionQuery_ = gst_query_new_position(GST_FORMAT_TIME);
    applyVolume();
    return true;
}

void Playback::open(const std::string& uri)
{
    uri_ = uri;
    duration_.reset();
    tags_.clear();
    audio_.retryPreferred();
    start();
}

void Playback::release()
{
    toNull();
    target_ = Target::None;
    failed_ = false;
    uri_.clear();
    duration_.reset();
    tags_.clear();
    resetProgress();
}

void Playback::start()
{
    const unsigned thisStart = ++starts_;
    target_ = Target::Play;
    failed_ = false;
    toNull();
    resetProgress();
    // Checked at every start: a retry must not wait either, and the file may have changed kind.
    if (uri_.empty() || !opensPromptly(uri_) || !ensurePipeline()) {
        failed_ = true;
        return;
    }
    g_object_set(playbin_, "audio-sink", audio_.createSink(), "uri", uri_.c_str(), nullptr);
    const GstStateChangeReturn result = gst_element_set_state(playbin_, GST_STATE_PLAYING);
    if (result == GST_STATE_CHANGE_NO_PREROLL)
        live_ = true;
    if (result == GST_STATE_CHANGE_FAILURE) {
        // The error on the bus says whether another audio sink may help; that retry is a newer start.
        drainBus();
        if (thisStart == starts_ && !failed_) {
            failed_ = true;
            toNull();
        }
    }
}

void Playback::toNull()
{
    if (!playbin_)
        return;
    gst_element_set_state(playbin_, GST_STATE_NULL);
    // What the stopped run left on the bus must not be taken for news of the next one.
    while (GstMessage* stale = gst_bus_pop(bus_))
        gst_message_unref(stale);
    reached_ = GST_STATE_NULL;
}

void Playback::resetProgress()
{
    prerolled_ = false;
    started_ = false;
    live_ = false;
    buffering_ = false;
    bufferingPercent_ = 0;
    playingSinceUs_ = 0;
    pendingSeek_.reset();
    lastPosition_ = 0;
    resumeAt_ = 0;
}

void Playback::play()
{
    drainBus();
    if (target_ == Target::None)
        return;
    if (failed_ || target_ == Target::Stop) {
        start();
        return;
    }
    if (target_ == Target::Pause) {
        target_ = Target::Play;
        if (!buffering_)
            gst_element_set_state(playbin_, GST_STATE_PLAYING);
    }
}

void Playback::pause()
{
    drainBus();
    if (failed_ || target_ != Target::Play)
        return;
    target_ = Target::Pause;
    gst_element_set_state(playbin_, GST_STATE_PAUSED);
}

void Playback::stop()
{
    drainBus();
    if (target_ == Target::None)
        return;
    toNull();
    target_ = Target::Stop;
    failed_ = false;
    resetProgress();
}

PlayState Playback::state()
{
    drainBus();
    if (target_ == Target::None)
        return Undefined;
    if (failed_)
        return Ready;
    switch (target_) {
    case Target::Stop:
        return Stopped;
    case Target::Pause:
        return prerolled_ ? Paused : Transitioning;
    default:
        break;
    }
    if (buffering_)
        return Buffering;
    if (!started_ && reached_ == GST_STATE_PLAYING) {
        refreshDuration();
        started_ = duration_.has_value() || g_get_monotonic_time() - playingSinceUs_ >= kDurationGraceUs;
    }
    return started_ ? Playing : Transitioning;
}

double Playback::position()
{
    drainBus();
    if (failed_ || (target_ != Target::Play && target_ != Target::Pause))
        return 0;
    if (pendingSeek_)
        return *pendingSeek_;
    gint64 nanoseconds = -1;
    if (gst_element_query(playbin_, positionQuery_)) {
        gst_query_parse_position(positionQuery_, nullptr, &nanoseconds);
        if (nanoseconds >= 0)
            lastPosition_ = toSeconds(nanoseconds);
    }
    // Decoders may run a little past the announced duration; the seek bar must not.
    return duration_ ? std::min(lastPosition_, *duration_) : lastPosition_;
}

void Playback::seek(double seconds)
{
    drainBus();
    if (failed_ || !prerolled_ || (target_ != Target::Play && target_ != Target::Pause) || !std::isfinite(seconds))
        return;
    seekTo(seconds);
}

void Playback::seekTo(double seconds)
{
    // Callers may compute a little before the start or past the end; both mean the nearest end.
    double target = std::max(0.0, seconds);
    refreshDuration();
    if (duration_)
        target = std::min(target, *duration_);
    const auto flags = static_cast<GstSeekFlags>(GST_SEEK_FLAG_FLUSH | GST_SEEK_FLAG_ACCURATE);
    if (gst_element_seek_simple(playbin_, GST_FORMAT_TIME, flags, static_cast<gint64>(target * GST_SECOND))) {
        // Until the pipeline has settled, position queries still answer the old place.
        pendingSeek_ = target;
        lastPosition_ = target;
    }
}

double Playback::duration()
{
    drainBus();
    refreshDuration();
    return duration_.value_or(0);
}

int Playback::bufferingPercent()
{
    drainBus();
    return bufferingPercent_;
}

const StreamTags& Playback::tags()
{
    drainBus();
    return tags_;
}

void Playback::setVolume(double cubicVolume)
{
    volume_ = std::clamp(cubicVolume, 0.0, 1.0);
    applyVolume();
}

void Playback::setMute(bool mute)
{
    mute_ = mute;
    applyVolume();
}

void Playback::applyVolume()
{
    if (!playbin_)
        return;
    gst_stream_volume_set_volume(GST_STREAM_VOLUME(playbin_), GST_STREAM_VOLUME_FORMAT_CUBIC, volume_);
    gst_stream_volume_set_mute(GST_STREAM_VOLUME(playbin_), mute_);
}

// Each start makes a new audio sink, and with it a new stream on the sound server. playbin gives a
// new sink its volume only when the volume changed since the last sink, and a sound server without
// stream-restore starts any other stream at full volume; so every sink, however deep autoaudiosink
// makes it, takes the player's volume and mute as it joins the pipeline, before its stream opens.
// This runs in the thread that builds the pipeline, under playsink's lock (the part of playbin that
// holds the sinks), which a setVolume from the host takes too before it reaches the sink.
void Playback::onElementAdded(GstBin*, GstBin*, GstElement* element, void* self)
{
    if (!GST_OBJECT_FLAG_IS_SET(element, GST_ELEMENT_FLAG_SINK) || !GST_IS_STREAM_VOLUME(element))
        return;
    const Playback& playback = *static_cast<const Playback*>(self);
    gst_stream_volume_set_volume(GST_STREAM_VOLUME(element), GST_STREAM_VOLUME_FORMAT_CUBIC, playback.volume_);
    gst_stream_volume_set_mute(GST_STREAM_VOLUME(element), playback.mute_);
}

void Playback::refreshDuration()
{
    if (duration_ || failed_ || !playbin_ || reached_ < GST_STATE_PAUSED)
        return;
    gint64 nanoseconds = -1;
    if (gst_element_query_duration(playbin_, GST_FORMAT_TIME, &nanoseconds) && nanoseconds > 0)
        duration_ = toSeconds(nanoseconds);
}

void Playback::drainBus()
{
    if (!bus_)
        return;
    while (GstMessage* message = gst_bus_pop(bus_)) {
        handle(message);
        gst_message_unref(message);
    }
}

void Playback::handle(GstMessage* message)
{
    switch (GST_MESSAGE_TYPE(message)) {
    case GST_MESSAGE_STATE_CHANGED:
        onStateChanged(message);
        break;
    case GST_MESSAGE_ASYNC_DONE:
        pendingSeek_.reset();
        // Learnt here too, while the pipeline still runs: a short media may end before anyone asks.
        refreshDuration();
        if (resumeAt_ > 0) {
            seekTo(resumeAt_);
            resumeAt_ = 0;
        }
        break;
    case GST_MESSAGE_EOS:
        onEndOfStream();
        break;
    case GST_MESSAGE_ERROR:
        onError(message);
        break;
    case GST_MESSAGE_TAG: {
        GstTagList* tags = nullptr;
        gst_message_parse_tag(message, &tags);
        tags_.add(tags);
        gst_tag_list_unref(tags);
        break;
    }
    case GST_MESSAGE_DURATION_CHANGED:
        duration_.reset();
        break;
    case GST_MESSAGE_BUFFERING: {
        gint percent = 0;
        gst_message_parse_buffering(message, &percent);
        onBuffering(percent);
        break;
    }
    case GST_MESSAGE_LATENCY:
        // An element's latency changed (network streams): the pipeline has to learn it anew.
        gst_bin_recalculate_latency(GST_BIN(playbin_));
        break;
    case GST_MESSAGE_CLOCK_LOST:
        // The audio sink that provided the clock went away; pausing and resuming selects a new one.
        if (target_ == Target::Play && !buffering_) {
            gst_element_set_state(playbin_, GST_STATE_PAUSED);
            gst_element_set_state(playbin_, GST_STATE_PLAYING);
        }
        break;
    default:
        break;
    }
}

void Playback::onStateChanged(GstMessage* message)
{
    if (GST_MESSAGE_SRC(message) != GST_OBJECT_CAST(playbin_))
        return;
    GstState now = GST_STATE_NULL;
    gst_message_parse_state_changed(message, nullptr, &now, nullptr);
    reached_ = now;
    if (now >= GST_STATE_PAUSED)
        prerolled_ = true;
    if (now == GST_STATE_PLAYING)
        playingSinceUs_ = g_get_monotonic_time();
}

void Playback::onError(GstMessage* message)
{
    if (!audio_.silent() && audio_.isSource(GST_MESSAGE_SRC(message))) {
        // No usable sound output (no sound server, device busy or gone): play on silently, from
        // where the sound stopped.
        gint64 nanoseconds = -1;
        const bool known = gst_element_query_position(playbin_, GST_FORMAT_TIME, &nanoseconds) && nanoseconds > 0;
        const double reached = known ? toSeconds(nanoseconds) : lastPosition_;
        audio_.fallBackToSilence();
        start();
        resumeAt_ = reached;
        if (reached > 0)
            pendingSeek_ = reached;
        return;
    }
    failed_ = true;
    toNull();
}

void Playback::onBuffering(int percent)
{
    bufferingPercent_ = percent;
    // A live stream cannot wait for its buffer; pausing it would only lose data.
    if (live_)
        return;
    const bool filling = percent < 100;
    if (filling == buffering_)
        return;
    buffering_ = filling;
    if (target_ == Target::Play)
        gst_element_set_state(playbin_, filling ? GST_STATE_PAUSED : GST_STATE_PLAYING);
}

void Playback::onEndOfStream()
{
    toNull();
    target_ = Target::Stop;
    resetProgress();
}

}  // namespace mediaplayer
