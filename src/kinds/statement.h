// What the kinds' statements are written with: one text line formatted into
// a fixed buffer, and the way the three text forms write a point. Every
// statement layout is shared by all three forms, which differ only in how a
// coordinate is written and what is subtracted from it.
#pragma once

#include <array>
#include <charconv>
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <string_view>

#include "bgi/routines.h"
#include "model/kinds.h"

namespace pasdraw {

// A canvas coordinate on the 640 x 480 screen: v / 10, truncated toward zero.
constexpr int16_t toScreen(int16_t v) { return static_cast<int16_t>(v / 10); }

struct CoordinateStyle {
    std::string_view xOpen;  // before an X value: "", "XK+" or "XK+("
    std::string_view yOpen;  // before a Y value
    std::string_view close;  // after either: "" or ")"
    // 64-bit so that a slider position anywhere in the 32-bit range can be
    // subtracted without overflow.
    int64_t XK = 0;
    int64_t YK = 0;
    // Typical bytes per record, only to size the text up front.
    std::size_t recordEstimate = 0;
};

// One text line is formatted into a fixed buffer and then appended in one go,
// which keeps the per-piece work to a memcpy or a to_chars.
class LineBuffer {
public:
    LineBuffer() = default;
    // end_ points into buf_, so a copy would write into the original.
    LineBuffer(const LineBuffer&) = delete;
    LineBuffer& operator=(const LineBuffer&) = delete;

    void text(std::string_view s) {
        std::memcpy(end_, s.data(), s.size());
        end_ += s.size();
    }
    // Literals get their own overload so the copy has a constant length and
    // compiles to a few moves instead of a library call.
    template <std::size_t N>
    void text(const char (&literal)[N]) {
        std::memcpy(end_, literal, N - 1);
        end_ += N - 1;
    }
    void number(int64_t v) { end_ = std::to_chars(end_, buf_.data() + buf_.size(), v).ptr; }
    std::string_view view() const { return {buf_.data(), static_cast<std::size_t>(end_ - buf_.data())}; }

private:
    // The longest line, a polygon of 32 corners in the slider form with its
    // line style set and set back, has 33 points of two numbers of at most
    // 20 bytes and 20 literal bytes each, and under 100 bytes more.
    std::array<char, 2048> buf_;
    char* end_ = buf_.data();
};

// A point in screen units, as the style writes it.
inline void writePoint(LineBuffer& out, const CoordinateStyle& style, int64_t x, int64_t y) {
    out.text(style.xOpen);
    out.number(x - style.XK);
    out.text(style.close);
    out.text(",");
    out.text(style.yOpen);
    out.number(y - style.YK);
    out.text(style.close);
}

// The colour prefix of an outline's statement.
inline void outlineColour(LineBuffer& out, int16_t colorIndex) {
    out.text(pascalName(GraphRoutine::SetColor));
    out.text("(");
    out.number(colorIndex);
    out.text(");");
}

// A line style other than solid and thin is set just before the shape that
// has it and set back just after, so that each line of the text draws the
// same whatever ran before it, and a shape in the defaults writes what it
// wrote before styles existed.
inline bool plainLine(int16_t lineStyle, int16_t width) { return lineStyle == SolidLine && width == NormalWidth; }
inline void lineStyleBefore(LineBuffer& out, int16_t lineStyle, int16_t width) {
    if (plainLine(lineStyle, width)) return;
    out.text(pascalName(GraphRoutine::SetLineStyle));
    out.text("(");
    out.number(lineStyle);
    out.text(",0,");
    out.number(width);
    out.text(");");
}
inline void lineStyleAfter(LineBuffer& out, int16_t lineStyle, int16_t width) {
    if (plainLine(lineStyle, width)) return;
    out.text(pascalName(GraphRoutine::SetLineStyle));
    out.text("(0,0,1);");
}

// The fill prefix of a filled shape: its pattern and colour.
inline void fillStyle(LineBuffer& out, int16_t pattern, int16_t colorIndex) {
    out.text(pascalName(GraphRoutine::SetFillStyle));
    out.text("(");
    out.number(pattern);
    out.text(",");
    out.number(colorIndex);
    out.text(");");
}

// An outline drawn between two stored points, as line and rectangle write
// theirs: the points in stored order, press point first, never sorted.
template <class TwoCornerRecord>
void writeTwoCorners(LineBuffer& out, const CoordinateStyle& style, GraphRoutine call,
                     const TwoCornerRecord& r) {
    lineStyleBefore(out, r.LineStyle, r.LineWidth);
    outlineColour(out, r.ColorIndex);
    out.text(pascalName(call));
    out.text("(");
    writePoint(out, style, toScreen(r.X1), toScreen(r.Y1));
    out.text(",");
    writePoint(out, style, toScreen(r.X2), toScreen(r.Y2));
    out.text(");");
    lineStyleAfter(out, r.LineStyle, r.LineWidth);
}

}  // namespace pasdraw
