// Conversions shared by the editor and the canvas: float twips to stored 16-bit
// values and to device pixels. Both round to nearest with halves to even and
// saturate instead of wrapping.
#pragma once

#include <cmath>
#include <cstdint>
#include <limits>

namespace pasdraw {

// Rounds to nearest, halves to even, then clamps to [lo, hi]. NaN gives 0.
template <class Int>
Int roundSaturate(double value) {
    if (std::isnan(value)) return 0;
    constexpr double lo = static_cast<double>(std::numeric_limits<Int>::min());
    constexpr double hi = static_cast<double>(std::numeric_limits<Int>::max());
    if (value <= lo) return std::numeric_limits<Int>::min();
    if (value >= hi) return std::numeric_limits<Int>::max();
    // std::nearbyint honours the current rounding mode, which is to-nearest-even
    // unless someone changed it; nothing in this program does.
    return static_cast<Int>(std::nearbyint(value));
}

// A mouse coordinate or radius as stored in a record.
inline int16_t toStored(float v) { return roundSaturate<int16_t>(static_cast<double>(v)); }
inline int16_t toStored(double v) { return roundSaturate<int16_t>(v); }

// Twips to a device pixel: the quotient is taken in single precision, then
// rounded halves-to-even to a 32-bit integer.
inline int32_t twipsToPixel(float twips, float twipsPerPixel) {
    const float q = twips / twipsPerPixel;
    return roundSaturate<int32_t>(static_cast<double>(q));
}

}  // namespace pasdraw
