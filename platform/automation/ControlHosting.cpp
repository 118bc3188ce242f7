#include "platform/automation/ControlHosting.h"

namespace automation {

Variant PropertyBag::Read(std::u16string_view key, const Variant& defaultValue) const {
    auto it = values_.find(std::u16string(key));
    return it == values_.end() ? defaultValue : it->second;
}

void PropertyBag::Write(std::u16string_view key, const Variant& value, const Variant& defaultValue) {
    const Variant& v = value.Deref();
    if (!v.IsObject() && v == defaultValue) {
        values_.erase(std::u16string(key));
        return;
    }
    values_[std::u16string(key)] = v;
}

}  // namespace automation
