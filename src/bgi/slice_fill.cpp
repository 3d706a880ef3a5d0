#include "bgi/slice_fill.h"

#include <algorithm>
#include <cstddef>

#include "bgi/line.h"

namespace pasdraw {
namespace {

// Fills the polygon through scratch.arcPoints; a slice's (fromCentre) ends
// with its start point, end point and centre.
void fillPolygon(ScreenState& s, SliceScratch& scratch, bool fromCentre) {
    const std::vector<ArcPoint>& polygon = scratch.arcPoints;
    const std::size_t n = polygon.size();
    s.work += n;
    // Filled on the screen, within the clipping box; the points are relative
    // to the viewport.
    const Box box = screenClipBox(s);
    const int top = std::max(static_cast<int>(box.top), 0), left = static_cast<int>(box.left);
    const int bottom = std::min(top + static_cast<int>(s.clipHeight) - 1, ScreenHeight - 1),
              rightEdge = static_cast<int>(box.right);
    const auto onScreen = [&](ArcPoint p) {
        return ArcPoint{p.angle, p.x + s.viewport.x1, p.y + s.viewport.y1};
    };
    // A crossing is kept as its x times 2^24 plus the number of the edge it
    // lies on (fewer than 2^24 of them), so that sorting puts crossings at
    // one x in the order of their edges, and a slice can tell its straight
    // sides (the last two edges) from its arc.
    constexpr int EdgeBits = 24;
    constexpr int64_t EdgeMask = (int64_t{1} << EdgeBits) - 1;
    if (fromCentre) scratch.edgeRuns.resize(n);
    // The rows that get crossings; every row's list is left empty again.
    int firstRow = ScreenHeight, lastRow = -1;
    for (std::size_t i = 0; i < n; ++i) {
        ArcPoint p = onScreen(polygon[i]);
        ArcPoint q = onScreen(polygon[(i + 1) % n]);
        // Each edge's x is measured from the vertex it starts at, truncated
        // towards it; both straight sides of a slice start at the centre,
        // which is the last vertex.
        if (fromCentre && i + 2 == n) std::swap(p, q);
        if (p.y == q.y) continue;
        if (fromCentre && i + 2 < n) {
            // In its upper end's row an arc edge stands for the run of arc
            // points along that row, the fill keeping clear of all of them.
            const std::size_t upper = p.y < q.y ? i : (i + 1) % n;
            SliceScratch::EdgeRun run{std::min(p.y, q.y), polygon[upper].x, polygon[upper].x};
            const auto along = [&](std::size_t from, int step) {
                for (auto k = static_cast<std::ptrdiff_t>(from) + step;
                     k >= 0 && static_cast<std::size_t>(k) + 2 < n &&
                     polygon[static_cast<std::size_t>(k)].y == polygon[upper].y;
                     k += step) {
                    run.lo = std::min(run.lo, polygon[static_cast<std::size_t>(k)].x);
                    run.hi = std::max(run.hi, polygon[static_cast<std::size_t>(k)].x);
                }
            };
            along(upper, upper == i ? -1 : 1);
            run.lo += s.viewport.x1;
            run.hi += s.viewport.x1;
            scratch.edgeRuns[i] = run;
        }
        // Each edge takes the rows from its upper end to just above its lower one.
        const int y0 = std::max(std::min(p.y, q.y), top), y1 = std::min(std::max(p.y, q.y) - 1, bottom);
        if (y0 <= y1) {
            firstRow = std::min(firstRow, y0);
            lastRow = std::max(lastRow, y1);
        }
        for (int y = y0; y <= y1; ++y) {
            const int64_t x = p.x + int64_t{y - p.y} * (q.x - p.x) / (q.y - p.y);
            scratch.crossings[static_cast<std::size_t>(y)].push_back(x * (EdgeMask + 1) +
                                                                     static_cast<int64_t>(i));
        }
    }
    // A slice fills between its straight sides up to and including the
    // pixel of their crossing, but next to its arc only the pixels strictly
    // inside the arc's points in that row, and nothing where that leaves one
    // pixel or none. In the start point's row, when the arc goes
    // on past the start in the direction the side came in, the span between
    // the start and the far side is left out too.
    const auto edgeOf = [&](int64_t c) { return static_cast<std::size_t>(c & EdgeMask); };
    const auto isSide = [&](std::size_t e) { return e + 2 >= n; };
    const ArcPoint start = onScreen(polygon.front()), centre = onScreen(polygon.back());
    const ArcPoint end = onScreen(polygon[n >= 2 ? n - 2 : 0]);
    const int afterStartY = n >= 4 ? onScreen(polygon[1]).y : start.y;
    const bool startRowOpen =
        fromCentre && n >= 4 &&
        ((centre.y < start.y && start.y < afterStartY) || (centre.y > start.y && start.y > afterStartY));
    for (int y = firstRow; y <= lastRow; ++y) {
        std::vector<int64_t>& xs = scratch.crossings[static_cast<std::size_t>(y)];
        std::sort(xs.begin(), xs.end());
        uint8_t* row = &s.pixels[static_cast<std::size_t>(y * ScreenWidth)];
        for (std::size_t k = 0; k + 1 < xs.size(); k += 2) {
            const int64_t x1 = xs[k] >> EdgeBits, x2 = xs[k + 1] >> EdgeBits;
            // Two crossings at the same x fill nothing, not that one pixel.
            if (x1 == x2) continue;
            int64_t from = x1, to = x2;
            if (fromCentre) {
                const std::size_t e1 = edgeOf(xs[k]), e2 = edgeOf(xs[k + 1]);
                if (!isSide(e1)) from = (scratch.edgeRuns[e1].y == y ? scratch.edgeRuns[e1].hi : from) + 1;
                if (!isSide(e2)) to = (scratch.edgeRuns[e2].y == y ? scratch.edgeRuns[e2].lo : to) - 1;
                // In the end point's row the last arc edge keeps its inner
                // pixel, as a side does.
                if (y == end.y && e1 + 3 == n)
                    from = scratch.edgeRuns[e1].y == y ? scratch.edgeRuns[e1].hi : x1;
                if (y == end.y && e2 + 3 == n)
                    to = scratch.edgeRuns[e2].y == y ? scratch.edgeRuns[e2].lo : x2;
                if (from >= to) continue;
                const bool startEdge1 = e1 == 0 || e1 + 1 == n, startEdge2 = e2 == 0 || e2 + 1 == n;
                if (startRowOpen && y == start.y &&
                    ((e1 + 2 == n && startEdge2) || (e2 + 2 == n && startEdge1)))
                    continue;
            }
            const int lo = static_cast<int>(std::max<int64_t>(from, left));
            const int hi = static_cast<int>(std::min<int64_t>(to, rightEdge));
            if (lo > hi) continue;
            s.work += 1 + static_cast<uint64_t>(hi - lo + 1);
            fillSpan(s, row, lo, hi, y);
        }
        xs.clear();
    }
}

void drawFilledArc(ScreenState& s, SliceScratch& scratch, int cx, int cy, unsigned stAngle, unsigned endAngle,
                   unsigned xRadius, unsigned yRadius, bool pie) {
    // Unlike Arc, a slice never wraps through 0: its angles are swapped
    // into order after counting modulo 361.
    unsigned st = stAngle % 361, en = endAngle % 361;
    if (st > en) std::swap(st, en);
    scratch.arcPoints.clear();
    drawEllipse(s, cx, cy, st, en, xRadius, yRadius, &scratch.arcPoints);
    // With both radii 1 or less the ellipse is its centre, and so is the
    // slice; a slice whose angles fall between two samples keeps its sides.
    if ((xRadius <= 1 && yRadius <= 1) || (scratch.arcPoints.empty() && !pie)) return;
    std::stable_sort(scratch.arcPoints.begin(), scratch.arcPoints.end(),
                     [](const ArcPoint& p, const ArcPoint& q) { return p.angle < q.angle; });
    // The straight sides end where the angles themselves fall, rounded,
    // which need not be a sample of the arc; a radius of 0 counts as 1 there
    // too.
    const unsigned a = std::max(xRadius, 1u), b = std::max(yRadius, 1u);
    auto end = [&](unsigned angle) {
        const float t = radians(static_cast<float>(angle));
        return ArcPoint{0.0f, static_cast<int16_t>(cx + exactRound(a, t, false)),
                        static_cast<int16_t>(cy - exactRound(b, t, true))};
    };
    const ArcPoint first = end(st), last = end(en);
    if (pie) {
        scratch.arcPoints.insert(scratch.arcPoints.begin(), first);
        scratch.arcPoints.push_back(last);
        scratch.arcPoints.push_back({0.0f, cx, cy});
    }
    fillPolygon(s, scratch, pie);
    // The outline goes over the fill: the arc's own points, then the sides,
    // the first towards the centre and the second away from it.
    const uint8_t c = s.drawColour();
    const std::size_t from = pie ? 1 : 0, to = scratch.arcPoints.size() - (pie ? 2 : 0);
    for (std::size_t k = from; k < to; ++k) s.plot(scratch.arcPoints[k].x, scratch.arcPoints[k].y, c);
    if (pie) {
        drawLine(s, first.x, first.y, cx, cy);
        drawLine(s, cx, cy, last.x, last.y);
    }
}

}  // namespace

void drawFilledCurve(ScreenState& s, SliceScratch& scratch, int cx, int cy, unsigned stAngle,
                     unsigned endAngle, unsigned xRadius, unsigned yRadius, bool pie) {
    if (!s.thick) {
        drawFilledArc(s, scratch, cx, cy, stAngle, endAngle, xRadius, yRadius, pie);
        return;
    }
    // A thick one is the thin one with radii one less, its sides drawn
    // thick from that one's ends, and then the arc's two outer curves of a
    // thick arc, in the angles put in order. Where the inner one is a single
    // point, a slice's sides shrink to a thick line from the centre to itself.
    if (xRadius > 0 && yRadius > 0) {
        drawFilledArc(s, scratch, cx, cy, stAngle, endAngle, xRadius - 1, yRadius - 1, pie);
        if (pie && xRadius <= 2 && yRadius <= 2) drawLine(s, cx, cy, cx, cy);
    }
    unsigned st = stAngle % 361, en = endAngle % 361;
    if (st > en) std::swap(st, en);
    drawEllipse(s, cx, cy, st, en, xRadius, yRadius);
    drawEllipse(s, cx, cy, st, en, (xRadius + 1) & 0xFFFF, (yRadius + 1) & 0xFFFF);
    if (xRadius > 0 && yRadius > 0) return;
    // With a radius of 0 there is no inside to fill, and the lines stay
    // thin from here on, as after a thick arc with one; a slice's sides are
    // drawn thin to where a thin slice's end (a radius of 0 counting as 1),
    // but not when both radii are 0.
    s.thick = false;
    if (!pie || (xRadius == 0 && yRadius == 0)) return;
    const unsigned a = std::max(xRadius, 1u), b = std::max(yRadius, 1u);
    auto endX = [&](unsigned angle) {
        return static_cast<int16_t>(cx + exactRound(a, radians(static_cast<float>(angle)), false));
    };
    auto endY = [&](unsigned angle) {
        return static_cast<int16_t>(cy - exactRound(b, radians(static_cast<float>(angle)), true));
    };
    drawLine(s, endX(st), endY(st), cx, cy);
    drawLine(s, cx, cy, endX(en), endY(en));
}

}  // namespace pasdraw
