// The drawing aids between the mouse and the editor: the grid the pointer
// snaps to, and what Shift keeps a drag to. Pure functions in twips, so every
// case can be tried without a window. With the grid off and Shift up the
// pointer passes through untouched, to the last bit.
#pragma once

#include <optional>

#include "model/kinds.h"

namespace pasdraw {

// The grid's step: 10 BGI pixels.
inline constexpr int GridStep = 100;

// What Shift keeps the pointer to, seen from the drag's anchor.
enum class Keep {
    Nothing,  // Shift changes nothing: a click, a handle
    Octant,   // horizontal, vertical or at 45 degrees: a line, a polygon's edge, an arc's end
    Square,   // as far across as down: a rectangle's, bar's or ellipse's box
    Radius,   // a circle is round already; the grid rounds its radius, not its rim point
    Axis,     // straight along one axis: a shape moved with Select
};

struct AidPoint {
    float x = 0, y = 0;
    friend bool operator==(const AidPoint&, const AidPoint&) = default;
};

// The two switches: the grid shown, and Shift held.
struct PointerAid {
    bool grid = false;
    bool shift = false;
};

// The gesture under way, as the aids see it.
struct AidFrame {
    std::optional<AidPoint> anchor;  // where the drag or the edge starts; none for a press
    Keep keep = Keep::Nothing;
    // The grid takes pointer + grip rather than the pointer: a Select drag
    // lands the handle (or the shape's first point) on the grid, wherever on
    // the shape the press was.
    AidPoint grip;
};

// The nearest multiple of GridStep, halves to even.
float snapToGrid(float twips);

// What Shift keeps a drag of this kind's tool to.
Keep keepOf(Kind kind);

// The point the editor takes for the pointer. Shift first keeps the point to
// its line, square or axis; the grid then rounds the free length (along the
// diagonal, the side of the square, the radius) or the free coordinate, so a
// drag from a point on the grid ends on the grid and still straight or square.
// A square or diagonal is cut back rather than cross the right or bottom edge
// of the canvas.
AidPoint aided(AidPoint pointer, const AidFrame& frame, PointerAid aid);

}  // namespace pasdraw
