#include "fuzz/FuzzInput.h"
#include "media/playlist/PlaylistFile.h"

#include <vector>

namespace {

std::vector<media::PlaylistRecord> load(const std::string& path) {
    std::vector<media::PlaylistRecord> records;
    media::PlaylistFileReader reader;
    if (reader.open(path))
        while (auto record = reader.next()) records.push_back(std::move(*record));
    return records;
}

}  // namespace

// Whatever a list file holds, what the reader makes of it must save and read back unchanged.
extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    static const FuzzInputFile input("input.lst");
    static const FuzzInputFile saved("saved.lst");
    input.write(data, size);
    const std::vector<media::PlaylistRecord> records = load(input.path());
    if (!media::SavePlaylistFile(saved.path(), records.size(), [&records](std::size_t i) { return records[i]; }))
        __builtin_trap();
    if (load(saved.path()) != records) __builtin_trap();
    return 0;
}
