#include "platform/automation/Variant.h"

#include <cmath>
#include <cstdio>
#include <limits>

#include "platform/automation/Dispatch.h"

namespace automation {

Variant::Variant() = default;
Variant::~Variant() = default;
Variant::Variant(const Variant&) = default;
Variant::Variant(Variant&&) noexcept = default;
Variant& Variant::operator=(const Variant&) = default;
Variant& Variant::operator=(Variant&&) noexcept = default;
Variant::Variant(Ref<Dispatch> v) : value_(ObjectRef{Ref<Unknown>(static_cast<Unknown*>(v.Get()))}) {}
Variant::Variant(Dispatch* v) : value_(ObjectRef{Ref<Unknown>(static_cast<Unknown*>(v))}) {}

Variant Variant::ByRef(Variant& target) {
    Variant r;
    r.value_ = &target.Deref();
    return r;
}

const Variant& Variant::Deref() const {
    if (auto p = std::get_if<Variant*>(&value_)) return **p;
    return *this;
}
Variant& Variant::Deref() {
    if (auto p = std::get_if<Variant*>(&value_)) return **p;
    return *this;
}

void Variant::Assign(const Variant& v) {
    const Variant& source = v.Deref();
    if (auto p = std::get_if<Variant*>(&value_)) {
        **p = source;
    } else {
        *this = source;
    }
}

VarType Variant::Type() const {
    const Variant& v = Deref();
    switch (v.value_.index()) {
        case 0: return VarType::Empty;
        case 1: return VarType::Missing;
        case 2: return VarType::Bool;
        case 3: return VarType::Int16;
        case 4: return VarType::Int32;
        case 5: return VarType::Single;
        case 6: return VarType::Double;
        case 7: return VarType::String;
        default: return VarType::Object;
    }
}

namespace {

bool IsSpace(char16_t c) { return c == u' ' || c == u'\t' || c == u'\r' || c == u'\n'; }

// Rounds half to even, as the run time's integer conversions do.
double RoundBankers(double d) { return std::nearbyint(d); }

// The number a non-object, non-missing value stands for; false when it stands for none.
bool NumberOf(const Variant& v, double& out, Status& why) {
    switch (v.Type()) {
        case VarType::Empty: out = 0; return true;
        case VarType::Bool: out = v.Deref().BoolOr() ? -1 : 0; return true;
        case VarType::Int16:
        case VarType::Int32:
        case VarType::Single:
        case VarType::Double: return v.ToDouble(out).Ok();
        case VarType::String:
            if (ParseNumericText(v.StringOr(), out)) return true;
            why = StandardError(errors::kTypeMismatch);
            return false;
        case VarType::Missing:
        case VarType::Object: why = StandardError(errors::kTypeMismatch); return false;
    }
    return false;
}

template <class Int>
Status ToInteger(const Variant& v, Int& out) {
    double d = 0;
    Status why;
    if (!NumberOf(v, d, why)) return why;
    d = RoundBankers(d);
    if (!(d >= double(std::numeric_limits<Int>::min()) && d <= double(std::numeric_limits<Int>::max())))
        return StandardError(errors::kOverflow);
    out = static_cast<Int>(d);
    return {};
}

std::u16string Ascii(const char* s) {
    std::u16string r;
    while (*s) r.push_back(static_cast<char16_t>(*s++));
    return r;
}

// Shortest text that reads back as the same value, the way numbers print as text.
std::u16string NumberText(double d, int digits) {
    if (d == std::floor(d) && std::fabs(d) < 1e15) {
        char buf[32];
        std::snprintf(buf, sizeof buf, "%.0f", d);
        return Ascii(buf);
    }
    char buf[40];
    std::snprintf(buf, sizeof buf, "%.*G", digits, d);
    return Ascii(buf);
}

}  // namespace

bool ParseNumericText(std::u16string_view text, double& out) {
    std::size_t i = 0, n = text.size();
    while (i < n && IsSpace(text[i])) ++i;
    while (n > i && IsSpace(text[n - 1])) --n;
    if (i == n) return false;
    bool negative = false;
    if (text[i] == u'+' || text[i] == u'-') {
        negative = text[i] == u'-';
        ++i;
        while (i < n && IsSpace(text[i])) ++i;
    }
    if (i + 1 < n && text[i] == u'&' &&
        (text[i + 1] == u'H' || text[i + 1] == u'h' || text[i + 1] == u'O' || text[i + 1] == u'o')) {
        const int base = (text[i + 1] == u'H' || text[i + 1] == u'h') ? 16 : 8;
        i += 2;
        if (i == n) return false;
        double value = 0;
        for (; i < n; ++i) {
            const char16_t c = text[i];
            int digit = -1;
            if (c >= u'0' && c <= u'9')
                digit = c - u'0';
            else if (base == 16 && c >= u'a' && c <= u'f')
                digit = c - u'a' + 10;
            else if (base == 16 && c >= u'A' && c <= u'F')
                digit = c - u'A' + 10;
            if (digit < 0 || digit >= base) return false;
            value = value * base + digit;
        }
        out = negative ? -value : value;
        return true;
    }
    std::string ascii;
    bool digits = false, point = false, exponent = false;
    for (; i < n; ++i) {
        const char16_t c = text[i];
        if (c >= u'0' && c <= u'9') {
            digits = true;
        } else if (c == u'.' && !point && !exponent) {
            point = true;
        } else if ((c == u'e' || c == u'E') && digits && !exponent) {
            exponent = true;
            ascii.push_back('e');
            if (i + 1 < n && (text[i + 1] == u'+' || text[i + 1] == u'-'))
                ascii.push_back(static_cast<char>(text[++i]));
            if (i + 1 >= n) return false;
            continue;
        } else {
            return false;
        }
        ascii.push_back(static_cast<char>(c));
    }
    if (!digits) return false;
    char* end = nullptr;
    const double value = std::strtod(ascii.c_str(), &end);
    if (end != ascii.c_str() + ascii.size()) return false;
    out = negative ? -value : value;
    return true;
}

bool Variant::IsNumeric() const {
    double d;
    switch (Type()) {
        case VarType::Bool:
        case VarType::Int16:
        case VarType::Int32:
        case VarType::Single:
        case VarType::Double: return true;
        case VarType::String: return ParseNumericText(Deref().StringOr(), d);
        default: return false;
    }
}

Status Variant::ToInt32(std::int32_t& out) const { return ToInteger(*this, out); }
Status Variant::ToInt16(std::int16_t& out) const { return ToInteger(*this, out); }

Status Variant::ToDouble(double& out) const {
    const auto& v = Deref().value_;
    if (auto p = std::get_if<std::int16_t>(&v)) {
        out = *p;
        return {};
    }
    if (auto p = std::get_if<std::int32_t>(&v)) {
        out = *p;
        return {};
    }
    if (auto p = std::get_if<float>(&v)) {
        out = *p;
        return {};
    }
    if (auto p = std::get_if<double>(&v)) {
        out = *p;
        return {};
    }
    Status why;
    return NumberOf(*this, out, why) ? Status{} : why;
}

Status Variant::ToBool(bool& out) const {
    const Variant& v = Deref();
    if (auto p = std::get_if<bool>(&v.value_)) {
        out = *p;
        return {};
    }
    if (auto p = std::get_if<std::u16string>(&v.value_)) {
        std::u16string lower;
        for (char16_t c : *p) lower.push_back(c < 128 ? static_cast<char16_t>(std::tolower(c)) : c);
        while (!lower.empty() && IsSpace(lower.back())) lower.pop_back();
        while (!lower.empty() && IsSpace(lower.front())) lower.erase(lower.begin());
        if (lower == u"true") {
            out = true;
            return {};
        }
        if (lower == u"false") {
            out = false;
            return {};
        }
    }
    double d = 0;
    Status why;
    if (!NumberOf(v, d, why)) return why;
    out = d != 0;
    return {};
}

Status Variant::ToString(std::u16string& out) const {
    const Variant& v = Deref();
    switch (v.Type()) {
        case VarType::Empty: out.clear(); return {};
        case VarType::String: out = std::get<std::u16string>(v.value_); return {};
        case VarType::Bool: out = std::get<bool>(v.value_) ? u"True" : u"False"; return {};
        case VarType::Int16: out = NumberText(std::get<std::int16_t>(v.value_), 15); return {};
        case VarType::Int32: out = NumberText(std::get<std::int32_t>(v.value_), 15); return {};
        case VarType::Single: out = NumberText(std::get<float>(v.value_), 7); return {};
        case VarType::Double: out = NumberText(std::get<double>(v.value_), 15); return {};
        case VarType::Missing:
        case VarType::Object: return StandardError(errors::kTypeMismatch);
    }
    return StandardError(errors::kTypeMismatch);
}

Status Variant::ToObject(Ref<Dispatch>& out) const {
    const Variant& v = Deref();
    if (auto p = std::get_if<ObjectRef>(&v.value_)) {
        out = Ref<Dispatch>(static_cast<Dispatch*>(p->unknown.Get()));
        return {};
    }
    if (v.IsEmpty()) {
        out = nullptr;
        return {};
    }
    return StandardError(errors::kTypeMismatch);
}

std::int32_t Variant::Int32Or(std::int32_t fallback) const {
    std::int32_t v;
    return ToInt32(v).Ok() ? v : fallback;
}
double Variant::DoubleOr(double fallback) const {
    double v;
    return ToDouble(v).Ok() ? v : fallback;
}
bool Variant::BoolOr(bool fallback) const {
    bool v;
    return ToBool(v).Ok() ? v : fallback;
}
std::u16string Variant::StringOr(std::u16string fallback) const {
    std::u16string v;
    return ToString(v).Ok() ? v : fallback;
}
Ref<Dispatch> Variant::Object() const {
    Ref<Dispatch> v;
    return ToObject(v).Ok() ? v : nullptr;
}

bool operator==(const Variant& left, const Variant& right) {
    const Variant& a = left.Deref();
    const Variant& b = right.Deref();
    const VarType ta = a.Type(), tb = b.Type();
    const bool aNumber = ta == VarType::Bool || ta == VarType::Int16 || ta == VarType::Int32 || ta == VarType::Single ||
                         ta == VarType::Double;
    const bool bNumber = tb == VarType::Bool || tb == VarType::Int16 || tb == VarType::Int32 || tb == VarType::Single ||
                         tb == VarType::Double;
    if (ta == VarType::Object || tb == VarType::Object) return ta == tb && a.Object() == b.Object();
    if (ta == VarType::Missing || tb == VarType::Missing) return ta == tb;
    if (ta == VarType::Empty && tb == VarType::Empty) return true;
    if ((aNumber || ta == VarType::Empty) && (bNumber || tb == VarType::Empty)) return a.DoubleOr() == b.DoubleOr();
    if ((ta == VarType::String || ta == VarType::Empty) && (tb == VarType::String || tb == VarType::Empty))
        return a.StringOr() == b.StringOr();
    return false;  // a number never equals a string
}

std::u16string StandardErrorText(std::int32_t number) {
    switch (number) {
        case errors::kInvalidCall: return u"Invalid procedure call or argument";
        case errors::kOverflow: return u"Overflow";
        case errors::kSubscriptOutOfRange: return u"Subscript out of range";
        case errors::kTypeMismatch: return u"Type mismatch";
        case errors::kObjectNotSet: return u"Object variable or With block variable not set";
        case errors::kNotSupported: return u"Object doesn't support this property or method";
        case errors::kArgumentNotOptional: return u"Argument not optional";
        case errors::kWrongArgumentCount: return u"Wrong number of arguments or invalid property assignment";
        default: return {};
    }
}

Status StandardError(std::int32_t number) { return Status::Error(number, StandardErrorText(number)); }

}  // namespace automation
