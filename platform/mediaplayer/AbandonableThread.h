#pragma once

#include <chrono>
#include <functional>
#include <memory>
#include <thread>

namespace mediaplayer {

// A thread whose owner waits for it only so long. Work held up by a device or a sound server that
// has stopped answering is left to finish by itself (its thread is detached), so that no caller,
// the window's thread above all, waits on it for longer than it chose.
class AbandonableThread {
public:
    explicit AbandonableThread(std::function<void()> work);
    // Joins the thread if it has ended by now, else detaches it.
    ~AbandonableThread();
    AbandonableThread(const AbandonableThread&) = delete;
    AbandonableThread& operator=(const AbandonableThread&) = delete;

    // Waits up to `bound` for the work to end and joins it; detaches it when it has not. True when it ended.
    bool JoinWithin(std::chrono::milliseconds bound);

    // Runs `work` on a thread of its own and waits for it at most `bound`; true when it ended in time.
    static bool RunWithin(std::function<void()> work, std::chrono::milliseconds bound);

private:
    struct Ending;
    std::shared_ptr<Ending> ending_;
    std::thread thread_;
};

}  // namespace mediaplayer
