#include "media/lyrics/LyricScroller.h"

#include <algorithm>
#include <cmath>
#include <limits>

namespace media {
namespace {

// A value that cannot be computed (a zero time difference) leaves the block where it was.
void SetTop(LyricTable& table, double value) {
    if (std::isfinite(value)) table.lyricTop = static_cast<float>(value);
}

}  // namespace

LyricFrame LyricTick(LyricTable& table, double position, double duration, double canvasHeight) {
    LyricFrame frame;
    const auto& lines = table.lyricLines;
    if (lines.empty()) {
        frame.clear = true;
        return frame;
    }
    if (lines[0].Text.empty()) return frame;  // no lyric: leave the canvas as it is
    frame.clear = true;
    frame.draw = true;

    const int last = static_cast<int>(lines.size()) - 1;
    const double h = table.lyricLineHeight;
    const double middle = canvasHeight / 2 - h / 2;
    auto time = [&](int i) { return static_cast<double>(lines[static_cast<std::size_t>(i)].Time); };
    int c = table.lyricIndex;

    if (c > last) {
        // After the last line: rise until the last line's middle meets the top edge at the end of the media, unless
        // that is too fast to read or cannot be worked out; then drift 2 pixels a tick.
        const double span = duration - time(last);
        if (static_cast<float>(duration) != lines[static_cast<std::size_t>(last)].Time &&
            (canvasHeight / 2 - 2 * h) / span < 10)
            SetTop(table, middle - h * c + (h - canvasHeight / 2) * (position - time(last)) / span);
        else
            table.lyricTop -= 2;
        frame.top = table.lyricTop;
        frame.highlight = last;
        return frame;
    }

    if (static_cast<float>(position) >= lines[static_cast<std::size_t>(c)].Time) {
        ++c;  // one line a tick, so a jump is caught up line by line
        table.lyricIndex = static_cast<std::int16_t>(c);
    }

    if (c == 0) {
        SetTop(table, middle - h * position / time(0));
    } else if (c == 1) {
        if (last >= 1) SetTop(table, middle - h - h * (position - time(0)) / (time(1) - time(0)));
        frame.highlight = 0;
    } else {
        if (c > last)
            SetTop(table, middle - h * c);
        else
            SetTop(table, middle - h * c - h * (position - time(c - 1)) / (time(c) - time(c - 1)));
        frame.highlight = c - 1;
    }
    frame.top = table.lyricTop;
    return frame;
}

LyricTickInputs LyricTickReads(const LyricTable& table) {
    LyricTickInputs reads;
    const auto& lines = table.lyricLines;
    if (lines.empty() || lines[0].Text.empty()) return reads;
    reads.position = true;
    reads.duration = table.lyricIndex >= 0 && static_cast<std::size_t>(table.lyricIndex) >= lines.size();
    return reads;
}

double LyricSecondsToNextStep(const LyricTable& table, double position) {
    const auto& lines = table.lyricLines;
    if (lines.empty() || lines[0].Text.empty()) return std::numeric_limits<double>::infinity();
    const int c = table.lyricIndex;
    const int last = static_cast<int>(lines.size()) - 1;
    if (c < 0 || c > last) return 0;  // after the last line the block may move on every tick
    auto time = [&](int i) { return static_cast<double>(lines[static_cast<std::size_t>(i)].Time); };
    // Within line c the block rises one pitch over the time from the line before to this one (from 0 for the first).
    const double span = c == 0 ? time(0) : time(c) - time(c - 1);
    const double untilNextLine = time(c) - position;
    if (!(span > 0) || !(table.lyricLineHeight > 0) || !std::isfinite(untilNextLine)) return 0;
    const double perPixel = span / table.lyricLineHeight;
    return std::clamp(std::min(perPixel, untilNextLine), 0.0, perPixel);
}

}  // namespace media
