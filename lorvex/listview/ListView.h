#pragma once
// The grid control: columns, rows, pictures and selection behind the published dispatch interface, hosted by a
// container through the control-hosting interfaces and raising its events to the host's sinks.
#include <memory>
#include <span>
#include <vector>

#include "lorvex/image/c32bppDIB.h"
#include "lorvex/listview/Color.h"
#include "lorvex/listview/ColumnCollection.h"
#include "lorvex/listview/ListItemCollection.h"
#include "platform/automation/ControlHosting.h"
#include "platform/automation/Events.h"
#include "platform/automation/FontObject.h"

namespace lorvex {

using automation::Dispatch;
using automation::DispId;
using automation::Guid;
using automation::InvokeKind;
using automation::Ref;

class ListViewWindow;

class ListView final
    : public automation::RefCounted<Dispatch, automation::Control, automation::ConnectionPointContainer>,
      private automation::FontObserver {
public:
    static Ref<ListView> Create();
    ~ListView() override;

    // --- Unknown, Dispatch
    void* QueryInterface(const Guid& iid) override;
    automation::Status Invoke(DispId id, InvokeKind kind, std::span<Variant> args, Variant* result) override;
    DispId DispIdOfName(std::u16string_view name) override;

    // --- Control hosting
    void SetSite(automation::ControlSite* site) override;
    automation::ControlSite* Site() const override { return site_; }
    QWidget* Widget() override;
    void InitProperties() override;
    void ReadProperties(const automation::PropertyBag& bag) override;
    void WriteProperties(automation::PropertyBag& bag) override;

    // --- Events
    automation::ConnectionPoint* FindConnectionPoint(const Guid& iid) override;

    // --- Properties (as the dispatch interface offers them)
    static constexpr std::int32_t kMaxItemHeight = 1 << 16;
    std::int32_t ItemHeight() const;
    bool Redraw() const { return redraw_; }
    void SetRedraw(bool on);
    Ref<automation::FontObject> Font() const { return font_; }
    void SetFont(Ref<automation::FontObject> font);
    std::uint32_t FocusRectColor() const { return colors_.focusRect.OLEColor(); }
    bool SetFocusRectColor(std::uint32_t c);
    std::uint32_t SelectedBackColor() const { return colors_.selectedBack.OLEColor(); }
    bool SetSelectedBackColor(std::uint32_t c);
    std::uint32_t SelectedForeColor() const { return colors_.selectedFore.OLEColor(); }
    bool SetSelectedForeColor(std::uint32_t c);
    std::uint32_t ForeColor() const { return colors_.fore.OLEColor(); }
    bool SetForeColor(std::uint32_t c);
    std::uint32_t BackColor() const { return colors_.back.OLEColor(); }
    bool SetBackColor(std::uint32_t c);
    std::uint32_t CheckboxSelectedColor() const { return colors_.checkboxSelected.OLEColor(); }
    bool SetCheckboxSelectedColor(std::uint32_t c);
    std::uint32_t CheckboxColor() const { return colors_.checkbox.OLEColor(); }
    bool SetCheckboxColor(std::uint32_t c);
    bool MultiSelect() const { return multiSelect_; }
    void SetMultiSelect(bool on);
    bool Reorder() const { return reorder_; }
    void SetReorder(bool on);
    bool ColumnsAutoSize() const { return columnsAutoSize_; }
    void SetColumnsAutoSize(bool on);
    bool Enabled() const { return enabled_; }
    void SetEnabled(bool on);
    std::int32_t BorderStyle() const { return borderStyle_; }
    void SetBorderStyle(std::int32_t style);
    Ref<Dispatch> DrawCallback() const;
    void SetDrawCallback(Ref<Dispatch> callback);
    bool SolidFocusRect() const { return solidFocusRect_; }
    void SetSolidFocusRect(bool on);
    std::int32_t OLEDropMode() const { return oleDropMode_; }
    void SetOLEDropMode(std::int32_t mode);
    bool Checkboxes() const { return checkboxes_; }
    void SetCheckboxes(bool on);
    std::int32_t ItemPaddingRight() const { return padRight_; }
    void SetItemPaddingRight(std::int32_t v);
    std::int32_t ItemPaddingLeft() const { return padLeft_; }
    void SetItemPaddingLeft(std::int32_t v);
    std::int32_t ItemPaddingBottom() const { return padBottom_; }
    void SetItemPaddingBottom(std::int32_t v);
    std::int32_t ItemPaddingTop() const { return padTop_; }
    void SetItemPaddingTop(std::int32_t v);
    bool PicturesVisible() const { return picturesVisible_; }
    void SetPicturesVisible(bool on);
    std::int32_t PictureWidth() const { return pictureWidth_; }
    void SetPictureWidth(std::int32_t v);
    std::int32_t PictureHeight() const { return pictureHeight_; }
    void SetPictureHeight(std::int32_t v);
    bool ItemsAutoSize() const { return itemsAutoSize_; }
    void SetItemsAutoSize(bool on);
    bool Sortable() const { return sortable_; }
    void SetSortable(bool on);
    bool ColumnsVisible() const { return columnsVisible_; }
    void SetColumnsVisible(bool on);
    std::int32_t ItemCount() const { return static_cast<std::int32_t>(items_.Count()); }
    std::int32_t SelectedItem() const { return selectedItem_; }
    void SetSelectedItem(std::int32_t row);
    std::int32_t PictureCount() const { return static_cast<std::int32_t>(pictures_.size()); }
    std::int32_t ColumnCount() const { return static_cast<std::int32_t>(columns_.Count()); }
    std::int32_t ColumnIndex(const Variant& key) const { return columns_.IndexOf(key); }
    void SetScrolVisible(bool visible);

    // Row cells and state; a row outside the list fails with error 9 (reading a text never fails).
    std::u16string ItemText(std::int32_t row, std::int32_t column) const;
    automation::Status SetItemText(std::int32_t row, std::int32_t column, std::u16string text);

    // --- Methods
    automation::Status AddItem(std::int32_t& insertAt, const std::u16string& text, std::int32_t pictureIndex,
                               std::int32_t& added);
    void RemoveItem(std::int32_t index);
    automation::Status MoveItem(std::int32_t from, std::int32_t to);
    void Clear();
    automation::Status AddColumn(const std::u16string& key, const std::u16string& caption, std::int32_t textAlign,
                                 std::int32_t width, bool resizable, bool visible);
    automation::Status RemoveColumn(const Variant& index);
    void Sort(const Variant& key, std::int32_t order);
    bool AddPicture(const std::u16string& fileName);
    bool AddPictureFromRes(const Variant& resIndex, const Variant& resSection);
    void Refresh();
    void MakeSureVisible(std::int32_t item, std::int32_t column);
    std::int32_t ColumnFromPoint(std::int32_t x, std::int32_t y) const;
    std::int32_t RowFromPoint(std::int32_t x, std::int32_t y, bool hitTest) const;
    void SelectAll();
    void UnSelectAll();

    // Raises one of the source interface's events to every advised sink. While the control is disabled only
    // MouseUp, Click and DblClick get through.
    void RaiseEvent(DispId id, std::span<Variant> args);

    // Direct access for the drawing and input code of the control.
    ColumnCollection& Columns() { return columns_; }
    ListItemCollection& Items() { return items_; }
    const std::vector<c32bppDIB>& Pictures() const { return pictures_; }
    // The callback the cells are offered to; null while it is the control's own, which takes over no cell.
    Dispatch* CustomDrawTarget() const { return drawCallback_.Get(); }
    // The window side; null until the control has a site.
    ListViewWindow* Window() const { return window_.get(); }

private:
    ListView();
    void FontChanged(automation::FontObject& font, DispId property) override;
    void PropertyChanged(DispId property);
    bool SetColor(Color& slot, std::uint32_t value, bool brush, bool pen, DispId property);

    automation::Status InvokeProperty(DispId id, InvokeKind kind, std::span<Variant> args, Variant* result);
    automation::Status InvokeMethod(DispId id, std::span<Variant> args, Variant* result);
    automation::Status ColumnProperty(DispId id, bool put, std::span<Variant> args, Variant* result);
    automation::Status RowProperty(DispId id, bool put, std::span<Variant> args, Variant* result);

    // Layout, scroll range and painting of the control's window.
    void CalcLayout();
    void UpdateVScroll();
    void PaintList();

    automation::ControlSite* site_ = nullptr;
    std::unique_ptr<ListViewWindow> window_;
    automation::ConnectionPoint events_{DIID_ListViewEvents};

    ColumnCollection columns_;
    ListItemCollection items_;
    std::vector<c32bppDIB> pictures_;
    Ref<automation::FontObject> font_;
    Ref<Dispatch> drawCallback_;  // null: the control's own CustomDraw, which always declines

public:
    // One colour object per colour property, holding the brush or pen the drawing uses, and two spares for
    // the colours a custom-draw callback asks for.
    struct ColorSet {
        Color back, fore, selectedBack, selectedFore, focusRect, checkbox, checkboxSelected, spareBack, spareFore;
    };
    const ColorSet& Colors() const { return colors_; }
    ColorSet& Colors() { return colors_; }

private:
    ColorSet colors_;
    bool redraw_ = defaults::Redraw;
    bool multiSelect_ = defaults::MultiSelect;
    bool reorder_ = defaults::Reorder;
    bool columnsAutoSize_ = defaults::ColumnsAutoSize;
    bool enabled_ = defaults::Enabled;
    std::int32_t borderStyle_ = defaults::BorderStyle;
    bool solidFocusRect_ = defaults::SolidFocusRect;
    std::int32_t oleDropMode_ = defaults::OLEDropMode;
    bool checkboxes_ = defaults::Checkboxes;
    std::int32_t padRight_ = defaults::ItemPaddingRight, padLeft_ = defaults::ItemPaddingLeft,
                 padBottom_ = defaults::ItemPaddingBottom, padTop_ = defaults::ItemPaddingTop;
    bool picturesVisible_ = defaults::PicturesVisible;
    std::int32_t pictureWidth_ = defaults::PictureWidth, pictureHeight_ = defaults::PictureHeight;
    bool itemsAutoSize_ = defaults::ItemsAutoSize;
    bool sortable_ = defaults::Sortable;
    bool columnsVisible_ = defaults::ColumnsVisible;
    std::int32_t selectedItem_ = defaults::SelectedItem;
};

}  // namespace lorvex
