// Drawing a whole picture on the BGI screen, the way the preview will: the
// editor's five kinds of statement with random sizes, and the costs of one
// full-screen flood fill and of large curves.
#include <benchmark/benchmark.h>

#include <algorithm>
#include <random>
#include <vector>

#include "bgi/bgi_screen.h"

namespace pasdraw {
namespace {

struct Statement {
    int kind;  // 0 line, 1 rectangle, 2 ellipse, 3 circle, 4 fill
    int16_t a, b, c, d;
    uint16_t colour, border;
};

// 1001 statements of each kind as the editor writes them: shapes anywhere on
// the screen, 4 to 60 pixels across, each fill seeded in the middle of the
// closed shape drawn just before it and bounded by that shape's colour (as
// a fill record is); earlier shapes of other colours cross its inside.
std::vector<Statement> picture(uint32_t seed) {
    std::mt19937 gen(seed);
    auto any = [&](int lo, int hi) {
        return static_cast<int16_t>(std::uniform_int_distribution<int>(lo, hi)(gen));
    };
    // A side of 4 to 60 pixels either way: wide enough to click inside.
    auto side = [&] { return static_cast<int>(any(4, 60)) * (any(0, 1) ? 1 : -1); };
    std::vector<Statement> s;
    for (int i = 0; i < 1001; ++i) {
        // The line first, then the three closed shapes, the one to fill last.
        const int order[4] = {0, 1 + (i + 1) % 3, 1 + (i + 2) % 3, 1 + i % 3};
        for (int kind : order) {
            const int16_t x = any(0, 639), y = any(0, 479);
            const auto colour = static_cast<uint16_t>(any(1, 15));
            if (kind < 2)
                s.push_back({kind, x, y, static_cast<int16_t>(x + side()), static_cast<int16_t>(y + side()),
                             colour, 0});
            else
                s.push_back({kind, x, y, any(3, 30), any(3, 30), colour, 0});
        }
        const Statement& shape = s.back();
        const int16_t cx = shape.kind == 1 ? static_cast<int16_t>((shape.a + shape.c) / 2) : shape.a;
        const int16_t cy = shape.kind == 1 ? static_cast<int16_t>((shape.b + shape.d) / 2) : shape.b;
        s.push_back({4, cx, cy, 0, 0, static_cast<uint16_t>(any(1, 15)), shape.colour});
    }
    return s;
}

void draw(BgiScreen& screen, const std::vector<Statement>& statements) {
    for (const Statement& s : statements) {
        if (s.kind == 4) {
            screen.SetFillStyle(1, s.colour);
            screen.FloodFill(s.a, s.b, s.border);
            continue;
        }
        screen.SetColor(s.colour);
        switch (s.kind) {
            case 0: screen.Line(s.a, s.b, s.c, s.d); break;
            case 1: screen.Rectangle(s.a, s.b, s.c, s.d); break;
            case 2:
                screen.Ellipse(s.a, s.b, 0, 360, static_cast<uint16_t>(s.c), static_cast<uint16_t>(s.d));
                break;
            default: screen.Circle(s.a, s.b, static_cast<uint16_t>(s.c));
        }
    }
}

// The full picture: 1001 each of lines, rectangles, ellipses, circles and
// fills on a fresh screen. Reports the pixels the fills painted per picture.
void BM_FullPicture(benchmark::State& state) {
    const auto statements = picture(1);
    for (auto _ : state) {
        BgiScreen screen;
        draw(screen, statements);
        benchmark::DoNotOptimize(screen.pixels());
    }
    BgiScreen screen;
    draw(screen, statements);
    state.counters["work"] = static_cast<double>(screen.work());
}
BENCHMARK(BM_FullPicture)->Unit(benchmark::kMillisecond);

// The same picture without the fills, to show what the outlines cost.
void BM_OutlinesOnly(benchmark::State& state) {
    auto statements = picture(1);
    std::erase_if(statements, [](const Statement& s) { return s.kind == 4; });
    for (auto _ : state) {
        BgiScreen screen;
        draw(screen, statements);
        benchmark::DoNotOptimize(screen.pixels());
    }
}
BENCHMARK(BM_OutlinesOnly)->Unit(benchmark::kMillisecond);

void BM_FillWholeScreen(benchmark::State& state) {
    BgiScreen screen;
    uint16_t colour = 1;
    for (auto _ : state) {
        screen.SetFillStyle(static_cast<uint16_t>(state.range(0)), colour);
        screen.FloodFill(320, 240, 16);  // no pixel has colour 16: everything fills
        colour = static_cast<uint16_t>(colour % 15 + 1);
        benchmark::DoNotOptimize(screen.pixels());
    }
}
BENCHMARK(BM_FillWholeScreen)->Arg(1)->Arg(9)->Unit(benchmark::kMicrosecond);

void BM_Circle(benchmark::State& state) {
    BgiScreen screen;
    const auto r = static_cast<uint16_t>(state.range(0));
    for (auto _ : state) {
        screen.Circle(320, 240, r);
        benchmark::DoNotOptimize(screen.pixels());
    }
}
BENCHMARK(BM_Circle)->Arg(10)->Arg(100)->Arg(1000)->Arg(40000)->Unit(benchmark::kMicrosecond);

// A long diagonal line across the screen in each line style, thin and thick
// (arguments: style, thickness); style 0 thin is the plain line's fast path.
void BM_StyledLine(benchmark::State& state) {
    BgiScreen screen;
    screen.SetLineStyle(static_cast<uint16_t>(state.range(0)), 0xC3A5, static_cast<uint16_t>(state.range(1)));
    for (auto _ : state) {
        screen.Line(-300, 10, 900, 470);
        benchmark::DoNotOptimize(screen.pixels());
    }
}
BENCHMARK(BM_StyledLine)
    ->Args({0, 1})
    ->Args({1, 1})
    ->Args({4, 1})
    ->Args({0, 3})
    ->Args({3, 3})
    ->Unit(benchmark::kMicrosecond);

// A filled slice of three quarters and a full filled ellipse of the given
// radius, in a solid and a patterned fill (arguments: radius, pattern).
void BM_FilledSlice(benchmark::State& state) {
    BgiScreen screen;
    const auto radius = static_cast<uint16_t>(state.range(0));
    screen.SetFillStyle(static_cast<uint16_t>(state.range(1)), 4);
    for (auto _ : state) {
        screen.PieSlice(320, 240, 30, 300, radius);
        screen.FillEllipse(320, 240, radius, static_cast<uint16_t>(radius / 2));
        benchmark::DoNotOptimize(screen.pixels());
    }
}
BENCHMARK(BM_FilledSlice)->Args({10, 1})->Args({200, 1})->Args({200, 9})->Unit(benchmark::kMicrosecond);

}  // namespace
}  // namespace pasdraw
