#include "program/program.h"

#include <algorithm>
#include <limits>
#include <random>
#include <string>
#include <string_view>

#include "bgi/bgi_screen.h"
#include "program/syntax.h"

namespace pasdraw {

namespace {

using program::Expr;
using program::Op;
using program::Stmt;
using program::StmtKind;
using program::Syntax;

// What was measured with Free Pascal 3.2.2 on x86_64, default mode:
// - integer is the 16-bit smallint. An expression is computed in 64 bits
//   (sizeof(XK*XK) is 8): XK*XK*XK with XK = 30000 is 27000000000000, and
//   only the assignment truncates it to 16 bits. 64-bit overflow wraps.
// - div and mod truncate toward zero, the remainder takes the dividend's
//   sign (-7 div 2 = -3, -7 mod 2 = -1, 7 mod -2 = 1).
// - A zero divisor computed at run time, or the one quotient that does not
//   fit (-2^63 div -1), stops the program. A program without units prints
//   "Runtime error 200"; with the graph unit (whose units turn runtime errors
//   into exceptions) it prints "An unhandled exception occurred at $...:
//   EDivByZero: Division by zero" and exits with code 217, for both.
// - A parameter of type smallint or word receives the low 16 bits.
constexpr std::string_view UnhandledDivision =
    "the program stops here with an unhandled exception (EDivByZero: Division by zero, exit code 217)";

// - A call's arguments are computed from the last to the first; an
//   expression's operands, and a for loop's bounds, from left to right.
// - random is the 32-bit Mersenne Twister (MT19937), seeded with 0 as by
//   init_genrand(0) until randomize. random(l) for a 32-bit l takes one
//   number v: (v * l) shr 32, and (v * (l + 1)) shr 32 arithmetically for a
//   negative l. For an int64 l it takes two, v1 then v2, and gives
//   ((v2 shl 32 or v1) and (2^63 - 1)) mod l, 0 when l is 0.
uint64_t wrap(int64_t v) { return static_cast<uint64_t>(v); }
int64_t signedOf(uint64_t v) { return static_cast<int64_t>(v); }

class Machine {
public:
    Machine(const Syntax& syntax, BgiGraphics& g, const RunLimits& limits, RunResult& result,
            StatementWatch* watch)
        : s_(syntax), g_(g), limits_(limits), r_(result), watch_(watch) {}

    // The root block is the program's own body, not a statement of the text.
    // True when the run went through every statement of the body.
    bool run(int32_t root) {
        const Stmt& body = s_.stmts[static_cast<std::size_t>(root)];
        for (uint32_t k = 0; k < body.count; ++k)
            if (exec(s_.lists[body.first + k]) == Flow::Stop) return false;
        return true;
    }
    const std::array<int16_t, ProgramVarCount>& values() const { return vars_; }

private:
    enum class Flow { Go, Stop };
    // A call's arguments, as many as the routine table's longest takes.
    using Arguments = std::array<int64_t, MostRoutineArguments>;

    const Expr& expr(int32_t e) const { return s_.exprs[static_cast<std::size_t>(e)]; }

    bool before(program::Pos p) const {
        if (s_.problems.empty()) return true;
        const ProgramProblem& first = s_.problems.front();
        return p.line < first.line || (p.line == first.line && p.column < first.column);
    }

    int64_t eval(int32_t index) {
        ++operations_;
        const Expr& e = expr(index);
        switch (e.op) {
            case Op::Const: return e.value;
            case Op::Var: return vars_[e.var];
            case Op::Neg: return signedOf(0 - wrap(eval(e.a)));
            case Op::Add: return signedOf(wrap(eval(e.a)) + wrap(eval(e.b)));
            case Op::Sub: return signedOf(wrap(eval(e.a)) - wrap(eval(e.b)));
            case Op::Mul: return signedOf(wrap(eval(e.a)) * wrap(eval(e.b)));
            case Op::Div:
            case Op::Mod: {
                const int64_t a = eval(e.a);
                const int64_t b = eval(e.b);
                if (b == 0 || (b == -1 && a == std::numeric_limits<int64_t>::min())) {
                    fail(e.pos, b == 0 ? Failure::Zero : Failure::Overflow);
                    return 0;
                }
                return e.op == Op::Div ? a / b : a % b;
            }
            case Op::Eq: return eval(e.a) == eval(e.b);
            case Op::Ne: return eval(e.a) != eval(e.b);
            case Op::Lt: return eval(e.a) < eval(e.b);
            case Op::Gt: return eval(e.a) > eval(e.b);
            case Op::Le: return eval(e.a) <= eval(e.b);
            case Op::Ge: return eval(e.a) >= eval(e.b);
            case Op::Not: return eval(e.a) == 0;
            // Conditions are evaluated only as far as needed, as the
            // compiler's default short-circuit mode does.
            case Op::And: return eval(e.a) != 0 && eval(e.b) != 0;
            case Op::Or: return eval(e.a) != 0 || eval(e.b) != 0;
            case Op::Func: return function(e);
            case Op::Random: return random(expr(e.a).wide, eval(e.a));
            // The unit answers in a word: 8 pixels a byte of the shortstring
            // times the size, wrapping past 65535.
            case Op::TextWidth:
                return int64_t{8} * g_.textSize() * std::min<int64_t>(e.b, ShortString::MaxLength) & 0xFFFF;
            case Op::TextHeight: return int64_t{8} * g_.textSize() & 0xFFFF;
        }
        return 0;
    }

    int64_t function(const Expr& e) {
        // Like a procedure's, the arguments are computed last first.
        int64_t a[2] = {};
        if (e.b >= 0) a[1] = eval(e.b);
        if (e.a >= 0) a[0] = eval(e.a);
        const auto f = static_cast<GraphFunction>(e.var);
        if (f == GraphFunction::GetPixel) {
            const auto x = static_cast<int16_t>(wrap(a[0]) & 0xFFFF),
                       y = static_cast<int16_t>(wrap(a[1]) & 0xFFFF);
            // Relative to the viewport, but read from the screen.
            const Viewport viewport = g_.viewport();
            if (x + viewport.x1 < 0 || y + viewport.y1 < 0 || x + viewport.x1 > g_.GetMaxX() ||
                y + viewport.y1 > g_.GetMaxY()) {
                fail(e.pos, Failure::OffScreen);
                return 0;
            }
            // Outside a viewport but on the screen the unit answered 0 in
            // some reads and the y coordinate in another.
            if (x > viewport.x2 - viewport.x1 || y > viewport.y2 - viewport.y1 || x < 0 || y < 0) {
                fail(e.pos, Failure::OutsideViewport);
                return 0;
            }
        }
        g_.at(e.pos.line, e.pos.column);
        return callFunction(g_, f, a);
    }

    int64_t random(bool wide, int64_t range) {
        if (!wide) {
            const auto l = static_cast<int32_t>(wrap(range) & 0xFFFFFFFF);
            const auto v = static_cast<int64_t>(rng_());  // 32 bits: no sign to lose
            return l >= 0 ? (v * l) >> 32 : (v * (int64_t{l} + 1)) >> 32;
        }
        const uint64_t low = rng_();
        const uint64_t high = rng_();
        const auto q = static_cast<int64_t>(((high << 32) | low) & 0x7FFF'FFFF'FFFF'FFFFull);
        return range == 0 ? 0 : q % range;
    }

    void fail(program::Pos pos, int kind) {
        if (failed_) return;
        failed_ = true;
        failPos_ = pos;
        failKind_ = kind;
    }

    void assign(uint8_t var, int64_t v) {
        vars_[var] = static_cast<int16_t>(wrap(v) & 0xFFFF);
        r_.assigned[var] = true;
    }

    Flow runtimeError() {
        if (failKind_ == Failure::OffScreen || failKind_ == Failure::OutsideViewport) {
            r_.problems.push_back({failPos_.line, failPos_.column,
                                   std::string("getpixel reads outside the ") +
                                       (failKind_ == Failure::OffScreen ? "screen" : "viewport") +
                                       " here; the preview cannot tell what the program gets",
                                   ProgramProblem::Kind::Unsupported});
            return Flow::Stop;
        }
        r_.problems.push_back(
            {failPos_.line, failPos_.column,
             failKind_ == Failure::Zero
                 ? "division by zero: " + std::string(UnhandledDivision)
                 : "the result of this division does not fit 64 bits: " + std::string(UnhandledDivision),
             ProgramProblem::Kind::Runtime});
        return Flow::Stop;
    }

    Flow exec(int32_t index) {
        const Stmt& st = s_.stmts[static_cast<std::size_t>(index)];
        // Only what comes before the first problem runs, even where a branch
        // that was not taken held the problem's own Stop.
        if (st.kind == StmtKind::Stop || !before(st.pos)) return Flow::Stop;
        if (r_.statements >= limits_.maxStatements || operations_ >= limits_.maxOperations || workReached_) {
            r_.stoppedEarly = true;
            r_.problems.push_back(
                {st.pos.line, st.pos.column,
                 "stopped after " + std::to_string(r_.statements) + " statements; the program would go on",
                 ProgramProblem::Kind::Limit});
            return Flow::Stop;
        }
        ++r_.statements;
        switch (st.kind) {
            case StmtKind::Empty:
            case StmtKind::Stop: return Flow::Go;
            case StmtKind::Block:
                for (uint32_t k = 0; k < st.count; ++k)
                    if (exec(s_.lists[st.first + k]) == Flow::Stop) return Flow::Stop;
                return Flow::Go;
            case StmtKind::Assign: {
                if (watch_ != nullptr && !watch_->before(simple_, st.pos.line, st.pos.column))
                    return Flow::Stop;
                const int64_t v = eval(st.e1);
                if (failed_) return runtimeError();
                assign(st.var, v);
                if (watch_ != nullptr) watch_->after(simple_++);
                return Flow::Go;
            }
            case StmtKind::If: {
                const bool c = eval(st.e1) != 0;
                if (failed_) return runtimeError();
                if (c) return exec(st.s1);
                return st.s2 >= 0 ? exec(st.s2) : Flow::Go;
            }
            case StmtKind::For: return forLoop(st);
            case StmtKind::Call: {
                // Unwatched runs pay one predictable branch here.
                if (watch_ == nullptr) return call(st);
                if (!watch_->before(simple_, st.pos.line, st.pos.column)) return Flow::Stop;
                if (call(st) == Flow::Stop) return Flow::Stop;
                watch_->after(simple_++);
                return Flow::Go;
            }
        }
        return Flow::Go;
    }

    // The bounds are computed once and converted to the variable's 16 bits
    // (for i := 24460 to 300*300 runs to 24464). A loop that does not run
    // leaves the variable alone; one that runs leaves it at the last value.
    Flow forLoop(const Stmt& st) {
        const int64_t a = eval(st.e1);
        const int64_t b = eval(st.e2);
        if (failed_) return runtimeError();
        const auto from = static_cast<int16_t>(wrap(a) & 0xFFFF);
        const auto to = static_cast<int16_t>(wrap(b) & 0xFFFF);
        if (st.down ? from < to : from > to) return Flow::Go;
        for (int v = from;; v += st.down ? -1 : 1) {
            assign(st.var, v);
            if (exec(st.s1) == Flow::Stop) return Flow::Stop;
            if (v == to) return Flow::Go;
        }
    }

    Flow call(const Stmt& st) {
        Arguments a = {};
        // The last argument is computed first, but a fault in several is
        // reported at the first of them in the text.
        program::Pos pos;
        int kind = 0;
        bool anyFailed = false;
        for (uint32_t k = std::min<uint32_t>(st.count, MostRoutineArguments); k-- > 0;) {
            a[k] = eval(s_.lists[st.first + k]);
            if (failed_) {
                anyFailed = true;
                pos = failPos_;
                kind = failKind_;
                failed_ = false;
            }
        }
        if (anyFailed) {
            failed_ = true;
            failPos_ = pos;
            failKind_ = kind;
            return runtimeError();
        }
        g_.at(st.pos.line, st.pos.column);
        if (st.routine == program::Routine::Randomize) {
            rng_.seed(std::random_device{}());
            r_.randomized = true;
            return Flow::Go;
        }
        // The crt routines take no time here and draw nothing; only a
        // watch that plays the run in real time waits for delay.
        if (!program::draws(st.routine)) {
            if (st.routine == program::Routine::Delay && watch_ != nullptr)
                watch_->delay(static_cast<uint16_t>(wrap(a[0]) & 0xFFFF));
            return Flow::Go;
        }
        const auto routine = static_cast<GraphRoutine>(st.routine);
        std::string_view texts[MostRoutineArguments];
        // Most routines take no string: their calls skip this pass.
        for (uint32_t k = 0; textParameters(routine) != 0 && k < st.count && k < MostRoutineArguments; ++k) {
            if (!isTextParameter(routine, k)) continue;
            const Expr& e = expr(s_.lists[st.first + k]);
            // The unit receives a shortstring: the literal's first 255 bytes.
            texts[k] = std::string_view(s_.text).substr(
                static_cast<std::size_t>(e.a),
                std::min(static_cast<std::size_t>(e.b), ShortString::MaxLength));
        }
        if (routine == GraphRoutine::OutText || routine == GraphRoutine::OutTextXY) {
            const int textSize = g_.textSize();
            const std::size_t length = texts[routine == GraphRoutine::OutText ? 0 : 2].size();
            const int64_t extent =
                int64_t{8} * textSize * static_cast<int64_t>(std::max<std::size_t>(length, 1));
            if (extent > MaxTextExtent) {
                r_.problems.push_back({st.pos.line, st.pos.column,
                                       "the preview does not draw text over " +
                                           std::to_string(MaxTextExtent) + " pixels long or high (here " +
                                           std::to_string(extent) + ", at size " + std::to_string(textSize) +
                                           ")",
                                       ProgramProblem::Kind::Unsupported});
                return Flow::Stop;
            }
        }
        if (refuseFilledArc(st, routine, a) == Flow::Stop) return Flow::Stop;
        if (refuseViewport(st, routine, a) == Flow::Stop) return Flow::Stop;
        callRoutine(g_, routine, a.data(), texts);
        if (g_.work() >= limits_.maxWork) workReached_ = true;
        return Flow::Go;
    }

    // Stops before the two viewports whose drawing is not copied: with the
    // clip off the unit draws past the screen's edges into memory outside it,
    // and cleardevice in a viewport away from the origin can leave it turned
    // over.
    Flow refuseViewport(const Stmt& st, GraphRoutine routine, const Arguments& a) {
        std::string why;
        if (routine == GraphRoutine::SetViewPort) {
            const auto x1 = static_cast<int16_t>(wrap(a[0]) & 0xFFFF),
                       y1 = static_cast<int16_t>(wrap(a[1]) & 0xFFFF),
                       x2 = static_cast<int16_t>(wrap(a[2]) & 0xFFFF),
                       y2 = static_cast<int16_t>(wrap(a[3]) & 0xFFFF);
            if (validViewport(x1, y1, x2, y2) && a[4] == 0)
                why =
                    "the preview does not draw with the clip off (setviewport with ClipOff): "
                    "the program then draws past the screen's edges";
        } else if (routine == GraphRoutine::ClearDevice) {
            const Viewport after = viewportAfterClearDevice(g_.viewport());
            if (after.x2 < after.x1 || after.y2 < after.y1)
                why =
                    "the preview does not run cleardevice in this viewport: the program would leave "
                    "it from (" +
                    std::to_string(after.x1) + "," + std::to_string(after.y1) + ") to (" +
                    std::to_string(after.x2) + "," + std::to_string(after.y2) + ")";
        }
        if (why.empty()) return Flow::Go;
        r_.problems.push_back({st.pos.line, st.pos.column, why, ProgramProblem::Kind::Unsupported});
        return Flow::Stop;
    }

    // Filled slices and ellipses are copied while the distances between
    // their points fit 16 signed bits: beyond that the
    // unit fills shapes whose rules were not measured, and some stop the
    // compiled program with a division by zero. The preview stops before one.
    Flow refuseFilledArc(const Stmt& st, GraphRoutine routine, const Arguments& a) {
        std::size_t radii[2] = {0, 0};  // argument positions, 0 for none
        if (routine == GraphRoutine::PieSlice)
            radii[0] = 4;
        else if (routine == GraphRoutine::Sector)
            radii[0] = 4, radii[1] = 5;
        else if (routine == GraphRoutine::FillEllipse)
            radii[0] = 2, radii[1] = 3;
        else
            return Flow::Go;
        const std::string name(pascalName(routine));
        std::string why;
        // The first radius is across, the second (when there is one) down.
        const int64_t centre[2] = {static_cast<int16_t>(wrap(a[0]) & 0xFFFF),
                                   static_cast<int16_t>(wrap(a[1]) & 0xFFFF)};
        for (std::size_t axis = 0; axis < 2; ++axis) {
            const std::size_t k = radii[axis] > 0 ? radii[axis] : radii[0];
            const auto radius = static_cast<int64_t>(wrap(a[k]) & 0xFFFF);
            if (why.empty() && (centre[axis] - radius < -16384 || centre[axis] + radius > 16383))
                why = "the preview does not draw " + name +
                      " where the centre plus or minus a radius leaves -16384 .. 16383";
        }
        if (why.empty()) return Flow::Go;
        r_.problems.push_back({st.pos.line, st.pos.column, why, ProgramProblem::Kind::Unsupported});
        return Flow::Stop;
    }

    const Syntax& s_;
    BgiGraphics& g_;
    const RunLimits& limits_;
    RunResult& r_;
    StatementWatch* watch_;
    uint64_t simple_ = 0;
    std::array<int16_t, ProgramVarCount> vars_ = initialProgramValues();
    // A fault that stops the run: what it was, and where.
    struct Failure {
        enum : int { Zero, Overflow, OffScreen, OutsideViewport };
    };
    std::mt19937 rng_{0};
    bool failed_ = false;
    int failKind_ = Failure::Zero;
    program::Pos failPos_;
    bool workReached_ = false;
    uint64_t operations_ = 0;
};

constexpr std::size_t KeptBytes = 8u << 20;

}  // namespace

std::array<int16_t, ProgramVarCount> initialProgramValues() { return {0, 0, 0, 9, 2, 0}; }

RunResult runProgram(std::string_view text, BgiGraphics& graphics, const RunLimits& limits) {
    return runProgram(text, graphics, limits, nullptr);
}

RunResult runProgram(std::string_view text, BgiGraphics& graphics, const RunLimits& limits,
                     StatementWatch* watch) {
    // The preview runs the text again on every change, so the arrays of the
    // last parse are kept for the next one (on this thread), unless a very
    // large text made them large.
    thread_local Syntax syntax;
    program::parse(text, limits.maxNesting, syntax);
    struct Release {
        Syntax& s;
        bool keep;
        ~Release() {
            if (!keep || s.exprs.capacity() * sizeof(Expr) + s.stmts.capacity() * sizeof(Stmt) > KeptBytes)
                s = Syntax{};
        }
    } release{syntax, limits.keepBuffers};
    RunResult result;
    result.problems = syntax.problems;
    result.compilerWouldRefuse = syntax.compilerWouldRefuse;
    Machine machine(syntax, graphics, limits, result, watch);
    result.warnings = syntax.warnings;
    if ((limits.runBeforeProblem || !syntax.compilerWouldRefuse) && machine.run(syntax.root) &&
        syntax.programEnd.line > 0) {
        result.endLine = syntax.programEnd.line;
        result.endColumn = syntax.programEnd.column;
    }
    result.runMetProblem = result.problems.size() > syntax.problems.size();
    result.values = machine.values();
    return result;
}

}  // namespace pasdraw
