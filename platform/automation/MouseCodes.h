#pragma once
// Mouse buttons and shift state in the form controls' mouse, key and drag events carry them: bit masks shared by
// hosts and controls, so both sides read an event's arguments alike.
#include <Qt>

namespace automation {

inline constexpr int LeftButton = 1;
inline constexpr int RightButton = 2;
inline constexpr int MiddleButton = 4;
inline constexpr int ShiftMask = 1;
inline constexpr int CtrlMask = 2;
inline constexpr int AltMask = 4;

// The one button that changed, or 0 for buttons without a code.
int ButtonCode(Qt::MouseButton button);
// Every button held.
int ButtonsCode(Qt::MouseButtons buttons);
int ShiftCode(Qt::KeyboardModifiers modifiers);

}  // namespace automation
