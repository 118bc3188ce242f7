#pragma once
// Where a track's timed lyric comes from: a ".lrc" file beside the media with the same base name, else lyrics
// embedded in the file that carry time tags.
#include <string>
#include <vector>

#include "media/lyrics/LyricTable.h"

namespace media {

// The lines for a location; empty when it has none (web addresses have none).
std::vector<LyricLine> FindLyrics(const std::u16string& location);

// The sidecar file of a media file: same folder and base name, extension ".lrc" in any letter case; empty if none.
std::string SidecarLrcPath(const std::string& mediaPath);

}  // namespace media
