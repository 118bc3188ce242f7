#pragma once
// Mouse buttons and shift state in the form controls' mouse, key and drag events carry them: bit masks shared by
// hosts and controls, so both sides read an event's arguments alike.
#include <Qt>

namespace automation {

inline constexpr int kLeftButton = 1;
inline constexpr int kRightButton = 2;
inline constexpr int kMiddleButton = 4;
inline constexpr int kShiftMask = 1;
inline constexpr int kCtrlMask = 2;
inline constexpr int kAltMask = 4;

// The one button that changed, or 0 for buttons without a code.
int ButtonCode(Qt::MouseButton button);
// Every button held.
int ButtonsCode(Qt::MouseButtons buttons);
int ShiftCode(Qt::KeyboardModifiers modifiers);

}  // namespace automation
