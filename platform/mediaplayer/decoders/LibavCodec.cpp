#include "platform/mediaplayer/decoders/LibavCodec.h"

extern "C" {
#include <libavcodec/avcodec.h>
#include <libavutil/channel_layout.h>
}

#include <algorithm>
#include <array>
#include <bit>
#include <cstring>
#include <utility>

namespace mediaplayer::decoders {
namespace {

// libav's channels in the order of their bits in a native layout's mask, as GStreamer names them.
constexpr std::array kPositionOfBit = {
    GST_AUDIO_CHANNEL_POSITION_FRONT_LEFT,
    GST_AUDIO_CHANNEL_POSITION_FRONT_RIGHT,
    GST_AUDIO_CHANNEL_POSITION_FRONT_CENTER,
    GST_AUDIO_CHANNEL_POSITION_LFE1,
    GST_AUDIO_CHANNEL_POSITION_REAR_LEFT,
    GST_AUDIO_CHANNEL_POSITION_REAR_RIGHT,
    GST_AUDIO_CHANNEL_POSITION_FRONT_LEFT_OF_CENTER,
    GST_AUDIO_CHANNEL_POSITION_FRONT_RIGHT_OF_CENTER,
    GST_AUDIO_CHANNEL_POSITION_REAR_CENTER,
    GST_AUDIO_CHANNEL_POSITION_SIDE_LEFT,
    GST_AUDIO_CHANNEL_POSITION_SIDE_RIGHT,
    GST_AUDIO_CHANNEL_POSITION_TOP_CENTER,
    GST_AUDIO_CHANNEL_POSITION_TOP_FRONT_LEFT,
    GST_AUDIO_CHANNEL_POSITION_TOP_FRONT_CENTER,
    GST_AUDIO_CHANNEL_POSITION_TOP_FRONT_RIGHT,
    GST_AUDIO_CHANNEL_POSITION_TOP_REAR_LEFT,
    GST_AUDIO_CHANNEL_POSITION_TOP_REAR_CENTER,
    GST_AUDIO_CHANNEL_POSITION_TOP_REAR_RIGHT,
};

GstAudioFormat FormatOf(AVSampleFormat format) {
    switch (av_get_packed_sample_fmt(format)) {
        case AV_SAMPLE_FMT_U8: return GST_AUDIO_FORMAT_U8;
        case AV_SAMPLE_FMT_S16: return GST_AUDIO_FORMAT_S16;
        case AV_SAMPLE_FMT_S32: return GST_AUDIO_FORMAT_S32;
        case AV_SAMPLE_FMT_FLT: return GST_AUDIO_FORMAT_F32;
        case AV_SAMPLE_FMT_DBL: return GST_AUDIO_FORMAT_F64;
        default: return GST_AUDIO_FORMAT_UNKNOWN;
    }
}

// The channels' positions: from a native layout bit by bit; otherwise mono and stereo as such, and more channels in
// the order GStreamer assumes for their number.
bool PositionsOf(const AVChannelLayout& layout, GstAudioChannelPosition* positions) {
    const int channels = layout.nb_channels;
    if (layout.order == AV_CHANNEL_ORDER_NATIVE && std::popcount(layout.u.mask) == channels) {
        int channel = 0;
        for (std::size_t bit = 0; bit < kPositionOfBit.size() && channel < channels; ++bit)
            if (layout.u.mask & (std::uint64_t{1} << bit)) positions[channel++] = kPositionOfBit[bit];
        if (channel == channels) return true;
    }
    if (channels == 1) {
        positions[0] = GST_AUDIO_CHANNEL_POSITION_MONO;
        return true;
    }
    const guint64 mask = gst_audio_channel_get_fallback_mask(channels);
    if (mask != 0) return gst_audio_channel_positions_from_mask(channels, mask, positions);
    for (int channel = 0; channel < channels; ++channel) positions[channel] = GST_AUDIO_CHANNEL_POSITION_NONE;
    return true;
}

template <std::size_t Bytes>
void InterleaveSamples(const AVFrame& frame, std::uint8_t* out) {
    const int channels = frame.ch_layout.nb_channels;
    for (int channel = 0; channel < channels; ++channel) {
        const std::uint8_t* in = frame.extended_data[channel];
        std::uint8_t* to = out + channel * Bytes;
        for (int sample = 0; sample < frame.nb_samples; ++sample, in += Bytes, to += Bytes * channels)
            std::memcpy(to, in, Bytes);
    }
}

}  // namespace

std::unique_ptr<LibavCodec> LibavCodec::Open(const AVCodecParameters& parameters, AVRational timeBase, bool checked) {
    if (parameters.codec_type != AVMEDIA_TYPE_AUDIO) return nullptr;
    const AVCodec* codec = avcodec_find_decoder(parameters.codec_id);
    if (!codec) return nullptr;
    AVCodecContext* context = avcodec_alloc_context3(codec);
    AVFrame* frame = av_frame_alloc();
    if (!context || !frame || avcodec_parameters_to_context(context, &parameters) < 0) {
        av_frame_free(&frame);
        avcodec_free_context(&context);
        return nullptr;
    }
    context->pkt_timebase = timeBase;
    // One thread: audio frames decode in microseconds, and a decoder's own threads would outlive an abandoned pipeline.
    context->thread_count = 1;
    if (checked) context->err_recognition |= AV_EF_CRCCHECK | AV_EF_EXPLODE;
    if (avcodec_open2(context, codec, nullptr) < 0) {
        av_frame_free(&frame);
        avcodec_free_context(&context);
        return nullptr;
    }
    return std::unique_ptr<LibavCodec>(new LibavCodec(context, frame));
}

LibavCodec::LibavCodec(AVCodecContext* context, AVFrame* frame) : context_(context), frame_(frame) {
    gst_audio_info_init(&info_);
}

LibavCodec::~LibavCodec() {
    av_frame_free(&frame_);
    avcodec_free_context(&context_);
}

LibavCodec::Outcome LibavCodec::Decode(const AVPacket* packet, const Receiver& receive) {
    const int sent = avcodec_send_packet(context_, packet);
    // At the end, a decoder that was drained already answers end of file: nothing more to give.
    if (sent < 0 && sent != AVERROR_EOF) return Outcome::Damaged;
    for (;;) {
        const int received = avcodec_receive_frame(context_, frame_);
        if (received == AVERROR(EAGAIN) || received == AVERROR_EOF) break;
        if (received < 0) return Outcome::Damaged;
        GstBuffer* samples = Interleave();
        std::optional<std::int64_t> time;
        if (frame_->best_effort_timestamp != AV_NOPTS_VALUE)
            time = av_rescale_q(frame_->best_effort_timestamp, context_->pkt_timebase, AVRational{1, GST_SECOND});
        av_frame_unref(frame_);
        if (!samples) return Outcome::Damaged;
        if (!receive(samples, info_, time)) return Outcome::Stopped;
    }
    // A drained decoder takes packets again only once flushed.
    if (!packet) avcodec_flush_buffers(context_);
    return Outcome::Decoded;
}

void LibavCodec::Flush() { avcodec_flush_buffers(context_); }

GstBuffer* LibavCodec::Interleave() {
    const auto format = static_cast<AVSampleFormat>(frame_->format);
    const GstAudioFormat gstFormat = FormatOf(format);
    const int channels = frame_->ch_layout.nb_channels;
    if (gstFormat == GST_AUDIO_FORMAT_UNKNOWN || channels <= 0 || channels > 64 || frame_->sample_rate <= 0 ||
        frame_->nb_samples < 0)
        return nullptr;
    std::array<GstAudioChannelPosition, 64> positions{};
    if (!PositionsOf(frame_->ch_layout, positions.data())) return nullptr;
    if (GST_AUDIO_INFO_FORMAT(&info_) != gstFormat || GST_AUDIO_INFO_RATE(&info_) != frame_->sample_rate ||
        GST_AUDIO_INFO_CHANNELS(&info_) != channels ||
        !std::equal(positions.begin(), positions.begin() + channels, info_.position))
        gst_audio_info_set_format(&info_, gstFormat, frame_->sample_rate, channels, positions.data());

    const std::size_t bytes = av_get_bytes_per_sample(format);
    const std::size_t size = bytes * static_cast<std::size_t>(channels) * static_cast<std::size_t>(frame_->nb_samples);
    GstBuffer* samples = gst_buffer_new_allocate(nullptr, size, nullptr);
    GstMapInfo map;
    if (!gst_buffer_map(samples, &map, GST_MAP_WRITE)) {
        gst_buffer_unref(samples);
        return nullptr;
    }
    if (!av_sample_fmt_is_planar(format) || channels == 1) {
        std::memcpy(map.data, frame_->extended_data[0], size);
    } else {
        switch (bytes) {
            case 1: InterleaveSamples<1>(*frame_, map.data); break;
            case 2: InterleaveSamples<2>(*frame_, map.data); break;
            case 4: InterleaveSamples<4>(*frame_, map.data); break;
            default: InterleaveSamples<8>(*frame_, map.data); break;
        }
    }
    gst_buffer_unmap(samples, &map);
    GST_BUFFER_DURATION(samples) = gst_util_uint64_scale_int(frame_->nb_samples, GST_SECOND, frame_->sample_rate);
    return samples;
}

}  // namespace mediaplayer::decoders
