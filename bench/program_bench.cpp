// Parsing and running the text box's statements for the preview: the three
// text forms of a full picture (1001 records of every kind, 5005 lines) into
// graphics that draw nothing, and the worst runaway loops the bounds allow.
#include <benchmark/benchmark.h>

#include <cstdint>
#include <memory>
#include <random>
#include <string>

#include "bgi/bgi_screen.h"
#include "codegen/codegen.h"
#include "pictures.h"
#include "program/picture_import.h"
#include "program/program.h"

namespace {

using pasdraw::Picture;

// Counts calls and draws nothing, so only the interpreter is measured.
class NoDrawing : public pasdraw::BgiGraphics {
public:
    void setcolor(uint16_t) override { ++calls_; }
    void setbkcolor(uint16_t) override { ++calls_; }
    void setfillstyle(uint16_t, uint16_t) override { ++calls_; }
    void cleardevice() override { ++calls_; }
    void putpixel(int16_t, int16_t, uint16_t) override { ++calls_; }
    void moveto(int16_t, int16_t) override { ++calls_; }
    void lineto(int16_t, int16_t) override { ++calls_; }
    void line(int16_t, int16_t, int16_t, int16_t) override { ++calls_; }
    void rectangle(int16_t, int16_t, int16_t, int16_t) override { ++calls_; }
    void bar(int16_t, int16_t, int16_t, int16_t) override { ++calls_; }
    void circle(int16_t, int16_t, uint16_t) override { ++calls_; }
    void arc(int16_t, int16_t, uint16_t, uint16_t, uint16_t) override { ++calls_; }
    void ellipse(int16_t, int16_t, uint16_t, uint16_t, uint16_t, uint16_t) override { ++calls_; }
    void floodfill(int16_t, int16_t, uint16_t) override { ++calls_; }
    uint64_t work() const override { return calls_; }

private:
    uint64_t calls_ = 0;
};

const Picture& picture() {
    static const std::unique_ptr<Picture> p = pasdraw::bench::spanningPicture();
    return *p;
}

const Picture& typicalPicture() {
    static const std::unique_ptr<Picture> p = pasdraw::bench::spreadPicture();
    return *p;
}

void runText(benchmark::State& state, const std::string& text) {
    for (auto _ : state) {
        NoDrawing g;
        const pasdraw::RunResult r = pasdraw::runProgram(text, g);
        if (!r.problems.empty()) state.SkipWithError(r.problems.front().message.c_str());
        benchmark::DoNotOptimize(r.statements);
    }
    state.counters["bytes"] = static_cast<double>(text.size());
}

void BM_RunAbsolute(benchmark::State& state) { runText(state, pasdraw::generateAbsolute(picture())); }
BENCHMARK(BM_RunAbsolute)->Unit(benchmark::kMicrosecond);

void BM_RunValueForm(benchmark::State& state) {
    runText(state, pasdraw::generateValueForm(picture(), pasdraw::computeOrigin(picture())));
}
BENCHMARK(BM_RunValueForm)->Unit(benchmark::kMicrosecond);

void BM_RunSliderForm(benchmark::State& state) {
    runText(state, pasdraw::generateSliderForm(picture(), 320, 240));
}
BENCHMARK(BM_RunSliderForm)->Unit(benchmark::kMicrosecond);

// What the preview does for a text: parse, run and draw on a fresh screen.
void drawText(benchmark::State& state, const std::string& text) {
    for (auto _ : state) {
        auto screen = std::make_unique<pasdraw::BgiScreen>();
        const pasdraw::RunResult r = pasdraw::runProgram(text, *screen);
        if (!r.problems.empty()) state.SkipWithError(r.problems.front().message.c_str());
        benchmark::DoNotOptimize(screen->pixels());
    }
}
// A full picture drawn as a user might, in every form.
void BM_PreviewAbsolute(benchmark::State& state) {
    drawText(state, pasdraw::generateAbsolute(typicalPicture()));
}
void BM_PreviewValueForm(benchmark::State& state) {
    drawText(state, pasdraw::generateValueForm(typicalPicture(), pasdraw::computeOrigin(typicalPicture())));
}
void BM_PreviewSliderForm(benchmark::State& state) {
    drawText(state, pasdraw::generateSliderForm(typicalPicture(), 320, 240));
}
// The worst case: 1001 fills that each flood most of a screen crossed by
// 4004 outlines.
void BM_PreviewLeakingFills(benchmark::State& state) {
    drawText(state, pasdraw::generateAbsolute(picture()));
}
BENCHMARK(BM_PreviewAbsolute)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_PreviewValueForm)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_PreviewSliderForm)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_PreviewLeakingFills)->Unit(benchmark::kMillisecond);

// "Picture from text" without the window: a full picture's text back into
// records (the repaint is measured in the window's benchmark).
void BM_ImportValueForm(benchmark::State& state) {
    const std::string text = pasdraw::generateValueForm(picture(), pasdraw::computeOrigin(picture()));
    for (auto _ : state) {
        const pasdraw::PictureImport r = pasdraw::importPicture(text);
        if (!r.picture) state.SkipWithError("the full picture was refused");
        benchmark::DoNotOptimize(r.picture->LineCount());
    }
}
BENCHMARK(BM_ImportValueForm)->Unit(benchmark::kMillisecond);

// Runaway loops stopped by the default statement bound: the cheapest
// statement (empty), a drawing call with arithmetic in its arguments, and
// an assignment with a division.
void runaway(benchmark::State& state, const std::string& text) {
    for (auto _ : state) {
        NoDrawing g;
        const pasdraw::RunResult r = pasdraw::runProgram(text, g);
        if (!r.stoppedEarly) state.SkipWithError("the loop was not stopped");
        benchmark::DoNotOptimize(r.statements);
    }
}

void BM_RunawayEmpty(benchmark::State& state) {
    runaway(state, "for i:=1 to 32767 do for d:=1 to 32767 do;");
}
BENCHMARK(BM_RunawayEmpty)->Unit(benchmark::kMillisecond);

void BM_RunawayCalls(benchmark::State& state) {
    runaway(state, "for i:=1 to 32767 do for d:=1 to 32767 do line(XK+i,YK+d,XK+(-i),YK*2+d div 3);");
}
BENCHMARK(BM_RunawayCalls)->Unit(benchmark::kMillisecond);

void BM_RunawayAssignments(benchmark::State& state) {
    runaway(state, "for i:=1 to 32767 do for d:=1 to 32767 do XK:=(XK*31+i) div 7 mod 1000 + d;");
}
BENCHMARK(BM_RunawayAssignments)->Unit(benchmark::kMillisecond);

}  // namespace
