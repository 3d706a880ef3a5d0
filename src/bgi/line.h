// Lines: clipped to the clipping box as the unit clips them, then stepped
// from the first end point, in the current colour, line style and thickness.
#pragma once

#include <cstdint>
#include <cstdlib>

#include "bgi/screen_state.h"

namespace pasdraw {

// Clips the segment to the box in place (Cohen-Sutherland); false when
// nothing is left. The first end point moves first, and the left and right
// edges are tried before the top and bottom ones: with truncating division
// the order decides which pixels a steep or shallow line keeps, and this is
// the order that reproduces the graph unit.
bool clipLine(int64_t& x1, int64_t& y1, int64_t& x2, int64_t& y2, const Box& b);

// Steps Bresenham's line from (x, y) to (xe, ye), both included, calling
// plot(k, x, y) for its k-th pixel from the first end point; an error of
// exactly zero steps. Inline, so that each caller's plot is compiled into
// its loop.
template <class Plot>
inline void stepLine(int x, int y, int xe, int ye, Plot&& plot) {
    const int dx = std::abs(xe - x), dy = std::abs(ye - y);
    const int sx = xe >= x ? 1 : -1, sy = ye >= y ? 1 : -1;
    if (dx >= dy) {
        int e = 2 * dy - dx;
        for (int k = 0; k <= dx; ++k) {
            plot(k, x, y);
            if (e >= 0) {
                y += sy;
                e -= 2 * dx;
            }
            e += 2 * dy;
            x += sx;
        }
    } else {
        int e = 2 * dx - dy;
        for (int k = 0; k <= dy; ++k) {
            plot(k, x, y);
            if (e >= 0) {
                x += sx;
                e -= 2 * dy;
            }
            e += 2 * dx;
            y += sy;
        }
    }
}

// A line from (ax, ay) to (bx, by), relative to the viewport, in the
// current colour, style and thickness.
void drawLine(ScreenState& s, int ax, int ay, int bx, int by);

}  // namespace pasdraw
