// Text in the 8 x 8 default font, which the unit draws for every font when
// the stroked fonts' files are missing.
#pragma once

#include <cstdint>
#include <string_view>

#include "bgi/screen_state.h"

namespace pasdraw {

// A glyph's width and height at size 1.
inline constexpr int GlyphSize = 8;

// The text size SetTextStyle(font, ..., charSize) leaves after `current`.
int textSizeAfter(int current, uint16_t font, uint16_t charSize);

// The longest text, in pixels along or across, that BgiScreen draws as the
// unit does.
inline constexpr int MaxTextExtent = 20400;

// The string's bytes at (x, y), relative to the viewport, in the text
// settings and the current colour.
void drawText(ScreenState& st, int x, int y, std::string_view bytes);

}  // namespace pasdraw
