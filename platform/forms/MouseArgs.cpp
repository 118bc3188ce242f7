#include "platform/forms/MouseArgs.h"

namespace forms {

int ButtonCode(Qt::MouseButton button) {
    switch (button) {
        case Qt::LeftButton: return LeftButton;
        case Qt::RightButton: return RightButton;
        case Qt::MiddleButton: return MiddleButton;
        default: return 0;
    }
}

int ButtonsCode(Qt::MouseButtons buttons) {
    int code = 0;
    if (buttons & Qt::LeftButton) code |= LeftButton;
    if (buttons & Qt::RightButton) code |= RightButton;
    if (buttons & Qt::MiddleButton) code |= MiddleButton;
    return code;
}

int ShiftCode(Qt::KeyboardModifiers modifiers) {
    int code = 0;
    if (modifiers & Qt::ShiftModifier) code |= ShiftMask;
    if (modifiers & Qt::ControlModifier) code |= CtrlMask;
    if (modifiers & Qt::AltModifier) code |= AltMask;
    return code;
}

MouseArgs ToMouseArgs(const QMouseEvent& event) {
    MouseArgs args;
    args.button = event.type() == QEvent::MouseMove ? ButtonsCode(event.buttons()) : ButtonCode(event.button());
    args.shift = ShiftCode(event.modifiers());
    args.x = ToTwips(event.position().x());
    args.y = ToTwips(event.position().y());
    return args;
}

}  // namespace forms
