#pragma once

#include "tests/mediaplayer/TestMedia.h"

#include <sys/types.h>

#include <map>
#include <optional>
#include <string>
#include <vector>

namespace mediaplayer::test {

using Properties = std::map<std::string, std::string>;

// A stream playing on the sound server, as `pactl list sink-inputs` shows it.
struct SinkInput {
    int index = -1;
    int client = -1;
    bool mute = false;
    std::vector<unsigned> volume;  // per channel, in PulseAudio's units (65536 is full scale)
    Properties properties;
};

// PulseAudio's volume units on the linear scale the samples are multiplied by (its scale is cubic).
double LinearVolume(unsigned paVolume);

// A PulseAudio daemon of the test's own: one null sink and no stream-restore module (so nothing
// but the client decides a stream's volume), its socket, runtime and home folders in a temporary
// folder, so it never meets the user's server. While it lives, PULSE_SERVER sends this process's
// streams to it. Throws std::runtime_error, with the daemon's log, when it does not come up.
//
// The faults a desktop's sound server goes through can be played on it: killed and started again at
// the same address, started only after the player (`started` false), frozen and thawed (SIGSTOP,
// SIGCONT), its sink suspended and resumed.
class PrivateSoundServer {
public:
    explicit PrivateSoundServer(bool started = true);
    ~PrivateSoundServer();
    PrivateSoundServer(const PrivateSoundServer&) = delete;
    PrivateSoundServer& operator=(const PrivateSoundServer&) = delete;

    const std::string& Address() const { return address_; }
    std::vector<SinkInput> SinkInputs() const;
    Properties ClientProperties(int client) const;  // empty when there is no such client

    void Start();  // starts the daemon, or again after Kill(); throws when it does not come up
    void Kill();   // SIGKILL, as a crash
    void Freeze();
    void Thaw();
    void Suspend(bool suspended);

private:
    std::string List(const std::string& kind) const;
    std::string Log() const;

    TempFolder folder_;
    std::string address_;
    pid_t pid_ = -1;
    std::optional<std::string> previousServer_;
};

}  // namespace mediaplayer::test
