#include "platform/forms/EventTurns.h"

#include <QCoreApplication>

namespace forms {

bool EventTurns::Take() {
    if (sinceTurn_.elapsed() < kEventTurnMilliseconds) return false;
    QCoreApplication::processEvents();
    sinceTurn_.restart();
    return true;
}

}  // namespace forms
