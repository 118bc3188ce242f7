#pragma once
// A custom-draw callback for tests: records each call and answers with colours chosen per cell.
#include <functional>
#include <vector>

#include "lorvex/include/lorvex/ListViewInterface.h"
#include "platform/automation/Dispatch.h"

namespace lorvex::test {

struct CellColors {
    bool takeOver = false;
    std::int32_t back = -1;
    std::int32_t fore = -1;
};

class CustomDrawRecorder final : public automation::RefCounted<automation::Dispatch> {
public:
    struct Call {
        std::int32_t row, column, backIn, foreIn;
    };
    std::function<CellColors(std::int32_t row, std::int32_t column)> choose;
    std::vector<Call> calls;

    void* QueryInterface(const automation::Guid& iid) override {
        return iid == automation::Unknown::IID || iid == automation::Dispatch::IID || iid == IID_ICustomDraw
                   ? static_cast<automation::Dispatch*>(this)
                   : nullptr;
    }
    automation::Status Invoke(automation::DispId id, automation::InvokeKind, std::span<automation::Variant> args,
                              automation::Variant* result) override {
        if (id != dispid::CustomDraw || args.size() != 4) return automation::Status::Error(438, u"no such member");
        const Call call{args[0].Int32Or(), args[1].Int32Or(), args[2].Int32Or(), args[3].Int32Or()};
        calls.push_back(call);
        const CellColors colors = choose ? choose(call.row, call.column) : CellColors{};
        args[2].Assign(automation::Variant(colors.back));
        args[3].Assign(automation::Variant(colors.fore));
        if (result) *result = automation::Variant::FromBool(colors.takeOver);
        return {};
    }
};

}  // namespace lorvex::test
