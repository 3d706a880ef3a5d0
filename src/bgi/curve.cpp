#include "bgi/curve.h"

#include <cmath>
#include <cstdint>

namespace pasdraw {
namespace {

// Where an ellipse's sampling of its first quadrant stops, in degrees
// (measured between 90.95 and 91.2). Whether a sum landing on 91 exactly is
// sampled could not be told apart; it is.
constexpr float LastSampleAngle = 91.0f;

// Rounds radius * trig, where trig is accurate to about 1e-13 and the
// product lies in -600 .. 65535; falls back to the extended computation when
// the product is within 1e-7 of a half, where that error could flip it.
int roundSample(double radius, double trig, float t, bool useSine) {
    const double v = radius * trig;
    const int whole = static_cast<int>(v);  // truncates toward zero
    const double frac = v - whole;
    if (std::fabs(std::fabs(frac) - 0.5) < 1e-7) return exactRound(radius, t, useSine);
    return static_cast<int>(v + (v < 0 ? -0.5 : 0.5));
}

// cos and sin of a small step by their series; exact to double precision
// for |d| < 0.05.
void smallRotation(double d, double& c, double& s) {
    const double d2 = d * d;
    c = 1 + d2 * (-1.0 / 2 + d2 * (1.0 / 24 + d2 * (-1.0 / 720 + d2 * (1.0 / 40320))));
    s = d * (1 + d2 * (-1.0 / 6 + d2 * (1.0 / 120 + d2 * (-1.0 / 5040))));
}

}  // namespace

void drawEllipse(ScreenState& s, int cx, int cy, unsigned stAngle, unsigned endAngle, unsigned xRadius,
                 unsigned yRadius, std::vector<ArcPoint>* points) {
    const uint8_t c = s.drawColour();
    const unsigned a = xRadius == 0 ? 1 : xRadius, b = yRadius == 0 ? 1 : yRadius;
    ++s.work;
    if (a == 1 && b == 1) {
        s.plot(cx, cy, c);
        if (points != nullptr) points->push_back({0.0f, cx, cy});
        return;
    }
    // Angles count modulo 361. A start after the end wraps through 0 and then
    // excludes both end angles themselves.
    // The sample's angle in each quadrant is a single-precision number too.
    const float st = static_cast<float>(stAngle % 361), en = static_cast<float>(endAngle % 361);
    const bool wraps = st > en;
    const bool full = st == 0 && en == 360;
    auto inRange = [&](float phi) { return wraps ? (phi > st || phi < en) : (phi >= st && phi <= en); };

    // Samples `delta` degrees apart, the angle summed in single precision,
    // up to 91 degrees, not 90. A sample at 90 + d lands where one at 90 - d
    // would, between the quadrant's own samples, and with radii in the
    // thousands those extra points light pixels near the top and bottom that
    // the quadrant alone misses; the summed angle can also stop short of 90
    // by a hundredth of a degree. The unit sums the squared radii in 32-bit
    // signed arithmetic: past 2^31 the sum turns negative and only the first
    // sample is drawn.
    const uint64_t sum = uint64_t{a} * a + uint64_t{b} * b;
    const auto wrapped = static_cast<int32_t>(static_cast<uint32_t>(sum));
    const long steps =
        wrapped < 0 ? 0 : std::lrintl(std::sqrt(3.0L) * std::sqrt(static_cast<long double>(wrapped)));
    const float delta = steps > 0 ? static_cast<float>(90.0L / static_cast<long double>(steps)) : 0.0f;
    s.work += 4 * static_cast<uint64_t>(steps + 1);
    const double da = a, db = b;
    float j = 0.0f;
    // cos and sin of the current angle, carried forward by rotation and
    // recomputed every 32 samples so their error stays near 1e-14.
    double cj = 1.0, sj = 0.0;  // cos and sin of t, carried from sample to sample
    float t = 0.0f;
    for (long k = 0;; ++k) {
        const int x = roundSample(da, cj, t, false), y = roundSample(db, sj, t, true);
        const float phi = j;
        // The points are passed on as 16-bit coordinates, so a huge radius
        // wraps around onto the screen.
        const int xr = static_cast<int16_t>(cx + x), xl = static_cast<int16_t>(cx - x);
        const int yt = static_cast<int16_t>(cy - y), yb = static_cast<int16_t>(cy + y);
        if (full) {
            s.plot(xr, yt, c);
            s.plot(xl, yt, c);
            s.plot(xl, yb, c);
            s.plot(xr, yb, c);
        } else {
            if (inRange(phi)) s.plot(xr, yt, c);
            if (inRange(180.0f - phi)) s.plot(xl, yt, c);
            if (inRange(180.0f + phi)) s.plot(xl, yb, c);
            if (inRange(360.0f - phi)) s.plot(xr, yb, c);
        }
        if (points != nullptr) {
            const ArcPoint four[4] = {
                {phi, xr, yt}, {180.0f - phi, xl, yt}, {180.0f + phi, xl, yb}, {360.0f - phi, xr, yb}};
            for (const ArcPoint& p : four)
                if (full || inRange(p.angle))
                    points->push_back({wraps && p.angle <= en ? p.angle + 360.0f : p.angle, p.x, p.y});
        }

        if (steps == 0) break;
        j += delta;
        if (j > LastSampleAngle) break;
        const float next = radians(j);
        const double step = static_cast<double>(next) - static_cast<double>(t);
        if ((k & 31) == 31 || std::fabs(step) >= 0.05) {
            // every 32 samples afresh, so the rotations' error stays near 1e-14
            cj = std::cos(static_cast<double>(next));
            sj = std::sin(static_cast<double>(next));
        } else {
            double cStep, sStep;
            smallRotation(step, cStep, sStep);
            const double c2 = cj * cStep - sj * sStep;
            sj = sj * cStep + cj * sStep;
            cj = c2;
        }
        t = next;
    }
}

}  // namespace pasdraw
