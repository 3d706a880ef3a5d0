#include "program/checks.h"

#include <algorithm>
#include <limits>
#include <vector>

namespace pasdraw::program {

void Problems::add(Pos pos, std::string message, ProgramProblem::Kind kind) {
    ++hits_;
    if (kind == ProgramProblem::Kind::Compile) out_.compilerWouldRefuse = true;
    if (out_.problems.size() < MaxFound)
        out_.problems.push_back({pos.line, pos.column, std::move(message), kind});
}

void Problems::warning(Pos pos, std::string message) {
    if (out_.warnings.size() < MaxProblems)
        out_.warnings.push_back({pos.line, pos.column, std::move(message), ProgramProblem::Kind::Warning});
}

void Problems::tidy() {
    std::stable_sort(out_.warnings.begin(), out_.warnings.end(),
                     [](const ProgramProblem& a, const ProgramProblem& b) {
                         return a.line != b.line ? a.line < b.line : a.column < b.column;
                     });
    std::vector<ProgramProblem>& all = out_.problems;
    std::stable_sort(all.begin(), all.end(), [](const ProgramProblem& a, const ProgramProblem& b) {
        return a.line != b.line ? a.line < b.line : a.column < b.column;
    });
    std::vector<ProgramProblem> kept;
    for (ProgramProblem& p : all) {
        if (!kept.empty() && kept.back().line == p.line) {
            if (p.kind == ProgramProblem::Kind::Compile && kept.back().kind != ProgramProblem::Kind::Compile)
                kept.back() = std::move(p);
            continue;
        }
        if (kept.size() == MaxProblems) break;
        kept.push_back(std::move(p));
    }
    all = std::move(kept);
}

int32_t Checks::add(const Expr& e) {
    out_.exprs.push_back(e);
    return static_cast<int32_t>(out_.exprs.size() - 1);
}

int32_t Checks::bad(Pos pos) { return ofType(pos, Type::Bad); }

int32_t Checks::ofType(Pos pos, Type type) {
    Expr e;
    e.type = type;
    e.pos = pos;
    return add(e);
}

int32_t Checks::number(Pos pos, uint64_t value) {
    Expr e;
    e.constant = true;
    e.pos = pos;
    if (value > static_cast<uint64_t>(std::numeric_limits<int64_t>::max())) {
        problems_.unsupported(pos, "the preview does not compute with numbers above 9223372036854775807");
        e.type = Type::Bad;
    } else {
        e.value = static_cast<int64_t>(value);
        e.wide = value > static_cast<uint64_t>(std::numeric_limits<int32_t>::max());
    }
    return add(e);
}

int32_t Checks::constant(Pos pos, int64_t value) {
    Expr e;
    e.constant = true;
    e.pos = pos;
    e.value = value;
    return add(e);
}

int32_t Checks::truth(Pos pos, bool value) {
    Expr e;
    e.constant = true;
    e.type = Type::Bool;
    e.pos = pos;
    e.value = value ? 1 : 0;
    return add(e);
}

int32_t Checks::signCheck(Pos at, int32_t operand) {
    const Type t = (*this)[operand].type;
    if (t == Type::Bool || t == Type::Str) {
        problems_.compileError(at, "a sign needs a number");
        return bad(at);
    }
    return operand;
}

int32_t Checks::unary(Op op, Pos at, int32_t operand) {
    const Expr& x = (*this)[operand];
    Expr e;
    e.op = op;
    e.pos = at;
    e.a = operand;
    e.type = x.type;
    e.wide = !x.constant;  // -XK is an int64
    if (x.type == Type::Bad || x.type == Type::Real) return add(e);
    if (op == Op::Neg) {
        if (x.type != Type::Int) {
            problems_.compileError(at, "a sign needs a number");
            e.type = Type::Bad;
        } else if (x.constant) {
            return fold(e, -static_cast<Wide>(x.value));
        }
    } else if (x.type == Type::Int) {
        problems_.unsupported(at, "the preview does not compute 'not' on numbers");
        e.type = Type::Bad;
    } else if (x.type != Type::Bool) {
        problems_.compileError(at, "'not' needs a condition");
        e.type = Type::Bad;
    }
    return add(e);
}

// A constant subexpression is computed by the compiler: a result beyond 64
// bits is a compile error, one between 2^63 and 2^64 becomes unsigned.
int32_t Checks::fold(Expr e, Wide v) {
    // Operands that are single constants at the end of the array are
    // dropped: a folded constant is always one node, right after the nodes
    // before it, and the run never looks at them.
    const auto size = static_cast<int32_t>(out_.exprs.size());
    if (e.b >= 0 ? (e.b == size - 1 && e.a == size - 2) : e.a == size - 1)
        out_.exprs.resize(static_cast<std::size_t>(e.a));
    e.constant = true;
    e.op = Op::Const;
    e.a = e.b = -1;
    if (v < static_cast<Wide>(std::numeric_limits<int64_t>::min()) ||
        v > static_cast<Wide>(std::numeric_limits<uint64_t>::max())) {
        problems_.compileError(e.pos, "overflow in arithmetic operation");
        e.type = Type::Bad;
    } else if (v > static_cast<Wide>(std::numeric_limits<int64_t>::max())) {
        problems_.unsupported(e.pos, "the preview does not compute with numbers above 9223372036854775807");
        e.type = Type::Bad;
    } else {
        e.value = static_cast<int64_t>(v);
        // A constant takes the smallest type that holds it, unless the
        // compiler folded a variable away (XK*0 stays an int64).
        e.wide = e.wide || e.value < std::numeric_limits<int32_t>::min() ||
                 e.value > std::numeric_limits<int32_t>::max();
    }
    return add(e);
}

int32_t Checks::binary(Op op, Pos at, int32_t left, int32_t right) {
    const Expr& l = (*this)[left];
    const Expr& r = (*this)[right];
    Expr e;
    e.op = op;
    e.pos = at;
    e.a = left;
    e.b = right;
    e.wide = !l.constant || !r.constant;
    const bool relational = op >= Op::Eq && op <= Op::Ge;
    const bool logical = op == Op::And || op == Op::Or;
    if (l.type == Type::Bad || r.type == Type::Bad) {
        e.type = Type::Bad;
        return add(e);
    }
    if (relational) {
        e.type = Type::Bool;
        if (l.type == Type::Real || r.type == Type::Real) {
            problems_.unsupported(at, "the preview does not compare real numbers");
            e.type = Type::Bad;
        } else if (l.type != r.type || l.type == Type::Str) {
            problems_.compileError(at, l.type != r.type
                                           ? "cannot compare a number with a condition or a string"
                                           : "the preview does not compare strings");
            e.type = Type::Bad;
        }
        return add(e);
    }
    if (logical) {
        if (l.type == Type::Bool && r.type == Type::Bool) {
            e.type = Type::Bool;
        } else if (l.type == Type::Int && r.type == Type::Int) {
            problems_.unsupported(at, std::string("the preview does not compute '") +
                                          (op == Op::And ? "and" : "or") + "' on numbers");
            e.type = Type::Bad;
        } else {
            problems_.compileError(at, std::string("'") + (op == Op::And ? "and" : "or") +
                                           "' needs two conditions (put comparisons in parentheses)");
            e.type = Type::Bad;
        }
        return add(e);
    }
    if (l.type == Type::Bool || r.type == Type::Bool || l.type == Type::Str || r.type == Type::Str) {
        problems_.compileError(at, "arithmetic needs numbers; put comparisons in parentheses after 'if'");
        e.type = Type::Bad;
        return add(e);
    }
    if (l.type == Type::Real || r.type == Type::Real) {
        if (op == Op::Div || op == Op::Mod) {
            problems_.compileError(at, "div and mod need whole numbers");
            e.type = Type::Bad;
        } else {
            e.type = Type::Real;
        }
        return add(e);
    }
    // The compiler replaces x*0, 0*x and x mod 1 by the constant 0 without
    // computing x, so a division by zero inside x never happens, and the 0
    // takes part in further constant folding (1 div (YK*0) is refused).
    if ((op == Op::Mul && ((l.constant && l.value == 0) || (r.constant && r.value == 0))) ||
        (op == Op::Mod && r.constant && r.value == 1)) {
        return fold(e, 0);
    }
    // The compiler refuses a division by a constant zero, whatever the
    // dividend; a zero computed at run time stops the program instead.
    if ((op == Op::Div || op == Op::Mod) && r.constant && r.value == 0) {
        problems_.compileError(at, "division by zero");
        e.type = Type::Bad;
        return add(e);
    }
    if (!l.constant || !r.constant) return add(e);
    const Wide a = l.value;
    const Wide b = r.value;
    switch (op) {
        case Op::Add: return fold(e, a + b);
        case Op::Sub: return fold(e, a - b);
        case Op::Mul: return fold(e, a * b);
        case Op::Div: return fold(e, a / b);  // C++ truncates toward zero like div
        default: return fold(e, a % b);       // and the remainder takes the dividend's sign
    }
}

int32_t Checks::function(Pos pos, GraphFunction f, int32_t x, int32_t y) {
    Expr e;
    e.op = Op::Func;
    e.pos = pos;
    e.var = static_cast<uint8_t>(f);
    e.a = x;
    e.b = y;
    e.wide = widensToInt64(f);
    for (int32_t arg : {x, y}) {
        if (arg >= 0 && (*this)[arg].type == Type::Bad) e.type = Type::Bad;
    }
    return add(e);
}

int32_t Checks::random(Pos pos, int32_t range) {
    Expr e;
    e.pos = pos;
    // Without a range random gives a real number in [0, 1).
    if (range < 0) {
        e.type = Type::Real;
        return add(e);
    }
    e.op = Op::Random;
    e.a = range;
    e.wide = (*this)[range].wide;
    if ((*this)[range].type == Type::Bad) e.type = Type::Bad;
    return add(e);
}

int32_t Checks::realDivision(Pos at, int32_t left, int32_t right) {
    Expr e;
    e.type = Type::Real;
    e.pos = at;
    const Type lt = (*this)[left].type;
    const Type rt = (*this)[right].type;
    if (lt == Type::Bad || rt == Type::Bad) {
        e.type = Type::Bad;
    } else if (lt == Type::Bool || lt == Type::Str || rt == Type::Bool || rt == Type::Str) {
        problems_.compileError(at, "'/' divides numbers only");
        e.type = Type::Bad;
    }
    return add(e);
}

void Checks::integer(Pos at, int32_t e) {
    switch ((*this)[e].type) {
        case Type::Int:
        case Type::Bad: break;
        case Type::Bool: problems_.compileError(at, "a number expected, not a condition"); break;
        case Type::Str: problems_.compileError(at, "a number expected, not a string"); break;
        case Type::Real:
            problems_.compileError(at,
                                   "a whole number expected; '/' and numbers with a point or an exponent "
                                   "give real numbers (use div)");
            break;
    }
}

void Checks::forBound(int32_t e) {
    const Expr& x = (*this)[e];
    if (x.constant && x.type == Type::Int && (x.value < -32768 || x.value > 32767)) {
        problems_.compileError(
            x.pos,
            std::to_string(x.value) + " is out of range for a for loop over an integer (-32768 to 32767)");
    }
}

namespace {

// The low bits of v that a parameter or variable of this range keeps.
int64_t lowBits(int64_t v, ParameterRange range) {
    const uint64_t size = static_cast<uint64_t>(range.high - range.low) + 1;  // a power of two
    const uint64_t bits = static_cast<uint64_t>(v) & (size - 1);
    return static_cast<int64_t>(bits) > range.high ? static_cast<int64_t>(bits - size)
                                                   : static_cast<int64_t>(bits);
}

std::string rangeText(ParameterRange range) {
    // Appended piece by piece: GCC 12 warns wrongly about "(" + a string.
    std::string text = "(";
    text += std::to_string(range.low);
    text += " to ";
    text += std::to_string(range.high);
    text += ")";
    return text;
}

}  // namespace

void Checks::assigned(int32_t e) {
    const Expr& x = (*this)[e];
    constexpr ParameterRange Integer{-32768, 32767};
    if (!x.constant || x.type != Type::Int || (x.value >= Integer.low && x.value <= Integer.high)) return;
    problems_.warning(x.pos, std::to_string(x.value) + " is out of range for an integer " +
                                 rangeText(Integer) + ", so the variable gets " +
                                 std::to_string(lowBits(x.value, Integer)));
}

void Checks::argumentOutOfRange(Pos after, int64_t value, std::string_view routine, std::size_t k,
                                ParameterRange range) {
    problems_.warning(after, std::to_string(value) + " is out of range for number " + std::to_string(k + 1) +
                                 " of " + std::string(routine) + " " + rangeText(range) + ", so it gets " +
                                 std::to_string(lowBits(value, range)));
}

void Checks::condition(Pos at, int32_t e) {
    const Type t = (*this)[e].type;
    if (t == Type::Int || t == Type::Real || t == Type::Str) {
        problems_.compileError(at, "a condition (such as XK < 10) expected after 'if'");
    }
}

void Checks::boolean(Pos at, int32_t e) {
    const Type t = (*this)[e].type;
    if (t == Type::Int || t == Type::Real || t == Type::Str) {
        problems_.compileError(at,
                               "a condition (such as TopOn or XK < 10) expected, not a number or a string");
    }
}

}  // namespace pasdraw::program
