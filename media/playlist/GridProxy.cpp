#include "media/playlist/GridProxy.h"

#include "lorvex/include/lorvex/ListViewInterface.h"

namespace media {

using automation::InvokeKind;
using automation::Variant;
namespace dispid = lorvex::dispid;

namespace {
Variant Long(std::int32_t v) { return Variant(v); }
Variant Bool(bool v) { return Variant::FromBool(v); }
}  // namespace

Variant GridProxy::Get(automation::DispId id, std::initializer_list<Variant> index) const {
    Variant result;
    if (!grid_ || automation::Call(grid_, id, InvokeKind::PropertyGet, index, &result).Failed()) return {};
    return result;
}

void GridProxy::Put(automation::DispId id, std::initializer_list<Variant> indexAndValue) {
    if (grid_) automation::Call(grid_, id, InvokeKind::PropertyPut, indexAndValue);
}

void GridProxy::Call(automation::DispId id, std::initializer_list<Variant> args, Variant* result) {
    if (grid_ && automation::Call(grid_, id, InvokeKind::Method, args, result).Failed() && result) *result = Variant();
}

void GridProxy::AddColumn(const std::u16string& key, const std::u16string& caption, std::int32_t align,
                          std::int32_t width, bool resizable, bool visible) {
    Call(dispid::AddColumn, {Variant(key), Variant(caption), Long(align), Long(width), Bool(resizable), Bool(visible)});
}

std::int32_t GridProxy::AddItem() {
    Variant row;
    Call(dispid::AddItem, {}, &row);
    const std::int32_t added = row.IsEmpty() ? -1 : row.Int32Or(-1);
    if (added >= 0) RowsChanged();
    return added;
}

void GridProxy::RemoveItem(std::int32_t row) {
    Call(dispid::RemoveItem, {Long(row)});
    RowsChanged();
}
void GridProxy::MoveItem(std::int32_t from, std::int32_t to) {
    Call(dispid::MoveItem, {Long(from), Long(to)});
    NoteEdit();
}
void GridProxy::Clear() {
    Call(dispid::Clear, {});
    RowsChanged();
}
void GridProxy::Refresh() { Call(dispid::Refresh, {}); }

std::u16string GridProxy::ItemText(std::int32_t row, std::int32_t column) const {
    return Get(dispid::ItemText, {Long(row), Long(column)}).StringOr();
}
void GridProxy::SetItemText(std::int32_t row, std::int32_t column, const std::u16string& text) {
    Put(dispid::ItemText, {Long(row), Long(column), Variant(text)});
    NoteEdit();
}
std::int32_t GridProxy::ItemTag(std::int32_t row) const { return Get(dispid::ItemTag, {Long(row)}).Int32Or(0); }
void GridProxy::SetItemTag(std::int32_t row, std::int32_t tag) { Put(dispid::ItemTag, {Long(row), Long(tag)}); }
bool GridProxy::ItemSelected(std::int32_t row) const { return Get(dispid::ItemSelected, {Long(row)}).BoolOr(false); }
void GridProxy::SetItemSelected(std::int32_t row, bool selected) {
    Put(dispid::ItemSelected, {Long(row), Bool(selected)});
}
std::int32_t GridProxy::ItemCount() const { return Get(dispid::ItemCount).Int32Or(0); }
std::int32_t GridProxy::SelectedItem() const { return Get(dispid::SelectedItem).Int32Or(-1); }
void GridProxy::SetSelectedItem(std::int32_t row) { Put(dispid::SelectedItem, {Long(row)}); }
std::int32_t GridProxy::ItemHeight() const { return Get(dispid::ItemHeight).Int32Or(0); }
void GridProxy::SetRedraw(bool on) { Put(dispid::Redraw, {Bool(on)}); }
void GridProxy::SetColumnsAutoSize(bool on) { Put(dispid::ColumnsAutoSize, {Bool(on)}); }
void GridProxy::SetScrolVisible(bool visible) { Put(dispid::ScrolVisible, {Bool(visible)}); }

}  // namespace media
