#include "codegen/codegen.h"

#include <algorithm>
#include <array>
#include <charconv>
#include <cstdlib>
#include <cstring>

#include "bgi/routines.h"

namespace pasdraw {

namespace {

// The three text forms differ only in how a point's coordinates are written
// and in what is subtracted from them, so every statement layout below is
// shared by all three.
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
    // The longest line, an ellipse in the slider form, has 38 literal bytes
    // and 7 numbers of at most 20 bytes each.
    std::array<char, 256> buf_;
    char* end_ = buf_.data();
};

void point(LineBuffer& out, const CoordinateStyle& style, int64_t x, int64_t y) {
    out.text(style.xOpen);
    out.number(x - style.XK);
    out.text(style.close);
    out.text(",");
    out.text(style.yOpen);
    out.number(y - style.YK);
    out.text(style.close);
}

void outlineColour(LineBuffer& out, int16_t colorIndex) {
    out.text(pascalName(GraphRoutine::SetColor));
    out.text("(");
    out.number(colorIndex);
    out.text(");");
}

// Lines and rectangles share a layout: corners in stored order, press point
// first, never sorted.
template <class TwoPointRecord>
void twoPoint(LineBuffer& out, const CoordinateStyle& style, GraphRoutine call, const TwoPointRecord& r) {
    outlineColour(out, r.ColorIndex);
    out.text(pascalName(call));
    out.text("(");
    point(out, style, toScreen(r.X1), toScreen(r.Y1));
    out.text(",");
    point(out, style, toScreen(r.X2), toScreen(r.Y2));
    out.text(");");
}

void write(LineBuffer& out, const CoordinateStyle& style, const LineRecord& r) {
    twoPoint(out, style, GraphRoutine::Line, r);
}

void write(LineBuffer& out, const CoordinateStyle& style, const RectangleRecord& r) {
    twoPoint(out, style, GraphRoutine::Rectangle, r);
}

void write(LineBuffer& out, const CoordinateStyle& style, const EllipseRecord& r) {
    // The press corner is the base and the half difference truncates toward
    // zero, so an odd width puts the centre half a pixel toward the press point.
    const int x1 = toScreen(r.X1);
    const int y1 = toScreen(r.Y1);
    const int hx = (toScreen(r.X2) - x1) / 2;
    const int hy = (toScreen(r.Y2) - y1) / 2;
    outlineColour(out, r.ColorIndex);
    out.text(pascalName(GraphRoutine::Ellipse));
    out.text("(");
    point(out, style, x1 + hx, y1 + hy);
    out.text(",");
    out.number(r.StartAngle);
    out.text(",");
    out.number(r.EndAngle);
    out.text(",");
    out.number(std::abs(hx));
    out.text(",");
    out.number(std::abs(hy));
    out.text(");");
}

void write(LineBuffer& out, const CoordinateStyle& style, const CircleRecord& r) {
    outlineColour(out, r.ColorIndex);
    out.text(pascalName(GraphRoutine::Circle));
    out.text("(");
    point(out, style, toScreen(r.X), toScreen(r.Y));
    out.text(",");
    out.number(toScreen(r.Radius));  // a length: scaled, never shifted
    out.text(");");
}

void write(LineBuffer& out, const CoordinateStyle& style, const FillRecord& r) {
    out.text(pascalName(GraphRoutine::SetFillStyle));
    out.text("(1,");
    out.number(r.ColorIndex);
    out.text(");");
    out.text(pascalName(GraphRoutine::FloodFill));
    out.text("(");
    point(out, style, toScreen(r.X), toScreen(r.Y));
    out.text(",");
    out.number(r.BorderIndex);
    out.text(");");
}

template <class Record>
void appendList(std::string& text, const ShapeList<Record>& list, const CoordinateStyle& style) {
    for (const Record& r : list.records()) {
        LineBuffer line;
        write(line, style, r);
        line.text("\r\n");
        text.append(line.view());
    }
}

// The origin line has no line break: the first record's colour prefix follows
// on the same line.
std::string generate(const Picture& picture, const CoordinateStyle& style, bool withOriginLine) {
    std::string text;
    text.reserve(32 + static_cast<std::size_t>(picture.recordCount()) * style.recordEstimate);
    if (withOriginLine) {
        LineBuffer line;
        line.text("XK:=");
        line.number(style.XK);
        line.text("; YK:=");
        line.number(style.YK);
        line.text(";");
        text.append(line.view());
    }
    // Kind order is fixed; the model does not know which kind was drawn first.
    picture.forEachList([&](Kind, const auto& list) { appendList(text, list, style); });
    return text;
}

}  // namespace

std::string statementFor(const ShapeRecord& record) {
    LineBuffer line;
    std::visit([&line](const auto& r) { write(line, CoordinateStyle{"", "", "", 0, 0, 0}, r); }, record);
    return std::string(line.view());
}

std::string generateAbsolute(const Picture& picture) {
    return generate(picture, CoordinateStyle{"", "", "", 0, 0, 44}, false);
}

namespace {

// The smallest X and Y over the points that take part in the origin.
// Starting at 10000 rather than at the largest int16 is deliberate: an empty
// picture (or one lying wholly beyond x or y 10000) gets the origin 1000.
struct Minimum {
    int16_t x = 10000;
    int16_t y = 10000;
    void take(int16_t px, int16_t py) {
        x = std::min(x, px);
        y = std::min(y, py);
    }
    void take(const LineRecord& r) {
        take(r.X1, r.Y1);
        take(r.X2, r.Y2);
    }
    void take(const RectangleRecord& r) {
        take(r.X1, r.Y1);
        take(r.X2, r.Y2);
    }
    // Only the press corner of an ellipse takes part, so the origin may lie to
    // the right of or below an ellipse dragged up or to the left.
    void take(const EllipseRecord& r) { take(r.X1, r.Y1); }
    void take(const CircleRecord& r) { take(r.X, r.Y); }
    void take(const FillRecord& r) { take(r.X, r.Y); }
};

}  // namespace

Origin computeOrigin(const Picture& picture) {
    Minimum m;
    picture.forEachList([&m](Kind, const auto& list) {
        for (const auto& r : list.records()) m.take(r);
    });
    // The minimum is taken over raw twips and only then scaled.
    return Origin{toScreen(m.x), toScreen(m.y)};
}

std::string generateValueForm(const Picture& picture, Origin origin) {
    return generate(picture, CoordinateStyle{"XK+", "YK+", "", origin.XK, origin.YK, 56}, true);
}

std::string generateSliderForm(const Picture& picture, std::optional<int32_t> XK, int16_t YK) {
    return generate(picture, CoordinateStyle{"XK+(", "YK+(", ")", XK.value_or(0), YK, 64}, true);
}

namespace {

constexpr std::string_view ProgramHeader =
    "uses graph,crt;\r\n"
    "var XK,YK,i,m,d,err:integer;\r\n"
    "begin\r\n"
    "m:=detect; initgraph(m,d,''); err:=graphresult;\r\n"
    "if (graphresult <> grOk) then halt;\r\n"
    " ";
// Nothing goes between the text and the trailer: it starts a line of its
// own only when the text ends with CR LF.
constexpr std::string_view ProgramTrailer = "repeat until keypressed; end.\r\n";

// Whether `text` starts with `fixed`, reading each CR LF of `fixed` as CR LF
// or LF alone; returns the length matched.
std::optional<std::size_t> matchFixed(std::string_view text, std::string_view fixed) {
    std::size_t t = 0;
    for (std::size_t f = 0; f < fixed.size(); ++f) {
        if (fixed[f] == '\r' && f + 1 < fixed.size() && fixed[f + 1] == '\n' && t < text.size() &&
            text[t] == '\n') {
            continue;  // LF alone where the file had CR LF
        }
        if (t >= text.size() || text[t] != fixed[f]) return std::nullopt;
        ++t;
    }
    return t;
}

}  // namespace

std::string programFileBytes(std::string_view text1Bytes) {
    std::string file;
    file.reserve(ProgramHeader.size() + text1Bytes.size() + ProgramTrailer.size());
    file.append(ProgramHeader).append(text1Bytes).append(ProgramTrailer);
    return file;
}

std::optional<std::string_view> programFileText(std::string_view file) {
    const std::optional<std::size_t> head = matchFixed(file, ProgramHeader);
    if (!head) return std::nullopt;
    constexpr std::string_view end = "repeat until keypressed; end.";
    for (std::string_view ending : {"\r\n", "\n", ""}) {
        if (file.size() >= *head + end.size() + ending.size() && file.ends_with(ending) &&
            file.substr(0, file.size() - ending.size()).ends_with(end)) {
            return file.substr(*head, file.size() - ending.size() - end.size() - *head);
        }
    }
    return std::nullopt;
}

}  // namespace pasdraw
