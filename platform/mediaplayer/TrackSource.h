#pragma once

#include <atomic>
#include <cstdint>
#include <functional>
#include <mutex>
#include <optional>

#include <string>
#include <vector>
#include "platform/mediaplayer/EncoderTrim.h"

typedef struct _GstBin GstBin;
typedef struct _GstElement GstElement;
typedef struct _GstPad GstPad;

namespace mediaplayer {

// The decoding part of one track: a uridecodebin for its location, added to the pipeline and
// linked to the output stage's entrance by its first sound stream. It decodes sound only: picture
// decoders are never plugged, and its other streams end in sinks of their own that drop them. A
// media without any sound stream is reported on the bus as an error of the decoder.
//
// A track armed to follow the playing one without a gap is made held: its sound stream waits, decoded up to its
// first buffer, until TakeOver() links it. The playing track asks its end handler at its end of stream; when that
// hands the output over to the next track, the end is not passed on, and the output never sees a gap.
class TrackSource {
public:
    // Told, on the track's streaming thread, that its sound has ended; true when another track takes the output
    // over, so that this end is not the output's.
    using EndHandler = std::function<bool()>;

    TrackSource(GstBin* pipeline, const std::string& uri, GstPad* entrance, bool held = false);
    // Stops the decoder and takes it, and whatever it linked, out of the pipeline.
    ~TrackSource();
    TrackSource(const TrackSource&) = delete;
    TrackSource& operator=(const TrackSource&) = delete;

    bool Valid() const { return decoder_ != nullptr; }
    // True when `object` (the source of a bus message) is this track's decoder or lies inside it.
    bool Owns(void* object) const;
    // Brings the decoder to the pipeline's state.
    void Start();
    void SetEndHandler(EndHandler handler);
    // A held track whose sound stream is ready to take over.
    bool SoundReady();
    // Links the held sound stream to the output, its time moved on by `offset` (the output's running time at the
    // end of the previous track), and lets it flow. Called while the previous track's stream is at its end.
    bool TakeOver(std::int64_t offset);
    // Sends a held track to a span of its media (seconds), to the sample, with the span's end as its end.
    bool SeekHeld(double start, std::optional<double> end);
    // Whether the held stream's segment now starts at `start` (the seek has reached it).
    bool PlacedAt(double start);

private:
    static void OnPadAdded(GstElement* decoder, GstPad* pad, void* self);
    static unsigned long OnSoundEvent(GstPad* pad, void* info, void* self);
    static unsigned long HoldSound(GstPad* pad, void* info, void* self);
    // Drops the samples an MP3 encoder added, so the sound starts at 0 with its first real sample.
    static unsigned long TrimEncoderSamples(GstPad* pad, void* info, void* self);
    static void OnNoMorePads(GstElement* decoder, void* self);
    void DropStream(GstPad* pad);

    GstBin* pipeline_;
    GstPad* entrance_;               // borrowed from the output stage
    GstElement* decoder_ = nullptr;  // owned by the pipeline

    std::mutex lock_;  // pads are added from the decoder's streaming threads
    bool soundLinked_ = false;
    bool held_;
    GstPad* soundPad_ = nullptr;  // referenced
    unsigned long holdProbe_ = 0;
    std::atomic<double> heldSegmentStart_ = -1;  // seconds, of the segment the held stream last reached
    EndHandler onEnd_;
    std::optional<EncoderTrim> trim_;
    int rate_ = 0;  // of the decoded sound, learnt by the trimming from its first buffer
    int frameBytes_ = 0;
    std::vector<GstElement*> droppers_;  // owned by the pipeline
};

}  // namespace mediaplayer
