#pragma once
// The grid control's published interface: class and interface identities, dispatch identifiers and defaults (made
// from the member table of ListViewMembers.h), enumerations, event numbers and error numbers. Hosts include this
// header only; they load the library at run time and call the control late-bound through these identifiers.
#include <cstdint>

#include "lorvex/include/lorvex/ListViewMembers.h"
#include "platform/automation/Guid.h"

namespace lorvex {

using automation::Guid;

inline constexpr Guid CLSID_ListView = Guid::Of("0596283B-31C0-4D22-AAF6-55D8FD5E2CDF");
inline constexpr Guid IID_ListView = Guid::Of("4EC305FE-EB9F-47D0-92DC-F2DC4F8C05D2");
inline constexpr Guid DIID_ListViewEvents = Guid::Of("F029CFD6-DBA0-4F33-AFFB-1653F81DEF05");
inline constexpr Guid IID_ICustomDraw = Guid::Of("15E4A3E8-8517-4E65-8148-1B9426DBBC0A");
inline constexpr Guid CLSID_ICustomDraw = Guid::Of("9D87E656-E814-4DD7-8ECC-1ADBAD313DD1");
inline constexpr Guid LIBID_lorvex = Guid::Of("65CB141F-561E-4BEB-B7BF-C4C6842BD0E5");
inline constexpr const char16_t* ProgId_ListView = u"lorvex.ListView";
inline constexpr const char16_t* ProgId_ICustomDraw = u"lorvex.ICustomDraw";

enum SortOrderConstants : std::int32_t { SortAscending = 0, SortDescending = 1 };
enum OLEDropModeConstants : std::int32_t { OLEDropNone = 0, OLEDropManual = 1 };
enum TextAlignConstants : std::int32_t { TextAlignLeft = 0, TextAlignRight = 1, TextAlignCenter = 2 };
enum LVBorderStyleConstants : std::int32_t { BorderStyleNone = 0, BorderStyleThin = 1, BorderStyleThick = 2 };

// Dispatch identifiers of the default interface, from the member table.
namespace dispid {
#define LORVEX_DECLARE_DISPID(name, id, ...) inline constexpr std::int32_t name = id;
LORVEX_LISTVIEW_MEMBERS(LORVEX_DECLARE_DISPID, LORVEX_DECLARE_DISPID)
#undef LORVEX_DECLARE_DISPID
}  // namespace dispid

// The values a new control starts from, for the properties the member table gives one.
namespace defaults {
#define LORVEX_DECLARE_DEFAULT(name, id, type, ...) __VA_OPT__(inline constexpr member_type::type name = __VA_ARGS__;)
#define LORVEX_NO_DEFAULT(name, id)
LORVEX_LISTVIEW_MEMBERS(LORVEX_DECLARE_DEFAULT, LORVEX_NO_DEFAULT)
#undef LORVEX_DECLARE_DEFAULT
#undef LORVEX_NO_DEFAULT
}  // namespace defaults

// Events of the source interface; the identifier is the event number. Like the dispatch identifiers, each is named
// after the member it identifies.
// NOLINTBEGIN(readability-identifier-naming)
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
// NOLINTEND(readability-identifier-naming)

// Errors the control raises to its host.
namespace error {
inline constexpr std::int32_t kNoColumns = 31;      // "can not add items when there are no columns"
inline constexpr std::int32_t kItemsExist = 33;     // "can not add or remove columns when there are items"
inline constexpr std::int32_t kDuplicateKey = 300;  // "Objekt nicht eindeutig in Aufz鋒lung!"
inline constexpr std::int32_t kSubscriptOutOfRange = 9;
}  // namespace error

}  // namespace lorvex
