#include "platform/automation/MouseCodes.h"

namespace automation {

int ButtonCode(Qt::MouseButton button) { return ButtonsCode(button); }

int ButtonsCode(Qt::MouseButtons buttons) {
    return (buttons & Qt::LeftButton ? LeftButton : 0) | (buttons & Qt::RightButton ? RightButton : 0) |
           (buttons & Qt::MiddleButton ? MiddleButton : 0);
}

int ShiftCode(Qt::KeyboardModifiers modifiers) {
    return (modifiers & Qt::ShiftModifier ? ShiftMask : 0) | (modifiers & Qt::ControlModifier ? CtrlMask : 0) |
           (modifiers & Qt::AltModifier ? AltMask : 0);
}

}  // namespace automation
