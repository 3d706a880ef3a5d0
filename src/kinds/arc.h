// An arc: part of a circle's rim, counter-clockwise from its start angle to
// its end angle, in the colour and either line width.
#pragma once

#include <cstdint>
#include <vector>

#include "canvas/surface.h"
#include "kinds/arc_geometry.h"
#include "kinds/circle.h"
#include "model/picture.h"

namespace pasdraw {

struct ArcKind {
    using Record = ArcRecord;

    // Recovery writes the fields in declaration order.
    template <class R, class F>
    static void fields(R& r, F&& f) {
        f(r.X), f(r.Y), f(r.Radius), f(r.StartAngle), f(r.EndAngle), f(r.ColorIndex), f(r.ColorRGB),
            f(r.LineWidth);
    }

    static void paint(Surface& surface, const ArcRecord& r) {
        surface.GraphArc(toScreen(r.X), toScreen(r.Y), r.StartAngle, r.EndAngle, toScreen(r.Radius),
                         r.ColorRGB, r.LineWidth);
    }

    static void write(LineBuffer& out, const CoordinateStyle& style, const ArcRecord& r) {
        lineStyleBefore(out, SolidLine, r.LineWidth);
        outlineColour(out, r.ColorIndex);
        arc_shape::writeCall(out, style, GraphRoutine::Arc, r);
        lineStyleAfter(out, SolidLine, r.LineWidth);
    }
    // The centre; the radius takes no part in the origin.
    template <class Take>
    static void originPoints(const ArcRecord& r, Take&& take) {
        take(r.X, r.Y);
    }

    static double distance(const ArcRecord& r, double x, double y, double) {
        return arc_shape::rimDistance(r, x, y);
    }
    static std::vector<HandlePoint> handles(const ArcRecord& r) { return arc_shape::handles(r); }
    static void move(ArcRecord& r, int dx, int dy) { arc_shape::move(r, dx, dy); }
    static void moveHandle(ArcRecord& r, int h, int dx, int dy) { arc_shape::moveHandle(r, h, dx, dy); }

    // The mouse tool's drag: a rubber circle round the press point; the
    // release sets the radius and the start angle.
    static bool preview(Surface& s, float sx, float sy, float x, float y, int32_t colour) {
        s.Circle(sx, sy, static_cast<float>(dragRadius(sx, sy, x, y)), colour);
        return true;
    }
    static constexpr bool refreshAfterPreview = false;
    // The tool's gesture: the release starts the sweep of its end angle, which a click fixes.
    static constexpr bool sweeps = true;
    static ArcRecord released(const EditorState& s, float x, float y) {
        ArcRecord r{};
        r.X = toStored(s.StartX);
        r.Y = toStored(s.StartY);
        r.Radius = toStored(dragRadius(s.StartX, s.StartY, x, y));
        r.StartAngle = arc_shape::angleOf(s.StartX, s.StartY, x, y);
        r.EndAngle = r.StartAngle;
        return r;
    }
};

}  // namespace pasdraw
