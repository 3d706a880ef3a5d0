// The drawing operations the editor calls on its window: the window's own
// methods in twips (Line, Circle, Cls, Refresh), the pen and brush attributes,
// and the two device-context calls in device pixels (Ellipse, FloodFill).
#pragma once

#include <cstdint>

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
