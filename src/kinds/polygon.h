// A polygon: a closed outline through its corners, in the colour and line
// style, written as moveto and lineto so that a fill inside stops at it.
#pragma once

#include <algorithm>
#include <cstddef>
#include <vector>

#include "canvas/surface.h"
#include "kinds/shape_geometry.h"
#include "kinds/statement.h"
#include "model/picture.h"

namespace pasdraw {

struct PolygonKind {
    using Record = PolygonRecord;

    // Recovery writes the fields in declaration order, the corners as many
    // as Count says.
    template <class R, class F>
    static void fields(R& r, F&& f) {
        f(r.Count);
        for (int i = 0; i < MaxPolygonCorners; ++i) f(r.X[static_cast<std::size_t>(i)]);
        for (int i = 0; i < MaxPolygonCorners; ++i) f(r.Y[static_cast<std::size_t>(i)]);
        f(r.ColorIndex), f(r.ColorRGB), f(r.LineStyle), f(r.LineWidth);
    }

    static int corners(const PolygonRecord& r) { return std::clamp<int>(r.Count, 0, MaxPolygonCorners); }

    // Edge by edge as the statement's lineto calls draw them, the last back
    // to the first corner.
    static void paint(Surface& surface, const PolygonRecord& r) {
        const int n = corners(r);
        int xs[MaxPolygonCorners], ys[MaxPolygonCorners];
        for (int i = 0; i < n; ++i) {
            xs[i] = toScreen(r.X[static_cast<std::size_t>(i)]);
            ys[i] = toScreen(r.Y[static_cast<std::size_t>(i)]);
        }
        surface.GraphPolygon(xs, ys, n, r.ColorRGB, r.LineStyle, r.LineWidth);
    }

    static void write(LineBuffer& out, const CoordinateStyle& style, const PolygonRecord& r) {
        lineStyleBefore(out, r.LineStyle, r.LineWidth);
        outlineColour(out, r.ColorIndex);
        const int n = corners(r);
        for (int i = 0; i <= n && n > 0; ++i) {
            const auto k = static_cast<std::size_t>(i % n);
            out.text(pascalName(i == 0 ? GraphRoutine::MoveTo : GraphRoutine::LineTo));
            out.text("(");
            writePoint(out, style, toScreen(r.X[k]), toScreen(r.Y[k]));
            out.text(");");
        }
        lineStyleAfter(out, r.LineStyle, r.LineWidth);
    }
    template <class Take>
    static void originPoints(const PolygonRecord& r, Take&& take) {
        for (int i = 0; i < corners(r); ++i)
            take(r.X[static_cast<std::size_t>(i)], r.Y[static_cast<std::size_t>(i)]);
    }

    // Near along its edges.
    static double distance(const PolygonRecord& r, double x, double y, double) {
        double best = 1e300;
        const int n = corners(r);
        for (int i = 0; i < n; ++i) {
            const auto a = static_cast<std::size_t>(i), b = static_cast<std::size_t>((i + 1) % n);
            best = std::min(best, segmentDistance(x, y, r.X[a], r.Y[a], r.X[b], r.Y[b]));
        }
        return best;
    }
    // Each corner.
    static std::vector<HandlePoint> handles(const PolygonRecord& r) {
        std::vector<HandlePoint> points;
        for (int i = 0; i < corners(r); ++i)
            points.push_back({r.X[static_cast<std::size_t>(i)], r.Y[static_cast<std::size_t>(i)]});
        return points;
    }
    static void move(PolygonRecord& r, int dx, int dy) {
        for (int i = 0; i < corners(r); ++i) {
            shift(r.X[static_cast<std::size_t>(i)], dx);
            shift(r.Y[static_cast<std::size_t>(i)], dy);
        }
    }
    static void moveHandle(PolygonRecord& r, int h, int dx, int dy) {
        if (h < 0 || h >= corners(r)) return;
        shift(r.X[static_cast<std::size_t>(h)], dx);
        shift(r.Y[static_cast<std::size_t>(h)], dy);
    }

    // The mouse tool's drag: a rubber band from the press point. A release
    // makes a record of the corners so far.
    static bool preview(Surface& s, float sx, float sy, float x, float y, int32_t colour) {
        s.Line(sx, sy, x, y, colour);
        return true;
    }
    static constexpr bool refreshAfterPreview = false;
    // The tool's gesture: the editor collects a corner per click.
    static constexpr bool clicksCorners = true;
    static PolygonRecord released(const EditorState& s, float x, float y) {
        PolygonRecord r{};
        r.Count = 3;
        r.X[0] = toStored(s.StartX);
        r.Y[0] = toStored(s.StartY);
        r.X[1] = toStored(x);
        r.Y[1] = toStored(y);
        r.X[2] = toStored(s.StartX);
        r.Y[2] = toStored(y);
        return r;
    }
};

}  // namespace pasdraw
