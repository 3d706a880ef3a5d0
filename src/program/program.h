// Runs the statements of the text box the way the saved program would run
// them after its header, calling the graph unit's routines on a BgiGraphics.
// The text is parsed and checked first; problems carry the 1-based line and
// column (in characters) of the text itself, not of the saved file.
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

struct RunLimits {
    // Statements executed (empty statements, blocks and each loop pass count).
    uint64_t maxStatements = 2'000'000;
    // BgiGraphics::work() at which the run stops.
    uint64_t maxWork = 100'000'000;
    // Parentheses, unary signs, blocks and loop bodies nested inside each other.
    int maxNesting = 100;
    // Run the statements that stand before the first problem found by the
    // checks (as often as loops around them run them; the run ends when it
    // reaches the problem or anything after it) even when the compiler would
    // refuse the text. When false, a refused text draws nothing.
    bool runBeforeProblem = true;
};

struct RunResult {
    // In text order for what the checks find, then the one the run met (a
    // runtime error or the work bound) if any. At most one problem per line.
    std::vector<ProgramProblem> problems;
    bool compilerWouldRefuse = false;
    // The run stopped on a bound while the program would have gone on.
    bool stoppedEarly = false;
    uint64_t statements = 0;
    // Values when the run ended, and whether the text assigned each (by ':='
    // or as a for variable) during the run.
    std::array<int16_t, ProgramVarCount> values{};
    std::array<bool, ProgramVarCount> assigned{};

    int16_t value(ProgramVar v) const { return values[static_cast<std::size_t>(v)]; }
    bool wasAssigned(ProgramVar v) const { return assigned[static_cast<std::size_t>(v)]; }
};

// The values the header leaves: XK, YK and i are zero like every global;
// initgraph with detect on the 640 x 480 sixteen-colour screen sets m to VGA
// (9) and d to VGAHi (2); err is grOk (0).
std::array<int16_t, ProgramVarCount> initialProgramValues();

RunResult runProgram(std::string_view text, BgiGraphics& graphics, const RunLimits& limits = {});

}  // namespace pasdraw
