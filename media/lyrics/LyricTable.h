#pragma once
// The lyric of the current track: timed lines, and the display state the lyrics window keeps between ticks.
#include <cstdint>
#include <string>
#include <vector>

namespace media {

struct LyricLine {
    float Time = 0;       // seconds into the track at which the line starts
    std::u16string Text;  // one printed line
};

struct LyricTable {
    std::vector<LyricLine> lyricLines;
    std::int16_t lyricIndex = 0;  // lines reached so far; the current line is lyricIndex - 1
    float lyricTop = 0;           // canvas y of line 0 on the last tick
    float lyricLineHeight = 0;    // pitch of one printed line
    // Counts the Installs. What is drawn from the lines is kept by this number, never by their text: installing the
    // same lines again (the same track started over) is a new lyric too.
    std::uint64_t generation = 0;

    // A new track's lines (ascending times, first text not empty); the highlight starts again.
    void Install(std::vector<LyricLine> lines) {
        lyricLines = std::move(lines);
        lyricIndex = 0;
        ++generation;
    }
};

// The one table of the program.
LyricTable& Lyrics();

}  // namespace media
