// A circle: its centre at the press point and its radius as far as the drag
// went.
#pragma once

#include <cmath>
#include <cstdlib>
#include <vector>

#include "canvas/surface.h"
#include "kinds/shape_geometry.h"
#include "kinds/statement.h"
#include "model/picture.h"

namespace pasdraw {

// Distance from the press point: differences in single precision, squares,
// sum and root in double precision.
inline double dragRadius(float startX, float startY, float x, float y) {
    const float dx = startX - x;
    const float dy = startY - y;
    const double sx = static_cast<double>(dx), sy = static_cast<double>(dy);
    return std::sqrt(sx * sx + sy * sy);
}

struct CircleKind {
    using Record = CircleRecord;

    // Recovery writes the fields in declaration order; the style fields,
    // which came last, are the ones a version-1 recovery file lacks.
    template <class R, class F>
    static void fields(R& r, F&& f) {
        f(r.X), f(r.Y), f(r.Radius), f(r.ColorIndex), f(r.ColorRGB), f(r.LineWidth);
    }

    // A thick one is drawn as the unit draws it.
    static void paint(Surface& surface, const CircleRecord& c) {
        if (c.LineWidth == NormalWidth)
            surface.Circle(c.X, c.Y, c.Radius, c.ColorRGB);
        else
            surface.GraphCircle(toScreen(c.X), toScreen(c.Y), toScreen(c.Radius), c.ColorRGB, c.LineWidth);
    }

    static void write(LineBuffer& out, const CoordinateStyle& style, const CircleRecord& r) {
        lineStyleBefore(out, SolidLine, r.LineWidth);
        outlineColour(out, r.ColorIndex);
        out.text(pascalName(GraphRoutine::Circle));
        out.text("(");
        writePoint(out, style, toScreen(r.X), toScreen(r.Y));
        out.text(",");
        out.number(toScreen(r.Radius));  // a length: scaled, never shifted
        out.text(");");
        lineStyleAfter(out, SolidLine, r.LineWidth);
    }
    // The centre; the radius takes no part in the origin.
    template <class Take>
    static void originPoints(const CircleRecord& r, Take&& take) {
        take(r.X, r.Y);
    }

    // Near along its rim.
    static double distance(const CircleRecord& r, double x, double y, double) {
        return std::abs(std::hypot(x - r.X, y - r.Y) - std::abs(static_cast<double>(r.Radius)));
    }
    // A point on the rim, right of the centre; dragging it sets the radius
    // to its distance from the centre.
    static std::vector<HandlePoint> handles(const CircleRecord& r) {
        return {{r.X + std::abs(static_cast<int>(r.Radius)), r.Y}};
    }
    static void move(CircleRecord& r, int dx, int dy) {
        shift(r.X, dx);
        shift(r.Y, dy);
    }
    static void moveHandle(CircleRecord& r, int, int dx, int dy) {
        const double rimX = r.X + std::abs(static_cast<double>(r.Radius)) + dx, rimY = r.Y + dy;
        r.Radius = roundSaturate<int16_t>(std::hypot(rimX - r.X, rimY - r.Y));
    }

    // The mouse tool: a rubber circle round the press point.
    static bool preview(Surface& s, float sx, float sy, float x, float y, int32_t colour) {
        s.Circle(sx, sy, static_cast<float>(dragRadius(sx, sy, x, y)), colour);
        return true;
    }
    static constexpr bool refreshAfterPreview = false;
    static CircleRecord released(const EditorState& s, float x, float y) {
        CircleRecord r{};
        r.X = toStored(s.StartX);
        r.Y = toStored(s.StartY);
        r.Radius = toStored(dragRadius(s.StartX, s.StartY, x, y));
        return r;
    }

    static CircleRecord imported(int64_t x, int64_t y, int64_t radius) {
        CircleRecord r{};
        r.X = screenToTwips(x);
        r.Y = screenToTwips(y);
        r.Radius = screenToTwips(radius);
        return r;
    }
};

}  // namespace pasdraw
