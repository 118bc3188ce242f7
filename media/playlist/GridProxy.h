#pragma once
// The playlist grid as the player calls it: the control's dispatch interface wrapped in typed calls. A call the grid
// refuses is skipped; getters then give an empty value, so callers carry on as the player's handlers do.
#include <cstdint>
#include <functional>
#include <memory>
#include <string>

#include "platform/automation/Dispatch.h"

namespace media {

class GridProxy {
public:
    GridProxy() = default;
    explicit GridProxy(automation::Dispatch* grid) : grid_(grid) {}
    bool Valid() const { return grid_ != nullptr; }
    automation::Dispatch* Object() const { return grid_; }

    void AddColumn(const std::u16string& key, const std::u16string& caption, std::int32_t align, std::int32_t width,
                   bool resizable, bool visible);
    // The new row's position, or -1 when the grid refused the row.
    std::int32_t AddItem();
    void RemoveItem(std::int32_t row);
    void MoveItem(std::int32_t from, std::int32_t to);
    void Clear();

    std::u16string ItemText(std::int32_t row, std::int32_t column) const;
    void SetItemText(std::int32_t row, std::int32_t column, const std::u16string& text);
    std::int32_t ItemTag(std::int32_t row) const;
    void SetItemTag(std::int32_t row, std::int32_t tag);
    bool ItemSelected(std::int32_t row) const;
    void SetItemSelected(std::int32_t row, bool selected);
    std::int32_t ItemCount() const;
    std::int32_t SelectedItem() const;
    void SetSelectedItem(std::int32_t row);
    std::int32_t ItemHeight() const;

    void SetRedraw(bool on);
    void SetColumnsAutoSize(bool on);
    void SetScrolVisible(bool visible);
    void Refresh();

    // Runs after every add, removal or clearing of rows made through this proxy or any copy of it: the one place
    // that learns the number of rows changed, however the rows came or went.
    void SetRowsChanged(std::function<void()> handler) { *rowsChanged_ = std::move(handler); }
    // A count of the edits made to the rows through this proxy or any copy of it (adds, removals, moves, clearing,
    // texts), and of those the grid made itself and the caller noted (a drag that reorders rows): the cheap way to
    // tell that the list is no longer what was last saved.
    std::uint64_t Edits() const { return *edits_; }
    void NoteEdit() { ++*edits_; }

private:
    void RowsChanged() {
        NoteEdit();
        if (*rowsChanged_) (*rowsChanged_)();
    }
    automation::Variant Get(automation::DispId id, std::initializer_list<automation::Variant> index = {}) const;
    void Put(automation::DispId id, std::initializer_list<automation::Variant> indexAndValue);
    void Call(automation::DispId id, std::initializer_list<automation::Variant> args,
              automation::Variant* result = nullptr);

    automation::Dispatch* grid_ = nullptr;
    std::shared_ptr<std::function<void()>> rowsChanged_ = std::make_shared<std::function<void()>>();
    std::shared_ptr<std::uint64_t> edits_ = std::make_shared<std::uint64_t>(0);
};

}  // namespace media
