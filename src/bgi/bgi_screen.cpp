#include "bgi/bgi_screen.h"

#include <algorithm>
#include <cstring>

#include "bgi/curve.h"
#include "bgi/line.h"

namespace pasdraw {

BgiScreen::BgiScreen() = default;

uint8_t BgiScreen::pixel(int x, int y) const {
    if (static_cast<unsigned>(x) >= Width || static_cast<unsigned>(y) >= Height) return 0;
    return s_.pixels[static_cast<std::size_t>(y * Width + x)];
}

uint32_t BgiScreen::windowRgb(uint8_t index) const {
    index &= 15;
    return index == 0 ? backgroundRgb(s_.shownBkColor) : WindowPalette[index];
}

void BgiScreen::SetColor(uint32_t color) { s_.color = color; }

void BgiScreen::SetBkColor(uint32_t color) {
    s_.bkColor = color;
    // Past the end of the 256-entry table the unit leaves the palette as it was.
    if (color < VgaColours) s_.shownBkColor = static_cast<uint16_t>(color);
}

void BgiScreen::SetFillStyle(uint16_t pattern, uint32_t color) {
    // The unit rejects the whole call, keeping the old pattern and colour.
    if (pattern > LastFillPattern || color > 15) return;
    s_.fillPattern = pattern;
    s_.fillColor = static_cast<uint16_t>(color);
}

void BgiScreen::ClearDevice() {
    s_.pixels.fill(static_cast<uint8_t>(s_.bkColor & 15));
    s_.cpX = 0;
    s_.cpY = 0;
    s_.work += s_.pixels.size() / SolidWorkShare;
    if (s_.viewport.x1 != 0 || s_.viewport.y1 != 0) {
        s_.viewport = viewportAfterClearDevice(s_.viewport);
        s_.updateClip();
    }
}

void BgiScreen::SetViewPort(int16_t x1, int16_t y1, int16_t x2, int16_t y2, bool clip) {
    // The unit refuses a viewport off the screen or turned over, and then
    // leaves the current point too as it was.
    if (!validViewport(x1, y1, x2, y2)) return;
    s_.viewport = {x1, y1, x2, y2, clip};
    s_.updateClip();
    s_.cpX = 0;
    s_.cpY = 0;
}

void BgiScreen::ClearViewPort() {
    // In the background index, whatever the fill style, and the current point
    // goes to the viewport's corner.
    s_.cpX = 0;
    s_.cpY = 0;
    ++s_.work;
    if (s_.viewport.x2 < s_.viewport.x1 || s_.viewport.y2 < s_.viewport.y1) return;
    const auto width = static_cast<std::size_t>(s_.viewport.x2 - s_.viewport.x1 + 1);
    for (int y = s_.viewport.y1; y <= s_.viewport.y2; ++y)
        std::memset(&s_.pixels[static_cast<std::size_t>(y * Width + s_.viewport.x1)], s_.bkColor & 15, width);
    s_.work += width * static_cast<std::size_t>(s_.viewport.y2 - s_.viewport.y1 + 1) / SolidWorkShare;
}

void BgiScreen::PutPixel(int16_t x, int16_t y, uint32_t color) {
    ++s_.work;
    s_.plot(x, y, static_cast<uint8_t>(color & 15));
}

void BgiScreen::MoveTo(int16_t x, int16_t y) {
    s_.cpX = x;
    s_.cpY = y;
}

void BgiScreen::LineTo(int16_t x, int16_t y) {
    drawLine(s_, s_.cpX, s_.cpY, x, y);
    s_.cpX = x;
    s_.cpY = y;
}

void BgiScreen::LineRel(int16_t dx, int16_t dy) {
    LineTo(static_cast<int16_t>(s_.cpX + dx), static_cast<int16_t>(s_.cpY + dy));
}

void BgiScreen::MoveRel(int16_t dx, int16_t dy) {
    s_.cpX = static_cast<int16_t>(s_.cpX + dx);
    s_.cpY = static_cast<int16_t>(s_.cpY + dy);
}

int16_t BgiScreen::GetMaxX() { return Width - 1; }
int16_t BgiScreen::GetMaxY() { return Height - 1; }
int16_t BgiScreen::GetX() { return s_.cpX; }
int16_t BgiScreen::GetY() { return s_.cpY; }
uint32_t BgiScreen::GetColor() { return s_.color; }
uint32_t BgiScreen::GetPixel(int16_t x, int16_t y) {
    ++s_.work;
    // Relative to the viewport; 0 outside it, though the screen shows more.
    if (!s_.inClip(x, y)) return 0;
    return pixel(x + s_.viewport.x1, y + s_.viewport.y1);
}
uint32_t BgiScreen::GetMaxColor() { return 15; }

void BgiScreen::SetLineStyle(uint16_t lineStyle, uint16_t pattern, uint16_t thickness) {
    static constexpr uint16_t Styles[4] = {0xFFFF, 0xCCCC, 0xFC78, 0xF8F8};
    if (lineStyle > 4 || (thickness != 1 && thickness != 3)) return;
    s_.linePattern = lineStyle == 4 ? pattern : Styles[lineStyle];
    s_.solidStyle = lineStyle == 0;
    s_.thick = thickness == 3;
}

void BgiScreen::Line(int16_t x1, int16_t y1, int16_t x2, int16_t y2) { drawLine(s_, x1, y1, x2, y2); }

void BgiScreen::Rectangle(int16_t ax, int16_t ay, int16_t bx, int16_t by) {
    // With the corners ordered, each side starts one step past the corner it
    // leaves, so no corner is drawn twice; a side of zero length still steps
    // (backwards), which gives a flat or thin rectangle two stray pixels.
    const int16_t x1 = std::min(ax, bx), x2 = std::max(ax, bx), y1 = std::min(ay, by), y2 = std::max(ay, by);
    auto s16 = [](int v) { return static_cast<int16_t>(v); };
    if (s_.linePattern != 0xFFFF || s_.thick) {
        drawLine(s_, x1, y1, s16(x2 - 1), y1);
        drawLine(s_, x2, y1, x2, s16(y2 - 1));
        drawLine(s_, x2, y2, s16(x1 + 1), y2);
        drawLine(s_, x1, y2, x1, s16(y1 + 1));
        return;
    }
    const int dx = x2 > x1 ? 1 : -1, dy = y2 > y1 ? 1 : -1;
    drawLine(s_, s16(x1 + dx), y1, x2, y1);
    drawLine(s_, x2, s16(y1 + dy), x2, y2);
    drawLine(s_, s16(x2 - dx), y2, x1, y2);
    drawLine(s_, x1, s16(y2 - dy), x1, y1);
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
        drawLine(s_, x1, y1, s16(x1 + depth), backY);
        drawLine(s_, s16(x1 + depth), backY, backX, backY);
        drawLine(s_, backX, backY, x2, y1);
    }
    if (depth == 0) return;
    drawLine(s_, backX, backY, backX, s16(y2 - depth));
    drawLine(s_, backX, s16(y2 - depth), x2, y2);
}

void BgiScreen::Bar(int16_t ax, int16_t ay, int16_t bx, int16_t by) {
    ++s_.work;
    // On the screen, within the clipping box; the pattern is tiled from the
    // screen's origin, not the viewport's.
    const Box box = clipBox(s_);
    const int x1 = std::min(ax, bx) + s_.viewport.x1, x2 = std::max(ax, bx) + s_.viewport.x1;
    const int y1 = std::min(ay, by) + s_.viewport.y1, y2 = std::max(ay, by) + s_.viewport.y1;
    const int left = std::max<int>(x1, static_cast<int>(box.left) + s_.viewport.x1),
              right = std::min<int>(x2, static_cast<int>(box.right) + s_.viewport.x1);
    const int top = std::max<int>(y1, static_cast<int>(box.top) + s_.viewport.y1),
              bottom = std::min<int>(y2, static_cast<int>(box.bottom) + s_.viewport.y1);
    if (left > right || top > bottom) return;
    const bool solid = solidFill(s_);
    s_.work += 1 + static_cast<uint64_t>(right - left + 1) * static_cast<uint64_t>(bottom - top + 1) /
                       (solid ? SolidWorkShare : PatternWorkShare);
    for (int y = top; y <= bottom; ++y) {
        uint8_t* row = &s_.pixels[static_cast<std::size_t>(y * Width)];
        if (solid) {
            std::memset(row + left, s_.fillColor & 15, static_cast<std::size_t>(right - left + 1));
        } else {
            fillSpan(s_, row, left, right, y);
        }
    }
}

void BgiScreen::Circle(int16_t x, int16_t y, uint16_t radius) {
    if (radius == 0) {
        ++s_.work;
        return;
    }
    // A circle of radius 1 is its centre, thick or not.
    if (radius == 1)
        drawEllipse(s_, x, y, 0, 360, radius, radius);
    else
        drawCurve(s_, x, y, 0, 360, radius, radius);
}

void BgiScreen::Arc(int16_t x, int16_t y, uint16_t stAngle, uint16_t endAngle, uint16_t radius) {
    // Unlike Circle, Arc draws the centre when the radius is 0.
    drawCurve(s_, x, y, stAngle, endAngle, radius, radius);
}

void BgiScreen::Ellipse(int16_t x, int16_t y, uint16_t stAngle, uint16_t endAngle, uint16_t xRadius,
                        uint16_t yRadius) {
    drawCurve(s_, x, y, stAngle, endAngle, xRadius, yRadius);
}

void BgiScreen::FloodFill(int16_t x, int16_t y, uint32_t border) { floodFill(s_, flood_, x, y, border); }

namespace {

std::string_view shortString(ShortString s) { return s.bytes.substr(0, ShortString::MaxLength); }

}  // namespace

void BgiScreen::SetTextStyle(uint16_t font, uint16_t direction, uint16_t charSize) {
    if (font > 10) return;
    s_.verticalText = direction == 1;
    s_.textSize = textSizeAfter(s_.textSize, font, charSize);
}

void BgiScreen::SetTextJustify(uint16_t horiz, uint16_t vert) {
    if (horiz > 2 || vert > 2) return;
    s_.justifyH = static_cast<uint8_t>(horiz);
    s_.justifyV = static_cast<uint8_t>(vert);
}

void BgiScreen::OutTextXY(int16_t x, int16_t y, ShortString textString) {
    drawText(s_, x, y, shortString(textString));
}

void BgiScreen::OutText(ShortString textString) {
    const std::string_view bytes = shortString(textString);
    drawText(s_, s_.cpX, s_.cpY, bytes);
    if (!s_.verticalText && s_.justifyH == 0)
        s_.cpX = static_cast<int16_t>(s_.cpX + static_cast<int>(bytes.size()) * GlyphSize * s_.textSize);
}

void BgiScreen::PieSlice(int16_t x, int16_t y, int16_t stAngle, int16_t endAngle, uint16_t radius) {
    // Its angles are smallints, drawn as the words with the same bits.
    drawFilledCurve(s_, slice_, x, y, static_cast<uint16_t>(stAngle), static_cast<uint16_t>(endAngle), radius,
                    radius, true);
}

void BgiScreen::Sector(int16_t x, int16_t y, uint16_t stAngle, uint16_t endAngle, uint16_t xRadius,
                       uint16_t yRadius) {
    drawFilledCurve(s_, slice_, x, y, stAngle, endAngle, xRadius, yRadius, true);
}

void BgiScreen::FillEllipse(int16_t x, int16_t y, uint16_t xRadius, uint16_t yRadius) {
    drawFilledCurve(s_, slice_, x, y, 0, 360, xRadius, yRadius, false);
}

}  // namespace pasdraw
