// Random and mutated program texts through the interpreter: random bytes,
// token soups, generated pictures' texts with cuts, insertions and byte
// flips, very deep nesting and huge numbers. Each must come back with a
// consistent result: no crash (run it in the sanitizer build), bounded
// problems, positions inside the text, readable messages.
//
// PASDRAW_FUZZ_TEXTS: texts over all cases (default 5000).
// PASDRAW_FUZZ_SEED: the seed (default 1); a failure names the text number.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <memory>
#include <optional>
#include <random>
#include <string>
#include <vector>

#include "bgi/bgi_screen.h"
#include "codegen/codegen.h"
#include "codegen/picture_builder.h"
#include "model/palette.h"
#include "program/picture_import.h"
#include "program/preview_run.h"
#include "program/program.h"
#include "program/step_run.h"
#include "support/env_count.h"

namespace pasdraw {
namespace {

class TextMaker {
public:
    // A Picture is large to build, so a set of picture texts is made once
    // and then cut up in ever new ways.
    explicit TextMaker(uint64_t seed) : rng_(seed) {
        for (int k = 0; k < 64; ++k) pictures_.push_back(pictureText());
    }

    std::string make() {
        switch (pick(0, 9)) {
            case 0: return randomBytes(pick(0, 300));
            case 1:
            case 2:
            case 3: return tokens(pick(0, 80));
            case 4: return deep();
            case 5: return statements(pick(1, 8), 0);
            default:
                return mutate(pick(0, 2) == 0 ? tokens(pick(0, 40))
                                              : pictures_[static_cast<std::size_t>(pick(0, 63))]);
        }
    }

    int pick(int lo, int hi) { return std::uniform_int_distribution<int>(lo, hi)(rng_); }

    // Text output at any position, size, direction and justification,
    // stroked fonts at sizes up to what the preview draws and past it.
    std::string textCalls(int n) {
        const auto coordinate = [&] {
            return std::to_string(pick(0, 3) == 0 ? pick(-32768, 32767) : pick(-100, 740));
        };
        std::string s;
        for (int k = 0; k < n; ++k) {
            switch (pick(0, 3)) {
                case 0: {
                    const int size = pick(0, 2) == 0 ? pick(0, 12) : pick(0, 1) ? pick(0, 2600) : 65535;
                    s += "settextstyle(" + std::to_string(pick(0, 11)) + "," + std::to_string(pick(0, 2)) +
                         "," + std::to_string(size) + ");";
                    break;
                }
                case 1:
                    s += "settextjustify(" + std::to_string(pick(0, 3)) + "," + std::to_string(pick(0, 3)) +
                         ");";
                    break;
                case 2:
                    s += "moveto(" + coordinate() + "," + coordinate() + ");outtext(" + literal() + ");";
                    break;
                default:
                    s += "outtextxy(" + coordinate() + "-textwidth(" + literal() + ")," + coordinate() +
                         "+textheight(" + literal() + ")," + literal() + ");";
                    break;
            }
        }
        return s;
    }

private:
    std::string randomBytes(int n) {
        std::string s;
        for (int k = 0; k < n; ++k) s += static_cast<char>(pick(0, 255));
        return s;
    }

    std::string token() {
        static const char* words[] = {
            "XK",          "YK",         "i",        "m",         "d",
            "err",         "xk",         "foo",      "begin",     "end",
            "for",         "to",         "downto",   "do",        "if",
            "then",        "else",       "div",      "mod",       "and",
            "or",          "not",        "xor",      "shl",       "while",
            "repeat",      "until",      "var",      "setcolor",  "line",
            "circle",      "ellipse",    "arc",      "bar",       "putpixel",
            "floodfill",   "moveto",     "lineto",   "rectangle", "setfillstyle",
            "cleardevice", "setbkcolor", "delay",    "nosound",   "outtextxy",
            "red",         "white",      "getmaxx",  ":=",        ";",
            ",",           "(",          ")",        "+",         "-",
            "*",           "/",          "=",        "<>",        "<",
            ">",           "<=",         ">=",       ".",         "..",
            "[",           "]",          "^",        "@",         "#",
            "'",           "'a''b'",     "{",        "}",         "(*",
            "*)",          "//",         "{$R+}",    "\r\n",      "\n",
            "\r",          "\t",         "\xC3\xA9", "\xFF",      "\x80",
            "" /* NUL */,  "$",          "%",        "&",         "&begin",
            "1.5",         "1e9",        "$FFFF",    "%1011",     "&777",
            "getx",        "gety",       "getmaxy",  "getcolor",  "getmaxcolor",
            "getpixel",    "random",     "linerel",  "moverel",   "randomize",
            "-2147483648", "getpixel(",  "random(",  "random(0)", "4294967296",
            "bar3d",       "topon",      "topoff",   "dottedln",  "thickwidth",
            "setviewport", "clipon",     "clipoff",  "true",      "clearviewport",
        };
        // The text routines and string literals.
        static const char* textWords[] = {"outtext",   "settextstyle",  "settextjustify", "vertdir",
                                          "righttext", "textwidth",     "textheight",     "'x'#65",
                                          "#300",      "#$41'\xC3\xA9'"};
        if (pick(0, 19) == 0) return textWords[pick(0, static_cast<int>(std::size(textWords)) - 1)];
        // The shapes and styles a picture takes beyond the first five kinds.
        static const char* shapeWords[] = {"pieslice", "setlinestyle", "closedotfill", "centerln",
                                           "normwidth"};
        if (pick(0, 29) == 0) return shapeWords[pick(0, static_cast<int>(std::size(shapeWords)) - 1)];
        const int r = pick(0, 9);
        if (r == 0) return std::to_string(pick(0, 70000));
        if (r == 1) {
            // Numbers at and beyond the 64-bit limits.
            static const char* big[] = {"9223372036854775807",
                                        "9223372036854775808",
                                        "18446744073709551615",
                                        "18446744073709551616",
                                        "99999999999999999999999999999",
                                        "0",
                                        "32768",
                                        "65536",
                                        "2147483648"};
            return big[pick(0, 8)];
        }
        const std::string w = words[pick(0, static_cast<int>(std::size(words)) - 1)];
        return w.empty() ? std::string(1, '\0') : w;
    }

    std::string tokens(int n) {
        std::string s;
        for (int k = 0; k < n; ++k) {
            s += token();
            if (pick(0, 2) == 0) s += ' ';
        }
        return s;
    }

    // Statements that mostly compile: loops (some runaway), conditions,
    // assignments with divisions that may meet a zero, drawing calls.
    std::string statements(int n, int depth) {
        std::string s;
        for (int k = 0; k < n; ++k) s += statement(depth) + ";";
        return s;
    }
    std::string statement(int depth) {
        static const char* vars[] = {"XK", "YK", "m", "d", "err"};
        auto var = [&] { return std::string(vars[pick(0, 4)]); };
        // The graph functions and random, with arguments of any size.
        auto function = [&]() -> std::string {
            static const char* plain[] = {"getx", "gety", "getmaxx", "getmaxy", "getcolor", "getmaxcolor"};
            switch (pick(0, 2)) {
                case 0: return plain[pick(0, 5)];
                case 1: return "random(" + var() + (pick(0, 1) ? "*100000" : "") + ")";
                default: return "getpixel(" + var() + "," + std::to_string(pick(-5, 700)) + ")";
            }
        };
        auto operand = [&] {
            switch (pick(0, 3)) {
                case 0:
                case 1: return var();
                case 2: return std::to_string(pick(-5, 40000));
                default: return function();
            }
        };
        auto expr = [&] {
            std::string e = operand();
            for (int k = pick(0, 3); k > 0; --k) {
                static const char* ops[] = {"+", "-", "*", " div ", " mod "};
                e += ops[pick(0, 4)] + (pick(0, 1) ? operand() : std::to_string(pick(1, 9)));
            }
            return e;
        };
        switch (depth > 3 ? pick(2, 4) : pick(0, 4)) {
            case 0:
                return "for i:=" + expr() + (pick(0, 1) ? " to " : " downto ") + expr() + " do " +
                       statement(depth + 1);
            case 1: return "begin " + statements(pick(0, 3), depth + 1) + " end";
            case 2:
                return "if " + expr() + (pick(0, 1) ? "<" : "=") + expr() + " then " + var() + ":=" + expr();
            case 3: return var() + ":=" + expr();
            default:
                switch (pick(0, 13)) {
                    case 13: {
                        // A thick curve or filled one, whose radius of 0
                        // leaves the lines thin.
                        static const char* curves[] = {"arc",      "ellipse", "circle",
                                                       "pieslice", "sector",  "fillellipse"};
                        static const std::size_t counts[] = {5, 6, 3, 5, 6, 4};
                        const auto k = static_cast<std::size_t>(pick(0, 5));
                        std::string call = "setlinestyle(" + std::to_string(pick(0, 4)) + "," + expr() +
                                           ",ThickWidth);" + curves[k] + "(";
                        for (std::size_t i = 0; i < counts[k]; ++i)
                            call += (i > 0 ? "," : "") + (pick(0, 2) ? std::to_string(pick(0, 3)) : expr());
                        return call + ")";
                    }
                    case 12: {
                        // Viewports mostly on the screen, so that what follows draws in them.
                        auto corner = [&](int size) {
                            return std::to_string(pick(0, 3) == 0 ? pick(-32768, 32767) : pick(-2, size));
                        };
                        const char* after[] = {"", ";clearviewport", ";cleardevice", ";floodfill(5,5,15)"};
                        const char* clip = pick(0, 3) == 0 ? ",ClipOff)"
                                           : pick(0, 1)    ? ",ClipOn)"
                                                           : ",XK<YK)";
                        return "setviewport(" + corner(640) + "," + corner(480) + "," + corner(640) + "," +
                               corner(480) + clip + after[pick(0, 3)];
                    }
                    case 11: {
                        // Any routine of the table, with its own number of arguments.
                        const auto r =
                            static_cast<GraphRoutine>(pick(0, static_cast<int>(GraphRoutineCount) - 1));
                        std::string call = std::string(pascalName(r)) + "(";
                        for (std::size_t k = 0; k < parameterCount(r); ++k) {
                            call += k > 0 ? "," : "";
                            call += (booleanParameters(r) >> k) & 1 ? "XK<YK"
                                    : isTextParameter(r, k)         ? literal()
                                                                    : expr();
                        }
                        return call + ")";
                    }
                    case 5:
                        return "bar3d(" + expr() + "," + expr() + "," + expr() + "," + expr() + "," + expr() +
                               (pick(0, 1) ? ",TopOn)" : ",XK<YK)");
                    case 6:
                        // A style the unit takes and ThickWidth half the time, so
                        // that curves are drawn thick too.
                        return "setlinestyle(" + (pick(0, 1) ? expr() : std::to_string(pick(0, 4))) + "," +
                               expr() + "," + (pick(0, 1) ? expr() : std::string("ThickWidth")) + ")";
                    case 7: return "outtextxy(" + expr() + "," + expr() + "," + literal() + ")";
                    case 8: return "outtext(" + literal() + ")";
                    case 9: return "settextstyle(" + expr() + "," + expr() + "," + expr() + ")";
                    case 10: return "settextjustify(" + expr() + "," + expr() + ")";
                    case 0: return "linerel(" + expr() + "," + expr() + ")";
                    case 1: return "moverel(" + expr() + "," + expr() + ")";
                    case 2:
                        return pick(0, 9) == 0 ? "randomize"
                                               : "putpixel(" + expr() + "," + expr() + ",random(16))";
                    default: return "line(" + expr() + "," + expr() + "," + expr() + "," + expr() + ")";
                }
        }
    }

    // A string literal of quoted pieces and character codes, past 255 bytes
    // at times.
    std::string literal() {
        std::string s;
        for (int k = pick(1, 4); k > 0; --k) {
            if (pick(0, 2) == 0) {
                s += (pick(0, 1) ? "#" : "#$") + std::to_string(pick(0, 300));
                continue;
            }
            s += '\'';
            for (int n = pick(0, 1) ? pick(0, 8) : pick(0, 300); n > 0; --n) {
                const char c = static_cast<char>(pick(32, 255));
                s += c == '\'' ? std::string("''") : std::string(1, c);
            }
            s += '\'';
        }
        return s;
    }

    std::string deep() {
        static const char* open[] = {"(", "-", "begin ", "if 1<2 then ", "+", "not ", "for i:=1 to 2 do "};
        static const char* close[] = {")", "", " end", "", "", "", ""};
        const int kind = pick(0, 6);
        const int depth = pick(0, 3) == 0 ? pick(0, 2000) : pick(0, 150);
        std::string s = kind < 2 || kind == 4 || kind == 5 ? "XK:=" : "";
        for (int k = 0; k < depth; ++k) s += open[kind];
        s += kind < 2 || kind == 4 ? "1" : kind == 5 ? "(1<2)" : "setcolor(1)";
        for (int k = 0; k < depth; ++k) s += close[kind];
        return s + (pick(0, 1) ? ";" : "");
    }

    std::string pictureText() {
        auto p = std::make_unique<Picture>();
        const int n = pick(0, 12);
        for (int k = 0; k < n; ++k) {
            const PaletteEntry& e = Palette[static_cast<std::size_t>(pick(0, 15))];
            p->selectColour(e.index, e.rgb);
            auto v = [&] { return static_cast<int16_t>(pick(-32768, 32767)); };
            switch (pick(0, 5)) {
                case 0: (void)p->commitLine({v(), v(), v(), v(), 0, 0}); break;
                case 1: (void)p->commitRectangle({v(), v(), v(), v(), 0, 0}); break;
                case 2: (void)p->commitEllipse({v(), v(), v(), v(), 0, 0, 0, 0}); break;
                case 3: (void)p->commitCircle({v(), v(), v(), 0, 0}); break;
                case 4: (void)p->commitFill(v(), v()); break;
                // Any kind in random styles, the later kinds among them.
                default:
                    testing::addRandom(*p, Kinds[static_cast<std::size_t>(pick(0, 9))].kind, e.index, rng_,
                                       v);
                    break;
            }
        }
        switch (pick(0, 2)) {
            case 0: return generateAbsolute(*p);
            case 1: return generateValueForm(*p, computeOrigin(*p));
            default: return generateSliderForm(*p, pick(-100000, 100000), static_cast<int16_t>(pick(0, 480)));
        }
    }

    std::string mutate(std::string s) {
        const int edits = pick(1, 4);
        for (int k = 0; k < edits; ++k) {
            const auto at = static_cast<std::size_t>(pick(0, static_cast<int>(s.size())));
            switch (pick(0, 4)) {
                case 0: s.resize(at); break;
                case 1: s.erase(at, static_cast<std::size_t>(pick(0, 10))); break;
                case 2: s.insert(at, token()); break;
                case 3:
                    if (at < s.size()) s[at] = static_cast<char>(pick(0, 255));
                    break;
                default: s.insert(at, s.substr(at / 2, static_cast<std::size_t>(pick(0, 40)))); break;
            }
        }
        return s;
    }

    std::mt19937_64 rng_;
    std::vector<std::string> pictures_;
};

bool validUtf8(const std::string& s) {
    for (std::size_t k = 0; k < s.size();) {
        const auto b = static_cast<unsigned char>(s[k]);
        const std::size_t n = b < 0x80 ? 1 : (b >> 5) == 6 ? 2 : (b >> 4) == 14 ? 3 : (b >> 3) == 30 ? 4 : 0;
        if (n == 0 || k + n > s.size()) return false;
        for (std::size_t j = 1; j < n; ++j)
            if ((static_cast<unsigned char>(s[k + j]) & 0xC0) != 0x80) return false;
        k += n;
    }
    return true;
}

int lineCount(const std::string& s) {
    int lines = 1;
    for (std::size_t k = 0; k < s.size(); ++k)
        if (s[k] == '\n' || (s[k] == '\r' && (k + 1 == s.size() || s[k + 1] != '\n'))) ++lines;
    return lines;
}

// Stops the run before statement `cap` and keeps where each one stood.
struct CapWatch : StatementWatch {
    explicit CapWatch(uint64_t c) : cap(c) {}
    bool before(uint64_t index, int line, int column) override {
        if (index != at.size()) ADD_FAILURE() << "statement " << index << " after " << at.size();
        if (index >= cap) return false;
        at.push_back({line, column});
        return true;
    }
    uint64_t cap;
    std::vector<std::pair<int, int>> at;
};

// Text drawn on the preview's screen at sizes up to thousands of pixels a
// glyph pixel costs at most what the screen holds a call, so a run stays
// within its work bound and ends.
TEST(ProgramFuzz, TextOnTheScreenCostsNoMoreThanTheScreen) {
    const std::optional<long> count = testing::envCount("PASDRAW_FUZZ_TEXTS", 5000);
    const std::optional<long> seed = testing::envCount("PASDRAW_FUZZ_SEED", 1);
    ASSERT_TRUE(count.has_value() && seed.has_value()) << "PASDRAW_FUZZ_TEXTS/SEED must be numbers";
    TextMaker maker(static_cast<uint64_t>(*seed) + 7);
    RunLimits limits;
    limits.maxWork = 3'000'000;
    long drawn = 0;
    for (long n = 0; n < *count / 25; ++n) {
        const std::string text = maker.textCalls(maker.pick(1, 12));
        SCOPED_TRACE(text);
        BgiScreen screen;
        const RunResult r = runProgram(text, screen, limits);
        ASSERT_FALSE(r.compilerWouldRefuse);
        EXPECT_LT(screen.work(), limits.maxWork + 2u * BgiScreen::Width * BgiScreen::Height);
        drawn += std::count_if(screen.pixels(), screen.pixels() + BgiScreen::Width * BgiScreen::Height,
                               [](uint8_t c) { return c != 0; }) > 0;
    }
    // About one run in five draws on the screen (the rest off it, or
    // refused); a tenth is far below that for a count of hundreds.
    if (*count / 25 >= 100) {
        EXPECT_GT(drawn, *count / 25 / 10);
    }
}

TEST(ProgramFuzz, RandomTextsGiveConsistentResults) {
    const std::optional<long> count = testing::envCount("PASDRAW_FUZZ_TEXTS", 5000);
    const std::optional<long> seed = testing::envCount("PASDRAW_FUZZ_SEED", 1);
    ASSERT_TRUE(count.has_value() && seed.has_value()) << "PASDRAW_FUZZ_TEXTS/SEED must be numbers";
    TextMaker maker(static_cast<uint64_t>(*seed));
    RunLimits limits;
    limits.maxStatements = 5000;  // keeps a runaway text cheap; the bound itself is what is tested
    long refused = 0, clean = 0, stopped = 0, runtime = 0;
    for (long n = 0; n < *count; ++n) {
        const std::string text = maker.make();
        SCOPED_TRACE("text " + std::to_string(n) + " of seed " + std::to_string(*seed));
        // On the screen, so that the functions answer from the same state
        // as when the text is imported.
        auto g = std::make_unique<BgiScreen>();
        const RunResult r = runProgram(text, *g, limits);

        ASSERT_LE(r.problems.size(), 1001u);
        ASSERT_LE(r.statements, limits.maxStatements);
        const int lines = lineCount(text);
        bool anyCompile = false;
        for (std::size_t k = 0; k < r.problems.size(); ++k) {
            const ProgramProblem& p = r.problems[k];
            ASSERT_GE(p.line, 1);
            ASSERT_LE(p.line, lines);
            ASSERT_GE(p.column, 1);
            ASSERT_LE(static_cast<std::size_t>(p.column), text.size() + 1);
            ASSERT_FALSE(p.message.empty());
            ASSERT_LE(p.message.size(), 300u);
            ASSERT_TRUE(validUtf8(p.message)) << p.message;
            anyCompile = anyCompile || p.kind == ProgramProblem::Kind::Compile;
        }
        // At most one problem per line among those the checks found (the
        // run's own problem comes last and may share a line).
        const bool runProblem = r.runMetProblem;
        if (!r.problems.empty() &&
            (r.problems.back().kind == ProgramProblem::Kind::Runtime || r.stoppedEarly)) {
            ASSERT_TRUE(runProblem);
        }
        const std::size_t checked = r.problems.size() - (runProblem ? 1 : 0);
        for (std::size_t k = 1; k < checked; ++k) {
            ASSERT_LT(r.problems[k - 1].line, r.problems[k].line) << ::testing::PrintToString(text);
        }
        if (r.problems.size() < 1000) {
            ASSERT_EQ(r.compilerWouldRefuse, anyCompile);
        }
        if (r.stoppedEarly) {
            ASSERT_EQ(r.problems.back().kind, ProgramProblem::Kind::Limit);
        }
        // Warnings: bounded, in text order, inside the text, and said in
        // the sentence; an "end." reached only by a run that went through.
        ASSERT_LE(r.warnings.size(), 1000u);
        for (std::size_t k = 0; k < r.warnings.size(); ++k) {
            const ProgramProblem& w = r.warnings[k];
            ASSERT_EQ(w.kind, ProgramProblem::Kind::Warning);
            ASSERT_GE(w.line, 1);
            ASSERT_LE(w.line, lines);
            ASSERT_GE(w.column, 1);
            ASSERT_LE(w.message.size(), 300u);
            if (k > 0) {
                ASSERT_FALSE(w.line < r.warnings[k - 1].line);
            }
        }
        if (r.endLine > 0) {
            ASSERT_FALSE(r.stoppedEarly || runProblem);
            ASSERT_LE(r.endLine, lines);
        }
        const std::string sentence = describeRun(r);
        ASSERT_EQ(sentence.find("The compiler warns") != std::string::npos, !r.warnings.empty());

        // The same text gives the same result, and a refused one draws nothing
        // when asked not to run it.
        auto again = std::make_unique<BgiScreen>();
        RunLimits quiet = limits;
        quiet.runBeforeProblem = false;
        const RunResult second = runProgram(text, *again, quiet);
        ASSERT_EQ(second.compilerWouldRefuse, r.compilerWouldRefuse);
        if (r.compilerWouldRefuse) {
            ASSERT_EQ(again->work(), 0u);
            ASSERT_EQ(second.statements, 0u);
        } else if (!r.randomized) {
            ASSERT_EQ(second.problems, r.problems);
            ASSERT_EQ(second.values, r.values);
            ASSERT_EQ(again->work(), g->work());
        }
        // Watched, the run is the same; cut anywhere, it is the same run up
        // to there, and every statement's text is found where it stands.
        auto watched = std::make_unique<BgiScreen>();
        CapWatch all(UINT64_MAX);
        const RunResult third = runProgram(text, *watched, limits, &all);
        if (!r.randomized) {
            ASSERT_EQ(third.problems, r.problems);
            ASSERT_EQ(watched->work(), g->work());
        }
        for (const auto& [line, column] : all.at) {
            ASSERT_LE(line, lines);
            ASSERT_FALSE(statementText(text, line, column).empty()) << line << ":" << column;
        }
        ASSERT_TRUE(statementText(text, lines + 1, 1).empty());
        CapWatch cut(static_cast<uint64_t>(n) % (all.at.size() + 1));
        auto cutScreen = std::make_unique<BgiScreen>();
        runProgram(text, *cutScreen, limits, &cut);
        if (!r.randomized) {
            ASSERT_TRUE(std::equal(cut.at.begin(), cut.at.end(), all.at.begin()));
            ASSERT_EQ(cut.at.size(), cut.cap);
            ASSERT_LE(cutScreen->work(), g->work());
        }

        // The same text back into a picture: all or nothing, and never a
        // picture from a text with problems.
        const PictureImport imported = importPicture(text);
        ASSERT_NE(imported.picture.has_value(), !imported.problems.empty());
        // (This run's bounds are tighter than the import's, so only problems
        // of the text itself must refuse it.)
        const bool textProblem =
            std::any_of(r.problems.begin(), r.problems.end(),
                        [](const ProgramProblem& p) { return p.kind != ProgramProblem::Kind::Limit; });
        // (After randomize the import draws other numbers.)
        if (textProblem && !r.randomized) {
            ASSERT_FALSE(imported.picture.has_value());
        }
        for (const ImportProblem& p : imported.problems) ASSERT_GE(p.line, 1);
        refused += r.compilerWouldRefuse;
        clean += r.problems.empty();
        stopped += r.stoppedEarly;
        runtime += runProblem && r.problems.back().kind == ProgramProblem::Kind::Runtime;
    }
    std::printf(
        "%ld texts: %ld refused, %ld without problems, %ld runtime errors, %ld stopped by the bound\n",
        *count, refused, clean, runtime, stopped);
}

}  // namespace
}  // namespace pasdraw
