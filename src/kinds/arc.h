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

struct ArcKind : arc_shape::SweptKind<ArcRecord> {
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

    // Near along its rim between its angles.
    static double distance(const ArcRecord& r, double x, double y, double) {
        return arc_shape::rimDistance(r, x, y);
    }
};

}  // namespace pasdraw
