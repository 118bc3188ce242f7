// Whatever a lyric file holds, the parsed lines are in time order and never start with an empty text.
#include <cstddef>
#include <cstdint>
#include <string_view>

#include "media/lyrics/LrcParser.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view bytes(reinterpret_cast<const char*>(data), size);
    const auto lines = media::ParseLrc(media::DecodeLyricBytes(bytes));
    if (!lines.empty() && lines.front().Text.empty()) __builtin_trap();
    for (std::size_t i = 1; i < lines.size(); ++i)
        if (lines[i].Time < lines[i - 1].Time || lines[i].Time < 0) __builtin_trap();
    return 0;
}
