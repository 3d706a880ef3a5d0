#include "program/picture_import.h"

#include <algorithm>
#include <array>
#include <limits>
#include <type_traits>

#include "bgi/graphics.h"
#include "model/palette.h"
#include "program/program.h"

namespace pasdraw {

namespace {

// Records the calls as a picture would hold them, and every call it cannot
// hold as a problem at the statement that made it.
class PictureRecorder final : public BgiGraphics {
public:
    static constexpr std::size_t MaxProblems = 100;
    Picture picture;
    std::vector<ImportProblem> problems;

    void at(int line, int column) override {
        line_ = line;
        column_ = column;
    }

    void SetColor(uint16_t color) override { color_ = color; }
    void SetBkColor(uint16_t color) override {
        if (color != 0) refuse(GraphRoutine::SetBkColor, "the picture's background is always black");
    }
    void SetFillStyle(uint16_t pattern, uint16_t color) override {
        fillPattern_ = pattern;
        fillColor_ = color;
    }
    void ClearDevice() override {
        refuse(GraphRoutine::ClearDevice, "the picture cannot clear what is drawn");
    }
    void PutPixel(int16_t, int16_t, uint16_t) override {
        refuse(GraphRoutine::PutPixel, "the picture holds no single pixels");
    }
    void MoveTo(int16_t x, int16_t y) override {
        cpX_ = x;
        cpY_ = y;
    }
    void LineTo(int16_t x, int16_t y) override {
        Line(cpX_, cpY_, x, y);
        cpX_ = x;
        cpY_ = y;
    }
    void Line(int16_t x1, int16_t y1, int16_t x2, int16_t y2) override {
        LineRecord r;
        if (twoCorners(r, x1, y1, x2, y2) && outlineColour(r, GraphRoutine::Line))
            append(picture.Lines, r, "lines");
    }
    void Rectangle(int16_t x1, int16_t y1, int16_t x2, int16_t y2) override {
        RectangleRecord r;
        if (twoCorners(r, x1, y1, x2, y2) && outlineColour(r, GraphRoutine::Rectangle)) {
            append(picture.Rectangles, r, "rectangles");
        }
    }
    void Bar(int16_t, int16_t, int16_t, int16_t) override {
        refuse(GraphRoutine::Bar, "the picture holds no filled bars");
    }
    void Circle(int16_t x, int16_t y, uint16_t radius) override {
        CircleRecord r;
        if (!twips(r.X, x) || !twips(r.Y, y) || !twips(r.Radius, radius)) {
            refuse(GraphRoutine::Circle,
                   "a coordinate or the radius times 10 does not fit the picture's 16-bit twips");
            return;
        }
        if (outlineColour(r, GraphRoutine::Circle)) append(picture.Circles, r, "circles");
    }
    void Arc(int16_t, int16_t, uint16_t, uint16_t, uint16_t) override {
        refuse(GraphRoutine::Arc, "the picture holds no arcs; an ellipse with angles does");
    }
    void Ellipse(int16_t x, int16_t y, uint16_t stAngle, uint16_t endAngle, uint16_t xRadius,
                 uint16_t yRadius) override {
        EllipseRecord r;
        const int64_t rx = xRadius, ry = yRadius;
        if (!twips(r.X1, x - rx) || !twips(r.Y1, y - ry) || !twips(r.X2, x + rx) || !twips(r.Y2, y + ry) ||
            stAngle > static_cast<uint16_t>(std::numeric_limits<int16_t>::max()) ||
            endAngle > static_cast<uint16_t>(std::numeric_limits<int16_t>::max())) {
            refuse(GraphRoutine::Ellipse, "a corner times 10 does not fit the picture's 16-bit twips");
            return;
        }
        r.StartAngle = static_cast<int16_t>(stAngle);
        r.EndAngle = static_cast<int16_t>(endAngle);
        if (outlineColour(r, GraphRoutine::Ellipse)) append(picture.Ellipses, r, "ellipses");
    }
    void FloodFill(int16_t x, int16_t y, uint16_t border) override {
        FillRecord r;
        bool ok = true;
        if (fillPattern_ != 1) {
            refuse(GraphRoutine::FloodFill, "only the solid fill style " +
                                                std::string(pascalName(GraphRoutine::SetFillStyle)) +
                                                "(1, colour) can be drawn in the picture");
            ok = false;
        } else if (fillColor_ < 1 || fillColor_ > 15) {
            refuse(GraphRoutine::FloodFill,
                   "the fill colour " + std::to_string(fillColor_) + " is not one of the colours 1 to 15");
            ok = false;
        }
        if (border > 15) {
            refuse(GraphRoutine::FloodFill,
                   "the border colour " + std::to_string(border) + " is not one of the colours 0 to 15");
            ok = false;
        }
        if (!twips(r.X, x) || !twips(r.Y, y)) {
            refuse(GraphRoutine::FloodFill, "a coordinate times 10 does not fit the picture's 16-bit twips");
            ok = false;
        }
        if (!ok) return;
        r.ColorIndex = static_cast<int16_t>(fillColor_);
        r.ColorRGB = paletteRgb(fillColor_);
        r.BorderIndex = static_cast<int16_t>(border);
        r.BorderRGB = paletteRgb(border);
        append(picture.Fills, r, "fills");
    }

    uint64_t work() const override { return calls_; }

private:
    void refuse(std::string message) {
        // One message per line is enough to say what stands in the way there.
        if (!problems.empty() && problems.back().line == line_ && problems.back().message == message) return;
        // A loop can repeat a refused call many times; the first ones say it.
        if (problems.size() >= MaxProblems) return;
        problems.push_back({line_, column_, std::move(message)});
    }

    // A call the picture cannot hold, said as "routine: why".
    void refuse(GraphRoutine call, const std::string& why) {
        refuse(std::string(pascalName(call)) + ": " + why);
    }

    static bool twips(int16_t& out, int64_t screen) {
        const int64_t t = screen * 10;
        if (t < std::numeric_limits<int16_t>::min() || t > std::numeric_limits<int16_t>::max()) return false;
        out = static_cast<int16_t>(t);
        return true;
    }

    template <class Record>
    bool twoCorners(Record& r, int16_t x1, int16_t y1, int16_t x2, int16_t y2) {
        if (twips(r.X1, x1) && twips(r.Y1, y1) && twips(r.X2, x2) && twips(r.Y2, y2)) return true;
        refuse("a coordinate times 10 does not fit the picture's 16-bit twips");
        return false;
    }

    template <class Record>
    bool outlineColour(Record& r, GraphRoutine what) {
        if (color_ < 1 || color_ > 15) {
            refuse(what, "the colour " + std::to_string(color_) + " is not one of the colours 1 to 15 (" +
                             std::string(pascalName(GraphRoutine::SetColor)) + " first)");
            return false;
        }
        r.ColorIndex = static_cast<int16_t>(color_);
        r.ColorRGB = paletteRgb(color_);
        return true;
    }

    template <class Record>
    void append(ShapeList<Record>& list, const Record& r, const char* plural) {
        ++calls_;
        if (!list.append(r)) {
            refuse(std::string("more than ") + std::to_string(ListCapacity) + " " + plural +
                   ": the picture holds at most " + std::to_string(ListCapacity));
            return;
        }
        if constexpr (!std::is_same_v<Record, FillRecord>) {
            picture.state.LastColorIndex = r.ColorIndex;
            picture.state.LastColorRGB = r.ColorRGB;
        }
    }

    int line_ = 0;
    int column_ = 0;
    uint16_t color_ = 15;  // as after initgraph; not a colour the picture has until SetColor
    uint16_t fillPattern_ = 1;
    uint16_t fillColor_ = 15;
    int16_t cpX_ = 0;
    int16_t cpY_ = 0;
    uint64_t calls_ = 0;
};

}  // namespace

PictureImport importPicture(std::string_view text) {
    PictureImport out;
    PictureRecorder recorder;
    RunLimits limits;
    limits.runBeforeProblem = false;
    limits.keepBuffers = false;  // an import is a one-off on the window's thread
    const RunResult run = runProgram(text, recorder, limits);
    for (const ProgramProblem& p : run.problems) out.problems.push_back({p.line, p.column, p.message});
    for (ImportProblem& p : recorder.problems) out.problems.push_back(std::move(p));
    std::stable_sort(out.problems.begin(), out.problems.end(),
                     [](const ImportProblem& a, const ImportProblem& b) {
                         return a.line != b.line ? a.line < b.line : a.column < b.column;
                     });
    out.assignedOrigin = run.wasAssigned(ProgramVar::XK) || run.wasAssigned(ProgramVar::YK);
    out.XK = run.value(ProgramVar::XK);
    out.YK = run.value(ProgramVar::YK);
    if (out.problems.empty()) out.picture = std::move(recorder.picture);
    return out;
}

}  // namespace pasdraw
