// Long random sessions of what a user can do to the editor: tools (and a few
// values no button sets), colours, presses, moves and releases anywhere from
// the middle of the canvas to far beyond the 16-bit range, Undo, "Generate",
// "Value" and slider moves, with phases that push one list to its 1001 records
// and past. After every event the model is compared with an expectation kept
// beside it, and every text produced is read back against the model. The
// repaints run on a real RasterSurface, so the sanitizer build checks their
// memory accesses along the way.
//
// PASDRAW_FUZZ_EVENTS: events over all cases together (default 200000).
// PASDRAW_FUZZ_SEED: the first seed (default 1); a failure names the seed and
// the event number, and lists the events that led to it.
#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <optional>
#include <random>
#include <string>
#include <tuple>
#include <type_traits>
#include <utility>
#include <vector>

#include "canvas/raster_surface.h"
#include "canvas/repaint.h"
#include "codegen/codegen.h"
#include "editor/editor.h"
#include "editor/tools.h"
#include "fuzz/program_text_check.h"
#include "model/palette.h"
#include "program/picture_import.h"
#include "support/env_count.h"

namespace pasdraw {
namespace {

using fuzz::TextForm;
using fuzz::TextOrigin;

// A refused commit must leave every byte of the model as it was, so the model
// is compared as raw bytes.
static_assert(std::is_trivially_copyable_v<Picture>);

using testing::envCount;

// Nearest integer, halves to even, saturated to 16 bits. Written out here
// instead of calling the program's own conversion, so that the expectation does
// not share the code it checks.
int16_t expectStored(double v) {
    if (v >= 32767.0) return 32767;
    if (v <= -32768.0) return -32768;
    const double below = std::floor(v);
    const double fraction = v - below;
    const bool up = fraction > 0.5 || (fraction == 0.5 && std::fmod(below, 2.0) != 0.0);
    return static_cast<int16_t>(up ? below + 1.0 : below);
}

// The circle's radius: differences in single precision, the rest in double.
double expectRadius(float sx, float sy, float x, float y) {
    const float dx = sx - x;
    const float dy = sy - y;
    return std::sqrt(static_cast<double>(dx) * static_cast<double>(dx) +
                     static_cast<double>(dy) * static_cast<double>(dy));
}

bool onCanvas(float x, float y) {
    return !(x > static_cast<float>(CanvasWidth)) && !(y > static_cast<float>(CanvasHeight));
}

bool sameFloat(float a, float b) { return std::memcmp(&a, &b, sizeof a) == 0; }

std::string show(float v) {
    char buffer[32];
    std::snprintf(buffer, sizeof buffer, "%.9g", static_cast<double>(v));
    return buffer;
}

// The kinds the capacity phases fill: the first five tools.
constexpr std::size_t FirstKinds = 5;

// The angle of (x, y) seen from (cx, cy) in whole degrees 0..359, counter-
// clockwise from the right with y growing downwards, as the user sees it.
int16_t expectAngle(double cx, double cy, double x, double y) {
    if (x == cx && y == cy) return 0;
    const long degrees = std::lround(std::atan2(cy - y, x - cx) * 45.0 / std::atan(1.0));
    return static_cast<int16_t>((degrees % 360 + 360) % 360);
}

// What a shape made in steps has so far, as the user's clicks made it.
struct StepsSoFar {
    Kind kind;
    std::optional<int16_t> centreX, centreY, radius, start;  // an arc's or pie slice's first release
    std::vector<std::pair<int16_t, int16_t>> corners;        // a polygon's
    std::optional<std::pair<float, float>> anchor;           // a label's
};

// The records the model should hold, kind by kind, and the state it should be in.
struct Expectation {
    std::tuple<std::vector<LineRecord>, std::vector<RectangleRecord>, std::vector<EllipseRecord>,
               std::vector<CircleRecord>, std::vector<FillRecord>, std::vector<BarRecord>,
               std::vector<ArcRecord>, std::vector<PieSliceRecord>, std::vector<PolygonRecord>,
               std::vector<LabelRecord>>
        lists;
    EditorState state;
    std::optional<StepsSoFar> gesture;

    template <class Record>
    std::vector<Record>& list() {
        return std::get<std::vector<Record>>(lists);
    }
    std::size_t total() const {
        return std::apply([](const auto&... list) { return (list.size() + ...); }, lists);
    }
};

// The record type of a picture's list, as forEachList and withList pass it.
template <class List>
using RecordOf = typename std::decay_t<List>::value_type;

// Values no tool button sets; the editor must treat them like "no tool".
constexpr std::array<int16_t, 7> InvalidTools{-1, 11, 12, 64, 255, -32768, 32767};

bool inSteps(Kind kind) {
    return kind == Kind::Arc || kind == Kind::PieSlice || kind == Kind::Polygon || kind == Kind::Label;
}

// Far-off pointer positions: a pointer captured beyond the window's edges, past
// the 16-bit range and far beyond it, and halves on both sides of the limits.
constexpr std::array<float, 16> FarCoordinates{40000.0f, -40000.0f, 1e7f,     -1e7f,     1e30f,     -1e30f,
                                               32767.5f, 32766.5f,  32768.0f, -32768.5f, -32767.5f, -32769.0f,
                                               65536.0f, -65536.0f, 9645.0f,  -0.5f};

struct Stats {
    long events = 0;
    long commits = 0;
    long refusals = 0;
    long undos = 0;
    long bulkCommits = 0;
    long texts = 0;
    long roundTrips = 0;  // texts of the later kinds through Picture from text
    long textLines = 0;
    long repaintComparisons = 0;
    long capacityPhases = 0;
    long windows = 0;
    std::array<long, KindCount> committedByKind{};
    long cancels = 0;
};

struct Scale {
    float x, y;
};

// One run of random events against a sequence of fresh windows.
class Session {
public:
    // `reproduce` tells, in a failure message, how to run the same session again.
    Session(Scale scale, uint64_t seed, std::string reproduce)
        : rng_(seed), reproduce_(std::move(reproduce)), scale_(scale) {
        surface_ = std::make_unique<RasterSurface>(scale.x, scale.y);
        reference_ = std::make_unique<RasterSurface>(scale.x, scale.y);
        firstPhaseKind_ = uniform(0, 4);
        openWindow();
    }

    // Runs until `events` events have happened or an invariant broke; returns
    // the first broken invariant with its context, or an empty string.
    std::string run(long events) {
        // Capacity phases spread over the run, at least five so that every
        // kind gets one, and one every 8000 events in long runs.
        phaseSpacing_ = std::clamp(events / 6, 1L, 8000L);
        nextPhaseAt_ = phaseSpacing_;
        while (stats_.events < events && failure_.empty()) {
            if (stats_.events >= nextPhaseAt_) {
                nextPhaseAt_ = stats_.events + phaseSpacing_;
                capacityPhase();
            } else {
                step();
            }
        }
        if (failure_.empty()) checkAllRecords();
        if (failure_.empty()) checkPixels();
        return failure_;
    }

    const Stats& stats() const { return stats_; }

private:
    // --- randomness -------------------------------------------------------

    int uniform(int lo, int hi) { return std::uniform_int_distribution<int>(lo, hi)(rng_); }
    bool chance(double p) { return std::bernoulli_distribution(p)(rng_); }

    float coordinate(int limit) {
        const float l = static_cast<float>(limit);
        const int r = uniform(0, 99);
        if (r < 62) {
            // On the canvas; whole twips, halves (to exercise halves-to-even)
            // or any fraction.
            const int whole = uniform(0, limit);
            switch (uniform(0, 2)) {
                case 0: return static_cast<float>(whole);
                case 1: return static_cast<float>(whole) - 0.5f;
                default: return std::uniform_real_distribution<float>(0.0f, l)(rng_);
            }
        }
        if (r < 72) {
            const std::array<float, 8> edges{l, l - 0.5f, l + 0.5f, l + 1.0f, 0.0f, 0.5f, -0.5f, l - 1.0f};
            return edges[static_cast<std::size_t>(uniform(0, static_cast<int>(edges.size()) - 1))];
        }
        if (r < 80) return static_cast<float>(uniform(limit + 1, 9645));  // right of or below the canvas
        if (r < 90) return static_cast<float>(-uniform(1, 5000));         // pointer captured left or above
        return FarCoordinates[static_cast<std::size_t>(
            uniform(0, static_cast<int>(FarCoordinates.size()) - 1))];
    }
    float randomX() { return coordinate(CanvasWidth); }
    float randomY() { return coordinate(CanvasHeight); }

    // --- the window ---------------------------------------------------------

    void openWindow() {
        // A new window over the same image buffer, wiped and with the
        // attributes a new window has: allocating a new image each time costs
        // more than the events it would serve.
        picture_ = std::make_unique<Picture>();
        surface_->Cls();
        surface_->setForeColor(Black);
        surface_->setFillColor(Black);
        surface_->setFillStyle(FillTransparent);
        editor_ = std::make_unique<Editor>(*picture_, *surface_);
        expect_ = Expectation{};
        swallow_ = false;
        styled_ = false;
        XK_.reset();
        YK_ = 0;
        lastValueOrigin_.reset();
        editor_->Form_Load();
        expect_.state.CurrentColorIndex = Palette[0].index;
        expect_.state.CurrentColorRGB = Palette[0].rgb;
        ++stats_.windows;
        begin("new window");
        check();
    }

    // --- events ---------------------------------------------------------------

    // Most events are pointer moves and presses, which are cheap; commits and
    // undos repaint the whole picture, which under the sanitizers costs
    // milliseconds, so they are kept to a few in a hundred.
    void step() {
        // Every fill is flooded again by every later repaint, so this user
        // takes fills out again soon; otherwise the floods would be most of
        // the run's time.
        if (!inCapacityPhase_ && expectedCount(Kind::Fill) > 0 && chance(0.04)) return removeFill();
        const int r = uniform(0, 9999);
        if (r < 5000) return move(randomX(), randomY());
        if (r < 6500) return press(randomX(), randomY());
        if (r < 7700) return wander();
        if (r < 8100) return release(randomX(), randomY());
        if (r < 8250)
            return inSteps(static_cast<Kind>(std::max<int16_t>(expect_.state.Tool, 1))) && chance(0.5)
                       ? shapeInSteps()
                       : gesture();
        if (r < 8850) return chooseTool();
        if (r < 9300) return chooseColour();
        if (r < 9350) return chooseStyle();
        if (r < 9430) return undo();
        if (r < 9460) return stepKey();
        if (r < 9530) return generate();
        if (r < 9630) return value();
        if (r < 9880) return slider();
        if (r < 9990) return dragOffAndBack();
        if (inCapacityPhase_) return move(randomX(), randomY());
        return openWindow();
    }

    // A drag from a point on the canvas, as a user makes most shapes. With
    // `leftOfImage` it ends left of the window, where a fill's seed lies off
    // the image and costs no flood in later repaints.
    void gesture(bool leftOfImage = false) {
        press(static_cast<float>(uniform(0, CanvasWidth)), static_cast<float>(uniform(0, CanvasHeight)));
        for (int n = uniform(0, 4); n > 0 && failure_.empty(); --n) move(randomX(), randomY());
        const float x = leftOfImage ? static_cast<float>(-uniform(100, 40000)) : randomX();
        if (failure_.empty()) release(x, randomY());
    }

    void removeFill() {
        begin("tool 5");
        editor_->selectTool(5);
        toolChosen(5);
        check();
        if (failure_.empty()) undo();
    }

    // A drag released off the canvas stays alive: nothing is stored, and the
    // rubber band keeps following the pointer back over the canvas.
    void dragOffAndBack() {
        press(static_cast<float>(uniform(0, CanvasWidth)), static_cast<float>(uniform(0, CanvasHeight)));
        const float offX = static_cast<float>(CanvasWidth + uniform(1, 3000));
        const float offY = static_cast<float>(uniform(0, CanvasHeight + 3000));
        if (failure_.empty()) move(offX, offY);
        if (failure_.empty()) release(offX, offY);
        for (int n = uniform(1, 3); n > 0 && failure_.empty(); --n) {
            move(static_cast<float>(uniform(0, CanvasWidth)), static_cast<float>(uniform(0, CanvasHeight)));
        }
    }

    // Moves with no button held, the rubber band following while a drag that
    // ended off the canvas is still alive.
    void wander() {
        for (int n = uniform(1, 6); n > 0 && failure_.empty(); --n) move(randomX(), randomY());
    }

    void press(float x, float y) {
        begin("press " + show(x) + "," + show(y));
        swallow_ = false;
        editor_->Form_MouseDown(uniform(1, 4), uniform(0, 7), x, y);
        if (onCanvas(x, y)) {
            expect_.state.MouseIsDown = 1;
            expect_.state.StartX = x;
            expect_.state.StartY = y;
        }
        check();
    }

    void move(float x, float y) {
        begin("move " + show(x) + "," + show(y));
        editor_->Form_MouseMove(uniform(0, 4), uniform(0, 7), x, y);
        const int16_t tool = expect_.state.Tool;
        // Only the tools with a rubber band note where it was drawn: the
        // first four, bars, arcs and pie slices from their press, and the
        // steps of arcs, pie slices and polygons once begun.
        const bool ours = expect_.gesture && static_cast<int16_t>(expect_.gesture->kind) == tool;
        const bool band = (tool >= 1 && tool <= 4) || tool == 6 || ((tool == 7 || tool == 8) && !ours) ||
                          (ours && tool != 10);
        if (onCanvas(x, y) && expect_.state.MouseIsDown == 1 && band) {
            expect_.state.PrevX = x;
            expect_.state.PrevY = y;
        }
        check();
    }

    void release(float x, float y) {
        begin("release " + show(x) + "," + show(y));
        const int16_t tool = expect_.state.Tool;
        if (onCanvas(x, y) && isKind(tool) && swallow_) {
            swallow_ = false;
            const std::vector<unsigned char> before = modelBytes();
            if (editor_->Form_MouseUp(uniform(1, 4), uniform(0, 7), x, y).committed || before != modelBytes())
                return fail("the release after a double-click did something");
            return check();
        }
        if (onCanvas(x, y) && isKind(tool) && inSteps(static_cast<Kind>(tool)) && !stepCommits(x, y)) {
            const ReleaseResult result = editor_->Form_MouseUp(uniform(1, 4), uniform(0, 7), x, y);
            if (result.committed || result.refused) return fail("a step of a shape stored it");
            return check();
        }
        const bool commits = onCanvas(x, y) && isKind(tool);
        const bool full = commits && expectedCount(static_cast<Kind>(tool)) == ListCapacity;
        std::vector<unsigned char> before;
        if (!commits || full) before = modelBytes();

        const ReleaseResult result = editor_->Form_MouseUp(uniform(1, 4), uniform(0, 7), x, y);
        // The last step ends the shape, stored or refused.
        const bool lastStep = commits && inSteps(static_cast<Kind>(tool));
        if (lastStep && full) expect_.gesture.reset();

        if (!commits || full) {
            if (before != modelBytes()) {
                return fail(full ? "a refused commit changed the model"
                                 : "a release that commits nothing changed the model");
            }
            if (result.committed) return fail("the release reports a commit that could not happen");
            if (full) {
                ++stats_.refusals;
                if (result.refused != static_cast<Kind>(tool))
                    return fail("a refused commit is not reported");
                if (chance(0.5)) compareWithFreshRepaint();
            } else if (result.refused.has_value()) {
                return fail("a release that commits nothing reports a refusal");
            }
            return check();
        }
        if (!result.committed || result.refused.has_value())
            return fail("a commit into a list with room failed");
        expectCommit(static_cast<Kind>(tool), x, y);
        if (lastStep) expect_.gesture.reset();
        ++stats_.commits;
        ++stats_.committedByKind[static_cast<std::size_t>(tool - 1)];
        check();
        // A fill is painted onto the current image; every other commit ends in
        // a repaint that must depend on the model alone.
        if (failure_.empty() && tool != 5 && chance(0.1)) compareWithFreshRepaint();
    }

    // A release of a shape made in steps: true when it is the last step,
    // which stores the shape; otherwise the step goes into the model.
    bool stepCommits(float x, float y) {
        const Kind kind = static_cast<Kind>(expect_.state.Tool);
        if (!expect_.gesture || expect_.gesture->kind != kind)
            expect_.gesture = StepsSoFar{kind, {}, {}, {}, {}, {}, {}};
        StepsSoFar& g = *expect_.gesture;
        EditorState& s = expect_.state;
        switch (kind) {
            case Kind::Arc:
            case Kind::PieSlice:
                if (g.centreX) return true;
                g.centreX = expectStored(s.StartX);
                g.centreY = expectStored(s.StartY);
                g.radius = expectStored(expectRadius(s.StartX, s.StartY, x, y));
                g.start = expectAngle(s.StartX, s.StartY, x, y);
                s.PrevX = x, s.PrevY = y;
                return false;
            case Kind::Polygon: {
                const float reach = 4.0f * std::max(scale_.x, scale_.y);
                if (g.corners.size() >= 3 && std::abs(x - static_cast<float>(g.corners[0].first)) <= reach &&
                    std::abs(y - static_cast<float>(g.corners[0].second)) <= reach)
                    return true;
                g.corners.emplace_back(expectStored(x), expectStored(y));
                s.PrevX = x, s.PrevY = y;
                return g.corners.size() == MaxPolygonCorners;
            }
            default: g.anchor = std::pair(x, y); return false;
        }
    }

    // Escape, Backspace, a double-click, a typed label or Undo in the middle of a shape made in steps.
    // A whole shape made in steps, as a user means it: a label clicked and
    // typed, a polygon's corners clicked and closed on the first or by a
    // double-click.
    void shapeInSteps() {
        const auto onCanvasPoint = [&] {
            return std::pair(static_cast<float>(uniform(0, CanvasWidth)),
                             static_cast<float>(uniform(0, CanvasHeight)));
        };
        if (expect_.state.Tool == static_cast<int16_t>(Kind::Label)) {
            const auto [x, y] = onCanvasPoint();
            press(x, y);
            if (failure_.empty()) release(x, y);
            if (failure_.empty()) stepKey(3);
            return;
        }
        if (expect_.state.Tool != static_cast<int16_t>(Kind::Polygon)) return;
        for (int n = uniform(3, 5); n > 0 && failure_.empty(); --n) {
            const auto [x, y] = onCanvasPoint();
            press(x, y);
            if (failure_.empty()) release(x, y);
        }
        if (!failure_.empty() || !expect_.gesture || expect_.gesture->corners.empty()) return;
        if (chance(0.5)) return stepKey(2);
        const auto [fx, fy] = expect_.gesture->corners.front();
        press(fx, fy);
        if (failure_.empty()) release(fx, fy);
    }

    void stepKey(int which = -1) {
        const int16_t tool = expect_.state.Tool;
        const bool ours = expect_.gesture && static_cast<int16_t>(expect_.gesture->kind) == tool;
        switch (which >= 0 ? which : uniform(0, 3)) {
            case 0: {
                begin("Escape");
                const bool had = expect_.gesture.has_value();
                if (editor_->cancelGesture() != had)
                    return fail("Escape's answer does not say whether a shape was under way");
                if (had) {
                    expect_.gesture.reset();
                    expect_.state.MouseIsDown = 0;
                    ++stats_.cancels;
                }
                return check();
            }
            case 1: {
                begin("Backspace");
                const bool corner = ours && !expect_.gesture->corners.empty();
                if (editor_->takeBackCorner() != corner)
                    return fail("Backspace took back a corner that was not there");
                if (corner) {
                    expect_.gesture->corners.pop_back();
                    if (expect_.gesture->corners.empty()) {
                        expect_.gesture.reset();
                        expect_.state.MouseIsDown = 0;
                    }
                }
                return check();
            }
            case 2: {
                const float x =
                    which >= 0 ? static_cast<float>(expect_.gesture->corners.back().first) : randomX();
                const float y =
                    which >= 0 ? static_cast<float>(expect_.gesture->corners.back().second) : randomY();
                begin("double-click " + show(x) + "," + show(y));
                const bool polygonTool = tool == static_cast<int16_t>(Kind::Polygon);
                const bool closes = polygonTool && ours && expect_.gesture->corners.size() >= 3;
                const bool full = closes && expectedCount(Kind::Polygon) == ListCapacity;
                const ReleaseResult result = editor_->Form_DblClick(1, 0, x, y);
                swallow_ = polygonTool;
                if (!polygonTool && onCanvas(x, y)) {
                    expect_.state.MouseIsDown = 1;
                    expect_.state.StartX = x;
                    expect_.state.StartY = y;
                }
                if (closes && !full) {
                    commitPolygon();
                    ++stats_.committedByKind[static_cast<std::size_t>(Kind::Polygon) - 1];
                }
                if (closes) expect_.gesture.reset();
                if (result.committed != (closes && !full))
                    return fail("a double-click's commit is not the one the corners imply");
                return check();
            }
            default: {
                std::string text;
                for (int n = which < 0 && uniform(0, 2) == 0 ? 0 : uniform(1, 84); n > 0; --n)
                    text += static_cast<char>(chance(0.97) ? uniform(' ', '~') : uniform(1, 255));
                begin("label text of " + std::to_string(text.size()));
                const bool open = ours && expect_.gesture->anchor.has_value();
                bool printable = text.size() <= MaxLabelLength;
                for (char c : text) printable = printable && c >= ' ' && c <= '~';
                const bool stores =
                    open && !text.empty() && printable && expectedCount(Kind::Label) < ListCapacity;
                const ReleaseResult result = editor_->finishLabel(text);
                if (result.committed != stores)
                    return fail("a typed label's commit is not the one the text implies");
                if (stores) {
                    LabelRecord r{};
                    r.X = expectStored(expect_.gesture->anchor->first);
                    r.Y = expectStored(expect_.gesture->anchor->second);
                    r.Length = static_cast<int16_t>(text.size());
                    std::copy(text.begin(), text.end(), r.Text.begin());
                    stamp(r);
                    expect_.list<LabelRecord>().push_back(r);
                    ++stats_.committedByKind[static_cast<std::size_t>(Kind::Label) - 1];
                    expect_.state.MouseIsDown = 0;
                }
                if (open && (text.empty() || (printable && expectedCount(Kind::Label) == ListCapacity))) {
                    if (text.empty()) expect_.state.MouseIsDown = 0;
                    expect_.gesture.reset();
                } else if (stores) {
                    expect_.gesture.reset();
                }
                return check();
            }
        }
    }

    void commitPolygon() {
        PolygonRecord r{};
        const auto& corners = expect_.gesture->corners;
        r.Count = static_cast<int16_t>(corners.size());
        for (std::size_t i = 0; i < corners.size(); ++i)
            r.X[i] = corners[i].first, r.Y[i] = corners[i].second;
        stamp(r);
        expect_.list<PolygonRecord>().push_back(r);
        expect_.state.MouseIsDown = 0;
        expect_.state.LastColorIndex = expect_.state.CurrentColorIndex;
        expect_.state.LastColorRGB = expect_.state.CurrentColorRGB;
        ++stats_.commits;
    }

    // The colour and the styles the user chose, on a record of a kind that has them.
    template <class Record>
    void stamp(Record& r) {
        const EditorState& s = expect_.state;
        styled_ = styled_ || s.FillPattern != SolidPattern || s.LineStyle != SolidLine ||
                  s.LineWidth != NormalWidth;
        r.ColorIndex = s.CurrentColorIndex;
        r.ColorRGB = s.CurrentColorRGB;
        constexpr Kind k = kindOfRecord<Record>;
        if constexpr (k == Kind::Fill || k == Kind::Bar || k == Kind::PieSlice) r.Pattern = s.FillPattern;
        if constexpr (k == Kind::Line || k == Kind::Rectangle || k == Kind::Polygon)
            r.LineStyle = s.LineStyle;
        if constexpr (k != Kind::Fill && k != Kind::Bar && k != Kind::PieSlice && k != Kind::Label)
            r.LineWidth = s.LineWidth;
        if constexpr (k == Kind::Label) {
            r.TextSize = s.TextSize;
            r.Vertical = s.TextVertical;
        }
    }

    void chooseStyle() {
        const auto style = static_cast<Style>(uniform(0, 4));
        const auto value = static_cast<int16_t>(uniform(-1, 12));
        begin("style " + std::to_string(static_cast<int>(style)) + " " + std::to_string(value));
        EditorState& s = expect_.state;
        bool valid = false;
        switch (style) {
            case Style::FillPattern:
                valid = value >= 0 && value <= 11;
                if (valid) s.FillPattern = value;
                break;
            case Style::LineStyle:
                valid = value >= 0 && value <= 3;
                if (valid) s.LineStyle = value;
                break;
            case Style::LineWidth:
                valid = value == 1 || value == 3;
                if (valid) s.LineWidth = value;
                break;
            case Style::TextSize:
                valid = value >= 1 && value <= 10;
                if (valid) s.TextSize = value;
                break;
            case Style::TextVertical:
                valid = value == 0 || value == 1;
                if (valid) s.TextVertical = value;
                break;
        }
        if (editor_->setStyle(style, value) != valid) return fail("a style was taken or refused wrongly");
        check();
    }

    void expectCommit(Kind kind, float x, float y) {
        EditorState& s = expect_.state;
        s.MouseIsDown = 0;
        const auto push = [&](auto r) {
            stamp(r);
            expect_.list<decltype(r)>().push_back(r);
        };
        switch (kind) {
            case Kind::Line:
                push(LineRecord{expectStored(s.StartX), expectStored(x), expectStored(s.StartY),
                                expectStored(y)});
                break;
            case Kind::Rectangle:
                push(RectangleRecord{expectStored(s.StartX), expectStored(x), expectStored(s.StartY),
                                     expectStored(y)});
                break;
            case Kind::Ellipse:
                push(EllipseRecord{expectStored(s.StartX), expectStored(x), expectStored(s.StartY),
                                   expectStored(y), 0, 0, 0, 360});
                break;
            case Kind::Circle:
                push(CircleRecord{expectStored(s.StartX), expectStored(s.StartY),
                                  expectStored(expectRadius(s.StartX, s.StartY, x, y))});
                break;
            case Kind::Fill: {
                FillRecord r{expectStored(x), expectStored(y), 0, 0, s.LastColorIndex, s.LastColorRGB};
                push(r);
                return;  // a fill leaves the last outline colour alone
            }
            case Kind::Bar:
                push(BarRecord{expectStored(s.StartX), expectStored(x), expectStored(s.StartY),
                               expectStored(y)});
                return;  // a bar has no outline
            case Kind::Arc:
            case Kind::PieSlice: {
                const StepsSoFar& g = *expect_.gesture;
                const int16_t end = expectAngle(*g.centreX, *g.centreY, x, y);
                if (kind == Kind::Arc)
                    push(ArcRecord{*g.centreX, *g.centreY, *g.radius, *g.start, end});
                else
                    push(PieSliceRecord{*g.centreX, *g.centreY, *g.radius, *g.start, end});
                break;
            }
            case Kind::Polygon:
                --stats_.commits;  // counted again by the release
                commitPolygon();
                return;
            case Kind::Label: return;  // stored by its text, not a release
        }
        s.LastColorIndex = s.CurrentColorIndex;
        s.LastColorRGB = s.CurrentColorRGB;
    }

    void chooseTool() {
        // Mostly the buttons' values; sometimes a value no button sets, which
        // reaches the model only through Picture::selectTool.
        if (chance(0.1)) {
            const int16_t t =
                InvalidTools[static_cast<std::size_t>(uniform(0, static_cast<int>(InvalidTools.size()) - 1))];
            begin("invalid tool " + std::to_string(t));
            if (toolFor(t) != nullptr) return fail("toolFor accepts a tool value no button sets");
            picture_->selectTool(t);
            expect_.state.Tool = t;
        } else {
            // Fill is picked less often than the outline tools: see step().
            constexpr std::array<int16_t, 20> weighted{0, 1, 1, 1, 2, 2, 2, 3, 3, 3,
                                                       4, 4, 4, 5, 6, 7, 7, 8, 9, 10};
            const int16_t t = weighted[static_cast<std::size_t>(uniform(0, 19))];
            begin("tool " + std::to_string(t));
            editor_->selectTool(t);
            toolChosen(t);
        }
        check();
    }

    void chooseColour() {
        const PaletteEntry& e =
            Palette[static_cast<std::size_t>(uniform(0, static_cast<int>(Palette.size()) - 1))];
        begin(std::string("colour ") + e.name);
        editor_->selectColour(e.index, e.rgb);
        expect_.state.CurrentColorIndex = e.index;
        expect_.state.CurrentColorRGB = e.rgb;
        check();
    }

    // Another tool ends a shape under way in steps.
    void toolChosen(int16_t t) {
        if (expect_.gesture) {
            expect_.gesture.reset();
            expect_.state.MouseIsDown = 0;
        }
        expect_.state.Tool = t;
    }

    void undo() {
        begin("undo");
        const int16_t tool = expect_.state.Tool;
        if (expect_.gesture && static_cast<int16_t>(expect_.gesture->kind) == tool) {
            // In the middle of a shape, Undo cancels it and drops nothing.
            editor_->Command5_Click();
            expect_.gesture.reset();
            expect_.state.MouseIsDown = 0;
            return check();
        }
        std::vector<unsigned char> before;
        const bool drops = isKind(tool) && expectedCount(static_cast<Kind>(tool)) > 0;
        if (!drops) before = modelBytes();
        editor_->Command5_Click();
        if (drops) {
            picture_->withList(static_cast<Kind>(tool), [&](const auto& got) {
                std::vector<RecordOf<decltype(got)>>& list = expect_.list<RecordOf<decltype(got)>>();
                // The dropped record stays in its slot; only the counter moves.
                if (got.slot(static_cast<int>(list.size()) - 1) != list.back()) {
                    fail("undo did not leave the dropped record in its slot");
                }
                list.pop_back();
            });
            ++stats_.undos;
        } else if (before != modelBytes()) {
            return fail("an undo with nothing to drop changed the model");
        }
        check();
        if (failure_.empty() && chance(0.1)) compareWithFreshRepaint();
    }

    void generate() {
        begin("Generate");
        checkText(TextForm::Absolute, {}, generateAbsolute(*picture_));
    }

    void value() {
        begin("Value");
        const Origin origin = computeOrigin(*picture_);
        const TextOrigin want = fuzz::expectedValueOrigin(*picture_);
        if (!laterKinds() && (origin.XK != want.XK || origin.YK != want.YK)) {
            return fail("Value found the origin " + std::to_string(origin.XK) + "," +
                        std::to_string(origin.YK) + " instead of " + std::to_string(want.XK) + "," +
                        std::to_string(want.YK));
        }
        XK_ = origin.XK;
        YK_ = origin.YK;
        lastValueOrigin_ = origin;
        checkText(TextForm::Value, {origin.XK, origin.YK}, generateValueForm(*picture_, origin));
    }

    void slider() {
        if (chance(0.5)) {
            // Slider1 across its range, or back to where "Value" put it.
            int32_t p = uniform(0, 640);
            if (lastValueOrigin_ && chance(0.3)) p = lastValueOrigin_->XK;
            if (chance(0.1)) p = chance(0.5) ? 0 : 640;
            begin("Slider1 " + std::to_string(p));
            XK_ = p;
        } else {
            const auto p = static_cast<int16_t>(chance(0.1) ? 480 * uniform(0, 1) : uniform(0, 480));
            begin("Slider2 " + std::to_string(p));
            YK_ = p;
        }
        // An XK no slider or "Value" has set is written and subtracted as 0.
        checkText(TextForm::Slider, {XK_.value_or(0), YK_}, generateSliderForm(*picture_, XK_, YK_));
    }

    // --- one list to its capacity and past -----------------------------------

    void capacityPhase() {
        // The kinds take turns, so that a few phases cover all five lists.
        const Kind kind =
            KindsByTool[static_cast<std::size_t>(stats_.capacityPhases + firstPhaseKind_) % FirstKinds].kind;
        ++stats_.capacityPhases;
        inCapacityPhase_ = true;
        // Quick commits straight into the model, as a long session would have
        // made them, leaving the last few slots for the editor to fill.
        const int room = uniform(0, 3);
        begin(std::string("quick commits of ") + kindName(kind) + " up to " +
              std::to_string(ListCapacity - room));
        while (expectedCount(kind) < ListCapacity - room && failure_.empty()) quickCommit(kind);
        check();

        // Through the editor: drags that fill the last slots, then drags that
        // must be refused.
        if (failure_.empty()) {
            begin(std::string("tool ") + std::to_string(static_cast<int>(kind)));
            editor_->selectTool(static_cast<int16_t>(kind));
            toolChosen(static_cast<int16_t>(kind));
            check();
        }
        for (int n = room + uniform(1, 3); n > 0 && failure_.empty(); --n) gesture(kind == Kind::Fill);
        if (failure_.empty() && expectedCount(kind) != ListCapacity) {
            // A gesture may end off the canvas; finish the list on it.
            while (expectedCount(kind) < ListCapacity && failure_.empty()) {
                press(100.0f, 100.0f);
                if (failure_.empty()) release(200.0f, 300.0f);
            }
        }
        if (failure_.empty()) release(3000.0f, 2000.0f);  // at 1001 already: refused

        // Ordinary use with one list full: other kinds still commit, the texts
        // hold 1001 lines of that kind.
        for (int n = uniform(5, 30); n > 0 && failure_.empty(); --n) step();
        if (failure_.empty()) generate();
        if (failure_.empty()) value();
        if (failure_.empty()) slider();

        // Undo makes room again.
        if (failure_.empty()) {
            begin(std::string("tool ") + std::to_string(static_cast<int>(kind)));
            editor_->selectTool(static_cast<int16_t>(kind));
            toolChosen(static_cast<int16_t>(kind));
            check();
        }
        for (int n = uniform(1, 3); n > 0 && failure_.empty(); --n) undo();
        if (failure_.empty()) gesture(kind == Kind::Fill);

        // Shrink the list again so the following repaints stay cheap.
        const int keep = uniform(0, 20);
        if (failure_.empty())
            begin("quick undo of " + std::string(kindName(kind)) + " down to " + std::to_string(keep));
        while (failure_.empty() && expectedCount(kind) > keep) {
            editor_->history().undoDrawing(picture_->state.Tool);
            picture_->withList(
                kind, [&](const auto& list) { expect_.list<RecordOf<decltype(list)>>().pop_back(); });
        }
        if (failure_.empty()) check();
        if (failure_.empty()) checkAllRecords();
        inCapacityPhase_ = false;
    }

    // One record committed through the model without the editor's repaint.
    // Fill seeds lie left of the image, so that the repaints of a full list
    // do not have to run a thousand floods.
    void quickCommit(Kind kind) {
        const PaletteEntry& e =
            Palette[static_cast<std::size_t>(uniform(0, static_cast<int>(Palette.size()) - 1))];
        picture_->selectColour(e.index, e.rgb);
        expect_.state.CurrentColorIndex = e.index;
        expect_.state.CurrentColorRGB = e.rgb;
        const auto x = [&] { return static_cast<int16_t>(uniform(-500, CanvasWidth)); };
        const auto y = [&] { return static_cast<int16_t>(uniform(-500, CanvasHeight)); };
        CommitResult result = CommitResult::Refused;
        const EditorState s = expect_.state;
        const int16_t i = s.CurrentColorIndex;
        const int32_t rgb = s.CurrentColorRGB;
        switch (kind) {
            case Kind::Line: {
                LineRecord r{x(), x(), y(), y(), i, rgb};
                stamp(r);
                result = picture_->commitLine(r);
                expect_.list<LineRecord>().push_back(r);
                break;
            }
            case Kind::Rectangle: {
                RectangleRecord r{x(), x(), y(), y(), i, rgb};
                stamp(r);
                result = picture_->commitRectangle(r);
                expect_.list<RectangleRecord>().push_back(r);
                break;
            }
            case Kind::Ellipse: {
                EllipseRecord r{x(), x(), y(), y(), i, rgb, 0, 360};
                stamp(r);
                result = picture_->commitEllipse(r);
                expect_.list<EllipseRecord>().push_back(r);
                break;
            }
            case Kind::Circle: {
                CircleRecord r{x(), y(), static_cast<int16_t>(uniform(0, 3000)), i, rgb};
                stamp(r);
                result = picture_->commitCircle(r);
                expect_.list<CircleRecord>().push_back(r);
                break;
            }
            case Kind::Fill: {
                const auto fx = static_cast<int16_t>(uniform(-32768, -8));
                const int16_t fy = y();
                result = picture_->commitFill(fx, fy);
                FillRecord r{fx, fy, i, rgb, s.LastColorIndex, s.LastColorRGB};
                stamp(r);
                expect_.list<FillRecord>().push_back(r);
                break;
            }
            default: return;  // the later kinds are not drawn here
        }
        expect_.state.MouseIsDown = 0;
        if (kind != Kind::Fill) {
            expect_.state.LastColorIndex = i;
            expect_.state.LastColorRGB = rgb;
        }
        ++stats_.bulkCommits;
        if (result != CommitResult::Committed) fail("a quick commit into a list with room was refused");
    }

    // --- invariants -------------------------------------------------------------

    int expectedCount(Kind kind) {
        int n = 0;
        picture_->withList(kind, [&](const auto& list) {
            n = static_cast<int>(expect_.list<RecordOf<decltype(list)>>().size());
        });
        return n;
    }

    std::vector<unsigned char> modelBytes() const {
        const auto* p = reinterpret_cast<const unsigned char*>(picture_.get());
        return {p, p + sizeof(Picture)};
    }

    // After every event: the counters, the state, and the newest record of
    // each kind are what the events imply.
    void check() {
        if (!failure_.empty()) return;
        const Picture& p = *picture_;
        p.forEachList([&](Kind kind, const auto& list) {
            if (!failure_.empty()) return;
            const int16_t count = list.count();
            if (count < 0 || count > ListCapacity) {
                return fail(std::string(kindName(kind)) + " counter " + std::to_string(count) +
                            " outside 0..1001");
            }
            if (count != expectedCount(kind)) {
                return fail(std::string(kindName(kind)) + " counter is " + std::to_string(count) +
                            ", expected " + std::to_string(expectedCount(kind)));
            }
        });
        p.forEachList([&](Kind kind, const auto& list) { checkNewest(kind, list); });
        if (!failure_.empty()) return;

        const EditorState& s = p.state;
        const EditorState& e = expect_.state;
        if (s.MouseIsDown != 0 && s.MouseIsDown != 1) {
            return fail("MouseIsDown is " + std::to_string(s.MouseIsDown));
        }
        if (s.MouseIsDown != e.MouseIsDown) return fail("MouseIsDown is " + std::to_string(s.MouseIsDown));
        // Only a tool choice changes Tool; a value no button sets stays as
        // chosen (release() checks that it commits nothing).
        if (s.Tool != e.Tool)
            return fail("Tool is " + std::to_string(s.Tool) + ", chosen was " + std::to_string(e.Tool));
        if (s.CurrentColorIndex != e.CurrentColorIndex || s.CurrentColorRGB != e.CurrentColorRGB) {
            return fail("the current colour changed by itself");
        }
        if (s.LastColorIndex != e.LastColorIndex || s.LastColorRGB != e.LastColorRGB) {
            return fail("the last outline colour is " + std::to_string(s.LastColorIndex) + ", expected " +
                        std::to_string(e.LastColorIndex));
        }
        if (!sameFloat(s.StartX, e.StartX) || !sameFloat(s.StartY, e.StartY)) {
            return fail("the press point is " + show(s.StartX) + "," + show(s.StartY) + ", expected " +
                        show(e.StartX) + "," + show(e.StartY));
        }
        if (!sameFloat(s.PrevX, e.PrevX) || !sameFloat(s.PrevY, e.PrevY)) {
            return fail("the preview point is " + show(s.PrevX) + "," + show(s.PrevY) + ", expected " +
                        show(e.PrevX) + "," + show(e.PrevY));
        }
        if (surface_->fillStyle() != FillTransparent) return fail("the fill style was left solid");
    }

    template <class Record>
    void checkNewest(Kind kind, const ShapeList<Record>& got) {
        if (!failure_.empty()) return;
        const std::vector<Record>& want = expect_.list<Record>();
        if (want.empty()) return;
        if (got.records().back() != want.back()) {
            fail(std::string("the newest ") + kindName(kind) + " (slot " + std::to_string(want.size() - 1) +
                 ") is not the record the events imply");
        }
    }

    // Every record, not only the newest, at the points where a whole list may
    // have been rewritten unnoticed.
    void checkAllRecords() {
        picture_->forEachList([&](Kind kind, const auto& list) {
            const std::vector<RecordOf<decltype(list)>>& want = expect_.list<RecordOf<decltype(list)>>();
            const auto got = list.records();
            for (std::size_t i = 0; i < want.size() && failure_.empty(); ++i) {
                if (got[i] != want[i])
                    fail(kindName(kind) + std::string(" slot ") + std::to_string(i) + " changed");
            }
        });
    }

    // The shared text checker reads the first five kinds in their plain
    // styles; the later kinds and the styles have their own round trip.
    bool laterKinds() const {
        if (styled_) return true;
        for (std::size_t k = FirstKinds; k < KindCount; ++k)
            if (picture_->count(KindsByTool[k].kind) > 0) return true;
        return false;
    }

    // With the later kinds or styles, the text must come back through
    // Picture from text as a picture whose text in the same form is the same.
    void checkTextRoundTrip(TextForm form, const std::string& text) {
        ++stats_.roundTrips;
        const PictureImport back = importPicture(text);
        if (!back.picture) {
            const std::string why = back.problems.empty() ? "" : back.problems.front().message;
            return fail("the generated text did not come back as a picture: " + why);
        }
        const Picture& p = *back.picture;
        const std::string again = form == TextForm::Absolute ? generateAbsolute(p)
                                  : form == TextForm::Value  ? generateValueForm(p, Origin{back.XK, back.YK})
                                                             : generateSliderForm(p, back.XK, back.YK);
        if (again != text) fail("the generated text came back as a picture with another text");
    }

    void checkText(TextForm form, TextOrigin origin, const std::string& text) {
        // The text checker reads the first five kinds' statements in their
        // plain styles; past them the text's own round trip stands in.
        if (laterKinds()) {
            if (chance(0.05)) checkTextRoundTrip(form, text);
            return check();
        }
        ++stats_.texts;
        stats_.textLines += static_cast<long>(expect_.total());
        const std::string fault = fuzz::checkProgramText(*picture_, form, origin, text);
        if (!fault.empty()) return fail(fault);
        check();
        if (failure_.empty() && chance(0.1)) checkAllRecords();
    }

    // The repaint depends on the model and the scale alone: the editor's image
    // right after one must equal a repaint of the same model elsewhere.
    void compareWithFreshRepaint() {
        ++stats_.repaintComparisons;
        drowob(*picture_, *reference_);
        const auto size =
            static_cast<std::size_t>(surface_->width()) * static_cast<std::size_t>(surface_->height());
        const uint32_t* a = surface_->bits();
        const uint32_t* b = reference_->bits();
        for (std::size_t i = 0; i < size; ++i) {
            if (a[i] != b[i]) {
                const std::size_t w = static_cast<std::size_t>(surface_->width());
                return fail("after the repaint pixel " + std::to_string(i % w) + "," + std::to_string(i / w) +
                            " differs from a repaint of the same model");
            }
        }
    }

    void checkPixels() {
        const auto size =
            static_cast<std::size_t>(surface_->width()) * static_cast<std::size_t>(surface_->height());
        for (std::size_t i = 0; i < size; ++i) {
            if ((surface_->bits()[i] & 0xFF000000u) != 0) return fail("a pixel has its top byte set");
        }
    }

    // --- reporting -----------------------------------------------------------

    void begin(const std::string& what) {
        ++stats_.events;
        // Appended piece by piece: GCC 12 at -O3 inlines `"#" + std::string&&` and
        // then reports an impossible overlapping copy (-Wrestrict).
        std::string& entry = recent_[static_cast<std::size_t>(stats_.events) % recent_.size()];
        entry = "#";
        entry += std::to_string(stats_.events);
        entry += ' ';
        entry += what;
    }

    void fail(const std::string& what) {
        if (!failure_.empty()) return;
        failure_ = "event #" + std::to_string(stats_.events) + ": " + what + "\n(again with " + reproduce_ +
                   ")\nlast events:\n";
        for (std::size_t k = 1; k <= recent_.size(); ++k) {
            const std::string& line =
                recent_[static_cast<std::size_t>(stats_.events + static_cast<long>(k)) % recent_.size()];
            if (!line.empty()) failure_ += "  " + line + "\n";
        }
    }

    std::mt19937_64 rng_;
    std::string reproduce_;
    Scale scale_;
    bool swallow_ = false;
    bool styled_ = false;  // a record of this window was stored in a style other than the plain ones  // a
                           // double-click with the polygon tool takes the next release
    std::unique_ptr<Picture> picture_;
    std::unique_ptr<RasterSurface> surface_;
    std::unique_ptr<RasterSurface> reference_;
    std::unique_ptr<Editor> editor_;
    Expectation expect_;
    // The window's origin fields: XK unset until "Value" or Slider1.
    std::optional<int32_t> XK_;
    int16_t YK_ = 0;
    std::optional<Origin> lastValueOrigin_;
    bool inCapacityPhase_ = false;
    long firstPhaseKind_ = 0;
    long phaseSpacing_ = 1;
    long nextPhaseAt_ = 0;
    std::array<std::string, 40> recent_;
    std::string failure_;
    Stats stats_;
};

constexpr std::array<Scale, 5> Scales{
    {{15.0f, 15.0f}, {10.0f, 10.0f}, {12.0f, 12.0f}, {7.5f, 7.5f}, {15.0f, 12.0f}}};

class EditorFuzz : public ::testing::TestWithParam<std::size_t> {};

TEST_P(EditorFuzz, RandomSessionsKeepTheInvariants) {
    const std::optional<long> total = envCount("PASDRAW_FUZZ_EVENTS", 200000);
    const std::optional<long> firstSeed = envCount("PASDRAW_FUZZ_SEED", 1);
    ASSERT_TRUE(total.has_value()) << "PASDRAW_FUZZ_EVENTS must be a non-negative number";
    ASSERT_TRUE(firstSeed.has_value()) << "PASDRAW_FUZZ_SEED must be a non-negative number";
    const std::size_t index = GetParam();
    const Scale scale = Scales[index];
    const long events = *total / static_cast<long>(Scales.size());
    const auto start = std::chrono::steady_clock::now();
    const uint64_t seed = static_cast<uint64_t>(*firstSeed) + index;
    Session session(scale, seed,
                    "PASDRAW_FUZZ_EVENTS=" + std::to_string(*total) +
                        " PASDRAW_FUZZ_SEED=" + std::to_string(*firstSeed) + " --gtest_filter='*" +
                        ::testing::UnitTest::GetInstance()->current_test_info()->name() + "'");
    const std::string failure = session.run(events);
    const Stats& all = session.stats();
    ASSERT_TRUE(failure.empty()) << failure;
    const double seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    std::printf(
        "scale %gx%g: %ld events in %ld windows (%.1f s): %ld commits (line %ld, rectangle %ld, ellipse %ld, "
        "circle %ld, fill %ld), %ld quick commits, %ld refused, %ld undone, %ld capacity phases, %ld texts "
        "with %ld lines, %ld round trips, %ld repaint comparisons\n",
        static_cast<double>(scale.x), static_cast<double>(scale.y), all.events, all.windows, seconds,
        all.commits, all.committedByKind[0], all.committedByKind[1], all.committedByKind[2],
        all.committedByKind[3], all.committedByKind[4], all.bulkCommits, all.refusals, all.undos,
        all.capacityPhases, all.texts, all.textLines, all.roundTrips, all.repaintComparisons);
    RecordProperty("events", static_cast<int>(all.events));
    // Guards against a driver that silently stops exercising a path: every
    // phase ends in at least one refused commit.
    if (events >= 6) {
        EXPECT_GE(all.capacityPhases, 5);
        EXPECT_GE(all.refusals, 5);
    }
    if (events >= 20000) {
        for (std::size_t k = 0; k < KindCount; ++k)
            EXPECT_GT(all.committedByKind[k], 0) << kindName(KindsByTool[k].kind);
        EXPECT_GT(all.roundTrips, 0);
    }
}

INSTANTIATE_TEST_SUITE_P(Scales, EditorFuzz, ::testing::Range<std::size_t>(0, Scales.size()),
                         [](const ::testing::TestParamInfo<std::size_t>& param) {
                             const Scale s = Scales[param.param];
                             std::string name = "TwipsPerPixel" + show(s.x) + "x" + show(s.y);
                             for (char& c : name) c = c == '.' ? '_' : c;
                             return name;
                         });

}  // namespace
}  // namespace pasdraw
