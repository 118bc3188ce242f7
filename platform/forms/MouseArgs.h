#pragma once
// Converts Qt's mouse state into the button / shift / twips arguments of a control's mouse events.
#include <QMouseEvent>

#include "platform/automation/MouseCodes.h"
#include "platform/forms/Twips.h"

namespace forms {

struct MouseArgs {
    int button = 0;  // the button that changed (press/release) or the buttons held (move)
    int shift = 0;
    double x = 0;  // twips within the control
    double y = 0;
};

// The names the forms' handlers test their arguments by.
using automation::kLeftButton;
using automation::kRightButton;
using automation::kShiftMask;

// For presses and releases the changed button, for moves the held buttons.
MouseArgs ToMouseArgs(const QMouseEvent& event);

}  // namespace forms
