#pragma once

#include "platform/mediaplayer/AudioOutput.h"

#include <gst/gst.h>

#include <atomic>
#include <cstdint>
#include <mutex>

namespace mediaplayer {

// The part of the pipeline that outlives the tracks: conversion to one fixed sound format, the
// volume and the audio sink. Each track's decoder is linked to its entrance and unlinked again,
// while the sink, and with it the stream on the sound server, stays open: a track change then
// costs neither a new stream nor the sound server's start-up delay for one, and the format never
// changes under the sink (a new format would make it open a new stream as well).
//
// The volume goes where the desktop's mixer sees it, into the sink's own stream volume, when the
// sink has one (autoaudiosink makes its real sink only as it starts; that sink is found as it joins
// the pipeline); else into a volume element of the stage. Never into both.
class OutputStage {
public:
    // Builds the stage around `sink` (which it takes over) inside `pipeline`. Nothing is made
    // when GStreamer cannot build a part; then valid() is false and the caller gives up the start.
    OutputStage(GstBin* pipeline, GstElement* sink);
    ~OutputStage();
    OutputStage(const OutputStage&) = delete;
    OutputStage& operator=(const OutputStage&) = delete;

    bool Valid() const { return bin_ != nullptr; }
    // Where a track's decoded sound goes in. Borrowed.
    GstPad* Entrance() const { return entrance_; }
    // True once sound of the current track has reached the stage; re-armed by expectNewTrack().
    bool SoundArrived() const { return soundArrived_; }
    // Empty the stage of the previous track's sound, so the next track starts at once and from
    // running time 0, while the sink keeps its stream. Between the two, whatever pushed into the
    // stage is let go, so its decoder can be stopped.
    void BeginFlush();
    void EndFlush();
    void ExpectNewTrack() { soundArrived_ = false; }
    // The running time the output has reached with the sound given so far: where a track that follows without a
    // gap starts. Read while the track before it is at its end.
    std::int64_t RunningEnd() const { return runningEnd_; }

    // 0..1 on the perceptual (cubic) scale.
    void SetVolume(double cubicVolume, bool mute);
    // Called from the thread that adds elements to the pipeline, for each element added anywhere
    // in it: a sink with a stream volume of its own takes the volume over.
    void OnElementAdded(GstElement* element);

private:
    static GstPadProbeReturn NoteSound(GstPad* pad, GstPadProbeInfo* info, gpointer self);
    void ApplyVolumeLocked();

    GstBin* pipeline_;
    GstElement* bin_ = nullptr;         // owned by the pipeline
    GstElement* softVolume_ = nullptr;  // owned by bin_
    GstPad* entrance_ = nullptr;        // owned by bin_
    std::atomic<bool> soundArrived_ = false;
    GstSegment segment_{};  // of the converted sound, read and written by its streaming thread only
    GstSegment entranceSegment_{};
    std::atomic<std::int64_t> runningEnd_ = 0;

    std::mutex volumeLock_;
    GstElement* streamVolumeSink_ = nullptr;  // owned by bin_ (or a bin inside it)
    double volume_ = 1.0;
    bool mute_ = false;
};

}  // namespace mediaplayer
