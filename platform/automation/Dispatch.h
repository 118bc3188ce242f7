#pragma once
// Late-bound calls by dispatch identifier.
#include <cstdint>
#include <span>
#include <string_view>

#include "platform/automation/Status.h"
#include "platform/automation/Unknown.h"
#include "platform/automation/Variant.h"

namespace automation {

using DispId = std::int32_t;
inline constexpr DispId kDispIdUnknown = -1;
inline constexpr DispId kDispIdValue = 0;

enum class InvokeKind : std::uint8_t { Method, PropertyGet, PropertyPut, PropertyPutRef };

class Dispatch : public Unknown {
public:
    // args are in declaration order; for a property put the new value is the last one. Optional arguments may be
    // left out at the end or passed as Variant::missing(). result may be nullptr when the caller ignores it.
    virtual Status Invoke(DispId id, InvokeKind kind, std::span<Variant> args, Variant* result) = 0;
    virtual DispId DispIdOfName(std::u16string_view name) { return kDispIdUnknown; }

    static constexpr Guid IID = Guid::Of("00020400-0000-0000-C000-000000000046");
};

// Convenience for callers: invoke with an initializer list of arguments.
Status Call(Dispatch* target, DispId id, InvokeKind kind, std::initializer_list<Variant> args,
            Variant* result = nullptr);
// Property get / put shortcuts.
Status GetProperty(Dispatch* target, DispId id, std::initializer_list<Variant> index, Variant& result);
Status PutProperty(Dispatch* target, DispId id, std::initializer_list<Variant> indexAndValue);

// Reads the argument at position i, or Missing when the caller passed fewer.
inline const Variant& ArgAt(std::span<Variant> args, std::size_t i) {
    static const Variant kMissing = Variant::Missing();
    return i < args.size() ? args[i] : kMissing;
}
inline bool HasArg(std::span<Variant> args, std::size_t i) { return i < args.size() && !args[i].IsMissing(); }

}  // namespace automation
