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

    std::uint32_t OLEColor() const { return oleColor_; }
    std::int32_t RGBColor() const { return rgbColor_; }
    const QBrush& GDIBrush() const { return brush_; }
    bool GotGDIBrush() const { return brush_.style() != Qt::NoBrush; }
    const QPen& GDIPen() const { return pen_; }
    bool GotGDIPen() const { return pen_.style() != Qt::NoPen; }

private:
    static constexpr std::uint32_t kUnset = 0xFFFFFFFFu;  // -1 as a Long

    std::uint32_t oleColor_ = kUnset;
    std::int32_t rgbColor_ = -1;
    QBrush brush_{Qt::NoBrush};
    QPen pen_{Qt::NoPen};
};

}  // namespace lorvex
