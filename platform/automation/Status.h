#pragma once
// The outcome of a late-bound call: error number 0 means success; otherwise the number and text the callee raised.
#include <cstdint>
#include <string>

namespace automation {

struct Status {
    std::int32_t number = 0;
    std::u16string description;

    bool ok() const { return number == 0; }
    bool failed() const { return number != 0; }

    static Status success() { return {}; }
    static Status error(std::int32_t number, std::u16string description = {}) {
        return {number, std::move(description)};
    }
};

// Error numbers of the automation run time that callers test for.
namespace errors {
inline constexpr std::int32_t InvalidCall = 5;  // invalid procedure call or argument
inline constexpr std::int32_t Overflow = 6;
inline constexpr std::int32_t SubscriptOutOfRange = 9;
inline constexpr std::int32_t TypeMismatch = 13;
inline constexpr std::int32_t ObjectNotSet = 91;
inline constexpr std::int32_t NotSupported = 438;  // object doesn't support this property or method
inline constexpr std::int32_t ArgumentNotOptional = 449;
inline constexpr std::int32_t WrongArgumentCount = 450;
}  // namespace errors

// The run time's own text for a standard error number (empty for numbers it does not know).
std::u16string StandardErrorText(std::int32_t number);
Status StandardError(std::int32_t number);

}  // namespace automation
