#pragma once
// Timed lyrics in the LRC form: "[mm:ss.xx]text" lines, several time tags a line, an [offset:ms] tag, other tags
// ignored. Plain C++ so the fuzzer can take it alone.
#include <string_view>
#include <vector>

#include "media/lyrics/LyricTable.h"

namespace media {

// Lines sorted by time (equal times keep their order in the text), leading lines without text dropped so the first
// line always has text. Empty when the text holds no timed line.
std::vector<LyricLine> ParseLrc(std::u16string_view text);

// The bytes of a lyric file: UTF-8 (with or without a byte-order mark) when they are valid UTF-8, else GBK.
std::u16string DecodeLyricBytes(std::string_view bytes);

}  // namespace media
