// The control's dispatch interface: every property and method by its identifier, with the argument coercions and
// defaults of the published interface.
#include "lorvex/listview/Errors.h"
#include "lorvex/listview/ListView.h"
#include "lorvex/listview/ListViewWindow.h"
#include "lorvex/listview/MemberNames.h"

namespace lorvex {

using automation::ArgAt;
using automation::HasArg;
using automation::StandardError;
using automation::Status;
namespace errors = automation::errors;

namespace {

// Reads an optional argument with its default; a present argument of the wrong kind fails the call.
Status Int32Arg(std::span<Variant> args, std::size_t i, std::int32_t fallback, std::int32_t& out) {
    if (!HasArg(args, i)) {
        out = fallback;
        return {};
    }
    return args[i].ToInt32(out);
}
Status BoolArg(std::span<Variant> args, std::size_t i, bool fallback, bool& out) {
    if (!HasArg(args, i)) {
        out = fallback;
        return {};
    }
    return args[i].ToBool(out);
}
Status StringArg(std::span<Variant> args, std::size_t i, std::u16string& out) {
    if (!HasArg(args, i)) {
        out.clear();
        return {};
    }
    return args[i].ToString(out);
}
Status RequiredInt32(std::span<Variant> args, std::size_t i, std::int32_t& out) {
    if (!HasArg(args, i)) return StandardError(errors::kArgumentNotOptional);
    return args[i].ToInt32(out);
}

Variant Bool(bool v) { return Variant::FromBool(v); }
Variant Long(std::uint32_t v) { return static_cast<std::int32_t>(v); }

// A property put carries its value last.
const Variant& PutValue(std::span<Variant> args) { return args.back(); }

constexpr bool IsMethod(DispId id) { return (static_cast<std::uint32_t>(id) & 0xFFFF0000u) == 0x60030000u; }

// Invoke routes by the high word alone, so a table row in the wrong range would reach the wrong switch.
#define LORVEX_CHECK_PROPERTY(name, id, ...) static_assert(!IsMethod(id), #name " is numbered as a method");
#define LORVEX_CHECK_METHOD(name, id) static_assert(IsMethod(id), #name " is numbered as a property");
LORVEX_LISTVIEW_MEMBERS(LORVEX_CHECK_PROPERTY, LORVEX_CHECK_METHOD)
#undef LORVEX_CHECK_PROPERTY
#undef LORVEX_CHECK_METHOD

}  // namespace

DispId ListView::DispIdOfName(std::u16string_view name) {
    const std::u16string wanted(name);
    for (const MemberName& member : kMemberNames)
        if (SameTextIgnoringCase(std::u16string(member.name), wanted)) return member.id;
    return automation::kDispIdUnknown;
}

Status ListView::Invoke(DispId id, InvokeKind kind, std::span<Variant> args, Variant* result) {
    if (IsMethod(id)) {
        if (kind != InvokeKind::Method && kind != InvokeKind::PropertyGet) return StandardError(errors::kNotSupported);
        return InvokeMethod(id, args, result);
    }
    return InvokeProperty(id, kind, args, result);
}

Status ListView::InvokeProperty(DispId id, InvokeKind kind, std::span<Variant> args, Variant* result) {
    const bool put = kind == InvokeKind::PropertyPut || kind == InvokeKind::PropertyPutRef;
    if (kind == InvokeKind::Method && !args.empty()) kind = InvokeKind::PropertyGet;  // parameterised get
    if (put && args.empty()) return StandardError(errors::kArgumentNotOptional);
    Variant out;
    Status s;

    // Simple typed properties: get returns the value, put coerces and sets.
    auto boolProperty = [&](bool current, void (ListView::*set)(bool)) {
        if (!put) {
            out = Bool(current);
            return;
        }
        bool v;
        if ((s = PutValue(args).ToBool(v)).Ok()) (this->*set)(v);
    };
    auto longProperty = [&](std::int32_t current, void (ListView::*set)(std::int32_t)) {
        if (!put) {
            out = current;
            return;
        }
        std::int32_t v;
        if ((s = PutValue(args).ToInt32(v)).Ok()) (this->*set)(v);
    };
    auto colorProperty = [&](std::uint32_t current, bool (ListView::*set)(std::uint32_t)) {
        if (!put) {
            out = Long(current);
            return;
        }
        std::int32_t v;
        if ((s = PutValue(args).ToInt32(v)).Ok()) (this->*set)(static_cast<std::uint32_t>(v));
    };
    auto readOnly = [&](Variant value) {
        if (put)
            s = StandardError(errors::kNotSupported);
        else
            out = std::move(value);
    };

    switch (id) {
        case dispid::ItemHeight: readOnly(ItemHeight()); break;
        case dispid::Redraw: boolProperty(redraw_, &ListView::SetRedraw); break;
        case dispid::Font:
            if (!put) {
                out = Variant(Ref<Dispatch>(font_.Get()));
            } else {
                auto font = automation::QueryAs<automation::FontObject>(PutValue(args).Object());
                if (font)
                    SetFont(font);
                else
                    s = StandardError(errors::kTypeMismatch);
            }
            break;
        case dispid::FocusRectColor: colorProperty(colors_.focusRect.OLEColor(), &ListView::SetFocusRectColor); break;
        case dispid::SelectedBackColor:
            colorProperty(colors_.selectedBack.OLEColor(), &ListView::SetSelectedBackColor);
            break;
        case dispid::SelectedForeColor:
            colorProperty(colors_.selectedFore.OLEColor(), &ListView::SetSelectedForeColor);
            break;
        case dispid::ForeColor: colorProperty(colors_.fore.OLEColor(), &ListView::SetForeColor); break;
        case dispid::BackColor: colorProperty(colors_.back.OLEColor(), &ListView::SetBackColor); break;
        case dispid::CheckboxSelectedColor:
            colorProperty(colors_.checkboxSelected.OLEColor(), &ListView::SetCheckboxSelectedColor);
            break;
        case dispid::CheckboxColor: colorProperty(colors_.checkbox.OLEColor(), &ListView::SetCheckboxColor); break;
        case dispid::MultiSelect: boolProperty(multiSelect_, &ListView::SetMultiSelect); break;
        case dispid::Reorder: boolProperty(reorder_, &ListView::SetReorder); break;
        case dispid::ColumnsAutoSize: boolProperty(columnsAutoSize_, &ListView::SetColumnsAutoSize); break;
        case dispid::Enabled: boolProperty(enabled_, &ListView::SetEnabled); break;
        case dispid::BorderStyle: longProperty(borderStyle_, &ListView::SetBorderStyle); break;
        case dispid::DrawCallback:
            if (!put) {
                out = Variant(DrawCallback());
            } else {
                Ref<Dispatch> callback;
                if ((s = PutValue(args).ToObject(callback)).Ok()) SetDrawCallback(callback);
            }
            break;
        case dispid::SolidFocusRect: boolProperty(solidFocusRect_, &ListView::SetSolidFocusRect); break;
        case dispid::OLEDropMode: longProperty(oleDropMode_, &ListView::SetOLEDropMode); break;
        case dispid::Checkboxes: boolProperty(checkboxes_, &ListView::SetCheckboxes); break;
        case dispid::ItemPaddingRight: longProperty(padRight_, &ListView::SetItemPaddingRight); break;
        case dispid::ItemPaddingLeft: longProperty(padLeft_, &ListView::SetItemPaddingLeft); break;
        case dispid::ItemPaddingBottom: longProperty(padBottom_, &ListView::SetItemPaddingBottom); break;
        case dispid::ItemPaddingTop: longProperty(padTop_, &ListView::SetItemPaddingTop); break;
        case dispid::PicturesVisible: boolProperty(picturesVisible_, &ListView::SetPicturesVisible); break;
        case dispid::PictureWidth: longProperty(pictureWidth_, &ListView::SetPictureWidth); break;
        case dispid::PictureHeight: longProperty(pictureHeight_, &ListView::SetPictureHeight); break;
        case dispid::ItemsAutoSize: boolProperty(itemsAutoSize_, &ListView::SetItemsAutoSize); break;
        case dispid::Sortable: boolProperty(sortable_, &ListView::SetSortable); break;
        case dispid::ColumnsVisible: boolProperty(columnsVisible_, &ListView::SetColumnsVisible); break;
        case dispid::ColumnCount: readOnly(ColumnCount()); break;
        case dispid::ItemCount: readOnly(ItemCount()); break;
        case dispid::PictureCount: readOnly(PictureCount()); break;
        case dispid::SelectedItem: longProperty(selectedItem_, &ListView::SetSelectedItem); break;
        case dispid::ColumnIndex:
            if (put)
                s = StandardError(errors::kNotSupported);
            else if (!HasArg(args, 0))
                s = StandardError(errors::kArgumentNotOptional);
            else
                out = ColumnIndex(args[0]);
            break;
        case dispid::ScrolVisible:
            if (!put) {
                s = StandardError(errors::kNotSupported);
            } else {
                bool v;
                if ((s = PutValue(args).ToBool(v)).Ok()) SetScrolVisible(v);
            }
            break;
        case dispid::ColumnTextAlign:
        case dispid::ColumnResizable:
        case dispid::ColumnWidth:
        case dispid::ColumnCaption:
        case dispid::ColumnVisible:
        case dispid::ColumnKey: return ColumnProperty(id, put, args, result);
        case dispid::ItemChecked:
        case dispid::ItemText:
        case dispid::ItemSelected:
        case dispid::ItemTag: return RowProperty(id, put, args, result);
        default: return StandardError(errors::kNotSupported);
    }
    if (s.Ok() && !put && result) *result = std::move(out);
    return s;
}

Status ListView::ColumnProperty(DispId id, bool put, std::span<Variant> args, Variant* result) {
    if (!HasArg(args, 0)) return StandardError(errors::kArgumentNotOptional);
    if (put && args.size() < 2) return StandardError(errors::kArgumentNotOptional);
    std::size_t position = 0;
    if (Status s = columns_.Find(args[0], position); s.Failed()) return s;
    Column& column = columns_[position];
    if (!put) {
        Variant out;
        switch (id) {
            case dispid::ColumnTextAlign: out = column.textAlign; break;
            case dispid::ColumnResizable: out = Bool(column.resizable); break;
            case dispid::ColumnWidth: out = column.width; break;
            case dispid::ColumnCaption: out = column.caption; break;
            case dispid::ColumnVisible: out = Bool(column.visible); break;
            case dispid::ColumnKey: out = column.key; break;
        }
        if (result) *result = std::move(out);
        return {};
    }
    const Variant& value = PutValue(args);
    Status s;
    switch (id) {
        case dispid::ColumnTextAlign:
            if ((s = value.ToInt32(column.textAlign)).Ok()) PaintList();
            break;
        case dispid::ColumnResizable:
            if ((s = value.ToBool(column.resizable)).Ok()) Refresh();
            break;
        case dispid::ColumnWidth:
            if ((s = value.ToInt32(column.width)).Ok()) Refresh();
            break;
        case dispid::ColumnCaption:
            if ((s = value.ToString(column.caption)).Ok()) PaintList();
            break;
        case dispid::ColumnVisible:
            if ((s = value.ToBool(column.visible)).Ok()) Refresh();
            break;
        default: s = StandardError(errors::kNotSupported);
    }
    return s;
}

Status ListView::RowProperty(DispId id, bool put, std::span<Variant> args, Variant* result) {
    std::int32_t row = 0;
    const bool textProperty = id == dispid::ItemText;
    if (Status s = RequiredInt32(args, 0, row); s.Failed()) return textProperty && !put ? Status{} : s;
    std::int32_t column = 0;
    if (textProperty) {
        if (Status s = RequiredInt32(args, 1, column); s.Failed()) return put ? s : Status{};
    }
    if (!put) {
        if (textProperty) {  // reading a text never fails
            if (result) *result = ItemText(row, column);
            return {};
        }
        if (!items_.Contains(row)) return SubscriptError();
        const ListItem& item = items_[static_cast<std::size_t>(row)];
        Variant out;
        switch (id) {
            case dispid::ItemChecked: out = Bool(item.checked); break;
            case dispid::ItemSelected: out = Bool(item.selected); break;
            case dispid::ItemTag: out = item.tag; break;
        }
        if (result) *result = std::move(out);
        return {};
    }
    if (args.size() < (textProperty ? 3u : 2u)) return StandardError(errors::kArgumentNotOptional);
    const Variant& value = PutValue(args);
    if (textProperty) {
        std::u16string text;
        if (Status s = value.ToString(text); s.Failed()) return s;
        return SetItemText(row, column, std::move(text));
    }
    if (!items_.Contains(row)) return SubscriptError();
    ListItem& item = items_[static_cast<std::size_t>(row)];
    Status s;
    switch (id) {
        case dispid::ItemChecked: s = value.ToBool(item.checked); break;
        case dispid::ItemSelected: s = value.ToBool(item.selected); break;
        case dispid::ItemTag: s = value.ToInt32(item.tag); break;
    }
    if (s.Ok()) PaintList();
    return s;
}

Status ListView::InvokeMethod(DispId id, std::span<Variant> args, Variant* result) {
    Variant out;
    Status s;
    switch (id) {
        case dispid::AddPictureFromRes: out = Bool(AddPictureFromRes(ArgAt(args, 0), ArgAt(args, 1))); break;
        case dispid::AddPicture: {
            std::u16string file;
            if ((s = StringArg(args, 0, file)).Ok()) out = Bool(AddPicture(file));
            break;
        }
        case dispid::AddItem: {
            std::int32_t insertAt = -1, picture = -1, added = -1;
            std::u16string text;
            if ((s = Int32Arg(args, 0, -1, insertAt)).Failed() || (s = StringArg(args, 1, text)).Failed() ||
                (s = Int32Arg(args, 2, -1, picture)).Failed())
                break;
            if ((s = AddItem(insertAt, text, picture, added)).Ok()) out = added;
            break;
        }
        case dispid::RemoveItem: {
            std::int32_t index;
            if ((s = RequiredInt32(args, 0, index)).Ok()) RemoveItem(index);
            break;
        }
        case dispid::MoveItem: {
            std::int32_t from, to;
            if ((s = RequiredInt32(args, 0, from)).Ok() && (s = RequiredInt32(args, 1, to)).Ok())
                s = MoveItem(from, to);
            break;
        }
        case dispid::Clear: Clear(); break;
        case dispid::RemoveColumn:
            if (!HasArg(args, 0))
                s = StandardError(errors::kArgumentNotOptional);
            else
                s = RemoveColumn(args[0]);
            break;
        case dispid::AddColumn: {
            std::u16string key, caption;
            std::int32_t align, width;
            bool resizable, visible;
            if ((s = StringArg(args, 0, key)).Failed() || (s = StringArg(args, 1, caption)).Failed() ||
                (s = Int32Arg(args, 2, TextAlignLeft, align)).Failed() ||
                (s = Int32Arg(args, 3, 300, width)).Failed() || (s = BoolArg(args, 4, true, resizable)).Failed() ||
                (s = BoolArg(args, 5, true, visible)).Failed())
                break;
            s = AddColumn(key, caption, align, width, resizable, visible);
            break;
        }
        case dispid::Sort: {
            std::int32_t order;
            if ((s = Int32Arg(args, 1, SortAscending, order)).Ok())
                Sort(ArgAt(args, 0).IsMissing() ? Variant() : args[0], order);
            break;
        }
        case dispid::ColumnFromPoint: {
            std::int32_t x, y;
            if ((s = RequiredInt32(args, 0, x)).Ok() && (s = RequiredInt32(args, 1, y)).Ok())
                out = ColumnFromPoint(x, y);
            break;
        }
        case dispid::RowFromPoint: {
            std::int32_t x, y;
            bool hitTest;
            if ((s = RequiredInt32(args, 0, x)).Ok() && (s = RequiredInt32(args, 1, y)).Ok() &&
                (s = BoolArg(args, 2, false, hitTest)).Ok())
                out = RowFromPoint(x, y, hitTest);
            break;
        }
        case dispid::Refresh: Refresh(); break;
        case dispid::MakeSureVisible: {
            std::int32_t item, column;
            if ((s = RequiredInt32(args, 0, item)).Ok() && (s = Int32Arg(args, 1, -1, column)).Ok())
                MakeSureVisible(item, column);
            break;
        }
        case dispid::SelectAll: SelectAll(); break;
        case dispid::UnSelectAll: UnSelectAll(); break;
        case dispid::CustomDraw: out = Bool(false); break;  // the control's own callback never takes over a cell
        default: return StandardError(errors::kNotSupported);
    }
    if (s.Ok() && result) *result = std::move(out);
    return s;
}

}  // namespace lorvex
