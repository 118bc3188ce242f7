#include "platform/forms/MouseArgs.h"

namespace forms {

MouseArgs ToMouseArgs(const QMouseEvent& event) {
    MouseArgs args;
    args.button = event.type() == QEvent::MouseMove ? ButtonsCode(event.buttons()) : ButtonCode(event.button());
    args.shift = ShiftCode(event.modifiers());
    args.x = ToTwips(event.position().x());
    args.y = ToTwips(event.position().y());
    return args;
}

}  // namespace forms
