#pragma once
#include <cstdint>
#include <string>

#include "lorvex/include/lorvex/ListViewInterface.h"

namespace lorvex {

struct Column {
    std::u16string key;
    std::u16string caption;
    std::int32_t textAlign = TextAlignLeft;
    std::int32_t width = 0;
    std::int32_t widthAutoSized = 0;  // width used while the control sizes its columns to the window
    bool pushed = false;              // header button held down
    bool visible = true;
    bool resizable = true;                       // divider may be dragged; stretches under ColumnsAutoSize
    std::int32_t lastSortOrder = SortAscending;  // order of the next header-click sort

    std::int32_t DisplayWidth(bool autoSized) const { return autoSized ? widthAutoSized : width; }
};

}  // namespace lorvex
