// OLE colours resolve system colours from the application palette; Color keeps a colour with its
// brush and pen.
#include "lorvex/listview/Color.h"
#include "platform/automation/OleColor.h"
#include "platform/automation/RgbColor.h"

#include <QApplication>
#include <QPalette>

#include <gtest/gtest.h>

using automation::FromQColor;
using automation::TranslateOleColor;
using lorvex::Color;

namespace {

// Sets one palette colour for a test and puts the palette back afterwards.
class PaletteOverride {
public:
    PaletteOverride(QPalette::ColorGroup group, QPalette::ColorRole role, QColor color)
        : saved_(QApplication::palette()) {
        QPalette changed = saved_;
        changed.setColor(group, role, color);
        QApplication::setPalette(changed);
    }
    ~PaletteOverride() { QApplication::setPalette(saved_); }

private:
    QPalette saved_;
};

std::uint32_t Translated(std::uint32_t ole) {
    std::uint32_t rgb = 0xDEADBEEF;
    EXPECT_TRUE(TranslateOleColor(ole, &rgb)) << std::hex << ole;
    return rgb;
}

}  // namespace

TEST(TranslateOleColor, RgbPassesAndSystemColoursFollowThePalette) {
    EXPECT_EQ(Translated(0x00123456), 0x123456u);
    const QPalette palette = QApplication::palette();
    EXPECT_EQ(Translated(0x80000005), FromQColor(palette.color(QPalette::Base)));
    EXPECT_EQ(Translated(0x8000000D), FromQColor(palette.color(QPalette::Highlight)));
    EXPECT_EQ(Translated(0x80000011), FromQColor(palette.color(QPalette::Disabled, QPalette::Text)));
    {
        PaletteOverride tooltip(QPalette::Active, QPalette::ToolTipBase, QColor(1, 2, 3));
        EXPECT_EQ(Translated(0x80000018), 0x030201u);  // red in the low byte, resolved now
    }
    EXPECT_TRUE(TranslateOleColor(0x8000001E, nullptr));  // validation only

    std::uint32_t rgb = 7;
    for (std::uint32_t bad : {0x8000001Fu, 0x80010000u, 0x01000005u, 0x02FFFFFFu, 0xFFFFFFFFu})
        EXPECT_FALSE(TranslateOleColor(bad, &rgb)) << std::hex << bad;
    EXPECT_EQ(rgb, 7u);  // untouched
}

TEST(ColorObject, SetColorMakesTheRequestedObjects) {
    Color color;
    EXPECT_EQ(color.OLEColor(), 0xFFFFFFFFu);
    EXPECT_EQ(color.RGBColor(), -1);
    EXPECT_FALSE(color.GotGDIBrush());
    EXPECT_FALSE(color.GotGDIPen());

    ASSERT_TRUE(color.SetColor(0x8000000F, true, true));
    const QColor buttonFace = QApplication::palette().color(QPalette::Button);
    EXPECT_EQ(color.OLEColor(), 0x8000000Fu);
    EXPECT_EQ(static_cast<std::uint32_t>(color.RGBColor()), FromQColor(buttonFace));
    ASSERT_TRUE(color.GotGDIBrush());
    EXPECT_EQ(color.GDIBrush().style(), Qt::SolidPattern);
    EXPECT_EQ(color.GDIBrush().color().rgb(), buttonFace.rgb());
    ASSERT_TRUE(color.GotGDIPen());
    EXPECT_EQ(color.GDIPen().width(), 1);
    EXPECT_TRUE(color.GDIPen().isCosmetic());
    EXPECT_EQ(color.GDIPen().capStyle(), Qt::FlatCap);
    EXPECT_EQ(color.GDIPen().color().rgb(), buttonFace.rgb());

    ASSERT_TRUE(color.SetColor(0x0000FF, false, true));
    EXPECT_FALSE(color.GotGDIBrush());
    EXPECT_EQ(color.GDIPen().color(), QColor(255, 0, 0));

    EXPECT_FALSE(color.SetColor(0x80000020, true, true));
    EXPECT_EQ(color.OLEColor(), 0x80000020u);
    EXPECT_EQ(color.RGBColor(), -1);
    EXPECT_FALSE(color.GotGDIBrush());
    EXPECT_FALSE(color.GotGDIPen());
}

TEST(ColorObject, UpdateFollowsTheSystemColourAndKeepsItsObjects) {
    Color color;
    ASSERT_TRUE(color.SetColor(0x8000000F, true, false));
    {
        PaletteOverride face(QPalette::Active, QPalette::Button, QColor(10, 20, 30));
        EXPECT_NE(color.RGBColor(), 0x1E140A);  // not followed by itself
        color.Update();
        EXPECT_EQ(color.RGBColor(), 0x1E140A);
        EXPECT_EQ(color.GDIBrush().color(), QColor(10, 20, 30));
        EXPECT_FALSE(color.GotGDIPen());
    }
    color.Dispose();
    EXPECT_EQ(color.OLEColor(), 0xFFFFFFFFu);
    EXPECT_EQ(color.RGBColor(), -1);
    EXPECT_FALSE(color.GotGDIBrush());
}
