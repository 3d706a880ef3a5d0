// The graph unit's drawing routines as one interface, with every parameter in
// the unit's own type: smallint coordinates, word colours, angles and radii.
// The caller converts its integers the way a Pascal call converts them (by
// truncation to 16 bits), so an implementation sees exactly what the compiled
// program would hand the unit. The preview's screen draws these calls; a
// recorder can turn them into picture records instead.
#pragma once

#include <cstdint>

namespace pasdraw {

class BgiGraphics {
public:
    virtual ~BgiGraphics() = default;

    // Where in the text the next call stands (1-based), for implementations
    // that report on calls; the screen ignores it.
    virtual void at(int line, int column) {
        (void)line;
        (void)column;
    }

    virtual void setcolor(uint16_t color) = 0;
    virtual void setbkcolor(uint16_t color) = 0;
    virtual void setfillstyle(uint16_t pattern, uint16_t color) = 0;
    virtual void cleardevice() = 0;

    virtual void putpixel(int16_t x, int16_t y, uint16_t color) = 0;
    virtual void moveto(int16_t x, int16_t y) = 0;
    virtual void lineto(int16_t x, int16_t y) = 0;
    virtual void line(int16_t x1, int16_t y1, int16_t x2, int16_t y2) = 0;
    virtual void rectangle(int16_t x1, int16_t y1, int16_t x2, int16_t y2) = 0;
    virtual void bar(int16_t x1, int16_t y1, int16_t x2, int16_t y2) = 0;
    virtual void circle(int16_t x, int16_t y, uint16_t radius) = 0;
    virtual void arc(int16_t x, int16_t y, uint16_t stAngle, uint16_t endAngle, uint16_t radius) = 0;
    virtual void ellipse(int16_t x, int16_t y, uint16_t stAngle, uint16_t endAngle, uint16_t xRadius,
                         uint16_t yRadius) = 0;
    virtual void floodfill(int16_t x, int16_t y, uint16_t border) = 0;

    // Work done so far, in pixels written or visited (a recorder may count
    // calls). The interpreter stops a runaway program on this and on its own
    // statement count, so a loop of full-screen fills cannot freeze the editor.
    virtual uint64_t work() const = 0;
};

}  // namespace pasdraw
