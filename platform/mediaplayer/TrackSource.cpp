#include "platform/mediaplayer/TrackSource.h"

#include "platform/mediaplayer/SoundOnly.h"

#include <gst/gst.h>

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

TrackSource::TrackSource(GstBin* pipeline, const std::string& uri, GstPad* entrance)
    : pipeline_(pipeline), entrance_(entrance) {
    GstElement* decoder = gst_element_factory_make("uridecodebin", nullptr);
    if (!decoder) return;
    // Network sources buffer, and say how far, so playback can wait for them. A local file needs no buffer: asked
    // to, the decoder's queues would report levels all the time, and each report would pause or resume playback.
    g_object_set(decoder, "uri", uri.c_str(), "use-buffering", !g_str_has_prefix(uri.c_str(), "file:"), nullptr);
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
    if (!track.soundLinked_ && CarriesSound(pad) && gst_pad_link(pad, track.entrance_) == GST_PAD_LINK_OK) {
        track.soundLinked_ = true;
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
