#pragma once
// Class and interface identities in their registry text form, e.g. {0596283B-31C0-4D22-AAF6-55D8FD5E2CDF}.
#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace automation {

struct Guid {
    std::uint32_t data1 = 0;
    std::uint16_t data2 = 0;
    std::uint16_t data3 = 0;
    std::array<std::uint8_t, 8> data4{};

    // Accepts the registry form with or without braces, any letter case.
    static constexpr std::optional<Guid> Parse(std::string_view text);
    // Compile-time form for identities written in the code; an invalid literal does not compile.
    static consteval Guid Of(std::string_view text) { return *Parse(text); }
    // The 16 bytes as stored in files: data1..data3 little-endian, data4 as is.
    static Guid FromBytes(const std::uint8_t bytes[16]);

    std::string ToString() const;  // "{XXXXXXXX-XXXX-XXXX-XXXX-XXXXXXXXXXXX}", upper case
    std::u16string ToU16String() const;
    constexpr bool IsNull() const { return *this == Guid{}; }
    constexpr bool operator==(const Guid&) const = default;
    constexpr auto operator<=>(const Guid&) const = default;
};

namespace detail {
constexpr int HexValue(char c) {
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    return -1;
}
}  // namespace detail

constexpr std::optional<Guid> Guid::Parse(std::string_view text) {
    if (text.size() == 38 && text.front() == '{' && text.back() == '}') text = text.substr(1, 36);
    if (text.size() != 36) return std::nullopt;
    std::uint8_t bytes[16]{};
    std::size_t pos = 0;
    for (int i = 0; i < 16; ++i) {
        if (pos == 8 || pos == 13 || pos == 18 || pos == 23) {
            if (text[pos] != '-') return std::nullopt;
            ++pos;
        }
        const int hi = detail::HexValue(text[pos]);
        const int lo = detail::HexValue(text[pos + 1]);
        if (hi < 0 || lo < 0) return std::nullopt;
        bytes[i] = static_cast<std::uint8_t>(hi * 16 + lo);
        pos += 2;
    }
    Guid g;
    g.data1 =
        (std::uint32_t(bytes[0]) << 24) | (std::uint32_t(bytes[1]) << 16) | (std::uint32_t(bytes[2]) << 8) | bytes[3];
    g.data2 = static_cast<std::uint16_t>((bytes[4] << 8) | bytes[5]);
    g.data3 = static_cast<std::uint16_t>((bytes[6] << 8) | bytes[7]);
    for (int i = 0; i < 8; ++i) g.data4[i] = bytes[8 + i];
    return g;
}

}  // namespace automation
