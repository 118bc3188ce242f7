#include "fuzz/FuzzInput.h"
#include "media/playlist/PlaylistFile.h"

#include <vector>

namespace {

std::vector<media::PlaylistRecord> Load(const std::string& path) {
    std::vector<media::PlaylistRecord> records;
    media::PlaylistFileReader reader;
    if (reader.Open(path))
        while (auto record = reader.Next()) records.push_back(std::move(*record));
    return records;
}

}  // namespace

// Whatever a list file holds, what the reader makes of it must save and read back unchanged.
extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    static const FuzzInputFile kInput("input.lst");
    static const FuzzInputFile kSaved("saved.lst");
    kInput.Write(data, size);
    const std::vector<media::PlaylistRecord> records = Load(kInput.Path());
    if (!media::SavePlaylistFile(kSaved.Path(), records.size(), [&records](std::size_t i) { return records[i]; }))
        __builtin_trap();
    if (Load(kSaved.Path()) != records) __builtin_trap();
    return 0;
}
