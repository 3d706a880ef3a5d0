// An ellipse: the one inscribed in the box of two corners as dragged, or the
// part of it between two angles when it came from program text.
#pragma once

#include <cmath>
#include <cstdlib>
#include <numbers>
#include <vector>

#include "canvas/arc_angles.h"
#include "canvas/surface.h"
#include "kinds/shape_geometry.h"
#include "kinds/statement.h"
#include "model/picture.h"

namespace pasdraw {

struct EllipseKind {
    using Record = EllipseRecord;

    // Recovery writes the fields in declaration order; the style fields,
    // which came last, are the ones a version-1 recovery file lacks.
    template <class R, class F>
    static void fields(R& r, F&& f) {
        f(r.X1), f(r.X2), f(r.Y1), f(r.Y2), f(r.ColorIndex), f(r.ColorRGB), f(r.StartAngle), f(r.EndAngle),
            f(r.LineWidth);
    }

    static void paint(Surface& surface, const EllipseRecord& e) {
        if (e.LineWidth != NormalWidth) {
            // A thick one as the unit draws the statement: centred as write() centres it.
            const int x1 = toScreen(e.X1), y1 = toScreen(e.Y1);
            const int hx = (toScreen(e.X2) - x1) / 2, hy = (toScreen(e.Y2) - y1) / 2;
            surface.GraphEllipse(x1 + hx, y1 + hy, static_cast<uint16_t>(e.StartAngle),
                                 static_cast<uint16_t>(e.EndAngle), std::abs(hx), std::abs(hy), e.ColorRGB,
                                 e.LineWidth);
            return;
        }
        surface.setForeColor(e.ColorRGB);
        // Release corner first, press corner second, as the drag made them.
        const int32_t left = pxX(surface, e.X2), top = pxY(surface, e.Y2);
        const int32_t right = pxX(surface, e.X1), bottom = pxY(surface, e.Y1);
        // An ellipse read back from program text may be only part of one; the
        // canvas shows the part the program draws. Its angles are words there.
        const auto start = static_cast<uint16_t>(e.StartAngle), end = static_cast<uint16_t>(e.EndAngle);
        if (ArcAngles(start, end).whole())
            surface.Ellipse(left, top, right, bottom);
        else
            surface.EllipseArc(left, top, right, bottom, start, end);
    }

    static void write(LineBuffer& out, const CoordinateStyle& style, const EllipseRecord& r) {
        // The press corner is the base and the half difference truncates toward
        // zero, so an odd width puts the centre half a pixel toward the press point.
        const int x1 = toScreen(r.X1);
        const int y1 = toScreen(r.Y1);
        const int hx = (toScreen(r.X2) - x1) / 2;
        const int hy = (toScreen(r.Y2) - y1) / 2;
        lineStyleBefore(out, SolidLine, r.LineWidth);
        outlineColour(out, r.ColorIndex);
        out.text(pascalName(GraphRoutine::Ellipse));
        out.text("(");
        writePoint(out, style, x1 + hx, y1 + hy);
        out.text(",");
        out.number(r.StartAngle);
        out.text(",");
        out.number(r.EndAngle);
        out.text(",");
        out.number(std::abs(hx));
        out.text(",");
        out.number(std::abs(hy));
        out.text(");");
        lineStyleAfter(out, SolidLine, r.LineWidth);
    }
    // Only the press corner takes part in the origin, so the origin may lie
    // to the right of or below an ellipse dragged up or to the left.
    template <class Take>
    static void originPoints(const EllipseRecord& r, Take&& take) {
        take(r.X1, r.Y1);
    }

    // Near along the part of its outline that is drawn.
    static double distance(const EllipseRecord& r, double x, double y, double tolerance) {
        const double cx = (r.X1 + r.X2) / 2.0, cy = (r.Y1 + r.Y2) / 2.0;
        const double a = std::abs(r.X2 - r.X1) / 2.0, b = std::abs(r.Y2 - r.Y1) / 2.0;
        // Too flat to have an inside: it is drawn as a stroke along its box.
        if (a < 1.0 || b < 1.0) return boxDistance(x, y, r.X1, r.Y1, r.X2, r.Y2);
        const double u = (x - cx) / a, v = (y - cy) / b;
        const double rho = std::hypot(u, v);
        if (rho == 0.0) return std::min(a, b);
        // Two estimates of the distance to the outline, each good where the
        // other is rough: to the outline point on the same ray through the
        // centre (exact for a circle), and the first-order one |F| / |grad F|.
        const double radial = std::hypot(x - (cx + a * u / rho), y - (cy + b * v / rho));
        const double gradient = std::abs(rho * rho - 1.0) / (2.0 * std::hypot(u / a, v / b));
        const double distance = std::min(radial, gradient);
        const ArcAngles arc(static_cast<uint16_t>(r.StartAngle), static_cast<uint16_t>(r.EndAngle));
        if (arc.whole()) return distance;
        // The angle parameter of the point, as the arc reads it (y grows downwards).
        double t = std::atan2(-v, u) * 180.0 / std::numbers::pi;
        if (t < 0.0) t += 360.0;
        const double slack = tolerance / std::min(a, b) * 180.0 / std::numbers::pi;
        return arc.meets(t - slack, t + slack) ? distance : tolerance + 1.0;
    }
    // The four corners of its box.
    static std::vector<HandlePoint> handles(const EllipseRecord& r) { return two_corner::boxHandles(r); }
    static void move(EllipseRecord& r, int dx, int dy) { two_corner::move(r, dx, dy); }
    static void moveHandle(EllipseRecord& r, int h, int dx, int dy) {
        two_corner::moveBoxCorner(r, h, dx, dy);
    }

    // The mouse tool: the rubber band goes through the device context,
    // pointer corner first, press corner second, and shows at a Refresh.
    static bool preview(Surface& s, float sx, float sy, float x, float y, int32_t colour) {
        s.setForeColor(colour);
        s.Ellipse(pxX(s, x), pxY(s, y), pxX(s, sx), pxY(s, sy));
        return true;
    }
    static constexpr bool refreshAfterPreview = true;
    static EllipseRecord released(const EditorState& s, float x, float y) {
        return asCommitted(two_corner::dragged<EllipseRecord>(s, x, y));
    }

    // ellipse(x, y, stAngle, endAngle, xRadius, yRadius): the record keeps the
    // corners of its box.
    static EllipseRecord imported(int64_t x, int64_t y, uint16_t stAngle, uint16_t endAngle, int64_t xRadius,
                                  int64_t yRadius) {
        EllipseRecord r =
            two_corner::imported<EllipseRecord>(x - xRadius, y - yRadius, x + xRadius, y + yRadius);
        r.StartAngle = static_cast<int16_t>(stAngle);
        r.EndAngle = static_cast<int16_t>(endAngle);
        return r;
    }
};

}  // namespace pasdraw
