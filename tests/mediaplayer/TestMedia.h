#pragma once

#include "platform/mediaplayer/MediaPlayer.h"

#include <cstdint>
#include <filesystem>
#include <functional>
#include <memory>
#include <mutex>
#include <string>
#include <vector>

typedef struct _GstBuffer GstBuffer;
typedef struct _GstPad GstPad;

namespace mediaplayer::test {

using Bytes = std::vector<std::uint8_t>;

// A folder of its own for each test, removed afterwards.
class TempFolder {
public:
    TempFolder();
    ~TempFolder();
    std::filesystem::path operator/(const std::string& name) const { return path_ / name; }

private:
    std::filesystem::path path_;
};

// Writes the file and returns its path as the player is given it.
std::u16string WriteFile(const std::filesystem::path& path, const Bytes& bytes);

Bytes WavFile(double seconds);  // 16-bit mono sine
Bytes MidiFile();               // three half-second piano notes
Bytes ModModule();              // a tracker module (.mod): one square-wave note, about a second
Bytes S3mModule();              // the same in the Scream Tracker 3 format (.s3m)
// An ID3v2.3 tag: title and artist frames with the given encoding byte and raw text.
Bytes Id3v23Tag(std::uint8_t encoding, const std::string& title, const std::string& artist);
Bytes Mp3Audio(double seconds);  // untagged, encoded by GStreamer
// A 44.1 kHz mono tone of any length encoded by the GStreamer elements `encoder` (e.g. "flacenc" or
// "vorbisenc ! oggmux"), whose samples count up: sample i holds (i % 16384) * 2 (see RampSample).
Bytes EncodedRamp(double seconds, const std::string& encoder, std::int64_t firstSample = 0);
constexpr int kRampRate = 44100;
inline int RampSample(std::int64_t index) { return static_cast<int>(index % 16384) * 2; }
std::u16string WriteVideo(const std::filesystem::path& path, double seconds, bool withSound);

struct GstUnref {
    void operator()(void* object) const;
};
using GstPointer = std::unique_ptr<GstElement, GstUnref>;

// A silent real-time audio output that lets a test look into the pipeline the player builds.
class WatchedOutput {
public:
    AudioSinkFactory Factory();
    GstPointer Pipeline() const;
    bool Runs(const char* factoryName) const;  // an element of that factory is in the pipeline

private:
    GstPointer lastSink_;
};

// A silent real-time audio output that keeps what it plays: the left channel of the output's 16-bit samples.
class RecordedOutput {
public:
    AudioSinkFactory Factory();
    std::vector<int> Samples() const;
    void Clear();

private:
    static void OnHandoff(GstElement*, GstBuffer* buffer, GstPad*, void* self);
    mutable std::mutex lock_;
    std::vector<int> samples_;
};

// Runs `call` in this thread, which must return within `seconds`. When it does not, a watchdog
// thread runs `release` to set it free (opening a FIFO for writing lets a reader stuck in it go
// on), and stops the test program if even that does not help, rather than hanging the suite.
// True when the call returned in time.
bool ReturnsPromptly(const std::function<void()>& call, const std::function<void()>& release, double seconds = 3);

// Polls until `condition` holds or `seconds` have passed; true when it held.
bool WaitUntil(const std::function<bool()>& condition, double seconds = 10);
bool WaitForState(MediaPlayer& player, int state, double seconds = 10);

}  // namespace mediaplayer::test
