#pragma once

#include <atomic>
#include <mutex>
#include <string>
#include <vector>

typedef struct _GstBin GstBin;
typedef struct _GstElement GstElement;
typedef struct _GstPad GstPad;

namespace mediaplayer {

// The decoding part of one track: a uridecodebin for its location, added to the pipeline and
// linked to the output stage's entrance by its first sound stream. It decodes sound only: picture
// decoders are never plugged, and its other streams end in sinks of their own that drop them. A
// media without any sound stream is reported on the bus as an error of the decoder.
class TrackSource {
public:
    TrackSource(GstBin* pipeline, const std::string& uri, GstPad* entrance);
    // Stops the decoder and takes it, and whatever it linked, out of the pipeline.
    ~TrackSource();
    TrackSource(const TrackSource&) = delete;
    TrackSource& operator=(const TrackSource&) = delete;

    bool Valid() const { return decoder_ != nullptr; }
    // True when `object` (the source of a bus message) is this track's decoder or lies inside it.
    bool Owns(void* object) const;
    // Brings the decoder to the pipeline's state.
    void Start();

private:
    static void OnPadAdded(GstElement* decoder, GstPad* pad, void* self);
    static void OnNoMorePads(GstElement* decoder, void* self);
    void DropStream(GstPad* pad);

    GstBin* pipeline_;
    GstPad* entrance_;               // borrowed from the output stage
    GstElement* decoder_ = nullptr;  // owned by the pipeline

    std::mutex lock_;  // pads are added from the decoder's streaming threads
    bool soundLinked_ = false;
    std::vector<GstElement*> droppers_;  // owned by the pipeline
};

}  // namespace mediaplayer
