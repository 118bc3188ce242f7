#pragma once
// Where the grid's parts lie in the client area: column widths, content width, header and list bands, and
// which row or column a point falls on. Pure arithmetic on the columns and a few measures.
#include <cmath>
#include <cstdint>

#include "lorvex/listview/ColumnCollection.h"

namespace lorvex {

// Rounding to the nearest integer with halves to even, as the control's measures are defined.
inline std::int32_t RoundHalfEven(double value) { return static_cast<std::int32_t>(std::nearbyint(value)); }

// Width a column takes on screen; a negative width set by a host takes no room.
inline std::int32_t ShownWidth(const Column& column, bool autoSized) {
    const std::int32_t width = column.DisplayWidth(autoSized);
    return width > 0 ? width : 0;
}

// Calls visit(position, left, right) for each visible column in display order, left to right; visit returns
// false to stop the walk.
template <class Visit>
void ForEachVisibleColumn(const ColumnCollection& columns, bool autoSized, Visit visit) {
    std::int64_t left = 0;
    for (std::size_t i = 0; i < columns.Count(); ++i) {
        if (!columns[i].visible) continue;
        const std::int64_t right = left + ShownWidth(columns[i], autoSized);
        if (!visit(static_cast<std::int32_t>(i), left, right)) return;
        left = right;
    }
}

// Resizable visible columns share what the fixed ones leave of the client width, in proportion to their widths.
void AutoSizeColumns(ColumnCollection& columns, std::int32_t clientWidth);

struct ListViewLayout {
    std::int32_t clientWidth = 0;
    std::int32_t clientHeight = 0;
    std::int32_t contentWidth = 0;  // width of all visible columns
    std::int32_t headerHeight = 0;  // 0 without a header
    std::int32_t listTop = 0;
    std::int32_t listRight = 0;  // also the header's width and the back buffer's
    std::int32_t listBottom = 0;

    // Measures the bands for a client area; the column widths must be up to date.
    void Measure(const ColumnCollection& columns, bool autoSized, bool headerVisible, std::int32_t textHeight,
                 std::int32_t width, std::int32_t height);

    bool ContentWiderThanClient() const { return clientWidth < contentWidth; }
    // Rows that fit the list band, counting a partly visible one.
    std::int32_t VisibleRowCount(std::int32_t itemHeight) const;
    // The row whose band holds client y, counted from the first visible row; may lie outside the rows.
    std::int32_t RowAt(std::int32_t y, std::int32_t itemHeight, std::int32_t firstRow) const;
    bool InHeader(std::int32_t y) const { return headerHeight > 0 && y >= 0 && y < headerHeight; }
};

// The visible column whose band holds content x, or -1 right of the last one.
std::int32_t ColumnAt(const ColumnCollection& columns, bool autoSized, std::int64_t contentX);

}  // namespace lorvex
