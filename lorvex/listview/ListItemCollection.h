#pragma once
// The grid's rows: cell texts, selection, check and picture state, and the host's tag.
#include <cstdint>
#include <string>
#include <vector>

#include "lorvex/include/lorvex/ListViewInterface.h"

namespace lorvex {

struct ListItem {
    std::vector<std::u16string> text;  // one cell per column, sized when the row is made
    bool selected = false;
    bool checked = false;
    std::int32_t tag = 0;
    std::int32_t pictureIndex = -1;
};

class ListItemCollection {
public:
    static constexpr std::size_t kInitialCapacity = 1000;

    // Inserts an empty row (appends when insertAt < 0 or beyond the end) and returns its position.
    std::size_t AddItem(std::int32_t insertAt);
    // Out-of-range positions are ignored.
    void RemoveItem(std::int32_t index);
    // Moves one row; false (and nothing moved) when either position is outside the rows.
    bool MoveItem(std::int32_t from, std::int32_t to);
    void Clear() { items_.clear(); }
    void PrepareForItems(std::size_t count);
    // Sorts by one column's text, case-insensitively in the user's collation; equal texts keep no promised order.
    void Sort(std::int32_t column, std::int32_t order);

    std::size_t Count() const { return items_.size(); }
    std::size_t Capacity() const { return capacity_; }
    bool Contains(std::int32_t index) const { return index >= 0 && static_cast<std::size_t>(index) < items_.size(); }
    ListItem& operator[](std::size_t i) { return items_[i]; }
    const ListItem& operator[](std::size_t i) const { return items_[i]; }
    std::int32_t ColumnCount() const { return columnCount_; }
    void SetColumnCount(std::int32_t n) { columnCount_ = n; }

private:
    std::vector<ListItem> items_;
    std::size_t capacity_ = kInitialCapacity;
    std::int32_t columnCount_ = 0;
};

}  // namespace lorvex
