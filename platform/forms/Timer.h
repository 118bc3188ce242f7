#pragma once
// A form's timer: an interval in milliseconds, an Enabled switch, and the handler that runs on each tick.
#include <QTimer>
#include <functional>

namespace forms {

class Timer {
public:
    Timer();
    int Interval() const { return interval_; }
    void SetInterval(int milliseconds);
    bool Enabled() const { return enabled_; }
    // Enabling restarts the interval; an interval of 0 never ticks.
    void SetEnabled(bool enabled);

    std::function<void()> Tick;

private:
    void Apply();
    QTimer timer_;
    int interval_ = 0;
    bool enabled_ = false;
};

}  // namespace forms
