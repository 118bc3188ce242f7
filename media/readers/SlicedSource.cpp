#include "media/readers/SlicedSource.h"

#include <algorithm>

namespace media {

SlicedSource::SlicedSource(ByteSource& base, std::uint64_t offset, std::uint64_t length) : base_(&base) {
    Append(offset, length);
}

void SlicedSource::Append(std::uint64_t offset, std::uint64_t length) {
    if (offset >= base_->Size()) return;
    length = std::min(length, base_->Size() - offset);
    if (length == 0) return;
    slices_.push_back({size_, offset, length});
    size_ += length;
}

std::size_t SlicedSource::SliceAt(std::uint64_t offset) const {
    const auto after = std::upper_bound(slices_.begin(), slices_.end(), offset,
                                        [](std::uint64_t at, const Slice& slice) { return at < slice.start; });
    return static_cast<std::size_t>(after - slices_.begin()) - 1;
}

std::string_view SlicedSource::Read(std::uint64_t offset, std::size_t length) {
    if (offset >= size_) return {};
    length = static_cast<std::size_t>(std::min<std::uint64_t>(length, size_ - offset));
    std::size_t index = SliceAt(offset);
    const Slice& first = slices_[index];
    const std::uint64_t into = offset - first.start;
    if (length <= first.length - into) return base_->Read(first.baseOffset + into, length);

    joined_.clear();
    for (std::uint64_t at = offset; joined_.size() < length && index < slices_.size(); ++index) {
        const Slice& slice = slices_[index];
        const std::uint64_t skip = at - slice.start;
        const auto want =
            static_cast<std::size_t>(std::min<std::uint64_t>(slice.length - skip, length - joined_.size()));
        const std::string_view piece = base_->Read(slice.baseOffset + skip, want);
        joined_.append(piece);
        if (piece.size() < want) break;  // the base ended early: the run ends there too
        at += want;
    }
    return joined_;
}

}  // namespace media
