#include "platform/mediaplayer/AbandonableThread.h"

#include <condition_variable>
#include <mutex>

namespace mediaplayer {

// Shared by the owner and the thread, so that an abandoned thread still has it to report to.
struct AbandonableThread::Ending {
    std::mutex lock;
    std::condition_variable ended;
    bool done = false;
};

AbandonableThread::AbandonableThread(std::function<void()> work) : ending_(std::make_shared<Ending>()) {
    thread_ = std::thread([ending = ending_, work = std::move(work)] {
        work();
        std::lock_guard guard(ending->lock);
        ending->done = true;
        ending->ended.notify_all();
    });
}

AbandonableThread::~AbandonableThread() { JoinWithin(std::chrono::milliseconds(0)); }

bool AbandonableThread::JoinWithin(std::chrono::milliseconds bound) {
    if (!thread_.joinable()) return true;
    bool done = false;
    {
        std::unique_lock guard(ending_->lock);
        done = ending_->ended.wait_for(guard, bound, [&] { return ending_->done; });
    }
    if (done)
        thread_.join();
    else
        thread_.detach();
    return done;
}

bool AbandonableThread::RunWithin(std::function<void()> work, std::chrono::milliseconds bound) {
    AbandonableThread thread(std::move(work));
    return thread.JoinWithin(bound);
}

}  // namespace mediaplayer
