#pragma once

#include <string>

namespace mediaplayer {

// "mm:ss", or "hh:mm:ss" from one hour on, rounded to the nearest second.
// Negative or non-finite times read "00:00".
std::u16string FormatClock(double seconds);

}  // namespace mediaplayer
