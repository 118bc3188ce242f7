#include "platform/mediaplayer/decoders/Elements.h"
#include "platform/mediaplayer/decoders/MidiTempoMap.h"

#include <fluidsynth.h>
#include <gst/audio/audio.h>
#include <unistd.h>

#include <algorithm>
#include <climits>
#include <cstdint>
#include <memory>
#include <new>
#include <optional>
#include <string>
#include <vector>

namespace mediaplayer::decoders {
namespace {

GST_DEBUG_CATEGORY_STATIC(midiSynthDebug);
#define GST_CAT_DEFAULT midiSynthDebug

constexpr const char* kSinkCaps = "audio/midi; audio/riff-midi";
constexpr int kRate = 44100;
constexpr int kChannels = 2;
constexpr const char* kSourceCaps = "audio/x-raw, format = (string) " GST_AUDIO_NE(
    F32) ", layout = (string) interleaved, rate = (int) 44100, channels = (int) 2, channel-mask = (bitmask) 0x3";
constexpr int kBlockFrames = 1024;  // 23 ms a buffer
// Real MIDI files are a few hundred kilobytes at most; a larger one is refused rather than held in memory.
constexpr std::size_t kLargestFile = 4 << 20;
constexpr guint kReadSize = 64 << 10;
// What a file may claim: a longer one is damaged or hostile, and would play silence for hours.
constexpr std::int64_t kLongestMusic = 6 * 3600 * GST_SECOND;
// After the last event, the notes' release and the reverb ring on until the voices fall silent, at most this long.
constexpr std::int64_t kLongestTail = GST_SECOND;
// Where General MIDI sound fonts live when fluidsynth's own default is missing: Debian's alternatives.
constexpr const char* kSoundFonts[] = {"/usr/share/sounds/sf2/default-GM.sf2", "/usr/share/sounds/sf3/default-GM.sf3"};
constexpr gulong kSettlingMargin = 20'000;  // microseconds
// Our errors are posted where they happen; the task's end must not post another.
constexpr GstFlowReturn kReported = GST_FLOW_CUSTOM_ERROR;

struct SettingsDelete {
    void operator()(fluid_settings_t* settings) const { delete_fluid_settings(settings); }
};
struct SynthDelete {
    void operator()(fluid_synth_t* synth) const { delete_fluid_synth(synth); }
};
struct PlayerDelete {
    void operator()(fluid_player_t* player) const { delete_fluid_player(player); }
};

// An instance's state, owned by the GObject instance. The streaming task and the seek handler touch it under the
// sink pad's stream lock, activation while no task runs; `duration` and `taskAllowed` are under the object lock.
struct SynthState {
    std::vector<std::uint8_t> file;  // the whole input
    bool fileComplete = false;
    std::span<const std::uint8_t> music;  // the Standard MIDI File within it
    std::optional<MidiTempoMap> map;
    // Declared in this order so that the player goes before its synthesiser, and that before its settings.
    std::unique_ptr<fluid_settings_t, SettingsDelete> settings;
    std::unique_ptr<fluid_synth_t, SynthDelete> synth;
    std::unique_ptr<fluid_player_t, PlayerDelete> player;

    GstSegment segment{};
    bool restart = true;  // the player starts again at segment.position, announced by a new segment
    bool streamStarted = false;
    std::optional<guint32> seqnum;  // of the seek that placed the segment
    std::int64_t startTime = 0;
    std::int64_t framesRendered = 0;  // since startTime
    std::int64_t tailFrames = 0;
    bool checkedAcceptance = false;
    bool settled = false;  // the task has waited for the state change that started it

    std::int64_t duration = -1;
    bool taskAllowed = false;
};

struct MidiSynthesiser {
    GstElement parent;
    GstPad* sinkPad;
    GstPad* sourcePad;
    SynthState state;
};

struct MidiSynthesiserClass {
    GstElementClass parentClass;
};

GstElementClass* parentClass = nullptr;

MidiSynthesiser* SelfOf(gpointer object) { return reinterpret_cast<MidiSynthesiser*>(object); }

// fluidsynth writes to stderr unless told otherwise; its messages belong in GStreamer's debug log.
void LogFluidMessage(int level, const char* message, void*) {
    const GstDebugLevel debugLevel = level <= FLUID_ERR    ? GST_LEVEL_ERROR
                                     : level == FLUID_WARN ? GST_LEVEL_WARNING
                                     : level == FLUID_INFO ? GST_LEVEL_INFO
                                                           : GST_LEVEL_DEBUG;
    GST_CAT_LEVEL_LOG(midiSynthDebug, debugLevel, nullptr, "fluidsynth: %s", message);
}

void ResetStream(SynthState& state) {
    state.file.clear();
    state.fileComplete = false;
    state.music = {};
    state.map.reset();
    state.player.reset();
    gst_segment_init(&state.segment, GST_FORMAT_TIME);
    state.restart = true;
    state.streamStarted = false;
    state.seqnum.reset();
    state.checkedAcceptance = false;
    state.settled = false;
}

// Reads the whole file from upstream in pull mode, refusing one too large for a MIDI file.
GstFlowReturn PullFile(MidiSynthesiser* self) {
    SynthState& state = self->state;
    gint64 size = -1;
    if (gst_pad_peer_query_duration(self->sinkPad, GST_FORMAT_BYTES, &size) &&
        size > static_cast<gint64>(kLargestFile)) {
        GST_ELEMENT_ERROR(self, STREAM, DEMUX, (nullptr),
                          ("a MIDI file of %" G_GINT64_FORMAT " bytes; none is larger than %zu", size, kLargestFile));
        return kReported;
    }
    while (state.file.size() <= kLargestFile) {
        GstBuffer* buffer = nullptr;
        const GstFlowReturn flow = gst_pad_pull_range(self->sinkPad, state.file.size(), kReadSize, &buffer);
        if (flow == GST_FLOW_EOS) break;
        if (flow != GST_FLOW_OK) return flow;
        const std::size_t read = gst_buffer_get_size(buffer);
        state.file.resize(state.file.size() + read);
        gst_buffer_extract(buffer, 0, state.file.data() + state.file.size() - read, read);
        gst_buffer_unref(buffer);
        if (read == 0) break;
    }
    if (state.file.size() > kLargestFile) {
        GST_ELEMENT_ERROR(self, STREAM, DEMUX, (nullptr), ("a MIDI file larger than %zu bytes", kLargestFile));
        return kReported;
    }
    state.fileComplete = true;
    return GST_FLOW_OK;
}

GstFlowReturn ReadTempoMap(MidiSynthesiser* self) {
    SynthState& state = self->state;
    state.music = StandardMidiFile(state.file);
    state.map = MidiTempoMap::Parse(state.music);
    if (!state.map) {
        GST_ELEMENT_ERROR(self, STREAM, DECODE, (nullptr), ("not a well-formed Standard MIDI File"));
        return kReported;
    }
    const std::int64_t duration = state.map->Duration();
    if (duration > kLongestMusic) {
        GST_ELEMENT_ERROR(self, STREAM, DECODE, (nullptr),
                          ("a MIDI file that claims to last %" GST_TIME_FORMAT, GST_TIME_ARGS(duration)));
        return kReported;
    }
    GST_OBJECT_LOCK(self);
    state.duration = duration;
    GST_OBJECT_UNLOCK(self);
    gst_element_post_message(GST_ELEMENT(self), gst_message_new_duration_changed(GST_OBJECT(self)));
    return GST_FLOW_OK;
}

// The sound fonts to try, in order: fluidsynth's configured default, then the General MIDI fonts of the system.
std::vector<std::string> SoundFontCandidates(fluid_settings_t* settings) {
    std::vector<std::string> candidates;
    char* configured = nullptr;
    if (fluid_settings_dupstr(settings, "synth.default-soundfont", &configured) == FLUID_OK && configured) {
        if (*configured) candidates.emplace_back(configured);
        fluid_free(configured);
    }
    for (const char* path : kSoundFonts)
        if (std::find(candidates.begin(), candidates.end(), path) == candidates.end()) candidates.emplace_back(path);
    return candidates;
}

// The synthesiser with a General MIDI sound font; loading one takes a moment, which is why it happens here, in the
// streaming task, and not in a state change.
GstFlowReturn LoadSynthesiser(MidiSynthesiser* self) {
    SynthState& state = self->state;
    state.settings.reset(new_fluid_settings());
    if (state.settings) {
        fluid_settings_setnum(state.settings.get(), "synth.sample-rate", kRate);
        // The player advances with the samples rendered here: no timer thread, no audio driver.
        fluid_settings_setstr(state.settings.get(), "player.timing-source", "sample");
        // Only the samples of the instruments a file uses are read: a few megabytes rather than the whole font.
        fluid_settings_setint(state.settings.get(), "synth.dynamic-sample-loading", 1);
        fluid_settings_setint(state.settings.get(), "synth.lock-memory", 0);
        state.synth.reset(new_fluid_synth(state.settings.get()));
    }
    if (!state.synth) {
        GST_ELEMENT_ERROR(self, RESOURCE, FAILED, (nullptr), ("fluidsynth could not make a synthesiser"));
        return kReported;
    }
    std::string tried;
    for (const std::string& path : SoundFontCandidates(state.settings.get())) {
        tried += " " + path;
        if (access(path.c_str(), R_OK) != 0 || !fluid_is_soundfont(path.c_str())) continue;
        if (fluid_synth_sfload(state.synth.get(), path.c_str(), 1) != FLUID_FAILED) {
            GST_INFO_OBJECT(self, "sound font %s", path.c_str());
            return GST_FLOW_OK;
        }
    }
    state.synth.reset();
    state.settings.reset();
    GST_ELEMENT_ERROR(self, RESOURCE, NOT_FOUND, ("no General MIDI sound font"), ("tried%s", tried.c_str()));
    return kReported;
}

bool PushStreamStart(MidiSynthesiser* self) {
    gchar* id = gst_pad_create_stream_id(self->sourcePad, GST_ELEMENT(self), nullptr);
    GstEvent* event = gst_event_new_stream_start(id);
    g_free(id);
    guint group = 0;
    GstEvent* upstream = gst_pad_get_sticky_event(self->sinkPad, GST_EVENT_STREAM_START, 0);
    if (!upstream || !gst_event_parse_group_id(upstream, &group)) group = gst_util_group_id_next();
    if (upstream) gst_event_unref(upstream);
    gst_event_set_group_id(event, group);
    if (!gst_pad_push_event(self->sourcePad, event)) return false;
    GstAudioInfo info;
    gst_audio_info_set_format(&info, GST_AUDIO_FORMAT_F32, kRate, kChannels, nullptr);
    GstCaps* caps = gst_audio_info_to_caps(&info);
    const bool pushed = gst_pad_push_event(self->sourcePad, gst_event_new_caps(caps));
    gst_caps_unref(caps);
    return pushed;
}

// Starts the file again where the segment stands: a new player (fluidsynth replays every controller and program
// change before that point, without the notes), all sound of the old place cut off, and the segment announced.
GstFlowReturn Restart(MidiSynthesiser* self) {
    SynthState& state = self->state;
    state.player.reset();
    fluid_synth_all_sounds_off(state.synth.get(), -1);
    fluid_synth_system_reset(state.synth.get());
    state.player.reset(new_fluid_player(state.synth.get()));
    if (!state.player || fluid_player_add_mem(state.player.get(), state.music.data(), state.music.size()) != FLUID_OK) {
        GST_ELEMENT_ERROR(self, RESOURCE, FAILED, (nullptr), ("fluidsynth could not make a player"));
        return kReported;
    }
    state.startTime = std::max<std::int64_t>(static_cast<std::int64_t>(state.segment.position), 0);
    const std::int64_t tick = std::min<std::int64_t>(state.map->TickOfTime(state.startTime), INT_MAX);
    if (tick > 0) fluid_player_seek(state.player.get(), static_cast<int>(tick));
    fluid_player_play(state.player.get());

    if (!state.streamStarted && !PushStreamStart(self)) return GST_FLOW_FLUSHING;
    state.streamStarted = true;
    GstSegment segment = state.segment;
    segment.start = segment.position = segment.time = state.startTime;
    GstEvent* event = gst_event_new_segment(&segment);
    if (state.seqnum) gst_event_set_seqnum(event, *state.seqnum);
    gst_pad_push_event(self->sourcePad, event);
    state.framesRendered = 0;
    state.tailFrames = 0;
    state.restart = false;
    return GST_FLOW_OK;
}

std::int64_t TimeOfFrames(std::int64_t frames) {
    return static_cast<std::int64_t>(gst_util_uint64_scale_int(frames, GST_SECOND, kRate));
}

// The stream is over at the segment's stop, or once the music has ended and its voices have fallen silent.
bool Finished(const SynthState& state, std::int64_t time) {
    if (GST_CLOCK_TIME_IS_VALID(state.segment.stop) && time >= static_cast<std::int64_t>(state.segment.stop))
        return true;
    if (fluid_player_get_status(state.player.get()) == FLUID_PLAYER_DONE) return true;
    if (time < state.map->Duration()) return false;
    return TimeOfFrames(state.tailFrames) >= kLongestTail || fluid_synth_get_active_voice_count(state.synth.get()) == 0;
}

GstFlowReturn RenderBlock(MidiSynthesiser* self) {
    SynthState& state = self->state;
    const std::int64_t time = state.startTime + TimeOfFrames(state.framesRendered);
    if (Finished(state, time)) return GST_FLOW_EOS;
    GstBuffer* buffer = gst_buffer_new_allocate(nullptr, kBlockFrames * kChannels * sizeof(float), nullptr);
    GstMapInfo map;
    if (!buffer || !gst_buffer_map(buffer, &map, GST_MAP_WRITE)) {
        if (buffer) gst_buffer_unref(buffer);
        GST_ELEMENT_ERROR(self, RESOURCE, FAILED, (nullptr), ("no memory for samples"));
        return kReported;
    }
    auto* samples = reinterpret_cast<float*>(map.data);
    fluid_synth_write_float(state.synth.get(), kBlockFrames, samples, 0, kChannels, samples, 1, kChannels);
    gst_buffer_unmap(buffer, &map);

    // fluidsynth reads the file when it first plays; one it refuses (SMPTE time, for one) leaves it with no ticks.
    if (!state.checkedAcceptance) {
        state.checkedAcceptance = true;
        if (fluid_player_get_total_ticks(state.player.get()) <= 0 && state.map->LastTick() > 0) {
            gst_buffer_unref(buffer);
            GST_ELEMENT_ERROR(self, STREAM, DECODE, (nullptr), ("fluidsynth refused the file"));
            return kReported;
        }
    }
    GST_BUFFER_PTS(buffer) = time;
    GST_BUFFER_DURATION(buffer) =
        TimeOfFrames(state.framesRendered + kBlockFrames) - TimeOfFrames(state.framesRendered);
    GST_BUFFER_OFFSET(buffer) = gst_util_uint64_scale_int(time, kRate, GST_SECOND);
    if (state.framesRendered == 0) GST_BUFFER_FLAG_SET(buffer, GST_BUFFER_FLAG_DISCONT);
    state.framesRendered += kBlockFrames;
    if (time >= state.map->Duration()) state.tailFrames += kBlockFrames;
    return gst_pad_push(self->sourcePad, buffer);
}

// Ends the task's run: at the end, the stream's end goes downstream; on a failure, an error first (unless it was
// told where it happened) so the track fails like any unplayable one; a flush just waits for what comes next.
void PauseTask(MidiSynthesiser* self, GstFlowReturn flow) {
    GST_DEBUG_OBJECT(self, "pausing: %s", gst_flow_get_name(flow));
    gst_pad_pause_task(self->sinkPad);
    if (flow == GST_FLOW_FLUSHING) return;
    if (flow != GST_FLOW_EOS && flow != kReported && (flow == GST_FLOW_NOT_LINKED || flow < GST_FLOW_EOS))
        GST_ELEMENT_FLOW_ERROR(self, flow);
    GstEvent* event = gst_event_new_eos();
    if (self->state.seqnum) gst_event_set_seqnum(event, *self->state.seqnum);
    gst_pad_push_event(self->sourcePad, event);
}

// decodebin drops the errors an element posts while decodebin is still bringing it up (it would try another
// element instead), and a small damaged file fails within that time: a failure then went unheard. So the task first
// waits, boundedly, for the state change that started it to be over, and a moment more for decodebin to take note.
void AwaitSettledState(MidiSynthesiser* self) {
    for (int tries = 0; tries < 200; ++tries) {
        if (GST_STATE_TRYLOCK(self)) {
            GST_STATE_UNLOCK(self);
            break;
        }
        GST_OBJECT_LOCK(self);
        const bool allowed = self->state.taskAllowed;
        GST_OBJECT_UNLOCK(self);
        if (!allowed) return;  // the change under way stops the task
        g_usleep(5000);
    }
    g_usleep(kSettlingMargin);
}

void Loop(gpointer data) {
    MidiSynthesiser* self = SelfOf(data);
    SynthState& state = self->state;
    if (!state.settled) {
        AwaitSettledState(self);
        state.settled = true;
    }
    GstFlowReturn flow = GST_FLOW_OK;
    if (!state.fileComplete) flow = PullFile(self);
    if (flow == GST_FLOW_OK && !state.map) flow = ReadTempoMap(self);
    if (flow == GST_FLOW_OK && !state.synth) {
        // The loading ends this run of the task: a seek that came meanwhile says where the first buffer starts.
        flow = LoadSynthesiser(self);
        if (flow == GST_FLOW_OK) return;
    }
    if (flow == GST_FLOW_OK && state.restart) flow = Restart(self);
    if (flow == GST_FLOW_OK) flow = RenderBlock(self);
    if (flow != GST_FLOW_OK) PauseTask(self, flow);
}

// Starts the streaming task unless the pad is being deactivated; called under the sink pad's stream lock.
void StartTask(MidiSynthesiser* self) {
    GST_OBJECT_LOCK(self);
    const bool allowed = self->state.taskAllowed;
    GST_OBJECT_UNLOCK(self);
    if (allowed) gst_pad_start_task(self->sinkPad, Loop, self, nullptr);
}

// In pull mode the task reads the file itself; in push mode (a source that cannot be read at will) the file is
// collected until its end, and the task then starts.
gboolean ActivateSink(GstPad* pad, GstObject*) {
    GstQuery* query = gst_query_new_scheduling();
    const bool pull = gst_pad_peer_query(pad, query) &&
                      gst_query_has_scheduling_mode_with_flags(query, GST_PAD_MODE_PULL, GST_SCHEDULING_FLAG_SEEKABLE);
    gst_query_unref(query);
    return gst_pad_activate_mode(pad, pull ? GST_PAD_MODE_PULL : GST_PAD_MODE_PUSH, TRUE);
}

gboolean ActivateSinkMode(GstPad* pad, GstObject* parent, GstPadMode mode, gboolean active) {
    MidiSynthesiser* self = SelfOf(parent);
    if (active) {
        ResetStream(self->state);
        GST_OBJECT_LOCK(self);
        self->state.taskAllowed = true;
        self->state.duration = -1;
        GST_OBJECT_UNLOCK(self);
        return mode == GST_PAD_MODE_PULL ? gst_pad_start_task(pad, Loop, self, nullptr) : TRUE;
    }
    GST_OBJECT_LOCK(self);
    self->state.taskAllowed = false;
    GST_OBJECT_UNLOCK(self);
    return gst_pad_stop_task(pad);
}

GstFlowReturn HandleSinkBuffer(GstPad*, GstObject* parent, GstBuffer* buffer) {
    MidiSynthesiser* self = SelfOf(parent);
    SynthState& state = self->state;
    const std::size_t size = gst_buffer_get_size(buffer);
    if (state.fileComplete) {
        gst_buffer_unref(buffer);
        return GST_FLOW_EOS;
    }
    if (state.file.size() + size > kLargestFile) {
        gst_buffer_unref(buffer);
        GST_ELEMENT_ERROR(self, STREAM, DEMUX, (nullptr), ("a MIDI file larger than %zu bytes", kLargestFile));
        return GST_FLOW_ERROR;
    }
    state.file.resize(state.file.size() + size);
    gst_buffer_extract(buffer, 0, state.file.data() + state.file.size() - size, size);
    gst_buffer_unref(buffer);
    return GST_FLOW_OK;
}

// Upstream's events concern the file's bytes, not the sound made of them: only its end counts, when it has been
// collected whole.
gboolean HandleSinkEvent(GstPad*, GstObject* parent, GstEvent* event) {
    MidiSynthesiser* self = SelfOf(parent);
    if (GST_EVENT_TYPE(event) == GST_EVENT_EOS && !self->state.fileComplete) {
        self->state.fileComplete = true;
        StartTask(self);
    }
    gst_event_unref(event);
    return TRUE;
}

gboolean HandleSeek(MidiSynthesiser* self, GstEvent* event) {
    gdouble rate = 1;
    GstFormat format = GST_FORMAT_UNDEFINED;
    GstSeekFlags flags = GST_SEEK_FLAG_NONE;
    GstSeekType startType = GST_SEEK_TYPE_NONE;
    GstSeekType stopType = GST_SEEK_TYPE_NONE;
    gint64 start = 0;
    gint64 stop = 0;
    gst_event_parse_seek(event, &rate, &format, &flags, &startType, &start, &stopType, &stop);
    if (format != GST_FORMAT_TIME || rate <= 0) return FALSE;  // the synthesiser plays forwards only
    const guint32 seqnum = gst_event_get_seqnum(event);
    const bool flush = flags & GST_SEEK_FLAG_FLUSH;
    if (flush) {
        // Frees the task from a push downstream is blocked in, so it takes the stream lock back promptly.
        GstEvent* flushStart = gst_event_new_flush_start();
        gst_event_set_seqnum(flushStart, seqnum);
        gst_pad_push_event(self->sourcePad, flushStart);
    } else {
        gst_pad_pause_task(self->sinkPad);
    }
    GST_PAD_STREAM_LOCK(self->sinkPad);
    SynthState& state = self->state;
    GstSegment segment = state.segment;
    gboolean update = FALSE;
    const bool done = gst_segment_do_seek(&segment, rate, format, flags, startType, start, stopType, stop, &update);
    if (done) {
        // A seek before the first buffer is kept like any other: the task starts where the segment stands.
        state.segment = segment;
        state.restart = true;
        state.seqnum = seqnum;
    }
    if (flush) {
        GstEvent* flushStop = gst_event_new_flush_stop(TRUE);
        gst_event_set_seqnum(flushStop, seqnum);
        gst_pad_push_event(self->sourcePad, flushStop);
    }
    if (state.fileComplete || GST_PAD_MODE(self->sinkPad) == GST_PAD_MODE_PULL) StartTask(self);
    GST_PAD_STREAM_UNLOCK(self->sinkPad);
    return done;
}

gboolean HandleSourceEvent(GstPad* pad, GstObject* parent, GstEvent* event) {
    MidiSynthesiser* self = SelfOf(parent);
    if (GST_EVENT_TYPE(event) == GST_EVENT_SEEK) {
        const gboolean handled = HandleSeek(self, event);
        gst_event_unref(event);
        return handled;
    }
    // Upstream holds bytes, not time: nothing else of downstream's concerns it.
    if (GST_EVENT_IS_UPSTREAM(event) && !GST_EVENT_IS_DOWNSTREAM(event)) {
        gst_event_unref(event);
        return FALSE;
    }
    return gst_pad_event_default(pad, parent, event);
}

gboolean HandleSourceQuery(GstPad* pad, GstObject* parent, GstQuery* query) {
    MidiSynthesiser* self = SelfOf(parent);
    GST_OBJECT_LOCK(self);
    const std::int64_t duration = self->state.duration;
    GST_OBJECT_UNLOCK(self);
    switch (GST_QUERY_TYPE(query)) {
        case GST_QUERY_DURATION: {
            GstFormat format = GST_FORMAT_UNDEFINED;
            gst_query_parse_duration(query, &format, nullptr);
            if (format != GST_FORMAT_TIME || duration < 0) return FALSE;
            gst_query_set_duration(query, GST_FORMAT_TIME, duration);
            return TRUE;
        }
        case GST_QUERY_SEEKING: {
            GstFormat format = GST_FORMAT_UNDEFINED;
            gst_query_parse_seeking(query, &format, nullptr, nullptr, nullptr);
            if (format != GST_FORMAT_TIME) return FALSE;
            gst_query_set_seeking(query, GST_FORMAT_TIME, TRUE, 0, duration);
            return TRUE;
        }
        default: return gst_pad_query_default(pad, parent, query);
    }
}

void InstanceInit(GTypeInstance* instance, gpointer classPointer) {
    MidiSynthesiser* self = SelfOf(instance);
    new (&self->state) SynthState();
    GstElementClass* elementClass = GST_ELEMENT_CLASS(classPointer);
    self->sinkPad = gst_pad_new_from_template(gst_element_class_get_pad_template(elementClass, "sink"), "sink");
    gst_pad_set_activate_function(self->sinkPad, ActivateSink);
    gst_pad_set_activatemode_function(self->sinkPad, ActivateSinkMode);
    gst_pad_set_chain_function(self->sinkPad, HandleSinkBuffer);
    gst_pad_set_event_function(self->sinkPad, HandleSinkEvent);
    gst_element_add_pad(GST_ELEMENT(self), self->sinkPad);
    self->sourcePad = gst_pad_new_from_template(gst_element_class_get_pad_template(elementClass, "src"), "src");
    gst_pad_set_event_function(self->sourcePad, HandleSourceEvent);
    gst_pad_set_query_function(self->sourcePad, HandleSourceQuery);
    gst_pad_use_fixed_caps(self->sourcePad);
    gst_element_add_pad(GST_ELEMENT(self), self->sourcePad);
    gst_segment_init(&self->state.segment, GST_FORMAT_TIME);
}

void Finalize(GObject* object) {
    SelfOf(object)->state.~SynthState();
    G_OBJECT_CLASS(parentClass)->finalize(object);
}

void ClassInit(gpointer classPointer, gpointer) {
    parentClass = static_cast<GstElementClass*>(g_type_class_peek_parent(classPointer));
    G_OBJECT_CLASS(classPointer)->finalize = Finalize;
    DescribeDecoder(GST_ELEMENT_CLASS(classPointer), kSinkCaps, kSourceCaps, "Media MIDI synthesiser",
                    "Plays Standard MIDI files through fluidsynth");
}

}  // namespace

bool RegisterMidiSynthesiser(GstPlugin* plugin) {
    GST_DEBUG_CATEGORY_INIT(midiSynthDebug, "mediamidisynth", 0, "The media player's MIDI synthesiser");
    for (int level : {FLUID_PANIC, FLUID_ERR, FLUID_WARN, FLUID_INFO, FLUID_DBG})
        fluid_set_log_function(level, LogFluidMessage, nullptr);
    const GType type =
        g_type_register_static_simple(GST_TYPE_ELEMENT, "MediaMidiSynthesiser", sizeof(MidiSynthesiserClass), ClassInit,
                                      sizeof(MidiSynthesiser), InstanceInit, static_cast<GTypeFlags>(0));
    return gst_element_register(plugin, "mediamidisynth", kOurRank, type);
}

}  // namespace mediaplayer::decoders
