#include "program/builtins.h"

#include <array>

#include "model/palette.h"
#include "program/name_table.h"

namespace pasdraw::program {

namespace {

constexpr std::array<std::string_view, ProgramVarCount> VarNames{"xk", "yk", "i", "m", "d", "err"};

// The crt routines and randomize, after the drawing ones in Routine; each
// takes words.
struct CrtRoutine {
    std::string_view name;
    Routine routine;
    std::size_t parameters;
};
constexpr std::array<CrtRoutine, 5> CrtRoutines{{
    {"delay", Routine::Delay, 1},
    {"sound", Routine::Sound, 1},
    {"nosound", Routine::NoSound, 0},
    {"clrscr", Routine::ClrScr, 0},
    {"randomize", Routine::Randomize, 0},
}};
static_assert(static_cast<std::size_t>(Routine::Delay) == GraphRoutineCount &&
                  static_cast<std::size_t>(Routine::Randomize) == GraphRoutineCount + CrtRoutines.size() - 1,
              "the crt routines follow the drawing ones, in this table's order");

struct NamedConstant {
    std::string_view name;
    uint8_t value;
};

// Constants of the graph and crt units a learner may write for a fill
// pattern, a line style or the driver; the colours come from the palette's names.
constexpr std::array<NamedConstant, 26> Constants{{
    {"emptyfill", 0},    {"solidfill", 1},     {"linefill", 2},  {"ltslashfill", 3}, {"slashfill", 4},
    {"bkslashfill", 5},  {"ltbkslashfill", 6}, {"hatchfill", 7}, {"xhatchfill", 8},  {"interleavefill", 9},
    {"widedotfill", 10}, {"closedotfill", 11}, {"userfill", 12}, {"detect", 0},      {"grok", 0},
    {"vga", 9},          {"vgalo", 0},         {"vgamed", 1},    {"vgahi", 2},       {"solidln", 0},
    {"dottedln", 1},     {"centerln", 2},      {"dashedln", 3},  {"userbitln", 4},   {"normwidth", 1},
    {"thickwidth", 3},
}};

// The text styles and justifications, as the graph unit numbers them; the
// fonts are the eleven the compiler knows (measured).
constexpr std::array<NamedConstant, 19> TextConstants{{
    {"defaultfont", 0}, {"triplexfont", 1}, {"smallfont", 2},  {"sansseriffont", 3}, {"gothicfont", 4},
    {"scriptfont", 5},  {"simplefont", 6},  {"tscrfont", 7},   {"lcomfont", 8},      {"eurofont", 9},
    {"boldfont", 10},   {"horizdir", 0},    {"vertdir", 1},    {"usercharsize", 0},  {"lefttext", 0},
    {"centertext", 1},  {"righttext", 2},   {"bottomtext", 0}, {"toptext", 2},
}};

// Names the compiler knows from graph, crt and the system unit that the
// preview does not run (textwidth and textheight it computes in expressions
// only; the parser reads them there).
constexpr std::array<std::string_view, 69> KnownElsewhere{{
    "setwritemode",
    "setpalette",
    "setallpalette",
    "setrgbpalette",
    "fillpoly",
    "drawpoly",
    "getbkcolor",
    "graphresult",
    "grapherrormsg",
    "initgraph",
    "closegraph",
    "detectgraph",
    "restorecrtmode",
    "setgraphmode",
    "textheight",
    "textwidth",
    "imagesize",
    "getimage",
    "putimage",
    "setactivepage",
    "setvisualpage",
    "setaspectratio",
    "getaspectratio",
    "setfillpattern",
    "getfillpattern",
    "setusercharsize",
    "getgraphmode",
    "getmaxmode",
    "getmodename",
    "getdrivername",
    "keypressed",
    "readkey",
    "gotoxy",
    "textcolor",
    "textbackground",
    "window",
    "clreol",
    "wherex",
    "wherey",
    "highvideo",
    "lowvideo",
    "normvideo",
    "textmode",
    "delline",
    "insline",
    "write",
    "writeln",
    "read",
    "readln",
    "halt",
    "exit",
    "inc",
    "dec",
    "abs",
    "sqr",
    "sqrt",
    "sin",
    "cos",
    "round",
    "trunc",
    "odd",
    "succ",
    "pred",
    "ord",
    "chr",
    "length",
    "break",
    "continue",
    "maxint",
}};

}  // namespace

Name lookUp(std::string_view word) {
    static const NameTable<Name> byName = [] {
        NameTable<Name> t;
        // In this order of precedence; the lists do not overlap.
        for (std::size_t k = 0; k < VarNames.size(); ++k)
            t.add(VarNames[k], Name{NameKind::Var, static_cast<uint8_t>(k)});
        for (std::size_t k = 0; k < GraphRoutineCount; ++k)
            t.add(pascalName(static_cast<GraphRoutine>(k)), Name{NameKind::Routine, static_cast<uint8_t>(k)});
        for (const CrtRoutine& r : CrtRoutines)
            t.add(r.name, Name{NameKind::Routine, static_cast<uint8_t>(r.routine)});
        for (std::size_t k = 0; k < GraphFunctionCount; ++k)
            t.add(pascalName(static_cast<GraphFunction>(k)),
                  Name{NameKind::Function, static_cast<uint8_t>(k)});
        t.add("random", Name{NameKind::Function, RandomFunction});
        for (std::size_t k = 0; k < ColourNames.size(); ++k)
            t.add(ColourNames[k], Name{NameKind::Constant, static_cast<uint8_t>(k)});
        for (const NamedConstant& c : Constants) t.add(c.name, Name{NameKind::Constant, c.value});
        t.add("topon", Name{NameKind::Condition, 1});
        t.add("topoff", Name{NameKind::Condition, 0});
        t.add("true", Name{NameKind::Condition, 1});
        t.add("false", Name{NameKind::Condition, 0});
        t.add("clipon", Name{NameKind::Condition, 1});
        t.add("clipoff", Name{NameKind::Condition, 0});
        for (const NamedConstant& c : TextConstants) t.add(c.name, Name{NameKind::Constant, c.value});
        for (std::string_view n : KnownElsewhere) t.add(n, Name{NameKind::Elsewhere, 0});
        return t;
    }();
    const Name* found = byName.find(word);
    return found == nullptr ? Name{} : *found;
}

RoutineInfo routineInfo(Routine r) {
    if (draws(r)) {
        const auto g = static_cast<GraphRoutine>(r);
        return {pascalName(g), parameterCount(g), booleanParameters(g)};
    }
    const CrtRoutine& c = CrtRoutines[static_cast<std::size_t>(r) - GraphRoutineCount];
    return {c.name, c.parameters};
}

}  // namespace pasdraw::program
