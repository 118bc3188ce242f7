#pragma once

#include <cstdint>
#include <string_view>

namespace media {

inline std::uint8_t ByteAt(std::string_view bytes, std::size_t i) { return static_cast<std::uint8_t>(bytes[i]); }

inline std::uint32_t BigEndian(std::string_view bytes, std::size_t at, int count) {
    std::uint32_t value = 0;
    for (int i = 0; i < count; ++i) value = (value << 8) | ByteAt(bytes, at + i);
    return value;
}

inline std::uint64_t LittleEndian(std::string_view bytes, std::size_t at, int count) {
    std::uint64_t value = 0;
    for (int i = count - 1; i >= 0; --i) value = (value << 8) | ByteAt(bytes, at + i);
    return value;
}

// ID3v2 sizes: seven bits a byte, most significant first.
inline std::uint32_t Syncsafe(std::string_view bytes, std::size_t at) {
    std::uint32_t value = 0;
    for (int i = 0; i < 4; ++i) value = (value << 7) | (ByteAt(bytes, at + i) & 0x7F);
    return value;
}

// Reads little-endian fields from a block in memory without ever passing its end: a read that
// does not fit yields zero or an empty view and marks the cursor failed, so a parser can read a
// group of fields and test ok() once.
class ByteCursor {
public:
    explicit ByteCursor(std::string_view bytes) : bytes_(bytes) {}

    bool Ok() const { return ok_; }
    std::size_t Remaining() const { return bytes_.size() - pos_; }
    std::string_view Rest() const { return bytes_.substr(pos_); }

    std::uint16_t U16() { return static_cast<std::uint16_t>(Number(2)); }
    std::uint32_t U32() { return static_cast<std::uint32_t>(Number(4)); }

    std::string_view Take(std::size_t count) {
        if (!Fits(count)) return {};
        const std::string_view part = bytes_.substr(pos_, count);
        pos_ += count;
        return part;
    }

    void Skip(std::size_t count) {
        if (Fits(count)) pos_ += count;
    }

private:
    bool Fits(std::size_t count) {
        if (ok_ && count <= Remaining()) return true;
        ok_ = false;
        return false;
    }

    std::uint64_t Number(int count) {
        if (!Fits(count)) return 0;
        const std::uint64_t value = LittleEndian(bytes_, pos_, count);
        pos_ += count;
        return value;
    }

    std::string_view bytes_;
    std::size_t pos_ = 0;
    bool ok_ = true;
};

}  // namespace media
