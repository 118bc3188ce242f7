#include "platform/automation/Dispatch.h"

#include <vector>

namespace automation {

Status Call(Dispatch* target, DispId id, InvokeKind kind, std::initializer_list<Variant> args, Variant* result) {
    if (!target) return StandardError(errors::kObjectNotSet);
    std::vector<Variant> list(args);
    return target->Invoke(id, kind, list, result);
}

Status GetProperty(Dispatch* target, DispId id, std::initializer_list<Variant> index, Variant& result) {
    return Call(target, id, InvokeKind::PropertyGet, index, &result);
}

Status PutProperty(Dispatch* target, DispId id, std::initializer_list<Variant> indexAndValue) {
    return Call(target, id, InvokeKind::PropertyPut, indexAndValue, nullptr);
}

}  // namespace automation
