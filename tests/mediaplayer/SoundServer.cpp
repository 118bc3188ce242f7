#include "tests/mediaplayer/SoundServer.h"

#include <fcntl.h>
#include <signal.h>
#include <sys/prctl.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <regex>
#include <set>
#include <sstream>
#include <stdexcept>
#include <thread>

namespace mediaplayer::test {
namespace {

using Clock = std::chrono::steady_clock;

struct Output {
    int status = -1;  // the exit code; -1 when the command did not exit by itself
    std::string text;
};

Output RunCommand(const std::string& command) {
    Output output;
    std::FILE* pipe = ::popen((command + " 2>&1").c_str(), "r");
    if (!pipe) return output;
    char buffer[4096];
    while (std::size_t read = std::fread(buffer, 1, sizeof buffer, pipe)) output.text.append(buffer, read);
    const int status = ::pclose(pipe);
    output.status = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    return output;
}

// Exit status the shell gives a command it cannot find.
constexpr int kNotFound = 127;

std::string Pactl(const std::string& address, const std::string& arguments) {
    return "LC_ALL=C pactl -s '" + address + "' " + arguments;
}

// The daemon's environment: this process's, with homes of its own and no way to the user's
// session bus or sound server.
std::vector<std::string> DaemonEnvironment(const TempFolder& folder) {
    static const std::set<std::string> kReplaced = {
        "HOME",         "XDG_CONFIG_HOME", "XDG_RUNTIME_DIR",    "PULSE_RUNTIME_PATH",       "PULSE_STATE_PATH",
        "PULSE_SERVER", "PULSE_COOKIE",    "PULSE_CLIENTCONFIG", "DBUS_SESSION_BUS_ADDRESS", "DISPLAY"};
    std::vector<std::string> environment;
    for (char** entry = environ; *entry; ++entry) {
        const std::string text = *entry;
        if (!kReplaced.count(text.substr(0, text.find('=')))) environment.push_back(text);
    }
    const std::string home = (folder / "home").string();
    const std::string runtime = (folder / "runtime").string();
    environment.insert(environment.end(),
                       {"HOME=" + home, "XDG_CONFIG_HOME=" + home + "/.config", "XDG_RUNTIME_DIR=" + runtime,
                        "PULSE_RUNTIME_PATH=" + runtime, "PULSE_STATE_PATH=" + (folder / "state").string(),
                        "DBUS_SESSION_BUS_ADDRESS=unix:path=" + (folder / "no-bus").string()});
    return environment;
}

std::vector<char*> Pointers(std::vector<std::string>& texts) {
    std::vector<char*> result;
    for (std::string& text : texts) result.push_back(text.data());
    result.push_back(nullptr);
    return result;
}

std::string FindProgram(const char* name) {
    const char* path = std::getenv("PATH");
    std::istringstream folders(path ? path : "/usr/bin:/bin");
    for (std::string folder; std::getline(folders, folder, ':');) {
        const std::string candidate = folder + "/" + name;
        if (access(candidate.c_str(), X_OK) == 0) return candidate;
    }
    return {};
}

pid_t SpawnDaemon(const TempFolder& folder, const std::string& socket) {
    const std::string program = FindProgram("pulseaudio");
    if (program.empty())
        throw std::runtime_error("pulseaudio is not installed (Debian packages pulseaudio and pulseaudio-utils)");
    std::vector<std::string> arguments = {"pulseaudio",
                                          "-n",
                                          "--daemonize=no",
                                          "--exit-idle-time=-1",
                                          "--disallow-exit",
                                          "--use-pid-file=no",
                                          "--system=no",
                                          "--realtime=no",
                                          "--high-priority=no",
                                          "--log-target=stderr",
                                          "-L",
                                          "module-null-sink sink_name=test",
                                          "-L",
                                          "module-native-protocol-unix auth-anonymous=1 socket=" + socket};
    std::vector<std::string> environment = DaemonEnvironment(folder);
    const std::vector<char*> argv = Pointers(arguments);
    const std::vector<char*> envp = Pointers(environment);
    const std::string log = (folder / "daemon.log").string();
    const pid_t parent = getpid();

    const pid_t pid = fork();
    if (pid < 0) throw std::runtime_error(std::string("cannot start pulseaudio: ") + std::strerror(errno));
    if (pid == 0) {
        // Only async-signal-safe calls from here on. The daemon would outlive a test program that
        // crashed or was killed (it is told never to exit by itself): it goes with its parent.
        prctl(PR_SET_PDEATHSIG, SIGTERM);
        if (getppid() != parent) _exit(1);
        const int in = open("/dev/null", O_RDONLY);
        const int out = open(log.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
        if (in < 0 || out < 0) _exit(1);
        dup2(in, 0);
        dup2(out, 1);
        dup2(out, 2);
        execve(program.c_str(), argv.data(), envp.data());
        _exit(127);
    }
    return pid;
}

void StopDaemon(pid_t pid) {
    kill(pid, SIGTERM);
    const auto deadline = Clock::now() + std::chrono::seconds(5);
    while (waitpid(pid, nullptr, WNOHANG) == 0) {
        if (Clock::now() > deadline) {
            kill(pid, SIGKILL);
            waitpid(pid, nullptr, 0);
            return;
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
}

std::string Trimmed(const std::string& line) {
    const auto first = line.find_first_not_of(" \t");
    return first == std::string::npos ? std::string() : line.substr(first);
}

bool StartsWith(const std::string& text, const char* prefix) { return text.rfind(prefix, 0) == 0; }

// Reads what `pactl list` shows of each object whose heading starts with `heading` ("Sink Input #").
std::vector<SinkInput> ParseListing(const std::string& listing, const std::string& heading) {
    static const std::regex kChannelVolume(R"((\d+) /)");
    static const std::regex kProperty(R"re(^([^ ]+) = "(.*)"$)re");
    std::vector<SinkInput> inputs;
    bool inProperties = false;
    std::istringstream lines(listing);
    for (std::string line; std::getline(lines, line);) {
        line = Trimmed(line);
        std::smatch match;
        if (StartsWith(line, heading.c_str())) {
            inputs.emplace_back().index = std::stoi(line.substr(heading.size()));
            inProperties = false;
        } else if (inputs.empty()) {
            continue;
        } else if (StartsWith(line, "Client: ")) {
            inputs.back().client = std::stoi(line.substr(std::strlen("Client: ")));
        } else if (StartsWith(line, "Mute: ")) {
            inputs.back().mute = line == "Mute: yes";
        } else if (StartsWith(line, "Volume: ")) {
            for (auto it = std::sregex_iterator(line.begin(), line.end(), kChannelVolume); it != std::sregex_iterator();
                 ++it)
                inputs.back().volume.push_back(static_cast<unsigned>(std::stoul((*it)[1])));
        } else if (line == "Properties:") {
            inProperties = true;
        } else if (inProperties && std::regex_match(line, match, kProperty)) {
            inputs.back().properties[match[1]] = match[2];
        }
    }
    return inputs;
}

}  // namespace

double LinearVolume(unsigned paVolume) { return std::pow(paVolume / 65536.0, 3); }

PrivateSoundServer::PrivateSoundServer(bool started) {
    for (const char* folder : {"home", "runtime", "state"}) std::filesystem::create_directories(folder_ / folder);
    address_ = "unix:" + (folder_ / "native").string();
    if (started) Start();
    if (const char* previous = std::getenv("PULSE_SERVER")) previousServer_ = previous;
    setenv("PULSE_SERVER", address_.c_str(), 1);
}

void PrivateSoundServer::Start() {
    if (pid_ > 0) return;
    pid_ = SpawnDaemon(folder_, (folder_ / "native").string());
    const auto deadline = Clock::now() + std::chrono::seconds(10);
    std::string failure;
    for (;;) {
        if (waitpid(pid_, nullptr, WNOHANG) == pid_) {
            pid_ = -1;
            failure = "pulseaudio stopped at its start";
            break;
        }
        const Output info = RunCommand(Pactl(address_, "info"));
        if (info.status == 0) break;
        if (info.status == kNotFound) {
            failure = "pactl is not installed (Debian package pulseaudio-utils)";
            break;
        }
        if (Clock::now() > deadline) {
            failure = "pulseaudio did not answer within 10 s: " + info.text;
            break;
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
    }
    if (!failure.empty()) {
        const std::string daemonLog = Log();
        Kill();
        throw std::runtime_error(failure + "\npulseaudio's log:\n" + daemonLog);
    }
}

void PrivateSoundServer::Kill() {
    if (pid_ <= 0) return;
    kill(pid_, SIGKILL);
    waitpid(pid_, nullptr, 0);
    pid_ = -1;
}

void PrivateSoundServer::Freeze() {
    if (pid_ > 0) kill(pid_, SIGSTOP);
}

void PrivateSoundServer::Thaw() {
    if (pid_ > 0) kill(pid_, SIGCONT);
}

void PrivateSoundServer::Suspend(bool suspended) {
    const Output result = RunCommand(Pactl(address_, std::string("suspend-sink test ") + (suspended ? "1" : "0")));
    if (result.status != 0) throw std::runtime_error("pactl suspend-sink failed: " + result.text);
}

PrivateSoundServer::~PrivateSoundServer() {
    if (previousServer_)
        setenv("PULSE_SERVER", previousServer_->c_str(), 1);
    else
        unsetenv("PULSE_SERVER");
    if (pid_ <= 0) return;
    Thaw();
    StopDaemon(pid_);
}

std::string PrivateSoundServer::List(const std::string& kind) const {
    const Output listing = RunCommand(Pactl(address_, "list " + kind));
    if (listing.status != 0) throw std::runtime_error("pactl list " + kind + " failed: " + listing.text);
    return listing.text;
}

std::vector<SinkInput> PrivateSoundServer::SinkInputs() const {
    return ParseListing(List("sink-inputs"), "Sink Input #");
}

Properties PrivateSoundServer::ClientProperties(int client) const {
    for (const SinkInput& entry : ParseListing(List("clients"), "Client #")) {
        if (entry.index == client) return entry.properties;
    }
    return {};
}

std::string PrivateSoundServer::Log() const {
    std::ifstream in(folder_ / "daemon.log");
    return std::string(std::istreambuf_iterator<char>(in), {});
}

}  // namespace mediaplayer::test
