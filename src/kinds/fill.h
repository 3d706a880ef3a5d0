// A fill: a flood from a seed point in the fill colour, up to pixels of the
// border colour.
#pragma once

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <vector>

#include "canvas/repaint.h"
#include "canvas/surface.h"
#include "kinds/shape_geometry.h"
#include "kinds/statement.h"
#include "model/palette.h"
#include "model/picture.h"

namespace pasdraw {

struct FillKind {
    using Record = FillRecord;

    // Recovery writes the fields in declaration order; the style fields,
    // which came last, are the ones a version-1 recovery file lacks.
    template <class R, class F>
    static void fields(R& r, F&& f) {
        f(r.X), f(r.Y), f(r.ColorIndex), f(r.ColorRGB), f(r.BorderIndex), f(r.BorderRGB), f(r.Pattern);
    }

    static void paint(Surface& surface, const FillRecord& fill) {
        flood(surface, fill.X, fill.Y, fill.ColorRGB, fill.BorderRGB, fill.Pattern);
    }

    static void write(LineBuffer& out, const CoordinateStyle& style, const FillRecord& r) {
        fillStyle(out, r.Pattern, r.ColorIndex);
        out.text(pascalName(GraphRoutine::FloodFill));
        out.text("(");
        writePoint(out, style, toScreen(r.X), toScreen(r.Y));
        out.text(",");
        out.number(r.BorderIndex);
        out.text(");");
    }
    template <class Take>
    static void originPoints(const FillRecord& r, Take&& take) {
        take(r.X, r.Y);
    }

    // Near its seed point, which is also its one handle.
    static double distance(const FillRecord& r, double x, double y, double) {
        return std::hypot(x - r.X, y - r.Y);
    }
    static std::vector<HandlePoint> handles(const FillRecord& r) { return {{r.X, r.Y}}; }
    static void move(FillRecord& r, int dx, int dy) {
        shift(r.X, dx);
        shift(r.Y, dy);
    }
    static void moveHandle(FillRecord& r, int, int dx, int dy) { move(r, dx, dy); }

    // The mouse tool is a click: no rubber band, and the record is made at
    // the release point when it is stored.
    static bool preview(Surface&, float, float, float, float, int32_t) { return false; }
    static constexpr bool refreshAfterPreview = false;
    static FillRecord released(const EditorState&, float x, float y) {
        FillRecord r{};
        r.X = toStored(x);
        r.Y = toStored(y);
        return r;
    }
    // The fill goes straight onto the current image, seeded at the release
    // point: no repaint from the model. Unless the picture holds shapes that
    // are drawn after the fills, over them: the fill has to go under those,
    // which only a repaint gives.
    static void showCommitted(Surface& surface, const Picture& p, float x, float y) {
        bool onTop = false;
        for (auto k = std::find(WalkOrder.begin(), WalkOrder.end(), Kind::Fill) + 1; k != WalkOrder.end();
             ++k)
            onTop = onTop || p.count(*k) > 0;
        if (onTop) {
            drowob(p, surface);
            return;
        }
        const EditorState& s = p.state;
        flood(surface, x, y, s.CurrentColorRGB, s.LastColorRGB, s.FillPattern);
    }

    // floodfill(x, y, border) after setfillstyle(1, colour).
    static FillRecord imported(int64_t x, int64_t y, uint16_t colour, uint16_t border) {
        FillRecord r{};
        r.X = screenToTwips(x);
        r.Y = screenToTwips(y);
        r.ColorIndex = static_cast<int16_t>(colour);
        r.ColorRGB = paletteRgb(colour);
        r.BorderIndex = static_cast<int16_t>(border);
        r.BorderRGB = paletteRgb(border);
        return r;
    }

private:
    static void flood(Surface& surface, float x, float y, int32_t colour, int32_t border, int16_t pattern) {
        surface.setFillStyle(FillSolid);
        surface.setForeColor(colour);
        surface.setFillColor(colour);
        // Only a pattern is set, and set back, so that a solid fill makes the calls it made before patterns.
        if (pattern != SolidPattern) surface.setFillPattern(pattern);
        surface.FloodFill(pxX(surface, x), pxY(surface, y), border);
        if (pattern != SolidPattern) surface.setFillPattern(SolidPattern);
        surface.Refresh();
        surface.setFillStyle(FillTransparent);
    }
};

}  // namespace pasdraw
