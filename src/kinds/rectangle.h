// A rectangle: two opposite corners as dragged, not sorted.
#pragma once

#include <vector>

#include "canvas/surface.h"
#include "kinds/shape_geometry.h"
#include "kinds/statement.h"
#include "model/picture.h"

namespace pasdraw {

struct RectangleKind {
    using Record = RectangleRecord;

    // Recovery writes the fields in declaration order; the style fields,
    // which came last, are the ones a version-1 recovery file lacks.
    template <class R, class F>
    static void fields(R& r, F&& f) {
        f(r.X1), f(r.X2), f(r.Y1), f(r.Y2), f(r.ColorIndex), f(r.ColorRGB), f(r.LineStyle), f(r.LineWidth);
    }

    // The fill style is transparent here: every step that makes it solid sets
    // it back before it ends, so rectangles come out as outlines.
    // A styled one is drawn as the unit draws it.
    static void paint(Surface& surface, const RectangleRecord& r) {
        if (plainLine(r.LineStyle, r.LineWidth))
            surface.LineBox(r.X1, r.Y1, r.X2, r.Y2, r.ColorRGB);
        else
            surface.GraphRectangle(toScreen(r.X1), toScreen(r.Y1), toScreen(r.X2), toScreen(r.Y2), r.ColorRGB,
                                   r.LineStyle, r.LineWidth);
    }

    static void write(LineBuffer& out, const CoordinateStyle& style, const RectangleRecord& r) {
        writeTwoCorners(out, style, GraphRoutine::Rectangle, r);
    }
    template <class Take>
    static void originPoints(const RectangleRecord& r, Take&& take) {
        take(r.X1, r.Y1);
        take(r.X2, r.Y2);
    }

    // Near along its four edges.
    static double distance(const RectangleRecord& r, double x, double y, double) {
        return boxDistance(x, y, r.X1, r.Y1, r.X2, r.Y2);
    }
    static std::vector<HandlePoint> handles(const RectangleRecord& r) { return two_corner::boxHandles(r); }
    static void move(RectangleRecord& r, int dx, int dy) { two_corner::move(r, dx, dy); }
    static void moveHandle(RectangleRecord& r, int h, int dx, int dy) {
        two_corner::moveBoxCorner(r, h, dx, dy);
    }

    // The mouse tool: a rubber box from the press point, stored as dragged.
    static bool preview(Surface& s, float sx, float sy, float x, float y, int32_t colour) {
        s.LineBox(sx, sy, x, y, colour);
        return true;
    }
    static constexpr bool refreshAfterPreview = false;
    static RectangleRecord released(const EditorState& s, float x, float y) {
        return two_corner::dragged<RectangleRecord>(s, x, y);
    }

    static RectangleRecord imported(int64_t x1, int64_t y1, int64_t x2, int64_t y2) {
        return two_corner::imported<RectangleRecord>(x1, y1, x2, y2);
    }
};

}  // namespace pasdraw
