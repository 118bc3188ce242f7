#include "platform/automation/Guid.h"

#include <cstdio>

namespace automation {

Guid Guid::FromBytes(const std::uint8_t b[16]) {
    Guid g;
    g.data1 =
        std::uint32_t(b[0]) | (std::uint32_t(b[1]) << 8) | (std::uint32_t(b[2]) << 16) | (std::uint32_t(b[3]) << 24);
    g.data2 = static_cast<std::uint16_t>(b[4] | (b[5] << 8));
    g.data3 = static_cast<std::uint16_t>(b[6] | (b[7] << 8));
    for (int i = 0; i < 8; ++i) g.data4[i] = b[8 + i];
    return g;
}

std::string Guid::ToString() const {
    char buf[39];
    std::snprintf(buf, sizeof buf, "{%08X-%04X-%04X-%02X%02X-%02X%02X%02X%02X%02X%02X}", data1, data2, data3, data4[0],
                  data4[1], data4[2], data4[3], data4[4], data4[5], data4[6], data4[7]);
    return buf;
}

std::u16string Guid::ToU16String() const {
    const std::string s = ToString();
    return std::u16string(s.begin(), s.end());
}

}  // namespace automation
