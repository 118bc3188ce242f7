#pragma once

#include "media/readers/ByteSource.h"

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace media {

// Ranges of another source read as one run of bytes: a metadata block or a box inside a file, or an
// Ogg packet whose pieces lie on several pages. Only the bytes asked for are read, so a parser can
// pass over a large value (a picture) without loading it.
class SlicedSource final : public ByteSource {
public:
    explicit SlicedSource(ByteSource& base) : base_(&base) {}
    // One range of `base`, cut where `base` ends.
    SlicedSource(ByteSource& base, std::uint64_t offset, std::uint64_t length);

    // Appends bytes [offset, offset + length) of the base; a range past the base's end is cut there.
    void Append(std::uint64_t offset, std::uint64_t length);
    std::size_t SliceCount() const { return slices_.size(); }

    std::uint64_t Size() const override { return size_; }
    std::string_view Read(std::uint64_t offset, std::size_t length) override;

private:
    struct Slice {
        std::uint64_t start;       // where the slice begins in this source
        std::uint64_t baseOffset;  // and in the base
        std::uint64_t length;
    };

    std::size_t SliceAt(std::uint64_t offset) const;

    ByteSource* base_;  // a pointer, so packets can be assigned
    std::vector<Slice> slices_;
    std::uint64_t size_ = 0;
    std::string joined_;  // a read that spans slices
};

}  // namespace media
