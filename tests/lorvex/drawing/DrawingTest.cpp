// What the grid puts on screen, checked pixel by pixel on its rendered window: colours of normal, selected and
// custom-drawn cells, the focus mark, check boxes, hidden columns, alignment, the empty control, row heights and
// picture slots, and that a paint shows nothing new while Redraw is off.
#include <QPainter>
#include <QTemporaryDir>

#include <set>

#include "lorvex/listview/BorderFrame.h"
#include "lorvex/listview/ListViewPainter.h"
#include "platform/automation/OleColor.h"
#include "platform/automation/RgbColor.h"
#include "tests/lorvex/drawing/CustomDrawRecorder.h"
#include "tests/lorvex/input/GridHarness.h"

using namespace lorvex;
using namespace lorvex::test;

namespace {

std::int32_t Rgb(int r, int g, int b) { return r | (g << 8) | (b << 16); }
QColor Q(std::int32_t rgb) { return automation::ToQColor(static_cast<std::uint32_t>(rgb)); }
QColor System(std::uint32_t ole) {
    std::uint32_t rgb = 0;
    automation::TranslateOleColor(ole, &rgb);
    return automation::ToQColor(rgb);
}

const std::int32_t kBack = Rgb(255, 255, 240);
const std::int32_t kFore = Rgb(0, 0, 0);
const std::int32_t kSelectedBack = Rgb(200, 0, 0);
const std::int32_t kSelectedFore = Rgb(255, 255, 255);
const std::int32_t kFocus = Rgb(0, 160, 0);

// Pixels of the band that differ from its background colour: where text or marks were drawn.
int Ink(const QImage& image, const QRect& band, QColor background) {
    int ink = 0;
    for (int y = band.top(); y <= band.bottom(); ++y)
        for (int x = band.left(); x <= band.right(); ++x) ink += image.pixelColor(x, y) != background;
    return ink;
}

// A 300 x 200 grid with distinct colours, a 12-pixel font (rows 16 high under a 20-pixel header) and two
// columns of 100 and 80 pixels.
class Drawing : public ::testing::Test {
protected:
    void SetUp() override {
        View().SetBackColor(kBack);
        View().SetForeColor(kFore);
        View().SetSelectedBackColor(kSelectedBack);
        View().SetSelectedForeColor(kSelectedFore);
        View().SetFocusRectColor(kFocus);
        grid.AddColumn(u"a", 100);
        grid.AddColumn(u"b", 80);
    }
    ListView& View() { return *grid.view; }
    int Top(int row) const { return 20 + 16 * row; }
    void GiveFocus(bool in) {
        QFocusEvent event(in ? QEvent::FocusIn : QEvent::FocusOut);
        QApplication::sendEvent(grid.Window(), &event);
    }
    GridHarness grid;
};

}  // namespace

TEST_F(Drawing, SelectionColoursOnlyTheColumns) {
    grid.AddRows(3);
    View().Items()[1].selected = true;
    const QImage image = grid.Grab();
    EXPECT_EQ(image.pixelColor(1, Top(1) + 1), Q(kSelectedBack));
    EXPECT_EQ(image.pixelColor(179, Top(1) + 8), Q(kSelectedBack));
    EXPECT_EQ(image.pixelColor(180, Top(1) + 8), Q(kBack));  // right of the last column
    EXPECT_EQ(image.pixelColor(250, Top(1) + 8), Q(kBack));
    EXPECT_EQ(image.pixelColor(1, Top(0) + 1), Q(kBack));
    EXPECT_EQ(image.pixelColor(1, Top(3) + 1), Q(kBack));  // below the last row
    EXPECT_EQ(image.pixelColor(1, 190), Q(kBack));
    // The selected row's text is in the selected fore colour.
    EXPECT_GT(Ink(image, QRect(4, Top(1), 40, 16), Q(kSelectedBack)), 0);
    int white = 0;
    for (int x = 4; x < 44; ++x)
        for (int y = Top(1); y < Top(2); ++y) white += image.pixelColor(x, y) == Q(kSelectedFore);
    EXPECT_GT(white, 0);
}

TEST_F(Drawing, FocusOutlineOnlyWithFocusWhileEnabled) {
    grid.AddRows(3);
    View().SetSelectedItem(1);
    GiveFocus(false);  // a shown window may have been given the focus
    const auto outlined = [&](const QImage& image) {
        return image.pixelColor(0, Top(1)) == Q(kFocus) && image.pixelColor(179, Top(1)) == Q(kFocus) &&
               image.pixelColor(0, Top(2) - 1) == Q(kFocus) && image.pixelColor(179, Top(2) - 1) == Q(kFocus) &&
               image.pixelColor(90, Top(1)) == Q(kFocus) && image.pixelColor(1, Top(1) + 1) != Q(kFocus) &&
               image.pixelColor(180, Top(1)) != Q(kFocus);
    };
    EXPECT_FALSE(outlined(grid.Grab()));
    GiveFocus(true);
    EXPECT_TRUE(View().Window()->HasFocus());
    EXPECT_TRUE(outlined(grid.Grab()));
    View().SetEnabled(false);
    EXPECT_FALSE(outlined(grid.Grab()));
    View().SetEnabled(true);
    EXPECT_TRUE(outlined(grid.Grab()));
    GiveFocus(false);
    EXPECT_FALSE(outlined(grid.Grab()));

    // The dotted mark inverts every other pixel of the same outline.
    View().SetSolidFocusRect(false);
    GiveFocus(true);
    const QImage dotted = grid.Grab();
    const QColor inverted(255 - Q(kBack).red(), 255 - Q(kBack).green(), 255 - Q(kBack).blue());
    EXPECT_EQ(dotted.pixelColor(0, Top(1)), inverted);
    EXPECT_EQ(dotted.pixelColor(1, Top(1)), Q(kBack));
    EXPECT_EQ(dotted.pixelColor(2, Top(1)), inverted);
    EXPECT_NE(dotted.pixelColor(0, Top(1)), Q(kFocus));
}

TEST_F(Drawing, CheckboxOutlineAndTickPixels) {
    View().SetCheckboxes(true);
    grid.AddRows(2);
    View().Items()[0].checked = true;
    View().Items()[1].selected = true;  // drawn with the selected pen, unchecked
    View().SetCheckboxColor(Rgb(0, 0, 255));
    View().SetCheckboxSelectedColor(Rgb(0, 255, 255));
    ASSERT_EQ(View().ItemHeight(), 19);
    const QImage image = grid.Grab();
    const QColor pen = Q(Rgb(0, 0, 255));
    // Row 0 spans 20..38: the box's top is at round((20 + 39) / 2 - 6.5) = 23.
    const int y = 23;
    for (QPoint p : {QPoint(3, y), QPoint(15, y), QPoint(3, y + 12), QPoint(15, y + 12), QPoint(9, y), QPoint(2, y - 1),
                     QPoint(16, y - 1), QPoint(2, y + 13), QPoint(16, y + 13)})
        EXPECT_EQ(image.pixelColor(p), pen) << p.x() << "," << p.y() - y;
    EXPECT_NE(image.pixelColor(1, y), pen);
    EXPECT_NE(image.pixelColor(17, y + 6), pen);
    // The tick: three diagonal strokes down to the left, then the short stroke up from the bottom.
    const std::set<std::pair<int, int>> tick = {
        {12, 5}, {11, 6}, {10, 7}, {9, 8},                  // (12, 5) - (8, 9)
        {12, 4}, {11, 5}, {10, 6}, {9, 7}, {8, 8},          // (12, 4) - (7, 9)
        {12, 3}, {11, 4}, {10, 5}, {9, 6}, {8, 7}, {7, 8},  // (12, 3) - (6, 9)
        {6, 6},  {7, 7},                                    // (6, 6) - (9, 9)
        {6, 7},  {7, 8},  {8, 9},                           // (6, 7) - (9, 10)
    };
    for (auto [tx, ty] : tick) EXPECT_EQ(image.pixelColor(tx, y + ty), pen) << tx << "," << ty;
    // End points are left out, and nothing else inside the box is touched.
    for (auto [tx, ty] : {std::pair{6, 9}, std::pair{10, 9}, std::pair{9, 10}, std::pair{5, 5}, std::pair{13, 6}})
        EXPECT_NE(image.pixelColor(tx, y + ty), pen) << tx << "," << ty;
    int inside = 0;
    for (int ty = 1; ty < 12; ++ty)
        for (int tx = 4; tx < 15; ++tx) inside += image.pixelColor(tx, y + ty) == pen;
    EXPECT_GE(inside, static_cast<int>(tick.size()));
    EXPECT_LE(inside, static_cast<int>(tick.size()) + 6);  // the two uneven strokes (6,5)-(8,8), (6,7)-(10,9)

    // The unchecked selected row: the selected pen and an empty box.
    const int y1 = y + 19;
    EXPECT_EQ(image.pixelColor(3, y1), Q(Rgb(0, 255, 255)));
    for (int ty = 1; ty < 12; ++ty)
        for (int tx = 4; tx < 15; ++tx) ASSERT_EQ(image.pixelColor(tx, y1 + ty), Q(kSelectedBack));
}

TEST(DrawingMeasures, CheckboxesMakeRowsAtLeast19HighOnAn8PixelFont) {
    GridHarness grid;
    grid.SetTextHeight(8);
    EXPECT_EQ(grid.view->ItemHeight(), 12);
    grid.view->SetCheckboxes(true);
    EXPECT_EQ(grid.view->ItemHeight(), 19);
    EXPECT_EQ(grid.Side().Layout().headerHeight, 16);
}

TEST_F(Drawing, HiddenColumnMovesTheFollowingOnesInHeaderAndRows) {
    grid.AddColumn(u"c", 60, TextAlignLeft, true, true, u"WWWW");
    grid.AddRows(1);
    View().SetItemText(0, 2, u"WWWW");
    const QColor face = System(0x8000000F);
    QImage image = grid.Grab();
    // Column c at 180..240: its caption and cell text.
    EXPECT_GT(Ink(image, QRect(184, 4, 40, 12), face), 0);
    EXPECT_GT(Ink(image, QRect(184, Top(0) + 1, 40, 14), Q(kBack)), 0);
    std::vector<Variant> hide{Variant(std::int32_t(1)), Variant::FromBool(false)};
    ASSERT_TRUE(View().Invoke(dispid::ColumnVisible, InvokeKind::PropertyPut, hide, nullptr).Ok());
    image = grid.Grab();
    // Now at 100..160, and nothing where it was.
    EXPECT_GT(Ink(image, QRect(104, 4, 40, 12), face), 0);
    EXPECT_GT(Ink(image, QRect(104, Top(0) + 1, 40, 14), Q(kBack)), 0);
    EXPECT_EQ(Ink(image, QRect(165, 2, 100, 15), face), 0);  // the header's filler
    EXPECT_EQ(Ink(image, QRect(161, Top(0), 100, 16), Q(kBack)), 0);
    EXPECT_EQ(image.pixelColor(160, 10), System(0x80000016));  // the filler's left edge follows column c
}

TEST_F(Drawing, AlignmentOutsideTheThreeDrawsNoText) {
    grid.AddRows(1);
    View().SetItemText(0, 1, u"WWWW");
    std::vector<Variant> caption{Variant(std::int32_t(1)), Variant(u"WWWW")};
    View().Invoke(dispid::ColumnCaption, InvokeKind::PropertyPut, caption, nullptr);
    const QColor face = System(0x8000000F);
    const QRect headerText(104, 3, 70, 14), cellText(104, Top(0) + 1, 70, 14);
    for (std::int32_t align : {TextAlignLeft, TextAlignRight, TextAlignCenter}) {
        View().Columns()[1].textAlign = align;
        View().Window()->PaintList();
        const QImage image = grid.Grab();
        EXPECT_GT(Ink(image, headerText, face), 0) << align;
        EXPECT_GT(Ink(image, cellText, Q(kBack)), 0) << align;
    }
    for (std::int32_t align : {3, -1}) {
        std::vector<Variant> set{Variant(std::int32_t(1)), Variant(align)};
        ASSERT_TRUE(View().Invoke(dispid::ColumnTextAlign, InvokeKind::PropertyPut, set, nullptr).Ok());
        const QImage image = grid.Grab();
        EXPECT_EQ(Ink(image, headerText, face), 0) << align;
        EXPECT_EQ(Ink(image, cellText, Q(kBack)), 0) << align;
    }
}

TEST(DrawingEmpty, OnlyBackColourAndTheEmptyHeaderWithItsFillerEdge) {
    GridHarness grid;
    grid.view->SetBackColor(kBack);
    grid.view->SetColumnsVisible(false);
    const QRect client = grid.Window()->ClientRect();
    QImage image = grid.Grab();
    EXPECT_EQ(Ink(image, client, Q(kBack)), 0);

    grid.view->SetColumnsVisible(true);
    image = grid.Grab();
    const int right = client.width() - 1;
    // The filler spans the whole header: edges on the left, top and bottom, none on the right.
    EXPECT_EQ(image.pixelColor(0, 0), System(0x80000016));
    EXPECT_EQ(image.pixelColor(1, 1), System(0x80000014));
    EXPECT_EQ(image.pixelColor(100, 19), System(0x80000015));
    EXPECT_EQ(image.pixelColor(100, 18), System(0x80000010));
    EXPECT_EQ(image.pixelColor(100, 10), System(0x8000000F));
    EXPECT_EQ(image.pixelColor(right, 10), System(0x8000000F));
    EXPECT_EQ(image.pixelColor(right - 1, 10), System(0x8000000F));
    EXPECT_EQ(Ink(image, QRect(0, 20, client.width(), client.height() - 20), Q(kBack)), 0);
}

TEST_F(Drawing, CustomDrawColoursFallBackAndAreAskedOncePerVisibleCell) {
    grid.AddRows(40);  // more than fit: only the visible ones are asked for
    View().Items()[0].selected = true;
    Ref<CustomDrawRecorder> callback(new CustomDrawRecorder);
    callback->choose = [](std::int32_t row, std::int32_t column) {
        if (row == 0) return CellColors{true, -1, -1};  // selected, but the normal colours
        if (row == 1) return CellColors{true, column == 0 ? Rgb(0, 0, 255) : -1, Rgb(0, 255, 0)};
        if (row == 2) return CellColors{true, static_cast<std::int32_t>(0x8000000Fu), -1};  // system colours work too
        if (row == 3) return CellColors{true, 0x12345678, -1};  // not a colour: the normal one
        return CellColors{false, Rgb(9, 9, 9), Rgb(9, 9, 9)};   // declined: its colours are ignored
    };
    View().SetDrawCallback(Ref<Dispatch>(callback.Get()));
    const QImage image = grid.Grab();
    EXPECT_EQ(image.pixelColor(1, Top(0) + 1), Q(kBack));
    EXPECT_EQ(image.pixelColor(1, Top(1) + 1), Q(Rgb(0, 0, 255)));
    EXPECT_EQ(image.pixelColor(101, Top(1) + 1), Q(kBack));
    int green = 0;
    for (int x = 4; x < 60; ++x)
        for (int y = Top(1); y < Top(2); ++y) green += image.pixelColor(x, y) == Q(Rgb(0, 255, 0));
    EXPECT_GT(green, 0);
    EXPECT_EQ(image.pixelColor(1, Top(2) + 1), System(0x8000000F));
    EXPECT_EQ(image.pixelColor(1, Top(3) + 1), Q(kBack));
    EXPECT_EQ(image.pixelColor(1, Top(4) + 1), Q(kBack));

    // Both colours start at -1, every visible cell is asked exactly once, and nothing below the window.
    const int visibleRows = (grid.Window()->ClientRect().height() - 20 + 15) / 16;
    std::set<std::pair<int, int>> cells;
    for (const auto& call : callback->calls) {
        EXPECT_EQ(call.backIn, -1);
        EXPECT_EQ(call.foreIn, -1);
        EXPECT_TRUE(cells.insert({call.row, call.column}).second) << call.row << "," << call.column;
        EXPECT_LT(call.row, visibleRows);
    }
    EXPECT_EQ(static_cast<int>(cells.size()), visibleRows * 2);

    // Without a callback of its own the grid uses the normal and selected colours.
    View().SetDrawCallback(nullptr);
    EXPECT_EQ(View().CustomDrawTarget(), nullptr);
    const QImage normal = grid.Grab();
    EXPECT_EQ(normal.pixelColor(1, Top(0) + 1), Q(kSelectedBack));
    EXPECT_EQ(normal.pixelColor(1, Top(1) + 1), Q(kBack));
}

TEST_F(Drawing, RepaintsAskedForDuringAPaintAreDropped) {
    grid.AddRows(2);
    Ref<CustomDrawRecorder> callback(new CustomDrawRecorder);
    callback->choose = [&](std::int32_t row, std::int32_t) {
        View().SetItemText(row, 1, u"changed while painting");  // asks for a repaint
        return CellColors{};
    };
    View().SetDrawCallback(Ref<Dispatch>(callback.Get()));
    grid.Grab();
    const std::size_t onePaint = callback->calls.size();
    EXPECT_EQ(onePaint, 4u);
    QTest::qWait(20);  // longer than a frame (16 ms): a repaint that was asked for would have come; none may
    grid.Grab();       // shows the frame already rendered
    EXPECT_EQ(callback->calls.size(), onePaint);
}

TEST_F(Drawing, NothingNewIsPaintedWhileRedrawIsOff) {
    grid.AddRows(2);
    EXPECT_EQ(grid.Grab().pixelColor(1, Top(0) + 1), Q(kBack));
    View().SetRedraw(false);
    View().Items()[0].selected = true;
    View().SetBackColor(Rgb(0, 0, 80));
    const QImage frozen = grid.Grab();
    EXPECT_EQ(frozen.pixelColor(1, Top(0) + 1), Q(kBack));
    EXPECT_EQ(frozen.pixelColor(250, 150), Q(kBack));
    View().SetRedraw(true);
    const QImage live = grid.Grab();
    EXPECT_EQ(live.pixelColor(1, Top(0) + 1), Q(kSelectedBack));
    EXPECT_EQ(live.pixelColor(250, 150), Q(Rgb(0, 0, 80)));
}

TEST_F(Drawing, PictureSlotStaysFreeInTheFirstColumnOnly) {
    grid.AddRows(2);
    View().SetItemText(0, 0, u"WWW");
    View().SetItemText(0, 1, u"WWW");
    const auto firstInk = [&](const QImage& image, int left, int row) {
        for (int x = left; x < left + 100; ++x)
            for (int y = Top(row); y < Top(row) + View().ItemHeight(); ++y)
                if (image.pixelColor(x, y) != Q(kBack)) return x;
        return -1;
    };
    QImage image = grid.Grab();
    const int plain = firstInk(image, 0, 0);
    EXPECT_GE(plain, 4);
    EXPECT_LT(plain, 8);

    View().SetPictureWidth(16);  // a control loaded from an empty bag has 13 x 13
    View().SetPictureHeight(16);
    QTemporaryDir dir;
    QImage picture(16, 16, QImage::Format_ARGB32);
    picture.fill(QColor(0, 0, 255, 255));
    ASSERT_TRUE(picture.save(dir.filePath("p.png")));
    ASSERT_TRUE(View().AddPicture(dir.filePath("p.png").toStdU16String()));
    EXPECT_FALSE(View().AddPicture(dir.filePath("missing.png").toStdU16String()));
    EXPECT_EQ(View().PictureCount(), 2);  // the failed one keeps its slot
    View().Items()[1].pictureIndex = 0;
    View().Refresh();
    ASSERT_EQ(View().ItemHeight(), 19);  // 16 + 3
    image = grid.Grab();
    // Row 0 has no picture but its text still starts after the slot: 2 + 16 + 3 + padding 4.
    EXPECT_GE(firstInk(image, 0, 0), 25);
    EXPECT_LT(firstInk(image, 0, 0), 29);
    EXPECT_EQ(firstInk(image, 100, 0) - 100, plain);  // other columns keep no slot
    // Row 1 shows its picture at x 2, centred in the row.
    const int top = 20 + 19;
    EXPECT_EQ(image.pixelColor(2, top + 2), QColor(0, 0, 255));
    EXPECT_EQ(image.pixelColor(17, top + 17), QColor(0, 0, 255));
    EXPECT_EQ(image.pixelColor(1, top + 10), Q(kBack));
    EXPECT_EQ(image.pixelColor(18, top + 10), Q(kBack));
    // Hiding the pictures gives the slot back.
    View().SetPicturesVisible(false);
    EXPECT_EQ(firstInk(grid.Grab(), 0, 0), plain);
}

TEST_F(Drawing, HeaderAndRowsScrollTogetherSideways) {
    grid.AddColumn(u"wide", 400);
    grid.AddRows(1);
    View().SetItemText(0, 2, u"WWW");
    ASSERT_TRUE(grid.Side().Layout().ContentWiderThanClient());
    const QImage before = grid.Grab();
    grid.Bars().SetValue(kBarHorizontal, 180);
    const QImage after = grid.Grab();
    // Column "wide" began at 180; it now starts at the window's left edge, header and row alike.
    for (int y : {5, Top(0) + 8}) {
        for (int x = 0; x < 60; ++x) ASSERT_EQ(after.pixelColor(x, y), before.pixelColor(x + 180, y)) << x << "," << y;
    }
    EXPECT_EQ(View().ColumnFromPoint(1, 30), 2);
    EXPECT_EQ(View().RowFromPoint(1, Top(0) + 1, true), 0);
}

TEST(DrawingBorder, ThinAndThickFramesShrinkTheClientArea) {
    GridHarness grid(200, 100);
    auto* frame = static_cast<BorderFrame*>(grid.view->Widget());
    EXPECT_EQ(grid.Window()->geometry(), QRect(1, 1, 198, 98));
    QImage image = frame->grab().toImage();
    EXPECT_EQ(image.pixelColor(0, 50), System(0x80000010));
    EXPECT_EQ(image.pixelColor(199, 50), System(0x80000014));
    grid.view->SetBorderStyle(BorderStyleThick);
    EXPECT_EQ(grid.Window()->geometry(), QRect(2, 2, 196, 96));
    EXPECT_EQ(grid.Window()->ClientRect().height(), 96);
    image = frame->grab().toImage();
    EXPECT_EQ(image.pixelColor(0, 50), System(0x80000010));
    EXPECT_EQ(image.pixelColor(1, 50), System(0x80000015));
    EXPECT_EQ(image.pixelColor(198, 50), System(0x80000016));
    grid.view->SetBorderStyle(BorderStyleNone);
    EXPECT_EQ(grid.Window()->geometry(), QRect(0, 0, 200, 100));
    grid.view->SetBorderStyle(7);  // no such style: the frame stays
    EXPECT_EQ(grid.Window()->geometry(), QRect(0, 0, 200, 100));
    EXPECT_EQ(grid.Side().Layout().clientHeight, 100);
}

TEST_F(Drawing, MeasuresOutOfAllProportionPaintWithoutHarm) {
    grid.AddRows(3);
    View().SetItemsAutoSize(false);
    View().SetItemPaddingTop(INT32_MAX);
    View().SetItemPaddingBottom(INT32_MAX);
    EXPECT_EQ(View().ItemHeight(), ListView::kMaxItemHeight);
    View().SetItemPaddingTop(-100);
    View().SetItemPaddingBottom(-100);
    EXPECT_EQ(View().ItemHeight(), 1);
    grid.Grab();
    View().SetItemsAutoSize(true);
    View().SetItemPaddingLeft(INT32_MAX);
    View().SetItemPaddingRight(INT32_MIN);
    View().SetPictureHeight(INT32_MAX);
    View().SetPictureWidth(INT32_MIN);
    View().SetCheckboxes(true);
    for (std::int32_t width : {INT32_MAX, -500, 0}) {
        std::vector<Variant> set{Variant(std::int32_t(0)), Variant(width)};
        ASSERT_TRUE(View().Invoke(dispid::ColumnWidth, InvokeKind::PropertyPut, set, nullptr).Ok());
        grid.Grab();
        EXPECT_GE(grid.Side().Layout().contentWidth, 0);
    }
    View().Font()->SetSize(2048);  // the largest a font takes
    EXPECT_EQ(View().Window()->TextHeight(), (2048 * grid.Window()->logicalDpiY() + 36) / 72);  // rounded
    grid.Grab();
    View().Font()->SetSize(9);
    EXPECT_EQ(View().Window()->TextHeight(), 12);
}
