// The interpreter against Free Pascal itself.
//
// Arithmetic: random integer expressions are assigned to an integer in a
// console program that prints each result; the interpreter must give the
// same 16-bit values, stop with a runtime error where the program does, and
// refuse exactly the expressions the compiler refuses.
// PASDRAW_FPC_PROGRAMS: how many programs to build (default 4, 60
// expressions each). PASDRAW_FPC_SEED: the first seed (default 1).
//
// Acceptance: texts the preview calls refused (or not) are wrapped as the
// saved program and checked with "fpc -s"; each takes most of a second, so
// a default run checks 3 * PASDRAW_FPC_PROGRAMS of them spread over the list
// (PASDRAW_FPC_PROGRAMS=20 checks all).
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <optional>
#include <random>
#include <sstream>
#include <string>
#include <vector>

#include "program/program.h"
#include "support/env_count.h"
#include "support/free_pascal.h"
#include "support/recording_graphics.h"

namespace pasdraw {
namespace {

namespace fs = std::filesystem;
using testing::RecordingGraphics;

class ExpressionMaker {
public:
    explicit ExpressionMaker(uint64_t seed) : rng_(seed) {}

    int pick(int lo, int hi) { return std::uniform_int_distribution<int>(lo, hi)(rng_); }

    std::string expression(int depth) {
        const int r = pick(0, 9);
        if (depth == 0 || r < 2) return leaf();
        if (r == 2) return "-" + expression(depth - 1);
        if (r == 3) return "(" + expression(depth - 1) + ")";
        static const char* ops[] = {"+", "-", "*", " div ", " mod ", "*", "+"};
        return expression(depth - 1) + ops[pick(0, 6)] + expression(depth - 1);
    }

    std::string leaf() {
        static const char* vars[] = {"XK", "YK", "i"};
        switch (pick(0, 5)) {
            case 0:
            case 1:
            case 2: return vars[pick(0, 2)];
            case 3: return std::to_string(pick(0, 3));
            case 4: return std::to_string(pick(0, 70000));
            default: return std::to_string(pick(0, 2000000000));
        }
    }

private:
    std::mt19937_64 rng_;
};

struct Snippet {
    std::string setup;  // the variables' values
    std::string expression;
    RunResult interpreted;
};

TEST(FreePascalArithmetic, RandomExpressionsAgreeWithTheCompiledProgram) {
    const std::optional<fs::path> fpc = testing::findOnPath("fpc");
    ASSERT_TRUE(fpc.has_value()) << "fpc (Free Pascal 3.2.2) was not found on PATH";
    const std::optional<long> programs = testing::envCount("PASDRAW_FPC_PROGRAMS", 4);
    const std::optional<long> seed = testing::envCount("PASDRAW_FPC_SEED", 1);
    ASSERT_TRUE(programs.has_value() && seed.has_value()) << "PASDRAW_FPC_PROGRAMS/SEED must be numbers";
    testing::ScratchDir dir;
    ASSERT_FALSE(dir.path().empty());

    ExpressionMaker maker(static_cast<uint64_t>(*seed));
    long compared = 0, runtimeStops = 0, refusalsChecked = 0;
    for (long n = 0; n < *programs; ++n) {
        std::vector<Snippet> accepted;
        std::vector<Snippet> refused;
        while (accepted.size() < 60) {
            Snippet s;
            // Small values now and then, so that computed divisors are zero.
            auto value = [&] {
                const int r = maker.pick(0, 3);
                return std::to_string(r == 0   ? maker.pick(-32768, 32767)
                                      : r == 1 ? maker.pick(-2, 2)
                                               : maker.pick(-300, 300));
            };
            s.setup = "XK:=" + value() + "; YK:=" + value() + "; i:=" + value() + ";";
            s.expression = maker.expression(maker.pick(1, 5));
            RecordingGraphics g;
            s.interpreted = runProgram(s.setup + " m:=" + s.expression + ";", g);
            if (s.interpreted.compilerWouldRefuse) {
                refused.push_back(std::move(s));
            } else if (s.interpreted.problems.empty() ||
                       s.interpreted.problems.front().kind == ProgramProblem::Kind::Runtime) {
                accepted.push_back(std::move(s));
            }
        }
        std::string program = "var XK,YK,i,m,d,err:integer;\nbegin\n";
        for (const Snippet& s : accepted) program += s.setup + " m:=" + s.expression + "; writeln(m);\n";
        program += "end.\n";
        const testing::CompileResult result = testing::compileAndRun(*fpc, dir.path(), program);
        ASSERT_NE(result.exitCode, -1) << "Free Pascal refused what the interpreter accepts:\n"
                                       << result.output << "\n"
                                       << program;
        std::istringstream lines(result.output);
        std::string line;
        std::size_t k = 0;
        for (; k < accepted.size(); ++k) {
            const Snippet& s = accepted[k];
            SCOPED_TRACE(s.setup + " m:=" + s.expression);
            const bool stops = !s.interpreted.problems.empty();
            if (!std::getline(lines, line) || line.starts_with("Runtime error")) {
                EXPECT_TRUE(stops) << "the compiled program stopped here";
                EXPECT_EQ(result.exitCode, 200);
                ++runtimeStops;
                break;
            }
            EXPECT_FALSE(stops) << "the compiled program went on and printed " << line;
            EXPECT_EQ(line, std::to_string(s.interpreted.value(ProgramVar::m)));
            ++compared;
        }
        if (k == accepted.size()) {
            EXPECT_EQ(result.exitCode, 0);
        }

        // The compiler must refuse what the interpreter refuses; a few of
        // them per program, as each is a build of its own.
        for (std::size_t r = 0; r < refused.size() && r < 3; ++r) {
            const Snippet& s = refused[r];
            const std::string one =
                "var XK,YK,i,m,d,err:integer;\nbegin\n" + s.setup + " m:=" + s.expression + ";\nend.\n";
            EXPECT_EQ(testing::compileAndRun(*fpc, dir.path(), one).exitCode, -1)
                << "the interpreter refused, Free Pascal did not: " << s.expression << " ("
                << s.interpreted.problems.front().message << ")";
            ++refusalsChecked;
        }
    }
    std::printf("%ld results compared, %ld runtime stops, %ld refusals checked\n", compared, runtimeStops,
                refusalsChecked);
}

// Texts whose acceptance the interpreter decides, checked by the compiler.
TEST(FreePascalAcceptance, RefusedExactlyWhenTheCompilerRefuses) {
    const std::optional<fs::path> fpc = testing::findOnPath("fpc");
    const std::string problem = testing::freePascalProblem(fpc);
    ASSERT_EQ(problem, "");
    const char* texts[] = {
        // accepted
        "",
        "setcolor(1);",
        "end.",
        "setcolor(4); end. anything { at all",
        "for i:=1 to 3 do\r\n",
        "if XK<1 then setcolor(1) else ",
        "setcolor(1); // a comment\r\n",
        "begin;;; end;;",
        "cleardevice();",
        "XK:=40000; line(70000,0,0,-1); circle(0,0,-1); setcolor(-1);",
        "XK:=9223372036854775807+1-1;",
        "for i:=XK*XK to XK do;",
        "for XK:=1 to 3 do ; XK:=2;",
        "if (XK=0) and not (YK>1) or (1<2) then setcolor(red);",
        "outtextxy(1,1,'it''s #1'#65);",
        "delay(10); sound(1); nosound; clrscr;",
        "{ a { nested } comment } (* another *) // and a line\r\nsetcolor(1);",
        "XK:=$FF+%101+&17;",
        "XK:=YK div (YK-YK);",
        "XK:=(7 div YK)*0;",
        "SetFillStyle(SolidFill, LightBlue); FloodFill(1,1,White);",
        "settextstyle(GothicFont, VertDir, 3); settextjustify(CenterText, TopText); outtext(#$41'b'#10);",
        "XK:=textwidth('ab') + TextHeight('') * 2; outtextxy(XK, -1, '');",
        // refused
        "end;",
        "setcolor(1)",
        "for i:=1 to 3 do",
        "if XK<1 then setcolor(1) else",
        "setcolor(1); cleardevice",
        "setcolor(1); // a comment",
        "begin setcolor(1); end.",
        "begin setcolor(1);",
        "line(1,2,3);",
        "cleardevice(1);",
        "lin(1,2,3,4);",
        "XK(1);",
        "XK;",
        "XK = 3;",
        "XK:=;",
        "XK:=3 YK:=4;",
        "for i:=1 to 10 do i:=3;",
        "for i:=1 to 2 do for i:=1 to 2 do;",
        "for i:=1 to 100000 do;",
        "XK:=1 div 0;",
        "XK:=YK mod (1-1);",
        "XK:=1 div (YK*0);",
        "XK:=30000*30000*30000*30000*30000;",
        "XK:=1.5;",
        "XK:=99999999999999999999;",
        "XK:=6/3;",
        "XK:=1<2;",
        "if XK then;",
        "if XK<1 then setcolor(1); else setcolor(2);",
        "red;",
        "XK:=line;",
        "var XK:integer;",
        "setcolor('red');",
        "XK:=1 ? 2;",
        "setcolor(1); { never closed",
        "XK:=XK<1 and YK>1;",
        "outtextxy(1,1,5);",
        "outtext('a', 'b');",
        "outtextxy('1',1,'a');",
        "XK:=textwidth(1);",
        "outtext('it''s);",
    };
    const std::optional<long> programs = testing::envCount("PASDRAW_FPC_PROGRAMS", 4);
    ASSERT_TRUE(programs.has_value()) << "PASDRAW_FPC_PROGRAMS must be a number";
    const std::size_t all = std::size(texts);
    const std::size_t wanted = std::min(all, static_cast<std::size_t>(*programs) * 3);
    testing::ScratchDir dir;
    ASSERT_FALSE(dir.path().empty());
    for (std::size_t k = 0; k < wanted; ++k) {
        const char* text = texts[k * all / wanted];
        SCOPED_TRACE(text);
        RecordingGraphics g;
        const RunResult r = runProgram(text, g);
        const testing::CompileResult c =
            testing::compileIn(*fpc, dir.path(), "test.pas", testing::forFreePascal(text));
        EXPECT_EQ(r.compilerWouldRefuse, c.exitCode != 0) << c.output;
    }
}

// Where the compiler warns that a constant is out of range (of a variable
// or of a routine's parameter), the run has a warning at the same line and
// column, and nowhere else: random calls and assignments, one a line, in one
// saved program. PASDRAW_FPC_SEED changes them.
TEST(FreePascalWarnings, RangeWarningsStandWhereTheCompilersDo) {
    const std::optional<fs::path> fpc = testing::findOnPath("fpc");
    const std::string problem = testing::freePascalProblem(fpc);
    ASSERT_EQ(problem, "");
    const std::optional<long> seed = testing::envCount("PASDRAW_FPC_SEED", 1);
    ASSERT_TRUE(seed.has_value());
    ExpressionMaker maker(static_cast<uint64_t>(*seed) + 17);
    const char* edges[] = {"32767",       "32768",      "-32768",
                           "-32769",      "65535",      "65536",
                           "-1",          "4294967295", "4294967296",
                           "-4294967296", "70000",      "100000000000",
                           "$FFFF",       "$10000",     "0",
                           "15",          "65536+14",   "30000*2",
                           "-(40000)",    "2*-20000",   "9223372036854775807"};
    const auto constant = [&]() -> std::string {
        return maker.pick(0, 2) == 0 ? std::to_string(maker.pick(-100, 700)) : edges[maker.pick(0, 20)];
    };
    std::string text;
    for (int n = 0; n < 80; ++n) {
        if (n > 0) text += "\r\n";
        const int r = maker.pick(0, static_cast<int>(GraphRoutineCount) + 2);
        if (r >= static_cast<int>(GraphRoutineCount)) {
            // Appended piece by piece: GCC 12 at -O3 reports an impossible
            // overlapping copy in `"..." + std::string&&` (-Wrestrict).
            text += r == static_cast<int>(GraphRoutineCount) ? "delay(" : "XK:=";
            text += constant();
            text += r == static_cast<int>(GraphRoutineCount) ? ");" : ";";
            continue;
        }
        const auto routine = static_cast<GraphRoutine>(r);
        text += std::string(pascalName(routine));
        for (std::size_t k = 0; k < parameterCount(routine); ++k)
            text += (k == 0 ? "(" : ",") + ((booleanParameters(routine) >> k) & 1 ? std::string("TopOn")
                                            : isTextParameter(routine, k)          ? std::string("'A'")
                                                                                   : constant());
        text += parameterCount(routine) > 0 ? ");" : ";";
    }
    RecordingGraphics g;
    g.keep = false;
    const RunResult run = runProgram(text, g);
    ASSERT_FALSE(run.compilerWouldRefuse) << text;
    std::vector<std::pair<int, int>> ours;
    for (const ProgramProblem& w : run.warnings) ours.emplace_back(w.line, w.column);

    const testing::CompileResult compiled = testing::compile(*fpc, testing::forFreePascal(text));
    ASSERT_EQ(compiled.exitCode, 0) << compiled.output;
    // The text starts on line 6 of the saved file, after one space.
    const std::string marker = "Warning: range check error while evaluating constants";
    std::vector<std::pair<int, int>> theirs;
    std::istringstream lines(compiled.output);
    for (std::string line; std::getline(lines, line);) {
        int fileLine = 0, fileColumn = 0;
        if (line.find(marker) == std::string::npos ||
            std::sscanf(line.c_str(), "test.pas(%d,%d)", &fileLine, &fileColumn) != 2)
            continue;
        theirs.emplace_back(fileLine - 5, fileLine == 6 ? fileColumn - 1 : fileColumn);
    }
    std::sort(ours.begin(), ours.end());
    std::sort(theirs.begin(), theirs.end());
    EXPECT_FALSE(theirs.empty());
    EXPECT_EQ(ours, theirs) << text << "\n" << compiled.output;
}

}  // namespace
}  // namespace pasdraw
