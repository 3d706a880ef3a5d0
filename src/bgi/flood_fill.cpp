#include "bgi/flood_fill.h"

#include <algorithm>
#include <cstring>

namespace pasdraw {
namespace {

constexpr uint8_t Filled = 0x80;  // marks a pixel painted by the fill in progress
constexpr uint64_t HighBits = 0x8080808080808080ull;
constexpr uint64_t LowBits = 0x0101010101010101ull;

uint64_t load8(const uint8_t* p) {
    uint64_t w;
    std::memcpy(&w, p, sizeof w);
    return w;
}

// Whether any of the eight bytes of w equals the byte whose copies fill `bytes`.
bool hasByte(uint64_t w, uint64_t bytes) {
    const uint64_t v = w ^ bytes;
    return ((v - LowBits) & ~v & HighBits) != 0;
}

// A pixel is open to the fill while it is neither the border colour nor
// already filled; `border` is -1 when the border word matches no colour.
struct OpenTest {
    int border;
    uint64_t borderBytes;
    bool operator()(uint8_t p) const { return p < Filled && p != border; }
    // All eight pixels at p open, or all eight closed.
    bool allOpen(const uint8_t* p) const {
        const uint64_t w = load8(p);
        return (w & HighBits) == 0 && (border < 0 || !hasByte(w, borderBytes));
    }
    bool allFilled(const uint8_t* p) const { return (load8(p) & HighBits) == HighBits; }
};

// The last x <= from (at least limit - 1) whose pixel is not open.
int openRunStart(const uint8_t* row, int from, int limit, const OpenTest& open) {
    int x = from;
    while (x >= limit + 8 && open.allOpen(row + x - 8)) x -= 8;
    while (x >= limit && open(row[x])) --x;
    return x;
}

// The first x >= from (at most limit + 1) whose pixel is not open.
int openRunEnd(const uint8_t* row, int from, int limit, const OpenTest& open) {
    int x = from;
    while (x + 8 <= limit + 1 && open.allOpen(row + x)) x += 8;
    while (x <= limit && open(row[x])) ++x;
    return x;
}

}  // namespace

void floodFill(ScreenState& s, FloodScratch& scratch, int16_t seedX, int16_t seedY, uint32_t border) {
    ++s.work;
    // The seed is relative to the viewport, and the fill stays within the
    // clipping box: a seed outside it fills nothing.
    if (!s.inClip(seedX, seedY)) return;
    const int sx = seedX + s.viewport.x1, sy = seedY + s.viewport.y1;
    const Box box = screenClipBox(s);
    const int boxLeft = static_cast<int>(box.left), boxTop = static_cast<int>(box.top),
              boxRight = static_cast<int>(box.right), boxBottom = static_cast<int>(box.bottom);
    const int b = border <= 15 ? static_cast<int>(border) : -1;
    const OpenTest open{b, b < 0 ? 0 : LowBits * static_cast<uint64_t>(b)};
    uint8_t* const px = s.pixels.data();
    auto row = [&](int y) { return px + static_cast<std::size_t>(y) * ScreenWidth; };
    const bool solid = solidFill(s);
    int minX = sx, maxX = sx, minY = sy, maxY = sy;

    // Painted pixels carry the Filled mark until the fill ends, which is how
    // a fill passes over pixels that already have its colour exactly once.
    auto paint = [&](int x1, int x2, int y) {
        uint8_t* r = row(y);
        if (solid) {
            std::memset(r + x1, (s.fillColor & 15) | Filled, static_cast<std::size_t>(x2 - x1 + 1));
        } else {
            fillSpan(s, r, x1, x2, y, Filled);
        }
        minX = std::min(minX, x1);
        maxX = std::max(maxX, x2);
        minY = std::min(minY, y);
        maxY = std::max(maxY, y);
        // Work in units of roughly equal time: a solid span is a memset, about
        // eight pixels for one pixel of a line or a pattern.
        s.work += 1 + static_cast<uint64_t>(x2 - x1 + 1) / (solid ? 8 : 1);
    };
    scratch.seeds.clear();
    // The right end, within x1..x2, of every open run of row y, right to
    // left; none when y is off the screen.
    auto runEnds = [&](int x1, int x2, int y, std::vector<int16_t>& ends) {
        ends.clear();
        if (y < boxTop || y > boxBottom) return;
        const uint8_t* r = row(y);
        int x = x1;
        while (x <= x2) {
            while (x + 8 <= x2 + 1 && open.allFilled(r + x)) x += 8;
            while (x <= x2 && !open(r[x])) ++x;
            if (x > x2) break;
            x = openRunEnd(r, x, x2, open);
            ends.push_back(static_cast<int16_t>(x - 1));
        }
        std::reverse(ends.begin(), ends.end());
    };
    // Queues a seed for every open run above and below x1..x2 of row y, in
    // the unit's order: x from right to left, at each x the row below before
    // the row above, each run where that walk meets it. Seeds past the
    // unit's list capacity are dropped, and their runs stay unfilled unless
    // another seed reaches them.
    auto pushRuns = [&](int x1, int x2, int y) {
        runEnds(x1, x2, y + 1, scratch.below);
        runEnds(x1, x2, y - 1, scratch.above);
        std::size_t nb = 0, na = 0;
        while (nb < scratch.below.size() || na < scratch.above.size()) {
            const bool takeBelow = na == scratch.above.size() ||
                                   (nb < scratch.below.size() && scratch.below[nb] >= scratch.above[na]);
            const int16_t x = takeBelow ? scratch.below[nb++] : scratch.above[na++];
            if (scratch.seeds.size() < FloodScratch::SeedCapacity)
                scratch.seeds.push_back({x, static_cast<int16_t>(takeBelow ? y + 1 : y - 1)});
        }
    };

    // The seed's own span: the run that ends just before the first border
    // pixel at or right of the seed. On a border pixel that is the pixel to
    // its left, painted whatever its colour, and the run left of it.
    const uint8_t* seedRow = row(sy);
    int right = sx;
    while (right <= boxRight && seedRow[right] != b) ++right;
    const int last = right - 1;
    if (last < boxLeft) return;  // a border pixel at the left edge
    int first = last;
    while (first > boxLeft && seedRow[first - 1] != b) --first;
    paint(first, last, sy);
    pushRuns(first, last, sy);

    while (!scratch.seeds.empty()) {
        const FloodScratch::Seed seed = scratch.seeds.back();
        scratch.seeds.pop_back();
        const uint8_t* r = row(seed.y);
        if (!open(r[seed.x])) continue;
        // Seeds stand at the right end of their runs.
        const int x1 = openRunStart(r, seed.x, boxLeft, open) + 1;
        const int x2 = openRunEnd(r, seed.x, boxRight, open) - 1;
        paint(x1, x2, seed.y);
        pushRuns(x1, x2, seed.y);
    }

    for (int y = minY; y <= maxY; ++y) {
        uint8_t* r = row(y);
        for (int x = minX; x <= maxX; ++x) r[x] &= 15;
    }
}

}  // namespace pasdraw
