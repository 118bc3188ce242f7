#include "lorvex/listview/Color.h"

#include "platform/automation/OleColor.h"
#include "platform/automation/RgbColor.h"

namespace lorvex {

bool Color::SetColor(std::uint32_t oleColor, bool createBrush, bool createPen) {
    brush_ = QBrush(Qt::NoBrush);
    pen_ = QPen(Qt::NoPen);
    oleColor_ = oleColor;
    std::uint32_t rgb = 0;
    if (!automation::TranslateOleColor(oleColor, &rgb)) {
        rgbColor_ = -1;
        return false;
    }
    rgbColor_ = static_cast<std::int32_t>(rgb);
    const QColor color = automation::ToQColor(rgb);
    if (createBrush) brush_ = QBrush(color, Qt::SolidPattern);
    if (createPen) {
        // Like a one-pixel device pen: one pixel at any scale, lines end at their end point.
        pen_ = QPen(color, 1, Qt::SolidLine, Qt::FlatCap);
        pen_.setCosmetic(true);
    }
    return true;
}

void Color::Update() { SetColor(oleColor_, GotGDIBrush(), GotGDIPen()); }

void Color::Dispose() {
    brush_ = QBrush(Qt::NoBrush);
    pen_ = QPen(Qt::NoPen);
    oleColor_ = kUnset;
    rgbColor_ = -1;
}

}  // namespace lorvex
