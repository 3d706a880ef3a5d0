// Curves: the graph unit's ellipse sampling, which Circle, Arc and Ellipse
// draw and the filled slices fill, thin and thick.
#pragma once

#include <cmath>
#include <vector>

#include "bgi/screen_state.h"

namespace pasdraw {

// A point an ellipse plotted, with the angle it stands for (past 360 where a
// range wraps, so that sorting puts them in drawing order).
struct ArcPoint {
    float angle;
    int x, y;
};

// The unit turns a sample's angle into radians in extended precision and
// keeps the result as a single-precision number, whose cosine and sine it
// takes in extended precision. Those last digits decide many roundings. The
// product is formed in double here, which rounds to the same float unless it
// lies within 2^-53 of halfway between two floats (about once in 10^9).
inline float radians(float degrees) {
    constexpr double DegToRad = 3.14159265358979323846 / 180.0;
    return static_cast<float>(static_cast<double>(degrees) * DegToRad);
}

// radius * cos (or sin, with useSine) of t, rounded half to even, computed in
// extended precision like the graph unit. Inline, so that a caller taking
// both of one angle (a slice's end points) gets one sincos, not a sin and a
// cos with an argument reduction each.
inline int exactRound(long double radius, float t, bool useSine) {
    const long double v =
        radius * (useSine ? std::sin(static_cast<long double>(t)) : std::cos(static_cast<long double>(t)));
    return static_cast<int>(std::lrintl(v));
}

// An ellipse or arc from stAngle to endAngle (degrees counted modulo 361, a
// start after the end wrapping through 0), thin, centred at (cx, cy)
// relative to the viewport; a radius of 0 counts as 1. With points, the
// points it plotted are added there too.
void drawEllipse(ScreenState& s, int cx, int cy, unsigned stAngle, unsigned endAngle, unsigned xRadius,
                 unsigned yRadius, std::vector<ArcPoint>* points = nullptr);

// Circle, Arc and Ellipse in the current thickness. Inline: it only picks
// the ellipses to draw, which is less work than a call of its own.
inline void drawCurve(ScreenState& s, int cx, int cy, unsigned stAngle, unsigned endAngle, unsigned xRadius,
                      unsigned yRadius) {
    if (!s.thick) {
        drawEllipse(s, cx, cy, stAngle, endAngle, xRadius, yRadius);
        return;
    }
    // A thick curve is three thin ones, each sampled on its own: the radii
    // one less (left out when either is 0), as given, and one more in 16
    // bits (so 65535 becomes 0, drawn as 1). The line style plays no part.
    // The unit draws them in thin lines, and when a radius is 0 it leaves
    // the lines thin afterwards, until the next SetLineStyle.
    if (xRadius > 0 && yRadius > 0) drawEllipse(s, cx, cy, stAngle, endAngle, xRadius - 1, yRadius - 1);
    drawEllipse(s, cx, cy, stAngle, endAngle, xRadius, yRadius);
    drawEllipse(s, cx, cy, stAngle, endAngle, (xRadius + 1) & 0xFFFF, (yRadius + 1) & 0xFFFF);
    if (xRadius == 0 || yRadius == 0) s.thick = false;
}

}  // namespace pasdraw
