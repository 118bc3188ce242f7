#include "lorvex/listview/ListViewPainter.h"

#include <QImage>
#include <QPainter>

#include <cmath>
#include <vector>

#include "lorvex/listview/ListView.h"
#include "lorvex/listview/SystemColors.h"
#include "lorvex/listview/ThreeDEdge.h"

namespace lorvex {

namespace {

constexpr std::uint32_t kButtonFace = 0x8000000F;
constexpr std::uint32_t kButtonText = 0x80000012;
constexpr std::int32_t kUnchanged = -1;  // a custom-draw colour the callback left alone
constexpr int kCheckboxAdvance = 18;
constexpr int kPictureLeft = 2;
constexpr int kPictureGap = 3;

// Coordinates far beyond any surface are cut short, so that rectangle arithmetic cannot overflow.
int ClampToInt(std::int64_t v) {
    return static_cast<int>(
        std::clamp<std::int64_t>(v, std::numeric_limits<int>::min() / 2, std::numeric_limits<int>::max() / 2));
}

QRect Span(std::int64_t left, std::int64_t right, int top, int bottom) {
    return QRect(QPoint(ClampToInt(left), top), QPoint(ClampToInt(right) - 1, bottom - 1));
}

// The pixels of a line from one point towards another, the end point itself left out, as one-pixel lines are
// drawn on the classic surface.
template <class Plot>
void PlotLine(int x0, int y0, int x1, int y1, Plot plot) {
    const int dx = x1 > x0 ? x1 - x0 : x0 - x1;
    const int dy = y1 > y0 ? y1 - y0 : y0 - y1;
    const int sx = x0 < x1 ? 1 : -1;
    const int sy = y0 < y1 ? 1 : -1;
    const int steps = dx > dy ? dx : dy;
    // Bresenham: the minor axis advances when the error passes half a pixel.
    int error = 0;
    int x = x0, y = y0;
    for (int i = 0; i < steps; ++i) {
        plot(x, y);
        if (dx >= dy) {
            x += sx;
            error += 2 * dy;
            if (error > dx) {
                y += sy;
                error -= 2 * dx;
            }
        } else {
            y += sy;
            error += 2 * dx;
            if (error > dy) {
                x += sx;
                error -= 2 * dy;
            }
        }
    }
}

// A one-pixel outline through the corners (left, top) and (right, bottom), both included.
void Outline(QPainter& painter, int left, int top, int right, int bottom, const QColor& color) {
    if (right < left || bottom < top) return;
    painter.fillRect(QRect(left, top, right - left + 1, 1), color);
    painter.fillRect(QRect(left, bottom, right - left + 1, 1), color);
    painter.fillRect(QRect(left, top, 1, bottom - top + 1), color);
    painter.fillRect(QRect(right, top, 1, bottom - top + 1), color);
}

// A colour set through one of the spare colour objects, which remake their brush only for a new colour. A
// colour that does not translate leaves the normal colour in place.
bool SpareColor(Color& spare, std::int32_t requested, bool brush, QColor& out) {
    const auto ole = static_cast<std::uint32_t>(requested);
    if (spare.OLEColor() != ole) spare.SetColor(ole, brush, false);
    if (spare.RGBColor() < 0) return false;
    out = ColorOf(spare);
    return true;
}

}  // namespace

ListViewPainter::ListViewPainter(ListView& view, const Frame& frame)
    : view_(view), frame_(frame), metrics_(frame.font) {}

void ListViewPainter::Paint(QImage& surface) {
    QPainter painter(&surface);
    painter.setFont(frame_.font);
    if (view_.ColumnsVisible()) DrawHeader(painter);
    DrawRows(painter);
}

void ListViewPainter::DrawHeader(QPainter& painter) {
    const ListViewLayout& layout = frame_.layout;
    const QColor face = SystemColor(kButtonFace);
    painter.setPen(SystemColor(kButtonText));
    const int height = layout.headerHeight;
    std::int64_t end = 0;
    ColumnCollection& columns = view_.Columns();
    ForEachVisibleColumn(columns, view_.ColumnsAutoSize(), [&](std::int32_t i, std::int64_t left, std::int64_t right) {
        const Column& column = columns[static_cast<std::size_t>(i)];
        const QRect cell = Span(left, right, 0, height);
        painter.fillRect(cell, face);
        DrawEdge(painter, cell, column.pushed ? EdgeKind::Etched : EdgeKind::Raised);
        const QRect text = Span(left + view_.ItemPaddingLeft(), right - view_.ItemPaddingRight(), 0, height);
        if (text.width() > 0) DrawText(painter, text, column.caption, column.textAlign);
        end = right;
        return true;
    });
    if (end < layout.listRight) {
        const QRect filler = Span(end, layout.listRight, 0, height);
        painter.fillRect(filler, face);
        DrawEdge(painter, filler, EdgeKind::Raised, EdgeLeft | EdgeTop | EdgeBottom);
    }
}

void ListViewPainter::DrawRows(QPainter& painter) {
    const ListViewLayout& layout = frame_.layout;
    const QColor back = ColorOf(view_.Colors().back);
    if (view_.ItemCount() == 0) {
        painter.fillRect(QRect(0, layout.listTop, layout.listRight, layout.listBottom - layout.listTop), back);
        return;
    }
    const std::int32_t height = view_.ItemHeight();
    const std::int32_t first = std::max(0, std::min(frame_.firstRow, view_.ItemCount() - 1));
    const std::int32_t shown = std::min(layout.VisibleRowCount(height), view_.ItemCount());
    const std::int64_t last = std::min<std::int64_t>(view_.ItemCount() - 1, std::int64_t{first} + shown);
    int top = layout.listTop;
    // The callback may change the rows while we paint; every row is checked against the current count.
    for (std::int64_t row = first; row <= last && row < view_.ItemCount() && top < layout.clientHeight; ++row) {
        const int bottom = top + height;
        const std::int64_t right = DrawRowCells(painter, static_cast<std::int32_t>(row), top, bottom);
        if (right < layout.listRight) painter.fillRect(Span(right, layout.listRight, top, bottom), back);
        if (row == view_.SelectedItem() && frame_.focusMark) DrawFocusMark(painter, right, top, bottom);
        top = bottom;
    }
    if (top < layout.clientHeight) painter.fillRect(QRect(0, top, layout.listRight, layout.clientHeight - top), back);
}

std::int64_t ListViewPainter::DrawRowCells(QPainter& painter, std::int32_t row, int top, int bottom) {
    ListView::ColorSet& colors = view_.Colors();
    std::int64_t end = 0;
    ColumnCollection& columns = view_.Columns();
    ForEachVisibleColumn(columns, view_.ColumnsAutoSize(), [&](std::int32_t i, std::int64_t left, std::int64_t right) {
        if (!view_.Items().Contains(row)) return false;
        QColor back, fore;
        if (!CustomColors(row, i, back, fore)) {
            const bool selected = view_.Items()[static_cast<std::size_t>(row)].selected;
            back = ColorOf(selected ? colors.selectedBack : colors.back);
            fore = ColorOf(selected ? colors.selectedFore : colors.fore);
        }
        if (!view_.Items().Contains(row) || static_cast<std::size_t>(i) >= columns.Count()) return false;
        const ListItem& item = view_.Items()[static_cast<std::size_t>(row)];
        const QRect cell = Span(left, right, top, bottom);
        painter.fillRect(cell, back);
        std::int64_t x = left;
        if (i == 0) {
            if (view_.PictureCount() > 0 && view_.PicturesVisible()) {
                x = left + kPictureLeft;
                if (item.pictureIndex >= 0 && item.pictureIndex < view_.PictureCount()) {
                    const int y = ClampToInt(static_cast<std::int64_t>(
                                      std::floor((top + bottom) / 2.0 - view_.PictureHeight() / 2.0))) +
                                  1;
                    view_.Pictures()[static_cast<std::size_t>(item.pictureIndex)].Render(
                        painter, ClampToInt(x), y, view_.PictureWidth(), view_.PictureHeight(), 100, true, true);
                }
                x += view_.PictureWidth() + kPictureGap;
            }
            if (view_.Checkboxes()) {
                DrawCheckbox(painter, ClampToInt(x), top, bottom, item.selected, item.checked);
                x += kCheckboxAdvance;
            }
        }
        const std::u16string& text =
            static_cast<std::size_t>(i) < item.text.size() ? item.text[static_cast<std::size_t>(i)] : std::u16string();
        const QRect box = Span(x + view_.ItemPaddingLeft(), right - view_.ItemPaddingRight(), top, bottom);
        if (box.width() > 0) {
            painter.setPen(fore);
            DrawText(painter, box, text, columns[static_cast<std::size_t>(i)].textAlign);
        }
        end = right;
        return true;
    });
    return end;
}

bool ListViewPainter::CustomColors(std::int32_t row, std::int32_t column, QColor& back, QColor& fore) {
    Dispatch* callback = view_.CustomDrawTarget();
    if (!callback) return false;  // the control's own callback never takes over a cell
    automation::Ref<Dispatch> hold(callback);
    Variant backColor(kUnchanged), foreColor(kUnchanged), result;
    Variant args[] = {Variant(row), Variant(column), Variant::ByRef(backColor), Variant::ByRef(foreColor)};
    if (callback->Invoke(dispid::CustomDraw, InvokeKind::Method, args, &result).Failed() || !result.BoolOr(false))
        return false;
    ListView::ColorSet& colors = view_.Colors();
    const std::int32_t wantedBack = backColor.Int32Or(kUnchanged);
    const std::int32_t wantedFore = foreColor.Int32Or(kUnchanged);
    if (wantedBack == kUnchanged || !SpareColor(colors.spareBack, wantedBack, true, back)) back = ColorOf(colors.back);
    if (wantedFore == kUnchanged || !SpareColor(colors.spareFore, wantedFore, false, fore)) fore = ColorOf(colors.fore);
    return true;
}

void ListViewPainter::DrawText(QPainter& painter, const QRect& box, const std::u16string& text, std::int32_t align) {
    Qt::Alignment horizontal;
    switch (align) {
        case TextAlignLeft: horizontal = Qt::AlignLeft; break;
        case TextAlignRight: horizontal = Qt::AlignRight; break;
        case TextAlignCenter: horizontal = Qt::AlignHCenter; break;
        default: return;  // an unknown alignment shows no text
    }
    if (text.empty()) return;
    const QString elided = metrics_.elidedText(QString::fromStdU16String(text), Qt::ElideRight, box.width());
    painter.drawText(box, static_cast<int>(horizontal | Qt::AlignVCenter) | Qt::TextSingleLine, elided);
}

void ListViewPainter::DrawFocusMark(QPainter& painter, std::int64_t right, int top, int bottom) {
    const int x = ClampToInt(right);
    if (view_.SolidFocusRect()) {
        const Color& pen = view_.Colors().focusRect;
        if (pen.GotGDIPen()) Outline(painter, 0, top, x - 1, bottom - 1, pen.GDIPen().color());
        return;
    }
    // The dotted focus rectangle inverts every other pixel of its outline, so it shows on any colour.
    const int r = x - 1, b = bottom - 1;
    if (r < 0 || b < top) return;
    std::vector<QPoint> outline;
    for (int px = 0; px <= r; ++px) outline.emplace_back(px, top);
    for (int py = top + 1; py <= b; ++py) outline.emplace_back(r, py);
    for (int px = r - 1; px >= 0 && b > top; --px) outline.emplace_back(px, b);
    for (int py = b - 1; py > top && r > 0; --py) outline.emplace_back(0, py);
    std::vector<QPoint> dots;
    for (std::size_t i = 0; i < outline.size(); i += 2) dots.push_back(outline[i]);
    painter.save();
    painter.setCompositionMode(QPainter::RasterOp_NotDestination);
    painter.setPen(QPen(Qt::black, 1));
    painter.drawPoints(dots.data(), static_cast<int>(dots.size()));
    painter.restore();
}

void ListViewPainter::DrawCheckbox(QPainter& painter, int x, int top, int bottom, bool selected, bool checked) {
    const Color& pen = selected ? view_.Colors().checkboxSelected : view_.Colors().checkbox;
    if (!pen.GotGDIPen()) return;
    const QColor color = pen.GDIPen().color();
    const int y = RoundHalfEven((top + bottom) / 2.0 - 6 - 0.5);
    Outline(painter, x + 3, y, x + 15, y + 12, color);
    Outline(painter, x + 2, y - 1, x + 16, y + 13, color);
    if (!checked) return;
    std::vector<QPoint> tick;
    auto plot = [&](int px, int py) { tick.emplace_back(px, py); };
    for (int i = 0; i <= 2; ++i) PlotLine(x + 12, y + 5 - i, x + 8 - i, y + 9, plot);
    PlotLine(x + 6, y + 5, x + 8, y + 8, plot);
    PlotLine(x + 6, y + 6, x + 9, y + 9, plot);
    PlotLine(x + 6, y + 7, x + 9, y + 10, plot);
    PlotLine(x + 6, y + 7, x + 10, y + 9, plot);
    for (const QPoint& p : tick) painter.fillRect(QRect(p, QSize(1, 1)), color);
}

}  // namespace lorvex
