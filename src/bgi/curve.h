// Curves: the graph unit's ellipse sampling, which Circle, Arc and Ellipse
// draw and the filled slices fill, thin and thick.
#pragma once

#include <vector>

#include "bgi/screen_state.h"

namespace pasdraw {

// A point an ellipse plotted, with the angle it stands for (past 360 where a
// range wraps, so that sorting puts them in drawing order).
struct ArcPoint {
    float angle;
    int x, y;
};

// The single-precision angle in radians the unit computes from degrees.
float radians(float degrees);

// radius * cos (or sin, with useSine) of t, rounded half to even, computed in
// extended precision like the graph unit.
int exactRound(long double radius, float t, bool useSine);

// An ellipse or arc from stAngle to endAngle (degrees counted modulo 361, a
// start after the end wrapping through 0), thin, centred at (cx, cy)
// relative to the viewport; a radius of 0 counts as 1. With points, the
// points it plotted are added there too.
void drawEllipse(ScreenState& s, int cx, int cy, unsigned stAngle, unsigned endAngle, unsigned xRadius,
                 unsigned yRadius, std::vector<ArcPoint>* points = nullptr);

// Circle, Arc and Ellipse in the current thickness.
void drawCurve(ScreenState& s, int cx, int cy, unsigned stAngle, unsigned endAngle, unsigned xRadius,
               unsigned yRadius);

}  // namespace pasdraw
