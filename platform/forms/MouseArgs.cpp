#include "platform/forms/MouseArgs.h"

namespace forms {

MouseArgs ToMouseArgs(const QMouseEvent& event) {
    MouseArgs args;
    args.button = event.type() == QEvent::MouseMove ? automation::ButtonsCode(event.buttons())
                                                    : automation::ButtonCode(event.button());
    args.shift = automation::ShiftCode(event.modifiers());
    args.x = ToTwips(event.position().x());
    args.y = ToTwips(event.position().y());
    return args;
}

}  // namespace forms
