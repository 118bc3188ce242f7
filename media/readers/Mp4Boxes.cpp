#include "media/readers/Mp4Boxes.h"

#include "media/readers/ByteCursor.h"

#include <algorithm>

namespace media {
namespace {

constexpr std::uint64_t kHeaderSize = 8;
constexpr std::uint64_t kLargeHeaderSize = 16;
constexpr std::uint64_t kFullBoxHeaderSize = 4;

}  // namespace

Mp4Box Mp4FileBox(const ByteSource& file) { return Mp4Box{{}, 0, file.Size()}; }

std::optional<Mp4Box> Mp4BoxWalker::Next() {
    if (listed_ >= kMaxBoxes || pos_ >= end_ || end_ - pos_ < kHeaderSize) return std::nullopt;
    const std::uint64_t room = end_ - pos_;
    const std::string_view header = file_.Read(pos_, static_cast<std::size_t>(std::min(room, kLargeHeaderSize)));
    if (header.size() < kHeaderSize) return std::nullopt;
    std::uint64_t size = BigEndian(header, 0, 4);
    std::uint64_t headerSize = kHeaderSize;
    if (size == 1) {
        if (header.size() < kLargeHeaderSize) return std::nullopt;
        size = (std::uint64_t{BigEndian(header, 8, 4)} << 32) | BigEndian(header, 12, 4);
        headerSize = kLargeHeaderSize;
    } else if (size == 0) {
        size = room;
    }
    if (size < headerSize || size > room) {
        pos_ = end_;  // nothing after a box of impossible size can be found
        return std::nullopt;
    }
    Mp4Box box{std::string(header.substr(4, 4)), pos_ + headerSize, pos_ + size};
    pos_ += size;
    ++listed_;
    return box;
}

std::optional<Mp4Box> FindMp4Box(ByteSource& file, const Mp4Box& parent, std::initializer_list<std::string_view> path) {
    if (path.size() > kMaxMp4Depth) return std::nullopt;
    std::optional<Mp4Box> found = parent;
    for (std::string_view type : path) {
        Mp4BoxWalker children(file, *found);
        do found = children.Next();
        while (found && found->type != type);
        if (!found) return std::nullopt;
    }
    return found;
}

Mp4Box FullBoxChildren(Mp4Box box) {
    box.contentStart = std::min(box.contentStart + kFullBoxHeaderSize, box.end);
    return box;
}

}  // namespace media
