// A pie slice: an arc closed by two radii to its centre and filled in the
// fill pattern, the outline and the fill both in the colour.
#pragma once

#include <cstdint>
#include <vector>

#include "canvas/surface.h"
#include "kinds/arc_geometry.h"
#include "kinds/circle.h"
#include "model/picture.h"

namespace pasdraw {

struct PieSliceKind : arc_shape::SweptKind<PieSliceRecord> {
    using Record = PieSliceRecord;

    // Recovery writes the fields in declaration order.
    template <class R, class F>
    static void fields(R& r, F&& f) {
        f(r.X), f(r.Y), f(r.Radius), f(r.StartAngle), f(r.EndAngle), f(r.ColorIndex), f(r.ColorRGB),
            f(r.Pattern);
    }

    static void paint(Surface& surface, const PieSliceRecord& r) {
        surface.GraphPieSlice(toScreen(r.X), toScreen(r.Y), r.StartAngle, r.EndAngle, toScreen(r.Radius),
                              r.ColorRGB, r.Pattern);
    }

    static void write(LineBuffer& out, const CoordinateStyle& style, const PieSliceRecord& r) {
        outlineColour(out, r.ColorIndex);
        fillStyle(out, r.Pattern, r.ColorIndex);
        arc_shape::writeCall(out, style, GraphRoutine::PieSlice, r);
    }

    // Near anywhere inside it or along its outline.
    static double distance(const PieSliceRecord& r, double x, double y, double) {
        return arc_shape::sliceDistance(r, x, y);
    }
};

}  // namespace pasdraw
