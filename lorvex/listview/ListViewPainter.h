#pragma once
// Paints the grid into its back buffer: the header buttons, then the visible rows with their colours (normal,
// selected or chosen by the custom-draw callback), pictures, check boxes, texts and the focus mark. Only the rows
// on screen are touched, so a paint costs the same for any number of rows.
#include <QColor>
#include <QFont>
#include <QFontMetrics>

#include "lorvex/listview/ListViewLayout.h"

class QImage;
class QPainter;

namespace lorvex {

class ListView;

class ListViewPainter {
public:
    struct Frame {
        const ListViewLayout& layout;
        const QFont& font;
        std::int32_t firstRow;  // the vertical scroll position
        bool focusMark;         // the control has the focus and is enabled
    };

    ListViewPainter(ListView& view, const Frame& frame);
    void Paint(QImage& surface);

private:
    void DrawHeader(QPainter& painter);
    void DrawRows(QPainter& painter);
    // Paints the cells of one row and returns where its last visible column ends.
    std::int64_t DrawRowCells(QPainter& painter, std::int32_t row, int top, int bottom);
    void DrawFocusMark(QPainter& painter, std::int64_t right, int top, int bottom);
    void DrawCheckbox(QPainter& painter, int x, int top, int bottom, bool selected, bool checked);
    // The callback's colours for a cell; false when it leaves the cell to the normal colours.
    bool CustomColors(std::int32_t row, std::int32_t column, QColor& back, QColor& fore);
    void DrawText(QPainter& painter, const QRect& box, const std::u16string& text, std::int32_t align);

    ListView& view_;
    Frame frame_;
    QFontMetrics metrics_;
};

}  // namespace lorvex
