#pragma once
// The public class that only defines the custom-draw callback interface: its method never takes over a cell.
#include "lorvex/include/lorvex/ListViewInterface.h"
#include "platform/automation/Dispatch.h"

namespace lorvex {

class CustomDrawClass final : public automation::RefCounted<automation::Dispatch> {
public:
    CustomDrawClass();
    ~CustomDrawClass() override;
    void* QueryInterface(const automation::Guid& iid) override;
    automation::Status Invoke(automation::DispId id, automation::InvokeKind kind, std::span<automation::Variant> args,
                              automation::Variant* result) override;
    automation::DispId DispIdOfName(std::u16string_view name) override;
};

}  // namespace lorvex
