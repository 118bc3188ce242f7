#include "lorvex/listview/Color.h"

#include "platform/automation/OleColor.h"
#include "platform/automation/RgbColor.h"

namespace lorvex {

bool Color::SetColor(std::uint32_t oleColor, bool createBrush, bool createPen) {
    m_brush = QBrush(Qt::NoBrush);
    m_pen = QPen(Qt::NoPen);
    m_oleColor = oleColor;
    std::uint32_t rgb = 0;
    if (!automation::TranslateOleColor(oleColor, &rgb)) {
        m_rgbColor = -1;
        return false;
    }
    m_rgbColor = static_cast<std::int32_t>(rgb);
    const QColor color = automation::ToQColor(rgb);
    if (createBrush) m_brush = QBrush(color, Qt::SolidPattern);
    if (createPen) {
        // Like a one-pixel device pen: one pixel at any scale, lines end at their end point.
        m_pen = QPen(color, 1, Qt::SolidLine, Qt::FlatCap);
        m_pen.setCosmetic(true);
    }
    return true;
}

void Color::Update() { SetColor(m_oleColor, GotGDIBrush(), GotGDIPen()); }

void Color::Dispose() {
    m_brush = QBrush(Qt::NoBrush);
    m_pen = QPen(Qt::NoPen);
    m_oleColor = kUnset;
    m_rgbColor = -1;
}

}  // namespace lorvex
