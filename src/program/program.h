// Runs the statements of the text box the way the saved program would run
// them after its header, calling the graph unit's routines on a BgiGraphics.
// The text is parsed and checked first; problems carry the 1-based line and
// column of the text itself, not of the saved file. The text is UTF-8 as the
// text box holds it: a column counts characters, and a byte that starts no
// valid character counts as one. Line breaks are CR LF, LF or CR.
//
// What is run: assignments to the six variables, for/to/downto, begin/end,
// if/then/else with = <> < > <= >= and/or/not on conditions, + - * div mod,
// decimal, $hex, %binary and &octal numbers, the graph and crt colour and
// fill-pattern constants, the drawing routines of BgiGraphics and its
// functions in expressions, random and randomize, and delay, sound, nosound
// and clrscr, which take no time and draw nothing here.
#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "bgi/graphics.h"

namespace pasdraw {

struct ProgramProblem {
    enum class Kind {
        Compile,      // the compiler would refuse the program
        Runtime,      // the compiled program would stop here (a runtime error)
        Limit,        // the preview stopped: work bound or nesting depth reached
        Unsupported,  // valid for the compiler, but the preview does not run it
    };
    int line = 0;
    int column = 0;
    std::string message;
    Kind kind = Kind::Compile;
    friend bool operator==(const ProgramProblem&, const ProgramProblem&) = default;
};

// The six integer variables the header declares, in declaration order.
enum class ProgramVar : uint8_t { XK, YK, i, m, d, err };
inline constexpr std::size_t ProgramVarCount = 6;

// Bounds on a run, so that a runaway text cannot freeze the editor. Measured
// in a Release build (bench/program_bench.cpp, on a shared and busy 2-core
// machine, processor time): 2,000,000 statements take 5 to 8 ms when they
// are empty, 50 to 70 ms as assignments with div and mod, 60 to 85 ms as
// line calls with arithmetic in all four arguments (into graphics that draw
// nothing). The pixel bound assumes about 1 ns per pixel written or visited:
// 100,000,000 is some 300 full-screen fills of the 640 x 480 screen.
struct RunLimits {
    // Statements executed: each empty statement, block, and loop body pass.
    uint64_t maxStatements = 2'000'000;
    // BgiGraphics::work() at which the run stops.
    uint64_t maxWork = 100'000'000;
    // Blocks, loop and if bodies, parentheses and signs nested inside each
    // other. Beyond it the text is not checked further (a Limit problem).
    // One statement may also hold at most 4000 operators.
    int maxNesting = 100;
    // Run the statements that stand before the first problem found by the
    // checks (as often as loops around them run them; the run ends when it
    // reaches the problem or anything after it) even when the compiler would
    // refuse the text. When false, a refused text draws nothing.
    bool runBeforeProblem = true;
    // Keep the parse's arrays on this thread for the next run (the preview
    // runs every change); a one-off run such as an import lets them go.
    bool keepBuffers = true;
};

struct RunResult {
    // What the checks found, in text order and at most one per line (a
    // reason the compiler refuses the text wins over the preview's notes),
    // then the problem the run met, if any: a runtime error or a bound.
    std::vector<ProgramProblem> problems;
    bool compilerWouldRefuse = false;
    // The run stopped on a bound while the program would have gone on.
    bool stoppedEarly = false;
    // The last problem is the one the run met (a runtime error, a bound, or
    // a value the preview cannot know), not one the checks found.
    bool runMetProblem = false;
    // The run called randomize: its random numbers differ from run to run,
    // and so does the compiled program's picture.
    bool randomized = false;
    uint64_t statements = 0;
    // Values when the run ended, and whether the text assigned each (by ':='
    // or as a for variable) during the run.
    std::array<int16_t, ProgramVarCount> values{};
    std::array<bool, ProgramVarCount> assigned{};

    int16_t value(ProgramVar v) const { return values[static_cast<std::size_t>(v)]; }
    bool wasAssigned(ProgramVar v) const { return assigned[static_cast<std::size_t>(v)]; }
};

// The values the header leaves: XK, YK and i are zero like every global;
// err is grOk (0). initgraph with detect picks the best mode the hardware
// has, so m and d depend on where the program runs: Free Pascal's ptcgraph
// under a 1024 x 768 X server gave m = 19, d = 4. The preview shows the
// 640 x 480 sixteen-colour screen, where detect gives VGA (9) and VGAHi (2).
std::array<int16_t, ProgramVarCount> initialProgramValues();

RunResult runProgram(std::string_view text, BgiGraphics& graphics, const RunLimits& limits = {});

}  // namespace pasdraw
