#include "bgi/bgi_screen.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <cstring>

namespace pasdraw {
namespace {

// The default 256-colour VGA palette as the window shows it, 0xRRGGBB, read
// from the window after SetBkColor(n) for every n.
constexpr std::array<uint32_t, 256> Vga256{
    0x000000, 0x0000A8, 0x00A800, 0x00A8A8, 0xA80000, 0xA800A8, 0xA85400, 0xA8A8A8, 0x545454, 0x5454FC,
    0x54FC54, 0x54FCFC, 0xFC5454, 0xFC54FC, 0xFCFC54, 0xFCFCFC, 0x000000, 0x141414, 0x202020, 0x2C2C2C,
    0x383838, 0x444444, 0x505050, 0x606060, 0x707070, 0x808080, 0x909090, 0xA0A0A0, 0xB4B4B4, 0xC8C8C8,
    0xE0E0E0, 0xFCFCFC, 0x0000FC, 0x4000FC, 0x7C00FC, 0xBC00FC, 0xFC00FC, 0xFC00BC, 0xFC007C, 0xFC0040,
    0xFC0000, 0xFC4000, 0xFC7C00, 0xFCBC00, 0xFCFC00, 0xBCFC00, 0x7CFC00, 0x40FC00, 0x00FC00, 0x00FC40,
    0x00FC7C, 0x00FCBC, 0x00FCFC, 0x00BCFC, 0x007CFC, 0x0040FC, 0x7C7CFC, 0x9C7CFC, 0xBC7CFC, 0xDC7CFC,
    0xFC7CFC, 0xFC7CDC, 0xFC7CBC, 0xFC7C9C, 0xFC7C7C, 0xFC9C7C, 0xFCBC7C, 0xFCDC7C, 0xFCFC7C, 0xDCFC7C,
    0xBCFC7C, 0x9CFC7C, 0x7CFC7C, 0x7CFC9C, 0x7CFCBC, 0x7CFCDC, 0x7CFCFC, 0x7CDCFC, 0x7CBCFC, 0x7C9CFC,
    0xB4B4FC, 0xC4B4FC, 0xD8B4FC, 0xE8B4FC, 0xFCB4FC, 0xFCB4E8, 0xFCB4D8, 0xFCB4C4, 0xFCB4B4, 0xFCC4B4,
    0xFCD8B4, 0xFCE8B4, 0xFCFCB4, 0xE8FCB4, 0xD8FCB4, 0xC4FCB4, 0xB4FCB4, 0xB4FCC4, 0xB4FCD8, 0xB4FCE8,
    0xB4FCFC, 0xB4E8FC, 0xB4D8FC, 0xB4C4FC, 0x000070, 0x1C0070, 0x380070, 0x540070, 0x700070, 0x700054,
    0x700038, 0x70001C, 0x700000, 0x701C00, 0x703800, 0x705400, 0x707000, 0x547000, 0x387000, 0x1C7000,
    0x007000, 0x00701C, 0x007038, 0x007054, 0x007070, 0x005470, 0x003870, 0x001C70, 0x383870, 0x443870,
    0x543870, 0x603870, 0x703870, 0x703860, 0x703854, 0x703844, 0x703838, 0x704438, 0x705438, 0x706038,
    0x707038, 0x607038, 0x547038, 0x447038, 0x387038, 0x387044, 0x387054, 0x387060, 0x387070, 0x386070,
    0x385470, 0x384470, 0x505070, 0x585070, 0x605070, 0x685070, 0x705070, 0x705068, 0x705060, 0x705058,
    0x705050, 0x705850, 0x706050, 0x706850, 0x707050, 0x687050, 0x607050, 0x587050, 0x507050, 0x507058,
    0x507060, 0x507068, 0x507070, 0x506870, 0x506070, 0x505870, 0x000040, 0x100040, 0x200040, 0x300040,
    0x400040, 0x400030, 0x400020, 0x400010, 0x400000, 0x401000, 0x402000, 0x403000, 0x404000, 0x304000,
    0x204000, 0x104000, 0x004000, 0x004010, 0x004020, 0x004030, 0x004040, 0x003040, 0x002040, 0x001040,
    0x202040, 0x282040, 0x302040, 0x382040, 0x402040, 0x402038, 0x402030, 0x402028, 0x402020, 0x402820,
    0x403020, 0x403820, 0x404020, 0x384020, 0x304020, 0x284020, 0x204020, 0x204028, 0x204030, 0x204038,
    0x204040, 0x203840, 0x203040, 0x202840, 0x2C2C40, 0x302C40, 0x342C40, 0x3C2C40, 0x402C40, 0x402C3C,
    0x402C34, 0x402C30, 0x402C2C, 0x40302C, 0x40342C, 0x403C2C, 0x40402C, 0x3C402C, 0x34402C, 0x30402C,
    0x2C402C, 0x2C4030, 0x2C4034, 0x2C403C, 0x2C4040, 0x2C3C40, 0x2C3440, 0x2C3040, 0x000000, 0x000000,
    0x000000, 0x000000, 0x000000, 0x000000, 0x000000, 0x000000,
};

// The 8 x 8 fill patterns 0..12, one byte a row, the leftmost pixel in the
// high bit, tiled from the screen's origin (measured with Bar). Pattern 12,
// the user pattern, is solid until a program defines its own.
constexpr uint8_t Patterns[13][8] = {
    {0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00}, {0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF},
    {0xFF, 0xFF, 0x00, 0x00, 0xFF, 0xFF, 0x00, 0x00}, {0x01, 0x02, 0x04, 0x08, 0x10, 0x20, 0x40, 0x80},
    {0x07, 0x0E, 0x1C, 0x38, 0x70, 0xE0, 0xC1, 0x83}, {0x07, 0x83, 0xC1, 0xE0, 0x70, 0x38, 0x1C, 0x0E},
    {0x5A, 0x2D, 0x96, 0x4B, 0xA5, 0xD2, 0x69, 0xB4}, {0xFF, 0x88, 0x88, 0x88, 0xFF, 0x88, 0x88, 0x88},
    {0x18, 0x24, 0x42, 0x81, 0x81, 0x42, 0x24, 0x18}, {0xCC, 0x33, 0xCC, 0x33, 0xCC, 0x33, 0xCC, 0x33},
    {0x80, 0x00, 0x08, 0x00, 0x80, 0x00, 0x08, 0x00}, {0x88, 0x00, 0x22, 0x00, 0x88, 0x00, 0x22, 0x00},
    {0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF},
};
constexpr uint16_t LastPattern = 12;

// Where an ellipse's sampling of its first quadrant stops, in degrees
// (measured between 90.95 and 91.2). Whether a sum landing on 91 exactly is
// sampled could not be told apart; it is.
constexpr float LastSampleAngle = 91.0f;

// Work counts about a nanosecond of this screen's time a unit, so that a
// bound on it stops runaway drawing after a fraction of a second: a pixel set
// alone or visited by a fill is a unit, while whole rows written at once
// (ClearDevice, a solid Bar) cost a sixteenth of one a pixel and a patterned
// Bar a quarter. The compiled program clears or bars about 2000 full screens
// a second, which then stays within the preview's bound.
constexpr uint64_t SolidWorkShare = 16;
constexpr uint64_t PatternWorkShare = 4;

constexpr int MaxX = BgiScreen::Width - 1;
constexpr int MaxY = BgiScreen::Height - 1;

enum : unsigned { Left = 1, Right = 2, Top = 4, Bottom = 8 };

// A clipping box, its edges included.
struct Box {
    int64_t left, top, right, bottom;
};

unsigned outCode(int64_t x, int64_t y, const Box& b) {
    return (x < b.left ? Left : 0u) | (x > b.right ? Right : 0u) | (y < b.top ? Top : 0u) |
           (y > b.bottom ? Bottom : 0u);
}

Box boxOf(int left, int top, unsigned width, unsigned height) {
    return {left, top, int64_t{left} + width - 1, int64_t{top} + height - 1};
}

// Clips the segment to the box in place; false when nothing is left.
// The first end point moves first, and the left and right edges are tried
// before the top and bottom ones: with truncating division the order decides
// which pixels a steep or shallow line keeps, and this is the order that
// reproduces the graph unit.
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

// The unit turns a sample's angle into radians in extended precision and
// keeps the result as a single-precision number, whose cosine and sine it
// takes in extended precision. Those last digits decide many roundings. The
// product is formed in double here, which rounds to the same float unless it
// lies within 2^-53 of halfway between two floats (about once in 10^9).
float radians(float degrees) {
    constexpr double DegToRad = 3.14159265358979323846 / 180.0;
    return static_cast<float>(static_cast<double>(degrees) * DegToRad);
}

// radius * cos or sin of t, rounded half to even, computed in extended
// precision like the graph unit. Used when the fast double value is too close
// to a half for its rounding to be trusted.
int exactRound(long double radius, float t, bool useSine) {
    const long double v =
        radius * (useSine ? std::sin(static_cast<long double>(t)) : std::cos(static_cast<long double>(t)));
    return static_cast<int>(std::lrintl(v));
}

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

uint32_t backgroundRgb(uint16_t n) { return n < Vga256.size() ? Vga256[n] : 0; }

BgiScreen::BgiScreen() = default;

uint8_t BgiScreen::pixel(int x, int y) const {
    if (static_cast<unsigned>(x) >= Width || static_cast<unsigned>(y) >= Height) return 0;
    return pixels_[static_cast<std::size_t>(y * Width + x)];
}

uint32_t BgiScreen::windowRgb(uint8_t index) const {
    index &= 15;
    return index == 0 ? backgroundRgb(shownBkColor_) : WindowPalette[index];
}

void BgiScreen::SetColor(uint32_t color) { color_ = color; }

void BgiScreen::SetBkColor(uint32_t color) {
    bkColor_ = color;
    // Past the end of the 256-entry table the unit leaves the palette as it was.
    if (color < Vga256.size()) shownBkColor_ = static_cast<uint16_t>(color);
}

void BgiScreen::SetFillStyle(uint16_t pattern, uint32_t color) {
    // The unit rejects the whole call, keeping the old pattern and colour.
    if (pattern > LastPattern || color > 15) return;
    fillPattern_ = pattern;
    fillColor_ = static_cast<uint16_t>(color);
}

void BgiScreen::ClearDevice() {
    pixels_.fill(static_cast<uint8_t>(bkColor_ & 15));
    cpX_ = 0;
    cpY_ = 0;
    work_ += pixels_.size() / SolidWorkShare;
    if (viewport_.x1 != 0 || viewport_.y1 != 0) {
        viewport_ = viewportAfterClearDevice(viewport_);
        updateClip();
    }
}

bool validViewport(int16_t x1, int16_t y1, int16_t x2, int16_t y2) {
    return x1 >= 0 && y1 >= 0 && x1 <= x2 && y1 <= y2 && x2 < BgiScreen::Width && y2 < BgiScreen::Height;
}

Viewport viewportAfterClearDevice(Viewport v) {
    v.x2 = static_cast<int16_t>(v.x2 - 2 * v.x1);
    v.y2 = static_cast<int16_t>(v.y2 - 2 * v.y1);
    return v;
}

void BgiScreen::updateClip() {
    // With the clip off only the screen's edges clip.
    const Viewport box = viewport_.clip ? viewport_ : Viewport{};
    clipLeft_ = box.x1 - viewport_.x1;
    clipTop_ = box.y1 - viewport_.y1;
    clipWidth_ = static_cast<unsigned>(std::max(box.x2 - box.x1 + 1, 0));
    clipHeight_ = static_cast<unsigned>(std::max(box.y2 - box.y1 + 1, 0));
}

void BgiScreen::SetViewPort(int16_t x1, int16_t y1, int16_t x2, int16_t y2, bool clip) {
    // The unit refuses a viewport off the screen or turned over, and then
    // leaves the current point too as it was.
    if (!validViewport(x1, y1, x2, y2)) return;
    viewport_ = {x1, y1, x2, y2, clip};
    updateClip();
    cpX_ = 0;
    cpY_ = 0;
}

void BgiScreen::ClearViewPort() {
    // In the background index, whatever the fill style, and the current point
    // goes to the viewport's corner.
    cpX_ = 0;
    cpY_ = 0;
    ++work_;
    if (viewport_.x2 < viewport_.x1 || viewport_.y2 < viewport_.y1) return;
    const auto width = static_cast<std::size_t>(viewport_.x2 - viewport_.x1 + 1);
    for (int y = viewport_.y1; y <= viewport_.y2; ++y)
        std::memset(&pixels_[static_cast<std::size_t>(y * Width + viewport_.x1)], bkColor_ & 15, width);
    work_ += width * static_cast<std::size_t>(viewport_.y2 - viewport_.y1 + 1) / SolidWorkShare;
}

void BgiScreen::PutPixel(int16_t x, int16_t y, uint32_t color) {
    ++work_;
    plot(x, y, static_cast<uint8_t>(color & 15));
}

void BgiScreen::MoveTo(int16_t x, int16_t y) {
    cpX_ = x;
    cpY_ = y;
}

void BgiScreen::LineTo(int16_t x, int16_t y) {
    drawLine(cpX_, cpY_, x, y);
    cpX_ = x;
    cpY_ = y;
}

void BgiScreen::LineRel(int16_t dx, int16_t dy) {
    LineTo(static_cast<int16_t>(cpX_ + dx), static_cast<int16_t>(cpY_ + dy));
}

void BgiScreen::MoveRel(int16_t dx, int16_t dy) {
    cpX_ = static_cast<int16_t>(cpX_ + dx);
    cpY_ = static_cast<int16_t>(cpY_ + dy);
}

int16_t BgiScreen::GetMaxX() { return MaxX; }
int16_t BgiScreen::GetMaxY() { return MaxY; }
int16_t BgiScreen::GetX() { return cpX_; }
int16_t BgiScreen::GetY() { return cpY_; }
uint32_t BgiScreen::GetColor() { return color_; }
uint32_t BgiScreen::GetPixel(int16_t x, int16_t y) {
    ++work_;
    // Relative to the viewport; 0 outside it, though the screen shows more.
    if (static_cast<unsigned>(x - clipLeft_) >= clipWidth_ ||
        static_cast<unsigned>(y - clipTop_) >= clipHeight_)
        return 0;
    return pixel(x + viewport_.x1, y + viewport_.y1);
}
uint32_t BgiScreen::GetMaxColor() { return 15; }

void BgiScreen::SetLineStyle(uint16_t lineStyle, uint16_t pattern, uint16_t thickness) {
    static constexpr uint16_t Styles[4] = {0xFFFF, 0xCCCC, 0xFC78, 0xF8F8};
    if (lineStyle > 4 || (thickness != 1 && thickness != 3)) return;
    linePattern_ = lineStyle == 4 ? pattern : Styles[lineStyle];
    solidStyle_ = lineStyle == 0;
    thick_ = thickness == 3;
}

void BgiScreen::Line(int16_t x1, int16_t y1, int16_t x2, int16_t y2) { drawLine(x1, y1, x2, y2); }

void BgiScreen::Rectangle(int16_t ax, int16_t ay, int16_t bx, int16_t by) {
    // With the corners ordered, each side starts one step past the corner it
    // leaves, so no corner is drawn twice; a side of zero length still steps
    // (backwards), which gives a flat or thin rectangle two stray pixels.
    const int16_t x1 = std::min(ax, bx), x2 = std::max(ax, bx), y1 = std::min(ay, by), y2 = std::max(ay, by);
    auto s16 = [](int v) { return static_cast<int16_t>(v); };
    if (linePattern_ != 0xFFFF || thick_) {
        drawStyledLine(x1, y1, s16(x2 - 1), y1);
        drawStyledLine(x2, y1, x2, s16(y2 - 1));
        drawStyledLine(x2, y2, s16(x1 + 1), y2);
        drawStyledLine(x1, y2, x1, s16(y1 + 1));
        return;
    }
    const int dx = x2 > x1 ? 1 : -1, dy = y2 > y1 ? 1 : -1;
    drawLine(s16(x1 + dx), y1, x2, y1);
    drawLine(x2, s16(y1 + dy), x2, y2);
    drawLine(s16(x2 - dx), y2, x1, y2);
    drawLine(x1, s16(y2 - dy), x1, y1);
}

void BgiScreen::Bar3D(int16_t ax, int16_t ay, int16_t bx, int16_t by, uint16_t depth, bool top) {
    const int16_t x1 = std::min(ax, bx), x2 = std::max(ax, bx), y1 = std::min(ay, by), y2 = std::max(ay, by);
    Bar(x1, y1, x2, y2);
    Rectangle(x1, y1, x2, y2);
    // The back is depth pixels right and up; its edges are drawn as lines,
    // in this order and direction, which decides where a pattern falls.
    // A depth of 0 still draws the top's, over the front, where a style's
    // bits or a thick line of one pixel (a column of three) light pixels the
    // front leaves out.
    auto s16 = [](int v) { return static_cast<int16_t>(v); };
    const int16_t backX = s16(x2 + depth), backY = s16(y1 - depth);
    if (top) {
        drawLine(x1, y1, s16(x1 + depth), backY);
        drawLine(s16(x1 + depth), backY, backX, backY);
        drawLine(backX, backY, x2, y1);
    }
    if (depth == 0) return;
    drawLine(backX, backY, backX, s16(y2 - depth));
    drawLine(backX, s16(y2 - depth), x2, y2);
}

void BgiScreen::drawStyledLine(int ax, int ay, int bx, int by) {
    ++work_;
    const uint8_t c = static_cast<uint8_t>(color_ & 15);
    int64_t x1 = ax, y1 = ay, x2 = bx, y2 = by;
    // A line is clipped as a line and counts from its clipped start, and a
    // thick one widened after; but a horizontal or vertical thick line in
    // the solid style is three lines, so one just off the screen still
    // lights its edge.
    if ((!thick_ || !solidStyle_ || (ax != bx && ay != by)) &&
        !clipLine(x1, y1, x2, y2, boxOf(clipLeft_, clipTop_, clipWidth_, clipHeight_)))
        return;
    int x = static_cast<int>(x1), y = static_cast<int>(y1);
    const int xe = static_cast<int>(x2), ye = static_cast<int>(y2);
    const int dx = std::abs(xe - x), dy = std::abs(ye - y);
    const int sx = xe >= x ? 1 : -1, sy = ye >= y ? 1 : -1;
    const bool xMajor = dx >= dy;
    work_ += static_cast<uint64_t>(std::max(dx, dy)) * (thick_ ? 3 : 1);
    int e = xMajor ? 2 * dy - dx : 2 * dx - dy;
    for (int k = 0; k <= std::max(dx, dy); ++k) {
        // The pattern's bit: by position on the screen on a horizontal or
        // vertical line, by count from the first end point on others.
        const int bit = dy == 0 ? (x + viewport_.x1) & 15 : dx == 0 ? (y + viewport_.y1) & 15 : k & 15;
        if ((linePattern_ >> (15 - bit)) & 1) {
            plot(x, y, c);
            if (thick_) {
                plot(xMajor ? x : x - 1, xMajor ? y - 1 : y, c);
                plot(xMajor ? x : x + 1, xMajor ? y + 1 : y, c);
            }
        }
        // Bresenham as drawLine steps it.
        if (xMajor) {
            if (e >= 0) {
                y += sy;
                e -= 2 * dx;
            }
            e += 2 * dy;
            x += sx;
        } else {
            if (e >= 0) {
                x += sx;
                e -= 2 * dy;
            }
            e += 2 * dx;
            y += sy;
        }
    }
}

void BgiScreen::drawLine(int ax, int ay, int bx, int by) {
    if (linePattern_ != 0xFFFF || thick_) {
        drawStyledLine(ax, ay, bx, by);
        return;
    }
    ++work_;
    int64_t x1 = ax, y1 = ay, x2 = bx, y2 = by;
    if (!clipLine(x1, y1, x2, y2, boxOf(clipLeft_, clipTop_, clipWidth_, clipHeight_))) return;
    const uint8_t c = static_cast<uint8_t>(color_ & 15);
    uint8_t* const origin = &pixels_[static_cast<std::size_t>(viewport_.y1 * Width + viewport_.x1)];
    int x = static_cast<int>(x1), y = static_cast<int>(y1);
    const int xe = static_cast<int>(x2), ye = static_cast<int>(y2);
    const int dx = std::abs(xe - x), dy = std::abs(ye - y);
    const int sx = xe >= x ? 1 : -1, sy = ye >= y ? 1 : -1;
    work_ += static_cast<uint64_t>(std::max(dx, dy));
    if (dy == 0) {
        std::memset(origin + y * Width + std::min(x, xe), c, static_cast<std::size_t>(dx + 1));
        return;
    }
    // Bresenham from the first end point; an error of exactly zero steps.
    if (dx >= dy) {
        int e = 2 * dy - dx;
        for (int i = 0; i <= dx; ++i) {
            origin[y * Width + x] = c;
            if (e >= 0) {
                y += sy;
                e -= 2 * dx;
            }
            e += 2 * dy;
            x += sx;
        }
    } else {
        int e = 2 * dx - dy;
        for (int i = 0; i <= dy; ++i) {
            origin[y * Width + x] = c;
            if (e >= 0) {
                x += sx;
                e -= 2 * dy;
            }
            e += 2 * dx;
            y += sy;
        }
    }
}

uint8_t BgiScreen::patternColour(int x, int y) const {
    const bool on = (Patterns[fillPattern_][y & 7] >> (7 - (x & 7))) & 1;
    return static_cast<uint8_t>(on ? fillColor_ & 15 : bkColor_ & 15);
}

void BgiScreen::Bar(int16_t ax, int16_t ay, int16_t bx, int16_t by) {
    ++work_;
    // On the screen, within the clipping box; the pattern is tiled from the
    // screen's origin, not the viewport's.
    const Box box = boxOf(clipLeft_, clipTop_, clipWidth_, clipHeight_);
    const int x1 = std::min(ax, bx) + viewport_.x1, x2 = std::max(ax, bx) + viewport_.x1;
    const int y1 = std::min(ay, by) + viewport_.y1, y2 = std::max(ay, by) + viewport_.y1;
    const int left = std::max<int>(x1, static_cast<int>(box.left) + viewport_.x1),
              right = std::min<int>(x2, static_cast<int>(box.right) + viewport_.x1);
    const int top = std::max<int>(y1, static_cast<int>(box.top) + viewport_.y1),
              bottom = std::min<int>(y2, static_cast<int>(box.bottom) + viewport_.y1);
    if (left > right || top > bottom) return;
    const bool solid = fillPattern_ == 1 || fillPattern_ == 12;
    work_ += 1 + static_cast<uint64_t>(right - left + 1) * static_cast<uint64_t>(bottom - top + 1) /
                     (solid ? SolidWorkShare : PatternWorkShare);
    for (int y = top; y <= bottom; ++y) {
        uint8_t* row = &pixels_[static_cast<std::size_t>(y * Width)];
        if (solid) {
            std::memset(row + left, fillColor_ & 15, static_cast<std::size_t>(right - left + 1));
        } else {
            for (int x = left; x <= right; ++x) row[x] = patternColour(x, y);
        }
    }
}

void BgiScreen::Circle(int16_t x, int16_t y, uint16_t radius) {
    if (radius == 0) {
        ++work_;
        return;
    }
    // A circle of radius 1 is its centre, thick or not.
    if (radius == 1)
        drawEllipse(x, y, 0, 360, radius, radius);
    else
        drawCurve(x, y, 0, 360, radius, radius);
}

void BgiScreen::Arc(int16_t x, int16_t y, uint16_t stAngle, uint16_t endAngle, uint16_t radius) {
    // Unlike Circle, Arc draws the centre when the radius is 0.
    drawCurve(x, y, stAngle, endAngle, radius, radius);
}

void BgiScreen::Ellipse(int16_t x, int16_t y, uint16_t stAngle, uint16_t endAngle, uint16_t xRadius,
                        uint16_t yRadius) {
    drawCurve(x, y, stAngle, endAngle, xRadius, yRadius);
}

void BgiScreen::drawCurve(int cx, int cy, unsigned stAngle, unsigned endAngle, unsigned xRadius,
                          unsigned yRadius) {
    if (!thick_) {
        drawEllipse(cx, cy, stAngle, endAngle, xRadius, yRadius);
        return;
    }
    // A thick curve is three thin ones, each sampled on its own: the radii
    // one less (left out when either is 0), as given, and one more in 16
    // bits (so 65535 becomes 0, drawn as 1). The line style plays no part.
    // The unit draws them in thin lines, and when a radius is 0 it leaves
    // the lines thin afterwards, until the next SetLineStyle.
    if (xRadius > 0 && yRadius > 0) drawEllipse(cx, cy, stAngle, endAngle, xRadius - 1, yRadius - 1);
    drawEllipse(cx, cy, stAngle, endAngle, xRadius, yRadius);
    drawEllipse(cx, cy, stAngle, endAngle, (xRadius + 1) & 0xFFFF, (yRadius + 1) & 0xFFFF);
    if (xRadius == 0 || yRadius == 0) thick_ = false;
}

void BgiScreen::drawEllipse(int cx, int cy, unsigned stAngle, unsigned endAngle, unsigned xRadius,
                            unsigned yRadius, std::vector<ArcPoint>* points) {
    const uint8_t c = static_cast<uint8_t>(color_ & 15);
    const unsigned a = xRadius == 0 ? 1 : xRadius, b = yRadius == 0 ? 1 : yRadius;
    ++work_;
    if (a == 1 && b == 1) {
        plot(cx, cy, c);
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
    work_ += 4 * static_cast<uint64_t>(steps + 1);
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
            plot(xr, yt, c);
            plot(xl, yt, c);
            plot(xl, yb, c);
            plot(xr, yb, c);
        } else {
            if (inRange(phi)) plot(xr, yt, c);
            if (inRange(180.0f - phi)) plot(xl, yt, c);
            if (inRange(180.0f + phi)) plot(xl, yb, c);
            if (inRange(360.0f - phi)) plot(xr, yb, c);
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

void BgiScreen::FloodFill(int16_t seedX, int16_t seedY, uint32_t border) {
    ++work_;
    // The seed is relative to the viewport, and the fill stays within the
    // clipping box: a seed outside it fills nothing.
    if (static_cast<unsigned>(seedX - clipLeft_) >= clipWidth_ ||
        static_cast<unsigned>(seedY - clipTop_) >= clipHeight_)
        return;
    const int sx = seedX + viewport_.x1, sy = seedY + viewport_.y1;
    const int boxLeft = clipLeft_ + viewport_.x1, boxTop = clipTop_ + viewport_.y1;
    const int boxRight = boxLeft + static_cast<int>(clipWidth_) - 1,
              boxBottom = boxTop + static_cast<int>(clipHeight_) - 1;
    const int b = border <= 15 ? static_cast<int>(border) : -1;
    const OpenTest open{b, b < 0 ? 0 : LowBits * static_cast<uint64_t>(b)};
    uint8_t* const px = pixels_.data();
    auto row = [&](int y) { return px + static_cast<std::size_t>(y) * Width; };
    const bool solid = fillPattern_ == 1 || fillPattern_ == 12;
    int minX = sx, maxX = sx, minY = sy, maxY = sy;

    // Painted pixels carry the Filled mark until the fill ends, which is how
    // a fill passes over pixels that already have its colour exactly once.
    auto paint = [&](int x1, int x2, int y) {
        uint8_t* r = row(y);
        if (solid) {
            std::memset(r + x1, (fillColor_ & 15) | Filled, static_cast<std::size_t>(x2 - x1 + 1));
        } else {
            for (int x = x1; x <= x2; ++x) r[x] = patternColour(x, y) | Filled;
        }
        minX = std::min(minX, x1);
        maxX = std::max(maxX, x2);
        minY = std::min(minY, y);
        maxY = std::max(maxY, y);
        // Work in units of roughly equal time: a solid span is a memset, about
        // eight pixels for one pixel of a line or a pattern.
        work_ += 1 + static_cast<uint64_t>(x2 - x1 + 1) / (solid ? 8 : 1);
    };
    seeds_.clear();
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
        runEnds(x1, x2, y + 1, below_);
        runEnds(x1, x2, y - 1, above_);
        std::size_t nb = 0, na = 0;
        while (nb < below_.size() || na < above_.size()) {
            const bool takeBelow = na == above_.size() || (nb < below_.size() && below_[nb] >= above_[na]);
            const int16_t x = takeBelow ? below_[nb++] : above_[na++];
            if (seeds_.size() < SeedCapacity)
                seeds_.push_back({x, static_cast<int16_t>(takeBelow ? y + 1 : y - 1)});
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

    while (!seeds_.empty()) {
        const Seed seed = seeds_.back();
        seeds_.pop_back();
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

namespace pasdraw {
namespace {

constexpr uint8_t DefaultFont[256][8] = {
#include "bgi/default_font.inc"
};

constexpr int GlyphSize = 8;

std::string_view shortString(ShortString s) { return s.bytes.substr(0, ShortString::MaxLength); }

}  // namespace

int textSizeAfter(int current, uint16_t font, uint16_t charSize) {
    if (font > 10) return current;
    if (charSize == 0) return 1;
    return font == 0 ? std::min<int>(charSize, 10) : charSize;
}

void BgiScreen::SetTextStyle(uint16_t font, uint16_t direction, uint16_t charSize) {
    if (font > 10) return;
    verticalText_ = direction == 1;
    textSize_ = textSizeAfter(textSize_, font, charSize);
}

void BgiScreen::SetTextJustify(uint16_t horiz, uint16_t vert) {
    if (horiz > 2 || vert > 2) return;
    justifyH_ = static_cast<uint8_t>(horiz);
    justifyV_ = static_cast<uint8_t>(vert);
}

void BgiScreen::OutTextXY(int16_t x, int16_t y, ShortString textString) {
    drawText(x, y, shortString(textString));
}

void BgiScreen::OutText(ShortString textString) {
    const std::string_view bytes = shortString(textString);
    drawText(cpX_, cpY_, bytes);
    if (!verticalText_ && justifyH_ == 0)
        cpX_ = static_cast<int16_t>(cpX_ + static_cast<int>(bytes.size()) * GlyphSize * textSize_);
}

void BgiScreen::drawText(int x, int y, std::string_view bytes) {
    const int s = textSize_;
    const int w = static_cast<int>(bytes.size()) * GlyphSize * s, h = GlyphSize * s;
    const uint8_t c = static_cast<uint8_t>(color_ & 15);
    work_ += 1 + bytes.size();
    // Glyph pixel (gx, gy) of the glyph at `index` is a square of s x s;
    // `square` gets its offsets along and across the string and fills what
    // of it falls on the screen, so a huge size costs no more than the
    // screen.
    const auto drawGlyphs = [&](auto square) {
        for (std::size_t index = 0; index < bytes.size(); ++index) {
            const uint8_t* glyph = DefaultFont[static_cast<uint8_t>(bytes[index])];
            const int along = static_cast<int>(index) * h;
            for (int gy = 0; gy < GlyphSize; ++gy)
                for (int gx = 0; gx < GlyphSize; ++gx)
                    if (glyph[gy] & (0x80 >> gx)) square(along + gx * s, gy * s);
        }
    };
    const auto fill = [&](int x1, int y1, int x2, int y2) {
        x1 = std::max(x1, clipLeft_);
        y1 = std::max(y1, clipTop_);
        x2 = std::min(x2, clipLeft_ + static_cast<int>(clipWidth_) - 1);
        y2 = std::min(y2, clipTop_ + static_cast<int>(clipHeight_) - 1);
        for (int py = y1; py <= y2; ++py)
            for (int px = x1; px <= x2; ++px)
                pixels_[static_cast<std::size_t>((py + viewport_.y1) * Width + px + viewport_.x1)] = c;
        if (x1 <= x2 && y1 <= y2)
            work_ += static_cast<uint64_t>(x2 - x1 + 1) * static_cast<uint64_t>(y2 - y1 + 1);
    };
    if (!verticalText_) {
        const int left = x - (justifyH_ == 0 ? 0 : justifyH_ == 1 ? w / 2 : w);
        const int top = y - (justifyV_ == 0 ? h : justifyV_ == 1 ? h / 2 : 0);
        drawGlyphs([&](int along, int across) {
            fill(left + along, top + across, left + along + s - 1, top + across + s - 1);
        });
    } else {
        const int left = x - (s - 1) - (justifyH_ == 1 ? h / 2 : h);
        const int bottom = y + (s - 1) + (justifyV_ == 0 ? 0 : justifyV_ == 1 ? w / 2 : w);
        drawGlyphs([&](int along, int across) {
            fill(left + across, bottom - along - s + 1, left + across + s - 1, bottom - along);
        });
    }
}

void BgiScreen::PieSlice(int16_t x, int16_t y, int16_t stAngle, int16_t endAngle, uint16_t radius) {
    // Its angles are smallints, drawn as the words with the same bits.
    drawFilledCurve(x, y, static_cast<uint16_t>(stAngle), static_cast<uint16_t>(endAngle), radius, radius,
                    true);
}

void BgiScreen::Sector(int16_t x, int16_t y, uint16_t stAngle, uint16_t endAngle, uint16_t xRadius,
                       uint16_t yRadius) {
    drawFilledCurve(x, y, stAngle, endAngle, xRadius, yRadius, true);
}

void BgiScreen::FillEllipse(int16_t x, int16_t y, uint16_t xRadius, uint16_t yRadius) {
    drawFilledCurve(x, y, 0, 360, xRadius, yRadius, false);
}

void BgiScreen::drawFilledCurve(int cx, int cy, unsigned stAngle, unsigned endAngle, unsigned xRadius,
                                unsigned yRadius, bool pie) {
    if (!thick_) {
        drawFilledArc(cx, cy, stAngle, endAngle, xRadius, yRadius, pie);
        return;
    }
    // A thick one is the thin one with radii one less, its sides drawn
    // thick from that one's ends, and then the arc's two outer curves of a
    // thick arc, in the angles put in order. Where the inner one is a single
    // point, a slice's sides shrink to a thick line from the centre to itself.
    if (xRadius > 0 && yRadius > 0) {
        drawFilledArc(cx, cy, stAngle, endAngle, xRadius - 1, yRadius - 1, pie);
        if (pie && xRadius <= 2 && yRadius <= 2) drawLine(cx, cy, cx, cy);
    }
    unsigned st = stAngle % 361, en = endAngle % 361;
    if (st > en) std::swap(st, en);
    drawEllipse(cx, cy, st, en, xRadius, yRadius);
    drawEllipse(cx, cy, st, en, (xRadius + 1) & 0xFFFF, (yRadius + 1) & 0xFFFF);
    if (xRadius > 0 && yRadius > 0) return;
    // With a radius of 0 there is no inside to fill, and the lines stay
    // thin from here on, as after a thick arc with one; a slice's sides are
    // drawn thin to where a thin slice's end (a radius of 0 counting as 1),
    // but not when both radii are 0.
    thick_ = false;
    if (!pie || (xRadius == 0 && yRadius == 0)) return;
    const unsigned a = std::max(xRadius, 1u), b = std::max(yRadius, 1u);
    auto endX = [&](unsigned angle) {
        return static_cast<int16_t>(cx + exactRound(a, radians(static_cast<float>(angle)), false));
    };
    auto endY = [&](unsigned angle) {
        return static_cast<int16_t>(cy - exactRound(b, radians(static_cast<float>(angle)), true));
    };
    drawLine(endX(st), endY(st), cx, cy);
    drawLine(cx, cy, endX(en), endY(en));
}

void BgiScreen::drawFilledArc(int cx, int cy, unsigned stAngle, unsigned endAngle, unsigned xRadius,
                              unsigned yRadius, bool pie) {
    // Unlike Arc, a slice never wraps through 0: its angles are swapped
    // into order after counting modulo 361.
    unsigned st = stAngle % 361, en = endAngle % 361;
    if (st > en) std::swap(st, en);
    arcPoints_.clear();
    drawEllipse(cx, cy, st, en, xRadius, yRadius, &arcPoints_);
    // With both radii 1 or less the ellipse is its centre, and so is the
    // slice; a slice whose angles fall between two samples keeps its sides.
    if ((xRadius <= 1 && yRadius <= 1) || (arcPoints_.empty() && !pie)) return;
    std::stable_sort(arcPoints_.begin(), arcPoints_.end(),
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
        arcPoints_.insert(arcPoints_.begin(), first);
        arcPoints_.push_back(last);
        arcPoints_.push_back({0.0f, cx, cy});
    }
    fillPolygon(arcPoints_, pie);
    // The outline goes over the fill: the arc's own points, then the sides,
    // the first towards the centre and the second away from it.
    const uint8_t c = static_cast<uint8_t>(color_ & 15);
    const std::size_t from = pie ? 1 : 0, to = arcPoints_.size() - (pie ? 2 : 0);
    for (std::size_t k = from; k < to; ++k) plot(arcPoints_[k].x, arcPoints_[k].y, c);
    if (pie) {
        drawLine(first.x, first.y, cx, cy);
        drawLine(cx, cy, last.x, last.y);
    }
}

void BgiScreen::fillPolygon(const std::vector<ArcPoint>& polygon, bool fromCentre) {
    for (auto& row : crossings_) row.clear();
    const std::size_t n = polygon.size();
    work_ += n;
    // Filled on the screen, within the clipping box; the points are relative
    // to the viewport.
    const int top = std::max(clipTop_ + viewport_.y1, 0), left = clipLeft_ + viewport_.x1;
    const int bottom = std::min(top + static_cast<int>(clipHeight_) - 1, MaxY),
              rightEdge = left + static_cast<int>(clipWidth_) - 1;
    const auto onScreen = [&](ArcPoint p) {
        return ArcPoint{p.angle, p.x + viewport_.x1, p.y + viewport_.y1};
    };
    // A crossing is kept as its x times 2^24 plus the number of the edge it
    // lies on (fewer than 2^24 of them), so that sorting puts crossings at
    // one x in the order of their edges, and a slice can tell its straight
    // sides (the last two edges) from its arc.
    constexpr int EdgeBits = 24;
    constexpr int64_t EdgeMask = (int64_t{1} << EdgeBits) - 1;
    if (fromCentre) edgeRuns_.resize(n);
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
            EdgeRun run{std::min(p.y, q.y), polygon[upper].x, polygon[upper].x};
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
            run.lo += viewport_.x1;
            run.hi += viewport_.x1;
            edgeRuns_[i] = run;
        }
        // Each edge takes the rows from its upper end to just above its lower one.
        const int y0 = std::max(std::min(p.y, q.y), top), y1 = std::min(std::max(p.y, q.y) - 1, bottom);
        for (int y = y0; y <= y1; ++y) {
            const int64_t x = p.x + int64_t{y - p.y} * (q.x - p.x) / (q.y - p.y);
            crossings_[static_cast<std::size_t>(y)].push_back(x * (EdgeMask + 1) + static_cast<int64_t>(i));
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
    for (int y = 0; y < Height; ++y) {
        std::vector<int64_t>& xs = crossings_[static_cast<std::size_t>(y)];
        std::sort(xs.begin(), xs.end());
        uint8_t* row = &pixels_[static_cast<std::size_t>(y * Width)];
        for (std::size_t k = 0; k + 1 < xs.size(); k += 2) {
            const int64_t x1 = xs[k] >> EdgeBits, x2 = xs[k + 1] >> EdgeBits;
            // Two crossings at the same x fill nothing, not that one pixel.
            if (x1 == x2) continue;
            int64_t from = x1, to = x2;
            if (fromCentre) {
                const std::size_t e1 = edgeOf(xs[k]), e2 = edgeOf(xs[k + 1]);
                if (!isSide(e1)) from = (edgeRuns_[e1].y == y ? edgeRuns_[e1].hi : from) + 1;
                if (!isSide(e2)) to = (edgeRuns_[e2].y == y ? edgeRuns_[e2].lo : to) - 1;
                // In the end point's row the last arc edge keeps its inner
                // pixel, as a side does.
                if (y == end.y && e1 + 3 == n) from = edgeRuns_[e1].y == y ? edgeRuns_[e1].hi : x1;
                if (y == end.y && e2 + 3 == n) to = edgeRuns_[e2].y == y ? edgeRuns_[e2].lo : x2;
                if (from >= to) continue;
                const bool startEdge1 = e1 == 0 || e1 + 1 == n, startEdge2 = e2 == 0 || e2 + 1 == n;
                if (startRowOpen && y == start.y &&
                    ((e1 + 2 == n && startEdge2) || (e2 + 2 == n && startEdge1)))
                    continue;
            }
            const int lo = static_cast<int>(std::max<int64_t>(from, left));
            const int hi = static_cast<int>(std::min<int64_t>(to, rightEdge));
            if (lo > hi) continue;
            work_ += 1 + static_cast<uint64_t>(hi - lo + 1);
            for (int x = lo; x <= hi; ++x) row[x] = patternColour(x, y);
        }
    }
}

}  // namespace pasdraw
