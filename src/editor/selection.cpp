#include "editor/selection.h"

#include <algorithm>
#include <cmath>
#include <numbers>

#include "canvas/arc_angles.h"
#include "model/numeric.h"

namespace pasdraw {

namespace {

int16_t saturated(int v) { return static_cast<int16_t>(std::clamp(v, -32768, 32767)); }

double segmentDistance(double px, double py, double x1, double y1, double x2, double y2) {
    const double dx = x2 - x1, dy = y2 - y1;
    const double length2 = dx * dx + dy * dy;
    double t = length2 > 0.0 ? ((px - x1) * dx + (py - y1) * dy) / length2 : 0.0;
    t = std::clamp(t, 0.0, 1.0);
    return std::hypot(px - (x1 + t * dx), py - (y1 + t * dy));
}

double boxDistance(double px, double py, double x1, double y1, double x2, double y2) {
    return std::min({segmentDistance(px, py, x1, y1, x2, y1), segmentDistance(px, py, x2, y1, x2, y2),
                     segmentDistance(px, py, x2, y2, x1, y2), segmentDistance(px, py, x1, y2, x1, y1)});
}

// How far a point is from what a record draws, in twips.
struct Distance {
    double x, y, tolerance;

    double operator()(const LineRecord& r) const { return segmentDistance(x, y, r.X1, r.Y1, r.X2, r.Y2); }
    double operator()(const RectangleRecord& r) const { return boxDistance(x, y, r.X1, r.Y1, r.X2, r.Y2); }
    double operator()(const CircleRecord& r) const {
        return std::abs(std::hypot(x - r.X, y - r.Y) - std::abs(static_cast<double>(r.Radius)));
    }
    double operator()(const FillRecord& r) const { return std::hypot(x - r.X, y - r.Y); }

    // The ellipse inscribed in the box of the two corners, or the part of it
    // that the angles select.
    double operator()(const EllipseRecord& r) const {
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
};

template <class Record>
ShapeRecord get(const ShapeList<Record>& list, int i) {
    return list[i];
}

}  // namespace

std::vector<ShapeRef> shapesAt(const Picture& picture, float x, float y, float tolerance) {
    std::vector<ShapeRef> hits;
    const Distance distance{x, y, tolerance};
    // The kinds painted last come first.
    for (auto k = Kinds.rbegin(); k != Kinds.rend(); ++k) {
        picture.withList(k->kind, [&](const auto& list) {
            for (int i = list.count() - 1; i >= 0; --i) {
                if (distance(list[i]) <= tolerance) hits.push_back({k->kind, i});
            }
        });
    }
    return hits;
}

ShapeRecord recordOf(const Picture& picture, ShapeRef ref) {
    return picture.withList(ref.kind, [&](const auto& list) { return get(list, ref.index); });
}

bool storeRecord(Picture& picture, ShapeRef ref, const ShapeRecord& record) {
    return picture.withList(ref.kind, [&](auto& list) {
        using Record = typename std::decay_t<decltype(list)>::value_type;
        const Record* r = std::get_if<Record>(&record);
        return r != nullptr && list.replace(ref.index, *r);
    });
}

namespace {

struct Handles {
    std::vector<HandlePoint> operator()(const LineRecord& r) const { return {{r.X1, r.Y1}, {r.X2, r.Y2}}; }
    template <class Boxed>
    std::vector<HandlePoint> operator()(const Boxed& r) const {
        return {{r.X1, r.Y1}, {r.X2, r.Y1}, {r.X2, r.Y2}, {r.X1, r.Y2}};
    }
    std::vector<HandlePoint> operator()(const CircleRecord& r) const {
        return {{r.X + std::abs(static_cast<int>(r.Radius)), r.Y}};
    }
    std::vector<HandlePoint> operator()(const FillRecord& r) const { return {{r.X, r.Y}}; }
};

void shift(int16_t& v, int d) { v = saturated(v + d); }

struct Move {
    int dx, dy;
    template <class TwoPoint>
    void operator()(TwoPoint& r) const {
        shift(r.X1, dx);
        shift(r.X2, dx);
        shift(r.Y1, dy);
        shift(r.Y2, dy);
    }
    void operator()(CircleRecord& r) const {
        shift(r.X, dx);
        shift(r.Y, dy);
    }
    void operator()(FillRecord& r) const {
        shift(r.X, dx);
        shift(r.Y, dy);
    }
};

struct MoveHandle {
    int h, dx, dy;
    void operator()(LineRecord& r) const {
        shift(h == 0 ? r.X1 : r.X2, dx);
        shift(h == 0 ? r.Y1 : r.Y2, dy);
    }
    // Corner h of the box: 0 (X1, Y1), 1 (X2, Y1), 2 (X2, Y2), 3 (X1, Y2).
    template <class Boxed>
    void operator()(Boxed& r) const {
        shift(h == 0 || h == 3 ? r.X1 : r.X2, dx);
        shift(h <= 1 ? r.Y1 : r.Y2, dy);
    }
    void operator()(CircleRecord& r) const {
        const double rimX = r.X + std::abs(static_cast<double>(r.Radius)) + dx, rimY = r.Y + dy;
        r.Radius = roundSaturate<int16_t>(std::hypot(rimX - r.X, rimY - r.Y));
    }
    void operator()(FillRecord& r) const { Move{dx, dy}(r); }
};

}  // namespace

std::vector<HandlePoint> handlesOf(const ShapeRecord& record) { return std::visit(Handles{}, record); }

ShapeRecord movedBy(const ShapeRecord& record, int dx, int dy) {
    ShapeRecord moved = record;
    std::visit(Move{dx, dy}, moved);
    return moved;
}

ShapeRecord handleMovedBy(const ShapeRecord& record, int h, int dx, int dy) {
    ShapeRecord moved = record;
    std::visit(MoveHandle{h, dx, dy}, moved);
    return moved;
}

ShapeRecord recoloured(const ShapeRecord& record, int16_t index, int32_t rgb, bool border) {
    ShapeRecord out = record;
    std::visit(
        [&](auto& r) {
            if constexpr (std::is_same_v<std::decay_t<decltype(r)>, FillRecord>) {
                if (border) {
                    r.BorderIndex = index;
                    r.BorderRGB = rgb;
                    return;
                }
            }
            r.ColorIndex = index;
            r.ColorRGB = rgb;
        },
        out);
    return out;
}

}  // namespace pasdraw
