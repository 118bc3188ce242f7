#include "lorvex/listview/ListViewLayout.h"

#include <algorithm>
#include <limits>

namespace lorvex {

namespace {

std::int32_t ClampToInt(std::int64_t value) {
    return static_cast<std::int32_t>(std::clamp<std::int64_t>(value, 0, std::numeric_limits<std::int32_t>::max()));
}

}  // namespace

void AutoSizeColumns(ColumnCollection& columns, std::int32_t clientWidth) {
    double resizable = 0, fixed = 0;
    for (Column& c : columns) {
        if (!c.visible) continue;
        if (c.resizable) {
            resizable += c.width;
        } else {
            fixed += c.width;
            c.widthAutoSized = c.width;
        }
    }
    std::int64_t total = 0;
    for (std::size_t i = 0; i < columns.Count(); ++i) {
        Column& c = columns[i];
        if (!c.visible) continue;
        if (c.resizable) {
            // Without any stretchable width there is nothing to share out.
            const double share = resizable != 0 ? c.width * (clientWidth - fixed) / resizable + 0.5 : 0;
            c.widthAutoSized = ClampToInt(static_cast<std::int64_t>(std::nearbyint(share)));
            if (i + 1 == columns.Count() && total + c.widthAutoSized > clientWidth)
                c.widthAutoSized = ClampToInt(clientWidth - total);
        }
        total += c.widthAutoSized;
    }
}

void ListViewLayout::Measure(const ColumnCollection& columns, bool autoSized, bool headerVisible,
                             std::int32_t textHeight, std::int32_t width, std::int32_t height) {
    clientWidth = std::max(width, 0);
    clientHeight = std::max(height, 0);
    if (autoSized) {
        contentWidth = clientWidth;
    } else {
        std::int64_t sum = 0;
        ForEachVisibleColumn(columns, false, [&](std::int32_t, std::int64_t, std::int64_t right) {
            sum = right;
            return true;
        });
        contentWidth = ClampToInt(sum);
    }
    headerHeight = headerVisible ? textHeight + 8 : 0;
    listTop = headerHeight;
    listRight = std::max(clientWidth, contentWidth);
    listBottom = clientHeight;
}

std::int32_t ListViewLayout::VisibleRowCount(std::int32_t itemHeight) const {
    if (itemHeight <= 0) return 0;
    return RoundHalfEven(static_cast<double>(listBottom - listTop + 1) / itemHeight + 0.5);
}

std::int32_t ListViewLayout::RowAt(std::int32_t y, std::int32_t itemHeight, std::int32_t firstRow) const {
    if (itemHeight <= 0) return firstRow;
    // The band that holds y, also on a row's top pixel line.
    const auto offset = static_cast<std::int64_t>(y) - listTop;
    const std::int64_t band = offset >= 0 ? offset / itemHeight : -((-offset + itemHeight - 1) / itemHeight);
    return static_cast<std::int32_t>(std::clamp<std::int64_t>(band + firstRow, std::numeric_limits<std::int32_t>::min(),
                                                              std::numeric_limits<std::int32_t>::max()));
}

std::int32_t ColumnAt(const ColumnCollection& columns, bool autoSized, std::int64_t contentX) {
    std::int32_t found = -1;
    if (contentX < 0) return found;
    ForEachVisibleColumn(columns, autoSized, [&](std::int32_t position, std::int64_t, std::int64_t right) {
        if (contentX < right) {
            found = position;
            return false;
        }
        return true;
    });
    return found;
}

}  // namespace lorvex
