#pragma once
// The automation value: what crosses a late-bound call as argument, result, property value or event argument.
#include <cstdint>
#include <string>
#include <string_view>
#include <variant>

#include "platform/automation/Status.h"
#include "platform/automation/Unknown.h"

namespace automation {

class Dispatch;

enum class VarType : std::uint8_t { Empty, Missing, Bool, Int16, Int32, Single, Double, String, Object };

class Variant {
public:
    Variant();
    ~Variant();
    Variant(const Variant&);
    Variant(Variant&&) noexcept;
    Variant& operator=(const Variant&);
    Variant& operator=(Variant&&) noexcept;
    Variant(std::int16_t v) : value_(v) {}
    Variant(std::int32_t v) : value_(v) {}
    Variant(float v) : value_(v) {}
    Variant(double v) : value_(v) {}
    Variant(std::u16string v) : value_(std::move(v)) {}
    Variant(std::u16string_view v) : value_(std::u16string(v)) {}
    Variant(const char16_t* v) : value_(std::u16string(v)) {}
    Variant(Ref<Dispatch> v);
    Variant(Dispatch* v);
    // bool is not implicit: pointers and integers would silently turn into it.
    static Variant FromBool(bool v) {
        Variant r;
        r.value_ = v;
        return r;
    }
    // An optional argument the caller left out.
    static Variant Missing() {
        Variant r;
        r.value_ = MissingArgument{};
        return r;
    }
    // A by-reference argument: reads and writes go to target, which must outlive the call.
    static Variant ByRef(Variant& target);

    VarType Type() const;  // of the referenced value for a by-reference variant
    bool IsByRef() const { return std::holds_alternative<Variant*>(value_); }
    bool IsEmpty() const { return Type() == VarType::Empty; }
    bool IsMissing() const { return Type() == VarType::Missing; }
    bool IsString() const { return Type() == VarType::String; }
    bool IsObject() const { return Type() == VarType::Object; }
    // Numbers, booleans, and strings that read as numbers.
    bool IsNumeric() const;

    // Coercions as the automation run time does them: numeric strings count as numbers, booleans are -1 and 0,
    // fractions round half to even, out-of-range values fail with Overflow, the rest with Type mismatch.
    Status ToInt32(std::int32_t& out) const;
    Status ToInt16(std::int16_t& out) const;
    Status ToDouble(double& out) const;
    Status ToBool(bool& out) const;
    Status ToString(std::u16string& out) const;
    Status ToObject(Ref<Dispatch>& out) const;

    // Lenient readers for call sites that have a sensible fallback.
    std::int32_t Int32Or(std::int32_t fallback = 0) const;
    double DoubleOr(double fallback = 0) const;
    bool BoolOr(bool fallback = false) const;
    std::u16string StringOr(std::u16string fallback = {}) const;
    Ref<Dispatch> Object() const;

    // Writes through a by-reference variant, else replaces this value.
    void Assign(const Variant& v);
    // The value itself, with any by-reference indirection removed.
    const Variant& Deref() const;
    Variant& Deref();

    // The ordinary equality of the language's Variant comparison: numbers compare by value,
    // strings by their characters, Empty equals 0 and "", and a number never equals a string.
    friend bool operator==(const Variant& a, const Variant& b);

private:
    struct MissingArgument {};
    // The Dispatch held through its Unknown base, so this header needs no complete Dispatch.
    struct ObjectRef {
        Ref<Unknown> unknown;
    };
    std::variant<std::monostate, MissingArgument, bool, std::int16_t, std::int32_t, float, double, std::u16string,
                 ObjectRef, Variant*>
        value_;
};

// Parses a text the way numeric strings are coerced: optional spaces, sign, digits, one decimal point, exponent,
// and the &H / &O prefixes. Returns false when the text is not a number.
bool ParseNumericText(std::u16string_view text, double& out);

}  // namespace automation
