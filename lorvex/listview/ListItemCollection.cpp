#include "lorvex/listview/ListItemCollection.h"

#include <QCollator>
#include <QStringView>
#include <cmath>

namespace lorvex {

std::size_t ListItemCollection::AddItem(std::int32_t insertAt) {
    if (items_.capacity() < capacity_) items_.reserve(capacity_);
    ListItem item;
    item.text.resize(static_cast<std::size_t>(std::max(columnCount_, 0)));
    std::size_t position = items_.size();
    if (insertAt >= 0 && static_cast<std::size_t>(insertAt) < items_.size())
        position = static_cast<std::size_t>(insertAt);
    items_.insert(items_.begin() + static_cast<std::ptrdiff_t>(position), std::move(item));
    // Grow by half (rounded half to even) once full, so there is always room for one more row.
    if (items_.size() >= capacity_) {
        capacity_ = std::max<std::size_t>(static_cast<std::size_t>(std::nearbyint(capacity_ * 1.5)), items_.size() + 1);
        items_.reserve(capacity_);
    }
    return position;
}

void ListItemCollection::RemoveItem(std::int32_t index) {
    if (!Contains(index)) return;
    items_.erase(items_.begin() + index);
}

bool ListItemCollection::MoveItem(std::int32_t from, std::int32_t to) {
    if (!Contains(from) || !Contains(to)) return false;
    if (from == to) return true;
    ListItem moving = std::move(items_[from]);
    if (from < to) {
        for (std::int32_t i = from; i < to; ++i) items_[i] = std::move(items_[i + 1]);
    } else {
        for (std::int32_t i = from; i > to; --i) items_[i] = std::move(items_[i - 1]);
    }
    items_[to] = std::move(moving);
    return true;
}

void ListItemCollection::PrepareForItems(std::size_t count) {
    items_.clear();
    capacity_ = std::max<std::size_t>(count, 1);
    items_.reserve(capacity_);
}

void ListItemCollection::Sort(std::int32_t column, std::int32_t order) {
    const std::size_t n = items_.size();
    if (n == 0 || column < 0 || column >= columnCount_) return;

    QCollator collator;  // the user's locale
    collator.setCaseSensitivity(Qt::CaseInsensitive);
    const int sign = order == SortDescending ? -1 : 1;
    const auto compare = [&](const ListItem& a, const ListItem& b) {
        const int c = collator.compare(QStringView(a.text[column]), QStringView(b.text[column]));
        return sign * (c < 0 ? -1 : c > 0 ? 1 : 0);
    };

    // Shell sort with the 1, 4, 13, 40, ... gaps; ties end up exactly where this sequence puts them.
    std::size_t h = 1;
    while (h <= n) h = 3 * h + 1;
    do {
        h /= 3;
        for (std::size_t i = h; i < n; ++i) {
            ListItem lifted = std::move(items_[i]);
            std::size_t j = i;
            while (j >= h && compare(items_[j - h], lifted) == 1) {
                items_[j] = std::move(items_[j - h]);
                j -= h;
            }
            items_[j] = std::move(lifted);
        }
    } while (h > 1);
}

}  // namespace lorvex
