#include "program/program.h"

#include <gtest/gtest.h>

#include <cctype>
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "model/palette.h"
#include "support/recording_graphics.h"

namespace pasdraw {
namespace {

using Kind = ProgramProblem::Kind;
using testing::RecordingGraphics;

RunResult run(const std::string& text, RecordingGraphics& g, const RunLimits& limits = {}) {
    return runProgram(text, g, limits);
}

RunResult run(const std::string& text) {
    RecordingGraphics g;
    return run(text, g);
}

std::string problemsOf(const RunResult& r) {
    std::string s;
    for (const ProgramProblem& p : r.problems)
        s += std::to_string(p.line) + ":" + std::to_string(p.column) + " " + p.message + "\n";
    return s;
}

// ---------------------------------------------------------------- expressions

// Expected values are what Free Pascal 3.2.2 printed for the same statements.
TEST(ProgramExpressions, ValuesAsTheCompiledProgramComputesThem) {
    struct Case {
        const char* text;  // ends by assigning XK
        int16_t XK;
    };
    const Case cases[] = {
        {"XK:=1+2*3;", 7},
        {"XK:=(1+2)*3;", 9},
        {"XK:=10-4-3;", 3},
        {"XK:=100 div 7 mod 4;", 2},
        {"XK:=-7 div 2;", -3},
        {"XK:=-7 mod 2;", -1},
        {"XK:=7 mod -2;", 1},
        {"XK:=7 div -2;", -3},
        {"YK:=-7; XK:=YK div 2;", -3},
        {"YK:=-7; XK:=YK mod 2;", -1},
        {"XK:=40000;", -25536},  // a constant out of range: a warning, then truncated
        {"XK:=-40000;", 25536},
        {"XK:=100000;", -31072},
        {"XK:=30000+30000;", -5536},
        {"XK:=9223372036854775807;", -1},
        {"XK:=$10;", 16},
        {"XK:=%101;", 5},
        {"XK:=&17;", 15},
        {"XK:=+-+3;", -3},
        {"XK:=- -3;", 3},
        {"XK:=2*-3;", -6},
        {"XK:=-(-32768);", -32768},
        {"YK:=30000; XK:=YK+YK;", -5536},
        // 64-bit intermediates: 27000000000000 div 30000 is exact.
        {"YK:=30000; XK:=YK*YK*YK div YK;", -5888},
        {"YK:=30000; XK:=YK*YK div 7;", static_cast<int16_t>(128571428 & 0xFFFF)},
        {"YK:=-32768; XK:=-YK;", -32768},
        {"YK:=-32768; XK:=YK*YK*YK*YK div 65536 div 65536 div 65536;", 4096},
        // x*0, 0*x and x mod 1 are 0 without computing x: no division by zero.
        {"XK:=(7 div YK)*0;", 0},
        {"XK:=0*(7 div YK);", 0},
        {"XK:=(7 mod YK) mod 1;", 0},
        {"XK:=(7 div YK)*(1-1)+5;", 5},
        {"XK:=red+white*2;", 34},
        {"XK:=SolidFill+LightBlue;", 10},
        {"xk:=3; Xk:=xK*2;", 6},
        {"YK:=5; XK:=YK; YK:=1;", 5},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.text);
        const RunResult r = run(c.text);
        EXPECT_EQ(problemsOf(r), "");
        EXPECT_EQ(r.value(ProgramVar::XK), c.XK);
    }
}

// Every colour name of the graph unit is a constant, whatever its case: the
// palette's upper-case names, read as the text may write them.
TEST(ProgramExpressions, EveryColourNameIsItsNumberInAnyCase) {
    ASSERT_EQ(ColourNames.size(), 16u);
    for (std::size_t k = 0; k < ColourNames.size(); ++k) {
        const std::string upper = ColourNames[k];
        std::string lower = upper, mixed = upper;
        for (std::size_t c = 0; c < upper.size(); ++c) {
            lower[c] = static_cast<char>(std::tolower(static_cast<unsigned char>(upper[c])));
            if (c % 2 == 1) mixed[c] = lower[c];
        }
        for (const std::string& name : {upper, lower, mixed}) {
            SCOPED_TRACE(name);
            const RunResult r = run("XK:=" + name + ";");
            EXPECT_EQ(problemsOf(r), "");
            EXPECT_EQ(r.value(ProgramVar::XK), static_cast<int16_t>(k));
        }
    }
}

TEST(ProgramExpressions, VariablesStartAsTheHeaderLeavesThem) {
    const RunResult r = run("");
    EXPECT_EQ(r.values, (std::array<int16_t, ProgramVarCount>{0, 0, 0, 9, 2, 0}));
    EXPECT_EQ(r.assigned, (std::array<bool, ProgramVarCount>{}));
    EXPECT_EQ(r.statements, 0u);
}

TEST(ProgramExpressions, AssignedVariablesAreMarked) {
    const RunResult r = run("YK:=3; for err:=1 to 2 do; m:=m;");
    EXPECT_EQ(r.assigned, (std::array<bool, ProgramVarCount>{false, true, false, true, false, true}));
    EXPECT_EQ(r.value(ProgramVar::m), 9);
    EXPECT_EQ(r.value(ProgramVar::err), 2);
}

// ---------------------------------------------------------------- statements

TEST(ProgramStatements, LoopsBlocksConditions) {
    struct Case {
        const char* text;
        const char* calls;
    };
    const Case cases[] = {
        {"for i:=1 to 3 do putpixel(i,0,1);", "putpixel(1,0,1)\nputpixel(2,0,1)\nputpixel(3,0,1)\n"},
        {"for i:=3 downto 2 do putpixel(i,i,2);", "putpixel(3,3,2)\nputpixel(2,2,2)\n"},
        {"for i:=3 to 2 do putpixel(i,0,1);", ""},
        {"for i:=2 downto 3 do putpixel(i,0,1);", ""},
        {"for i:=1 to 2 do for d:=i to 2 do putpixel(i,d,0);",
         "putpixel(1,1,0)\nputpixel(1,2,0)\nputpixel(2,2,0)\n"},
        // Bounds are computed once: changing XK in the body does not move them.
        {"XK:=2; for i:=1 to XK do begin XK:=10; putpixel(i,XK,0) end;",
         "putpixel(1,10,0)\nputpixel(2,10,0)\n"},
        {"for i:=32766 to 32767 do putpixel(i,0,0);", "putpixel(32766,0,0)\nputpixel(32767,0,0)\n"},
        {"for i:=-32767 downto -32768 do putpixel(i,0,0);", "putpixel(-32767,0,0)\nputpixel(-32768,0,0)\n"},
        {"begin setcolor(1); begin setcolor(2) end; end;", "setcolor(1)\nsetcolor(2)\n"},
        {";;begin;;;end;;", ""},
        {"begin end;", ""},
        {"if 1<2 then setcolor(1) else setcolor(2);", "setcolor(1)\n"},
        {"if 1>2 then setcolor(1) else setcolor(2);", "setcolor(2)\n"},
        {"if (XK=0) and (YK<>0) then setcolor(1);", ""},
        {"if (XK=0) or (1 div XK=0) then setcolor(1);", "setcolor(1)\n"},  // stops before 1 div 0
        {"if not (XK>=1) then setcolor(3);", "setcolor(3)\n"},
        {"if XK<=0 then if YK>0 then setcolor(1) else setcolor(2);", "setcolor(2)\n"},
        {"if (1<2)=(3<4) then setcolor(5);", "setcolor(5)\n"},
        {"delay(1000); sound(440); nosound; clrscr; cleardevice();", "cleardevice()\n"},
        {"setcolor(4) end. setcolor(5);", "setcolor(4)\n"},
        {"setcolor(4); end. this is { not read", "setcolor(4)\n"},
        // A body cut off at the end of the text takes the saved program's
        // closing loop as its body, which draws nothing.
        {"for i:=1 to 3 do\r\n", ""},
        {"setcolor(1); if XK=0 then ", "setcolor(1)\n"},
        {"if XK=0 then setcolor(1) else { nothing }", "setcolor(1)\n"},
        {"setcolor(1); // a comment\r\n", "setcolor(1)\n"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.text);
        RecordingGraphics g;
        const RunResult r = run(c.text, g);
        EXPECT_EQ(problemsOf(r), "");
        EXPECT_EQ(g.joined(), c.calls);
    }
}

TEST(ProgramStatements, ForVariableKeepsItsLastValueOrIsLeftAlone) {
    EXPECT_EQ(run("for i:=1 to 3 do;").value(ProgramVar::i), 3);
    EXPECT_EQ(run("for i:=3 downto 1 do;").value(ProgramVar::i), 1);
    EXPECT_EQ(run("i:=7; for i:=5 to 3 do;").value(ProgramVar::i), 7);
    EXPECT_FALSE(run("for i:=5 to 3 do;").wasAssigned(ProgramVar::i));
    // A bound computed beyond 16 bits is truncated: 90000 becomes 24464.
    const RunResult r = run("XK:=300; YK:=24460; for i:=YK to XK*XK do m:=m+1;");
    EXPECT_EQ(r.value(ProgramVar::m), 9 + 5);
    EXPECT_EQ(r.value(ProgramVar::i), 24464);
}

TEST(ProgramStatements, CommentsCaseAndLineBreaks) {
    struct Case {
        const char* text;
        const char* calls;
    };
    const Case cases[] = {
        {"{ setcolor(1); } setcolor(2);", "setcolor(2)\n"},
        {"(* setcolor(1); *) setcolor(2);", "setcolor(2)\n"},
        {"// setcolor(1);\r\nsetcolor(2);", "setcolor(2)\n"},
        {"{ outer { inner } setcolor(1); } setcolor(2);", "setcolor(2)\n"},
        {"(* a (* b *) setcolor(1); *) setcolor(2);", "setcolor(2)\n"},
        {"{ (* } setcolor(2);", "setcolor(2)\n"},
        {"SETCOLOR(1);SetColor(2);BEGIN END;FOR I:=1 TO 1 DO LINE(xk,yK,I,i);",
         "setcolor(1)\nsetcolor(2)\nline(0,0,1,1)\n"},
        {"setcolor(\r\n1\r\n)\r\n;\n\rsetcolor(2);", "setcolor(1)\nsetcolor(2)\n"},
        {"setcolor\t( 1 ) ;", "setcolor(1)\n"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.text);
        RecordingGraphics g;
        const RunResult r = run(c.text, g);
        EXPECT_EQ(problemsOf(r), "");
        EXPECT_EQ(g.joined(), c.calls);
    }
}

// ---------------------------------------------------------------- routines

TEST(ProgramRoutines, EveryRoutineGetsItsArgumentsConverted) {
    struct Case {
        const char* text;
        const char* call;
    };
    // 70000 is 4464 in 16 bits, -1 as a word is 65535, 40000 as a smallint
    // -25536; a colour is a longword, which keeps 70001 and takes -1 as 2^32 - 1.
    const Case cases[] = {
        {"setcolor(-1);", "setcolor(4294967295)"},
        {"setbkcolor(70001);", "setbkcolor(70001)"},
        {"setfillstyle(1,-2);", "setfillstyle(1,4294967294)"},
        {"cleardevice;", "cleardevice()"},
        {"putpixel(40000,-40000,3);", "putpixel(-25536,25536,3)"},
        {"moveto(1,2);", "moveto(1,2)"},
        {"lineto(-3,70000);", "lineto(-3,4464)"},
        {"line(1,2,3,4);", "line(1,2,3,4)"},
        {"rectangle(60,60,300,225);", "rectangle(60,60,300,225)"},
        {"bar(5,6,7,32768);", "bar(5,6,7,-32768)"},
        {"circle(320,240,-1);", "circle(320,240,65535)"},
        {"arc(1,2,-90,450,10);", "arc(1,2,65446,450,10)"},
        {"ellipse(1,2,0,360,5,70000);", "ellipse(1,2,0,360,5,4464)"},
        {"floodfill(35,35,4);", "floodfill(35,35,4)"},
        {"XK:=30000; line(XK*XK,0,0,0);", "line(-5888,0,0,0)"},
        {"linerel(-1,70000);", "linerel(-1,4464)"},
        {"moverel(32768,0);", "moverel(-32768,0)"},
        {"bar3d(1,2,3,4,-1,TopOn);", "bar3d(1,2,3,4,65535,1)"},
        {"bar3d(1,2,3,4,5,(XK>0) or not TopOff);", "bar3d(1,2,3,4,5,1)"},
        {"bar3d(1,2,3,4,5,false); if true then setviewport(0,0,9,9,True);",
         "bar3d(1,2,3,4,5,0)\nsetviewport(0,0,9,9,1)"},
        // textwidth and textheight answer in a word (measured: 65520 and
        // 65528 at size 65535), here put into smallints.
        {"settextstyle(1,0,65535); XK:=textwidth('LL'); YK:=TextHeight('x'); moveto(XK, YK);",
         "settextstyle(1,0,65535)\nmoveto(-16,-8)"},
        {"settextstyle(SmallFont,VertDir,300); moveto(textheight(''), textwidth('it''s'#10));",
         "settextstyle(2,1,300)\nmoveto(2400,12000)"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.text);
        RecordingGraphics g;
        const RunResult r = run(c.text, g);
        EXPECT_EQ(problemsOf(r), "");
        EXPECT_EQ(g.joined(), std::string(c.call) + "\n");
        EXPECT_FALSE(r.compilerWouldRefuse);
    }
}

// ---------------------------------------------------------------- problems

struct ProblemCase {
    const char* text;
    int line;
    int column;
    const char* message;
    Kind kind;
    const char* callsBefore;  // what ran before the problem
};

void checkFirstProblem(const ProblemCase& c) {
    SCOPED_TRACE(c.text);
    RecordingGraphics g;
    const RunResult r = run(c.text, g);
    ASSERT_FALSE(r.problems.empty());
    const ProgramProblem& p = r.problems.front();
    EXPECT_EQ(p.message, c.message);
    EXPECT_EQ(p.line, c.line);
    EXPECT_EQ(p.column, c.column);
    EXPECT_EQ(p.kind, c.kind);
    EXPECT_EQ(r.compilerWouldRefuse, c.kind == Kind::Compile);
    EXPECT_EQ(g.joined(), c.callsBefore);
}

TEST(ProgramProblems, WhatTheCompilerRefuses) {
    const ProblemCase cases[] = {
        {"setcolor(1);\r\nlin(1,2,3,4);", 2, 1, "unknown procedure 'lin'", Kind::Compile, "setcolor(1)\n"},
        // Nothing after the first problem runs, even past a branch not taken.
        {"setcolor(1); if XK=1 then lin; setcolor(2);", 1, 27, "unknown procedure 'lin'", Kind::Compile,
         "setcolor(1)\n"},
        // Statements before it run as often as the program would run them.
        {"for i:=1 to 2 do begin setcolor(i); if i=3 then lin; end;", 1, 49, "unknown procedure 'lin'",
         Kind::Compile, "setcolor(1)\nsetcolor(2)\n"},
        {"line(1,2,3,4", 1, 13, "')' or ',' expected, but the end of the text found", Kind::Compile, ""},
        {"XK(1);", 1, 1, "'XK' is not a procedure", Kind::Compile, ""},
        {"XK;", 1, 1, "'XK' is not a procedure", Kind::Compile, ""},
        {"XK = 3;", 1, 4, "':=' expected to assign; '=' compares", Kind::Compile, ""},
        {"circle(1,2);", 1, 1, "3 numbers expected for circle, 2 given", Kind::Compile, ""},
        {"setcolor;", 1, 1, "1 number expected for setcolor, 0 given", Kind::Compile, ""},
        {"cleardevice(1);", 1, 1, "cleardevice takes no numbers, 1 given", Kind::Compile, ""},
        {"setcolor(1); line(1,2,3,4)", 1, 27, "';' expected at the end of the text", Kind::Compile,
         "setcolor(1)\nline(1,2,3,4)\n"},
        {"for i:=1 to 3 do", 1, 15,
         "'do' runs into the 'repeat' that the saved program puts right after the text; end the text with "
         "';' "
         "or a line break",
         Kind::Compile, ""},
        {"setcolor(1);\r\nXK:=3; cleardevice", 2, 8,
         "'cleardevice' runs into the 'repeat' that the saved program puts right after the text; end the "
         "text "
         "with ';' or a line break",
         Kind::Compile, "setcolor(1)\n"},
        {"setcolor(1); // a comment", 1, 14,
         "this // comment would hide the end of the saved program, which follows on the same line; end the "
         "text "
         "with a line break",
         Kind::Compile, "setcolor(1)\n"},
        {"XK:=3 YK:=4;", 1, 7, "';' expected, but 'YK' found", Kind::Compile, ""},
        {"XK:=(((3);", 1, 10, "')' expected, but ';' found", Kind::Compile, ""},
        {"XK:=;", 1, 5, "a number, a variable or '(' expected, but ';' found", Kind::Compile, ""},
        {"for i:=1 to 10 do i:=3;", 1, 19, "'i' counts a for loop here and cannot be assigned", Kind::Compile,
         ""},
        {"for i:=1 to 2 do for I:=1 to 2 do;", 1, 22,
         "'I' is already counting an enclosing for loop and cannot count another", Kind::Compile, ""},
        {"for i:=1 to 100000 do;", 1, 13,
         "100000 is out of range for a for loop over an integer (-32768 to 32767)", Kind::Compile, ""},
        {"XK:=1 div 0;", 1, 7, "division by zero", Kind::Compile, ""},
        {"XK:=YK mod (1-1);", 1, 8, "division by zero", Kind::Compile, ""},
        {"XK:=1 div (YK*0);", 1, 7, "division by zero", Kind::Compile, ""},
        {"XK:=XK div (YK mod 1);", 1, 8, "division by zero", Kind::Compile, ""},
        {"XK:=30000*30000*30000*30000*30000;", 1, 28, "overflow in arithmetic operation", Kind::Compile, ""},
        {"XK:=1.5;", 1, 5,
         "a whole number expected; '/' and numbers with a point or an exponent give real numbers (use div)",
         Kind::Compile, ""},
        {"XK:=99999999999999999999;", 1, 5,
         "a whole number expected; '/' and numbers with a point or an exponent give real numbers (use div)",
         Kind::Compile, ""},
        {"XK:=1<2;", 1, 5, "a number expected, not a condition", Kind::Compile, ""},
        {"setcolor('red');", 1, 10, "a number expected, not a string", Kind::Compile, ""},
        {"if XK then setcolor(1);", 1, 4, "a condition (such as XK < 10) expected after 'if'", Kind::Compile,
         ""},
        {"if XK<1 then setcolor(1); else setcolor(2);", 1, 27, "';' is not allowed before 'else'",
         Kind::Compile, "setcolor(1)\n"},
        {"end;", 1, 4,
         "'end' without a 'begin' ends the program here, so '.' is expected after it, but ';' found",
         Kind::Compile, ""},
        {"begin setcolor(1); end.", 1, 23, "';' expected, but '.' found", Kind::Compile, "setcolor(1)\n"},
        {"begin setcolor(1);", 1, 19, "'end' expected for the 'begin' at line 1, column 1", Kind::Compile,
         "setcolor(1)\n"},
        {"XK:=red; red;", 1, 10, "'red' is a constant, not a procedure", Kind::Compile, ""},
        {"XK:=line;", 1, 5, "'line' is a procedure and gives no value", Kind::Compile, ""},
        {"bar3d(1,2,3,4,5,6);", 1, 17,
         "a condition (such as TopOn or XK < 10) expected, not a number or a string", Kind::Compile, ""},
        {"bar3d(1,2,3,4,TopOn,TopOff);", 1, 15, "a number expected, not a condition", Kind::Compile, ""},
        {"XK:=getpixel(1);", 1, 5, "2 numbers expected for getpixel, 1 given", Kind::Compile, ""},
        {"XK:=getmaxx(1)+getx();", 1, 5, "getmaxx takes no numbers, 1 given", Kind::Compile, ""},
        {"XK:=random(1,2);", 1, 5, "1 number expected for random, 2 given", Kind::Compile, ""},
        {"XK:=random(getpixel(0,1<2));", 1, 23, "a number expected, not a condition", Kind::Compile, ""},
        {"XK:=foo+1;", 1, 5, "unknown name 'foo'", Kind::Compile, ""},
        {"foo:=1;", 1, 1, "unknown variable 'foo'", Kind::Compile, ""},
        {"for foo:=1 to 2 do;", 1, 5, "unknown variable 'foo'", Kind::Compile, ""},
        {"var XK: integer;", 1, 1, "a statement expected, but 'var' found", Kind::Compile, ""},
        {"XK:=3 # 4;", 1, 7, "character code expected after '#'", Kind::Compile, ""},
        {"setcolor(1); { never closed", 1, 14, "comment not closed: '}' expected", Kind::Compile,
         "setcolor(1)\n"},
        {"outtextxy(1,1,'it''s);", 1, 15, "string not closed: ' expected before the end of the line",
         Kind::Compile, ""},
        {"XK:=1 ? 2;", 1, 7, "the character '?' cannot appear here", Kind::Compile, ""},
        {"XK:=\xC3\xA9;", 1, 5, "the character '\xC3\xA9' cannot appear here", Kind::Compile, ""},
        {"\xC3\xA9\xC3\xA9 XK:=\x01;", 1, 1, "the character '\xC3\xA9' cannot appear here", Kind::Compile,
         ""},
        {"XK:=1;\r\n\xC3\xA9\xC3\xA9\x01", 2, 1, "the character '\xC3\xA9' cannot appear here", Kind::Compile,
         ""},
        {"XK:=\xFF;", 1, 5, "the character #255 cannot appear here", Kind::Compile, ""},
    };
    for (const ProblemCase& c : cases) checkFirstProblem(c);
}

TEST(ProgramProblems, WhatStopsTheRunOrIsBeyondThePreview) {
    const ProblemCase cases[] = {
        {"XK:=(7 div YK)*1;", 1, 8,
         "division by zero: the program stops here with an unhandled exception (EDivByZero: Division by "
         "zero, exit code 217)",
         Kind::Runtime, ""},
        {"XK:=(7 div YK) mod -1;", 1, 8,
         "division by zero: the program stops here with an unhandled exception (EDivByZero: Division by "
         "zero, exit code 217)",
         Kind::Runtime, ""},
        {"setcolor(1); XK:=7 div XK; setcolor(2);", 1, 20,
         "division by zero: the program stops here with an unhandled exception (EDivByZero: Division by "
         "zero, exit code 217)",
         Kind::Runtime, "setcolor(1)\n"},
        {"for i:=2 downto 0 do putpixel(10 mod i,0,0);", 1, 34,
         "division by zero: the program stops here with an unhandled exception (EDivByZero: Division by "
         "zero, exit code 217)",
         Kind::Runtime, "putpixel(0,0,0)\nputpixel(0,0,0)\n"},
        {"XK:=-32768; YK:=-1; i:=XK*32768*32768*32768*8 div YK;", 1, 47,
         "the result of this division does not fit 64 bits: the program stops here with an unhandled "
         "exception (EDivByZero: Division by zero, exit code 217)",
         Kind::Runtime, ""},
        {"if 1>2 then setwritemode(1); setcolor(2);", 1, 13, "the preview cannot run 'setwritemode'",
         Kind::Unsupported, ""},
        // A viewport refused for its corners changes nothing; one with the clip
        // off is refused.
        {"setviewport(0,0,640,9,ClipOff); setviewport(5,5,9,9,ClipOff);", 1, 33,
         "the preview does not draw with the clip off (setviewport with ClipOff): "
         "the program then draws past the screen's edges",
         Kind::Unsupported, "setviewport(0,0,640,9,0)\n"},
        // cleardevice moves the far corner back by twice the near one.
        {"setviewport(10,20,300,400,ClipOn); cleardevice; setviewport(100,50,250,400,ClipOn); cleardevice;",
         1, 85,
         "the preview does not run cleardevice in this viewport: the program would leave it from (100,50) to "
         "(50,300)",
         Kind::Unsupported, "setviewport(10,20,300,400,1)\ncleardevice()\nsetviewport(100,50,250,400,1)\n"},
        // getpixel is relative to the viewport, and refused outside it.
        {"setviewport(100,0,200,9,ClipOn); XK:=getpixel(100,9); XK:=getpixel(101,0);", 1, 59,
         "getpixel reads outside the viewport here; the preview cannot tell what the program gets",
         Kind::Unsupported,
         "setviewport(100,0,200,9,1)\ngetmaxx()\ngetmaxy()\ngetpixel(100,9)\ngetmaxx()\ngetmaxy()\n"},
        // Off the screen as well, it says so.
        {"setviewport(100,0,200,9,ClipOn); XK:=getpixel(-101,0);", 1, 38,
         "getpixel reads outside the screen here; the preview cannot tell what the program gets",
         Kind::Unsupported, "setviewport(100,0,200,9,1)\n"},
        {"setcolor(1); setpalette(1,2); setcolor(2);", 1, 14, "the preview cannot run 'setpalette'",
         Kind::Unsupported, "setcolor(1)\n"},
        {"setcolor(3); XK:=getpixel(-1,0);", 1, 18,
         "getpixel reads outside the screen here; the preview cannot tell what the program gets",
         Kind::Unsupported, "setcolor(3)\n"},
        {"putpixel(1,2,3); getx;", 1, 18, "the preview cannot run 'getx'", Kind::Unsupported,
         "putpixel(1,2,3)\n"},
        // Thick curves and filled ones are drawn, up to what the preview
        // refuses in any thickness.
        {"setlinestyle(0,0,ThickWidth); circle(5,5,5); arc(1,2,3,4,5); sector(9,9,0,90,5,4); "
         "pieslice(0,-16380,0,90,5);",
         1, 84,
         "the preview does not draw pieslice where the centre plus or minus a radius leaves -16384 .. 16383",
         Kind::Unsupported, "setlinestyle(0,0,3)\ncircle(5,5,5)\narc(1,2,3,4,5)\nsector(9,9,0,90,5,4)\n"},
        {"setlinestyle(0,0,3); setlinestyle(DottedLn,0,2); fillellipse(1,2,3,4); fillellipse(16380,2,4,3);",
         1, 72,
         "the preview does not draw fillellipse where the centre plus or minus a radius leaves -16384 .. "
         "16383",
         Kind::Unsupported, "setlinestyle(0,0,3)\nsetlinestyle(1,0,2)\nfillellipse(1,2,3,4)\n"},
        // Points as far as -16384 and 16383 are drawn, and one further is not,
        // on either axis and for either radius.
        {"fillellipse(-16380,16380,4,3); fillellipse(-16380,0,5,1);", 1, 32,
         "the preview does not draw fillellipse where the centre plus or minus a radius leaves -16384 .. "
         "16383",
         Kind::Unsupported, "fillellipse(-16380,16380,4,3)\n"},
        {"sector(0,16380,0,90,16383,4);", 1, 1,
         "the preview does not draw sector where the centre plus or minus a radius leaves -16384 .. 16383",
         Kind::Unsupported, ""},
        {"pieslice(0,-16380,0,90,65536 + 5);", 1, 1,
         "the preview does not draw pieslice where the centre plus or minus a radius leaves -16384 .. 16383",
         Kind::Unsupported, ""},
        {"XK:=getbkcolor div 2;", 1, 5, "the preview cannot compute 'getbkcolor'", Kind::Unsupported, ""},
        {"setcolor(1); outtextxy(1,1,5);", 1, 28, "a string expected, not a number", Kind::Compile,
         "setcolor(1)\n"},
        {"outtext('a'); outtext(xk);", 1, 23, "a string expected, not a number", Kind::Compile,
         "outtext('a')\n"},
        {"outtextxy('1',1,'a');", 1, 11, "a number expected, not a string", Kind::Compile, ""},
        {"outtext('a', 'b');", 1, 1, "1 argument expected for outtext, 2 given", Kind::Compile, ""},
        {"outtextxy(1,1);", 1, 1, "3 arguments expected for outtextxy, 2 given", Kind::Compile, ""},
        {"outtext('it''s'#10); outtext('a'+'b');", 1, 30,
         "the preview takes a string literal here, not an expression", Kind::Unsupported,
         "outtext('it's\n')\n"},
        {"outtext(#$41#300);", 1, 9, "the preview draws characters #0 to #255 only", Kind::Unsupported, ""},
        {"XK:=textwidth(5);", 1, 15, "a string expected, not a number", Kind::Compile, ""},
        {"setcolor(1); textheight('a');", 1, 14, "the preview cannot run 'textheight'", Kind::Unsupported,
         "setcolor(1)\n"},
        // Sizes past 10 in a stroked font, which falls back to the default
        // one: 8 x 2551 pixels is past what the preview draws as the unit.
        {"settextstyle(TriplexFont, HorizDir, 2550); outtext('a'); settextstyle(1, 1, 2551); outtext('a');",
         1, 84, "the preview does not draw text over 20400 pixels long or high (here 20408, at size 2551)",
         Kind::Unsupported, "settextstyle(1,0,2550)\nouttext('a')\nsettextstyle(1,1,2551)\n"},
        {"setcolor(2); while XK<3 do XK:=XK+1;", 1, 14, "the preview does not run 'while' statements",
         Kind::Unsupported, "setcolor(2)\n"},
        {"setcolor(2); {$R+} XK:=1;", 1, 14, "the preview does not follow compiler directives ({$...})",
         Kind::Unsupported, "setcolor(2)\n"},
        {"XK:=9223372036854775808;", 1, 5,
         "the preview does not compute with numbers above 9223372036854775807", Kind::Unsupported, ""},
        {"XK:=XK and 3;", 1, 8, "the preview does not compute 'and' on numbers", Kind::Unsupported, ""},
        {"XK:=XK shl 3;", 1, 8, "the preview does not compute 'shl'", Kind::Unsupported, ""},
    };
    for (const ProblemCase& c : cases) checkFirstProblem(c);
}

TEST(ProgramProblems, EveryLineWithAProblemIsReportedOnce) {
    const RunResult r =
        run("setcolor(1);\r\n"
            "lin(1,2,3,4); lin(5);\r\n"
            "setcolor(2);\r\n"
            "circle(1,2);\r\n"
            "XK:=(1;\r\n"
            "begin for i:=1 to 3 do i:=1; end;\r\n"
            "setcolor(3);\r\n");
    EXPECT_EQ(problemsOf(r),
              "2:1 unknown procedure 'lin'\n"
              "4:1 3 numbers expected for circle, 2 given\n"
              "5:7 ')' expected, but ';' found\n"
              "6:24 'i' counts a for loop here and cannot be assigned\n");
    EXPECT_TRUE(r.compilerWouldRefuse);
    EXPECT_EQ(r.statements, 1u);  // setcolor(1) only
}

TEST(ProgramProblems, NothingRunsWhenAskedNotToRunARefusedText) {
    RecordingGraphics g;
    RunLimits limits;
    limits.runBeforeProblem = false;
    const RunResult refused = run("setcolor(1); lin;", g, limits);
    EXPECT_TRUE(refused.compilerWouldRefuse);
    EXPECT_EQ(g.calls.size(), 0u);
    // An unsupported routine is not a refusal: what precedes it still runs.
    const RunResult unsupported = run("setcolor(1); setpalette(9,5);", g, limits);
    EXPECT_FALSE(unsupported.compilerWouldRefuse);
    EXPECT_EQ(g.joined(), "setcolor(1)\n");
}

TEST(ProgramProblems, NulIsACharacterLikeAnyOther) {
    const RunResult r = run(std::string("setcolor(1);\0XK:=\0;", 20));
    EXPECT_EQ(problemsOf(r), std::string("1:13 the character #0 cannot appear here\n"));
}

TEST(ProgramProblems, ColumnsCountCharactersNotBytes) {
    const RunResult r = run("{ \xC3\xA9t\xC3\xA9 } lin;\r\n// \xE2\x82\xAC\n  \xF0\x9F\x98\x80 lin;");
    EXPECT_EQ(problemsOf(r),
              "1:9 unknown procedure 'lin'\n3:3 the character '\xF0\x9F\x98\x80' cannot appear here\n");
}

// ---------------------------------------------------------------- limits

TEST(ProgramLimits, RunawayProgramsStopWithACount) {
    RecordingGraphics g;
    g.keep = false;
    RunLimits limits;
    limits.maxStatements = 1000;
    const RunResult r = run("for i:=1 to 32767 do for d:=1 to 32767 do;", g, limits);
    EXPECT_TRUE(r.stoppedEarly);
    EXPECT_FALSE(r.compilerWouldRefuse);
    EXPECT_EQ(r.statements, 1000u);
    EXPECT_EQ(problemsOf(r), "1:42 stopped after 1000 statements; the program would go on\n");
    EXPECT_EQ(r.problems.front().kind, Kind::Limit);

    // Exactly at the bound, with nothing left to run, is not stopping early.
    const RunResult exact = run("for i:=1 to 999 do;", g, limits);
    EXPECT_FALSE(exact.stoppedEarly);
    EXPECT_EQ(exact.statements, 1000u);
}

TEST(ProgramLimits, WorkOfTheGraphicsStopsTheRun) {
    RecordingGraphics g;
    g.costPerCall = 1000;
    RunLimits limits;
    limits.maxWork = 5000;
    const RunResult r = run("for i:=1 to 100 do bar(0,0,639,479);", g, limits);
    EXPECT_TRUE(r.stoppedEarly);
    EXPECT_EQ(g.calls.size(), 5u);
    EXPECT_EQ(problemsOf(r), "1:20 stopped after 6 statements; the program would go on\n");
}

// A statement may hold thousands of operations, so their count bounds the
// run too: a loop that only the operations bound can stop, each statement
// evaluating 2 * terms - 1 of them.
TEST(ProgramLimits, OperationsStopALoopOfLongStatements) {
    RecordingGraphics g;
    for (const int terms : {10, 300, 3000}) {
        std::string text = "for i:=1 to 32767 do for d:=1 to 32767 do XK:=i";
        for (int k = 1; k < terms; ++k) text += "+d";
        text += ";";
        RunLimits limits;
        limits.maxOperations = 100'000;
        const RunResult r = run(text, g, limits);
        SCOPED_TRACE(terms);
        EXPECT_TRUE(r.stoppedEarly);
        const uint64_t assignments = limits.maxOperations / static_cast<uint64_t>(2 * terms - 1);
        EXPECT_GE(r.statements, assignments);
        EXPECT_LE(r.statements, 2 * assignments + 4);  // with the loop body passes
        EXPECT_EQ(r.problems.back().kind, Kind::Limit);
    }
}

TEST(ProgramLimits, DeepNestingIsReportedNotRecursedInto) {
    const std::string parens = "XK:=" + std::string(100000, '(') + "1" + std::string(100000, ')') + ";";
    const std::string blocks = "setcolor(1);" + std::string(50000, ' ') + [] {
        std::string s;
        for (int k = 0; k < 50000; ++k) s += "begin ";
        return s;
    }();
    const std::string signs = "XK:=" + std::string(100000, '-') + "1;";
    const std::string ifs = [] {
        std::string s;
        for (int k = 0; k < 20000; ++k) s += "if 1<2 then ";
        return s + ";";
    }();
    std::string longSum = "XK:=XK";
    for (int k = 0; k < 100000; ++k) longSum += "+XK";
    for (const std::string& text : {parens, blocks, signs, ifs, longSum}) {
        SCOPED_TRACE(text.substr(0, 30));
        RecordingGraphics g;
        const RunResult r = run(text, g);
        ASSERT_FALSE(r.problems.empty());
        EXPECT_EQ(r.problems.front().kind, Kind::Limit);
        EXPECT_FALSE(r.compilerWouldRefuse);
    }
    // Just under the bounds, the text runs.
    std::string sum = "YK:=1; XK:=" + std::string(90, '(') + "YK";
    for (int k = 0; k < 3999; ++k) sum += "+YK";
    const RunResult under = run(sum + std::string(90, ')') + ";");
    EXPECT_EQ(problemsOf(under), "");
    EXPECT_EQ(under.value(ProgramVar::XK), 4000);
    EXPECT_EQ(run(parens).problems.front().message,
              "nested more than 100 levels deep; the preview stops checking here");
    EXPECT_EQ(run(longSum).problems.front().message,
              "more than 4000 operators in one statement; the preview stops checking here");
}

}  // namespace
}  // namespace pasdraw
