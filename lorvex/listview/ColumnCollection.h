#pragma once
// The grid's columns in display order, addressed by position or by key.
#include <vector>

#include "lorvex/listview/Column.h"
#include "platform/automation/Variant.h"

namespace lorvex {

using automation::Status;
using automation::Variant;

class ColumnCollection {
public:
    // Appends a column with this key; error 300 when another column has it (keys compare without regard to case,
    // and the empty key counts as a key).
    Status Add(const std::u16string& key, Column** added = nullptr);
    // A numeric index (numeric strings too) is a position, anything else a key. Error 9 when nothing matches.
    Status Find(const Variant& index, std::size_t& position) const;
    Status Remove(const Variant& index);
    // The position of the last column whose key equals index by ordinary value equality; 0 when none does.
    std::int32_t IndexOf(const Variant& index) const;

    std::size_t Count() const { return columns_.size(); }
    Column& operator[](std::size_t i) { return columns_[i]; }
    const Column& operator[](std::size_t i) const { return columns_[i]; }
    std::vector<Column>::iterator begin() { return columns_.begin(); }
    std::vector<Column>::iterator end() { return columns_.end(); }
    std::vector<Column>::const_iterator begin() const { return columns_.begin(); }
    std::vector<Column>::const_iterator end() const { return columns_.end(); }

private:
    std::vector<Column> columns_;
};

// Keys and captions compare as the user reads them: case-insensitively.
bool SameTextIgnoringCase(const std::u16string& a, const std::u16string& b);

}  // namespace lorvex
