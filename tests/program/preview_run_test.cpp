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
         "line 1, column 3: too deep (2 more marked in the text)"},
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
