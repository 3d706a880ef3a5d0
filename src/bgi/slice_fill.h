// The filled slices and ellipses: PieSlice, Sector and FillEllipse, filled
// as a polygon through the arc's points with the unit's rules for which
// pixels of the rows along the arc it fills.
#pragma once

#include <array>
#include <cstdint>
#include <vector>

#include "bgi/curve.h"
#include "bgi/screen_state.h"

namespace pasdraw {

// A slice's points and where its edges cross each row, kept between slices
// to save their allocation.
struct SliceScratch {
    std::vector<ArcPoint> arcPoints;
    std::array<std::vector<int64_t>, ScreenHeight> crossings;
    // For each edge of a slice's arc, its upper end's row and the run of arc
    // points along that row (screen x, both ends included).
    struct EdgeRun {
        int y, lo, hi;
    };
    std::vector<EdgeRun> edgeRuns;
};

// A slice (pie) or a whole filled ellipse (not pie, angles 0 and 360) in the
// current thickness, centred at (cx, cy) relative to the viewport.
void drawFilledCurve(ScreenState& s, SliceScratch& scratch, int cx, int cy, unsigned stAngle,
                     unsigned endAngle, unsigned xRadius, unsigned yRadius, bool pie);

}  // namespace pasdraw
