// Text generation for a full picture (1001 records of every kind) in the three
// forms, next to the literal way the text box was once filled: every piece
// appended by copying the whole text, adding the piece and assigning it back.
#include <benchmark/benchmark.h>

#include <charconv>
#include <cstdint>
#include <cstdlib>
#include <memory>
#include <string>
#include <utility>

#include "codegen/codegen.h"
#include "pictures.h"

namespace {

using pasdraw::Picture;

const Picture& picture() {
    static const std::unique_ptr<Picture> p = pasdraw::bench::spanningPicture();
    return *p;
}

void BM_Absolute(benchmark::State& state) {
    for (auto _ : state) benchmark::DoNotOptimize(pasdraw::generateAbsolute(picture()));
}
BENCHMARK(BM_Absolute)->Unit(benchmark::kMicrosecond);

void BM_ValueForm(benchmark::State& state) {
    for (auto _ : state) {
        benchmark::DoNotOptimize(pasdraw::generateValueForm(picture(), pasdraw::computeOrigin(picture())));
    }
}
BENCHMARK(BM_ValueForm)->Unit(benchmark::kMicrosecond);

void BM_SliderForm(benchmark::State& state) {
    for (auto _ : state) benchmark::DoNotOptimize(pasdraw::generateSliderForm(picture(), 320, 240));
}
BENCHMARK(BM_SliderForm)->Unit(benchmark::kMicrosecond);

// The fullest picture of all ten kinds in every style: 1001 of each.
const Picture& everyKind() {
    static const std::unique_ptr<Picture> p = pasdraw::bench::everyKindPicture();
    return *p;
}
void BM_Absolute_EveryKind(benchmark::State& state) {
    for (auto _ : state) benchmark::DoNotOptimize(pasdraw::generateAbsolute(everyKind()));
}
BENCHMARK(BM_Absolute_EveryKind)->Unit(benchmark::kMicrosecond);
void BM_ValueForm_EveryKind(benchmark::State& state) {
    for (auto _ : state) {
        benchmark::DoNotOptimize(
            pasdraw::generateValueForm(everyKind(), pasdraw::computeOrigin(everyKind())));
    }
}
BENCHMARK(BM_ValueForm_EveryKind)->Unit(benchmark::kMicrosecond);
void BM_SliderForm_EveryKind(benchmark::State& state) {
    for (auto _ : state) benchmark::DoNotOptimize(pasdraw::generateSliderForm(everyKind(), 320, 240));
}
BENCHMARK(BM_SliderForm_EveryKind)->Unit(benchmark::kMicrosecond);

// ---- the piece-by-piece baseline: text = text + piece for every piece

class PieceByPiece {
public:
    explicit PieceByPiece(std::string first) : text_(std::move(first)) {}
    void add(const std::string& piece) { text_ = text_ + piece; }
    std::string take() { return std::move(text_); }

private:
    std::string text_;
};

std::string num(int64_t v) {
    char buf[24];
    return std::string(buf, std::to_chars(buf, buf + sizeof buf, v).ptr);
}

int64_t q(int16_t v) { return pasdraw::toScreen(v); }

// Each record is two pieces, its colour prefix and its statement with CR LF,
// as the text box received them.
std::string pieceByPiece(const Picture& p, const std::string& originLine, const std::string& xo,
                         const std::string& yo, const std::string& cl, int64_t XK, int64_t YK) {
    PieceByPiece t(originLine);
    auto pt = [&](int64_t x, int64_t y) { return xo + num(x - XK) + cl + "," + yo + num(y - YK) + cl; };
    for (const auto& r : p.Lines.records()) {
        t.add("setcolor(" + num(r.ColorIndex) + ");");
        t.add("line(" + pt(q(r.X1), q(r.Y1)) + "," + pt(q(r.X2), q(r.Y2)) + ");\r\n");
    }
    for (const auto& r : p.Rectangles.records()) {
        t.add("setcolor(" + num(r.ColorIndex) + ");");
        t.add("rectangle(" + pt(q(r.X1), q(r.Y1)) + "," + pt(q(r.X2), q(r.Y2)) + ");\r\n");
    }
    for (const auto& r : p.Ellipses.records()) {
        const int64_t hx = (q(r.X2) - q(r.X1)) / 2;
        const int64_t hy = (q(r.Y2) - q(r.Y1)) / 2;
        t.add("setcolor(" + num(r.ColorIndex) + ");");
        t.add("ellipse(" + pt(q(r.X1) + hx, q(r.Y1) + hy) + "," + num(r.StartAngle) + "," + num(r.EndAngle) +
              "," + num(hx < 0 ? -hx : hx) + "," + num(hy < 0 ? -hy : hy) + ");\r\n");
    }
    for (const auto& r : p.Circles.records()) {
        t.add("setcolor(" + num(r.ColorIndex) + ");");
        t.add("circle(" + pt(q(r.X), q(r.Y)) + "," + num(q(r.Radius)) + ");\r\n");
    }
    for (const auto& r : p.Fills.records()) {
        t.add("setfillstyle(1," + num(r.ColorIndex) + ");");
        t.add("floodfill(" + pt(q(r.X), q(r.Y)) + "," + num(r.BorderIndex) + ");\r\n");
    }
    return t.take();
}

void BM_Absolute_PieceByPiece(benchmark::State& state) {
    for (auto _ : state) benchmark::DoNotOptimize(pieceByPiece(picture(), "", "", "", "", 0, 0));
}
BENCHMARK(BM_Absolute_PieceByPiece)->Unit(benchmark::kMicrosecond);

void BM_ValueForm_PieceByPiece(benchmark::State& state) {
    for (auto _ : state) {
        const pasdraw::Origin o = pasdraw::computeOrigin(picture());
        benchmark::DoNotOptimize(pieceByPiece(picture(), "XK:=" + num(o.XK) + "; YK:=" + num(o.YK) + ";",
                                              "XK+", "YK+", "", o.XK, o.YK));
    }
}
BENCHMARK(BM_ValueForm_PieceByPiece)->Unit(benchmark::kMicrosecond);

void BM_SliderForm_PieceByPiece(benchmark::State& state) {
    for (auto _ : state) {
        benchmark::DoNotOptimize(pieceByPiece(picture(), "XK:=320; YK:=240;", "XK+(", "YK+(", ")", 320, 240));
    }
}
BENCHMARK(BM_SliderForm_PieceByPiece)->Unit(benchmark::kMicrosecond);

// The baseline must build the same text, or the comparison means nothing.
[[maybe_unused]] const bool kSameText = [] {
    const pasdraw::Origin o = pasdraw::computeOrigin(picture());
    const bool same = pieceByPiece(picture(), "", "", "", "", 0, 0) == pasdraw::generateAbsolute(picture()) &&
                      pieceByPiece(picture(), "XK:=" + num(o.XK) + "; YK:=" + num(o.YK) + ";", "XK+", "YK+",
                                   "", o.XK, o.YK) == pasdraw::generateValueForm(picture(), o) &&
                      pieceByPiece(picture(), "XK:=320; YK:=240;", "XK+(", "YK+(", ")", 320, 240) ==
                          pasdraw::generateSliderForm(picture(), 320, 240);
    if (!same) std::abort();
    return same;
}();

}  // namespace
