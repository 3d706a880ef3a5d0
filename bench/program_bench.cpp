// Parsing and running the text box's statements for the preview: the three
// text forms of a full picture (1001 records of every kind, 5005 lines) into
// graphics that draw nothing, and the worst runaway loops the bounds allow.
#include <benchmark/benchmark.h>
#include <stdlib.h>

#include <chrono>
#include <condition_variable>
#include <cstdint>
#include <cstdlib>
#include <fstream>
#include <memory>
#include <mutex>
#include <random>
#include <string>

#include "bgi/bgi_screen.h"
#include "codegen/codegen.h"
#include "pictures.h"
#include "program/picture_import.h"
#include "program/play_run.h"
#include "program/program.h"
#include "program/step_run.h"

namespace {

using pasdraw::LongWord;
using pasdraw::ShortString;
using pasdraw::Picture;
using pasdraw::Smallint;
using pasdraw::Word;

template <class... T>
void unused(const T&...) {}

// Counts calls and draws nothing, so only the interpreter is measured.
class NoDrawing : public pasdraw::BgiGraphics {
public:
#define PASDRAW_COUNT_ROUTINE(id, name, params, args) \
    void id params override {                         \
        unused(PASDRAW_UNPARENTHESIZED args);         \
        ++calls_;                                     \
    }
    PASDRAW_GRAPH_ROUTINES(PASDRAW_COUNT_ROUTINE)
#undef PASDRAW_COUNT_ROUTINE
#define PASDRAW_COUNT_FUNCTION(id, name, result, params, args) \
    result id params override {                                \
        unused(PASDRAW_UNPARENTHESIZED args);                  \
        ++calls_;                                              \
        return 0;                                              \
    }
    PASDRAW_GRAPH_FUNCTIONS(PASDRAW_COUNT_FUNCTION)
#undef PASDRAW_COUNT_FUNCTION
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

// Free Pascal's road to the same picture, side by side with the preview's:
// the saved program of a picture of 300 shapes of every kind (the most the
// compiler takes in one block with room to spare), its units changed as the
// README says, compiled and linked with fpc; and the preview of that text.
const std::string& compiledPictureText() {
    static const std::string text = [] {
        const Picture& full = typicalPicture();
        Picture p;
        for (int i = 0; i < 300; ++i) {
            p.selectColour(full.Lines[i].ColorIndex, 0);
            p.commitLine(full.Lines[i]);
            p.selectColour(full.Rectangles[i].ColorIndex, 0);
            p.commitRectangle(full.Rectangles[i]);
            p.selectColour(full.Ellipses[i].ColorIndex, 0);
            p.commitEllipse(full.Ellipses[i]);
            p.selectColour(full.Circles[i].ColorIndex, 0);
            p.commitCircle(full.Circles[i]);
        }
        for (int i = 0; i < 300; ++i) {
            p.state.LastColorIndex = full.Fills[i].BorderIndex;
            p.selectColour(full.Fills[i].ColorIndex, 0);
            p.commitFill(full.Fills[i].X, full.Fills[i].Y);
        }
        return pasdraw::generateValueForm(p, pasdraw::computeOrigin(p));
    }();
    return text;
}

void BM_FreePascalCompileAndLink(benchmark::State& state) {
    std::string program = pasdraw::programFileBytes(compiledPictureText());
    const auto replace = [&program](const std::string& from, const std::string& to) {
        program.replace(program.find(from), from.size(), to);
    };
    replace("uses graph,crt;", "uses cthreads,ptcgraph,ptccrt;");
    replace("m:=detect;", "m:=VGA; d:=VGAHi;");
    char folder[] = "/tmp/pasdraw-fpc-bench-XXXXXX";
    if (::mkdtemp(folder) == nullptr) {
        state.SkipWithError("no temporary folder");
        return;
    }
    const std::string dir = folder;
    std::ofstream(dir + "/test.pas", std::ios::binary) << program;
    const std::string command = "cd " + dir + " && fpc -v0 test.pas >/dev/null 2>&1";
    for (auto _ : state) {
        if (std::system(command.c_str()) != 0) {
            state.SkipWithError(
                "fpc could not compile and link the program (fpc, fp-units-gfx and the X "
                "development packages are needed)");
            break;
        }
    }
    std::system(("rm -rf " + dir).c_str());
}
BENCHMARK(BM_FreePascalCompileAndLink)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(3);

void BM_PreviewOfTheCompiledPicture(benchmark::State& state) { drawText(state, compiledPictureText()); }
BENCHMARK(BM_PreviewOfTheCompiledPicture)->Unit(benchmark::kMillisecond);

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

// The same bounds on the preview's own screen: pixels that cost a call each,
// and a long sum in every statement, where the operations bound stops it.
void runawayOnScreen(benchmark::State& state, const std::string& text) {
    for (auto _ : state) {
        auto screen = std::make_unique<pasdraw::BgiScreen>();
        const pasdraw::RunResult r = pasdraw::runProgram(text, *screen);
        if (!r.stoppedEarly) state.SkipWithError("the loop was not stopped");
        benchmark::DoNotOptimize(r.statements);
    }
}

void BM_RunawayPixels(benchmark::State& state) {
    runawayOnScreen(state, "for i:=1 to 32767 do for d:=1 to 32767 do putpixel(i mod 640,d mod 480,i+d);");
}
BENCHMARK(BM_RunawayPixels)->Unit(benchmark::kMillisecond);

void BM_RunawayLongSums(benchmark::State& state) {
    std::string sum = "XK:=i";
    for (int k = 0; k < 3999; ++k) sum += "+d";
    runawayOnScreen(state, "for i:=1 to 32767 do for d:=1 to 32767 do " + sum + ";");
}
BENCHMARK(BM_RunawayLongSums)->Unit(benchmark::kMillisecond);

void BM_RunawayFills(benchmark::State& state) {
    runawayOnScreen(state,
                    "for i:=1 to 32767 do begin setfillstyle(1,1+i mod 2); floodfill(320,240,15); end;");
}
BENCHMARK(BM_RunawayFills)->Unit(benchmark::kMillisecond);

void BM_RunawayBars(benchmark::State& state) {
    runawayOnScreen(state,
                    "for i:=1 to 32767 do for d:=1 to 32767 do begin setfillstyle(1+d mod 12,1+i mod 2); "
                    "bar(0,0,639,479); end;");
}
BENCHMARK(BM_RunawayBars)->Unit(benchmark::kMillisecond);

// Programs that the compiled program draws in about a second (Free Pascal
// 3.2.2 with ptcgraph under Xvfb, wall time including some 0.15 s to start):
// each must run to its end in the preview.
void wholeProgram(benchmark::State& state, const std::string& text) {
    for (auto _ : state) {
        auto screen = std::make_unique<pasdraw::BgiScreen>();
        const pasdraw::RunResult r = pasdraw::runProgram(text, *screen);
        if (r.stoppedEarly) state.SkipWithError("the program was stopped by a bound");
        benchmark::DoNotOptimize(screen->pixels());
    }
}

// 24.6 million pixels: 0.91 s compiled.
void BM_SecondOfPixels(benchmark::State& state) {
    wholeProgram(state, "for XK:=1 to 80 do for i:=0 to 639 do for d:=0 to 479 do putpixel(i,d,i mod 16);");
}
BENCHMARK(BM_SecondOfPixels)->Unit(benchmark::kMillisecond);

// 2000 full-screen bars: 0.83 s; 200 dotted ones: 0.37 s.
void BM_SecondOfBars(benchmark::State& state) {
    wholeProgram(state,
                 "for i:=1 to 2000 do begin setfillstyle(1,1+i mod 2); bar(0,0,639,479); end; "
                 "for i:=1 to 200 do begin setfillstyle(10,1+i mod 2); bar(0,0,639,479); end;");
}
BENCHMARK(BM_SecondOfBars)->Unit(benchmark::kMillisecond);

// 2000 cleared screens: 1.06 s.
void BM_SecondOfClears(benchmark::State& state) {
    wholeProgram(state, "for i:=1 to 2000 do begin setbkcolor(i mod 2); cleardevice; end;");
}
BENCHMARK(BM_SecondOfClears)->Unit(benchmark::kMillisecond);

// 200 full-screen flood fills: 1.36 s.
void BM_SecondOfFills(benchmark::State& state) {
    wholeProgram(state, "for i:=1 to 200 do begin setfillstyle(1,1+i mod 2); floodfill(320,240,15); end;");
}
BENCHMARK(BM_SecondOfFills)->Unit(benchmark::kMillisecond);

// 20000 lines across the screen: 0.56 s.
void BM_SecondOfLines(benchmark::State& state) {
    wholeProgram(
        state, "for i:=1 to 20000 do begin setcolor(i mod 16); line(0,i mod 480,639,479-(i mod 480)); end;");
}
BENCHMARK(BM_SecondOfLines)->Unit(benchmark::kMillisecond);

}  // namespace

// Stepping through a full picture's text (5005 statements and more, in the
// value form): the worker's run that records who painted each pixel, a step
// (a run cut after statement n), and the click's lookup of a pixel's
// statement and its text.
const std::string& steppedText() {
    static const std::string text =
        pasdraw::generateValueForm(typicalPicture(), pasdraw::computeOrigin(typicalPicture()));
    return text;
}

// Arg 0: the still run with the statements' places (what every change of
// the text runs); 1: with every pixel's statement (the first click after it).
void BM_StepRecordRun(benchmark::State& state) {
    for (auto _ : state) {
        const pasdraw::StepRecord r = pasdraw::recordRun(steppedText(), state.range(0) == 1);
        benchmark::DoNotOptimize(r.owner.data());
        // A label, not a counter: the CSV report wants every row's counters alike.
        state.SetLabel(std::to_string(r.statements()) + " statements");
    }
}
BENCHMARK(BM_StepRecordRun)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond);

// A step to the middle and to the last statement before the end.
void BM_StepCut(benchmark::State& state) {
    static const uint64_t m = pasdraw::recordRun(steppedText()).statements();
    const uint64_t n = state.range(0) == 0 ? m / 2 : m - 1;
    for (auto _ : state) benchmark::DoNotOptimize(pasdraw::runPreviewCut(steppedText(), n).pixels.data());
    state.SetLabel("step " + std::to_string(n));
}
BENCHMARK(BM_StepCut)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond);

void BM_ClickLookup(benchmark::State& state) {
    static const pasdraw::StepRecord r = pasdraw::recordRun(steppedText());
    std::mt19937 random(1);
    for (auto _ : state) {
        const int x = static_cast<int>(random() % 640), y = static_cast<int>(random() % 480);
        const int64_t k = r.ownerAt(x, y);
        std::string said;
        if (k > 0) {
            const pasdraw::StatementAt at = r.where[static_cast<std::size_t>(k - 1)];
            said = pasdraw::statementText(steppedText(), at.line, at.column);
        }
        benchmark::DoNotOptimize(said.data());
    }
}
BENCHMARK(BM_ClickLookup)->Unit(benchmark::kMicrosecond);

// Play's pacing: an animation of 20 frames, each cleared, drawn and shown
// for 10 ms, waited the way the preview window waits. "lateMs" is how much
// later than requested, on average, each frame came after the one before.
void BM_PlayPacing(benchmark::State& state) {
    const std::string text =
        "for i := 1 to 20 do begin cleardevice; setfillstyle(1, i mod 16); bar(0, 0, 639, 479); delay(10) "
        "end;";
    using Clock = std::chrono::steady_clock;
    double late = 0;
    int gaps = 0;
    for (auto _ : state) {
        std::mutex mutex;
        std::condition_variable wake;
        Clock::time_point last{};
        uint16_t requested = 0;
        pasdraw::PlayHooks hooks;
        hooks.wait = [&](uint16_t ms) {
            std::unique_lock lock(mutex);
            requested = ms;
            return !wake.wait_for(lock, std::chrono::milliseconds(ms), [] { return false; });
        };
        hooks.show = [&](pasdraw::PreviewRun, uint64_t, bool) {
            const Clock::time_point now = Clock::now();
            if (requested > 0) {
                late += std::chrono::duration<double, std::milli>(now - last).count() - requested;
                ++gaps;
            }
            last = now;
        };
        pasdraw::playRun(text, hooks);
    }
    state.SetLabel(std::to_string(gaps > 0 ? late / gaps : 0.0) + " ms late a frame");
}
BENCHMARK(BM_PlayPacing)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(5);
