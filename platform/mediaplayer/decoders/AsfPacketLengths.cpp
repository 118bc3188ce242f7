#include "platform/mediaplayer/decoders/AsfPacketLengths.h"

#include <algorithm>
#include <iterator>

namespace mediaplayer::decoders {
namespace {

std::uint64_t LittleEndian(const std::uint8_t* bytes, std::size_t width) {
    std::uint64_t value = 0;
    for (std::size_t i = width; i-- > 0;) value = value << 8 | bytes[i];
    return value;
}

}  // namespace

void AsfPacketLengths::Learn(const Reader& read) {
    static constexpr std::uint8_t kHeader[] = {0x30, 0x26, 0xB2, 0x75, 0x8E, 0x66, 0xCF, 0x11,
                                               0xA6, 0xD9, 0x00, 0xAA, 0x00, 0x62, 0xCE, 0x6C};
    static constexpr std::uint8_t kFileProperties[] = {0xA1, 0xDC, 0xAB, 0x8C, 0x47, 0xA9, 0xCF, 0x11,
                                                       0x8E, 0xE4, 0x00, 0xC0, 0x0C, 0x20, 0x53, 0x65};
    const std::vector<std::uint8_t> start = read(0, 30);
    if (start.size() < 30 || !std::equal(std::begin(kHeader), std::end(kHeader), start.begin())) return;
    const std::uint64_t headerSize = LittleEndian(&start[16], 8);
    if (headerSize < 30 || headerSize > (1u << 24)) return;
    const std::vector<std::uint8_t> header = read(0, headerSize);
    for (std::size_t at = 30; at + 24 <= header.size();) {
        const std::uint64_t objectSize = LittleEndian(&header[at + 16], 8);
        if (objectSize < 24 || objectSize > header.size() - at) return;
        if (objectSize >= 104 && std::equal(std::begin(kFileProperties), std::end(kFileProperties), &header[at])) {
            const auto minimum = static_cast<std::uint32_t>(LittleEndian(&header[at + 92], 4));
            const auto maximum = static_cast<std::uint32_t>(LittleEndian(&header[at + 96], 4));
            if (minimum == maximum && minimum >= 32) {
                first_ = headerSize + 50;  // after the data object's own header
                size_ = minimum;
            }
            return;
        }
        at += objectSize;
    }
}

void AsfPacketLengths::Mend(std::uint64_t offset, std::uint8_t* data, std::size_t size, const Reader& read) const {
    if (size_ == 0 || offset + size <= first_) return;
    std::uint64_t packet = first_;
    if (offset > first_) packet += (offset - first_) / size_ * size_;
    if (packet + kHeaderBytes <= offset) packet += size_;
    for (; packet < offset + size; packet += size_) {
        std::vector<std::uint8_t> header = read(packet, kHeaderBytes);
        if (!MendHeader(header)) continue;
        for (std::uint64_t at = std::max(packet, offset); at < std::min(packet + header.size(), offset + size); ++at)
            data[at - offset] = header[at - packet];
    }
}

bool AsfPacketLengths::MendHeader(std::vector<std::uint8_t>& header) const {
    std::size_t at = 0;
    if (header.empty()) return false;
    if (header[0] & 0x80) at = 1 + (header[0] & 0x0F);  // error correction data first
    if (at + 2 > header.size()) return false;
    static constexpr std::size_t kWidths[] = {0, 1, 2, 4};
    const std::uint8_t flags = header[at];
    const std::size_t lengthWidth = kWidths[(flags >> 5) & 3], sequenceWidth = kWidths[(flags >> 1) & 3],
                      paddingWidth = kWidths[(flags >> 3) & 3];
    at += 2;  // the flags and the property flags
    if (lengthWidth < 2 || paddingWidth == 0 || at + lengthWidth + sequenceWidth + paddingWidth > header.size())
        return false;
    const std::uint64_t length = LittleEndian(&header[at], lengthWidth);
    const std::uint64_t padding = LittleEndian(&header[at + lengthWidth + sequenceWidth], paddingWidth);
    if (length >= size_ || length + padding != size_ || (lengthWidth == 2 && size_ > 0xFFFF)) return false;
    for (std::size_t i = 0; i < lengthWidth; ++i) header[at + i] = static_cast<std::uint8_t>(size_ >> (8 * i));
    return true;
}

}  // namespace mediaplayer::decoders
