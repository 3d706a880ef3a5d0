// The colours: the sixteen the screen's indices stand for, and the 256-entry
// VGA table that SetBkColor picks what index 0 shows from.
#pragma once

#include <array>
#include <cstdint>

namespace pasdraw {

// The sixteen colours as the BGI documents them, 0xRRGGBB.
inline constexpr std::array<uint32_t, 16> StandardPalette{
    0x000000, 0x0000AA, 0x00AA00, 0x00AAAA, 0xAA0000, 0xAA00AA, 0xAA5500, 0xAAAAAA,
    0x555555, 0x5555FF, 0x55FF55, 0x55FFFF, 0xFF5555, 0xFF55FF, 0xFFFF55, 0xFFFFFF,
};

// The sixteen colours as Free Pascal's window shows them: six-bit DAC values
// times four, so 0xA8 where the documented palette has 0xAA.
inline constexpr std::array<uint32_t, 16> WindowPalette{
    0x000000, 0x0000A8, 0x00A800, 0x00A8A8, 0xA80000, 0xA800A8, 0xA85400, 0xA8A8A8,
    0x545454, 0x5454FC, 0x54FC54, 0x54FCFC, 0xFC5454, 0xFC54FC, 0xFCFC54, 0xFCFCFC,
};

// The entries of the VGA table; a larger SetBkColor word leaves index 0
// showing what it showed.
inline constexpr uint32_t VgaColours = 256;

// What colour index 0 shows after SetBkColor(n), as 0xRRGGBB: the default
// 256-colour VGA palette for n < 256 (BgiScreen never shows a larger n; this
// gives black there).
uint32_t backgroundRgb(uint16_t n);

}  // namespace pasdraw
