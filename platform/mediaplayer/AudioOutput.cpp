#include "platform/mediaplayer/AudioOutput.h"

#include "platform/mediaplayer/StreamIdentity.h"

#include <gst/gst.h>

namespace mediaplayer {
namespace {

GstElement* SystemOutput() { return gst_element_factory_make("autoaudiosink", nullptr); }

GstElement* SilentOutput() {
    GstElement* sink = gst_element_factory_make("fakesink", nullptr);
    if (sink) g_object_set(sink, "sync", TRUE, nullptr);
    return sink;
}

}  // namespace

AudioOutput::AudioOutput(AudioSinkFactory preferred)
    : preferred_(preferred ? std::move(preferred) : AudioSinkFactory(SystemOutput)) {}

GstElement* AudioOutput::CreateSink() {
    GstElement* sink = silent_ ? nullptr : preferred_();
    if (sink) {
        IntroduceToSoundServer(sink);
    } else {
        silent_ = true;
        sink = SilentOutput();
    }
    current_ = sink;
    return sink;
}

bool AudioOutput::IsSource(GstObject* source) const {
    if (!current_ || !source) return false;
    return source == GST_OBJECT_CAST(current_) || gst_object_has_as_ancestor(source, GST_OBJECT_CAST(current_));
}

}  // namespace mediaplayer
