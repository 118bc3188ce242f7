#pragma once
// Forms measure in twips; the screen in pixels. The factor is a constant, as the windows' designs assume.
#include <cmath>

namespace forms {

inline constexpr int kTwipsPerPixel = 15;

inline int ToPixels(double twips) { return static_cast<int>(std::lround(twips / kTwipsPerPixel)); }
inline double ToTwips(double pixels) { return pixels * kTwipsPerPixel; }

}  // namespace forms
