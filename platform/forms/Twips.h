#pragma once
// Forms measure in twips; the screen in pixels. The factor is a constant, as the windows' designs assume.
#include <cmath>

namespace forms {

inline constexpr int TwipsPerPixel = 15;

inline int ToPixels(double twips) { return static_cast<int>(std::lround(twips / TwipsPerPixel)); }
inline double ToTwips(double pixels) { return pixels * TwipsPerPixel; }

// Mouse buttons and shift state as the controls' events carry them.
inline constexpr int LeftButton = 1;
inline constexpr int RightButton = 2;
inline constexpr int MiddleButton = 4;
inline constexpr int ShiftMask = 1;
inline constexpr int CtrlMask = 2;
inline constexpr int AltMask = 4;

}  // namespace forms
