// The state every drawing routine of the screen works on: the pixels, the
// settings the graph unit keeps between calls, and the clipping box. The
// routines are plain functions over it, one file per job (lines, curves,
// flood fill, text, filled slices); BgiScreen holds one and hands it to them.
#pragma once

#include <algorithm>
#include <array>
#include <cstddef>
#include <cstdint>

#include "bgi/viewport.h"

namespace pasdraw {

struct ScreenState {
    static constexpr int Width = ScreenWidth;
    static constexpr int Height = ScreenHeight;

    // Row-major colour indices 0..15.
    std::array<uint8_t, Width * Height> pixels{};
    uint32_t color = 15;
    uint32_t bkColor = 0;
    // The last SetBkColor word below 256: what colour index 0 shows.
    uint16_t shownBkColor = 0;
    uint16_t fillPattern = 1;
    uint16_t fillColor = 15;
    int16_t cpX = 0;
    int16_t cpY = 0;
    uint16_t linePattern = 0xFFFF;  // the style's 16 bits, the first pixel in the high bit
    bool thick = false;
    bool solidStyle = true;  // SolidLn, not a user pattern of all ones
    int textSize = 1;
    bool verticalText = false;
    uint8_t justifyH = 0;  // left, centre, right
    uint8_t justifyV = 2;  // bottom, centre, top
    // See BgiGraphics::work.
    uint64_t work = 0;
    // Drawing coordinates are relative to the viewport's top left corner, and
    // pixels land only inside the clipping box, kept relative to that corner
    // too: the viewport with the clip on, the screen with it off.
    Viewport viewport;
    int clipLeft = 0;
    int clipTop = 0;
    unsigned clipWidth = Width;
    unsigned clipHeight = Height;

    // The colour lines, curves and text draw in.
    uint8_t drawColour() const { return static_cast<uint8_t>(color & 15); }

    // Whether (x, y), relative to the viewport, lies inside the clipping box.
    bool inClip(int x, int y) const {
        return static_cast<unsigned>(x - clipLeft) < clipWidth &&
               static_cast<unsigned>(y - clipTop) < clipHeight;
    }

    // The pixel at (x, y) relative to the viewport, which must be on the screen.
    uint8_t& at(int x, int y) {
        return pixels[static_cast<std::size_t>((y + viewport.y1) * Width + x + viewport.x1)];
    }

    // Plots at (x, y) relative to the viewport, where it falls inside the
    // clipping box.
    void plot(int x, int y, uint8_t c) {
        if (inClip(x, y)) at(x, y) = c;
    }

    // Sets the clipping box from the viewport and its clip flag.
    void updateClip() {
        // With the clip off only the screen's edges clip.
        const Viewport box = viewport.clip ? viewport : Viewport{};
        clipLeft = box.x1 - viewport.x1;
        clipTop = box.y1 - viewport.y1;
        clipWidth = static_cast<unsigned>(std::max(box.x2 - box.x1 + 1, 0));
        clipHeight = static_cast<unsigned>(std::max(box.y2 - box.y1 + 1, 0));
    }
};

// A box of pixels, its edges included.
struct Box {
    int64_t left, top, right, bottom;
};

// The clipping box relative to the viewport.
inline Box clipBox(const ScreenState& s) {
    return {s.clipLeft, s.clipTop, int64_t{s.clipLeft} + s.clipWidth - 1,
            int64_t{s.clipTop} + s.clipHeight - 1};
}

// The clipping box on the screen.
inline Box screenClipBox(const ScreenState& s) {
    const Box b = clipBox(s);
    return {b.left + s.viewport.x1, b.top + s.viewport.y1, b.right + s.viewport.x1, b.bottom + s.viewport.y1};
}

// Work counts about a nanosecond of this screen's time a unit, so that a
// bound on it stops runaway drawing after a fraction of a second: a pixel set
// alone or visited by a fill is a unit, while whole rows written at once
// (ClearDevice, a solid Bar) cost a sixteenth of one a pixel and a patterned
// Bar a quarter. The compiled program clears or bars about 2000 full screens
// a second, which then stays within the preview's bound.
inline constexpr uint64_t SolidWorkShare = 16;
inline constexpr uint64_t PatternWorkShare = 4;

// The 8 x 8 fill patterns 0..12, one byte a row, the leftmost pixel in the
// high bit, tiled from the screen's origin (measured with Bar). Pattern 12,
// the user pattern, is solid until a program defines its own.
inline constexpr uint8_t FillPatterns[13][8] = {
    {0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00}, {0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF},
    {0xFF, 0xFF, 0x00, 0x00, 0xFF, 0xFF, 0x00, 0x00}, {0x01, 0x02, 0x04, 0x08, 0x10, 0x20, 0x40, 0x80},
    {0x07, 0x0E, 0x1C, 0x38, 0x70, 0xE0, 0xC1, 0x83}, {0x07, 0x83, 0xC1, 0xE0, 0x70, 0x38, 0x1C, 0x0E},
    {0x5A, 0x2D, 0x96, 0x4B, 0xA5, 0xD2, 0x69, 0xB4}, {0xFF, 0x88, 0x88, 0x88, 0xFF, 0x88, 0x88, 0x88},
    {0x18, 0x24, 0x42, 0x81, 0x81, 0x42, 0x24, 0x18}, {0xCC, 0x33, 0xCC, 0x33, 0xCC, 0x33, 0xCC, 0x33},
    {0x80, 0x00, 0x08, 0x00, 0x80, 0x00, 0x08, 0x00}, {0x88, 0x00, 0x22, 0x00, 0x88, 0x00, 0x22, 0x00},
    {0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF},
};
inline constexpr uint16_t LastFillPattern = 12;

// Whether the fill pattern paints every pixel in the fill colour.
inline bool solidFill(const ScreenState& s) { return s.fillPattern == 1 || s.fillPattern == 12; }

// Paints pixels x1..x2 of screen row y (row points at its first pixel) in
// the fill pattern: the fill colour on the pattern's 1 bits, the background
// index on its 0 bits, each or'ed with mark.
void fillSpan(const ScreenState& s, uint8_t* row, int x1, int x2, int y, uint8_t mark = 0);

}  // namespace pasdraw
