// What arcs and pie slices share: a centre, a radius and two angles in
// degrees counter-clockwise from the right, as the graph unit reads them
// with y growing downwards.
#pragma once

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <utility>
#include <vector>

#include "canvas/surface.h"
#include "kinds/circle.h"
#include "kinds/shape_geometry.h"
#include "kinds/statement.h"

namespace pasdraw::arc_shape {

// The angle of (x, y) seen from (cx, cy), in whole degrees 0..359.
inline int16_t angleOf(double cx, double cy, double x, double y) {
    if (x == cx && y == cy) return 0;
    const double degrees = std::atan2(cy - y, x - cx) * 180.0 / 3.14159265358979323846;
    const long whole = std::lround(degrees);
    return static_cast<int16_t>(((whole % 360) + 360) % 360);
}

// The point at `angle` degrees on the rim, in twips. The offset from the
// centre is rounded on its own, so the point moves exactly as the centre does.
inline HandlePoint rimPoint(int16_t cx, int16_t cy, int16_t radius, int16_t angle) {
    const double t = angle * 3.14159265358979323846 / 180.0;
    const double r = std::abs(static_cast<double>(radius));
    return {cx + static_cast<int>(std::lround(r * std::cos(t))),
            cy - static_cast<int>(std::lround(r * std::sin(t)))};
}

// Whether `angle` lies on the arc from start counter-clockwise to end. Equal
// angles are one point; angles a whole turn apart, the whole rim.
inline bool onArc(int16_t start, int16_t end, int16_t angle) {
    const int span = ((end - start) % 360 + 360) % 360;
    const int at = ((angle - start) % 360 + 360) % 360;
    if (span == 0) return start != end || at == 0;
    return at <= span;
}

// Handles: 0 the centre, 1 the rim at the start angle, 2 at the end angle.
// Dragging the centre moves the shape; dragging an end sets its angle and
// the radius to the end's distance from the centre.
template <class Record>
std::vector<HandlePoint> handles(const Record& r) {
    return {{r.X, r.Y}, rimPoint(r.X, r.Y, r.Radius, r.StartAngle), rimPoint(r.X, r.Y, r.Radius, r.EndAngle)};
}
template <class Record>
void move(Record& r, int dx, int dy) {
    shift(r.X, dx);
    shift(r.Y, dy);
}
template <class Record>
void moveHandle(Record& r, int h, int dx, int dy) {
    if (h == 0) {
        move(r, dx, dy);
        return;
    }
    const HandlePoint p = rimPoint(r.X, r.Y, r.Radius, h == 1 ? r.StartAngle : r.EndAngle);
    const double x = p.x + dx, y = p.y + dy;
    (h == 1 ? r.StartAngle : r.EndAngle) = angleOf(r.X, r.Y, x, y);
    r.Radius = roundSaturate<int16_t>(std::hypot(x - r.X, y - r.Y));
}

// Near along the rim between its angles.
template <class Record>
double rimDistance(const Record& r, double x, double y) {
    const double rim = std::abs(std::hypot(x - r.X, y - r.Y) - std::abs(static_cast<double>(r.Radius)));
    if (onArc(r.StartAngle, r.EndAngle, angleOf(r.X, r.Y, x, y))) return rim;
    const HandlePoint a = rimPoint(r.X, r.Y, r.Radius, r.StartAngle);
    const HandlePoint b = rimPoint(r.X, r.Y, r.Radius, r.EndAngle);
    return std::min(std::hypot(x - a.x, y - a.y), std::hypot(x - b.x, y - b.y));
}

// Anywhere inside a pie slice or near its outline: the rim between its
// angles and the two radii to it. The unit draws a slice from the smaller
// angle to the larger, whichever comes first, so it never wraps through 0.
template <class Record>
double sliceDistance(Record r, double x, double y) {
    if (r.StartAngle > r.EndAngle) std::swap(r.StartAngle, r.EndAngle);
    const double radius = std::abs(static_cast<double>(r.Radius));
    if (std::hypot(x - r.X, y - r.Y) <= radius && onArc(r.StartAngle, r.EndAngle, angleOf(r.X, r.Y, x, y)))
        return 0.0;
    const HandlePoint a = rimPoint(r.X, r.Y, r.Radius, r.StartAngle);
    const HandlePoint b = rimPoint(r.X, r.Y, r.Radius, r.EndAngle);
    return std::min({rimDistance(r, x, y), segmentDistance(x, y, r.X, r.Y, a.x, a.y),
                     segmentDistance(x, y, r.X, r.Y, b.x, b.y)});
}

// The centre, the angles and the radius as the call writes them:
// (x,y,start,end,radius).
template <class Record>
void writeCall(LineBuffer& out, const CoordinateStyle& style, GraphRoutine call, const Record& r) {
    out.text(pascalName(call));
    out.text("(");
    writePoint(out, style, toScreen(r.X), toScreen(r.Y));
    out.text(",");
    out.number(r.StartAngle);
    out.text(",");
    out.number(r.EndAngle);
    out.text(",");
    out.number(toScreen(r.Radius));  // a length: scaled, never shifted
    out.text(");");
}

// What arcs and pie slices share as kinds: their origin point, their
// handles and moves, and their mouse tool.
template <class Record>
struct SweptKind {
    // The centre; the radius takes no part in the origin.
    template <class Take>
    static void originPoints(const Record& r, Take&& take) {
        take(r.X, r.Y);
    }

    static std::vector<HandlePoint> handles(const Record& r) { return arc_shape::handles(r); }
    static void move(Record& r, int dx, int dy) { arc_shape::move(r, dx, dy); }
    static void moveHandle(Record& r, int h, int dx, int dy) { arc_shape::moveHandle(r, h, dx, dy); }

    // The mouse tool's drag: a rubber circle round the press point; the
    // release sets the radius and the start angle.
    static bool preview(Surface& s, float sx, float sy, float x, float y, int32_t colour) {
        s.Circle(sx, sy, static_cast<float>(dragRadius(sx, sy, x, y)), colour);
        return true;
    }
    static constexpr bool refreshAfterPreview = false;
    // The tool's gesture: the release starts the sweep of its end angle, which a click fixes.
    static constexpr bool sweeps = true;
    static Record released(const EditorState& s, float x, float y) {
        Record r{};
        r.X = toStored(s.StartX);
        r.Y = toStored(s.StartY);
        r.Radius = toStored(dragRadius(s.StartX, s.StartY, x, y));
        r.StartAngle = angleOf(s.StartX, s.StartY, x, y);
        r.EndAngle = r.StartAngle;
        return r;
    }
};

}  // namespace pasdraw::arc_shape
