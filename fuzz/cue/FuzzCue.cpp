// Whatever a sheet file holds, the reader returns files with tracks in start order, at most a disc's worth each.
#include <cstddef>
#include <cstdint>
#include <string_view>

#include "media/readers/CueSheet.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view bytes(reinterpret_cast<const char*>(data), size);
    const auto sheet = media::ReadCueSheet(bytes);
    if (!sheet) return 0;
    if (sheet->files.empty()) __builtin_trap();
    for (const media::CueFile& file : sheet->files) {
        if (file.tracks.empty() || file.tracks.size() > media::kMaxCueTracksPerFile) __builtin_trap();
        for (std::size_t i = 1; i < file.tracks.size(); ++i)
            if (file.tracks[i].startFrame < file.tracks[i - 1].startFrame) __builtin_trap();
        for (const media::CueTrack& track : file.tracks) (void)media::CueSeconds(track.startFrame);
    }
    return 0;
}
