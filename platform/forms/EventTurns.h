#pragma once
// Long work on the window thread (reading a list, searching a folder tree) gives pending events a turn every few
// milliseconds, so the user can scroll, play or stop it meanwhile without the work moving to another thread.
#include <QElapsedTimer>

namespace forms {

class EventTurns {
public:
    // Short enough that the window keeps answering, long enough that the work is not spent on event turns.
    static constexpr qint64 kEventTurnMilliseconds = 15;

    EventTurns() { sinceTurn_.start(); }

    // Gives pending events a turn when one is due; true when it did, so the caller checks what they may have
    // changed (a stop asked for, the window gone).
    bool Take();

private:
    QElapsedTimer sinceTurn_;
};

}  // namespace forms
