#include "platform/forms/ProgramEnd.h"

#include <sys/socket.h>
#include <unistd.h>
#include <QGuiApplication>
#include <QSessionManager>
#include <QSocketNotifier>
#include <cerrno>
#include <csignal>

namespace forms {
namespace {

int signalPipe[2] = {-1, -1};

void OnSignal(int) {
    const int saved = errno;
    const char byte = 1;
    [[maybe_unused]] auto written = ::write(signalPipe[1], &byte, 1);
    errno = saved;
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

void OnEndSignals(std::function<void()> end) {
    if (signalPipe[0] < 0 && ::socketpair(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0, signalPipe) != 0) return;
    auto* notifier = new QSocketNotifier(signalPipe[0], QSocketNotifier::Read, qApp);
    // Every signal is taken, not only the first: one that arrives while the program is still starting must not
    // leave later ones without effect.
    QObject::connect(notifier, &QSocketNotifier::activated, [end = std::move(end)] {
        char bytes[16];
        [[maybe_unused]] auto got = ::read(signalPipe[0], bytes, sizeof bytes);
        end();
    });
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
