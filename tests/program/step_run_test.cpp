// Stepping and playing against the program's own cut runs: the text itself,
// cut after each statement, is the reference for every picture.
#include "program/step_run.h"

#include <gtest/gtest.h>

#include <random>
#include <string>
#include <vector>

#include "program/play_run.h"

namespace pasdraw {
namespace {

// The text up to and including its statement n (1-based), where every
// statement stands on a line of its own and runs once.
std::string firstLines(const std::vector<std::string>& lines, std::size_t n) {
    std::string text;
    for (std::size_t k = 0; k < n; ++k) text += lines[k] + "\r\n";
    return text;
}

// Straight-line programs whose statements overwrite each other: lines,
// boxes, fills that leak or not, the background colour, a clear screen. In
// the forms, @ ^ % ~ stand for a random x, y, colour and radius.
std::vector<std::string> randomStatements(std::mt19937& random, int count) {
    const std::vector<std::string> forms{"setcolor(%);",   "line(@,^,@,^);",    "rectangle(@,^,@,^);",
                                         "circle(@,^,~);", "bar(@,^,@,^);",     "XK := @;",
                                         "cleardevice;",   "floodfill(@,^,%);", "putpixel(@,^,%);",
                                         "setbkcolor(%);", "setfillstyle(%,%);"};
    const auto number = [&](int lo, int hi) {
        return std::to_string(std::uniform_int_distribution<int>(lo, hi)(random));
    };
    std::vector<std::string> lines;
    for (int k = 0; k < count; ++k) {
        std::string line;
        for (const char ch : forms[random() % forms.size()]) {
            line += ch == '@'   ? number(-20, 660)
                    : ch == '^' ? number(-20, 500)
                    : ch == '%' ? number(0, 15)
                    : ch == '~' ? number(1, 200)
                                : std::string(1, ch);
        }
        lines.push_back(line);
    }
    return lines;
}

TEST(StepRun, EveryCutIsTheTextCutThere) {
    std::mt19937 random(20261208);
    for (int program = 0; program < 4; ++program) {
        const std::vector<std::string> lines = randomStatements(random, 40);
        const std::string text = firstLines(lines, lines.size());
        const StepRecord record = recordRun(text);
        ASSERT_EQ(record.statements(), lines.size());
        EXPECT_EQ(record.run.pixels, runPreview(text).pixels);
        for (std::size_t n = 0; n <= lines.size(); ++n) {
            const PreviewRun cut = runPreviewCut(text, n);
            const PreviewRun truncated = runPreview(firstLines(lines, n));
            ASSERT_EQ(cut.pixels, truncated.pixels) << "after statement " << n << " of\n" << text;
            ASSERT_EQ(cut.palette, truncated.palette) << "after statement " << n;
            if (n > 0) {
                EXPECT_EQ(record.where[n - 1].line, static_cast<int>(n));
                EXPECT_EQ(statementText(text, record.where[n - 1].line, record.where[n - 1].column),
                          lines[n - 1].substr(0, lines[n - 1].size() - 1));
            }
        }
    }
}

// The owner of a pixel is the last statement whose cut changes it; a pixel
// no cut changes has none. Loops unrolled: a statement in a loop is a new
// statement each pass.
TEST(StepRun, APixelsOwnerIsTheLastStatementThatChangedIt) {
    std::mt19937 random(7);
    std::vector<std::string> texts{
        "for i := 1 to 12 do begin setcolor(i); circle(300 + i * 7, 240, 40 + i); if i mod 3 = 0 then "
        "cleardevice end; putpixel(1, 1, 4);"};
    for (int k = 0; k < 3; ++k) texts.push_back(firstLines(randomStatements(random, 30), 30));
    for (const std::string& text : texts) {
        const StepRecord record = recordRun(text);
        ASSERT_EQ(record.ownersUpTo, record.statements());
        std::vector<uint32_t> expected(record.owner.size(), 0);
        std::vector<uint8_t> previous = runPreviewCut(text, 0).pixels;
        for (uint64_t n = 1; n <= record.statements(); ++n) {
            const std::vector<uint8_t> now = runPreviewCut(text, n).pixels;
            for (std::size_t p = 0; p < now.size(); ++p)
                if (now[p] != previous[p]) expected[p] = static_cast<uint32_t>(n);
            previous = now;
        }
        EXPECT_EQ(record.owner, expected) << text;
        for (int y = 0; y < PreviewRun::Height; y += 7)
            for (int x = 0; x < PreviewRun::Width; x += 5)
                ASSERT_EQ(record.ownerAt(x, y),
                          expected[static_cast<std::size_t>(y * PreviewRun::Width + x)]);
    }
}

TEST(StepRun, TheTextOfAStatement) {
    struct Case {
        const char* text;
        int line, column;
        const char* statement;
    };
    const std::vector<Case> cases{
        {"if XK = 0 then line(1, 2, 3, 4) else circle(5, 5, 5);", 1, 16, "line(1, 2, 3, 4)"},
        {"if XK = 0 then line(1, 2, 3, 4) else circle(5, 5, 5);", 1, 38, "circle(5, 5, 5)"},
        {"begin\r\n  XK := XK + 1 end;", 2, 3, "XK := XK + 1"},
        {"{\xc3\xa9t\xc3\xa9} cleardevice {x}", 1, 7, "cleardevice"},
        {"a\rb\nc\r\n  bar(1,2,3,4)\r\n", 4, 3, "bar(1,2,3,4)"},
    };
    for (const Case& c : cases) EXPECT_EQ(statementText(c.text, c.line, c.column), c.statement) << c.text;
}

// Play shows, at each delay, the screen of the text cut there: an animation
// that clears, draws and waits in a loop.
TEST(PlayRun, EachDelayShowsTheScreenOfTheCutThere) {
    const std::string text =
        "for i := 0 to 9 do begin cleardevice; setcolor(i + 1); circle(100 + i * 40, 240, 30);\r\n"
        "  setfillstyle(1, i); floodfill(100 + i * 40, 240, i + 1); delay(i * 10) end;\r\n"
        "setbkcolor(3); delay(65537); line(0, 0, 639, 479);";
    std::vector<uint16_t> waits;
    int frames = 0;
    PlayHooks hooks;
    hooks.wait = [&](uint16_t ms) {
        waits.push_back(ms);
        return true;
    };
    hooks.show = [&](PreviewRun frame, uint64_t statements, bool atDelay) {
        ++frames;
        const PreviewRun cut = runPreviewCut(text, statements);
        EXPECT_EQ(frame.pixels, cut.pixels) << "after " << statements;
        EXPECT_EQ(frame.palette, cut.palette) << "after " << statements;
        EXPECT_EQ(atDelay, statements < 63) << statements;
    };
    const RunResult played = playRun(text, hooks);
    EXPECT_EQ(played.statements, runPreview(text).result.statements);
    EXPECT_EQ(frames, 12);
    const std::vector<uint16_t> expected{0, 10, 20, 30, 40, 50, 60, 70, 80, 90, 1};
    EXPECT_EQ(waits, expected);

    // A refused wait or a stop ends the play there, without a last frame.
    int stoppedFrames = 0;
    hooks.show = [&](PreviewRun, uint64_t, bool) { ++stoppedFrames; };
    hooks.wait = [](uint16_t ms) { return ms < 30; };
    const RunResult stopped = playRun(text, hooks);
    EXPECT_EQ(stoppedFrames, 4);
    EXPECT_LT(stopped.statements, played.statements);
}

}  // namespace
}  // namespace pasdraw
