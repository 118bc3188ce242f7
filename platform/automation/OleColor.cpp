#include "platform/automation/OleColor.h"

#include "platform/automation/RgbColor.h"

#include <QGuiApplication>
#include <QPalette>

#include <array>
#include <optional>

namespace automation {

namespace {

constexpr std::uint32_t Rgb(int r, int g, int b) {
    return static_cast<std::uint32_t>(r) | (static_cast<std::uint32_t>(g) << 8) | (static_cast<std::uint32_t>(b) << 16);
}

struct SystemColor {
    std::optional<QPalette::ColorRole> role;  // none: no palette role comes close; the classic value is used
    QPalette::ColorGroup group;
    std::uint32_t classic;  // the classic scheme's value
};

// System colours 0..30 by index: the nearest role of the application palette, and the classic value.
const std::array<SystemColor, kLastSystemColor + 1>& SystemColors() {
    using P = QPalette;
    static const std::array<SystemColor, kLastSystemColor + 1> kColors{{
        {P::Button, P::Active, Rgb(212, 208, 200)},           // 0 scroll bar
        {std::nullopt, P::Active, Rgb(58, 110, 165)},         // 1 desktop
        {P::Highlight, P::Active, Rgb(10, 36, 106)},          // 2 active caption
        {P::Mid, P::Active, Rgb(128, 128, 128)},              // 3 inactive caption
        {P::Window, P::Active, Rgb(212, 208, 200)},           // 4 menu
        {P::Base, P::Active, Rgb(255, 255, 255)},             // 5 window
        {P::Shadow, P::Active, Rgb(0, 0, 0)},                 // 6 window frame
        {P::WindowText, P::Active, Rgb(0, 0, 0)},             // 7 menu text
        {P::Text, P::Active, Rgb(0, 0, 0)},                   // 8 window text
        {P::HighlightedText, P::Active, Rgb(255, 255, 255)},  // 9 caption text
        {P::Window, P::Active, Rgb(212, 208, 200)},           // 10 active border
        {P::Window, P::Active, Rgb(212, 208, 200)},           // 11 inactive border
        {P::Mid, P::Active, Rgb(128, 128, 128)},              // 12 application workspace
        {P::Highlight, P::Active, Rgb(10, 36, 106)},          // 13 highlight
        {P::HighlightedText, P::Active, Rgb(255, 255, 255)},  // 14 highlighted text
        {P::Button, P::Active, Rgb(212, 208, 200)},           // 15 button face
        {P::Dark, P::Active, Rgb(128, 128, 128)},             // 16 button shadow
        {P::Text, P::Disabled, Rgb(128, 128, 128)},           // 17 grey text
        {P::ButtonText, P::Active, Rgb(0, 0, 0)},             // 18 button text
        {P::Midlight, P::Active, Rgb(212, 208, 200)},         // 19 inactive caption text
        {P::Light, P::Active, Rgb(255, 255, 255)},            // 20 button highlight
        {P::Shadow, P::Active, Rgb(64, 64, 64)},              // 21 3-D dark shadow
        {P::Midlight, P::Active, Rgb(212, 208, 200)},         // 22 3-D light
        {P::ToolTipText, P::Active, Rgb(0, 0, 0)},            // 23 tooltip text
        {P::ToolTipBase, P::Active, Rgb(255, 255, 225)},      // 24 tooltip background
        {std::nullopt, P::Active, Rgb(181, 181, 181)},        // 25 alternate button face
        {P::Link, P::Active, Rgb(0, 0, 128)},                 // 26 hot-tracked item
        {P::Highlight, P::Active, Rgb(166, 202, 240)},        // 27 active caption gradient
        {P::Midlight, P::Active, Rgb(192, 192, 192)},         // 28 inactive caption gradient
        {P::Highlight, P::Active, Rgb(49, 106, 197)},         // 29 menu highlight
        {P::Window, P::Active, Rgb(212, 208, 200)},           // 30 menu bar
    }};
    return kColors;
}

std::uint32_t ResolveSystemColor(int index) {
    const SystemColor& color = SystemColors()[static_cast<std::size_t>(index)];
    if (!color.role || qobject_cast<QGuiApplication*>(QCoreApplication::instance()) == nullptr) return color.classic;
    return FromQColor(QGuiApplication::palette().color(color.group, *color.role));
}

}  // namespace

bool TranslateOleColor(std::uint32_t oleColor, std::uint32_t* rgbOut) {
    std::uint32_t value = 0;
    switch (oleColor >> 24) {
        case 0x00: value = oleColor; break;
        case kSystemColorFlag >> 24: {
            const std::uint32_t index = oleColor & 0x00FFFFFFu;
            if (index > static_cast<std::uint32_t>(kLastSystemColor)) return false;
            value = ResolveSystemColor(static_cast<int>(index));
            break;
        }
        default: return false;
    }
    if (rgbOut != nullptr) *rgbOut = value;
    return true;
}

}  // namespace automation
