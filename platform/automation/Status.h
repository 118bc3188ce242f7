#pragma once
// The outcome of a late-bound call: error number 0 means success; otherwise the number and text the callee raised.
#include <cstdint>
#include <string>

namespace automation {

struct Status {
    std::int32_t number = 0;
    std::u16string description;

    bool Ok() const { return number == 0; }
    bool Failed() const { return number != 0; }

    static Status Success() { return {}; }
    static Status Error(std::int32_t number, std::u16string description = {}) {
        return {number, std::move(description)};
    }
};

// Error numbers of the automation run time that callers test for.
namespace errors {
inline constexpr std::int32_t kInvalidCall = 5;  // invalid procedure call or argument
inline constexpr std::int32_t kOverflow = 6;
inline constexpr std::int32_t kSubscriptOutOfRange = 9;
inline constexpr std::int32_t kTypeMismatch = 13;
inline constexpr std::int32_t kObjectNotSet = 91;
inline constexpr std::int32_t kNotSupported = 438;  // object doesn't support this property or method
inline constexpr std::int32_t kArgumentNotOptional = 449;
inline constexpr std::int32_t kWrongArgumentCount = 450;
}  // namespace errors

// The run time's own text for a standard error number (empty for numbers it does not know).
std::u16string StandardErrorText(std::int32_t number);
Status StandardError(std::int32_t number);

}  // namespace automation
