#include "platform/mediaplayer/ClockText.h"

#include <algorithm>
#include <cmath>
#include <cstdio>

namespace mediaplayer {

std::u16string FormatClock(double seconds) {
    // Beyond this the text would need more digits than anyone can use; it also keeps the
    // conversion to an integer defined.
    constexpr double kLongest = 1e9;
    if (!std::isfinite(seconds) || seconds < 0) seconds = 0;
    const auto total = static_cast<long long>(std::llround(std::min(seconds, kLongest)));
    const long long hours = total / 3600;
    const int minutes = static_cast<int>(total / 60 % 60);
    const int secs = static_cast<int>(total % 60);
    char buffer[32];
    if (hours > 0)
        std::snprintf(buffer, sizeof buffer, "%02lld:%02d:%02d", hours, minutes, secs);
    else
        std::snprintf(buffer, sizeof buffer, "%02d:%02d", minutes, secs);
    return std::u16string(buffer, buffer + std::char_traits<char>::length(buffer));
}

}  // namespace mediaplayer
