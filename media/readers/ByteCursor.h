#pragma once

#include <cstdint>
#include <string_view>

namespace media {

inline std::uint8_t byteAt(std::string_view bytes, std::size_t i) { return static_cast<std::uint8_t>(bytes[i]); }

inline std::uint32_t bigEndian(std::string_view bytes, std::size_t at, int count) {
    std::uint32_t value = 0;
    for (int i = 0; i < count; ++i) value = (value << 8) | byteAt(bytes, at + i);
    return value;
}

inline std::uint64_t littleEndian(std::string_view bytes, std::size_t at, int count) {
    std::uint64_t value = 0;
    for (int i = count - 1; i >= 0; --i) value = (value << 8) | byteAt(bytes, at + i);
    return value;
}

// ID3v2 sizes: seven bits a byte, most significant first.
inline std::uint32_t syncsafe(std::string_view bytes, std::size_t at) {
    std::uint32_t value = 0;
    for (int i = 0; i < 4; ++i) value = (value << 7) | (byteAt(bytes, at + i) & 0x7F);
    return value;
}

// Reads little-endian fields from a block in memory without ever passing its end: a read that
// does not fit yields zero or an empty view and marks the cursor failed, so a parser can read a
// group of fields and test ok() once.
class ByteCursor {
public:
    explicit ByteCursor(std::string_view bytes) : bytes_(bytes) {}

    bool ok() const { return ok_; }
    std::size_t remaining() const { return bytes_.size() - pos_; }
    std::string_view rest() const { return bytes_.substr(pos_); }

    std::uint16_t u16() { return static_cast<std::uint16_t>(number(2)); }
    std::uint32_t u32() { return static_cast<std::uint32_t>(number(4)); }

    std::string_view take(std::size_t count) {
        if (!fits(count)) return {};
        const std::string_view part = bytes_.substr(pos_, count);
        pos_ += count;
        return part;
    }

    void skip(std::size_t count) {
        if (fits(count)) pos_ += count;
    }

private:
    bool fits(std::size_t count) {
        if (ok_ && count <= remaining()) return true;
        ok_ = false;
        return false;
    }

    std::uint64_t number(int count) {
        if (!fits(count)) return 0;
        const std::uint64_t value = littleEndian(bytes_, pos_, count);
        pos_ += count;
        return value;
    }

    std::string_view bytes_;
    std::size_t pos_ = 0;
    bool ok_ = true;
};

}  // namespace media
