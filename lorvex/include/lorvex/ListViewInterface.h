#pragma once
// The grid control's published interface: class and interface identities, dispatch identifiers, enumerations,
// event numbers and error numbers. Hosts include this header only; they load the library at run time and call the
// control late-bound through these identifiers.
#include <cstdint>

#include "platform/automation/Guid.h"

namespace lorvex {

using automation::Guid;

inline constexpr Guid CLSID_ListView = Guid::of("0596283B-31C0-4D22-AAF6-55D8FD5E2CDF");
inline constexpr Guid IID_ListView = Guid::of("4EC305FE-EB9F-47D0-92DC-F2DC4F8C05D2");
inline constexpr Guid DIID_ListViewEvents = Guid::of("F029CFD6-DBA0-4F33-AFFB-1653F81DEF05");
inline constexpr Guid IID_ICustomDraw = Guid::of("15E4A3E8-8517-4E65-8148-1B9426DBBC0A");
inline constexpr Guid CLSID_ICustomDraw = Guid::of("9D87E656-E814-4DD7-8ECC-1ADBAD313DD1");
inline constexpr Guid LIBID_lorvex = Guid::of("65CB141F-561E-4BEB-B7BF-C4C6842BD0E5");
inline constexpr const char16_t* ProgId_ListView = u"lorvex.ListView";
inline constexpr const char16_t* ProgId_ICustomDraw = u"lorvex.ICustomDraw";

enum SortOrderConstants : std::int32_t { SortAscending = 0, SortDescending = 1 };
enum OLEDropModeConstants : std::int32_t { OLEDropNone = 0, OLEDropManual = 1 };
enum TextAlignConstants : std::int32_t { TextAlignLeft = 0, TextAlignRight = 1, TextAlignCenter = 2 };
enum LVBorderStyleConstants : std::int32_t { BorderStyleNone = 0, BorderStyleThin = 1, BorderStyleThick = 2 };

// Dispatch identifiers of the default interface.
namespace dispid {
inline constexpr std::int32_t ItemHeight = 0x68030000;
inline constexpr std::int32_t Redraw = 0x68030002;
inline constexpr std::int32_t Font = 0x68030003;
inline constexpr std::int32_t FocusRectColor = 0x68030004;
inline constexpr std::int32_t SelectedBackColor = 0x68030005;
inline constexpr std::int32_t SelectedForeColor = 0x68030006;
inline constexpr std::int32_t ForeColor = 0x68030007;
inline constexpr std::int32_t BackColor = 0x68030008;
inline constexpr std::int32_t CheckboxSelectedColor = 0x68030009;
inline constexpr std::int32_t CheckboxColor = 0x6803000A;
inline constexpr std::int32_t MultiSelect = 0x6803000B;
inline constexpr std::int32_t Reorder = 0x6803000C;
inline constexpr std::int32_t ColumnsAutoSize = 0x6803000D;
inline constexpr std::int32_t Enabled = 0x6803000E;
inline constexpr std::int32_t BorderStyle = 0x6803000F;
inline constexpr std::int32_t DrawCallback = 0x68030010;
inline constexpr std::int32_t SolidFocusRect = 0x68030011;
inline constexpr std::int32_t OLEDropMode = 0x68030012;
inline constexpr std::int32_t Checkboxes = 0x68030013;
inline constexpr std::int32_t ItemPaddingRight = 0x68030014;
inline constexpr std::int32_t ItemPaddingLeft = 0x68030015;
inline constexpr std::int32_t ItemPaddingBottom = 0x68030016;
inline constexpr std::int32_t ItemPaddingTop = 0x68030017;
inline constexpr std::int32_t PicturesVisible = 0x68030018;
inline constexpr std::int32_t PictureWidth = 0x68030019;
inline constexpr std::int32_t PictureHeight = 0x6803001A;
inline constexpr std::int32_t ItemsAutoSize = 0x6803001B;
inline constexpr std::int32_t Sortable = 0x6803001C;
inline constexpr std::int32_t ColumnTextAlign = 0x6803001D;
inline constexpr std::int32_t ColumnResizable = 0x6803001E;
inline constexpr std::int32_t ColumnWidth = 0x6803001F;
inline constexpr std::int32_t ColumnCaption = 0x68030020;
inline constexpr std::int32_t ColumnVisible = 0x68030021;
inline constexpr std::int32_t ColumnsVisible = 0x68030022;
inline constexpr std::int32_t ColumnKey = 0x68030023;
inline constexpr std::int32_t ColumnCount = 0x68030024;
inline constexpr std::int32_t ColumnIndex = 0x68030025;
inline constexpr std::int32_t ItemChecked = 0x68030026;
inline constexpr std::int32_t ScrolVisible = 0x68030027;
inline constexpr std::int32_t ItemText = 0x68030028;
inline constexpr std::int32_t ItemSelected = 0x68030029;
inline constexpr std::int32_t ItemTag = 0x6803002A;
inline constexpr std::int32_t ItemCount = 0x6803002B;
inline constexpr std::int32_t SelectedItem = 0x6803002C;
inline constexpr std::int32_t PictureCount = 0x6803002D;

inline constexpr std::int32_t AddPictureFromRes = 0x6003002E;
inline constexpr std::int32_t AddPicture = 0x6003002F;
inline constexpr std::int32_t AddItem = 0x60030030;
inline constexpr std::int32_t RemoveItem = 0x60030031;
inline constexpr std::int32_t MoveItem = 0x60030032;
inline constexpr std::int32_t Clear = 0x60030033;
inline constexpr std::int32_t RemoveColumn = 0x60030034;
inline constexpr std::int32_t AddColumn = 0x60030035;
inline constexpr std::int32_t Sort = 0x60030042;
inline constexpr std::int32_t ColumnFromPoint = 0x60030043;
inline constexpr std::int32_t RowFromPoint = 0x60030044;
inline constexpr std::int32_t Refresh = 0x60030049;
inline constexpr std::int32_t MakeSureVisible = 0x6003004D;
inline constexpr std::int32_t SelectAll = 0x6003004E;
inline constexpr std::int32_t UnSelectAll = 0x6003004F;

// The one method of the custom-draw callback interface.
inline constexpr std::int32_t CustomDraw = 0x60030000;
}  // namespace dispid

// Events of the source interface; the identifier is the event number.
namespace event {
inline constexpr std::int32_t Reorder = 1;
inline constexpr std::int32_t DblClick = 2;
inline constexpr std::int32_t Click = 3;
inline constexpr std::int32_t ColumnClick = 4;
inline constexpr std::int32_t MouseDown = 5;
inline constexpr std::int32_t MouseMove = 6;
inline constexpr std::int32_t MouseUp = 7;
inline constexpr std::int32_t KeyDown = 8;
inline constexpr std::int32_t KeyUp = 9;
inline constexpr std::int32_t KeyPress = 10;
inline constexpr std::int32_t ItemCheck = 11;
inline constexpr std::int32_t OLEDragDrop = 12;
inline constexpr std::int32_t OLEDragOver = 13;
inline constexpr std::int32_t OLECompleteDrag = 14;
inline constexpr std::int32_t OLEGiveFeedback = 15;
inline constexpr std::int32_t OLESetData = 16;
inline constexpr std::int32_t OLEStartDrag = 17;
}  // namespace event

// Errors the control raises to its host.
namespace error {
inline constexpr std::int32_t NoColumns = 31;           // "can not add items when there are no columns"
inline constexpr std::int32_t ItemsExist = 33;          // "can not add or remove columns when there are items"
inline constexpr std::int32_t DuplicateKey = 300;       // "Objekt nicht eindeutig in Aufz鋒lung!"
inline constexpr std::int32_t SubscriptOutOfRange = 9;
}  // namespace error

}  // namespace lorvex
