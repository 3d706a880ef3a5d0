// A bar: two opposite corners as dragged, filled in the fill pattern and
// colour, with no outline.
#pragma once

#include <vector>

#include "canvas/surface.h"
#include "kinds/shape_geometry.h"
#include "kinds/statement.h"
#include "model/picture.h"

namespace pasdraw {

struct BarKind {
    using Record = BarRecord;

    // Recovery writes the fields in declaration order.
    template <class R, class F>
    static void fields(R& r, F&& f) {
        f(r.X1), f(r.X2), f(r.Y1), f(r.Y2), f(r.ColorIndex), f(r.ColorRGB), f(r.Pattern);
    }

    static void paint(Surface& surface, const BarRecord& r) {
        surface.GraphBar(toScreen(r.X1), toScreen(r.Y1), toScreen(r.X2), toScreen(r.Y2), r.ColorRGB,
                         r.Pattern);
    }

    static void write(LineBuffer& out, const CoordinateStyle& style, const BarRecord& r) {
        fillStyle(out, r.Pattern, r.ColorIndex);
        out.text(pascalName(GraphRoutine::Bar));
        out.text("(");
        writePoint(out, style, toScreen(r.X1), toScreen(r.Y1));
        out.text(",");
        writePoint(out, style, toScreen(r.X2), toScreen(r.Y2));
        out.text(");");
    }
    template <class Take>
    static void originPoints(const BarRecord& r, Take&& take) {
        take(r.X1, r.Y1);
        take(r.X2, r.Y2);
    }

    // Near anywhere inside or along its edges: a bar is solid.
    static double distance(const BarRecord& r, double x, double y, double) {
        const bool inside = (x - r.X1) * (x - r.X2) <= 0 && (y - r.Y1) * (y - r.Y2) <= 0;
        return inside ? 0.0 : boxDistance(x, y, r.X1, r.Y1, r.X2, r.Y2);
    }
    static std::vector<HandlePoint> handles(const BarRecord& r) { return two_corner::boxHandles(r); }
    static void move(BarRecord& r, int dx, int dy) { two_corner::move(r, dx, dy); }
    static void moveHandle(BarRecord& r, int h, int dx, int dy) { two_corner::moveBoxCorner(r, h, dx, dy); }

    // The mouse tool: a rubber box from the press point, stored as dragged.
    static bool preview(Surface& s, float sx, float sy, float x, float y, int32_t colour) {
        s.LineBox(sx, sy, x, y, colour);
        return true;
    }
    static constexpr bool refreshAfterPreview = false;
    static BarRecord released(const EditorState& s, float x, float y) {
        return two_corner::dragged<BarRecord>(s, x, y);
    }

    static BarRecord imported(int64_t x1, int64_t y1, int64_t x2, int64_t y2) {
        return two_corner::imported<BarRecord>(x1, y1, x2, y2);
    }
};

}  // namespace pasdraw
