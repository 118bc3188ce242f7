#include "tests/mediaplayer/TestMedia.h"

#include "platform/text/FileName.h"

#include "platform/mediaplayer/GStreamerRuntime.h"

#include <gst/gst.h>

#include <atomic>
#include <chrono>
#include <cmath>
#include <condition_variable>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <mutex>
#include <stdexcept>
#include <thread>

namespace mediaplayer::test {
namespace {

void Append(Bytes& out, std::uint32_t value, int bytes, bool bigEndian) {
    for (int i = 0; i < bytes; ++i)
        out.push_back(static_cast<std::uint8_t>(value >> (8 * (bigEndian ? bytes - 1 - i : i))));
}

void Append(Bytes& out, const std::string& text) { out.insert(out.end(), text.begin(), text.end()); }

// Runs a GStreamer pipeline description to its end.
void RunPipeline(const std::string& description) {
    GstElement* pipeline = EnsureGStreamer() ? gst_parse_launch(description.c_str(), nullptr) : nullptr;
    if (!pipeline) throw std::runtime_error("cannot build " + description);
    GstBus* bus = gst_element_get_bus(pipeline);
    gst_element_set_state(pipeline, GST_STATE_PLAYING);
    GstMessage* end = gst_bus_timed_pop_filtered(bus, 30 * GST_SECOND,
                                                 static_cast<GstMessageType>(GST_MESSAGE_EOS | GST_MESSAGE_ERROR));
    const bool finished = end && GST_MESSAGE_TYPE(end) == GST_MESSAGE_EOS;
    if (end) gst_message_unref(end);
    gst_element_set_state(pipeline, GST_STATE_NULL);
    gst_object_unref(bus);
    gst_object_unref(pipeline);
    if (!finished) throw std::runtime_error("pipeline failed: " + description);
}

std::string Tenths(double seconds) { return std::to_string(std::lround(seconds * 10)); }

}  // namespace

TempFolder::TempFolder() {
    std::string pattern = (std::filesystem::temp_directory_path() / "mediaplayer-test-XXXXXX").string();
    if (!mkdtemp(pattern.data())) throw std::runtime_error("cannot make a temporary folder");
    path_ = pattern;
}

TempFolder::~TempFolder() {
    std::error_code ignored;
    std::filesystem::remove_all(path_, ignored);
}

std::u16string WriteFile(const std::filesystem::path& path, const Bytes& bytes) {
    std::ofstream(path, std::ios::binary)
        .write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
    return text::FromFileName(path.string());
}

Bytes WavFile(double seconds) {
    constexpr int kRate = 22050;
    const auto samples = static_cast<std::uint32_t>(seconds * kRate);
    Bytes out;
    Append(out, "RIFF");
    Append(out, 36 + samples * 2, 4, false);
    Append(out, "WAVEfmt ");
    for (const auto& [value, bytes] : {std::pair{16, 4}, {1, 2}, {1, 2}, {kRate, 4}, {kRate * 2, 4}, {2, 2}, {16, 2}})
        Append(out, static_cast<std::uint32_t>(value), bytes, false);
    Append(out, "data");
    Append(out, samples * 2, 4, false);
    for (std::uint32_t i = 0; i < samples; ++i)
        Append(out, static_cast<std::uint16_t>(static_cast<std::int16_t>(8000 * std::sin(2 * M_PI * 440 * i / kRate))),
               2, false);
    return out;
}

Bytes MidiFile() {
    Bytes track = {0x00, 0xFF, 0x51, 0x03, 0x07, 0xA1, 0x20, 0x00, 0xC0, 0x00};  // 120 bpm, piano
    for (std::uint8_t note : {0x3C, 0x40, 0x43})
        track.insert(track.end(), {0x00, 0x90, note, 0x64, 0x60, 0x80, note, 0x40});  // a quarter each
    track.insert(track.end(), {0x00, 0xFF, 0x2F, 0x00});
    Bytes out;
    Append(out, "MThd");
    for (const auto& [value, bytes] : {std::pair{6, 4}, {0, 2}, {1, 2}, {96, 2}})
        Append(out, static_cast<std::uint32_t>(value), bytes, true);
    Append(out, "MTrk");
    Append(out, static_cast<std::uint32_t>(track.size()), 4, true);
    out.insert(out.end(), track.begin(), track.end());
    return out;
}

namespace {

constexpr int kModuleSampleBytes = 4000;
constexpr int kModuleRows = 16;  // of 64; a pattern break ends the song there

void AppendSquareWave(Bytes& out) {
    for (int i = 0; i < kModuleSampleBytes; ++i) out.push_back((i / 16) % 2 ? 0x40 : 0xC0);
}

void AppendPadded(Bytes& out, const std::string& text, std::size_t size) {
    Append(out, text);
    out.resize(out.size() + size - text.size(), 0);
}

}  // namespace

Bytes ModModule() {
    Bytes out;
    AppendPadded(out, "test module", 20);
    for (int sample = 0; sample < 31; ++sample) {
        AppendPadded(out, sample == 0 ? "square" : "", 22);
        Append(out, sample == 0 ? kModuleSampleBytes / 2 : 0, 2, true);                           // length in words
        out.insert(out.end(), {0, static_cast<std::uint8_t>(sample == 0 ? 64 : 0), 0, 0, 0, 1});  // no loop
    }
    out.push_back(1);    // song length
    out.push_back(127);  // restart
    out.resize(out.size() + 128, 0);
    Append(out, "M.K.");
    for (int row = 0; row < 64; ++row) {
        for (int channel = 0; channel < 4; ++channel) {
            if (row == 0 && channel == 0) {
                out.insert(out.end(), {0x01, 0xAC, 0x10, 0x00});  // sample 1, period 428
            } else if (row == kModuleRows - 1 && channel == 0) {
                out.insert(out.end(), {0x00, 0x00, 0x0D, 0x00});  // pattern break: the end
            } else {
                out.insert(out.end(), {0, 0, 0, 0});
            }
        }
    }
    AppendSquareWave(out);
    return out;
}

Bytes S3mModule() {
    // Header (96 bytes), one order, one instrument and one pattern pointer; the instrument at 0x70, its pattern
    // at 0xC0 and its sample at 0x300, in 16-byte paragraphs.
    Bytes out;
    AppendPadded(out, "test module", 28);
    out.insert(out.end(), {0x1A, 16, 0, 0});
    for (int value : {1, 1, 1, 0, 0x1320, 2}) Append(out, static_cast<std::uint32_t>(value), 2, false);
    Append(out, "SCRM");
    out.insert(out.end(), {64, 6, 125, 0xB0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0});
    for (int channel = 0; channel < 32; ++channel) out.push_back(channel < 4 ? channel : 255);
    out.push_back(0);                  // order: pattern 0
    Append(out, 0x70 / 16, 2, false);  // instrument
    Append(out, 0xC0 / 16, 2, false);  // pattern
    out.resize(0x70, 0);
    out.push_back(1);  // a sample
    AppendPadded(out, "square.raw", 12);
    out.insert(out.end(), {0, static_cast<std::uint8_t>(0x300 / 16), 0});
    for (int value : {kModuleSampleBytes, 0, 0}) Append(out, static_cast<std::uint32_t>(value), 4, false);
    out.insert(out.end(), {64, 0, 0, 0});
    Append(out, 8363, 4, false);
    out.resize(out.size() + 12, 0);
    AppendPadded(out, "square", 28);
    Append(out, "SCRS");
    out.resize(0xC0, 0);
    Bytes pattern = {0x20, 0x40, 1};  // channel 0: note C-4, instrument 1
    pattern.push_back(0);
    for (int row = 1; row < 64; ++row) {
        if (row == kModuleRows - 1) pattern.insert(pattern.end(), {0x80, 3, 0});  // C00: pattern break, the end
        pattern.push_back(0);
    }
    Append(out, static_cast<std::uint32_t>(pattern.size() + 2), 2, false);
    out.insert(out.end(), pattern.begin(), pattern.end());
    out.resize(0x300, 0);
    for (int i = 0; i < kModuleSampleBytes; ++i) out.push_back((i / 16) % 2 ? 0xC0 : 0x40);  // unsigned
    return out;
}

Bytes Id3v23Tag(std::uint8_t encoding, const std::string& title, const std::string& artist) {
    Bytes frames;
    for (const auto& [id, text] : {std::pair{"TIT2", title}, std::pair{"TPE1", artist}}) {
        Append(frames, id);
        Append(frames, static_cast<std::uint32_t>(text.size() + 1), 4, true);
        frames.insert(frames.end(), {0, 0, encoding});
        Append(frames, text);
    }
    Bytes out = {'I', 'D', '3', 3, 0, 0};
    for (int shift : {21, 14, 7, 0}) out.push_back(static_cast<std::uint8_t>((frames.size() >> shift) & 0x7F));
    out.insert(out.end(), frames.begin(), frames.end());
    return out;
}

Bytes Mp3Audio(double seconds) {
    TempFolder folder;
    const auto path = folder / "plain.mp3";
    RunPipeline("audiotestsrc num-buffers=" + Tenths(seconds) +
                " samplesperbuffer=4410 ! audio/x-raw,rate=44100,"
                "channels=1 ! audioconvert ! lamemp3enc ! filesink location=\"" +
                path.string() + "\"");
    std::ifstream in(path, std::ios::binary);
    return Bytes(std::istreambuf_iterator<char>(in), {});
}

Bytes EncodedRamp(double seconds, const std::string& encoder, std::int64_t firstSample) {
    TempFolder folder;
    const auto raw = folder / "ramp.raw";
    const auto path = folder / "encoded";
    const auto samples = static_cast<std::int64_t>(std::llround(seconds * kRampRate));
    Bytes pcm;
    for (std::int64_t i = firstSample; i < firstSample + samples; ++i)
        Append(pcm, static_cast<std::uint16_t>(RampSample(i)), 2, false);
    WriteFile(raw, pcm);
    RunPipeline("filesrc location=\"" + raw.string() +
                "\" ! rawaudioparse format=pcm pcm-format=s16le sample-rate=" + std::to_string(kRampRate) +
                " num-channels=1 ! audioconvert ! " + encoder + " ! filesink location=\"" + path.string() + "\"");
    std::ifstream in(path, std::ios::binary);
    return Bytes(std::istreambuf_iterator<char>(in), {});
}

std::u16string WriteVideo(const std::filesystem::path& path, double seconds, bool withSound) {
    const std::string sound = " audiotestsrc num-buffers=" + Tenths(seconds) +
                              " samplesperbuffer=2205 ! audio/x-raw,format=S16LE,rate=22050,channels=1 ! mux.";
    RunPipeline("videotestsrc num-buffers=" + Tenths(seconds) +
                " ! video/x-raw,width=64,height=48,framerate=10/1 "
                "! jpegenc ! avimux name=mux ! filesink location=\"" +
                path.string() + "\"" + (withSound ? sound : ""));
    return path.u16string();
}

void GstUnref::operator()(void* object) const { gst_object_unref(object); }

AudioSinkFactory WatchedOutput::Factory() {
    return [this] {
        GstElement* sink = gst_element_factory_make("fakesink", nullptr);
        g_object_set(sink, "sync", TRUE, nullptr);
        lastSink_.reset(GST_ELEMENT(gst_object_ref(sink)));
        return sink;
    };
}

GstPointer WatchedOutput::Pipeline() const {
    GstObject* top = GST_OBJECT(gst_object_ref(lastSink_.get()));
    while (GstObject* parent = gst_object_get_parent(top)) {
        gst_object_unref(top);
        top = parent;
    }
    return GstPointer(GST_ELEMENT(top));
}

bool WatchedOutput::Runs(const char* factoryName) const {
    const GstPointer top = Pipeline();
    GstIterator* elements = gst_bin_iterate_recurse(GST_BIN(top.get()));
    GValue item = G_VALUE_INIT;
    bool found = false;
    while (!found && gst_iterator_next(elements, &item) == GST_ITERATOR_OK) {
        GstElementFactory* factory = gst_element_get_factory(GST_ELEMENT(g_value_get_object(&item)));
        found = factory && g_str_equal(gst_plugin_feature_get_name(factory), factoryName);
        g_value_reset(&item);
    }
    g_value_unset(&item);
    gst_iterator_free(elements);
    return found;
}

AudioSinkFactory RecordedOutput::Factory() {
    return [this] {
        GstElement* sink = gst_element_factory_make("fakesink", nullptr);
        g_object_set(sink, "sync", TRUE, "signal-handoffs", TRUE, nullptr);
        g_signal_connect(sink, "handoff", G_CALLBACK(OnHandoff), this);
        return sink;
    };
}

void RecordedOutput::OnHandoff(GstElement*, GstBuffer* buffer, GstPad*, void* self) {
    auto& output = *static_cast<RecordedOutput*>(self);
    GstMapInfo map;
    if (!gst_buffer_map(buffer, &map, GST_MAP_READ)) return;
    std::lock_guard guard(output.lock_);
    // Interleaved stereo S16LE: every fourth and fifth byte begin a left sample.
    for (gsize i = 0; i + 1 < map.size; i += 4)
        output.samples_.push_back(static_cast<std::int16_t>(map.data[i] | (map.data[i + 1] << 8)));
    gst_buffer_unmap(buffer, &map);
}

std::vector<int> RecordedOutput::Samples() const {
    std::lock_guard guard(lock_);
    return samples_;
}

void RecordedOutput::Clear() {
    std::lock_guard guard(lock_);
    samples_.clear();
}

bool ReturnsPromptly(const std::function<void()>& call, const std::function<void()>& release, double seconds) {
    std::mutex mutex;
    std::condition_variable returned;
    bool done = false;
    std::atomic<bool> late = false;
    std::thread watchdog([&] {
        std::unique_lock lock(mutex);
        if (returned.wait_for(lock, std::chrono::duration<double>(seconds), [&] { return done; })) return;
        late = true;
        lock.unlock();
        std::fprintf(stderr, "watchdog: the call has not returned after %.1f s; setting it free\n", seconds);
        release();
        lock.lock();
        if (!returned.wait_for(lock, std::chrono::seconds(5), [&] { return done; })) {
            std::fprintf(stderr, "watchdog: the call is still blocked; stopping the test program\n");
            std::abort();
        }
    });
    call();
    {
        std::lock_guard lock(mutex);
        done = true;
    }
    returned.notify_all();
    watchdog.join();
    return !late;
}

bool WaitUntil(const std::function<bool()>& condition, double seconds) {
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::duration<double>(seconds);
    while (!condition()) {
        if (std::chrono::steady_clock::now() > deadline) return false;
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
    return true;
}

bool WaitForState(MediaPlayer& player, int state, double seconds) {
    return WaitUntil([&] { return player.playState() == state; }, seconds);
}

}  // namespace mediaplayer::test
