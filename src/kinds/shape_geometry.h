// What the kinds share of their geometry: distances for picking, 16-bit
// coordinates that saturate when moved, the handle points, screen values
// read back as twips, and the record of a two-corner drag.
#pragma once

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <limits>
#include <vector>

#include "model/numeric.h"
#include "model/picture.h"

namespace pasdraw {

// A point of a record that can be dragged, in twips.
struct HandlePoint {
    int x = 0;
    int y = 0;
};

inline int16_t saturated(int v) { return static_cast<int16_t>(std::clamp(v, -32768, 32767)); }
inline void shift(int16_t& v, int d) { v = saturated(v + d); }

inline double segmentDistance(double px, double py, double x1, double y1, double x2, double y2) {
    const double dx = x2 - x1, dy = y2 - y1;
    const double length2 = dx * dx + dy * dy;
    double t = length2 > 0.0 ? ((px - x1) * dx + (py - y1) * dy) / length2 : 0.0;
    t = std::clamp(t, 0.0, 1.0);
    return std::hypot(px - (x1 + t * dx), py - (y1 + t * dy));
}

inline double boxDistance(double px, double py, double x1, double y1, double x2, double y2) {
    return std::min({segmentDistance(px, py, x1, y1, x2, y1), segmentDistance(px, py, x2, y1, x2, y2),
                     segmentDistance(px, py, x2, y2, x1, y2), segmentDistance(px, py, x1, y2, x1, y1)});
}

// A screen value from program text as twips (times 10) in a 16-bit field;
// the import checks the range first.
inline int16_t screenToTwips(int64_t screen) { return static_cast<int16_t>(screen * 10); }
inline constexpr int64_t MinScreen = std::numeric_limits<int16_t>::min() / 10;
inline constexpr int64_t MaxScreen = std::numeric_limits<int16_t>::max() / 10;

// The kinds drawn by dragging from one corner to the other keep both points
// as dragged, unsorted: (X1, Y1) the press, (X2, Y2) the release.
namespace two_corner {

template <class Record>
Record dragged(const EditorState& s, float x, float y) {
    Record r{};
    r.X1 = toStored(s.StartX);
    r.X2 = toStored(x);
    r.Y1 = toStored(s.StartY);
    r.Y2 = toStored(y);
    return r;
}

template <class Record>
Record imported(int64_t x1, int64_t y1, int64_t x2, int64_t y2) {
    Record r{};
    r.X1 = screenToTwips(x1);
    r.X2 = screenToTwips(x2);
    r.Y1 = screenToTwips(y1);
    r.Y2 = screenToTwips(y2);
    return r;
}

template <class Record>
void move(Record& r, int dx, int dy) {
    shift(r.X1, dx);
    shift(r.X2, dx);
    shift(r.Y1, dy);
    shift(r.Y2, dy);
}

// A box's four corners, the press corner first, then round the box:
// 0 (X1, Y1), 1 (X2, Y1), 2 (X2, Y2), 3 (X1, Y2).
template <class Record>
std::vector<HandlePoint> boxHandles(const Record& r) {
    return {{r.X1, r.Y1}, {r.X2, r.Y1}, {r.X2, r.Y2}, {r.X1, r.Y2}};
}
template <class Record>
void moveBoxCorner(Record& r, int h, int dx, int dy) {
    shift(h == 0 || h == 3 ? r.X1 : r.X2, dx);
    shift(h <= 1 ? r.Y1 : r.Y2, dy);
}

}  // namespace two_corner

}  // namespace pasdraw
