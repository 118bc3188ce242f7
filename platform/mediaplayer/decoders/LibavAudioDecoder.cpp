#include "platform/mediaplayer/decoders/Elements.h"
#include "platform/mediaplayer/decoders/LibavCodec.h"

extern "C" {
#include <libavcodec/avcodec.h>
#include <libavutil/channel_layout.h>
#include <libavutil/mem.h>
}

#include <gst/audio/gstaudiodecoder.h>

#include <algorithm>
#include <cstring>
#include <memory>
#include <new>
#include <string_view>

namespace mediaplayer::decoders {
namespace {

GST_DEBUG_CATEGORY_STATIC(audioDecoderDebug);
#define GST_CAT_DEFAULT audioDecoderDebug

// The compressed streams GStreamer's own demuxers and parsers hand out that no decoder of its base and good sets
// takes: AAC of MP4 files and web radio, Apple Lossless, WMA from an ASF stream, and the soundtracks of videos.
constexpr const char* kSinkCaps =
    "audio/mpeg, mpegversion = (int) { 2, 4 }, stream-format = (string) { raw, adts }; "
    "audio/x-alac; "
    "audio/x-wma, wmaversion = (int) { 1, 2, 3, 4 }; "
    "audio/x-ac3; audio/x-eac3; audio/x-dts";
constexpr const char* kSourceCaps =
    "audio/x-raw, format = (string) { U8, " GST_AUDIO_NE(S16) ", " GST_AUDIO_NE(S32) ", " GST_AUDIO_NE(
        F32) ", " GST_AUDIO_NE(F64) " }, layout = (string) interleaved, rate = (int) [ 1, MAX ], "
                                    "channels = (int) [ 1, 64 ]";

// Apple Lossless's setup as libav reads it: the whole 'alac' atom, 36 bytes with its size, name and version. Some
// muxers give only the 24 bytes of settings after them.
constexpr std::size_t kAlacAtomHeader = 12;
constexpr std::size_t kAlacSettings = 24;

// Damaged packets in a row before the stream fails: about two seconds of AAC, enough for a web stream's bad patch,
// while a stream of nothing but damage fails instead of playing silence (the base class's default never fails it).
constexpr int kMaxDamagedPackets = 100;

struct CodecParametersFree {
    void operator()(AVCodecParameters* parameters) const { avcodec_parameters_free(&parameters); }
};
using CodecParameters = std::unique_ptr<AVCodecParameters, CodecParametersFree>;

struct PacketFree {
    void operator()(AVPacket* packet) const { av_packet_free(&packet); }
};
using Packet = std::unique_ptr<AVPacket, PacketFree>;

AVCodecID CodecOf(const GstStructure* structure) {
    const std::string_view name = gst_structure_get_name(structure);
    if (name == "audio/mpeg") return AV_CODEC_ID_AAC;
    if (name == "audio/x-alac") return AV_CODEC_ID_ALAC;
    if (name == "audio/x-ac3") return AV_CODEC_ID_AC3;
    if (name == "audio/x-eac3") return AV_CODEC_ID_EAC3;
    if (name == "audio/x-dts") return AV_CODEC_ID_DTS;
    if (name == "audio/x-wma") {
        int version = 0;
        gst_structure_get_int(structure, "wmaversion", &version);
        switch (version) {
            case 1: return AV_CODEC_ID_WMAV1;
            case 2: return AV_CODEC_ID_WMAV2;
            case 3: return AV_CODEC_ID_WMAPRO;
            case 4: return AV_CODEC_ID_WMALOSSLESS;
            default: break;
        }
    }
    return AV_CODEC_ID_NONE;
}

// The codec's setup bytes (codec_data) as libav wants them: padded with zeros, which its bit readers may run into.
bool SetExtradata(AVCodecParameters& parameters, const GstStructure* structure) {
    const GValue* value = gst_structure_get_value(structure, "codec_data");
    if (!value || !GST_VALUE_HOLDS_BUFFER(value)) return true;
    GstBuffer* data = gst_value_get_buffer(value);
    const std::size_t size = gst_buffer_get_size(data);
    const std::size_t header = parameters.codec_id == AV_CODEC_ID_ALAC && size == kAlacSettings ? kAlacAtomHeader : 0;
    if (size + header > 1 << 20) return false;
    auto* bytes = static_cast<std::uint8_t*>(av_mallocz(size + header + AV_INPUT_BUFFER_PADDING_SIZE));
    if (!bytes) return false;
    if (header) {
        const std::uint32_t atomSize = kAlacAtomHeader + kAlacSettings;
        const std::uint8_t atom[kAlacAtomHeader] = {0, 0, 0, static_cast<std::uint8_t>(atomSize), 'a', 'l', 'a', 'c'};
        std::memcpy(bytes, atom, sizeof atom);
    }
    gst_buffer_extract(data, 0, bytes + header, size);
    parameters.extradata = bytes;
    parameters.extradata_size = static_cast<int>(size + header);
    return true;
}

// libav's parameters for the stream `caps` describe; nullptr for caps it cannot take.
CodecParameters ParametersOf(GstCaps* caps) {
    const GstStructure* structure = gst_caps_get_structure(caps, 0);
    CodecParameters parameters(avcodec_parameters_alloc());
    if (!structure || !parameters) return nullptr;
    parameters->codec_type = AVMEDIA_TYPE_AUDIO;
    parameters->codec_id = CodecOf(structure);
    if (parameters->codec_id == AV_CODEC_ID_NONE) return nullptr;
    int value = 0;
    if (gst_structure_get_int(structure, "rate", &value) && value > 0) parameters->sample_rate = value;
    if (gst_structure_get_int(structure, "channels", &value) && value > 0 && value <= 64)
        av_channel_layout_default(&parameters->ch_layout, value);
    if (gst_structure_get_int(structure, "block_align", &value) && value > 0) parameters->block_align = value;
    if (gst_structure_get_int(structure, "bitrate", &value) && value > 0) parameters->bit_rate = value;
    if (gst_structure_get_int(structure, "depth", &value) && value > 0) parameters->bits_per_coded_sample = value;
    if (!SetExtradata(*parameters, structure)) return nullptr;
    return parameters;
}

// An instance's state, owned by the GObject instance; touched only under the base class's stream lock or while
// the element's streaming has stopped.
struct DecoderState {
    std::unique_ptr<LibavCodec> codec;
    int inputRate = 0;  // of the stream as its caps tell it, 0 when they do not
    GstAudioInfo outputInfo{};
    bool outputSet = false;
};

struct MediaAudioDecoder {
    GstAudioDecoder parent;
    DecoderState state;
};

struct MediaAudioDecoderClass {
    GstAudioDecoderClass parentClass;
};

GstAudioDecoderClass* parentClass = nullptr;

DecoderState& StateOf(GstAudioDecoder* decoder) { return reinterpret_cast<MediaAudioDecoder*>(decoder)->state; }

gboolean Start(GstAudioDecoder* decoder) {
    DecoderState& state = StateOf(decoder);
    state.codec.reset();
    state.outputSet = false;
    return TRUE;
}

gboolean Stop(GstAudioDecoder* decoder) { return Start(decoder); }

gboolean SetFormat(GstAudioDecoder* decoder, GstCaps* caps) {
    DecoderState& state = StateOf(decoder);
    GST_DEBUG_OBJECT(decoder, "stream %" GST_PTR_FORMAT, static_cast<void*>(caps));
    state.codec.reset();
    state.outputSet = false;
    const CodecParameters parameters = ParametersOf(caps);
    state.inputRate = parameters ? parameters->sample_rate : 0;
    if (parameters) state.codec = LibavCodec::Open(*parameters, AVRational{1, GST_SECOND});
    if (!state.codec) {
        GST_ELEMENT_ERROR(decoder, STREAM, CODEC_NOT_FOUND, (nullptr),
                          ("no decoder takes %" GST_PTR_FORMAT, static_cast<void*>(caps)));
        return FALSE;
    }
    return TRUE;
}

// Hands one decoded frame downstream, telling downstream first when its layout is new. `whole` when it stands for
// the input frame (while draining, when the base class holds none); otherwise one of several from one packet.
GstFlowReturn Output(GstAudioDecoder* decoder, GstBuffer* samples, const GstAudioInfo& info, bool whole) {
    DecoderState& state = StateOf(decoder);
    if (gst_buffer_get_size(samples) == 0) {
        gst_buffer_unref(samples);
        return GST_FLOW_OK;
    }
    if (!state.outputSet || !gst_audio_info_is_equal(&state.outputInfo, &info)) {
        if (!gst_audio_decoder_set_output_format(decoder, &info)) {
            gst_buffer_unref(samples);
            GST_ELEMENT_ERROR(decoder, CORE, NEGOTIATION, (nullptr), ("the decoded samples' layout was refused"));
            return GST_FLOW_NOT_NEGOTIATED;
        }
        state.outputInfo = info;
        state.outputSet = true;
    }
    return whole ? gst_audio_decoder_finish_frame(decoder, samples, 1)
                 : gst_audio_decoder_finish_subframe(decoder, samples);
}

// Decodes one packet (nullptr: drains the decoder at the end) and accounts for the input frame as the base class
// wants it: every decoded frame as a subframe of it, then the input frame itself as done.
GstFlowReturn HandleFrame(GstAudioDecoder* decoder, GstBuffer* input) {
    DecoderState& state = StateOf(decoder);
    if (!state.codec) {
        if (input) gst_audio_decoder_finish_frame(decoder, nullptr, 1);
        return GST_FLOW_NOT_NEGOTIATED;
    }
    GstFlowReturn flow = GST_FLOW_OK;
    const LibavCodec::Receiver receive = [&](GstBuffer* samples, const GstAudioInfo& info,
                                             std::optional<std::int64_t>) {
        flow = Output(decoder, samples, info, input == nullptr);
        return flow == GST_FLOW_OK;
    };
    if (!input) {
        state.codec->Decode(nullptr, receive);
        return flow;
    }

    // libav's readers may look a little past the packet's end: a copy with zeroed padding.
    const Packet packet(av_packet_alloc());
    const std::size_t size = gst_buffer_get_size(input);
    if (!packet || size > INT32_MAX - AV_INPUT_BUFFER_PADDING_SIZE ||
        av_new_packet(packet.get(), static_cast<int>(size)) < 0) {
        GST_ELEMENT_ERROR(decoder, RESOURCE, FAILED, (nullptr), ("no memory for a packet of %zu bytes", size));
        gst_audio_decoder_finish_frame(decoder, nullptr, 1);
        return GST_FLOW_ERROR;
    }
    gst_buffer_extract(input, 0, packet->data, size);
    bool gaveSamples = false;
    const LibavCodec::Receiver receiveSubframe = [&](GstBuffer* samples, const GstAudioInfo& info,
                                                     std::optional<std::int64_t> time) {
        gaveSamples = true;
        return receive(samples, info, time);
    };
    const LibavCodec::Outcome outcome = state.codec->Decode(packet.get(), receiveSubframe);
    if (flow != GST_FLOW_OK) return flow;
    if (outcome == LibavCodec::Outcome::Damaged) {
        // A damaged packet is skipped; only a run of them (the base class's max-errors) fails the stream, so a web
        // stream survives a bad patch.
        GST_AUDIO_DECODER_ERROR(decoder, 1, STREAM, DECODE, (nullptr), ("a damaged packet of %zu bytes", size), flow);
        if (flow != GST_FLOW_OK) return flow;
    }
    return gaveSamples ? gst_audio_decoder_finish_subframe(decoder, nullptr)
                       : gst_audio_decoder_finish_frame(decoder, nullptr, 1);
}

// The time of the sample boundary nearest to `time`, rounded up to the nanosecond.
GstClockTime OnSampleGrid(GstClockTime time, int rate) {
    return gst_util_uint64_scale_int_ceil(gst_util_uint64_scale_int_round(time, rate, GST_SECOND), GST_SECOND, rate);
}

// An MP4 edit list names where the sound starts after the AAC encoder's priming, in samples; the demuxer hands it as
// the segment's start in nanoseconds rounded down, and the base class's clipping, which rounds down again, then keeps
// the last priming sample: a click at every gapless join. The segment's ends are put on the samples they name.
gboolean HandleSinkEvent(GstAudioDecoder* decoder, GstEvent* event) {
    const int rate = StateOf(decoder).inputRate;
    const GstSegment* received = nullptr;
    if (GST_EVENT_TYPE(event) == GST_EVENT_SEGMENT && rate > 0) gst_event_parse_segment(event, &received);
    if (received && received->format == GST_FORMAT_TIME && received->rate == 1.0) {
        GstSegment segment;
        gst_segment_copy_into(received, &segment);
        segment.start = OnSampleGrid(segment.start, rate);
        if (GST_CLOCK_TIME_IS_VALID(segment.stop))
            segment.stop = std::max(OnSampleGrid(segment.stop, rate), segment.start);
        if (segment.position < segment.start) segment.position = segment.start;
        GstEvent* placed = gst_event_new_segment(&segment);
        gst_event_set_seqnum(placed, gst_event_get_seqnum(event));
        gst_event_unref(event);
        event = placed;
    }
    return parentClass->sink_event(decoder, event);
}

void Flush(GstAudioDecoder* decoder, gboolean) {
    DecoderState& state = StateOf(decoder);
    if (state.codec) state.codec->Flush();
}

void InstanceInit(GTypeInstance* instance, gpointer) {
    auto* self = reinterpret_cast<MediaAudioDecoder*>(instance);
    new (&self->state) DecoderState();
    gst_audio_decoder_set_drainable(&self->parent, TRUE);
    gst_audio_decoder_set_needs_format(&self->parent, TRUE);
    gst_audio_decoder_set_max_errors(&self->parent, kMaxDamagedPackets);
}

void Finalize(GObject* object) {
    reinterpret_cast<MediaAudioDecoder*>(object)->state.~DecoderState();
    G_OBJECT_CLASS(parentClass)->finalize(object);
}

void ClassInit(gpointer classPointer, gpointer) {
    auto* decoderClass = static_cast<GstAudioDecoderClass*>(classPointer);
    parentClass = static_cast<GstAudioDecoderClass*>(g_type_class_peek_parent(classPointer));
    G_OBJECT_CLASS(classPointer)->finalize = Finalize;
    DescribeDecoder(GST_ELEMENT_CLASS(classPointer), kSinkCaps, kSourceCaps, "Media audio decoder",
                    "Decodes AAC, ALAC, WMA, AC-3 and DTS streams with libav");
    decoderClass->start = Start;
    decoderClass->stop = Stop;
    decoderClass->set_format = SetFormat;
    decoderClass->handle_frame = HandleFrame;
    decoderClass->flush = Flush;
    decoderClass->sink_event = HandleSinkEvent;
}

}  // namespace

bool RegisterLibavAudioDecoder(GstPlugin* plugin) {
    GST_DEBUG_CATEGORY_INIT(audioDecoderDebug, "mediaaudiodecoder", 0, "The media player's libav audio decoder");
    const GType type =
        g_type_register_static_simple(GST_TYPE_AUDIO_DECODER, "MediaAudioDecoder", sizeof(MediaAudioDecoderClass),
                                      ClassInit, sizeof(MediaAudioDecoder), InstanceInit, static_cast<GTypeFlags>(0));
    return gst_element_register(plugin, "mediaaudiodecoder", kOurRank, type);
}

}  // namespace mediaplayer::decoders
