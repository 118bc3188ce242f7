#pragma once
// Colours as Qt draws them: a system colour by its OLE number, and the translated value of a colour object.
#include <QColor>

#include "lorvex/listview/Color.h"
#include "platform/automation/OleColor.h"
#include "platform/automation/RgbColor.h"

namespace lorvex {

inline QColor SystemColor(std::uint32_t oleColor) {
    std::uint32_t rgb = 0;
    automation::TranslateOleColor(oleColor, &rgb);
    return automation::ToQColor(rgb);
}

// A colour object whose colour did not translate gives white.
inline QColor ColorOf(const Color& color) { return automation::ToQColor(static_cast<std::uint32_t>(color.RGBColor())); }

}  // namespace lorvex
