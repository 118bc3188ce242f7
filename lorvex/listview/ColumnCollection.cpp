#include "lorvex/listview/ColumnCollection.h"

#include <QString>

#include "lorvex/listview/Errors.h"

namespace lorvex {

bool SameTextIgnoringCase(const std::u16string& a, const std::u16string& b) {
    return QStringView(a).compare(QStringView(b), Qt::CaseInsensitive) == 0;
}

Status ColumnCollection::Add(const std::u16string& key, Column** added) {
    for (const Column& c : columns_)
        if (SameTextIgnoringCase(c.key, key)) return DuplicateKeyError();
    columns_.push_back(Column{});
    columns_.back().key = key;
    if (added) *added = &columns_.back();
    return {};
}

Status ColumnCollection::Find(const Variant& index, std::size_t& position) const {
    if (index.IsNumeric()) {
        std::int32_t p = 0;
        if (Status s = index.ToInt32(p); s.Failed()) return s;
        if (p < 0 || static_cast<std::size_t>(p) >= columns_.size()) return SubscriptError();
        position = static_cast<std::size_t>(p);
        return {};
    }
    std::u16string key;
    if (Status s = index.ToString(key); s.Failed()) return SubscriptError();
    for (std::size_t i = 0; i < columns_.size(); ++i) {
        if (SameTextIgnoringCase(columns_[i].key, key)) {
            position = i;
            return {};
        }
    }
    return SubscriptError();
}

Status ColumnCollection::Remove(const Variant& index) {
    std::size_t position = 0;
    if (Status s = Find(index, position); s.Failed()) return s;
    columns_.erase(columns_.begin() + static_cast<std::ptrdiff_t>(position));
    return {};
}

std::int32_t ColumnCollection::IndexOf(const Variant& index) const {
    std::int32_t found = 0;
    for (std::size_t i = 0; i < columns_.size(); ++i)
        if (Variant(columns_[i].key) == index) found = static_cast<std::int32_t>(i);
    return found;
}

}  // namespace lorvex
