#include "lorvex/listview/CustomDrawClass.h"

#include "lorvex/listview/MemberNames.h"
#include "platform/automation/InprocServer.h"

namespace lorvex {

CustomDrawClass::CustomDrawClass() { automation::server::ObjectCreated(); }
CustomDrawClass::~CustomDrawClass() { automation::server::ObjectDestroyed(); }

void* CustomDrawClass::QueryInterface(const automation::Guid& iid) {
    if (iid == automation::Unknown::IID || iid == automation::Dispatch::IID || iid == IID_ICustomDraw)
        return static_cast<automation::Dispatch*>(this);
    return nullptr;
}

automation::Status CustomDrawClass::Invoke(automation::DispId id, automation::InvokeKind,
                                           std::span<automation::Variant>, automation::Variant* result) {
    if (id != dispid::CustomDraw) return automation::StandardError(automation::errors::kNotSupported);
    if (result) *result = automation::Variant::FromBool(false);
    return {};
}

automation::DispId CustomDrawClass::DispIdOfName(std::u16string_view name) {
    return name == NameOfMember(dispid::CustomDraw) ? dispid::CustomDraw : automation::kDispIdUnknown;
}

}  // namespace lorvex
