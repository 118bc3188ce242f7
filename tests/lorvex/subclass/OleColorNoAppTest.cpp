// Before an application object exists, system colours take their classic values.
#include "platform/automation/OleColor.h"

#include <gtest/gtest.h>

using automation::TranslateOleColor;

TEST(OleColorWithoutApplication, SystemColoursUseClassicValues) {
    std::uint32_t rgb = 0;
    ASSERT_TRUE(TranslateOleColor(0x8000000F, &rgb));  // button face
    EXPECT_EQ(rgb, 0xC8D0D4u);
    ASSERT_TRUE(TranslateOleColor(0x80000005, &rgb));  // window
    EXPECT_EQ(rgb, 0xFFFFFFu);
    ASSERT_TRUE(TranslateOleColor(0x80000018, &rgb));  // tooltip background
    EXPECT_EQ(rgb, 0xE1FFFFu);
    EXPECT_FALSE(TranslateOleColor(0x8000001F, &rgb));
}
