// The frame's arithmetic without a display: outline, snapping to the main window, accepted sizes.
#include <gtest/gtest.h>

#include "media/windows/FrameGeometry.h"
#include "media/windows/ToolWindowKind.h"

using namespace media;

TEST(ToolWindowRegion, RoundsTheTopCornersOnlyOfA300By200Window) {
    const QRegion region = ToolWindowRegion(300 * 15, 200 * 15);
    EXPECT_FALSE(region.contains(QPoint(0, 0)));
    EXPECT_FALSE(region.contains(QPoint(299, 0)));
    EXPECT_FALSE(region.contains(QPoint(1, 1)));
    EXPECT_FALSE(region.contains(QPoint(298, 1)));
    // (7, 0)-(294, 200): the top row between the corners.
    EXPECT_TRUE(region.contains(QPoint(7, 0)));
    EXPECT_TRUE(region.contains(QPoint(150, 0)));
    EXPECT_TRUE(region.contains(QPoint(293, 0)));
    // (0, 6)-(300, 200): full width from row 6 down, square bottom corners.
    EXPECT_TRUE(region.contains(QPoint(0, 6)));
    EXPECT_TRUE(region.contains(QPoint(299, 6)));
    EXPECT_TRUE(region.contains(QPoint(0, 199)));
    EXPECT_TRUE(region.contains(QPoint(299, 199)));
    // The corner ellipses fill in the curve.
    EXPECT_TRUE(region.contains(QPoint(3, 3)));
    EXPECT_TRUE(region.contains(QPoint(296, 3)));
    // Nothing outside the window.
    EXPECT_FALSE(region.contains(QPoint(300, 100)));
    EXPECT_FALSE(region.contains(QPoint(150, 200)));
    EXPECT_EQ(region.boundingRect().bottom(), 199);
}

TEST(ToolWindowRegion, RoundsAFractionalWidthPerCoordinateAndTheHeightAtOnce) {
    // 4495 twips: w = 299.67 pixels, so the right edge is at 300; 2993 twips: h = 199.53, rounded to 200.
    const QRegion region = ToolWindowRegion(4495, 2993);
    EXPECT_TRUE(region.contains(QPoint(299, 199)));
    EXPECT_FALSE(region.contains(QPoint(300, 199)));
    EXPECT_FALSE(region.contains(QPoint(299, 200)));
    EXPECT_FALSE(region.contains(QPoint(299, 0)));
}

TEST(ToolWindowSnap, DocksUnderTheMainWindowWhenStrictlyCloserThan500Twips) {
    const SnapRule below{SnapSide::Below, 500};
    const QRectF main(3000, 1500, 4050, 2520);  // bottom edge at 4020
    EXPECT_EQ(SnapToMain(below, {3000 + 499, 4020 - 499}, main), QPointF(3000, 4020));
    EXPECT_EQ(SnapToMain(below, {3000 - 499, 4020 + 499}, main), QPointF(3000, 4020));
    EXPECT_EQ(SnapToMain(below, {3000 + 500, 4020 + 500}, main), QPointF(3500, 4520));
    // Each axis on its own.
    EXPECT_EQ(SnapToMain(below, {3000 + 499, 4020 + 500}, main), QPointF(3000, 4520));
    EXPECT_EQ(SnapToMain(below, {3000 - 500, 4020 - 499}, main), QPointF(2500, 4020));
}

TEST(ToolWindowSnap, TheWebWindowDocksRightOfTheMainWindowWithin1500Twips) {
    const SnapRule right = ToolWindowKind::Web(QStringLiteral("web")).snap;
    const QRectF main(3000, 1500, 4050, 2520);  // right edge at 7050
    EXPECT_EQ(SnapToMain(right, {7050 + 1499, 1500 - 1499}, main), QPointF(7050, 1500));
    EXPECT_EQ(SnapToMain(right, {7050 - 1500, 1500 + 1500}, main), QPointF(5550, 3000));
    EXPECT_EQ(SnapToMain(right, {7050 + 1500, 1500 + 10}, main), QPointF(8550, 1500));
}

TEST(ToolWindowResize, TakesADraggedSizeOnlyWhenStrictlyAboveTheMinimum) {
    const QSizeF minimum = ToolWindowKind::Lyrics().minimumSize;  // 2500 x 960
    const QPointF topLeft(1500, 3000);
    const QSizeF current(4080, 3330);
    const ResizeAxes corner{true, true};
    // The lyrics window dragged by its corner to width 3000, height 900: only the width changes.
    EXPECT_EQ(DraggedSize(corner, {(1500 + 3000) / 15, (3000 + 900) / 15}, topLeft, current, minimum),
              QSizeF(3000, 3330));
    // Exactly the minimum is not taken either, and nothing is clamped.
    EXPECT_EQ(DraggedSize(corner, {(1500 + 2500) / 15, (3000 + 960) / 15}, topLeft, current, minimum), current);
    EXPECT_EQ(DraggedSize(corner, {(1500 + 2505) / 15, (3000 + 975) / 15}, topLeft, current, minimum),
              QSizeF(2505, 975));
    // A cursor left of or above the window gives negative sizes, which are refused.
    EXPECT_EQ(DraggedSize(corner, {0, 0}, topLeft, current, minimum), current);
}

// A window the program places is kept within the screen's free area: made smaller to the room left from its place
// (not below its minimum), then moved in, its top-left corner first; left alone where it fits.
TEST(ToolWindowPlace, KeptWithinTheFreeAreaOfTheScreen) {
    const QRectF area(0, 450, 7680, 5310);  // 512 x 384 pixels less a 30-pixel panel at the top
    const QSizeF minimum(2500, 1500);
    struct Case {
        const char* name;
        QRectF placed, kept;
    };
    for (const Case& c : {
             Case{"fits", {100, 600, 3945, 4680}, {100, 600, 3945, 4680}},
             Case{"docked past the bottom", {1800, 3000, 4050, 4680}, {1800, 3000, 4050, 2760}},
             Case{"beside the main window, past the right edge", {5850, 450, 4080, 3330}, {5180, 450, 2500, 3330}},
             Case{"above the free area", {0, 0, 3945, 4680}, {0, 450, 3945, 4680}},
             Case{"taller than the free area, down to its minimum", {0, 5000, 3945, 9000}, {0, 4260, 3945, 1500}},
             Case{"a free area smaller than the minimum", {0, 0, 3000, 3000}, {0, 0, 2500, 1500}},
         }) {
        SCOPED_TRACE(c.name);
        const QRectF tiny(0, 0, 2000, 1000);
        EXPECT_EQ(KeptWithin(c.placed, std::string(c.name).starts_with("a free") ? tiny : area, minimum), c.kept);
    }
}
