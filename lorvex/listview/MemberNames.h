#pragma once
// The control's member names with their dispatch identifiers, made from the member table: what a late-bound
// caller's name lookup searches, and the keys the property bag stores properties under.
#include <string_view>

#include "lorvex/include/lorvex/ListViewInterface.h"
#include "platform/automation/Dispatch.h"

namespace lorvex {

struct MemberName {
    std::u16string_view name;
    automation::DispId id;
};

#define LORVEX_MEMBER_NAME(name, id, ...) MemberName{u"" #name, dispid::name},
inline constexpr MemberName kMemberNames[] = {LORVEX_LISTVIEW_MEMBERS(LORVEX_MEMBER_NAME, LORVEX_MEMBER_NAME)};
#undef LORVEX_MEMBER_NAME

// The table's name of the member `id`; empty for no member.
constexpr std::u16string_view NameOfMember(automation::DispId id) {
    for (const MemberName& member : kMemberNames)
        if (member.id == id) return member.name;
    return {};
}

}  // namespace lorvex
