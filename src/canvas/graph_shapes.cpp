// The canvas's shapes drawn by the graph unit's own routines: each is drawn
// on a scratch 640 x 480 screen and shown at the canvas's scale, where a
// canvas pixel standing for several screen pixels takes the shape's colour
// over black; bars go straight onto the image.
#include <algorithm>
#include <bit>
#include <cstdint>
#include <cstring>

#include "bgi/bgi_screen.h"
#include "canvas/raster_surface.h"

namespace pasdraw {

namespace {

// The place in a word read from memory of its first byte that is not 0.
int firstByteSet(uint64_t word) {
    if constexpr (std::endian::native == std::endian::little)
        return std::countr_zero(word) / 8;
    else
        return std::countl_zero(word) / 8;
}

// The first x from x to right (included) whose byte in row is not 0, or
// right + 1; eight bytes at a time, as most of a shape's box is empty.
int64_t nextDrawn(const uint8_t* row, int64_t x, int64_t right) {
    for (; x + 8 <= right + 1; x += 8) {
        uint64_t word;
        std::memcpy(&word, row + x, sizeof word);
        if (word != 0) return x + firstByteSet(word);
    }
    while (x <= right && row[x] == 0) ++x;
    return x;
}

// The scratch screen's colours: a shape is drawn in Drawn, the 0 bits of
// its pattern in Background (the unit paints them in the background
// colour), and what it leaves stays Untouched.
constexpr uint8_t Untouched = 0;
constexpr uint8_t Background = 1;
constexpr uint8_t Drawn = 15;

int16_t s16(int64_t v) { return static_cast<int16_t>(std::clamp<int64_t>(v, INT16_MIN, INT16_MAX)); }

// Whether a fill pattern has 0 bits, which the unit paints black.
bool patternHasGaps(int16_t pattern) { return pattern != SolidPattern; }

// The last x from x to right (included) whose byte in row is v, row[x]
// being v; eight bytes at a time, for the long runs of a filled shape.

int64_t runEnd(const uint8_t* row, int64_t x, int64_t right, uint8_t v) {
    const uint64_t all = 0x0101010101010101ull * v;
    for (++x; x + 8 <= right + 1; x += 8) {
        uint64_t word;
        std::memcpy(&word, row + x, sizeof word);
        if (word != all) return x + firstByteSet(word ^ all) - 1;
    }
    while (x <= right && row[x] == v) ++x;
    return x - 1;
}

}  // namespace

template <class Draw>
void RasterSurface::graph(GraphBounds bounds, int32_t colour, bool blackToo, Draw&& draw) {
    settleFills();
    if (!graph_) {
        graph_ = std::make_shared<BgiScreen>();
        graph_->SetBkColor(Background);
    }
    BgiScreen& g = *graph_;
    const auto unitsX = static_cast<int64_t>(unitToDeviceX_.size());
    const auto unitsY = static_cast<int64_t>(unitToDeviceY_.size());
    // Tiles whose corners are multiples of 16 unit pixels, so that the fill
    // patterns (tiled from the screen's corner) and the line styles of
    // horizontal and vertical lines (by position on the screen) fall as on
    // the program's screen; the first tile is that screen itself, clipped
    // where the program's is.
    for (int64_t ty = 0; ty < unitsY; ty += ScreenHeight) {
        for (int64_t tx = 0; tx < unitsX; tx += ScreenWidth) {
            const GraphBounds onTile{std::max<int64_t>(bounds.left - tx, 0),
                                     std::max<int64_t>(bounds.top - ty, 0),
                                     std::min<int64_t>(bounds.right - tx, ScreenWidth - 1),
                                     std::min<int64_t>(bounds.bottom - ty, ScreenHeight - 1)};
            if (onTile.left > onTile.right || onTile.top > onTile.bottom) continue;
            g.SetColor(Drawn);
            draw(g, -tx, -ty);
            showGraphTile(onTile, static_cast<int>(tx), static_cast<int>(ty), toPixelColour(colour),
                          blackToo);
        }
    }
    changed_ = true;
}

void RasterSurface::showGraphTile(GraphBounds t, int tileX, int tileY, uint32_t colour, bool blackToo) {
    const uint8_t* screen = graph_->pixels();
    const auto unitsX = static_cast<int64_t>(unitToDeviceX_.size());
    const auto unitsY = static_cast<int64_t>(unitToDeviceY_.size());
    const int64_t right = std::min<int64_t>(t.right, unitsX - 1 - tileX);
    const int64_t bottom = std::min<int64_t>(t.bottom, unitsY - 1 - tileY);
    const std::pair<int32_t, int32_t>* columns = unitToDeviceX_.data() + tileX;
    if (t.left <= right && t.top <= bottom) {
        if (metRow_.empty()) metRow_.resize(ScreenWidth);
        const int32_t firstRow = unitToDeviceY_[static_cast<std::size_t>(t.top + tileY)].first;
        const int32_t lastRow = unitToDeviceY_[static_cast<std::size_t>(bottom + tileY)].second;
        for (int32_t dy = firstRow; dy <= lastRow; ++dy) {
            // The unit rows this device row shows, met: the drawn colour
            // over black over nothing, which is their order as numbers.
            const auto [firstUnit, lastUnit] = deviceToUnitY_[static_cast<std::size_t>(dy)];
            const int64_t v0 = std::max<int64_t>(firstUnit - tileY, t.top);
            const int64_t v1 = std::min<int64_t>(lastUnit - tileY, bottom);
            if (v0 > v1) continue;
            const uint8_t* row = screen + v0 * ScreenWidth;
            if (v1 > v0) {
                uint8_t* met = metRow_.data();
                std::copy(row + t.left, row + right + 1, met + t.left);
                for (int64_t v = v0 + 1; v <= v1; ++v) {
                    const uint8_t* next = screen + v * ScreenWidth;
                    for (int64_t x = t.left; x <= right; ++x) met[x] = std::max(met[x], next[x]);
                }
                row = met;
            }
            uint32_t* out = pixels_.data() + static_cast<std::size_t>(dy) * static_cast<std::size_t>(width_);
            // Runs of one colour; black ones at once, drawn ones after, as
            // the colour wins a device pixel they share.
            drawnRuns_.clear();
            for (int64_t x = nextDrawn(row, t.left, right); x <= right;) {
                const uint8_t v = row[x];
                const int64_t last = runEnd(row, x, right, v);
                if (!blackToo)
                    std::fill(out + columns[x].first, out + columns[last].second + 1, colour);
                else if (v == Drawn)
                    drawnRuns_.emplace_back(x, last);
                else
                    std::fill(out + columns[x].first, out + columns[last].second + 1, 0u);
                x = nextDrawn(row, last + 1, right);
            }
            for (const auto& [first, last] : drawnRuns_)
                std::fill(out + columns[first].first, out + columns[last].second + 1, colour);
        }
    }
    graph_->SetFillStyle(SolidPattern, Untouched);
    graph_->Bar(s16(t.left), s16(t.top), s16(t.right), s16(t.bottom));
}

bool RasterSurface::barOnImage(int x1, int y1, int x2, int y2, uint32_t colour, int16_t pattern) {
    if (pattern < 0 || pattern > static_cast<int16_t>(LastFillPattern)) return false;
    settleFills();
    changed_ = true;
    const auto unitsX = static_cast<int64_t>(unitToDeviceX_.size());
    const auto unitsY = static_cast<int64_t>(unitToDeviceY_.size());
    const int64_t left = std::max(std::min(x1, x2), 0),
                  right = std::min<int64_t>(std::max(x1, x2), unitsX - 1);
    const int64_t top = std::max(std::min(y1, y2), 0),
                  bottom = std::min<int64_t>(std::max(y1, y2), unitsY - 1);
    if (left > right || top > bottom) return true;
    const uint8_t* rows = FillPatterns[pattern];
    const int32_t firstColumn = unitToDeviceX_[static_cast<std::size_t>(left)].first;
    const int32_t lastColumn = unitToDeviceX_[static_cast<std::size_t>(right)].second;
    // The bits of the unit columns a device column shows, those of the bar
    // only: the end columns may show units beside it.
    const auto bitsOf = [&](int32_t d) {
        const auto [first, last] = deviceToUnitX_[static_cast<std::size_t>(d)];
        uint8_t bits = 0;
        for (int64_t u = std::max<int64_t>(first, left); u <= std::min<int64_t>(last, right); ++u)
            bits = static_cast<uint8_t>(bits | (0x80u >> (u & 7)));
        return bits;
    };
    const uint8_t firstBits = bitsOf(firstColumn), lastBits = bitsOf(lastColumn);
    const int32_t firstRow = unitToDeviceY_[static_cast<std::size_t>(top)].first;
    const int32_t lastRow = unitToDeviceY_[static_cast<std::size_t>(bottom)].second;
    for (int32_t dy = firstRow; dy <= lastRow; ++dy) {
        const auto [firstUnit, lastUnit] = deviceToUnitY_[static_cast<std::size_t>(dy)];
        unsigned on = 0;  // the pattern's 1 bits in any of the rows shown here
        for (int64_t v = std::max<int64_t>(firstUnit, top); v <= std::min<int64_t>(lastUnit, bottom); ++v)
            on |= rows[v & 7];
        uint32_t* out = pixels_.data() + static_cast<std::size_t>(dy) * static_cast<std::size_t>(width_);
        if (on == 0xFFu || on == 0u) {
            std::fill(out + firstColumn, out + lastColumn + 1, on != 0u ? colour : 0u);
            continue;
        }
        out[firstColumn] = (on & firstBits) != 0u ? colour : 0u;
        const uint8_t* bits = unitBitsX_.data();
        for (int32_t dx = firstColumn + 1; dx < lastColumn; ++dx)
            out[dx] = (on & bits[dx]) != 0u ? colour : 0u;
        out[lastColumn] = (on & lastBits) != 0u ? colour : 0u;
    }
    return true;
}

void RasterSurface::GraphLine(int x1, int y1, int x2, int y2, int32_t colour, int16_t lineStyle,
                              int16_t lineWidth) {
    // A thick line is one pixel wider on either side.
    graph({std::min(x1, x2) - 1, std::min(y1, y2) - 1, std::max(x1, x2) + 1, std::max(y1, y2) + 1}, colour,
          false, [&](BgiScreen& g, int64_t dx, int64_t dy) {
              g.SetLineStyle(static_cast<uint16_t>(lineStyle), 0, static_cast<uint16_t>(lineWidth));
              g.Line(s16(x1 + dx), s16(y1 + dy), s16(x2 + dx), s16(y2 + dy));
          });
}

void RasterSurface::GraphPolygon(const int* xs, const int* ys, int n, int32_t colour, int16_t lineStyle,
                                 int16_t lineWidth) {
    if (n <= 0) return;
    // All the edges on the scratch screen at once, and their box shown
    // once: a thick line is one pixel wider on either side.
    GraphBounds bounds{xs[0], ys[0], xs[0], ys[0]};
    for (int i = 1; i < n; ++i) {
        bounds = {std::min<int64_t>(bounds.left, xs[i]), std::min<int64_t>(bounds.top, ys[i]),
                  std::max<int64_t>(bounds.right, xs[i]), std::max<int64_t>(bounds.bottom, ys[i])};
    }
    graph({bounds.left - 1, bounds.top - 1, bounds.right + 1, bounds.bottom + 1}, colour, false,
          [&](BgiScreen& g, int64_t dx, int64_t dy) {
              g.SetLineStyle(static_cast<uint16_t>(lineStyle), 0, static_cast<uint16_t>(lineWidth));
              for (int i = 0; i < n; ++i) {
                  const int next = (i + 1) % n;
                  g.Line(s16(xs[i] + dx), s16(ys[i] + dy), s16(xs[next] + dx), s16(ys[next] + dy));
              }
          });
}

void RasterSurface::GraphRectangle(int x1, int y1, int x2, int y2, int32_t colour, int16_t lineStyle,
                                   int16_t lineWidth) {
    graph({std::min(x1, x2) - 1, std::min(y1, y2) - 1, std::max(x1, x2) + 1, std::max(y1, y2) + 1}, colour,
          false, [&](BgiScreen& g, int64_t dx, int64_t dy) {
              g.SetLineStyle(static_cast<uint16_t>(lineStyle), 0, static_cast<uint16_t>(lineWidth));
              g.Rectangle(s16(x1 + dx), s16(y1 + dy), s16(x2 + dx), s16(y2 + dy));
          });
}

void RasterSurface::GraphBar(int x1, int y1, int x2, int y2, int32_t colour, int16_t pattern) {
    if (barsOnImage_ && barOnImage(x1, y1, x2, y2, toPixelColour(colour), pattern)) return;
    graph({std::min(x1, x2), std::min(y1, y2), std::max(x1, x2), std::max(y1, y2)}, colour,
          patternHasGaps(pattern), [&](BgiScreen& g, int64_t dx, int64_t dy) {
              g.SetFillStyle(static_cast<uint16_t>(pattern), Drawn);
              g.Bar(s16(x1 + dx), s16(y1 + dy), s16(x2 + dx), s16(y2 + dy));
          });
}

namespace {

// The box round a curve of these radii: the unit samples it within a pixel
// of the radius, and a thick one reaches one further.
template <class Bounds>
Bounds curveBounds(int x, int y, int xRadius, int yRadius) {
    const int64_t rx = std::abs(static_cast<int64_t>(static_cast<uint16_t>(xRadius))) + 3;
    const int64_t ry = std::abs(static_cast<int64_t>(static_cast<uint16_t>(yRadius))) + 3;
    return {x - rx, y - ry, x + rx, y + ry};
}

}  // namespace

void RasterSurface::GraphCircle(int x, int y, int radius, int32_t colour, int16_t lineWidth) {
    graph(curveBounds<GraphBounds>(x, y, radius, radius), colour, false,
          [&](BgiScreen& g, int64_t dx, int64_t dy) {
              g.SetLineStyle(0, 0, static_cast<uint16_t>(lineWidth));
              g.Circle(s16(x + dx), s16(y + dy), static_cast<uint16_t>(radius));
          });
}

void RasterSurface::GraphArc(int x, int y, int startAngle, int endAngle, int radius, int32_t colour,
                             int16_t lineWidth) {
    graph(curveBounds<GraphBounds>(x, y, radius, radius), colour, false,
          [&](BgiScreen& g, int64_t dx, int64_t dy) {
              g.SetLineStyle(0, 0, static_cast<uint16_t>(lineWidth));
              g.Arc(s16(x + dx), s16(y + dy), static_cast<uint16_t>(startAngle),
                    static_cast<uint16_t>(endAngle), static_cast<uint16_t>(radius));
          });
}

void RasterSurface::GraphEllipse(int x, int y, int startAngle, int endAngle, int xRadius, int yRadius,
                                 int32_t colour, int16_t lineWidth) {
    graph(curveBounds<GraphBounds>(x, y, xRadius, yRadius), colour, false,
          [&](BgiScreen& g, int64_t dx, int64_t dy) {
              g.SetLineStyle(0, 0, static_cast<uint16_t>(lineWidth));
              g.Ellipse(s16(x + dx), s16(y + dy), static_cast<uint16_t>(startAngle),
                        static_cast<uint16_t>(endAngle), static_cast<uint16_t>(xRadius),
                        static_cast<uint16_t>(yRadius));
          });
}

void RasterSurface::GraphPieSlice(int x, int y, int startAngle, int endAngle, int radius, int32_t colour,
                                  int16_t pattern) {
    graph(curveBounds<GraphBounds>(x, y, radius, radius), colour, patternHasGaps(pattern),
          [&](BgiScreen& g, int64_t dx, int64_t dy) {
              g.SetLineStyle(0, 0, 1);
              g.SetFillStyle(static_cast<uint16_t>(pattern), Drawn);
              g.PieSlice(s16(x + dx), s16(y + dy), static_cast<int16_t>(startAngle),
                         static_cast<int16_t>(endAngle), static_cast<uint16_t>(radius));
          });
}

void RasterSurface::GraphText(int x, int y, std::string_view text, int32_t colour, int16_t size,
                              bool vertical) {
    if (text.empty()) return;
    // Where the unit puts the text, left and top justified (text.cpp):
    // horizontal from (x, y) right and down; vertical, turned, left of x
    // and from just below y down.
    const int64_t s = std::clamp<int16_t>(size, 1, LastTextSize);
    const int64_t along = static_cast<int64_t>(text.size()) * GlyphSize * s, across = GlyphSize * s;
    const GraphBounds bounds =
        vertical ? GraphBounds{x - (s - 1) - across - 1, y + s - 1, x - s + 1, y + s + along}
                 : GraphBounds{x - 1, y - 1, x + along, y + across};
    graph(bounds, colour, false, [&](BgiScreen& g, int64_t dx, int64_t dy) {
        g.SetTextStyle(0, vertical ? 1 : 0, static_cast<uint16_t>(s));
        g.OutTextXY(s16(x + dx), s16(y + dy), ShortString{text});
    });
}

}  // namespace pasdraw
