// A line: two ends as dragged, press point first.
#pragma once

#include <vector>

#include "canvas/surface.h"
#include "kinds/shape_geometry.h"
#include "kinds/statement.h"
#include "model/picture.h"

namespace pasdraw {

struct LineKind {
    using Record = LineRecord;

    // Recovery writes the fields in declaration order; the style fields,
    // which came last, are the ones a version-1 recovery file lacks.
    template <class R, class F>
    static void fields(R& r, F&& f) {
        f(r.X1), f(r.X2), f(r.Y1), f(r.Y2), f(r.ColorIndex), f(r.ColorRGB), f(r.LineStyle), f(r.LineWidth);
    }

    // A solid thin line on the window's pen, as before styles; any other as
    // the unit draws it.
    static void paint(Surface& surface, const LineRecord& r) {
        if (plainLine(r.LineStyle, r.LineWidth))
            surface.Line(r.X1, r.Y1, r.X2, r.Y2, r.ColorRGB);
        else
            surface.GraphLine(toScreen(r.X1), toScreen(r.Y1), toScreen(r.X2), toScreen(r.Y2), r.ColorRGB,
                              r.LineStyle, r.LineWidth);
    }

    static void write(LineBuffer& out, const CoordinateStyle& style, const LineRecord& r) {
        writeTwoCorners(out, style, GraphRoutine::Line, r);
    }
    template <class Take>
    static void originPoints(const LineRecord& r, Take&& take) {
        take(r.X1, r.Y1);
        take(r.X2, r.Y2);
    }

    // Near along its length.
    static double distance(const LineRecord& r, double x, double y, double) {
        return segmentDistance(x, y, r.X1, r.Y1, r.X2, r.Y2);
    }
    // The two ends.
    static std::vector<HandlePoint> handles(const LineRecord& r) { return {{r.X1, r.Y1}, {r.X2, r.Y2}}; }
    static void move(LineRecord& r, int dx, int dy) { two_corner::move(r, dx, dy); }
    static void moveHandle(LineRecord& r, int h, int dx, int dy) {
        shift(h == 0 ? r.X1 : r.X2, dx);
        shift(h == 0 ? r.Y1 : r.Y2, dy);
    }

    // The mouse tool: a rubber band from the press point, stored as dragged.
    static bool preview(Surface& s, float sx, float sy, float x, float y, int32_t colour) {
        s.Line(sx, sy, x, y, colour);
        return true;
    }
    static constexpr bool refreshAfterPreview = false;
    static LineRecord released(const EditorState& s, float x, float y) {
        return two_corner::dragged<LineRecord>(s, x, y);
    }

    // line, and lineto or linerel from the current point.
    static LineRecord imported(int64_t x1, int64_t y1, int64_t x2, int64_t y2) {
        return two_corner::imported<LineRecord>(x1, y1, x2, y2);
    }
};

}  // namespace pasdraw
