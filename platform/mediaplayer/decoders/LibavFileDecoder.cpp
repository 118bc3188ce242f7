// mediafiledecoder: whole files that libav demuxes and decodes (ASF/WMA, Monkey's Audio, AIFF, MPEG program
// streams), read in pull mode through the sink pad and played as one audio stream on a sometimes source pad.
#include "platform/mediaplayer/decoders/AsfPacketLengths.h"
#include "platform/mediaplayer/decoders/Elements.h"
#include "platform/mediaplayer/decoders/LibavCodec.h"

extern "C" {
#include <libavformat/avformat.h>
#include <libavutil/mathematics.h>
}

#include <algorithm>
#include <atomic>
#include <cstdint>
#include <cstdlib>
#include <functional>
#include <iterator>
#include <limits>
#include <memory>
#include <new>
#include <vector>

GST_DEBUG_CATEGORY_STATIC(fileDecoderLog);
#define GST_CAT_DEFAULT fileDecoderLog

namespace mediaplayer::decoders {
namespace {

constexpr const char* kFactoryName = "mediafiledecoder";

GstStaticPadTemplate sinkTemplate =
    GST_STATIC_PAD_TEMPLATE("sink", GST_PAD_SINK, GST_PAD_ALWAYS,
                            GST_STATIC_CAPS("video/x-ms-asf; application/x-ape; audio/x-ape; audio/x-aiff; "
                                            "video/mpeg, systemstream = (boolean) true"));

GstStaticPadTemplate srcTemplate =
    GST_STATIC_PAD_TEMPLATE("src_%u", GST_PAD_SRC, GST_PAD_SOMETIMES,
                            GST_STATIC_CAPS("audio/x-raw, format = (string) { U8, S16LE, S32LE, F32LE, F64LE }, "
                                            "layout = (string) interleaved"));

// libav's demuxer for the media type the type finder named: chosen, not probed, so a file is read as what it is.
// GStreamer's type finder names Monkey's Audio application/x-ape; audio/x-ape is taken too.
const AVInputFormat* InputFormatFor(GstCaps* caps) {
    if (!caps || gst_caps_is_empty(caps) || gst_caps_is_any(caps)) return nullptr;
    const gchar* name = gst_structure_get_name(gst_caps_get_structure(caps, 0));
    const std::pair<const char*, const char*> formats[] = {{"video/x-ms-asf", "asf"},
                                                           {"application/x-ape", "ape"},
                                                           {"audio/x-ape", "ape"},
                                                           {"audio/x-aiff", "aiff"},
                                                           {"video/mpeg", "mpeg"}};
    for (const auto& [media, format] : formats)
        if (g_str_equal(name, media)) return av_find_input_format(format);
    return nullptr;
}

std::int64_t ToNanoseconds(std::int64_t value, AVRational timeBase) {
    return av_rescale_q(value, timeBase, AVRational{1, GST_SECOND});
}

// The decoder's state, owned by the element instance.
class FileDecoder {
public:
    explicit FileDecoder(GstElement* element);
    ~FileDecoder();
    FileDecoder(const FileDecoder&) = delete;
    FileDecoder& operator=(const FileDecoder&) = delete;

    static gboolean ActivateSink(GstPad* pad, GstObject* parent);
    static gboolean ActivateSinkMode(GstPad* pad, GstObject* parent, GstPadMode mode, gboolean active);
    static gboolean HandleSinkEvent(GstPad* pad, GstObject* parent, GstEvent* event);
    static gboolean HandleSourceEvent(GstPad* pad, GstObject* parent, GstEvent* event);
    static gboolean HandleSourceQuery(GstPad* pad, GstObject* parent, GstQuery* query);
    static void RunLoop(gpointer self) { static_cast<FileDecoder*>(self)->Loop(); }

    bool Seek(GstEvent* event);
    void Reset();  // back to before the file was opened, once the streaming task has stopped

private:
    static int ReadPacketData(void* self, std::uint8_t* data, int size);
    static std::int64_t SeekData(void* self, std::int64_t offset, int whence);
    std::vector<std::uint8_t> Pull(std::uint64_t offset, std::size_t size);
    static int Interrupted(void* self) { return static_cast<FileDecoder*>(self)->flushing_.load() ? 1 : 0; }

    enum class Opening { Opened, Interrupted, Unreadable, Soundless, Undecodable };

    void Loop();
    Opening Open();
    void Close();
    void ApplySeek();
    void BackOff();  // the seek landed wrong: the next one starts further back
    bool DecodePacket(const AVPacket* packet);
    bool Receive(GstBuffer* samples, const GstAudioInfo& info, std::optional<std::int64_t> time);
    void EnsurePad(const GstAudioInfo& info);
    void PushSegment();
    void End();
    void Pause(GstFlowReturn flow);
    void Fail(GstStreamError code, const char* message);

    GstElement* element_;
    GstPad* sinkPad_;
    // Set by the streaming task, read by a seek from any thread: one of the two always sees the other's flag.
    std::atomic<GstPad*> srcPad_{nullptr};
    // Tags an element before this one read (the APE tag a tag demuxer strips), under the element's object lock.
    GstTagList* upstreamTags_ = nullptr;

    // Set while a flush or a teardown is under way: libav's blocking calls return at once, and reads fail.
    std::atomic<bool> flushing_{false};
    // What queries from other threads read: the duration in ns (-1 unknown), whether seeks work, the position.
    std::atomic<std::int64_t> duration_{-1};
    std::atomic<bool> seekable_{false};
    std::atomic<std::int64_t> position_{0};

    // Everything below belongs to the streaming task, or to whoever holds the sink pad's stream lock.
    AVIOContext* io_ = nullptr;
    AVFormatContext* format_ = nullptr;
    std::unique_ptr<LibavCodec> codec_;
    AVPacket* packet_ = nullptr;
    int stream_ = -1;
    AVRational timeBase_{1, 1};
    std::int64_t streamStart_ = 0;  // in timeBase_
    std::uint64_t offset_ = 0;      // the read position in the file, in bytes
    std::int64_t size_ = -1;
    AsfPacketLengths asfPackets_;

    GstSegment segment_;
    std::uint32_t seqnum_ = 0;
    bool seekPending_ = false;    // segment_.start is where libav must go once the file is open
    bool checkLanding_ = false;   // the next frame tells whether libav's seek landed late
    std::int64_t backoff_ = 0;    // ns before segment_.start the seek aims at, after a late landing
    bool segmentPending_ = true;  // the segment event goes out before the next buffer
    bool opened_ = false;
    bool failed_ = false;

    GstAudioInfo info_;           // the layout of the source pad's caps
    bool infoSent_ = false;       // caps for info_ are on the pad
    std::int64_t next_ = -1;      // the sample the next frame should start on; -1 until a frame says where
    std::int64_t tolerance_ = 1;  // how far, in samples, a container's rounded times may stray from the count
    bool decodedAny_ = false;
    bool refusedAny_ = false;        // since the file was opened
    bool sentAny_ = false;           // a packet of the stream went to the decoder
    std::int64_t refusedSince_ = 0;  // ns of packets the decoder refused since the last frame it gave
    int refusedPackets_ = 0;
    bool reachedStop_ = false;
    GstFlowReturn flow_ = GST_FLOW_OK;

    struct DecodedFrame {
        GstBuffer* samples;
        GstAudioInfo info;
        std::optional<std::int64_t> time;
    };
    std::vector<DecodedFrame> held_;  // the frames of the packet being decoded
};

FileDecoder* DecoderOf(GstObject* parent);

FileDecoder::FileDecoder(GstElement* element) : element_(element) {
    sinkPad_ = gst_pad_new_from_static_template(&sinkTemplate, "sink");
    gst_pad_set_activate_function(sinkPad_, ActivateSink);
    gst_pad_set_activatemode_function(sinkPad_, ActivateSinkMode);
    gst_pad_set_event_function(sinkPad_, HandleSinkEvent);
    gst_element_add_pad(element_, sinkPad_);
    gst_segment_init(&segment_, GST_FORMAT_TIME);
    gst_audio_info_init(&info_);
}

FileDecoder::~FileDecoder() {
    Close();
    if (upstreamTags_) gst_tag_list_unref(upstreamTags_);
}

gboolean FileDecoder::HandleSinkEvent(GstPad* pad, GstObject* parent, GstEvent* event) {
    if (GST_EVENT_TYPE(event) != GST_EVENT_TAG) return gst_pad_event_default(pad, parent, event);
    FileDecoder& self = *DecoderOf(parent);
    GstTagList* tags = nullptr;
    gst_event_parse_tag(event, &tags);
    GST_OBJECT_LOCK(parent);
    GstTagList* merged = gst_tag_list_merge(self.upstreamTags_, tags, GST_TAG_MERGE_REPLACE);
    if (self.upstreamTags_) gst_tag_list_unref(self.upstreamTags_);
    self.upstreamTags_ = merged;
    GST_OBJECT_UNLOCK(parent);
    gst_event_unref(event);
    return TRUE;
}

gboolean FileDecoder::ActivateSink(GstPad* pad, GstObject*) {
    // Only a source that reads anywhere on request will do (a file): libav seeks about the container. Refusing
    // anything else lets the decoding bin try another element, such as a streaming demuxer for a network stream.
    GstQuery* query = gst_query_new_scheduling();
    bool pull = false;
    if (gst_pad_peer_query(pad, query))
        pull = gst_query_has_scheduling_mode_with_flags(query, GST_PAD_MODE_PULL, GST_SCHEDULING_FLAG_SEEKABLE);
    gst_query_unref(query);
    if (!pull) {
        GST_DEBUG_OBJECT(pad, "upstream cannot be read in pull mode");
        return FALSE;
    }
    return gst_pad_activate_mode(pad, GST_PAD_MODE_PULL, TRUE);
}

gboolean FileDecoder::ActivateSinkMode(GstPad* pad, GstObject* parent, GstPadMode mode, gboolean active) {
    if (mode != GST_PAD_MODE_PULL) return FALSE;
    FileDecoder& self = *DecoderOf(parent);
    if (active) {
        self.flushing_ = false;
        return gst_pad_start_task(pad, RunLoop, &self, nullptr);
    }
    // Wakes libav wherever it waits, then waits for the task to end.
    self.flushing_ = true;
    return gst_pad_stop_task(pad);
}

void FileDecoder::Reset() {
    Close();
    if (srcPad_) {
        gst_element_remove_pad(element_, srcPad_);
        srcPad_ = nullptr;
    }
    GST_OBJECT_LOCK(element_);
    if (upstreamTags_) gst_tag_list_unref(upstreamTags_);
    upstreamTags_ = nullptr;
    GST_OBJECT_UNLOCK(element_);
    gst_segment_init(&segment_, GST_FORMAT_TIME);
    seqnum_ = 0;
    seekPending_ = checkLanding_ = false;
    backoff_ = 0;
    segmentPending_ = true;
    opened_ = failed_ = false;
    gst_audio_info_init(&info_);
    infoSent_ = false;
    next_ = -1;
    decodedAny_ = refusedAny_ = sentAny_ = reachedStop_ = false;
    refusedSince_ = 0;
    refusedPackets_ = 0;
    flow_ = GST_FLOW_OK;
    duration_ = -1;
    seekable_ = false;
    position_ = 0;
}

int FileDecoder::ReadPacketData(void* opaque, std::uint8_t* data, int size) {
    auto& self = *static_cast<FileDecoder*>(opaque);
    if (self.flushing_) return AVERROR_EXIT;
    if (self.size_ >= 0 && self.offset_ >= static_cast<std::uint64_t>(self.size_)) return AVERROR_EOF;
    GstBuffer* buffer = nullptr;
    const GstFlowReturn flow = gst_pad_pull_range(self.sinkPad_, self.offset_, static_cast<guint>(size), &buffer);
    if (flow == GST_FLOW_EOS) return AVERROR_EOF;
    if (flow != GST_FLOW_OK) return flow == GST_FLOW_FLUSHING ? AVERROR_EXIT : AVERROR(EIO);
    const gsize read = gst_buffer_extract(buffer, 0, data, static_cast<gsize>(size));
    gst_buffer_unref(buffer);
    if (read == 0) return AVERROR_EOF;
    self.asfPackets_.Mend(self.offset_, data, read,
                          [&self](std::uint64_t at, std::size_t bytes) { return self.Pull(at, bytes); });
    self.offset_ += read;
    return static_cast<int>(read);
}

std::vector<std::uint8_t> FileDecoder::Pull(std::uint64_t offset, std::size_t size) {
    std::vector<std::uint8_t> bytes;
    GstBuffer* buffer = nullptr;
    if (gst_pad_pull_range(sinkPad_, offset, static_cast<guint>(size), &buffer) != GST_FLOW_OK) return bytes;
    bytes.resize(gst_buffer_get_size(buffer));
    bytes.resize(gst_buffer_extract(buffer, 0, bytes.data(), bytes.size()));
    gst_buffer_unref(buffer);
    return bytes;
}

std::int64_t FileDecoder::SeekData(void* opaque, std::int64_t offset, int whence) {
    auto& self = *static_cast<FileDecoder*>(opaque);
    std::int64_t to = -1;
    switch (whence & ~AVSEEK_FORCE) {
        case AVSEEK_SIZE: return self.size_ >= 0 ? self.size_ : AVERROR(ENOSYS);
        case SEEK_SET: to = offset; break;
        case SEEK_CUR: to = static_cast<std::int64_t>(self.offset_) + offset; break;
        case SEEK_END:
            if (self.size_ < 0) return AVERROR(ENOSYS);
            to = self.size_ + offset;
            break;
        default: return AVERROR(EINVAL);
    }
    if (to < 0) return AVERROR(EINVAL);
    self.offset_ = static_cast<std::uint64_t>(to);
    return to;
}

FileDecoder::Opening FileDecoder::Open() {
    gint64 size = -1;
    size_ = gst_pad_peer_query_duration(sinkPad_, GST_FORMAT_BYTES, &size) ? size : -1;
    offset_ = 0;
    constexpr int kBufferBytes = 32768;
    auto* buffer = static_cast<std::uint8_t*>(av_malloc(kBufferBytes));
    io_ = buffer ? avio_alloc_context(buffer, kBufferBytes, 0, this, ReadPacketData, nullptr, SeekData) : nullptr;
    if (!io_) {
        av_free(buffer);
        return Opening::Unreadable;
    }
    format_ = avformat_alloc_context();
    if (!format_) return Opening::Unreadable;
    format_->pb = io_;
    format_->flags |= AVFMT_FLAG_CUSTOM_IO;
    format_->interrupt_callback = AVIOInterruptCB{Interrupted, this};
    // Bounded probing: a hostile file cannot make the stream search read or decode for long.
    format_->probesize = 2 << 20;
    format_->max_analyze_duration = 3 * AV_TIME_BASE;
    GstCaps* caps = gst_pad_peer_query_caps(sinkPad_, nullptr);
    const AVInputFormat* input = InputFormatFor(caps);
    if (caps) gst_caps_unref(caps);
    asfPackets_ = AsfPacketLengths();
    if (input && g_str_equal(input->name, "asf"))
        asfPackets_.Learn([this](std::uint64_t at, std::size_t bytes) { return Pull(at, bytes); });
    // On failure libav frees the context (but not our reader) and clears the pointer.
    const bool read =
        avformat_open_input(&format_, nullptr, input, nullptr) >= 0 && avformat_find_stream_info(format_, nullptr) >= 0;
    if (flushing_) return Opening::Interrupted;
    if (!read) return Opening::Unreadable;
    stream_ = av_find_best_stream(format_, AVMEDIA_TYPE_AUDIO, -1, -1, nullptr, 0);
    if (stream_ < 0) return Opening::Soundless;
    AVStream* stream = format_->streams[stream_];
    // Only the sound is read: libav skips the other streams' packets (a video's pictures) as it demuxes.
    for (unsigned i = 0; i < format_->nb_streams; ++i)
        if (static_cast<int>(i) != stream_) format_->streams[i]->discard = AVDISCARD_ALL;
    timeBase_ = stream->time_base;
    // Monkey's Audio carries a checksum of every frame's samples: checked, noise that decodes to noise is refused.
    codec_ = LibavCodec::Open(*stream->codecpar, timeBase_, stream->codecpar->codec_id == AV_CODEC_ID_APE);
    packet_ = av_packet_alloc();
    if (!codec_ || !packet_ || timeBase_.num <= 0 || timeBase_.den <= 0) return Opening::Undecodable;
    streamStart_ = stream->start_time != AV_NOPTS_VALUE ? stream->start_time : 0;
    if (stream->duration != AV_NOPTS_VALUE && stream->duration > 0)
        duration_ = ToNanoseconds(stream->duration, timeBase_);
    else if (format_->duration != AV_NOPTS_VALUE && format_->duration > 0)
        duration_ = av_rescale(format_->duration, GST_SECOND, AV_TIME_BASE);
    seekable_ = size_ >= 0 && duration_ > 0;
    const int rate = stream->codecpar->sample_rate > 0 ? stream->codecpar->sample_rate : 48000;
    // A container's tick may be coarser than a sample (ASF counts milliseconds).
    tolerance_ = av_rescale(rate, timeBase_.num, timeBase_.den) + 1;
    return Opening::Opened;
}

void FileDecoder::Close() {
    for (const DecodedFrame& frame : held_) gst_buffer_unref(frame.samples);
    held_.clear();
    codec_.reset();
    av_packet_free(&packet_);
    if (format_) avformat_close_input(&format_);
    if (io_) {
        av_freep(&io_->buffer);
        avio_context_free(&io_);
    }
    stream_ = -1;
}

void FileDecoder::Loop() {
    if (!opened_) {
        const Opening opening = Open();
        if (opening != Opening::Opened) Close();
        switch (opening) {
            case Opening::Opened: opened_ = true; break;
            // A flush or a teardown cut the opening short: it starts again when the task does.
            case Opening::Interrupted: return Pause(GST_FLOW_FLUSHING);
            case Opening::Unreadable: return Fail(GST_STREAM_ERROR_DEMUX, "The file cannot be read.");
            case Opening::Soundless: return Fail(GST_STREAM_ERROR_WRONG_TYPE, "The file has no sound.");
            case Opening::Undecodable:
                return Fail(GST_STREAM_ERROR_CODEC_NOT_FOUND, "The file's sound cannot be decoded.");
        }
    }
    if (seekPending_) ApplySeek();

    const int read = av_read_frame(format_, packet_);
    if (read < 0) {
        GST_DEBUG_OBJECT(element_, "read: %d, decoded %d, flushing %d", read, decodedAny_, flushing_.load());
        if (flushing_) return Pause(GST_FLOW_FLUSHING);
        // A seek that found nothing to read before the end landed wrong (a container's index that points past its
        // sound): it goes further back, as one that lands late does, at last to the very start.
        if (checkLanding_) return BackOff();
        if (read != AVERROR_EOF && !decodedAny_) return Fail(GST_STREAM_ERROR_DEMUX, "The file is damaged.");
        // A read error after sound was decoded is a damaged or cut tail: the track ends there.
        const bool drained = DecodePacket(nullptr);
        if (failed_) return;
        return drained || reachedStop_ ? End() : Pause(flow_);
    }
    const bool ours = packet_->stream_index == stream_;
    sentAny_ = sentAny_ || ours;
    const bool go = !ours || DecodePacket(packet_);
    av_packet_unref(packet_);
    if (!go) {
        if (failed_) return;
        if (reachedStop_) return End();
        Pause(flow_);
    }
}

bool FileDecoder::DecodePacket(const AVPacket* packet) {
    const auto outcome =
        codec_->Decode(packet, [this](GstBuffer* samples, const GstAudioInfo& info, std::optional<std::int64_t> time) {
            held_.push_back({samples, info, time});
            return true;
        });
    // A packet's samples go out once the decoder has taken all of it: a checksum at its end may still refuse it.
    std::int64_t heldTime = 0;
    bool go = true;
    for (const DecodedFrame& frame : held_) {
        heldTime += static_cast<std::int64_t>(GST_BUFFER_DURATION(frame.samples));
        if (go && !seekPending_ && outcome == LibavCodec::Outcome::Decoded)
            go = Receive(frame.samples, frame.info, frame.time);
        else
            gst_buffer_unref(frame.samples);
    }
    held_.clear();
    if (outcome != LibavCodec::Outcome::Damaged) return go;
    // A damaged packet is skipped; a decoder that refuses a second's worth in a row cannot read this file.
    const std::int64_t stated = packet && packet->duration > 0 ? ToNanoseconds(packet->duration, timeBase_) : 0;
    refusedSince_ += std::max(stated, heldTime);
    ++refusedPackets_;
    refusedAny_ = true;
    GST_DEBUG_OBJECT(element_, "packet refused (%d in a row)", refusedPackets_);
    if (refusedSince_ <= GST_SECOND && refusedPackets_ <= 100) return true;
    Fail(GST_STREAM_ERROR_DECODE, "The file's sound is damaged beyond decoding.");
    return false;
}

void FileDecoder::ApplySeek() {
    seekPending_ = false;
    const std::int64_t wanted = std::max<std::int64_t>(0, static_cast<std::int64_t>(segment_.start) - backoff_);
    const std::int64_t target = streamStart_ + av_rescale_q(wanted, AVRational{1, GST_SECOND}, timeBase_);
    // Backwards: decoding starts at or before the target, and Receive drops what lies before it. Where the
    // container has no index libav searches by time and may land a little late: Receive checks where it landed.
    // A flush that cut a read short left the reader marked as ended in error, and libav reads nothing more from a
    // reader so marked, even after a seek: the mark goes, as the read it stood for was ours to stop.
    io_->eof_reached = 0;
    io_->error = 0;
    const int sought = av_seek_frame(format_, stream_, target, AVSEEK_FLAG_BACKWARD);
    GST_DEBUG_OBJECT(element_, "seek to %" GST_TIME_FORMAT ": %d", GST_TIME_ARGS(wanted), sought);
    checkLanding_ = wanted > 0;
    codec_->Flush();
    next_ = -1;
    reachedStop_ = false;
}

void FileDecoder::BackOff() {
    // Half a second, then twice as far each time, at last the very start.
    backoff_ = backoff_ ? backoff_ * 2 : GST_SECOND / 2;
    checkLanding_ = false;
    seekPending_ = true;
}

bool FileDecoder::Receive(GstBuffer* samples, const GstAudioInfo& info, std::optional<std::int64_t> time) {
    const int rate = GST_AUDIO_INFO_RATE(&info);
    const int frameBytes = GST_AUDIO_INFO_BPF(&info);
    const auto frames = static_cast<std::int64_t>(gst_buffer_get_size(samples) / std::max(frameBytes, 1));
    decodedAny_ = true;
    refusedSince_ = 0;
    refusedPackets_ = 0;
    // Where the frame starts, in samples: counted on from the frame before, so that times rounded by the
    // container do not make gaps or overlaps; a container's time that strays further (a skipped packet) wins,
    // within reason: a hostile time hours away must not hold the output in silence.
    std::optional<std::int64_t> stated;
    if (time) stated = av_rescale(*time - ToNanoseconds(streamStart_, timeBase_), rate, GST_SECOND);
    const std::int64_t start = av_rescale(static_cast<std::int64_t>(segment_.start), rate, GST_SECOND);
    std::int64_t first = 0;
    if (next_ < 0) {
        first = stated ? *stated : start;
        // Where decoding began from the file's start, a first time far beyond (a broken or hostile file) is taken
        // as the start: believed, it would hold the output in silence until then.
        if (!checkLanding_ && first > start + 2 * rate) first = start;
    } else if (stated && std::abs(*stated - next_) > tolerance_ && std::abs(*stated - next_) < 2 * rate)
        first = *stated;
    else
        first = next_;
    next_ = first + frames;

    EnsurePad(info);
    if (checkLanding_) {
        checkLanding_ = false;
        if (first > start + tolerance_) {
            // Landed after the target: go further back, so that no sample of the segment is lost.
            BackOff();
            gst_buffer_unref(samples);
            return true;
        }
    }
    const std::int64_t stop = GST_CLOCK_TIME_IS_VALID(segment_.stop)
                                  ? av_rescale(static_cast<std::int64_t>(segment_.stop), rate, GST_SECOND)
                                  : std::numeric_limits<std::int64_t>::max();
    const std::int64_t from = std::max(first, start), to = std::min(first + frames, stop);
    if (first + frames >= stop) reachedStop_ = true;
    if (to <= from) {
        gst_buffer_unref(samples);
        return !reachedStop_;
    }
    if (from != first || to != first + frames)
        samples = gst_audio_buffer_truncate(samples, frameBytes, static_cast<gsize>(from - first),
                                            static_cast<gsize>(to - from));
    const auto pts = static_cast<GstClockTime>(av_rescale(from, GST_SECOND, rate));
    const auto end = static_cast<GstClockTime>(av_rescale(to, GST_SECOND, rate));
    GST_BUFFER_PTS(samples) = pts;
    GST_BUFFER_DURATION(samples) = end - pts;
    if (segmentPending_) PushSegment();
    position_ = static_cast<std::int64_t>(end);
    // A flush begun before the pad was there could not wake this push: it is not made.
    if (flushing_) {
        gst_buffer_unref(samples);
        flow_ = GST_FLOW_FLUSHING;
        return false;
    }
    flow_ = gst_pad_push(srcPad_, samples);
    return flow_ == GST_FLOW_OK && !reachedStop_;
}

void FileDecoder::EnsurePad(const GstAudioInfo& info) {
    const bool same = infoSent_ && gst_audio_info_is_equal(&info, &info_);
    if (same) return;
    info_ = info;
    infoSent_ = true;
    GstCaps* caps = gst_audio_info_to_caps(&info_);
    if (srcPad_) {
        gst_pad_set_caps(srcPad_, caps);
        gst_caps_unref(caps);
        return;
    }
    // The pad is added with what it carries already on it, so the decoding bin links it knowing its caps.
    srcPad_ = gst_pad_new_from_static_template(&srcTemplate, "src_0");
    gst_pad_set_event_function(srcPad_, HandleSourceEvent);
    gst_pad_set_query_function(srcPad_, HandleSourceQuery);
    gst_pad_use_fixed_caps(srcPad_);
    gst_pad_set_active(srcPad_, TRUE);
    gchar* id = gst_pad_create_stream_id(srcPad_, element_, "audio");
    GstEvent* start = gst_event_new_stream_start(id);
    g_free(id);
    gst_event_set_group_id(start, gst_util_group_id_next());
    gst_pad_push_event(srcPad_, start);
    gst_pad_set_caps(srcPad_, caps);
    gst_caps_unref(caps);
    PushSegment();

    GST_OBJECT_LOCK(element_);
    GstTagList* tags = upstreamTags_ ? gst_tag_list_copy(upstreamTags_) : gst_tag_list_new_empty();
    GST_OBJECT_UNLOCK(element_);
    gst_tag_list_set_scope(tags, GST_TAG_SCOPE_GLOBAL);
    const std::pair<const char*, const char*> names[] = {
        {"title", GST_TAG_TITLE}, {"artist", GST_TAG_ARTIST}, {"author", GST_TAG_ARTIST}, {"album", GST_TAG_ALBUM}};
    for (AVDictionary* metadata : {format_->metadata, format_->streams[stream_]->metadata})
        for (const auto& [key, tag] : names)
            if (const AVDictionaryEntry* entry = av_dict_get(metadata, key, nullptr, 0);
                entry && entry->value && *entry->value && g_utf8_validate(entry->value, -1, nullptr) &&
                !gst_tag_list_get_tag_size(tags, tag))
                gst_tag_list_add(tags, GST_TAG_MERGE_KEEP, tag, entry->value, nullptr);
    if (gst_tag_list_is_empty(tags))
        gst_tag_list_unref(tags);
    else
        gst_pad_push_event(srcPad_, gst_event_new_tag(tags));
    gst_element_add_pad(element_, srcPad_);
    gst_element_no_more_pads(element_);
}

void FileDecoder::PushSegment() {
    segmentPending_ = false;
    GstEvent* event = gst_event_new_segment(&segment_);
    if (seqnum_) gst_event_set_seqnum(event, seqnum_);
    gst_pad_push_event(srcPad_, event);
}

// The stream's end, or the segment's: EOS, or SEGMENT_DONE for a segment seek.
void FileDecoder::End() {
    GST_DEBUG_OBJECT(element_, "end at %" GST_TIME_FORMAT, GST_TIME_ARGS(position_.load()));
    if (!decodedAny_) {
        if (refusedAny_ || !sentAny_)
            return Fail(GST_STREAM_ERROR_DECODE, "The file holds no sound that can be decoded.");
        // The decoder took every packet and gave nothing: a sound shorter than its delay (a few milliseconds of
        // WMA). It plays as the empty track it is; the pad says what it would have carried.
        const AVCodecParameters& parameters = *format_->streams[stream_]->codecpar;
        GstAudioInfo info;
        gst_audio_info_set_format(&info, GST_AUDIO_FORMAT_S16,
                                  parameters.sample_rate > 0 ? parameters.sample_rate : 44100,
                                  parameters.ch_layout.nb_channels == 1 ? 1 : 2, nullptr);
        EnsurePad(info);
    }
    const auto done = static_cast<gint64>(GST_CLOCK_TIME_IS_VALID(segment_.stop) ? segment_.stop : position_.load());
    if (segment_.flags & GST_SEGMENT_FLAG_SEGMENT) {
        GstMessage* message = gst_message_new_segment_done(GST_OBJECT(element_), GST_FORMAT_TIME, done);
        if (seqnum_) gst_message_set_seqnum(message, seqnum_);
        gst_element_post_message(element_, message);
        GstEvent* event = gst_event_new_segment_done(GST_FORMAT_TIME, done);
        if (seqnum_) gst_event_set_seqnum(event, seqnum_);
        gst_pad_push_event(srcPad_, event);
    } else {
        GstEvent* event = gst_event_new_eos();
        if (seqnum_) gst_event_set_seqnum(event, seqnum_);
        gst_pad_push_event(srcPad_, event);
    }
    gst_pad_pause_task(sinkPad_);
}

void FileDecoder::Pause(GstFlowReturn flow) {
    GST_DEBUG_OBJECT(element_, "pausing: %s", gst_flow_get_name(flow));
    gst_pad_pause_task(sinkPad_);
    if (flow == GST_FLOW_FLUSHING || flow == GST_FLOW_OK || flow == GST_FLOW_EOS) return;
    if (flow == GST_FLOW_NOT_LINKED || flow < GST_FLOW_EOS) {
        GST_ELEMENT_FLOW_ERROR(element_, flow);
        if (srcPad_) gst_pad_push_event(srcPad_, gst_event_new_eos());
    }
}

void FileDecoder::Fail(GstStreamError code, const char* message) {
    failed_ = true;
    gst_element_message_full(element_, GST_MESSAGE_ERROR, GST_STREAM_ERROR, code, g_strdup(message), nullptr, __FILE__,
                             GST_FUNCTION, __LINE__);
    if (srcPad_) gst_pad_push_event(srcPad_, gst_event_new_eos());
    gst_pad_pause_task(sinkPad_);
}

bool FileDecoder::Seek(GstEvent* event) {
    gdouble rate = 1;
    GstFormat format = GST_FORMAT_UNDEFINED;
    GstSeekFlags flags = GST_SEEK_FLAG_NONE;
    GstSeekType startType = GST_SEEK_TYPE_NONE, stopType = GST_SEEK_TYPE_NONE;
    gint64 start = 0, stop = 0;
    gst_event_parse_seek(event, &rate, &format, &flags, &startType, &start, &stopType, &stop);
    if (format != GST_FORMAT_TIME || rate <= 0) return false;
    // A start past the stop (a stop kept from the seek before) is no segment at all.
    const auto empty = [&] {
        const gint64 stopWanted = stopType == GST_SEEK_TYPE_SET ? stop
                                  : stopType == GST_SEEK_TYPE_NONE && GST_CLOCK_TIME_IS_VALID(segment_.stop)
                                      ? static_cast<gint64>(segment_.stop)
                                      : -1;
        return startType == GST_SEEK_TYPE_SET && stopWanted >= 0 && start > stopWanted;
    };
    if (empty()) return false;
    const bool flush = flags & GST_SEEK_FLAG_FLUSH;
    const std::uint32_t seqnum = gst_event_get_seqnum(event);
    if (flush) {
        flushing_ = true;
        if (srcPad_) {
            GstEvent* flushStart = gst_event_new_flush_start();
            gst_event_set_seqnum(flushStart, seqnum);
            gst_pad_push_event(srcPad_, flushStart);
        }
    } else {
        gst_pad_pause_task(sinkPad_);
    }
    GST_PAD_STREAM_LOCK(sinkPad_);
    gboolean update = FALSE;
    // Checked again: a seek that came in meanwhile may have set the stop.
    if (!empty())
        gst_segment_do_seek(&segment_, rate, format, flags, startType, static_cast<guint64>(start), stopType,
                            static_cast<guint64>(stop), &update);
    segment_.position = segment_.time = segment_.start;
    seqnum_ = seqnum;
    seekPending_ = segmentPending_ = true;
    backoff_ = 0;
    if (flush) {
        flushing_ = false;
        if (srcPad_) {
            GstEvent* flushStop = gst_event_new_flush_stop(TRUE);
            gst_event_set_seqnum(flushStop, seqnum);
            gst_pad_push_event(srcPad_, flushStop);
        }
    }
    // A seek before the pads are active is kept and applied when the task starts and the file is open.
    if (GST_PAD_MODE(sinkPad_) == GST_PAD_MODE_PULL && !failed_) gst_pad_start_task(sinkPad_, RunLoop, this, nullptr);
    GST_PAD_STREAM_UNLOCK(sinkPad_);
    return true;
}

gboolean FileDecoder::HandleSourceEvent(GstPad* pad, GstObject* parent, GstEvent* event) {
    if (GST_EVENT_TYPE(event) == GST_EVENT_SEEK) {
        const bool done = DecoderOf(parent)->Seek(event);
        gst_event_unref(event);
        return done;
    }
    return gst_pad_event_default(pad, parent, event);
}

gboolean FileDecoder::HandleSourceQuery(GstPad* pad, GstObject* parent, GstQuery* query) {
    FileDecoder& self = *DecoderOf(parent);
    GstFormat format = GST_FORMAT_UNDEFINED;
    switch (GST_QUERY_TYPE(query)) {
        case GST_QUERY_DURATION:
            gst_query_parse_duration(query, &format, nullptr);
            if (format != GST_FORMAT_TIME || self.duration_ < 0) return FALSE;
            gst_query_set_duration(query, GST_FORMAT_TIME, self.duration_);
            return TRUE;
        case GST_QUERY_POSITION:
            gst_query_parse_position(query, &format, nullptr);
            if (format != GST_FORMAT_TIME) return FALSE;
            gst_query_set_position(query, GST_FORMAT_TIME, self.position_);
            return TRUE;
        case GST_QUERY_SEEKING:
            gst_query_parse_seeking(query, &format, nullptr, nullptr, nullptr);
            if (format != GST_FORMAT_TIME) return FALSE;
            gst_query_set_seeking(query, GST_FORMAT_TIME, self.seekable_, 0,
                                  self.seekable_ ? self.duration_.load() : -1);
            return TRUE;
        default: return gst_pad_query_default(pad, parent, query);
    }
}

// The GObject around the state.
struct FileDecoderElement {
    GstElement element;
    alignas(FileDecoder) unsigned char storage[sizeof(FileDecoder)];
};

struct FileDecoderElementClass {
    GstElementClass elementClass;
};

GstElementClass* parentClass = nullptr;

FileDecoder* DecoderOf(GstObject* parent) {
    return std::launder(reinterpret_cast<FileDecoder*>(reinterpret_cast<FileDecoderElement*>(parent)->storage));
}

GstStateChangeReturn ChangeState(GstElement* element, GstStateChange transition) {
    FileDecoder& self = *DecoderOf(GST_OBJECT(element));
    const GstStateChangeReturn result = parentClass->change_state(element, transition);
    // The pads are inactive by now and the task has ended: nothing else touches the state.
    if (transition == GST_STATE_CHANGE_PAUSED_TO_READY) self.Reset();
    return result;
}

gboolean SendEvent(GstElement* element, GstEvent* event) {
    if (GST_EVENT_TYPE(event) != GST_EVENT_SEEK) return parentClass->send_event(element, event);
    // Taken even before the source pad exists: applied once the file is open.
    const bool done = DecoderOf(GST_OBJECT(element))->Seek(event);
    gst_event_unref(event);
    return done;
}

void Finalize(GObject* object) {
    DecoderOf(GST_OBJECT(object))->~FileDecoder();
    G_OBJECT_CLASS(parentClass)->finalize(object);
}

void ClassInit(gpointer klass, gpointer) {
    parentClass = GST_ELEMENT_CLASS(g_type_class_peek_parent(klass));
    G_OBJECT_CLASS(klass)->finalize = Finalize;
    auto* elementClass = GST_ELEMENT_CLASS(klass);
    elementClass->change_state = ChangeState;
    elementClass->send_event = SendEvent;
    gst_element_class_add_static_pad_template(elementClass, &sinkTemplate);
    gst_element_class_add_static_pad_template(elementClass, &srcTemplate);
    gst_element_class_set_static_metadata(elementClass, "Media file decoder", "Codec/Demuxer/Decoder/Audio",
                                          "Plays the sound of ASF, Monkey's Audio, AIFF and MPEG program stream "
                                          "files through libav",
                                          "media");
}

void InstanceInit(GTypeInstance* instance, gpointer) {
    auto* element = reinterpret_cast<FileDecoderElement*>(instance);
    new (element->storage) FileDecoder(GST_ELEMENT(instance));
}

GType FileDecoderType() {
    static gsize type = 0;
    if (g_once_init_enter(&type)) {
        const GType registered = g_type_register_static_simple(
            GST_TYPE_ELEMENT, "MediaFileDecoder", sizeof(FileDecoderElementClass), ClassInit,
            sizeof(FileDecoderElement), InstanceInit, static_cast<GTypeFlags>(0));
        g_once_init_leave(&type, registered);
    }
    return type;
}

}  // namespace

bool RegisterLibavFileDecoder(GstPlugin* plugin) {
    GST_DEBUG_CATEGORY_INIT(fileDecoderLog, kFactoryName, 0, "libav demuxing and decoding of whole files");
    return gst_element_register(plugin, kFactoryName, kOurRank, FileDecoderType());
}

}  // namespace mediaplayer::decoders
