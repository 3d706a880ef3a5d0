// A label: text in the 8 x 8 default font, its top left corner at the
// click, in the colour, text size and direction.
#pragma once

#include <algorithm>
#include <cmath>
#include <cstddef>
#include <string_view>
#include <vector>

#include "canvas/surface.h"
#include "kinds/shape_geometry.h"
#include "kinds/statement.h"
#include "model/picture.h"

namespace pasdraw {

struct LabelKind {
    using Record = LabelRecord;

    // Recovery writes the fields in declaration order, the text as its
    // character codes.
    template <class R, class F>
    static void fields(R& r, F&& f) {
        f(r.X), f(r.Y), f(r.Length);
        for (auto& c : r.Text) f(c);
        f(r.ColorIndex), f(r.ColorRGB), f(r.TextSize), f(r.Vertical);
    }

    static std::string_view text(const LabelRecord& r) {
        return {r.Text.data(), static_cast<std::size_t>(std::clamp<int>(r.Length, 0, MaxLabelLength))};
    }

    static void paint(Surface& surface, const LabelRecord& r) {
        surface.GraphText(toScreen(r.X), toScreen(r.Y), text(r), r.ColorRGB, r.TextSize, r.Vertical != 0);
    }

    static void write(LineBuffer& out, const CoordinateStyle& style, const LabelRecord& r) {
        outlineColour(out, r.ColorIndex);
        out.text(pascalName(GraphRoutine::SetTextStyle));
        out.text("(0,");
        out.number(r.Vertical ? 1 : 0);
        out.text(",");
        out.number(r.TextSize);
        out.text(");");
        out.text(pascalName(GraphRoutine::OutTextXY));
        out.text("(");
        writePoint(out, style, toScreen(r.X), toScreen(r.Y));
        out.text(",'");
        for (char c : text(r)) {
            if (c == '\'')
                out.text("''");
            else
                out.text(std::string_view(&c, 1));
        }
        out.text("');");
    }
    template <class Take>
    static void originPoints(const LabelRecord& r, Take&& take) {
        take(r.X, r.Y);
    }

    // The box the text covers on the screen, in twips: 80 twips a glyph
    // pixel row at size 1.
    static int width(const LabelRecord& r) {
        return static_cast<int>(text(r).size()) * 80 * std::max<int>(r.TextSize, 1);
    }
    static int height(const LabelRecord& r) { return 80 * std::max<int>(r.TextSize, 1); }

    // The box its text covers, in twips, as the screen draws it. A vertical
    // label reads upwards: its glyphs' squares of s x s pixels (s the text
    // size) lie in the columns from h + s - 1 to s left of the anchor and the
    // rows from s to the length + s - 1 below it, h the glyph height.
    struct Box {
        int left, top, right, bottom;
    };
    // The anchor is the pixel its statement writes.
    static Box box(const LabelRecord& r) {
        const int x = 10 * toScreen(r.X), y = 10 * toScreen(r.Y);
        if (!r.Vertical) return {x, y, x + width(r), y + height(r)};
        const int s = 10 * std::max<int>(r.TextSize, 1);
        return {x - height(r) - s + 10, y + s, x - s + 10, y + width(r) + s};
    }

    // Near anywhere over its text.
    static double distance(const LabelRecord& r, double x, double y, double) {
        const Box b = box(r);
        const bool inside = x >= b.left && x <= b.right && y >= b.top && y <= b.bottom;
        return inside ? 0.0 : boxDistance(x, y, b.left, b.top, b.right, b.bottom);
    }
    // The anchor, its top left corner.
    static std::vector<HandlePoint> handles(const LabelRecord& r) { return {{r.X, r.Y}}; }
    static void move(LabelRecord& r, int dx, int dy) {
        shift(r.X, dx);
        shift(r.Y, dy);
    }
    static void moveHandle(LabelRecord& r, int, int dx, int dy) { move(r, dx, dy); }

    // The mouse tool is a click; the text comes from the window's editor.
    static bool preview(Surface&, float, float, float, float, int32_t) { return false; }
    static constexpr bool refreshAfterPreview = false;
    // The tool's gesture: the window asks for the text at the click.
    static constexpr bool takesText = true;
    static LabelRecord released(const EditorState&, float x, float y) {
        LabelRecord r{};
        r.X = toStored(x);
        r.Y = toStored(y);
        return r;
    }
};

}  // namespace pasdraw
