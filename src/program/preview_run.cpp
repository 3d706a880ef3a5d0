#include "program/preview_run.h"

#include <memory>

namespace pasdraw {

PreviewRun runPreview(std::string_view utf8) {
    PreviewRun run;
    run.text = std::string(utf8);
    // A screen is 300 KB: on the heap, and new for every run, as a program
    // always starts on a cleared screen.
    auto screen = std::make_unique<BgiScreen>();
    run.result = runProgram(utf8, *screen);
    run.pixels.assign(screen->pixels(),
                      screen->pixels() + static_cast<std::ptrdiff_t>(PreviewRun::Width) * PreviewRun::Height);
    run.palette = StandardPalette;
    // Index 0 shows the background colour the program chose: one of the sixteen
    // in the same palette as the rest, beyond them the VGA table's colour.
    const uint16_t background = screen->backgroundColour();
    run.palette[0] = background < 16 ? StandardPalette[background] : backgroundRgb(background);
    return run;
}

namespace {

std::string describeProblems(const RunResult& result) {
    const auto where = [](const ProgramProblem& p) {
        return "line " + std::to_string(p.line) + ", column " + std::to_string(p.column) + ": " + p.message;
    };
    const auto first = [&](ProgramProblem::Kind kind) -> const ProgramProblem* {
        for (const ProgramProblem& p : result.problems) {
            if (p.kind == kind) return &p;
        }
        return nullptr;
    };
    // The first problem is named; the others are only counted.
    const auto more = [&]() {
        const std::size_t others = result.problems.size() > 1 ? result.problems.size() - 1 : 0;
        return others > 0 ? " (" + std::to_string(others) + " more marked in the text)" : std::string();
    };
    if (result.compilerWouldRefuse) {
        const ProgramProblem* p = first(ProgramProblem::Kind::Compile);
        return "The compiler would refuse this program: " +
               (p ? where(*p) : std::string("see the marked lines")) + more() +
               ". The picture shows what the statements before it draw.";
    }
    if (const ProgramProblem* p = first(ProgramProblem::Kind::Runtime)) {
        return "The program stops at " + where(*p) + more() + ".";
    }
    if (const ProgramProblem* p = first(ProgramProblem::Kind::Unsupported)) {
        return "The preview cannot show all of it: " + where(*p) + more() +
               ". The picture shows what comes before.";
    }
    if (result.stoppedEarly) {
        return "stopped after " + std::to_string(result.statements) + " statements; the program would go on";
    }
    if (const ProgramProblem* p = first(ProgramProblem::Kind::Limit))
        return where(*p) + more() +
               ". The picture is incomplete: it shows what the statements before it draw.";
    if (result.endLine > 0) {
        // The saved program waits for a key after the text; an "end." in
        // the text ends it before that wait, and the graph unit's window
        // goes with it (measured: the program exits at once).
        return "The program ran " + std::to_string(result.statements) +
               " statements and drew this, up to the 'end.' at line " + std::to_string(result.endLine) +
               ", column " + std::to_string(result.endColumn) +
               ": the program ends there and its window closes at once.";
    }
    return "The program ran " + std::to_string(result.statements) + " statements and drew this.";
}

}  // namespace

std::string describeRun(const RunResult& result) {
    std::string sentence = describeProblems(result);
    if (!result.warnings.empty()) {
        const ProgramProblem& w = result.warnings.front();
        const std::size_t others = result.warnings.size() - 1;
        if (!sentence.ends_with('.')) sentence += '.';
        sentence += " The compiler warns at line " + std::to_string(w.line) + ", column " +
                    std::to_string(w.column) + ": " + w.message;
        if (others > 0)
            sentence += " (" + std::to_string(others) + (others == 1 ? " more warning)" : " more warnings)");
        sentence += ".";
    }
    if (!result.randomized) return sentence;
    return sentence +
           " The picture uses random numbers that change on each run (randomize), so the program draws a "
           "different one each time.";
}

}  // namespace pasdraw
