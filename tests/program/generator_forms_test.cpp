// The three texts the window writes for a picture ("Generate", "Value" and a
// slider move) must draw exactly the picture's records when run.
#include <gtest/gtest.h>

#include <optional>
#include <random>
#include <string>

#include "codegen/codegen.h"
#include "codegen/picture_builder.h"
#include "model/palette.h"
#include "program/program.h"
#include "support/recording_graphics.h"

namespace pasdraw {
namespace {

using testing::RecordingGraphics;

std::string call(const char* name, std::initializer_list<int64_t> args) {
    std::string s = std::string(name) + "(";
    bool first = true;
    for (int64_t a : args) {
        if (!first) s += ",";
        s += std::to_string(a);
        first = false;
    }
    return s + ")\n";
}

// A word parameter receives the low 16 bits: a negative radius arrives as
// 65536 + r.
int64_t asWord(int64_t v) { return static_cast<uint16_t>(static_cast<uint64_t>(v) & 0xFFFF); }

// The calls a picture stands for, in the order the texts list the kinds.
std::string expectedCalls(const Picture& p) {
    std::string s;
    auto q = [](int16_t v) { return static_cast<int64_t>(toScreen(v)); };
    for (const LineRecord& r : p.Lines.records())
        s += call("setcolor", {r.ColorIndex}) + call("line", {q(r.X1), q(r.Y1), q(r.X2), q(r.Y2)});
    for (const RectangleRecord& r : p.Rectangles.records())
        s += call("setcolor", {r.ColorIndex}) + call("rectangle", {q(r.X1), q(r.Y1), q(r.X2), q(r.Y2)});
    for (const EllipseRecord& r : p.Ellipses.records()) {
        const int64_t hx = (q(r.X2) - q(r.X1)) / 2;
        const int64_t hy = (q(r.Y2) - q(r.Y1)) / 2;
        s += call("setcolor", {r.ColorIndex}) +
             call("ellipse", {q(r.X1) + hx, q(r.Y1) + hy, asWord(r.StartAngle), asWord(r.EndAngle),
                              hx < 0 ? -hx : hx, hy < 0 ? -hy : hy});
    }
    for (const CircleRecord& r : p.Circles.records())
        s += call("setcolor", {r.ColorIndex}) + call("circle", {q(r.X), q(r.Y), asWord(q(r.Radius))});
    for (const FillRecord& r : p.Fills.records())
        s += call("setfillstyle", {1, r.ColorIndex}) + call("floodfill", {q(r.X), q(r.Y), r.BorderIndex});
    return s;
}

class RandomPictures {
public:
    explicit RandomPictures(uint64_t seed) : rng_(seed) {}

    std::unique_ptr<Picture> make(int records) {
        auto p = testing::newPicture();
        for (int k = 0; k < records; ++k) {
            const PaletteEntry& e =
                Palette[static_cast<std::size_t>(pick(0, static_cast<int>(Palette.size()) - 1))];
            p->selectColour(e.index, e.rgb);
            switch (pick(0, 4)) {
                case 0: p->commitLine({v(), v(), v(), v(), 0, 0}); break;
                case 1: p->commitRectangle({v(), v(), v(), v(), 0, 0}); break;
                case 2: p->commitEllipse({v(), v(), v(), v(), 0, 0, 0, 0}); break;
                case 3: p->commitCircle({v(), v(), v(), 0, 0}); break;
                default: p->commitFill(v(), v()); break;
            }
        }
        return p;
    }
    int pick(int lo, int hi) { return std::uniform_int_distribution<int>(lo, hi)(rng_); }

private:
    // Mostly on the canvas, sometimes anywhere in 16 bits.
    int16_t v() { return static_cast<int16_t>(pick(0, 4) == 0 ? pick(-32768, 32767) : pick(0, 6400)); }
    std::mt19937_64 rng_;
};

void expectDraws(const std::string& text, const std::string& calls, int16_t XK, int16_t YK) {
    RecordingGraphics g;
    const RunResult r = runProgram(text, g);
    ASSERT_TRUE(r.problems.empty()) << r.problems.front().message << " at " << r.problems.front().line << ":"
                                    << r.problems.front().column;
    EXPECT_EQ(g.joined(), calls);
    EXPECT_EQ(r.value(ProgramVar::XK), XK);
    EXPECT_EQ(r.value(ProgramVar::YK), YK);
}

TEST(GeneratorForms, RandomPicturesDrawTheirRecordsInEveryForm) {
    RandomPictures maker(7);
    for (int n = 0; n < 40; ++n) {
        SCOPED_TRACE(n);
        const auto p = maker.make(n == 0 ? 0 : maker.pick(1, 30));
        const std::string calls = expectedCalls(*p);
        expectDraws(generateAbsolute(*p), calls, 0, 0);
        const Origin o = computeOrigin(*p);
        expectDraws(generateValueForm(*p, o), calls, static_cast<int16_t>(o.XK), o.YK);
        // A slider may hold any 32-bit position; only its low 16 bits reach XK.
        const int32_t sliderX =
            maker.pick(0, 3) == 0 ? maker.pick(-2000000000, 2000000000) : maker.pick(0, 640);
        const auto sliderY = static_cast<int16_t>(maker.pick(-32768, 32767));
        expectDraws(generateSliderForm(*p, sliderX, sliderY), calls,
                    static_cast<int16_t>(static_cast<uint32_t>(sliderX) & 0xFFFF), sliderY);
        expectDraws(generateSliderForm(*p, std::nullopt, sliderY), calls, 0, sliderY);
    }
}

TEST(GeneratorForms, ExtremesDrawTheirRecords) {
    auto p = testing::newPicture();
    testing::addExtremes(*p);
    const std::string calls = expectedCalls(*p);
    expectDraws(generateAbsolute(*p), calls, 0, 0);
    const Origin o = computeOrigin(*p);
    expectDraws(generateValueForm(*p, o), calls, static_cast<int16_t>(o.XK), o.YK);
}

}  // namespace
}  // namespace pasdraw
