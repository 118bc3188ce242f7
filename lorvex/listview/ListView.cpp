#include "lorvex/listview/ListView.h"

#include <cmath>

#include "lorvex/listview/Errors.h"
#include "lorvex/listview/ListViewWindow.h"
#include "lorvex/listview/MemberNames.h"
#include "platform/automation/InprocServer.h"

namespace lorvex {

using automation::Status;

Ref<ListView> ListView::Create() { return Ref<ListView>(new ListView); }

ListView::ListView() {
    automation::server::ObjectCreated();
    colors_.back.SetColor(defaults::BackColor, true, false);
    colors_.fore.SetColor(defaults::ForeColor, false, false);
    colors_.selectedBack.SetColor(defaults::SelectedBackColor, true, false);
    colors_.selectedFore.SetColor(defaults::SelectedForeColor, false, false);
    colors_.focusRect.SetColor(defaults::FocusRectColor, false, true);
    colors_.checkbox.SetColor(defaults::CheckboxColor, false, true);
    colors_.checkboxSelected.SetColor(defaults::CheckboxSelectedColor, false, true);
    font_ = automation::FontObject::CreateDefault();
    font_->AddObserver(this);
}

ListView::~ListView() {
    if (font_) font_->RemoveObserver(this);
    window_.reset();
    automation::server::ObjectDestroyed();
}

void* ListView::QueryInterface(const Guid& iid) {
    if (iid == automation::Unknown::IID || iid == Dispatch::IID || iid == IID_ListView || iid == IID_ICustomDraw)
        return static_cast<Dispatch*>(this);
    if (iid == automation::Control::IID) return static_cast<automation::Control*>(this);
    if (iid == automation::ConnectionPointContainer::IID)
        return static_cast<automation::ConnectionPointContainer*>(this);
    return nullptr;
}

automation::ConnectionPoint* ListView::FindConnectionPoint(const Guid& iid) {
    return iid == DIID_ListViewEvents || iid == Dispatch::IID ? &events_ : nullptr;
}

// ---------------------------------------------------------------- hosting

void ListView::SetSite(automation::ControlSite* site) {
    site_ = site;
    if (site_ && !window_) window_ = std::make_unique<ListViewWindow>(*this, site_->ContainerWidget());
}

QWidget* ListView::Widget() { return window_ ? window_->Widget() : nullptr; }

void ListView::PropertyChanged(DispId property) {
    if (site_) site_->PropertyChanged(property);
}

void ListView::InitProperties() {
    SetBackColor(defaults::BackColor);
    SetForeColor(defaults::ForeColor);
    SetSelectedBackColor(defaults::SelectedBackColor);
    SetSelectedForeColor(defaults::SelectedForeColor);
    SetFocusRectColor(defaults::FocusRectColor);
    SetCheckboxColor(defaults::CheckboxColor);
    SetCheckboxSelectedColor(defaults::CheckboxSelectedColor);
    SetReorder(defaults::Reorder);
    SetMultiSelect(defaults::MultiSelect);
    SetColumnsAutoSize(defaults::ColumnsAutoSize);
    SetColumnsVisible(defaults::ColumnsVisible);
    SetEnabled(defaults::Enabled);
    SetBorderStyle(defaults::BorderStyle);
    SetSolidFocusRect(defaults::SolidFocusRect);
    SetCheckboxes(defaults::Checkboxes);
    SetItemPaddingBottom(defaults::ItemPaddingBottom);
    SetItemPaddingLeft(defaults::ItemPaddingLeft);
    SetItemPaddingRight(defaults::ItemPaddingRight);
    SetItemPaddingTop(defaults::ItemPaddingTop);
    SetPictureHeight(defaults::PictureHeight);
    SetPictureWidth(defaults::PictureWidth);
    SetPicturesVisible(defaults::PicturesVisible);
    SetSortable(defaults::Sortable);
}

namespace {

// The persisted properties in the order they are written and read, with the value a bag leaves out. Each is
// stored under its member name.
struct Persisted {
    DispId id;
    Variant defaultValue;
    std::u16string_view key() const { return NameOfMember(id); }
};

// A bag that leaves the picture size out means 13-pixel pictures, not the 16 a new control starts with.
constexpr std::int32_t kBagPictureSize = 13;

// A default as the bag holds it; colours are kept as Longs.
Variant Stored(bool value) { return Variant::FromBool(value); }
Variant Stored(std::int32_t value) { return value; }
Variant Stored(std::uint32_t color) { return static_cast<std::int32_t>(color); }

const std::vector<Persisted>& PersistedProperties() {
#define LORVEX_PERSISTED(name) \
    Persisted { dispid::name, Stored(defaults::name) }
    static const std::vector<Persisted> kList = {
        LORVEX_PERSISTED(BackColor),
        LORVEX_PERSISTED(ForeColor),
        LORVEX_PERSISTED(SelectedBackColor),
        LORVEX_PERSISTED(SelectedForeColor),
        LORVEX_PERSISTED(FocusRectColor),
        LORVEX_PERSISTED(Reorder),
        LORVEX_PERSISTED(MultiSelect),
        LORVEX_PERSISTED(ColumnsAutoSize),
        LORVEX_PERSISTED(Enabled),
        LORVEX_PERSISTED(BorderStyle),
        Persisted{dispid::Font, Variant()},
        LORVEX_PERSISTED(ColumnsVisible),
        LORVEX_PERSISTED(SolidFocusRect),
        LORVEX_PERSISTED(OLEDropMode),
        LORVEX_PERSISTED(Checkboxes),
        LORVEX_PERSISTED(CheckboxColor),
        LORVEX_PERSISTED(CheckboxSelectedColor),
        LORVEX_PERSISTED(ItemPaddingTop),
        LORVEX_PERSISTED(ItemPaddingBottom),
        LORVEX_PERSISTED(ItemPaddingLeft),
        LORVEX_PERSISTED(ItemPaddingRight),
        Persisted{dispid::PictureWidth, Stored(kBagPictureSize)},
        Persisted{dispid::PictureHeight, Stored(kBagPictureSize)},
        LORVEX_PERSISTED(PicturesVisible),
        LORVEX_PERSISTED(ItemsAutoSize),
        LORVEX_PERSISTED(Sortable),
    };
#undef LORVEX_PERSISTED
    return kList;
}

}  // namespace

void ListView::ReadProperties(const automation::PropertyBag& bag) {
    if (site_ && site_->UserMode() && window_) window_->AttachScrollBars();
    SetRedraw(false);
    if (window_) window_->CreateBackBuffer();
    for (const Persisted& p : PersistedProperties()) {
        Variant value;
        if (p.id == dispid::Font) {
            // A bag without a font gives a new default font object, not a shared one.
            value = bag.Read(p.key(), Variant());
            Ref<Dispatch> stored = value.Object();
            auto font = automation::QueryAs<automation::FontObject>(stored);
            SetFont(font ? font->Clone() : automation::FontObject::CreateDefault());
            continue;
        }
        value = bag.Read(p.key(), p.defaultValue);
        Variant arg = value;
        InvokeProperty(p.id, InvokeKind::PropertyPut, std::span<Variant>(&arg, 1), nullptr);
    }
    if (window_) window_->BuildDrawFont();
    SetRedraw(true);
}

void ListView::WriteProperties(automation::PropertyBag& bag) {
    for (const Persisted& p : PersistedProperties()) {
        Variant value;
        InvokeProperty(p.id, InvokeKind::PropertyGet, {}, &value);
        if (p.id == dispid::Font) value = Variant(Ref<Dispatch>(font_ ? font_->Clone().Get() : nullptr));
        bag.Write(p.key(), value, p.defaultValue);
    }
}

void ListView::FontChanged(automation::FontObject&, DispId) {
    // New measures move every row; the grid follows its font at once.
    if (window_) window_->BuildDrawFont();
    Refresh();
}

// ---------------------------------------------------------------- properties

std::int32_t ListView::ItemHeight() const {
    const std::int64_t textHeight = window_ ? window_->TextHeight() : 0;
    std::int64_t h;
    if (!itemsAutoSize_) {
        h = textHeight + padTop_ + padBottom_;
    } else {
        h = textHeight + 4;
        if (checkboxes_) h = std::max<std::int64_t>(h, 19);
        if (picturesVisible_ && !pictures_.empty()) h = std::max<std::int64_t>(h, std::int64_t{pictureHeight_} + 3);
    }
    // Paddings or picture sizes a host set out of all measure still leave rows one can count and step through.
    return static_cast<std::int32_t>(std::clamp<std::int64_t>(h, 1, kMaxItemHeight));
}

void ListView::SetRedraw(bool on) {
    redraw_ = on;
    if (on) Refresh();
}

void ListView::SetFont(Ref<automation::FontObject> font) {
    if (!font) return;
    if (font_) font_->RemoveObserver(this);
    font_ = std::move(font);
    font_->AddObserver(this);
    if (window_) window_->BuildDrawFont();
    PropertyChanged(dispid::Font);
    Refresh();
}

bool ListView::SetColor(Color& slot, std::uint32_t value, bool brush, bool pen, DispId property) {
    const bool translated = slot.SetColor(value, brush, pen);
    PropertyChanged(property);
    PaintList();
    return translated;
}

bool ListView::SetFocusRectColor(std::uint32_t c) {
    return SetColor(colors_.focusRect, c, false, true, dispid::FocusRectColor);
}
bool ListView::SetSelectedBackColor(std::uint32_t c) {
    return SetColor(colors_.selectedBack, c, true, false, dispid::SelectedBackColor);
}
bool ListView::SetSelectedForeColor(std::uint32_t c) {
    return SetColor(colors_.selectedFore, c, false, false, dispid::SelectedForeColor);
}
bool ListView::SetForeColor(std::uint32_t c) { return SetColor(colors_.fore, c, false, false, dispid::ForeColor); }
bool ListView::SetBackColor(std::uint32_t c) { return SetColor(colors_.back, c, true, false, dispid::BackColor); }
bool ListView::SetCheckboxSelectedColor(std::uint32_t c) {
    return SetColor(colors_.checkboxSelected, c, false, true, dispid::CheckboxSelectedColor);
}
bool ListView::SetCheckboxColor(std::uint32_t c) {
    return SetColor(colors_.checkbox, c, false, true, dispid::CheckboxColor);
}

void ListView::SetMultiSelect(bool on) {
    multiSelect_ = on;
    PropertyChanged(dispid::MultiSelect);
}
void ListView::SetReorder(bool on) {
    reorder_ = on;
    PropertyChanged(dispid::Reorder);
}
void ListView::SetColumnsAutoSize(bool on) {
    columnsAutoSize_ = on;
    PropertyChanged(dispid::ColumnsAutoSize);
    Refresh();
}
void ListView::SetEnabled(bool on) {
    enabled_ = on;
    PropertyChanged(dispid::Enabled);
    Refresh();
}
void ListView::SetBorderStyle(std::int32_t style) {
    borderStyle_ = style;
    if (window_) window_->ApplyBorderStyle(style);
    PropertyChanged(dispid::BorderStyle);
}
Ref<Dispatch> ListView::DrawCallback() const {
    return drawCallback_ ? drawCallback_ : Ref<Dispatch>(const_cast<ListView*>(this));
}
void ListView::SetDrawCallback(Ref<Dispatch> callback) {
    // Holding ourselves would keep us alive forever; null stands for "the control itself".
    drawCallback_ = callback.Get() == static_cast<Dispatch*>(this) ? nullptr : std::move(callback);
    PaintList();
}
void ListView::SetSolidFocusRect(bool on) {
    solidFocusRect_ = on;
    PaintList();
}
void ListView::SetOLEDropMode(std::int32_t mode) {
    oleDropMode_ = mode;
    if (window_) window_->SetDropMode(mode);
    PropertyChanged(dispid::OLEDropMode);
}
void ListView::SetCheckboxes(bool on) {
    checkboxes_ = on;
    PropertyChanged(dispid::Checkboxes);
    PaintList();
}
void ListView::SetItemPaddingRight(std::int32_t v) {
    padRight_ = v;
    PropertyChanged(dispid::ItemPaddingRight);
    PaintList();
}
void ListView::SetItemPaddingLeft(std::int32_t v) {
    padLeft_ = v;
    PropertyChanged(dispid::ItemPaddingLeft);
    PaintList();
}
void ListView::SetItemPaddingBottom(std::int32_t v) {
    padBottom_ = v;
    PropertyChanged(dispid::ItemPaddingBottom);
    Refresh();
}
void ListView::SetItemPaddingTop(std::int32_t v) {
    padTop_ = v;
    PropertyChanged(dispid::ItemPaddingTop);
    Refresh();
}
void ListView::SetPicturesVisible(bool on) {
    picturesVisible_ = on;
    PropertyChanged(dispid::PicturesVisible);
    Refresh();
}
void ListView::SetPictureWidth(std::int32_t v) {
    pictureWidth_ = v;
    PropertyChanged(dispid::PictureWidth);
    PaintList();
}
void ListView::SetPictureHeight(std::int32_t v) {
    pictureHeight_ = v;
    PropertyChanged(dispid::PictureHeight);
    PaintList();
}
void ListView::SetItemsAutoSize(bool on) {
    itemsAutoSize_ = on;
    PropertyChanged(dispid::ItemsAutoSize);
    PaintList();
}
void ListView::SetSortable(bool on) {
    sortable_ = on;
    PropertyChanged(dispid::Sortable);
}
void ListView::SetColumnsVisible(bool on) {
    columnsVisible_ = on;
    PropertyChanged(dispid::ColumnsVisible);
    Refresh();
}
void ListView::SetSelectedItem(std::int32_t row) {
    selectedItem_ = row;
    PaintList();
}
void ListView::SetScrolVisible(bool visible) {
    if (window_) window_->SetVerticalBarVisible(visible);
}

std::u16string ListView::ItemText(std::int32_t row, std::int32_t column) const {
    if (!items_.Contains(row)) return {};
    const auto& cells = items_[static_cast<std::size_t>(row)].text;
    if (column < 0 || static_cast<std::size_t>(column) >= cells.size()) return {};
    return cells[static_cast<std::size_t>(column)];
}

Status ListView::SetItemText(std::int32_t row, std::int32_t column, std::u16string text) {
    if (!items_.Contains(row)) return SubscriptError();
    auto& cells = items_[static_cast<std::size_t>(row)].text;
    if (column < 0 || static_cast<std::size_t>(column) >= cells.size()) return SubscriptError();
    cells[static_cast<std::size_t>(column)] = std::move(text);
    PaintList();
    return {};
}

// ---------------------------------------------------------------- methods

Status ListView::AddItem(std::int32_t& insertAt, const std::u16string& text, std::int32_t pictureIndex,
                         std::int32_t& added) {
    if (columns_.Count() == 0) return NoColumnsError();
    if (ItemCount() >= kMaxItems) return TooManyItemsError();
    const std::size_t position = items_.AddItem(insertAt);
    ListItem& item = items_[position];
    if (!item.text.empty()) item.text[0] = text;
    item.pictureIndex = pictureIndex;
    if (insertAt >= 0 && insertAt <= selectedItem_) ++selectedItem_;
    added = static_cast<std::int32_t>(position);
    UpdateVScroll();
    PaintList();
    return {};
}

void ListView::RemoveItem(std::int32_t index) {
    items_.RemoveItem(index);
    if (index < selectedItem_) --selectedItem_;
    selectedItem_ = std::min(selectedItem_, ItemCount() - 1);
    UpdateVScroll();
    PaintList();
}

Status ListView::MoveItem(std::int32_t from, std::int32_t to) {
    if (!items_.MoveItem(from, to)) return SubscriptError();
    PaintList();
    return {};
}

void ListView::Clear() {
    items_.Clear();
    selectedItem_ = -1;
    PaintList();
}

Status ListView::AddColumn(const std::u16string& key, const std::u16string& caption, std::int32_t textAlign,
                           std::int32_t width, bool resizable, bool visible) {
    if (items_.Count() > 0) return ItemsExistError();
    Column* column = nullptr;
    if (Status s = columns_.Add(key, &column); s.Failed()) return s;
    column->caption = caption;
    column->textAlign = textAlign;
    column->width = width;
    column->resizable = resizable;
    column->visible = visible;
    items_.SetColumnCount(ColumnCount());
    Refresh();
    return {};
}

Status ListView::RemoveColumn(const Variant& index) {
    if (items_.Count() > 0) return ItemsExistError();
    if (Status s = columns_.Remove(index); s.Failed()) return s;
    items_.SetColumnCount(ColumnCount());
    Refresh();
    return {};
}

void ListView::Sort(const Variant& key, std::int32_t order) { items_.Sort(columns_.IndexOf(key), order); }

bool ListView::AddPicture(const std::u16string& fileName) {
    c32bppDIB picture;
    picture.SetAlpha(true);
    picture.SetHighQualityInterpolation(false);
    const bool loaded = picture.LoadFromFile(QString::fromStdU16String(fileName), pictureWidth_, pictureHeight_);
    // The slot exists even when loading failed, so picture numbers stay as the host counted them.
    pictures_.push_back(std::move(picture));
    return loaded;
}

bool ListView::AddPictureFromRes(const Variant& resIndex, const Variant& resSection) {
    c32bppDIB picture;
    picture.SetAlpha(true);
    picture.SetHighQualityInterpolation(false);
    const bool loaded =
        picture.LoadFromResource(QString::fromStdU16String(resSection.StringOr()),
                                 QString::fromStdU16String(resIndex.StringOr()), pictureWidth_, pictureHeight_);
    pictures_.push_back(std::move(picture));
    return loaded;
}

void ListView::Refresh() {
    CalcLayout();
    UpdateVScroll();
    PaintList();
}

void ListView::MakeSureVisible(std::int32_t item, std::int32_t column) {
    if (window_) window_->MakeSureVisible(item, column);
}

std::int32_t ListView::ColumnFromPoint(std::int32_t x, std::int32_t y) const {
    return window_ ? window_->ColumnFromPoint(x, y) : -1;
}

std::int32_t ListView::RowFromPoint(std::int32_t x, std::int32_t y, bool hitTest) const {
    return window_ ? window_->RowFromPoint(x, y, hitTest) : -1;
}

void ListView::RaiseEvent(DispId id, std::span<Variant> args) {
    if (!enabled_ && id != event::MouseUp && id != event::Click && id != event::DblClick) return;
    Ref<ListView> hold(this);  // a handler may drop the host's last reference
    events_.Fire(id, args);
}

void ListView::SelectAll() {
    if (!multiSelect_) return;
    for (std::size_t i = 0; i < items_.Count(); ++i) items_[i].selected = true;
}

void ListView::UnSelectAll() {
    for (std::size_t i = 0; i < items_.Count(); ++i) items_[i].selected = false;
}

// ---------------------------------------------------------------- window work

void ListView::CalcLayout() {
    if (window_) window_->CalcLayout();
}
void ListView::UpdateVScroll() {
    if (window_) window_->UpdateVScroll();
}
void ListView::PaintList() {
    if (redraw_ && window_) window_->PaintList();
}

}  // namespace lorvex
