#include "platform/forms/Timer.h"

namespace forms {

Timer::Timer() {
    timer_.setTimerType(Qt::PreciseTimer);
    QObject::connect(&timer_, &QTimer::timeout, [this] {
        if (enabled_ && Tick) Tick();
    });
}

void Timer::SetInterval(int milliseconds) {
    interval_ = std::max(milliseconds, 0);
    Apply();
}

void Timer::SetEnabled(bool enabled) {
    enabled_ = enabled;
    Apply();
}

void Timer::Apply() {
    if (enabled_ && interval_ > 0)
        timer_.start(interval_);
    else
        timer_.stop();
}

}  // namespace forms
