#pragma once
// One colour property of the control: the OLE colour as set, its RGB value, and on request a solid
// brush and a one-pixel pen of that colour for drawing.

#include <QBrush>
#include <QPen>

#include <cstdint>

namespace lorvex {

class Color {
public:
    Color() = default;
    ~Color() { Dispose(); }

    // Drops the current brush and pen, stores and translates the colour (system colours are
    // resolved now) and creates the requested objects. False, with RGBColor -1 and neither object,
    // when the colour cannot be translated.
    bool SetColor(std::uint32_t oleColor, bool createBrush, bool createPen);
    // Translates the stored colour again and re-creates the objects that existed.
    void Update();
    // Drops brush and pen; OLEColor and RGBColor become -1.
    void Dispose();

    std::uint32_t OLEColor() const { return m_oleColor; }
    std::int32_t RGBColor() const { return m_rgbColor; }
    const QBrush& GDIBrush() const { return m_brush; }
    bool GotGDIBrush() const { return m_brush.style() != Qt::NoBrush; }
    const QPen& GDIPen() const { return m_pen; }
    bool GotGDIPen() const { return m_pen.style() != Qt::NoPen; }

private:
    static constexpr std::uint32_t kUnset = 0xFFFFFFFFu;  // -1 as a Long

    std::uint32_t m_oleColor = kUnset;
    std::int32_t m_rgbColor = -1;
    QBrush m_brush{Qt::NoBrush};
    QPen m_pen{Qt::NoPen};
};

}  // namespace lorvex
