#include "program/picture_import.h"

#include <algorithm>
#include <array>
#include <limits>
#include <string_view>
#include <type_traits>
#include <utility>
#include <vector>

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
constexpr Range Patterns{0, LastPattern, "fill patterns"};
constexpr Range LineStyles{0, LastLineStyle, "line styles"};

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
        endChain();
        color_ = static_cast<uint16_t>(color);
        colorLine_ = line_;
    }
    void SetBkColor(uint32_t longColor) override {
        endChain();
        const auto color = static_cast<uint16_t>(longColor);
        if (color != 0) {
            refuse(GraphRoutine::SetBkColor,
                   argumentName(GraphRoutine::SetBkColor, 0) + " = " + std::to_string(color) +
                       " is out of range; the picture's background is always 0 (black)");
        }
    }
    void SetFillStyle(uint16_t pattern, uint32_t color) override {
        endChain();
        fillPattern_ = pattern;
        fillColor_ = static_cast<uint16_t>(color);
        fillStyleLine_ = line_;
    }
    // Taken as the screen takes it: a call with a style or width the unit
    // does not know changes nothing. The picture's shapes hold the four
    // predefined styles; a user pattern it cannot hold.
    void SetLineStyle(uint16_t lineStyle, uint16_t, uint16_t thickness) override {
        endChain();
        if (lineStyle > 4 || (thickness != NormalWidth && thickness != ThickWidth)) return;
        lineStyle_ = static_cast<int16_t>(lineStyle);
        lineWidth_ = static_cast<int16_t>(thickness);
        lineStyleLine_ = line_;
        fits(GraphRoutine::SetLineStyle, argumentName(GraphRoutine::SetLineStyle, 0), lineStyle, LineStyles);
    }
    void ClearDevice() override {
        endChain();
        viewport_ = viewportAfterClearDevice(viewport_);
        refuse(GraphRoutine::ClearDevice, "the picture cannot clear what is drawn");
    }
    void PutPixel(int16_t, int16_t, uint32_t) override {
        endChain();
        refuse(GraphRoutine::PutPixel, "the picture holds no single pixels");
    }
    // A moveto starts a chain of lineto: if it comes back to its start
    // after 3 to 32 corners, it is a polygon, else the lines it drew.
    void MoveTo(int16_t x, int16_t y) override {
        endChain();
        cpX_ = x;
        cpY_ = y;
        chain_.open = true;
    }
    void LineTo(int16_t x, int16_t y) override { lineFromCurrentPoint(GraphRoutine::LineTo, x, y); }
    void LineRel(int16_t dx, int16_t dy) override {
        lineFromCurrentPoint(GraphRoutine::LineRel, static_cast<int16_t>(cpX_ + dx),
                             static_cast<int16_t>(cpY_ + dy));
    }
    void MoveRel(int16_t dx, int16_t dy) override {
        endChain();
        chain_.open = true;
        cpX_ = static_cast<int16_t>(cpX_ + dx);
        cpY_ = static_cast<int16_t>(cpY_ + dy);
    }
    void lineFromCurrentPoint(GraphRoutine call, int16_t x, int16_t y) {
        const bool relative = call == GraphRoutine::LineRel;
        const bool fit = fits(call, "the current point's x", cpX_, Coordinates) &&
                         fits(call, "the current point's y", cpY_, Coordinates) &&
                         fits(call, relative ? "the end's x" : argumentName(call, 0), x, Coordinates) &&
                         fits(call, relative ? "the end's y" : argumentName(call, 1), y, Coordinates);
        if (fit && colourFits(call)) {
            if (chain_.open && chain_.segments.size() <= MaxPolygonCorners) {
                if (chain_.segments.empty()) {
                    chain_.x = cpX_;
                    chain_.y = cpY_;
                }
                chain_.segments.push_back(
                    {inColour(LineKind::imported(cpX_, cpY_, x, y)), call, line_, column_});
            } else {
                endChain();
                addInColour(call, LineKind::imported(cpX_, cpY_, x, y));
            }
        } else {
            endChain();
        }
        cpX_ = x;
        cpY_ = y;
    }
    void Line(int16_t x1, int16_t y1, int16_t x2, int16_t y2) override {
        endChain();
        if (twoCornersFit(GraphRoutine::Line, x1, y1, x2, y2))
            addInColour(GraphRoutine::Line, LineKind::imported(x1, y1, x2, y2));
    }
    void Rectangle(int16_t x1, int16_t y1, int16_t x2, int16_t y2) override {
        endChain();
        if (twoCornersFit(GraphRoutine::Rectangle, x1, y1, x2, y2))
            addInColour(GraphRoutine::Rectangle, RectangleKind::imported(x1, y1, x2, y2));
    }
    // In the fill pattern and colour, with no outline.
    void Bar(int16_t x1, int16_t y1, int16_t x2, int16_t y2) override {
        endChain();
        constexpr GraphRoutine call = GraphRoutine::Bar;
        const bool fill = fillFits(call);
        if (!twoCornersFit(call, x1, y1, x2, y2) || !fill) return;
        BarRecord r = BarKind::imported(x1, y1, x2, y2);
        r.ColorIndex = static_cast<int16_t>(fillColor_);
        r.ColorRGB = paletteRgb(fillColor_);
        r.Pattern = static_cast<int16_t>(fillPattern_);
        append(call, r);
    }
    void Bar3D(int16_t, int16_t, int16_t, int16_t, uint16_t, bool) override {
        endChain();
        refuse(GraphRoutine::Bar3D, "the picture holds no three-dimensional bars; bar draws the front");
    }
    // The outline in the colour, always thin and solid, and the inside in the
    // fill pattern of the same colour.
    void PieSlice(int16_t x, int16_t y, int16_t stAngle, int16_t endAngle, uint16_t radius) override {
        endChain();
        constexpr GraphRoutine call = GraphRoutine::PieSlice;
        bool ok = fillFits(call);
        if (ok && fillColor_ != color_) {
            refuse(call, "the fill colour " + std::to_string(fillColor_) + fromStyle() +
                             " is not the colour " + std::to_string(color_) +
                             "; the picture fills a pie slice in its outline's colour");
            ok = false;
        }
        if (ok && !plainLine(lineStyle_, lineWidth_)) {
            refuse(call, "the line style " + std::to_string(lineStyle_) + " width " +
                             std::to_string(lineWidth_) + " from " +
                             std::string(pascalName(GraphRoutine::SetLineStyle)) + " on line " +
                             std::to_string(lineStyleLine_) +
                             " is out of range; the picture draws a pie slice's outline solid and thin");
            ok = false;
        }
        if (!arcFits(call, x, y, stAngle, endAngle, radius) || !ok) return;
        PieSliceRecord r{};
        setArc(r, x, y, stAngle, endAngle, radius);
        r.Pattern = static_cast<int16_t>(fillPattern_);
        addInColour(call, r);
    }
    void Sector(int16_t, int16_t, uint16_t, uint16_t, uint16_t, uint16_t) override {
        endChain();
        refuse(GraphRoutine::Sector, "the picture holds no filled slices");
    }
    void FillEllipse(int16_t, int16_t, uint16_t, uint16_t) override {
        endChain();
        refuse(GraphRoutine::FillEllipse, "the picture holds no filled ellipses");
    }
    void Circle(int16_t x, int16_t y, uint16_t radius) override {
        endChain();
        constexpr GraphRoutine call = GraphRoutine::Circle;
        if (!fits(call, argumentName(call, 0), x, Coordinates) ||
            !fits(call, argumentName(call, 1), y, Coordinates) ||
            !fits(call, argumentName(call, 2), radius, Radii))
            return;
        addInColour(call, CircleKind::imported(x, y, radius));
    }
    // In the colour and line width; the unit draws arcs solid whatever the
    // style.
    void Arc(int16_t x, int16_t y, uint16_t stAngle, uint16_t endAngle, uint16_t radius) override {
        endChain();
        constexpr GraphRoutine call = GraphRoutine::Arc;
        if (!arcFits(call, x, y, stAngle, endAngle, radius)) return;
        ArcRecord r{};
        setArc(r, x, y, stAngle, endAngle, radius);
        addInColour(call, r);
    }
    void Ellipse(int16_t x, int16_t y, uint16_t stAngle, uint16_t endAngle, uint16_t xRadius,
                 uint16_t yRadius) override {
        endChain();
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
        addInColour(call, EllipseKind::imported(x, y, stAngle, endAngle, rx, ry));
    }
    void FloodFill(int16_t x, int16_t y, uint32_t longBorder) override {
        endChain();
        const auto border = static_cast<uint16_t>(longBorder);
        constexpr GraphRoutine call = GraphRoutine::FloodFill;
        bool ok = fillFits(call);
        ok = fits(call, argumentName(call, 2), border, BorderColours) && ok;
        ok = fits(call, argumentName(call, 0), x, Coordinates) &&
             fits(call, argumentName(call, 1), y, Coordinates) && ok;
        if (!ok) return;
        FillRecord r = FillKind::imported(x, y, fillColor_, border);
        r.Pattern = static_cast<int16_t>(fillPattern_);
        append(call, r);
    }
    // The picture's shapes stand on the whole screen, each where its own
    // coordinates put it.
    void SetViewPort(int16_t x1, int16_t y1, int16_t x2, int16_t y2, bool clip) override {
        endChain();
        if (validViewport(x1, y1, x2, y2) && clip) viewport_ = {x1, y1, x2, y2, true};
        refuse(GraphRoutine::SetViewPort,
               "the picture holds no viewport; its shapes are on the whole screen");
    }
    void ClearViewPort() override {
        endChain();
        refuse(GraphRoutine::ClearViewPort, "the picture cannot clear what is drawn");
    }
    // A label: printable text in the default font, left and top at the
    // point, in the colour, the text size and the direction. Nothing drawn,
    // nothing held.
    void OutTextXY(int16_t x, int16_t y, ShortString textString) override {
        endChain();
        constexpr GraphRoutine call = GraphRoutine::OutTextXY;
        const std::string_view text = textString.bytes.substr(0, ShortString::MaxLength);
        bool ok = true;
        if (font_ != 0) {
            refuse(call, "the font " + std::to_string(font_) + " from " +
                             std::string(pascalName(GraphRoutine::SetTextStyle)) + " on line " +
                             std::to_string(textStyleLine_) +
                             " is out of range; the picture holds text in the default font 0");
            ok = false;
        }
        if (ok && (justifyH_ != 0 || justifyV_ != 2)) {
            refuse(call, "the justification " + std::to_string(justifyH_) + "," + std::to_string(justifyV_) +
                             " from " + std::string(pascalName(GraphRoutine::SetTextJustify)) + " on line " +
                             std::to_string(justifyLine_) +
                             " is out of range; the picture holds text justified left and top (0,2)");
            ok = false;
        }
        if (text.empty()) return;
        if (text.size() > MaxLabelLength) {
            refuse(call, "the text is " + std::to_string(text.size()) +
                             " characters long; the picture's labels hold " + std::to_string(MaxLabelLength) +
                             " at most");
            ok = false;
        }
        for (const char c : text) {
            if (c < ' ' || c > '~') {
                refuse(call,
                       "the character code " + std::to_string(static_cast<unsigned char>(c)) +
                           " is out of range; the picture's labels hold printable characters 32 to 126");
                ok = false;
                break;
            }
        }
        ok = fits(call, argumentName(call, 0), x, Coordinates) &&
             fits(call, argumentName(call, 1), y, Coordinates) && ok;
        if (!ok) return;
        LabelRecord r{};
        r.X = screenToTwips(x);
        r.Y = screenToTwips(y);
        r.Length = static_cast<int16_t>(text.size());
        std::copy(text.begin(), text.end(), r.Text.begin());
        r.TextSize = static_cast<int16_t>(textSize_);
        r.Vertical = vertical_ ? 1 : 0;
        addInColour(call, r);
    }
    void OutText(ShortString) override {
        endChain();
        refuse(GraphRoutine::OutText, "the picture holds text only at a point, as outtextxy draws it");
    }
    // Kept as the screen keeps them; a label checks them when it is drawn.
    void SetTextStyle(uint16_t font, uint16_t direction, uint16_t charSize) override {
        endChain();
        if (font > 10) return;
        font_ = font;
        vertical_ = direction == 1;
        textSize_ = textSizeAfter(textSize_, font, charSize);
        textStyleLine_ = line_;
    }
    void SetTextJustify(uint16_t horiz, uint16_t vert) override {
        endChain();
        if (horiz > 2 || vert > 2) return;
        justifyH_ = horiz;
        justifyV_ = vert;
        justifyLine_ = line_;
    }

    // The screen the functions describe; the picture holds no pixels to
    // read back.
    int16_t GetMaxX() override { return 639; }
    int16_t GetMaxY() override { return 479; }
    int16_t GetX() override { return cpX_; }
    int16_t GetY() override { return cpY_; }
    uint32_t GetColor() override { return color_; }
    uint32_t GetPixel(int16_t, int16_t) override {
        endChain();
        refuse(std::string(pascalName(GraphFunction::GetPixel)) + ": the picture holds no pixels to read");
        return 0;
    }
    uint32_t GetMaxColor() override { return 15; }

    uint64_t work() const override { return calls_; }
    // What the refused calls would have left, so that the run goes on to
    // refuse what follows as the preview does.
    Viewport viewport() const override { return viewport_; }
    int textSize() const override { return textSize_; }

    // Ends a chain of lineto: a polygon when it came back to its start after
    // 3 to 32 corners, else the lines it drew, each refused at its own call
    // should its list be full.
    void endChain() {
        chain_.open = false;
        if (chain_.segments.empty()) return;
        Chain chain = std::move(chain_);
        chain_ = Chain{};
        const int line = line_, column = column_;
        const LineRecord& last = chain.segments.back().record;
        const auto n = static_cast<int>(chain.segments.size());
        if (n >= MinPolygonCorners && n <= MaxPolygonCorners && last.X2 == screenToTwips(chain.x) &&
            last.Y2 == screenToTwips(chain.y)) {
            PolygonRecord p{};
            p.Count = static_cast<int16_t>(n);
            for (std::size_t i = 0; i < chain.segments.size(); ++i) {
                p.X[i] = chain.segments[i].record.X1;
                p.Y[i] = chain.segments[i].record.Y1;
            }
            const LineRecord& first = chain.segments.front().record;
            p.ColorIndex = first.ColorIndex;
            p.ColorRGB = first.ColorRGB;
            p.LineStyle = first.LineStyle;
            p.LineWidth = first.LineWidth;
            line_ = chain.segments.back().line;
            column_ = chain.segments.back().column;
            append(chain.segments.back().call, p);
        } else {
            for (const Segment& s : chain.segments) {
                line_ = s.line;
                column_ = s.column;
                append(s.call, s.record);
            }
        }
        line_ = line;
        column_ = column;
    }

private:
    struct Segment {
        LineRecord record;
        GraphRoutine call;
        int line;
        int column;
    };
    struct Chain {
        bool open = false;              // a moveto or moverel started it
        int16_t x = 0, y = 0;           // where its first line starts
        std::vector<Segment> segments;  // one more than a polygon holds ends it as lines
    };

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
    bool colourFits(GraphRoutine call) {
        if (color_ >= Colours.low && color_ <= Colours.high) return true;
        refuse(call, "the colour " + std::to_string(color_) + " from " +
                         std::string(pascalName(GraphRoutine::SetColor)) + " on line " +
                         std::to_string(colorLine_) + outOf(Colours));
        return false;
    }
    // The record in the colour and in as much of the line style as its kind
    // keeps.
    template <class Record>
    Record inColour(Record r) const {
        r.ColorIndex = static_cast<int16_t>(color_);
        r.ColorRGB = paletteRgb(color_);
        if constexpr (requires { r.LineStyle; }) r.LineStyle = lineStyle_;
        if constexpr (requires { r.LineWidth; }) r.LineWidth = lineWidth_;
        return r;
    }
    template <class Record>
    void addInColour(GraphRoutine call, const Record& r) {
        if (colourFits(call)) append(call, inColour(r));
    }

    // The fill pattern and colour a filled shape takes.
    bool fillFits(GraphRoutine call) {
        if (fillPattern_ > Patterns.high) {
            refuse(call, "the fill pattern " + std::to_string(fillPattern_) + fromStyle() + outOf(Patterns));
            return false;
        }
        if (fillColor_ < Colours.low || fillColor_ > Colours.high) {
            refuse(call, "the fill colour " + std::to_string(fillColor_) + fromStyle() + outOf(Colours));
            return false;
        }
        return true;
    }

    // A centre, two angles and a radius, as arc and pieslice take them.
    bool arcFits(GraphRoutine call, int64_t x, int64_t y, int64_t stAngle, int64_t endAngle, int64_t radius) {
        const auto name = [call](std::size_t i) { return argumentName(call, i); };
        return fits(call, name(0), x, Coordinates) && fits(call, name(1), y, Coordinates) &&
               fits(call, name(2), stAngle, Angles) && fits(call, name(3), endAngle, Angles) &&
               fits(call, name(4), radius, Radii);
    }
    template <class Record>
    static void setArc(Record& r, int64_t x, int64_t y, int64_t stAngle, int64_t endAngle, int64_t radius) {
        r.X = screenToTwips(x);
        r.Y = screenToTwips(y);
        r.Radius = screenToTwips(radius);
        r.StartAngle = static_cast<int16_t>(stAngle);
        r.EndAngle = static_cast<int16_t>(endAngle);
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
    int16_t lineStyle_ = SolidLine;
    int16_t lineWidth_ = NormalWidth;
    int lineStyleLine_ = 0;
    uint16_t font_ = 0;
    bool vertical_ = false;
    int textStyleLine_ = 0;
    uint16_t justifyH_ = 0;
    uint16_t justifyV_ = 2;
    int justifyLine_ = 0;
    Chain chain_;
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
    recorder.endChain();
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
