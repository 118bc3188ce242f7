#pragma once
// OLE colours: a 24-bit RGB value with red in the low byte, or 0x800000nn for system colour nn.

#include <cstdint>

namespace automation {

inline constexpr std::uint32_t kSystemColorFlag = 0x80000000u;
inline constexpr int kLastSystemColor = 30;

// The RGB value of an OLE colour. System colours (nn 0..30) are resolved now from the application's
// palette, or from the classic defaults while no application object exists. False for any other
// high byte or a system colour above 30; rgb may be null to only validate.
bool TranslateOleColor(std::uint32_t oleColor, std::uint32_t* rgb);

}  // namespace automation
