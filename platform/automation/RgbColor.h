#pragma once
// Conversions between 24-bit RGB values (red in the low byte) and Qt colours.

#include <QColor>

#include <cstdint>

namespace automation {

inline QColor ToQColor(std::uint32_t rgb) {
    return QColor(static_cast<int>(rgb & 0xFF), static_cast<int>((rgb >> 8) & 0xFF),
                  static_cast<int>((rgb >> 16) & 0xFF));
}

inline std::uint32_t FromQColor(const QColor& color) {
    const QColor c = color.toRgb();
    return static_cast<std::uint32_t>(c.red()) | (static_cast<std::uint32_t>(c.green()) << 8) |
           (static_cast<std::uint32_t>(c.blue()) << 16);
}

}  // namespace automation
