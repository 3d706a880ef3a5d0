#include "program/picture_import.h"

#include <algorithm>
#include <array>
#include <limits>
#include <type_traits>

#include "bgi/graphics.h"
#include "bgi/text.h"
#include "kinds/kinds.h"
#include "model/palette.h"
#include "program/program.h"

namespace pasdraw {

namespace {

// What the picture holds of one kind of value, for the messages.
struct Range {
    int64_t low;
    int64_t high;
    const char* noun;
};
constexpr Range Coordinates{MinScreen, MaxScreen, "coordinates"};
constexpr Range Radii{0, MaxScreen, "radii"};
// Angles are written back as stored in a 16-bit signed field.
constexpr Range Angles{0, std::numeric_limits<int16_t>::max(), "angles"};
constexpr Range Colours{1, 15, "colours"};
constexpr Range BorderColours{0, 15, "colours"};

// The routines' argument lists as the table spells them, so a message names
// an argument the way the unit declares it.
constexpr std::array<std::string_view, GraphRoutineCount> ArgumentLists{
#define PASDRAW_ARGUMENTS(id, name, params, args) #args,
    PASDRAW_GRAPH_ROUTINES(PASDRAW_ARGUMENTS)
#undef PASDRAW_ARGUMENTS
};

// The name of the routine's argument at `index` (from 0).
std::string argumentName(GraphRoutine routine, std::size_t index) {
    std::string_view list = ArgumentLists[static_cast<std::size_t>(routine)];
    list = list.substr(1, list.size() - 2);  // the parentheses
    for (; index > 0; --index) list.remove_prefix(std::min(list.size(), list.find(',') + 1));
    list = list.substr(0, list.find(','));
    while (!list.empty() && list.front() == ' ') list.remove_prefix(1);
    while (!list.empty() && list.back() == ' ') list.remove_suffix(1);
    return std::string(list);
}

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

    // Colours are taken as words here, as the import always took them.
    void SetColor(uint32_t color) override {
        color_ = static_cast<uint16_t>(color);
        colorLine_ = line_;
    }
    void SetBkColor(uint32_t longColor) override {
        const auto color = static_cast<uint16_t>(longColor);
        if (color != 0) {
            refuse(GraphRoutine::SetBkColor,
                   argumentName(GraphRoutine::SetBkColor, 0) + " = " + std::to_string(color) +
                       " is out of range; the picture's background is always 0 (black)");
        }
    }
    void SetFillStyle(uint16_t pattern, uint32_t color) override {
        fillPattern_ = pattern;
        fillColor_ = static_cast<uint16_t>(color);
        fillStyleLine_ = line_;
    }
    void SetLineStyle(uint16_t lineStyle, uint16_t, uint16_t thickness) override {
        if (lineStyle != 0 || thickness != 1)
            refuse(GraphRoutine::SetLineStyle, "the picture holds only solid lines one pixel wide");
    }
    void ClearDevice() override {
        viewport_ = viewportAfterClearDevice(viewport_);
        refuse(GraphRoutine::ClearDevice, "the picture cannot clear what is drawn");
    }
    void PutPixel(int16_t, int16_t, uint32_t) override {
        refuse(GraphRoutine::PutPixel, "the picture holds no single pixels");
    }
    void MoveTo(int16_t x, int16_t y) override {
        cpX_ = x;
        cpY_ = y;
    }
    void LineTo(int16_t x, int16_t y) override { lineFromCurrentPoint(GraphRoutine::LineTo, x, y); }
    void LineRel(int16_t dx, int16_t dy) override {
        lineFromCurrentPoint(GraphRoutine::LineRel, static_cast<int16_t>(cpX_ + dx),
                             static_cast<int16_t>(cpY_ + dy));
    }
    void MoveRel(int16_t dx, int16_t dy) override {
        cpX_ = static_cast<int16_t>(cpX_ + dx);
        cpY_ = static_cast<int16_t>(cpY_ + dy);
    }
    void lineFromCurrentPoint(GraphRoutine call, int16_t x, int16_t y) {
        const bool relative = call == GraphRoutine::LineRel;
        const bool fit = fits(call, "the current point's x", cpX_, Coordinates) &&
                         fits(call, "the current point's y", cpY_, Coordinates) &&
                         fits(call, relative ? "the end's x" : argumentName(call, 0), x, Coordinates) &&
                         fits(call, relative ? "the end's y" : argumentName(call, 1), y, Coordinates);
        if (fit) addOutline(call, LineKind::imported(cpX_, cpY_, x, y));
        cpX_ = x;
        cpY_ = y;
    }
    void Line(int16_t x1, int16_t y1, int16_t x2, int16_t y2) override {
        if (twoCornersFit(GraphRoutine::Line, x1, y1, x2, y2))
            addOutline(GraphRoutine::Line, LineKind::imported(x1, y1, x2, y2));
    }
    void Rectangle(int16_t x1, int16_t y1, int16_t x2, int16_t y2) override {
        if (twoCornersFit(GraphRoutine::Rectangle, x1, y1, x2, y2))
            addOutline(GraphRoutine::Rectangle, RectangleKind::imported(x1, y1, x2, y2));
    }
    void Bar(int16_t, int16_t, int16_t, int16_t) override {
        refuse(GraphRoutine::Bar, "the picture holds no filled bars");
    }
    void Bar3D(int16_t, int16_t, int16_t, int16_t, uint16_t, bool) override {
        refuse(GraphRoutine::Bar3D, "the picture holds no filled bars");
    }
    void PieSlice(int16_t, int16_t, int16_t, int16_t, uint16_t) override {
        refuse(GraphRoutine::PieSlice, "the picture holds no filled slices");
    }
    void Sector(int16_t, int16_t, uint16_t, uint16_t, uint16_t, uint16_t) override {
        refuse(GraphRoutine::Sector, "the picture holds no filled slices");
    }
    void FillEllipse(int16_t, int16_t, uint16_t, uint16_t) override {
        refuse(GraphRoutine::FillEllipse, "the picture holds no filled ellipses");
    }
    void Circle(int16_t x, int16_t y, uint16_t radius) override {
        constexpr GraphRoutine call = GraphRoutine::Circle;
        if (!fits(call, argumentName(call, 0), x, Coordinates) ||
            !fits(call, argumentName(call, 1), y, Coordinates) ||
            !fits(call, argumentName(call, 2), radius, Radii))
            return;
        addOutline(call, CircleKind::imported(x, y, radius));
    }
    void Arc(int16_t, int16_t, uint16_t, uint16_t, uint16_t) override {
        refuse(GraphRoutine::Arc, "the picture holds no arcs; an ellipse with angles does");
    }
    void Ellipse(int16_t x, int16_t y, uint16_t stAngle, uint16_t endAngle, uint16_t xRadius,
                 uint16_t yRadius) override {
        constexpr GraphRoutine call = GraphRoutine::Ellipse;
        const auto name = [](std::size_t i) { return argumentName(call, i); };
        // The record keeps the corners of the ellipse's box, so each side has
        // to fit, not only the centre.
        const int64_t rx = xRadius, ry = yRadius;
        if (!fits(call, name(0), x, Coordinates) || !fits(call, name(1), y, Coordinates) ||
            !fits(call, name(2), stAngle, Angles) || !fits(call, name(3), endAngle, Angles) ||
            !fits(call, name(0) + " - " + name(4), x - rx, Coordinates) ||
            !fits(call, name(0) + " + " + name(4), x + rx, Coordinates) ||
            !fits(call, name(1) + " - " + name(5), y - ry, Coordinates) ||
            !fits(call, name(1) + " + " + name(5), y + ry, Coordinates))
            return;
        addOutline(call, EllipseKind::imported(x, y, stAngle, endAngle, rx, ry));
    }
    void FloodFill(int16_t x, int16_t y, uint32_t longBorder) override {
        const auto border = static_cast<uint16_t>(longBorder);
        constexpr GraphRoutine call = GraphRoutine::FloodFill;
        bool ok = true;
        if (fillPattern_ != 1) {
            refuse(call, "the fill pattern " + std::to_string(fillPattern_) + fromStyle() +
                             " is out of range; the picture holds only the solid pattern 1");
            ok = false;
        } else if (fillColor_ < Colours.low || fillColor_ > Colours.high) {
            refuse(call, "the fill colour " + std::to_string(fillColor_) + fromStyle() + outOf(Colours));
            ok = false;
        }
        ok = fits(call, argumentName(call, 2), border, BorderColours) && ok;
        ok = fits(call, argumentName(call, 0), x, Coordinates) &&
             fits(call, argumentName(call, 1), y, Coordinates) && ok;
        if (!ok) return;
        append(call, FillKind::imported(x, y, fillColor_, border));
    }
    // The picture's shapes stand on the whole screen, each where its own
    // coordinates put it.
    void SetViewPort(int16_t x1, int16_t y1, int16_t x2, int16_t y2, bool clip) override {
        if (validViewport(x1, y1, x2, y2) && clip) viewport_ = {x1, y1, x2, y2, true};
        refuse(GraphRoutine::SetViewPort,
               "the picture holds no viewport; its shapes are on the whole screen");
    }
    void ClearViewPort() override {
        refuse(GraphRoutine::ClearViewPort, "the picture cannot clear what is drawn");
    }
    // The picture's five kinds hold no text, so nothing that shapes it either.
    void OutTextXY(int16_t, int16_t, ShortString) override {
        refuse(GraphRoutine::OutTextXY, "the picture holds no text");
    }
    void OutText(ShortString) override { refuse(GraphRoutine::OutText, "the picture holds no text"); }
    void SetTextStyle(uint16_t font, uint16_t, uint16_t charSize) override {
        textSize_ = textSizeAfter(textSize_, font, charSize);
        refuse(GraphRoutine::SetTextStyle, "the picture holds no text, so no text style");
    }
    void SetTextJustify(uint16_t, uint16_t) override {
        refuse(GraphRoutine::SetTextJustify, "the picture holds no text, so no text justification");
    }

    // The screen the functions describe; the picture holds no pixels to
    // read back.
    int16_t GetMaxX() override { return 639; }
    int16_t GetMaxY() override { return 479; }
    int16_t GetX() override { return cpX_; }
    int16_t GetY() override { return cpY_; }
    uint32_t GetColor() override { return color_; }
    uint32_t GetPixel(int16_t, int16_t) override {
        refuse(std::string(pascalName(GraphFunction::GetPixel)) + ": the picture holds no pixels to read");
        return 0;
    }
    uint32_t GetMaxColor() override { return 15; }

    uint64_t work() const override { return calls_; }
    // What the refused calls would have left, so that the run goes on to
    // refuse what follows as the preview does.
    Viewport viewport() const override { return viewport_; }
    int textSize() const override { return textSize_; }

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

    static std::string outOf(const Range& range) {
        return " is out of range; the picture holds " + std::string(range.noun) + " from " +
               std::to_string(range.low) + " to " + std::to_string(range.high);
    }

    // Whether the value lies in the range; if not, says so as "what = value".
    bool fits(GraphRoutine call, const std::string& what, int64_t value, const Range& range) {
        if (value >= range.low && value <= range.high) return true;
        refuse(call, what + " = " + std::to_string(value) + outOf(range));
        return false;
    }

    bool twoCornersFit(GraphRoutine call, int16_t x1, int16_t y1, int16_t x2, int16_t y2) {
        return fits(call, argumentName(call, 0), x1, Coordinates) &&
               fits(call, argumentName(call, 1), y1, Coordinates) &&
               fits(call, argumentName(call, 2), x2, Coordinates) &&
               fits(call, argumentName(call, 3), y2, Coordinates);
    }

    // The colour is never wrong before the text sets one (drawing starts in
    // white), so a wrong one always has a call to point at.
    template <class Record>
    void addOutline(GraphRoutine call, Record r) {
        if (color_ < Colours.low || color_ > Colours.high) {
            refuse(call, "the colour " + std::to_string(color_) + " from " +
                             std::string(pascalName(GraphRoutine::SetColor)) + " on line " +
                             std::to_string(colorLine_) + outOf(Colours));
            return;
        }
        r.ColorIndex = static_cast<int16_t>(color_);
        r.ColorRGB = paletteRgb(color_);
        append(call, r);
    }

    // Where the fill style came from, when a text set it.
    std::string fromStyle() const {
        if (fillStyleLine_ == 0) return "";
        return " from " + std::string(pascalName(GraphRoutine::SetFillStyle)) + " on line " +
               std::to_string(fillStyleLine_);
    }

    template <class Record>
    void append(GraphRoutine call, const Record& r) {
        ++calls_;
        constexpr Kind kind = kindOfRecord<Record>;
        if (!picture.list<kind>().append(r)) {
            refuse(call, std::string("more than ") + std::to_string(ListCapacity) + " " + kindPlural(kind) +
                             "; the picture holds at most " + std::to_string(ListCapacity));
            return;
        }
        // A flood leaves the last outline colour as it was.
        if constexpr (roleOfRecord<Record> == KindRole::Outline) {
            picture.state.LastColorIndex = r.ColorIndex;
            picture.state.LastColorRGB = r.ColorRGB;
        }
    }

    int line_ = 0;
    int column_ = 0;
    uint16_t color_ = 15;  // as after initgraph
    int colorLine_ = 0;
    uint16_t fillPattern_ = 1;
    uint16_t fillColor_ = 15;
    int fillStyleLine_ = 0;
    int16_t cpX_ = 0;
    int16_t cpY_ = 0;
    Viewport viewport_;
    int textSize_ = 1;
    uint64_t calls_ = 0;
};

}  // namespace

PictureImport importPicture(std::string_view text) {
    PictureImport out;
    PictureRecorder recorder;
    RunLimits limits;
    limits.runBeforeProblem = false;
    limits.keepBuffers = false;  // an import is a one-off on the window's thread
    // On the window's thread a runaway text must stop within some 0.1 s.
    limits.maxStatements = 2'000'000;
    limits.maxOperations = 20'000'000;
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
