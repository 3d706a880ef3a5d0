// Which part of an ellipse a pair of angles selects, read the way the graph
// unit reads the angles of its ellipse routine, so that the canvas shows the
// arc the program draws.
#pragma once

#include <algorithm>
#include <cstdint>

namespace pasdraw {

class ArcAngles {
public:
    // Angles in degrees counter-clockwise from 3 o'clock, as a program passes
    // them (words). The unit takes each modulo 361, so 361 means 0 and 360
    // stays a full turn.
    ArcAngles(uint16_t startAngle, uint16_t endAngle)
        : start_(static_cast<double>(startAngle % 361)), end_(static_cast<double>(endAngle % 361)) {}

    // Whether any parameter angle from lo to hi (lo <= hi, degrees of any
    // turn) lies on the arc. Angle t stands for the point (a cos t, -b sin t)
    // of an ellipse with half axes a and b on a screen whose y grows
    // downwards, not for the point seen at t from the centre. The point at 3
    // o'clock is both 0 and 360, and either end may take it.
    bool meets(double lo, double hi) const {
        for (const double turn : {-360.0, 0.0, 360.0}) {
            const double from = std::max(lo + turn, 0.0), to = std::min(hi + turn, 360.0);
            if (from <= to && overlaps(from, to)) return true;
        }
        return false;
    }

    // Every point of the ellipse: only 0 to 360 reaches all the way round.
    bool whole() const { return start_ == 0.0 && end_ == 360.0; }

private:
    // For 0 <= from <= to <= 360. A start after the end wraps through 0 and
    // then leaves out both end angles themselves, as the unit does.
    bool overlaps(double from, double to) const {
        if (start_ > end_) return to > start_ || from < end_;
        return from <= end_ && to >= start_;
    }

    double start_;
    double end_;
};

}  // namespace pasdraw
