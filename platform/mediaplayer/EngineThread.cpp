#include "platform/mediaplayer/EngineThread.h"

#include "platform/mediaplayer/AbandonableThread.h"
#include "platform/mediaplayer/PlaybackEngine.h"

#include <chrono>
#include <condition_variable>
#include <deque>
#include <mutex>

namespace mediaplayer {
namespace {

// How often the engine takes in what the pipeline reports while a media is under way: end of media, errors,
// the position. Fine enough for the lyrics, which the host's thread moves on between reports.
constexpr std::chrono::milliseconds kActiveInterval(20);
// With nothing under way, the engine waits for requests; it still looks now and then.
constexpr std::chrono::milliseconds kIdleInterval(250);
// How long the host's thread waits, at the end, for the engine to take its pipeline down.
constexpr std::chrono::milliseconds kEndWait(1500);

}  // namespace

struct EngineThread::Shared {
    struct Posted {
        std::uint64_t number;
        Request request;
        Kind kind;
    };

    mutable std::mutex lock;
    std::condition_variable posted;
    std::deque<Posted> requests;
    std::uint64_t lastNumber = 0;
    bool ending = false;
    EngineReport report;
};

EngineThread::EngineThread(AudioSinkFactory audioSink) : shared_(std::make_shared<Shared>()) {
    thread_ = std::make_unique<AbandonableThread>(
        [shared = shared_, audioSink = std::move(audioSink)]() mutable { Run(shared, std::move(audioSink)); });
}

EngineThread::~EngineThread() {
    {
        std::lock_guard guard(shared_->lock);
        shared_->ending = true;
    }
    shared_->posted.notify_all();
    thread_->JoinWithin(kEndWait);
}

std::uint64_t EngineThread::Post(Request request, Kind kind) {
    std::uint64_t number = 0;
    {
        std::lock_guard guard(shared_->lock);
        number = ++shared_->lastNumber;
        shared_->requests.push_back({number, std::move(request), kind});
    }
    shared_->posted.notify_all();
    return number;
}

EngineReport EngineThread::Report() const {
    std::lock_guard guard(shared_->lock);
    return shared_->report;
}

void EngineThread::Run(const std::shared_ptr<Shared>& shared, AudioSinkFactory audioSink) {
    PlaybackEngine engine(std::move(audioSink));
    auto interval = kIdleInterval;
    for (;;) {
        std::deque<Shared::Posted> batch;
        {
            std::unique_lock guard(shared->lock);
            shared->posted.wait_for(guard, interval, [&] { return shared->ending || !shared->requests.empty(); });
            if (shared->ending) break;
            batch.swap(shared->requests);
        }
        // Requests that piled up while the engine was held up: those a later reset makes pointless are dropped,
        // so a burst of track changes on a frozen server costs one start, not one each.
        auto lastReset = batch.end();
        for (auto it = batch.begin(); it != batch.end(); ++it)
            if (it->kind == Kind::Resets) lastReset = it;
        std::uint64_t handled = 0;
        for (auto it = batch.begin(); it != batch.end(); ++it) {
            const bool dropped = lastReset != batch.end() && it < lastReset && it->kind != Kind::Kept;
            if (!dropped) it->request(engine);
            handled = it->number;
        }
        EngineReport report = engine.Report();
        const bool underWay = report.state != Undefined && report.state != Stopped && report.state != Ready;
        interval = underWay ? kActiveInterval : kIdleInterval;
        std::lock_guard guard(shared->lock);
        report.handled = handled ? handled : shared->report.handled;
        shared->report = std::move(report);
    }
}

}  // namespace mediaplayer
