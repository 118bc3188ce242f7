#pragma once
// MP3 pieces beyond the common builder: the frame forms of less careful or older taggers: plain ID3v2.4 sizes,
// zlib-compressed frames.

#include "tests/media/readers/TagFileBuilder.h"

#include <zlib.h>

namespace tagfile {

// An ID3v2.4 frame whose size is a plain number, not syncsafe, as some writers put it.
inline std::string Id3v24PlainSizeFrame(std::string_view id, std::string_view body) {
    return std::string(id) + BigEndian(static_cast<std::uint32_t>(body.size()), 4) + std::string(2, '\0') +
           std::string(body);
}

inline std::string ZlibCompressed(std::string_view bytes) {
    uLongf size = compressBound(static_cast<uLong>(bytes.size()));
    std::string out(size, '\0');
    compress(reinterpret_cast<Bytef*>(out.data()), &size, reinterpret_cast<const Bytef*>(bytes.data()),
             static_cast<uLong>(bytes.size()));
    out.resize(size);
    return out;
}

// A compressed frame: ID3v2.3 puts the inflated size (plain) before the stream and flags 0x80;
// ID3v2.4 flags compression (0x08) with a data length indicator (0x01, syncsafe).
inline std::string CompressedFrame(int version, std::string_view id, std::string_view body) {
    const auto size = static_cast<std::uint32_t>(body.size());
    if (version == 3) return Id3v2Frame(3, id, BigEndian(size, 4) + ZlibCompressed(body), 0x80);
    return Id3v2Frame(4, id, Syncsafe(size) + ZlibCompressed(body), 0x09);
}

}  // namespace tagfile
