#pragma once
// The grid control's members in one table: every property with its dispatch identifier, the type its value
// crosses a call as and, where a new control starts from a value of its own, that default; every method with its
// dispatch identifier. The `dispid::` and `defaults::` constants (ListViewInterface.h) and the control's name
// lookup are generated from it, so a member is declared here and nowhere else.
//
// LORVEX_LISTVIEW_MEMBERS(PROPERTY, METHOD) expands
//   PROPERTY(Name, DispId, Type)            a property whose first value depends on the control's state
//   PROPERTY(Name, DispId, Type, Default)   a property a new control reports as Default
//   METHOD(Name, DispId)
// in the order of the published interface. Defaults name the enumerations of ListViewInterface.h, so the table is
// expanded where that header's declarations are in scope. Properties are 0x6803xxxx and methods 0x6003xxxx:
// Invoke tells them apart by that high word.
#include <cstdint>
#include <string>

namespace lorvex::member_type {
using Bool = bool;
using Long = std::int32_t;
using Color = std::uint32_t;  // an OLE colour, carried as a Long
using String = std::u16string;
struct Font;    // a font object
struct Object;  // a dispatch object
}  // namespace lorvex::member_type

// clang-format off
#define LORVEX_LISTVIEW_MEMBERS(PROPERTY, METHOD)                                                                      \
    PROPERTY(ItemHeight,            0x68030000, Long)                                                                  \
    PROPERTY(Redraw,                0x68030002, Bool,   true)                                                          \
    PROPERTY(Font,                  0x68030003, Font)                                                                  \
    PROPERTY(FocusRectColor,        0x68030004, Color,  0x8000000D)                                                    \
    PROPERTY(SelectedBackColor,     0x68030005, Color,  0x8000000D)                                                    \
    PROPERTY(SelectedForeColor,     0x68030006, Color,  0x8000000E)                                                    \
    PROPERTY(ForeColor,             0x68030007, Color,  0x80000008)                                                    \
    PROPERTY(BackColor,             0x68030008, Color,  0x80000005)                                                    \
    PROPERTY(CheckboxSelectedColor, 0x68030009, Color,  0xFFFFFF)                                                      \
    PROPERTY(CheckboxColor,         0x6803000A, Color,  0)                                                             \
    PROPERTY(MultiSelect,           0x6803000B, Bool,   true)                                                          \
    PROPERTY(Reorder,               0x6803000C, Bool,   true)                                                          \
    PROPERTY(ColumnsAutoSize,       0x6803000D, Bool,   false)                                                         \
    PROPERTY(Enabled,               0x6803000E, Bool,   true)                                                          \
    PROPERTY(BorderStyle,           0x6803000F, Long,   BorderStyleThin)                                               \
    PROPERTY(DrawCallback,          0x68030010, Object)                                                                \
    PROPERTY(SolidFocusRect,        0x68030011, Bool,   true)                                                          \
    PROPERTY(OLEDropMode,           0x68030012, Long,   OLEDropNone)                                                   \
    PROPERTY(Checkboxes,            0x68030013, Bool,   false)                                                         \
    PROPERTY(ItemPaddingRight,      0x68030014, Long,   5)                                                             \
    PROPERTY(ItemPaddingLeft,       0x68030015, Long,   4)                                                             \
    PROPERTY(ItemPaddingBottom,     0x68030016, Long,   4)                                                             \
    PROPERTY(ItemPaddingTop,        0x68030017, Long,   4)                                                             \
    PROPERTY(PicturesVisible,       0x68030018, Bool,   true)                                                          \
    PROPERTY(PictureWidth,          0x68030019, Long,   16)                                                            \
    PROPERTY(PictureHeight,         0x6803001A, Long,   16)                                                            \
    PROPERTY(ItemsAutoSize,         0x6803001B, Bool,   true)                                                          \
    PROPERTY(Sortable,              0x6803001C, Bool,   true)                                                          \
    PROPERTY(ColumnTextAlign,       0x6803001D, Long)                                                                  \
    PROPERTY(ColumnResizable,       0x6803001E, Bool)                                                                  \
    PROPERTY(ColumnWidth,           0x6803001F, Long)                                                                  \
    PROPERTY(ColumnCaption,         0x68030020, String)                                                                \
    PROPERTY(ColumnVisible,         0x68030021, Bool)                                                                  \
    PROPERTY(ColumnsVisible,        0x68030022, Bool,   true)                                                          \
    PROPERTY(ColumnKey,             0x68030023, String)                                                                \
    PROPERTY(ColumnCount,           0x68030024, Long)                                                                  \
    PROPERTY(ColumnIndex,           0x68030025, Long)                                                                  \
    PROPERTY(ItemChecked,           0x68030026, Bool)                                                                  \
    PROPERTY(ScrolVisible,          0x68030027, Bool)                                                                  \
    PROPERTY(ItemText,              0x68030028, String)                                                                \
    PROPERTY(ItemSelected,          0x68030029, Bool)                                                                  \
    PROPERTY(ItemTag,               0x6803002A, Long)                                                                  \
    PROPERTY(ItemCount,             0x6803002B, Long)                                                                  \
    PROPERTY(SelectedItem,          0x6803002C, Long,   -1)                                                            \
    PROPERTY(PictureCount,          0x6803002D, Long)                                                                  \
    METHOD(AddPictureFromRes,       0x6003002E)                                                                        \
    METHOD(AddPicture,              0x6003002F)                                                                        \
    METHOD(AddItem,                 0x60030030)                                                                        \
    METHOD(RemoveItem,              0x60030031)                                                                        \
    METHOD(MoveItem,                0x60030032)                                                                        \
    METHOD(Clear,                   0x60030033)                                                                        \
    METHOD(RemoveColumn,            0x60030034)                                                                        \
    METHOD(AddColumn,               0x60030035)                                                                        \
    METHOD(Sort,                    0x60030042)                                                                        \
    METHOD(ColumnFromPoint,         0x60030043)                                                                        \
    METHOD(RowFromPoint,            0x60030044)                                                                        \
    METHOD(Refresh,                 0x60030049)                                                                        \
    METHOD(MakeSureVisible,         0x6003004D)                                                                        \
    METHOD(SelectAll,               0x6003004E)                                                                        \
    METHOD(UnSelectAll,             0x6003004F)                                                                        \
    /* The one method of the custom-draw callback interface, which the control answers as well. */                    \
    METHOD(CustomDraw,              0x60030000)
// clang-format on
