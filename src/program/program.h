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
// fill-pattern constants, the drawing routines of BgiGraphics (a string
// parameter takes a string literal) and its functions in expressions,
// textwidth and textheight of a string literal, the text style constants,
// random and randomize, and delay, sound, nosound and clrscr, which take no
// time and draw nothing here.
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
        Warning,      // the compiler warns, and still compiles the program
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

// Bounds on a run, so that a runaway text cannot freeze the editor, set so
// that a program the compiled program draws in about a second still runs to
// its end. Free Pascal's ptcgraph under Xvfb draws in a second about 30
// million putpixel calls, 50,000 lines across the screen, 2000 full-screen
// bars or ClearDevice calls, or 150 full-screen flood fills. Measured in a
// Release build (bench/program_bench.cpp, on a shared and busy 2-core machine,
// processor time): 2,000,000 statements take 5 to 8 ms when they are empty,
// 50 to 80 ms as calls or assignments with arithmetic; an operand or operator
// evaluated takes 1 to 9 ns (the most in very long sums); BgiScreen's work
// unit is about 1 ns. So a runaway loop stops within some 1.5 s of processor
// time whatever its statements hold, mostly far sooner.
struct RunLimits {
    // Statements executed: each empty statement, block, and loop body pass.
    uint64_t maxStatements = 32'000'000;
    // Operands and operators evaluated (a statement may hold thousands).
    uint64_t maxOperations = 200'000'000;
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
    // What the compiler warns about, in text order; the run is as if they
    // were not there.
    std::vector<ProgramProblem> warnings;
    // Where the text's own "end." stands (its 'end'), when the run reached
    // it: the program ends there, without the wait for a key that the saved
    // program puts after the text. Line 0 when the run did not reach one.
    int endLine = 0;
    int endColumn = 0;
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

// Watches a run one statement at a time, for stepping through it and playing
// it in real time. A "statement" here is a simple statement that runs: a call
// (drawing or crt) or an assignment, each time it runs, loops unrolled. A for
// loop's counting, an if's test and an empty statement are not statements
// here; they are part of RunResult::statements, which bounds the run.
class StatementWatch {
public:
    virtual ~StatementWatch() = default;
    // Before simple statement `index` (0-based, in the order they run) at
    // line and column of the text; false ends the run there, as if the
    // program ended.
    virtual bool before(uint64_t index, int line, int column) = 0;
    // After it ran (a runtime error in it ends the run without this).
    virtual void after(uint64_t index) { (void)index; }
    // delay(ms) runs, ms as the word it receives.
    virtual void delay(uint16_t ms) { (void)ms; }
};

RunResult runProgram(std::string_view text, BgiGraphics& graphics, const RunLimits& limits,
                     StatementWatch* watch);

}  // namespace pasdraw
