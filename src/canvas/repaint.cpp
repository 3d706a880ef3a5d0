#include "canvas/repaint.h"

#include "canvas/arc_angles.h"
#include "model/numeric.h"
#include "model/palette.h"

namespace pasdraw {

int32_t pxX(const Surface& surface, float twips) { return twipsToPixel(twips, surface.TwipsPerPixelX()); }
int32_t pxY(const Surface& surface, float twips) { return twipsToPixel(twips, surface.TwipsPerPixelY()); }

namespace {
float f(int16_t v) { return static_cast<float>(v); }

void paint(Surface& surface, const LineRecord& r) {
    surface.Line(f(r.X1), f(r.Y1), f(r.X2), f(r.Y2), r.ColorRGB);
}

// The fill style is transparent here: every step that makes it solid sets it
// back before it ends, so rectangles come out as outlines.
void paint(Surface& surface, const RectangleRecord& r) {
    surface.LineBox(f(r.X1), f(r.Y1), f(r.X2), f(r.Y2), r.ColorRGB);
}

void paint(Surface& surface, const EllipseRecord& e) {
    surface.setForeColor(e.ColorRGB);
    // Release corner first, press corner second, as the drag made them.
    const int32_t left = pxX(surface, f(e.X2)), top = pxY(surface, f(e.Y2));
    const int32_t right = pxX(surface, f(e.X1)), bottom = pxY(surface, f(e.Y1));
    // An ellipse read back from program text may be only part of one; the
    // canvas shows the part the program draws. Its angles are words there.
    const auto start = static_cast<uint16_t>(e.StartAngle), end = static_cast<uint16_t>(e.EndAngle);
    if (ArcAngles(start, end).whole())
        surface.Ellipse(left, top, right, bottom);
    else
        surface.EllipseArc(left, top, right, bottom, start, end);
}

void paint(Surface& surface, const CircleRecord& c) {
    surface.Circle(f(c.X), f(c.Y), f(c.Radius), c.ColorRGB);
}

void paint(Surface& surface, const FillRecord& fill) {
    surface.setFillStyle(FillSolid);
    surface.setForeColor(fill.ColorRGB);
    surface.setFillColor(fill.ColorRGB);
    surface.FloodFill(pxX(surface, f(fill.X)), pxY(surface, f(fill.Y)), fill.BorderRGB);
    surface.Refresh();
    surface.setFillStyle(FillTransparent);
}
}  // namespace

void drowob(const Picture& picture, Surface& surface) {
    surface.setFillColor(Black);
    surface.Cls();
    surface.LineBox(0.0f, 0.0f, static_cast<float>(CanvasWidth), static_cast<float>(CanvasHeight), White);
    // Fills come last in the kind order, so every outline of the border colour
    // is on the canvas before they flood.
    picture.forEachList([&surface](Kind kind, const auto& list) {
        if (kind == Kind::Fill) surface.beginFillReplay();
        for (const auto& r : list.records()) paint(surface, r);
        if (kind == Kind::Fill) surface.endFillReplay();
    });
}

}  // namespace pasdraw
