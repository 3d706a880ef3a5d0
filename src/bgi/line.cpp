#include "bgi/line.h"

#include <algorithm>
#include <cstring>

namespace pasdraw {
namespace {

enum : unsigned { Left = 1, Right = 2, Top = 4, Bottom = 8 };

unsigned outCode(int64_t x, int64_t y, const Box& b) {
    return (x < b.left ? Left : 0u) | (x > b.right ? Right : 0u) | (y < b.top ? Top : 0u) |
           (y > b.bottom ? Bottom : 0u);
}

// A line in a style other than solid, or thick.
void drawStyledLine(ScreenState& s, int ax, int ay, int bx, int by) {
    ++s.work;
    const uint8_t c = s.drawColour();
    int64_t x1 = ax, y1 = ay, x2 = bx, y2 = by;
    // A line is clipped as a line and counts from its clipped start, and a
    // thick one widened after; but a horizontal or vertical thick line in
    // the solid style is three lines, so one just off the screen still
    // lights its edge.
    if ((!s.thick || !s.solidStyle || (ax != bx && ay != by)) && !clipLine(x1, y1, x2, y2, clipBox(s)))
        return;
    const int x = static_cast<int>(x1), y = static_cast<int>(y1);
    const int xe = static_cast<int>(x2), ye = static_cast<int>(y2);
    const int dx = std::abs(xe - x), dy = std::abs(ye - y);
    const bool xMajor = dx >= dy;
    s.work += static_cast<uint64_t>(std::max(dx, dy)) * (s.thick ? 3 : 1);
    const uint16_t pattern = s.linePattern;
    const bool thick = s.thick;
    const int vx = s.viewport.x1, vy = s.viewport.y1;
    stepLine(x, y, xe, ye, [&](int k, int px, int py) {
        // The pattern's bit: by position on the screen on a horizontal or
        // vertical line, by count from the first end point on others.
        const int bit = dy == 0 ? (px + vx) & 15 : dx == 0 ? (py + vy) & 15 : k & 15;
        if (!((pattern >> (15 - bit)) & 1)) return;
        s.plot(px, py, c);
        if (thick) {
            s.plot(xMajor ? px : px - 1, xMajor ? py - 1 : py, c);
            s.plot(xMajor ? px : px + 1, xMajor ? py + 1 : py, c);
        }
    });
}

}  // namespace

bool clipLine(int64_t& x1, int64_t& y1, int64_t& x2, int64_t& y2, const Box& b) {
    for (int round = 0; round < 8; ++round) {
        const unsigned c1 = outCode(x1, y1, b), c2 = outCode(x2, y2, b);
        if ((c1 | c2) == 0) return true;
        if ((c1 & c2) != 0) return false;
        const bool first = c1 != 0;
        const unsigned c = first ? c1 : c2;
        int64_t x, y;
        if (c & Left) {
            x = b.left;
            y = y1 + (y2 - y1) * (b.left - x1) / (x2 - x1);
        } else if (c & Right) {
            x = b.right;
            y = y1 + (y2 - y1) * (b.right - x1) / (x2 - x1);
        } else if (c & Top) {
            y = b.top;
            x = x1 + (x2 - x1) * (b.top - y1) / (y2 - y1);
        } else {
            y = b.bottom;
            x = x1 + (x2 - x1) * (b.bottom - y1) / (y2 - y1);
        }
        (first ? x1 : x2) = x;
        (first ? y1 : y2) = y;
    }
    return outCode(x1, y1, b) == 0 && outCode(x2, y2, b) == 0;
}

void drawLine(ScreenState& s, int ax, int ay, int bx, int by) {
    if (s.linePattern != 0xFFFF || s.thick) {
        drawStyledLine(s, ax, ay, bx, by);
        return;
    }
    ++s.work;
    int64_t x1 = ax, y1 = ay, x2 = bx, y2 = by;
    if (!clipLine(x1, y1, x2, y2, clipBox(s))) return;
    const uint8_t c = s.drawColour();
    // Clipped, so every pixel is on the screen: no test per pixel.
    uint8_t* const origin = &s.pixels[static_cast<std::size_t>(s.viewport.y1 * ScreenWidth + s.viewport.x1)];
    const int x = static_cast<int>(x1), y = static_cast<int>(y1);
    const int xe = static_cast<int>(x2), ye = static_cast<int>(y2);
    s.work += static_cast<uint64_t>(std::max(std::abs(xe - x), std::abs(ye - y)));
    if (y == ye) {
        std::memset(origin + y * ScreenWidth + std::min(x, xe), c,
                    static_cast<std::size_t>(std::abs(xe - x) + 1));
        return;
    }
    stepLine(x, y, xe, ye, [origin, c](int, int px, int py) { origin[py * ScreenWidth + px] = c; });
}

}  // namespace pasdraw
