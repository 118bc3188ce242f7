#include "platform/mediaplayer/OutputStage.h"

#include <gst/audio/streamvolume.h>
#include <gst/gst.h>

namespace mediaplayer {
namespace {

// The sound format every track is converted to before the sink: the CD's, which most music is in already and most
// sound servers play without converting it again; a mono, 22 kHz or 24-bit track is converted at little cost.
constexpr const char* kOutputFormat = "audio/x-raw,format=S16LE,rate=44100,channels=2,layout=interleaved";

GstPadProbeReturn NoteSound(GstPad*, GstPadProbeInfo*, gpointer flag) {
    static_cast<std::atomic<bool>*>(flag)->store(true, std::memory_order_relaxed);
    return GST_PAD_PROBE_OK;
}

bool HasStreamVolume(GstElement* element) {
    return GST_OBJECT_FLAG_IS_SET(element, GST_ELEMENT_FLAG_SINK) && GST_IS_STREAM_VOLUME(element);
}

}  // namespace

OutputStage::OutputStage(GstBin* pipeline, GstElement* sink) : pipeline_(pipeline) {
    gst_object_ref_sink(sink);
    GstElement* convert = gst_element_factory_make("audioconvert", nullptr);
    GstElement* resample = gst_element_factory_make("audioresample", nullptr);
    GstElement* format = gst_element_factory_make("capsfilter", nullptr);
    GstElement* volume = gst_element_factory_make("volume", "softvolume");
    GstElement* bin = gst_bin_new("output");
    if (!convert || !resample || !format || !volume || !bin) {
        for (GstElement* made : {convert, resample, format, volume, bin})
            if (made) gst_object_unref(gst_object_ref_sink(made));
        gst_object_unref(sink);
        return;
    }
    GstCaps* caps = gst_caps_from_string(kOutputFormat);
    g_object_set(format, "caps", caps, nullptr);
    gst_caps_unref(caps);
    gst_bin_add_many(GST_BIN(bin), convert, resample, format, volume, sink, nullptr);
    gst_object_unref(sink);  // the bin holds it now
    if (HasStreamVolume(sink)) streamVolumeSink_ = sink;
    if (!gst_element_link_many(convert, resample, format, volume, sink, nullptr)) {
        gst_object_unref(gst_object_ref_sink(bin));
        return;
    }
    GstPad* convertIn = gst_element_get_static_pad(convert, "sink");
    entrance_ = gst_ghost_pad_new("sink", convertIn);
    gst_object_unref(convertIn);
    gst_element_add_pad(bin, entrance_);
    gst_pad_add_probe(entrance_, GST_PAD_PROBE_TYPE_BUFFER, NoteSound, &soundArrived_, nullptr);
    softVolume_ = volume;
    bin_ = bin;
    gst_bin_add(pipeline_, bin_);
    std::lock_guard lock(volumeLock_);
    ApplyVolumeLocked();
}

OutputStage::~OutputStage() {
    if (!bin_) return;
    gst_element_set_state(bin_, GST_STATE_NULL);
    gst_bin_remove(pipeline_, bin_);
}

void OutputStage::BeginFlush() {
    if (entrance_) gst_pad_send_event(entrance_, gst_event_new_flush_start());
}

void OutputStage::EndFlush() {
    // Time starts again from 0 for the next track, as after a seek.
    if (entrance_) gst_pad_send_event(entrance_, gst_event_new_flush_stop(TRUE));
}

void OutputStage::SetVolume(double cubicVolume, bool mute) {
    std::lock_guard lock(volumeLock_);
    volume_ = cubicVolume;
    mute_ = mute;
    ApplyVolumeLocked();
}

void OutputStage::OnElementAdded(GstElement* element) {
    if (!HasStreamVolume(element) || !bin_ || !gst_object_has_as_ancestor(GST_OBJECT(element), GST_OBJECT(bin_)))
        return;
    std::lock_guard lock(volumeLock_);
    streamVolumeSink_ = element;
    ApplyVolumeLocked();
}

void OutputStage::ApplyVolumeLocked() {
    if (!softVolume_) return;
    GstStreamVolume* target = GST_STREAM_VOLUME(streamVolumeSink_ ? streamVolumeSink_ : softVolume_);
    gst_stream_volume_set_volume(target, GST_STREAM_VOLUME_FORMAT_CUBIC, volume_);
    gst_stream_volume_set_mute(target, mute_);
    if (streamVolumeSink_) {
        g_object_set(softVolume_, "volume", 1.0, "mute", FALSE, nullptr);
    }
}

}  // namespace mediaplayer
