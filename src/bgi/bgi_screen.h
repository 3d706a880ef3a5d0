// The 640 x 480, 16-colour screen of the graph unit (VGA, VGAHi), drawing
// pixel for pixel what Free Pascal 3.2's graph unit draws there. Every rule
// was measured by compiling programs with fpc and reading the screen back;
// docs/bgi-screen.md sets them out, with what is not copied and what still
// differs. The drawing itself is plain functions over a ScreenState, one file
// per job: line.h, curve.h, flood_fill.h, text.h, slice_fill.h; this class
// keeps the state and answers the graph unit's calls with them.
//
// Not copied, and refused by the program preview instead: viewports with the
// clip off, drawing in a viewport ClearDevice turned over, GetPixel outside
// the viewport, filled slices and ellipses with points beyond -16384 ..
// 16383, and text longer or higher than MaxTextExtent.
#pragma once

#include <array>
#include <cstdint>
#include <string_view>

#include "bgi/flood_fill.h"
#include "bgi/graphics.h"
#include "bgi/palette.h"
#include "bgi/screen_state.h"
#include "bgi/slice_fill.h"
#include "bgi/text.h"
#include "bgi/viewport.h"

namespace pasdraw {

class BgiScreen : public BgiGraphics {
public:
    static constexpr int Width = ScreenWidth;
    static constexpr int Height = ScreenHeight;

    BgiScreen();

#define PASDRAW_OVERRIDE_ROUTINE(id, name, params, args) void id params override;
    PASDRAW_GRAPH_ROUTINES(PASDRAW_OVERRIDE_ROUTINE)
#undef PASDRAW_OVERRIDE_ROUTINE
#define PASDRAW_OVERRIDE_FUNCTION(id, name, result, params, args) result id params override;
    PASDRAW_GRAPH_FUNCTIONS(PASDRAW_OVERRIDE_FUNCTION)
#undef PASDRAW_OVERRIDE_FUNCTION

    uint64_t work() const override { return s_.work; }

    // Row-major colour indices 0..15, Width * Height of them.
    const uint8_t* pixels() const { return s_.pixels.data(); }
    // The colour index at (x, y); 0 outside the screen.
    uint8_t pixel(int x, int y) const;

    uint32_t color() const { return s_.color; }
    // The last SetBkColor word below 256: the VGA table entry that colour
    // index 0 shows. Larger words change what ClearDevice writes, not this.
    uint16_t backgroundColour() const { return s_.shownBkColor; }
    uint16_t fillPattern() const { return s_.fillPattern; }
    uint16_t fillColour() const { return s_.fillColor; }
    int16_t currentX() const { return s_.cpX; }
    int16_t currentY() const { return s_.cpY; }
    // The text size after SetTextStyle, 1..10 in the default font (any size
    // in a stroked one), and whether text is vertical.
    int textSize() const override { return s_.textSize; }
    bool verticalText() const { return s_.verticalText; }

    // What the program's window shows for a colour index, as 0xRRGGBB: the
    // window palette, except index 0, which shows the background colour.
    uint32_t windowRgb(uint8_t index) const;

    // The viewport SetViewPort last set (or ClearDevice left), on the screen.
    Viewport viewport() const override { return s_.viewport; }

private:
    ScreenState s_;
    FloodScratch flood_;
    SliceScratch slice_;
};

}  // namespace pasdraw
