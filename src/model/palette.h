// The fifteen colours of the palette: BGI colour number, the RGB the canvas
// shows (0x00BBGGRR, red in the low byte) and the BGI name.
#pragma once

#include <array>
#include <cstdint>

namespace pasdraw {

// The sixteen colour names of the BGI, upper case, by colour number; the
// palette has no black, but a program text may name it.
inline constexpr std::array<const char*, 16> ColourNames{
    "BLACK",    "BLUE",      "GREEN",      "CYAN",      "RED",      "MAGENTA",      "BROWN",  "LIGHTGRAY",
    "DARKGRAY", "LIGHTBLUE", "LIGHTGREEN", "LIGHTCYAN", "LIGHTRED", "LIGHTMAGENTA", "YELLOW", "WHITE",
};

struct PaletteEntry {
    int16_t index;
    int32_t rgb;
    const char* name;
};

inline constexpr std::array<PaletteEntry, 15> Palette{{
    {1, 0x00C00000, ColourNames[1]},
    {2, 0x00008000, ColourNames[2]},
    {3, 0x00808000, ColourNames[3]},
    {4, 0x000000C0, ColourNames[4]},
    {5, 0x00800080, ColourNames[5]},
    {6, 0x000040C0, ColourNames[6]},
    {7, 0x00808080, ColourNames[7]},
    {8, 0x00404040, ColourNames[8]},
    {9, 0x00FF0000, ColourNames[9]},
    {10, 0x0000FF00, ColourNames[10]},
    {11, 0x00FFFF80, ColourNames[11]},
    {12, 0x008080FF, ColourNames[12]},
    {13, 0x00FF80FF, ColourNames[13]},
    {14, 0x0000FFFF, ColourNames[14]},
    {15, 0x00FFFFFF, ColourNames[15]},
}};

// red + 256 * green + 65536 * blue
constexpr int32_t RGB(int red, int green, int blue) {
    return static_cast<int32_t>((red & 0xFF) | ((green & 0xFF) << 8) | ((blue & 0xFF) << 16));
}

inline constexpr int32_t Black = 0;
inline constexpr int32_t White = RGB(255, 255, 255);

// The palette entry of a colour number, or nullptr for a number with none
// (0, the black a fill border has before any outline, among them).
constexpr const PaletteEntry* paletteEntry(int index) {
    for (const PaletteEntry& e : Palette) {
        if (e.index == index) return &e;
    }
    return nullptr;
}

// The RGB the canvas shows for a colour number; black for a number with no
// palette entry.
constexpr int32_t paletteRgb(int index) {
    const PaletteEntry* e = paletteEntry(index);
    return e ? e->rgb : Black;
}

}  // namespace pasdraw
