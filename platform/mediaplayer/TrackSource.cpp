#include "platform/mediaplayer/TrackSource.h"

#include "platform/mediaplayer/SoundOnly.h"

#include <gst/audio/audio.h>
#include <gst/gst.h>

#include <algorithm>
#include <cmath>

namespace mediaplayer {
namespace {

bool CarriesSound(GstPad* pad) {
    GstCaps* caps = gst_pad_get_current_caps(pad);
    if (!caps) caps = gst_pad_query_caps(pad, nullptr);
    bool sound = false;
    if (caps && gst_caps_get_size(caps) > 0)
        sound = g_str_has_prefix(gst_structure_get_name(gst_caps_get_structure(caps, 0)), "audio/x-raw");
    if (caps) gst_caps_unref(caps);
    return sound;
}

}  // namespace

TrackSource::TrackSource(GstBin* pipeline, const std::string& uri, GstPad* entrance, bool held)
    : pipeline_(pipeline), entrance_(entrance), held_(held) {
    GstElement* decoder = gst_element_factory_make("uridecodebin", nullptr);
    if (!decoder) return;
    // Network sources buffer, and say how far, so playback can wait for them. A local file needs no buffer: asked
    // to, the decoder's queues would report levels all the time, and each report would pause or resume playback.
    g_object_set(decoder, "uri", uri.c_str(), "use-buffering", !g_str_has_prefix(uri.c_str(), "file:"), nullptr);
    if (gchar* path = g_filename_from_uri(uri.c_str(), nullptr, nullptr)) {
        trim_ = ReadEncoderTrim(path);
        g_free(path);
    }
    DecodeSoundOnly(decoder);
    g_signal_connect(decoder, "pad-added", G_CALLBACK(OnPadAdded), this);
    g_signal_connect(decoder, "no-more-pads", G_CALLBACK(OnNoMorePads), this);
    gst_bin_add(pipeline_, decoder);
    decoder_ = decoder;
}

TrackSource::~TrackSource() {
    if (!decoder_) return;
    // Its streaming threads end here; no pad is added after this.
    gst_element_set_state(decoder_, GST_STATE_NULL);
    g_signal_handlers_disconnect_by_data(decoder_, this);
    gst_bin_remove(pipeline_, decoder_);
    for (GstElement* dropper : droppers_) {
        gst_element_set_state(dropper, GST_STATE_NULL);
        gst_bin_remove(pipeline_, dropper);
    }
    if (soundPad_) gst_object_unref(soundPad_);
}

void TrackSource::SetEndHandler(EndHandler handler) {
    std::lock_guard lock(lock_);
    onEnd_ = std::move(handler);
}

bool TrackSource::SoundReady() {
    std::lock_guard lock(lock_);
    return held_ && soundPad_;
}

bool TrackSource::TakeOver(std::int64_t offset) {
    std::lock_guard lock(lock_);
    if (!held_ || !soundPad_) return false;
    // The track before it lets go of the output (its stream is at its end, on this very thread).
    if (GstPad* previous = gst_pad_get_peer(entrance_)) {
        gst_pad_unlink(previous, entrance_);
        gst_object_unref(previous);
    }
    gst_pad_set_offset(soundPad_, offset);
    if (gst_pad_link(soundPad_, entrance_) != GST_PAD_LINK_OK) return false;
    held_ = false;
    if (holdProbe_) gst_pad_remove_probe(soundPad_, holdProbe_);
    holdProbe_ = 0;
    return true;
}

bool TrackSource::SeekHeld(double start, std::optional<double> end) {
    GstPad* pad = nullptr;
    {
        std::lock_guard lock(lock_);
        if (!held_ || !soundPad_) return false;
        pad = GST_PAD(gst_object_ref(soundPad_));
    }
    const auto flags = static_cast<GstSeekFlags>(GST_SEEK_FLAG_FLUSH | GST_SEEK_FLAG_ACCURATE);
    const bool sent = gst_pad_send_event(
        pad, gst_event_new_seek(1.0, GST_FORMAT_TIME, flags, GST_SEEK_TYPE_SET, static_cast<gint64>(start * GST_SECOND),
                                end ? GST_SEEK_TYPE_SET : GST_SEEK_TYPE_NONE,
                                end ? static_cast<gint64>(*end * GST_SECOND) : GST_CLOCK_TIME_NONE));
    gst_object_unref(pad);
    return sent;
}

bool TrackSource::PlacedAt(double start) { return std::abs(heldSegmentStart_.load() - start) < 0.001; }

// Holds the sound stream at its first buffer; the events before it pass (kept on the pad until it is linked), and
// the segment they carry says where the stream stands.
unsigned long TrackSource::HoldSound(GstPad*, void* data, void* self) {
    auto* info = static_cast<GstPadProbeInfo*>(data);
    if (!(GST_PAD_PROBE_INFO_TYPE(info) & GST_PAD_PROBE_TYPE_EVENT_DOWNSTREAM)) return GST_PAD_PROBE_OK;
    GstEvent* event = GST_PAD_PROBE_INFO_EVENT(info);
    if (GST_EVENT_TYPE(event) == GST_EVENT_SEGMENT) {
        const GstSegment* segment = nullptr;
        gst_event_parse_segment(event, &segment);
        if (segment->format == GST_FORMAT_TIME)
            static_cast<TrackSource*>(self)->heldSegmentStart_ = static_cast<double>(segment->start) / GST_SECOND;
    }
    return GST_PAD_PROBE_PASS;
}

unsigned long TrackSource::TrimEncoderSamples(GstPad* pad, void* data, void* self) {
    auto& track = *static_cast<TrackSource*>(self);
    auto* info = static_cast<GstPadProbeInfo*>(data);
    if (track.rate_ == 0) {
        GstCaps* caps = gst_pad_get_current_caps(pad);
        GstAudioInfo audio;
        if (caps && gst_audio_info_from_caps(&audio, caps)) {
            track.rate_ = GST_AUDIO_INFO_RATE(&audio);
            track.frameBytes_ = GST_AUDIO_INFO_BPF(&audio);
        }
        if (caps) gst_caps_unref(caps);
    }
    GstBuffer* buffer = GST_PAD_PROBE_INFO_BUFFER(info);
    if (track.rate_ <= 0 || track.frameBytes_ <= 0 || !GST_BUFFER_PTS_IS_VALID(buffer)) return GST_PAD_PROBE_OK;
    const auto first =
        static_cast<std::int64_t>(gst_util_uint64_scale_round(GST_BUFFER_PTS(buffer), track.rate_, GST_SECOND));
    const auto frames = static_cast<std::int64_t>(gst_buffer_get_size(buffer) / track.frameBytes_);
    const std::int64_t from = std::max(track.trim_->skip, first);
    const std::int64_t to = std::min(track.trim_->skip + track.trim_->samples, first + frames);
    if (to <= from) return GST_PAD_PROBE_DROP;
    if (from != first || to != first + frames)
        buffer = gst_audio_buffer_truncate(buffer, track.frameBytes_, static_cast<gsize>(from - first),
                                           static_cast<gsize>(to - from));
    else
        buffer = gst_buffer_make_writable(buffer);
    GST_BUFFER_PTS(buffer) =
        gst_util_uint64_scale_round(static_cast<guint64>(from - track.trim_->skip), GST_SECOND, track.rate_);
    GST_BUFFER_DURATION(buffer) = gst_util_uint64_scale_round(static_cast<guint64>(to - from), GST_SECOND, track.rate_);
    GST_PAD_PROBE_INFO_DATA(info) = buffer;
    return GST_PAD_PROBE_OK;
}

unsigned long TrackSource::OnSoundEvent(GstPad*, void* info, void* self) {
    auto& track = *static_cast<TrackSource*>(self);
    GstEvent* event = GST_PAD_PROBE_INFO_EVENT(static_cast<GstPadProbeInfo*>(info));
    if (GST_EVENT_TYPE(event) != GST_EVENT_EOS) return GST_PAD_PROBE_OK;
    EndHandler onEnd;
    {
        std::lock_guard lock(track.lock_);
        onEnd = track.onEnd_;
    }
    return onEnd && onEnd() ? GST_PAD_PROBE_DROP : GST_PAD_PROBE_OK;
}

bool TrackSource::Owns(void* object) const {
    if (!decoder_ || !object) return false;
    GstObject* source = GST_OBJECT(object);
    return source == GST_OBJECT(decoder_) || gst_object_has_as_ancestor(source, GST_OBJECT(decoder_));
}

void TrackSource::Start() {
    if (decoder_) gst_element_sync_state_with_parent(decoder_);
}

void TrackSource::OnPadAdded(GstElement*, GstPad* pad, void* self) {
    auto& track = *static_cast<TrackSource*>(self);
    std::lock_guard lock(track.lock_);
    if (!track.soundLinked_ && CarriesSound(pad) &&
        (track.held_ || gst_pad_link(pad, track.entrance_) == GST_PAD_LINK_OK)) {
        track.soundLinked_ = true;
        track.soundPad_ = GST_PAD(gst_object_ref(pad));
        // Held, the stream decodes up to its first buffer and waits there for its turn.
        if (track.held_)
            track.holdProbe_ = gst_pad_add_probe(pad, GST_PAD_PROBE_TYPE_BLOCK_DOWNSTREAM,
                                                 reinterpret_cast<GstPadProbeCallback>(HoldSound), &track, nullptr);
        gst_pad_add_probe(pad, GST_PAD_PROBE_TYPE_EVENT_DOWNSTREAM, reinterpret_cast<GstPadProbeCallback>(OnSoundEvent),
                          &track, nullptr);
        if (track.trim_)
            gst_pad_add_probe(pad, GST_PAD_PROBE_TYPE_BUFFER, reinterpret_cast<GstPadProbeCallback>(TrimEncoderSamples),
                              &track, nullptr);
        return;
    }
    track.DropStream(pad);
}

// A stream nobody plays (a second soundtrack, a picture stream that needs no decoding) still has
// to flow somewhere, or its demuxer may stop the whole file.
void TrackSource::DropStream(GstPad* pad) {
    GstElement* dropper = gst_element_factory_make("fakesink", nullptr);
    if (!dropper) return;
    g_object_set(dropper, "sync", FALSE, "async", FALSE, nullptr);
    gst_bin_add(pipeline_, dropper);
    GstPad* in = gst_element_get_static_pad(dropper, "sink");
    gst_pad_link(pad, in);
    gst_object_unref(in);
    gst_element_sync_state_with_parent(dropper);
    droppers_.push_back(dropper);
}

void TrackSource::OnNoMorePads(GstElement* decoder, void* self) {
    auto& track = *static_cast<TrackSource*>(self);
    std::lock_guard lock(track.lock_);
    if (!track.soundLinked_) GST_ELEMENT_ERROR(decoder, STREAM, WRONG_TYPE, ("The media holds no sound."), (nullptr));
}

}  // namespace mediaplayer
