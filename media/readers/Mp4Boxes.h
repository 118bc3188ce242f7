#pragma once

#include "media/readers/ByteSource.h"

#include <cstdint>
#include <initializer_list>
#include <optional>
#include <string>
#include <string_view>

namespace media {

// One box of an MP4 (ISO base media) file: a 32-bit big-endian size and a four-character type;
// a size of 1 puts a 64-bit size after the type, a size of 0 runs the box to the end of its parent.
struct Mp4Box {
    std::string type;
    std::uint64_t contentStart = 0;
    std::uint64_t end = 0;

    std::uint64_t ContentSize() const { return end - contentStart; }
};

// The whole file as the parent of its top-level boxes.
Mp4Box Mp4FileBox(const ByteSource& file);

// The boxes inside a parent, in order. A box must fit in its parent: one that claims more, or
// less than its own header, ends the walk, since where the next box starts is then unknown. At
// most kMaxBoxes boxes a level are listed.
class Mp4BoxWalker {
public:
    static constexpr int kMaxBoxes = 4096;

    Mp4BoxWalker(ByteSource& file, const Mp4Box& parent) : file_(file), pos_(parent.contentStart), end_(parent.end) {}
    std::optional<Mp4Box> Next();

private:
    ByteSource& file_;
    std::uint64_t pos_;
    std::uint64_t end_;
    int listed_ = 0;
};

// The first box of each type in turn down `path` from `parent` ({"mdia", "minf", "stbl"}). Paths
// are at most kMaxMp4Depth long, so a walk never goes deeper than the boxes it names.
inline constexpr std::size_t kMaxMp4Depth = 8;
std::optional<Mp4Box> FindMp4Box(ByteSource& file, const Mp4Box& parent, std::initializer_list<std::string_view> path);

// The children of a full box start after its version and flags.
Mp4Box FullBoxChildren(Mp4Box box);

}  // namespace media
