// The checked form of the program text: statements and expressions in flat
// arrays, with every problem the checks found. A statement that has a problem
// of its own is replaced by a Stop, so running ends exactly there and the
// statements before it still run.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "bgi/routines.h"
#include "program/lexer.h"
#include "program/program.h"

namespace pasdraw::program {

// Func and Random are calls in expressions (see Expr); TextWidth and
// TextHeight measure the string literal text[a, a + b) in the text size when
// they run.
// clang-format off
enum class Op : uint8_t { Const, Var, Neg, Add, Sub, Mul, Div, Mod, Eq, Ne, Lt, Gt, Le, Ge, Not, And, Or, Func,
                          Random, TextWidth, TextHeight };
// clang-format on
enum class Type : uint8_t { Int, Bool, Real, Str, Bad };

// A Func calls the graph function numbered `var` with a and b as its
// arguments (-1 where it has none); a Random draws with a as its range.
// A string literal is a constant of type Str whose bytes are text[a, a + b).
struct Expr {
    Op op = Op::Const;
    Type type = Type::Int;
    bool constant = false;
    // The compiler types the value as int64, not as a 32-bit or smaller
    // integer: arithmetic on a variable or a function, and constants beyond
    // 32 signed bits. It picks random's overload.
    bool wide = false;
    uint8_t var = 0;
    int32_t a = -1;
    int32_t b = -1;
    int64_t value = 0;
    Pos pos;
};

// Routines the preview runs: the graph unit's drawing routines first, with
// the numbers of GraphRoutine, then the crt ones, which take no time in the
// preview and draw nothing, and randomize.
enum class Routine : uint8_t {
#define PASDRAW_ROUTINE(id, name, params, args) id,
    PASDRAW_GRAPH_ROUTINES(PASDRAW_ROUTINE)
#undef PASDRAW_ROUTINE
        Delay,
    Sound,
    NoSound,
    ClrScr,
    Randomize,
};

// The crt routines and randomize are the ones after the drawing ones.
constexpr bool draws(Routine r) { return static_cast<std::size_t>(r) < GraphRoutineCount; }

enum class StmtKind : uint8_t { Empty, Block, Assign, Call, For, If, Stop };

struct Stmt {
    StmtKind kind = StmtKind::Empty;
    Routine routine = Routine::SetColor;
    uint8_t var = 0;
    bool down = false;
    Pos pos;
    // Assign: e1 the value. For: e1, e2 the bounds, s1 the body.
    // If: e1 the condition, s1 then, s2 else (-1 when absent).
    int32_t e1 = -1;
    int32_t e2 = -1;
    int32_t s1 = -1;
    int32_t s2 = -1;
    // Block: statements, Call: argument expressions, as a run of `lists`.
    uint32_t first = 0;
    uint32_t count = 0;
};

struct Syntax {
    std::vector<Expr> exprs;
    std::vector<Stmt> stmts;
    std::vector<int32_t> lists;
    // The bytes of the string literals, one after the other.
    std::string text;
    int32_t root = -1;  // a Block
    std::vector<ProgramProblem> problems;
    bool compilerWouldRefuse = false;
    // What the compiler warns about and still compiles, in text order.
    std::vector<ProgramProblem> warnings;
    // The 'end' of an "end." in the text, where the program ends; line 0
    // when the text has none.
    Pos programEnd{0, 0};
};

// Parses and checks `text` into `out`, which is cleared first; its arrays
// keep their capacity, so parsing again into the same Syntax allocates
// little.
void parse(std::string_view text, int maxNesting, Syntax& out);

}  // namespace pasdraw::program
