// The drawing operations the editor calls on its window: the window's own
// methods in twips (Line, Circle, Cls, Refresh), the pen and brush attributes,
// and the two device-context calls in device pixels (Ellipse, FloodFill).
#pragma once

#include <cstdint>
#include <string_view>

#include "model/kinds.h"
#include "model/numeric.h"

namespace pasdraw {

inline constexpr int16_t FillSolid = 0;
inline constexpr int16_t FillTransparent = 1;

class Surface {
public:
    virtual ~Surface() = default;

    // Window methods; coordinates and radius in twips.
    virtual void Line(float x1, float y1, float x2, float y2, int32_t colour) = 0;
    // Box outline; the interior takes FillColor only while FillStyle is solid.
    virtual void LineBox(float x1, float y1, float x2, float y2, int32_t colour) = 0;
    virtual void Circle(float x, float y, float radius, int32_t colour) = 0;
    virtual void Cls() = 0;
    // Shows the current image in the window.
    virtual void Refresh() = 0;

    virtual void setForeColor(int32_t rgb) = 0;
    virtual void setFillColor(int32_t rgb) = 0;
    virtual void setFillStyle(int16_t style) = 0;

    // Device-context calls, in device pixels. Ellipse: the ellipse inscribed in
    // the box, pen = ForeColor, brush = FillColor/FillStyle; the corners may come
    // in either order. FloodFill: the 4-connected area around (x, y) bounded by
    // pixels of exactly `border` gets the brush colour.
    virtual void Ellipse(int32_t left, int32_t top, int32_t right, int32_t bottom) = 0;
    // The part of Ellipse's outline between two angles, read as ArcAngles
    // reads them, in ForeColor; an arc is never filled.
    virtual void EllipseArc(int32_t left, int32_t top, int32_t right, int32_t bottom, uint16_t startAngle,
                            uint16_t endAngle) = 0;
    virtual void FloodFill(int32_t x, int32_t y, int32_t border) = 0;
    // FloodFill's brush pattern while FillStyle is solid: one of the graph
    // unit's fill patterns 0..11, tiled on the unit's pixels, its 0 bits in
    // black. SolidPattern paints every pixel in FillColor.
    virtual void setFillPattern(int16_t pattern) = 0;

    // The graph unit's own drawing, for what the window methods above cannot
    // show: the shapes and styles that came with the unit's statements. The
    // numbers are in the unit's pixels (10 twips each), as the shape's
    // statement passes them; the surface draws what the unit draws for them
    // and shows it at its own scale, several unit pixels on one device pixel
    // when it shrinks (a thin line never vanishes), a block of device pixels
    // when it enlarges. Line styles are SolidLine..LastLineStyle, widths
    // NormalWidth or ThickWidth, patterns 0..LastPattern.
    virtual void GraphLine(int x1, int y1, int x2, int y2, int32_t colour, int16_t lineStyle,
                           int16_t lineWidth) = 0;
    // A closed outline through n corners: a GraphLine from each corner to the
    // next, the last back to the first.
    virtual void GraphPolygon(const int* xs, const int* ys, int n, int32_t colour, int16_t lineStyle,
                              int16_t lineWidth) {
        for (int i = 0; i < n; ++i) {
            const int next = (i + 1) % n;
            GraphLine(xs[i], ys[i], xs[next], ys[next], colour, lineStyle, lineWidth);
        }
    }
    virtual void GraphRectangle(int x1, int y1, int x2, int y2, int32_t colour, int16_t lineStyle,
                                int16_t lineWidth) = 0;
    // No outline: the pattern's 1 bits in the colour, its 0 bits in black.
    virtual void GraphBar(int x1, int y1, int x2, int y2, int32_t colour, int16_t pattern) = 0;
    virtual void GraphCircle(int x, int y, int radius, int32_t colour, int16_t lineWidth) = 0;
    virtual void GraphArc(int x, int y, int startAngle, int endAngle, int radius, int32_t colour,
                          int16_t lineWidth) = 0;
    virtual void GraphEllipse(int x, int y, int startAngle, int endAngle, int xRadius, int yRadius,
                              int32_t colour, int16_t lineWidth) = 0;
    // The outline thin and solid in the colour, filled like a bar.
    virtual void GraphPieSlice(int x, int y, int startAngle, int endAngle, int radius, int32_t colour,
                               int16_t pattern) = 0;
    // In the 8 x 8 default font, size 1..10, its top left corner at (x, y)
    // as the unit places it; vertical text reads bottom to top.
    virtual void GraphText(int x, int y, std::string_view text, int32_t colour, int16_t size,
                           bool vertical) = 0;

    // The repaint brackets its run of fills with these, so that a surface may
    // replay many floods of one image faster than one by one. The image seen
    // after the end is exactly the one-by-one result; in between it may lag.
    virtual void beginFillReplay() {}
    virtual void endFillReplay() {}

    // Twips per device pixel of the screen.
    virtual float TwipsPerPixelX() const = 0;
    virtual float TwipsPerPixelY() const = 0;
};

// Twips to a device pixel for the device-context calls, with the screen factor
// read afresh at each conversion.
inline int32_t pxX(const Surface& surface, float twips) {
    return twipsToPixel(twips, surface.TwipsPerPixelX());
}
inline int32_t pxY(const Surface& surface, float twips) {
    return twipsToPixel(twips, surface.TwipsPerPixelY());
}

}  // namespace pasdraw
