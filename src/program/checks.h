// What the grammar hands on once it has recognised a piece of the text: the
// problems it reports, and the expressions it builds, with the compiler's
// type checks and constant folding applied as each node is added. The
// grammar (parser.cpp) decides what comes next; this decides what a piece
// means.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <utility>

#include "program/syntax.h"

namespace pasdraw::program {

// The problems of one parse, collected into Syntax::problems.
class Problems {
public:
    explicit Problems(Syntax& out) : out_(out) {}

    void add(Pos pos, std::string message, ProgramProblem::Kind kind);
    void compileError(Pos pos, std::string message) {
        add(pos, std::move(message), ProgramProblem::Kind::Compile);
    }
    void unsupported(Pos pos, std::string message) {
        add(pos, std::move(message), ProgramProblem::Kind::Unsupported);
    }
    // Into Syntax::warnings: these never stop the run or the compiler.
    void warning(Pos pos, std::string message);
    // Problems found so far, including those not listed.
    int hits() const { return hits_; }

    // One problem per line, in text order: what follows a first fault on a
    // line is mostly its echo. A reason the compiler refuses the text wins
    // over the preview's own notes on the same line.
    void tidy();

private:
    static constexpr std::size_t MaxProblems = 1000;
    static constexpr std::size_t MaxFound = 100000;

    Syntax& out_;
    int hits_ = 0;
};

// Adds expressions to Syntax::exprs, each checked as the compiler checks it
// and folded when the compiler computes it; every function returns the
// index of the node it added.
class Checks {
public:
    Checks(Syntax& out, Problems& problems) : out_(out), problems_(problems) {}

    const Expr& operator[](int32_t e) const { return out_.exprs[static_cast<std::size_t>(e)]; }

    int32_t add(const Expr& e);
    int32_t bad(Pos pos);
    int32_t number(Pos pos, uint64_t value);
    int32_t ofType(Pos pos, Type type);  // a real number or a string
    int32_t constant(Pos pos, int64_t value);
    int32_t truth(Pos pos, bool value);  // a boolean constant

    // A sign or 'not' before an operand; '+' only checks.
    int32_t unary(Op op, Pos at, int32_t operand);
    int32_t signCheck(Pos at, int32_t operand);
    int32_t binary(Op op, Pos at, int32_t left, int32_t right);
    // A call of a graph function, with its arguments (-1 for none).
    int32_t function(Pos pos, GraphFunction f, int32_t x, int32_t y);
    // random(range): the overload for int64 when the range is typed so.
    int32_t random(Pos pos, int32_t range);
    // '/', kept as a division only for its position; its value is real.
    int32_t realDivision(Pos at, int32_t left, int32_t right);

    // An expression whose value goes into an integer: an assignment, a
    // routine's parameter, a for bound.
    void integer(Pos at, int32_t e);
    // A for bound is converted to the variable's type; a constant that does
    // not fit is refused outright (unlike an assignment, which only warns).
    void forBound(int32_t e);
    // A constant out of the range of where it goes: the compiler warns and
    // keeps its low bits. `after` is where the compiler reports an argument:
    // at what follows it.
    void assigned(int32_t e);
    void argument(Pos after, int32_t e, std::string_view routine, std::size_t k, ParameterRange range) {
        const Expr& x = (*this)[e];
        if (x.constant && x.type == Type::Int && (x.value < range.low || x.value > range.high))
            argumentOutOfRange(after, x.value, routine, k, range);
    }
    void condition(Pos at, int32_t e);
    // An expression whose value goes into a boolean parameter.
    void boolean(Pos at, int32_t e);

private:
    // GCC and Clang's 128-bit integer, only to see whether a constant folds
    // outside the 64-bit ranges.
    __extension__ using Wide = __int128;

    int32_t fold(Expr e, Wide v);
    void argumentOutOfRange(Pos after, int64_t value, std::string_view routine, std::size_t k,
                            ParameterRange range);

    Syntax& out_;
    Problems& problems_;
};

}  // namespace pasdraw::program
