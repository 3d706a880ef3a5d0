// Repaint and flood-fill cost on the largest pictures the editor can hold.
#include <benchmark/benchmark.h>

#include <type_traits>

#include "canvas/raster_surface.h"
#include "canvas/repaint.h"
#include "editor/editor.h"
#include "model/palette.h"
#include "pictures.h"

namespace pasdraw {
namespace {

constexpr int32_t LightBlue = 0x00FF0000;

// 1000 records of every kind: small light-blue boxes on a 40 x 25 grid, a
// line, an ellipse and a circle of other colours in each box, and one fill
// seeded inside each box, bounded by the boxes' colour.
Picture fullPicture(int perKind = 1000) {
    Picture p;
    for (int i = 0; i < perKind; ++i) {
        const int16_t x = static_cast<int16_t>(10 + (i % 40) * 159);
        const int16_t y = static_cast<int16_t>(10 + (i / 40) * 190);
        p.selectColour(4, 0x000000C0);
        p.commitLine({x, static_cast<int16_t>(x + 60), static_cast<int16_t>(y + 20),
                      static_cast<int16_t>(y + 40), 0, 0});
        p.selectColour(14, 0x0000FFFF);
        EllipseRecord e{};
        e.X1 = static_cast<int16_t>(x + 70), e.X2 = static_cast<int16_t>(x + 130);
        e.Y1 = static_cast<int16_t>(y + 20), e.Y2 = static_cast<int16_t>(y + 60);
        p.commitEllipse(e);
        p.selectColour(2, 0x00008000);
        p.commitCircle({static_cast<int16_t>(x + 70), static_cast<int16_t>(y + 120), 30, 0, 0});
        p.selectColour(9, LightBlue);
        p.commitRectangle({x, static_cast<int16_t>(x + 150), y, static_cast<int16_t>(y + 180), 0, 0});
    }
    p.selectColour(12, 0x008080FF);
    for (int i = 0; i < perKind; ++i) {
        p.commitFill(static_cast<int16_t>(10 + (i % 40) * 159 + 120),
                     static_cast<int16_t>(10 + (i / 40) * 190 + 150));
    }
    return p;
}

void BM_DrowobFullPicture(benchmark::State& state) {
    const Picture p = fullPicture();
    RasterSurface s(15, 15);
    for (auto _ : state) {
        drowob(p, s);
        benchmark::DoNotOptimize(s.bits());
    }
    state.counters["records"] = 5000;
}
BENCHMARK(BM_DrowobFullPicture)->Unit(benchmark::kMillisecond);

void BM_DrowobFullPictureAt10TwipsPerPixel(benchmark::State& state) {
    const Picture p = fullPicture();
    RasterSurface s(10, 10);
    for (auto _ : state) {
        drowob(p, s);
        benchmark::DoNotOptimize(s.bits());
    }
}
BENCHMARK(BM_DrowobFullPictureAt10TwipsPerPixel)->Unit(benchmark::kMillisecond);

// The user's view of it: one more rectangle released onto a full picture.
void BM_CommitOneMoreShape(benchmark::State& state) {
    Picture p = fullPicture();
    RasterSurface s(15, 15);
    Editor editor(p, s);
    editor.selectTool(2);
    for (auto _ : state) {
        editor.Form_MouseDown(1, 0, 100, 100);
        editor.Form_MouseMove(1, 0, 300, 300);
        editor.Form_MouseUp(1, 0, 400, 400);
        state.PauseTiming();
        editor.Command5_Click();
        state.ResumeTiming();
    }
}
BENCHMARK(BM_CommitOneMoreShape)->Unit(benchmark::kMillisecond);

// The shared pictures as drawn, every shape in one colour, and as they come
// back from their program text, in the colour of each record's number, so
// that every fill's brush differs from its border and most of them leak.
Picture inPaletteColours(const Picture& drawn) {
    Picture p;
    const auto recolour = [](auto r) {
        r.ColorRGB = paletteRgb(r.ColorIndex);
        if constexpr (requires { r.BorderRGB; }) r.BorderRGB = paletteRgb(r.BorderIndex);
        return r;
    };
    drawn.forEachList([&](Kind kind, const auto& list) {
        p.withList(kind, [&](auto& into) {
            if constexpr (std::is_same_v<decltype(into.records()), decltype(list.records())>) {
                for (const auto& r : list.records()) into.append(recolour(r));
            }
        });
    });
    return p;
}

void drowobOf(benchmark::State& state, const Picture& p) {
    RasterSurface s(static_cast<float>(state.range(0)), static_cast<float>(state.range(0)));
    for (auto _ : state) {
        drowob(p, s);
        benchmark::DoNotOptimize(s.bits());
    }
}

void BM_DrowobSpreadPicture(benchmark::State& state) { drowobOf(state, *bench::spreadPicture()); }
BENCHMARK(BM_DrowobSpreadPicture)->Arg(15)->Arg(10)->Unit(benchmark::kMillisecond);

void BM_DrowobSpanningPicture(benchmark::State& state) { drowobOf(state, *bench::spanningPicture()); }
BENCHMARK(BM_DrowobSpanningPicture)->Arg(15)->Arg(10)->Unit(benchmark::kMillisecond);

// Every kind, 1001 of each, in every style.
void BM_DrowobEveryKindPicture(benchmark::State& state) { drowobOf(state, *bench::everyKindPicture()); }
BENCHMARK(BM_DrowobEveryKindPicture)->Arg(15)->Arg(10)->Unit(benchmark::kMillisecond);

void BM_DrowobSpreadPictureFromText(benchmark::State& state) {
    drowobOf(state, inPaletteColours(*bench::spreadPicture()));
}
BENCHMARK(BM_DrowobSpreadPictureFromText)->Arg(15)->Arg(10)->Unit(benchmark::kMillisecond);

void BM_DrowobSpanningPictureFromText(benchmark::State& state) {
    drowobOf(state, inPaletteColours(*bench::spanningPicture()));
}
BENCHMARK(BM_DrowobSpanningPictureFromText)->Arg(15)->Arg(10)->Unit(benchmark::kMillisecond);

void BM_FloodFillWholeImage(benchmark::State& state) {
    RasterSurface s(15, 15);
    s.setFillStyle(FillSolid);
    int32_t colour = 1;
    for (auto _ : state) {
        s.setFillColor(colour++);
        s.FloodFill(300, 200, White);  // nothing white: the whole image
        benchmark::DoNotOptimize(s.bits());
    }
    state.SetItemsProcessed(state.iterations() * s.width() * s.height());
}
BENCHMARK(BM_FloodFillWholeImage)->Unit(benchmark::kMicrosecond);

void BM_RubberBandMove(benchmark::State& state) {
    Picture p = fullPicture();
    RasterSurface s(15, 15);
    Editor editor(p, s);
    editor.selectTool(static_cast<int16_t>(state.range(0)));
    editor.Form_MouseDown(1, 0, 1000, 1000);
    float x = 1500;
    for (auto _ : state) {
        editor.Form_MouseMove(1, 0, x, 2000);
        x = x > 5000 ? 1500 : x + 15;
    }
}
BENCHMARK(BM_RubberBandMove)->Arg(1)->Arg(2)->Arg(3)->Arg(4)->Unit(benchmark::kMicrosecond);

}  // namespace
}  // namespace pasdraw
