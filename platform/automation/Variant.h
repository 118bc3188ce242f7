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
    static Variant fromBool(bool v) {
        Variant r;
        r.value_ = v;
        return r;
    }
    // An optional argument the caller left out.
    static Variant missing() {
        Variant r;
        r.value_ = Missing{};
        return r;
    }
    // A by-reference argument: reads and writes go to target, which must outlive the call.
    static Variant byRef(Variant& target);

    VarType type() const;  // of the referenced value for a by-reference variant
    bool isByRef() const { return std::holds_alternative<Variant*>(value_); }
    bool isEmpty() const { return type() == VarType::Empty; }
    bool isMissing() const { return type() == VarType::Missing; }
    bool isString() const { return type() == VarType::String; }
    bool isObject() const { return type() == VarType::Object; }
    // Numbers, booleans, and strings that read as numbers.
    bool isNumeric() const;

    // Coercions as the automation run time does them: numeric strings count as numbers, booleans are -1 and 0,
    // fractions round half to even, out-of-range values fail with Overflow, the rest with Type mismatch.
    Status toInt32(std::int32_t& out) const;
    Status toInt16(std::int16_t& out) const;
    Status toDouble(double& out) const;
    Status toBool(bool& out) const;
    Status toString(std::u16string& out) const;
    Status toObject(Ref<Dispatch>& out) const;

    // Lenient readers for call sites that have a sensible fallback.
    std::int32_t int32Or(std::int32_t fallback = 0) const;
    double doubleOr(double fallback = 0) const;
    bool boolOr(bool fallback = false) const;
    std::u16string stringOr(std::u16string fallback = {}) const;
    Ref<Dispatch> object() const;

    // Writes through a by-reference variant, else replaces this value.
    void assign(const Variant& v);
    // The value itself, with any by-reference indirection removed.
    const Variant& deref() const;
    Variant& deref();

    // The ordinary equality of the language's Variant comparison: numbers compare by value,
    // strings by their characters, Empty equals 0 and "", and a number never equals a string.
    friend bool operator==(const Variant& a, const Variant& b);

private:
    struct Missing {};
    // The Dispatch held through its Unknown base, so this header needs no complete Dispatch.
    struct ObjectRef {
        Ref<Unknown> unknown;
    };
    std::variant<std::monostate, Missing, bool, std::int16_t, std::int32_t, float, double, std::u16string, ObjectRef,
                 Variant*>
        value_;
};

// Parses a text the way numeric strings are coerced: optional spaces, sign, digits, one decimal point, exponent,
// and the &H / &O prefixes. Returns false when the text is not a number.
bool ParseNumericText(std::u16string_view text, double& out);

}  // namespace automation
