// The viewport the graph unit draws in, and the rules for what SetViewPort
// takes and what ClearDevice leaves of it. Header only: the interpreter asks
// any BgiGraphics for its viewport.
#pragma once

#include <cstdint>

namespace pasdraw {

// The 640 x 480 screen of VGAHi.
inline constexpr int ScreenWidth = 640;
inline constexpr int ScreenHeight = 480;

// A viewport on the screen, its corners included, and whether drawing is
// clipped to it.
struct Viewport {
    int16_t x1 = 0, y1 = 0, x2 = ScreenWidth - 1, y2 = ScreenHeight - 1;
    bool clip = true;
    bool operator==(const Viewport&) const = default;
};

// Whether SetViewPort takes these corners: both on the screen, the first
// neither right of nor below the second.
constexpr bool validViewport(int16_t x1, int16_t y1, int16_t x2, int16_t y2) {
    return x1 >= 0 && y1 >= 0 && x1 <= x2 && y1 <= y2 && x2 < ScreenWidth && y2 < ScreenHeight;
}

// What ClearDevice leaves of viewport v: the unit moves the far corner back
// by twice the near one's coordinates, so that only a viewport at the
// screen's origin survives it whole. May leave the far corner before the
// near one.
constexpr Viewport viewportAfterClearDevice(Viewport v) {
    v.x2 = static_cast<int16_t>(v.x2 - 2 * v.x1);
    v.y2 = static_cast<int16_t>(v.y2 - 2 * v.y1);
    return v;
}

}  // namespace pasdraw
