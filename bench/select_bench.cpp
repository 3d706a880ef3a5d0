// The Select tool on the largest pictures: a press that picks (5005 shapes
// looked at), and one arrow-key step with the repaint it causes.
#include <benchmark/benchmark.h>

#include <memory>
#include <random>

#include "document/document.h"
#include "editor/selection.h"
#include "pictures.h"

namespace pasdraw {
namespace {

// Presses spread over the canvas, most of them near nothing, the worst case
// for a pick: every record is measured.
void BM_PickAt5005Shapes(benchmark::State& state) {
    const auto picture = state.range(0) == 0 ? bench::spreadPicture() : bench::spanningPicture();
    std::mt19937 rng(1);
    std::uniform_real_distribution<float> x(0.0f, 6400.0f), y(0.0f, 4800.0f);
    std::size_t hits = 0;
    for (auto _ : state) {
        hits += shapesAt(*picture, x(rng), y(rng), 45.0f).size();
    }
    benchmark::DoNotOptimize(hits);
}
BENCHMARK(BM_PickAt5005Shapes)->Arg(0)->Arg(1)->Unit(benchmark::kMicrosecond);

// One nudge of a picked circle, right then back: the edit, its history entry
// and the full repaint.
void BM_NudgeStepAt5005Shapes(benchmark::State& state) {
    Document doc;
    const auto picture = state.range(0) == 0 ? bench::spreadPicture() : bench::spanningPicture();
    doc.picture().replaceShapes(*picture);
    doc.shapesReplaced();
    doc.selectTool(Document::SelectTool);
    const CircleRecord& c = doc.picture().Circles[500];
    doc.pointerPress(1, 0, static_cast<float>(c.X + c.Radius), static_cast<float>(c.Y));
    doc.pointerRelease(1, 0, static_cast<float>(c.X + c.Radius), static_cast<float>(c.Y));
    if (!doc.selection()) state.SkipWithError("the press picked nothing");
    int direction = 10;
    for (auto _ : state) {
        doc.nudge(direction, 0);
        direction = -direction;
    }
}
BENCHMARK(BM_NudgeStepAt5005Shapes)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond);

}  // namespace
}  // namespace pasdraw
