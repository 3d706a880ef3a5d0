// The preview's run without its window: the palette it shows the screen in
// and the sentence it writes under the picture.
#include "program/preview_run.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace pasdraw {
namespace {

uint32_t rgbAt(const PreviewRun& run, int x, int y) {
    return run.palette[run.pixels[static_cast<std::size_t>(y * PreviewRun::Width + x)]];
}

TEST(PreviewRun, TheBackgroundColourRecoloursBlackOnly) {
    const PreviewRun run = runPreview("setcolor(1); circle(100, 100, 50); setbkcolor(4);");
    EXPECT_EQ(rgbAt(run, 0, 0), 0xAA0000u);      // background: red of the palette
    EXPECT_EQ(rgbAt(run, 150, 100), 0x0000AAu);  // the circle keeps its blue
}

ProgramProblem problem(ProgramProblem::Kind kind, int line, const char* message) {
    return ProgramProblem{line, 3, message, kind};
}

// One case per sentence, and the order in which a refusal, a runtime error,
// something the preview cannot run, a stop on a bound and a limit win over
// each other.
TEST(PreviewRun, TheSentenceUnderThePicture) {
    using K = ProgramProblem::Kind;
    struct Case {
        std::vector<ProgramProblem> problems;
        bool refused;
        bool stoppedEarly;
        uint64_t statements;
        std::string sentence;
    };
    const std::vector<Case> cases{
        {{}, false, false, 12, "The program ran 12 statements and drew this."},
        {{problem(K::Compile, 2, "unknown procedure 'lin'"), problem(K::Compile, 3, "x")},
         true,
         false,
         1,
         "The compiler would refuse this program: line 2, column 3: unknown procedure 'lin' (1 more marked "
         "in "
         "the text). The picture shows what the statements before it draw."},
        {{problem(K::Unsupported, 1, "u"), problem(K::Compile, 4, "100% %1")},
         true,
         true,
         0,
         "The compiler would refuse this program: line 4, column 3: 100% %1 (1 more marked in the text). The "
         "picture shows what the statements before it draw."},
        {{},
         true,
         false,
         0,
         "The compiler would refuse this program: see the marked lines. The picture shows what the "
         "statements "
         "before it draw."},
        {{problem(K::Unsupported, 1, "u"), problem(K::Runtime, 7, "division by zero")},
         false,
         false,
         5,
         "The program stops at line 7, column 3: division by zero (1 more marked in the text)."},
        {{problem(K::Unsupported, 9, "the preview cannot run 'arc'")},
         false,
         true,
         5,
         "The preview cannot show all of it: line 9, column 3: the preview cannot run 'arc'. The picture "
         "shows "
         "what comes before."},
        {{problem(K::Limit, 1, "too deep")},
         false,
         true,
         2000000,
         "stopped after 2000000 statements; the program would go on"},
        {{problem(K::Limit, 1, "too deep"), problem(K::Limit, 2, "b"), problem(K::Limit, 3, "c")},
         false,
         false,
         3,
         "line 1, column 3: too deep (2 more marked in the text). The picture is incomplete: it shows what "
         "the "
         "statements before it draw."},
    };
    for (const Case& c : cases) {
        RunResult r;
        r.problems = c.problems;
        r.compilerWouldRefuse = c.refused;
        r.stoppedEarly = c.stoppedEarly;
        r.statements = c.statements;
        EXPECT_EQ(describeRun(r), c.sentence);
    }
}

// Texts whose run ends in a way the compiled program shows (measured with
// Free Pascal 3.2.2 and ptcgraph): an "end." in the text, a division by zero,
// a limit of the checks, and the compiler's range warnings.
TEST(PreviewRun, TheSentenceForWhatTheCompiledProgramDoes) {
    const std::string deep = std::string(101, '(');
    const struct {
        std::string text;
        std::string sentence;
    } cases[] = {
        {"setcolor(4); line(0,0,9,9); end. setcolor(2);",
         "The program ran 2 statements and drew this, up to the 'end.' at line 1, column 29: the program "
         "ends "
         "there and its window closes at once."},
        {"setcolor(4);\r\n  END.",
         "The program ran 1 statements and drew this, up to the 'end.' at line 2, column 3: the program ends "
         "there and its window closes at once."},
        {"XK:=0; YK:=5 mod XK; end.",
         "The program stops at line 1, column 14: division by zero: the program stops here with an unhandled "
         "exception (EDivByZero: Division by zero, exit code 217)."},
        {"setcolor(1); XK:=" + deep + "1" + std::string(101, ')') + ";",
         "line 1, column 117: nested more than 100 levels deep; the preview stops checking here. The picture "
         "is "
         "incomplete: it shows what the statements before it draw."},
        {"XK:=40000;\r\nsetcolor(-1); circle(1,1,70000);",
         "The program ran 3 statements and drew this. The compiler warns at line 1, column 5: 40000 is out "
         "of "
         "range for an integer (-32768 to 32767), so the variable gets -25536 (2 more warnings)."},
        {"line(1,2,3,32768); end.",
         "The program ran 1 statements and drew this, up to the 'end.' at line 1, column 20: the program "
         "ends "
         "there and its window closes at once. The compiler warns at line 1, column 17: 32768 is out of "
         "range "
         "for number 4 of line (-32768 to 32767), so it gets -32768."},
        {"setcolor(4294967296); lin(1);",
         "The compiler would refuse this program: line 1, column 23: unknown procedure 'lin'. The picture "
         "shows "
         "what the statements before it draw. The compiler warns at line 1, column 20: 4294967296 is out of "
         "range for number 1 of setcolor (0 to 4294967295), so it gets 0."},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.text);
        EXPECT_EQ(describeRun(runPreview(c.text).result), c.sentence);
    }
}

// The same random numbers as the compiled program unless the text calls
// randomize; then, and only then, the sentence says the picture changes.
TEST(PreviewRun, RandomizeIsNamedUnderThePicture) {
    const char* const texts[] = {
        "for i := 1 to 500 do putpixel(random(640), random(480), random(16));",
        "randomize; for i := 1 to 500 do putpixel(random(640), random(480), random(16));",
        "if 1 > 2 then randomize; XK := random(10) div 0;",
    };
    for (const char* text : texts) {
        SCOPED_TRACE(text);
        const PreviewRun a = runPreview(text), b = runPreview(text);
        const bool randomized = std::string_view(text).starts_with("randomize");
        EXPECT_EQ(a.result.randomized, randomized);
        const std::string sentence = describeRun(a.result);
        RunResult plain = a.result;
        plain.randomized = false;
        EXPECT_EQ(sentence.starts_with(describeRun(plain)), true);
        EXPECT_EQ(sentence.find("random numbers that change on each run") != std::string::npos, randomized);
        if (!randomized) {
            EXPECT_EQ(a.pixels, b.pixels);
        }
    }
}

}  // namespace
}  // namespace pasdraw
