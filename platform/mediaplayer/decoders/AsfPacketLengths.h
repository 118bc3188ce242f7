#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
#include <vector>

namespace mediaplayer::decoders {

// GStreamer's ASF muxer gives a short data packet (a file's last) a length field that leaves out its padding; libav
// counts the padding inside the length, finds more padding than packet and drops the packet as damaged, so a short
// WMA made that way has no sound at all. The reader mends the field as the bytes go to libav: the length becomes the
// fixed packet size the header declares, which is what the packet really spans.
class AsfPacketLengths {
public:
    using Reader = std::function<std::vector<std::uint8_t>(std::uint64_t offset, std::size_t size)>;

    // Learns where the data packets start and their fixed size from the file's header objects.
    void Learn(const Reader& read);
    // Mends the packets whose headers lie in `data`, the file's bytes from `offset`.
    void Mend(std::uint64_t offset, std::uint8_t* data, std::size_t size, const Reader& read) const;

private:
    static constexpr std::size_t kHeaderBytes = 32;

    bool MendHeader(std::vector<std::uint8_t>& header) const;

    std::uint64_t first_ = 0;
    std::uint32_t size_ = 0;
};

}  // namespace mediaplayer::decoders
