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

struct PieSliceKind {
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
    // The centre; the radius takes no part in the origin.
    template <class Take>
    static void originPoints(const PieSliceRecord& r, Take&& take) {
        take(r.X, r.Y);
    }

    // Near anywhere inside it or along its outline.
    static double distance(const PieSliceRecord& r, double x, double y, double) {
        return arc_shape::sliceDistance(r, x, y);
    }
    static std::vector<HandlePoint> handles(const PieSliceRecord& r) { return arc_shape::handles(r); }
    static void move(PieSliceRecord& r, int dx, int dy) { arc_shape::move(r, dx, dy); }
    static void moveHandle(PieSliceRecord& r, int h, int dx, int dy) { arc_shape::moveHandle(r, h, dx, dy); }

    // The mouse tool's drag: a rubber circle round the press point; the
    // release sets the radius and the start angle.
    static bool preview(Surface& s, float sx, float sy, float x, float y, int32_t colour) {
        s.Circle(sx, sy, static_cast<float>(dragRadius(sx, sy, x, y)), colour);
        return true;
    }
    static constexpr bool refreshAfterPreview = false;
    // The tool's gesture: the release starts the sweep of its end angle, which a click fixes.
    static constexpr bool sweeps = true;
    static PieSliceRecord released(const EditorState& s, float x, float y) {
        PieSliceRecord r{};
        r.X = toStored(s.StartX);
        r.Y = toStored(s.StartY);
        r.Radius = toStored(dragRadius(s.StartX, s.StartY, x, y));
        r.StartAngle = arc_shape::angleOf(s.StartX, s.StartY, x, y);
        r.EndAngle = r.StartAngle;
        return r;
    }
};

}  // namespace pasdraw
