#include "platform/mediaplayer/AudioOutput.h"

#include "platform/mediaplayer/StreamIdentity.h"

#include <gst/gst.h>

namespace mediaplayer {
namespace {

GstElement* SystemOutput() { return gst_element_factory_make("autoaudiosink", nullptr); }

bool IsMadeBy(GstElement* element, const char* factoryName) {
    GstElementFactory* factory = gst_element_get_factory(element);
    return factory && g_str_equal(gst_plugin_feature_get_name(factory), factoryName);
}

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
    currentSilent_ = !sink;
    if (sink) {
        IntroduceToSoundServer(sink);
    } else {
        silent_ = true;
        sink = SilentOutput();
    }
    current_ = sink;
    return sink;
}

bool AudioOutput::StandsIn() const {
    if (currentSilent_) return true;
    // The system output chooses its device as it starts, replacing a placeholder; from then on a fake sink inside
    // it means that no device (no sound server) would play.
    if (!current_ || !IsMadeBy(current_, "autoaudiosink") || GST_STATE(current_) < GST_STATE_READY) return false;
    GstIterator* children = gst_bin_iterate_elements(GST_BIN(current_));
    GValue item = G_VALUE_INIT;
    bool fake = false;
    while (!fake && gst_iterator_next(children, &item) == GST_ITERATOR_OK) {
        fake = IsMadeBy(GST_ELEMENT(g_value_get_object(&item)), "fakesink");
        g_value_reset(&item);
    }
    g_value_unset(&item);
    gst_iterator_free(children);
    return fake;
}

bool AudioOutput::IsSource(GstObject* source) const {
    if (!current_ || !source) return false;
    return source == GST_OBJECT_CAST(current_) || gst_object_has_as_ancestor(source, GST_OBJECT_CAST(current_));
}

}  // namespace mediaplayer
