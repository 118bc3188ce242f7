#include "platform/forms/ProgramEnd.h"

#include <semaphore.h>
#include <sys/socket.h>
#include <unistd.h>
#include <QGuiApplication>
#include <QSessionManager>
#include <QSocketNotifier>
#include <atomic>
#include <cerrno>
#include <csignal>
#include <thread>

namespace forms {
namespace {

int signalPipe[2] = {-1, -1};

// What the signal handler tells the thread that watches the window thread answer. Only lock-free atomics and a
// semaphore's post are used from the handler: both are safe there.
sem_t signalArrived;
std::atomic<int> signalsReceived{0};
std::atomic<int> signalsAnswered{0};
std::atomic<int> lastSignal{0};
static_assert(std::atomic<int>::is_always_lock_free);

void OnSignal(int signal) {
    const int saved = errno;
    lastSignal.store(signal);
    signalsReceived.fetch_add(1);
    const char byte = 1;
    [[maybe_unused]] auto written = ::write(signalPipe[1], &byte, 1);
    ::sem_post(&signalArrived);
    errno = saved;
}

// Waits for signals and gives the window thread `patience` to answer each; when it does not, runs `stranded` here
// and ends the process by the signal, as its default action would have.
void WatchTheAnswers(const std::function<void()>& stranded, std::chrono::milliseconds patience) {
    for (;;) {
        while (::sem_wait(&signalArrived) != 0) {}
        const int awaited = signalsReceived.load();
        const auto deadline = std::chrono::steady_clock::now() + patience;
        while (signalsAnswered.load() < awaited && std::chrono::steady_clock::now() < deadline)
            std::this_thread::sleep_for(std::chrono::milliseconds(20));
        if (signalsAnswered.load() >= awaited) continue;
        stranded();
        const int signal = lastSignal.load();
        std::signal(signal, SIG_DFL);
        std::raise(signal);
    }
}

std::function<void()>& DisplayLost() {
    static std::function<void()> lost;
    return lost;
}

QtMessageHandler previousHandler = nullptr;

// Qt's X11 connection reports a broken connection with this warning and then calls exit(); there is no signal.
void WatchMessages(QtMsgType type, const QMessageLogContext& context, const QString& message) {
    if (type == QtWarningMsg && message.startsWith(QLatin1String("The X11 connection broke")) && DisplayLost()) {
        const auto lost = std::move(DisplayLost());
        DisplayLost() = nullptr;
        lost();
    }
    if (previousHandler) previousHandler(type, context, message);
}

// Sees the quit event before the application acts on it by closing every window.
class QuitWatcher : public QObject {
public:
    explicit QuitWatcher(std::function<void()> quit) : QObject(qApp), quit_(std::move(quit)) {}

protected:
    bool eventFilter(QObject* watched, QEvent* event) override {
        if (watched == qApp && event->type() == QEvent::Quit) quit_();
        return false;
    }

private:
    std::function<void()> quit_;
};

}  // namespace

void OnQuitRequest(std::function<void()> quit) { qApp->installEventFilter(new QuitWatcher(std::move(quit))); }

void OnEndSignals(std::function<void()> end, std::function<void()> stranded, std::chrono::milliseconds patience) {
    static const bool kReady =
        ::socketpair(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0, signalPipe) == 0 && ::sem_init(&signalArrived, 0, 0) == 0;
    if (!kReady) return;
    auto* notifier = new QSocketNotifier(signalPipe[0], QSocketNotifier::Read, qApp);
    // Every signal is taken, not only the first: one that arrives while the program is still starting must not
    // leave later ones without effect.
    QObject::connect(notifier, &QSocketNotifier::activated, [end = std::move(end)] {
        char bytes[16];
        [[maybe_unused]] auto got = ::read(signalPipe[0], bytes, sizeof bytes);
        const int received = signalsReceived.load();
        end();
        signalsAnswered.store(received);
    });
    if (stranded) std::thread(WatchTheAnswers, std::move(stranded), patience).detach();
    struct sigaction action {};
    action.sa_handler = OnSignal;
    sigemptyset(&action.sa_mask);
    action.sa_flags = SA_RESTART;
    for (int signal : {SIGTERM, SIGINT, SIGHUP}) sigaction(signal, &action, nullptr);
}

void OnSessionSave(std::function<void(bool)> save) {
    QObject::connect(
        qApp, &QGuiApplication::commitDataRequest, qApp,
        [save = std::move(save)](QSessionManager& manager) {
            const bool mayAsk = manager.allowsInteraction();
            save(mayAsk);
            if (mayAsk) manager.release();
        },
        Qt::DirectConnection);
}

void OnDisplayLost(std::function<void()> lost) {
    DisplayLost() = std::move(lost);
    static bool watching = false;
    if (!watching) previousHandler = qInstallMessageHandler(WatchMessages);
    watching = true;
}

}  // namespace forms
