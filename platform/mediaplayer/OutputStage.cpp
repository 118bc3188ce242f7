#include "platform/mediaplayer/OutputStage.h"

#include <gst/audio/streamvolume.h>
#include <gst/gst.h>

#include <algorithm>

namespace mediaplayer {
namespace {

// The sound format every track is converted to before the sink: the CD's, which most music is in already and most
// sound servers play without converting it again; a mono, 22 kHz or 24-bit track is converted at little cost.
constexpr const char* kOutputFormat = "audio/x-raw,format=S16LE,rate=44100,channels=2,layout=interleaved";

}  // namespace

GstPadProbeReturn OutputStage::NoteSound(GstPad*, GstPadProbeInfo* info, gpointer self) {
    auto& stage = *static_cast<OutputStage*>(self);
    if (GST_PAD_PROBE_INFO_TYPE(info) & GST_PAD_PROBE_TYPE_EVENT_DOWNSTREAM) {
        GstEvent* event = GST_PAD_PROBE_INFO_EVENT(info);
        if (GST_EVENT_TYPE(event) == GST_EVENT_SEGMENT) gst_event_copy_segment(event, &stage.entranceSegment_);
        if (GST_EVENT_TYPE(event) == GST_EVENT_FLUSH_STOP) stage.runningEnd_ = 0;
        return GST_PAD_PROBE_OK;
    }
    stage.soundArrived_.store(true, std::memory_order_relaxed);
    GstBuffer* buffer = GST_PAD_PROBE_INFO_BUFFER(info);
    const GstSegment& segment = stage.entranceSegment_;
    if (segment.format == GST_FORMAT_TIME && GST_BUFFER_PTS_IS_VALID(buffer)) {
        GstClockTime end =
            GST_BUFFER_PTS(buffer) + (GST_BUFFER_DURATION_IS_VALID(buffer) ? GST_BUFFER_DURATION(buffer) : 0);
        if (GST_CLOCK_TIME_IS_VALID(segment.stop)) end = std::min(end, static_cast<GstClockTime>(segment.stop));
        const guint64 running = gst_segment_to_running_time(&segment, GST_FORMAT_TIME, end);
        if (GST_CLOCK_TIME_IS_VALID(running)) stage.runningEnd_ = static_cast<std::int64_t>(running);
    }
    return GST_PAD_PROBE_OK;
}

namespace {

// Decoders clip their sound to the stream's end to within a sample, some rounding up; the stage cuts it to the
// sample, so a span of a file ends with its own last sample and the next span's first is not heard twice. The
// stage's format is fixed here, so a sample's place follows from its time.
constexpr gint kOutputRate = 44100;
constexpr gsize kOutputFrameBytes = 4;

GstPadProbeReturn ClipToSegmentEnd(GstPad*, GstPadProbeInfo* info, gpointer data) {
    auto* segment = static_cast<GstSegment*>(data);
    if (GST_PAD_PROBE_INFO_TYPE(info) & GST_PAD_PROBE_TYPE_EVENT_DOWNSTREAM) {
        GstEvent* event = GST_PAD_PROBE_INFO_EVENT(info);
        if (GST_EVENT_TYPE(event) == GST_EVENT_SEGMENT) gst_event_copy_segment(event, segment);
        return GST_PAD_PROBE_OK;
    }
    GstBuffer* buffer = GST_PAD_PROBE_INFO_BUFFER(info);
    const GstClockTime time = GST_BUFFER_PTS(buffer);
    if (segment->format != GST_FORMAT_TIME || !GST_CLOCK_TIME_IS_VALID(segment->stop) ||
        !GST_CLOCK_TIME_IS_VALID(time) || time < segment->start || segment->rate != 1.0)
        return GST_PAD_PROBE_OK;
    const guint64 first = gst_util_uint64_scale_round(time - segment->start, kOutputRate, GST_SECOND);
    const guint64 end = gst_util_uint64_scale_ceil(segment->stop - segment->start, kOutputRate, GST_SECOND);
    const gsize frames = gst_buffer_get_size(buffer) / kOutputFrameBytes;
    if (first >= end) return GST_PAD_PROBE_DROP;
    if (first + frames <= end) return GST_PAD_PROBE_OK;
    buffer = gst_buffer_make_writable(buffer);
    gst_buffer_resize(buffer, 0, static_cast<gssize>((end - first) * kOutputFrameBytes));
    GST_BUFFER_DURATION(buffer) = gst_util_uint64_scale(end - first, GST_SECOND, kOutputRate);
    GST_PAD_PROBE_INFO_DATA(info) = buffer;
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
    gst_segment_init(&entranceSegment_, GST_FORMAT_UNDEFINED);
    gst_pad_add_probe(entrance_,
                      static_cast<GstPadProbeType>(GST_PAD_PROBE_TYPE_BUFFER | GST_PAD_PROBE_TYPE_EVENT_DOWNSTREAM |
                                                   GST_PAD_PROBE_TYPE_EVENT_FLUSH),
                      NoteSound, this, nullptr);
    GstPad* converted = gst_element_get_static_pad(volume, "sink");
    gst_segment_init(&segment_, GST_FORMAT_UNDEFINED);
    gst_pad_add_probe(converted,
                      static_cast<GstPadProbeType>(GST_PAD_PROBE_TYPE_BUFFER | GST_PAD_PROBE_TYPE_EVENT_DOWNSTREAM),
                      ClipToSegmentEnd, &segment_, nullptr);
    gst_object_unref(converted);
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
