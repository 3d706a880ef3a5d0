// Canvas colours the tests draw with, written out as 0x00BBGGRR on purpose
// rather than taken from the palette table, so a wrong palette entry shows.
#pragma once

#include <cstdint>

namespace pasdraw::testing {

inline constexpr int32_t Red = 0x000000C0;        // palette 4
inline constexpr int32_t Blue = 0x00C00000;       // palette 1
inline constexpr int32_t LightBlue = 0x00FF0000;  // palette 9
inline constexpr int32_t Yellow = 0x0000FFFF;     // palette 14

}  // namespace pasdraw::testing
