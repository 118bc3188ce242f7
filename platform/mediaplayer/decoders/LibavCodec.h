#pragma once

#include <gst/audio/audio.h>

#include <cstdint>
#include <functional>
#include <memory>
#include <optional>

extern "C" {
struct AVCodecContext;
struct AVCodecParameters;
struct AVFrame;
struct AVPacket;
struct AVRational;
}

namespace mediaplayer::decoders {

// One audio stream's libav decoder: compressed packets in, GStreamer buffers of interleaved samples out. libav's
// decoders mostly give planar samples, which GStreamer's sinks do not take, so every frame is interleaved here.
class LibavCodec {
public:
    // The decoder for `parameters`, opened; nullptr when libav has none for them or refuses them. Packets are
    // timed in `timeBase`. `checked`: a packet whose samples fail the checksum the stream carries is refused.
    static std::unique_ptr<LibavCodec> Open(const AVCodecParameters& parameters, AVRational timeBase,
                                            bool checked = false);
    ~LibavCodec();
    LibavCodec(const LibavCodec&) = delete;
    LibavCodec& operator=(const LibavCodec&) = delete;

    // Receives one decoded frame: its samples (the receiver owns the buffer, whose duration is set), their layout,
    // and the frame's time in nanoseconds when libav knows it (it may be negative, before the stream's start, for
    // an encoder's priming). Returns false to stop decoding, as when downstream refuses the buffer.
    using Receiver =
        std::function<bool(GstBuffer* samples, const GstAudioInfo& info, std::optional<std::int64_t> time)>;

    enum class Outcome { Decoded, Damaged, Stopped };
    // Decodes `packet`, or drains what the decoder holds when it is nullptr (at the stream's end), handing every
    // frame to `receive`. Damaged: the decoder refused the packet (the caller skips it as damaged data); Stopped:
    // `receive` said stop.
    Outcome Decode(const AVPacket* packet, const Receiver& receive);
    // Forgets what the decoder holds, after a seek.
    void Flush();

private:
    LibavCodec(AVCodecContext* context, AVFrame* frame);
    // The frame's samples, interleaved, and their layout in `info_`; nullptr for a sample format GStreamer lacks.
    GstBuffer* Interleave();

    AVCodecContext* context_;
    AVFrame* frame_;
    GstAudioInfo info_;
};

}  // namespace mediaplayer::decoders
