// The grammar: statements and expressions in the order the text gives
// them, and the recovery after a syntax error. What each piece means, its
// type checks and folding, is in checks.cpp; the names it knows are in
// builtins.cpp.
#include <algorithm>
#include <array>
#include <string>

#include "program/builtins.h"
#include "program/checks.h"
#include "program/syntax.h"

namespace pasdraw::program {

namespace {

char lower(char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c; }

bool sameName(std::string_view a, std::string_view b) {
    return a.size() == b.size() &&
           std::equal(a.begin(), a.end(), b.begin(), [](char x, char y) { return lower(x) == lower(y); });
}

std::string quoted(std::string_view s) {
    std::string q(s.substr(0, 40));
    if (s.size() > 40) q += "...";
    return "'" + q + "'";
}

// The crt routines the preview knows take words.
ParameterRange argumentRange(Routine r, std::size_t k) {
    return draws(r) ? parameterRange(static_cast<GraphRoutine>(r), k) : ParameterRange{0, 65535};
}

std::string numbers(std::size_t n) { return std::to_string(n) + (n == 1 ? " number" : " numbers"); }
std::string arguments(std::size_t n) { return std::to_string(n) + (n == 1 ? " argument" : " arguments"); }

bool takesText(GraphRoutine r) {
    for (std::size_t k = 0; k < parameterCount(r); ++k)
        if (isTextParameter(r, k)) return true;
    return false;
}

class Parser {
public:
    Parser(std::string_view text, int maxNesting, Syntax& out)
        : lexer_(text), out_(out), problems_(out), checks_(out, problems_), maxNesting_(maxNesting) {
        out_.exprs.clear();
        out_.stmts.clear();
        out_.lists.clear();
        out_.problems.clear();
        out_.compilerWouldRefuse = false;
        out_.warnings.clear();
        out_.programEnd = Pos{0, 0};
        out_.text.clear();
        // A generated line of about 35 bytes holds two statements, five
        // expressions and seven list entries; growing the arrays step by
        // step costs more than the parse itself.
        out_.exprs.reserve(text.size() / 6);
        out_.stmts.reserve(text.size() / 14);
        out_.lists.reserve(text.size() / 4);
        advance();
    }

    void run() {
        out_.root = topLevel();
        problems_.tidy();
    }

private:
    // ------------------------------------------------------------ problems

    void compileError(Pos pos, std::string message) { problems_.compileError(pos, std::move(message)); }
    void unsupported(Pos pos, std::string message) { problems_.unsupported(pos, std::move(message)); }
    // The statement structure is lost: a syntax error. The statement list
    // that holds the statement skips to its next ';'.
    void syntaxError(Pos pos, std::string message) {
        if (broken_) return;
        compileError(pos, std::move(message));
        broken_ = true;
    }
    // Nothing after this point can be checked sensibly.
    void halt(Pos pos, std::string message, ProgramProblem::Kind kind) {
        if (halted_) return;
        problems_.add(pos, std::move(message), kind);
        halted_ = true;
        broken_ = true;
    }
    bool failed() const { return broken_ || halted_; }

    // ------------------------------------------------------------ tokens

    void advance() {
        lexer_.next(cur_);
        if (cur_.directive) {
            unsupported(cur_.directivePos, "the preview does not follow compiler directives ({$...})");
            directivePending_ = true;
            directivePos_ = cur_.directivePos;
        }
    }
    bool accept(Tok kind) {
        if (cur_.kind != kind) return false;
        advance();
        return true;
    }
    void unexpected(const std::string& what) {
        if (cur_.kind == Tok::Bad) {
            syntaxError(cur_.pos, cur_.error);
        } else {
            syntaxError(cur_.pos, what + " expected, but " + describe(cur_) + " found");
        }
    }
    bool expect(Tok kind, const char* what) {
        if (accept(kind)) return true;
        unexpected(what);
        return false;
    }

    // Skips to the end of the broken statement: past its ';', or up to an
    // 'end' or the end of the text. Lexical faults on the way are reported.
    void recover() {
        while (!halted_ && cur_.kind != Tok::End && cur_.kind != Tok::KwEnd) {
            if (cur_.kind == Tok::Semicolon) {
                advance();
                break;
            }
            if (cur_.kind == Tok::Bad) compileError(cur_.pos, cur_.error);
            advance();
        }
        broken_ = false;
    }

    // ------------------------------------------------------------ nesting

    class Nest {
    public:
        // Entered for every operand: the message is built out of line.
        explicit Nest(Parser& p) : p_(p) {
            if (++p_.depth_ > p_.maxNesting_) [[unlikely]]
                p_.tooDeep();
        }
        ~Nest() { --p_.depth_; }
        Nest(const Nest&) = delete;
        Nest& operator=(const Nest&) = delete;

    private:
        Parser& p_;
    };

    [[gnu::noinline, gnu::cold]] void tooDeep() {
        halt(cur_.pos,
             "nested more than " + std::to_string(maxNesting_) +
                 " levels deep; the preview stops checking here",
             ProgramProblem::Kind::Limit);
    }

    // ------------------------------------------------------------ nodes

    int32_t addStmt(const Stmt& s) {
        out_.stmts.push_back(s);
        return static_cast<int32_t>(out_.stmts.size() - 1);
    }
    int32_t stop(Pos pos) {
        Stmt s;
        s.kind = StmtKind::Stop;
        s.pos = pos;
        return addStmt(s);
    }
    uint32_t addList(const std::vector<int32_t>& items) {
        const auto first = static_cast<uint32_t>(out_.lists.size());
        out_.lists.insert(out_.lists.end(), items.begin(), items.end());
        return first;
    }

    // ------------------------------------------------------------ statements

    int32_t topLevel() {
        Stmt block;
        block.kind = StmtKind::Block;
        std::vector<int32_t> items;
        while (!halted_) {
            if (cur_.kind == Tok::KwEnd) {
                // An 'end' outside any block ends the program; the compiler
                // then reads nothing after "end.".
                const Pos at = cur_.pos;
                advance();
                if (cur_.kind != Tok::Dot) {
                    halt(cur_.pos,
                         "'end' without a 'begin' ends the program here, so '.' is expected after it, but " +
                             describe(cur_) + " found",
                         ProgramProblem::Kind::Compile);
                    items.push_back(stop(at));
                } else {
                    out_.programEnd = at;
                }
                break;
            }
            if (!statementInList(items) && cur_.kind != Tok::KwEnd) break;
        }
        if (halted_ &&
            (items.empty() || out_.stmts[static_cast<std::size_t>(items.back())].kind != StmtKind::Stop))
            items.push_back(stop(cur_.pos));
        block.first = addList(items);
        block.count = static_cast<uint32_t>(items.size());
        return addStmt(block);
    }

    // One statement of a list and its separator. False at the end of the
    // list: an 'end', or the end of the text.
    bool statementInList(std::vector<int32_t>& items) {
        if (directivePending_) {
            // A directive may change how what follows compiles; running ends there.
            items.push_back(stop(directivePos_));
            directivePending_ = false;
        }
        if (cur_.kind == Tok::Semicolon) {  // an empty statement
            const Pos at = cur_.pos;
            advance();
            Stmt s;
            s.pos = at;
            items.push_back(addStmt(s));
            checkElseAfterSemicolon();
            return true;
        }
        const Tok startKind = cur_.kind;
        eofBody_ = false;
        const int32_t s = statement();
        // The text ends at a statement boundary: the saved program's own
        // statements follow, so there is no empty statement here.
        if (startKind != Tok::End) items.push_back(s);
        if (halted_) return false;
        if (broken_) {
            recover();
            return cur_.kind != Tok::End && cur_.kind != Tok::KwEnd;
        }
        if (accept(Tok::Semicolon)) {
            checkElseAfterSemicolon();
            return true;
        }
        if (cur_.kind == Tok::KwEnd) return false;
        if (cur_.kind == Tok::End) {
            // The saved program continues with "repeat until keypressed;": a
            // statement cut off after 'do', 'then' or 'else' takes that loop
            // as its body, but a finished one needs its ';' first.
            if (startKind != Tok::End && !eofBody_) {
                compileError(cur_.pos, "';' expected at the end of the text");
                items.push_back(stop(cur_.pos));
            }
            return false;
        }
        unexpected("';'");
        items.push_back(stop(cur_.pos));
        recover();
        return cur_.kind != Tok::End && cur_.kind != Tok::KwEnd;
    }

    void checkElseAfterSemicolon() {
        if (cur_.kind == Tok::KwElse) syntaxError(cur_.pos, "';' is not allowed before 'else'");
    }

    int32_t statement() {
        Nest nest(*this);
        operators_ = 0;
        if (halted_) return stop(cur_.pos);
        const Pos at = cur_.pos;
        switch (cur_.kind) {
            case Tok::End: eofBody_ = true; [[fallthrough]];
            case Tok::Semicolon:
            case Tok::KwEnd:
            case Tok::KwElse: {
                Stmt s;
                s.pos = at;
                return addStmt(s);
            }
            case Tok::KwBegin: return block();
            case Tok::KwFor: return forStatement();
            case Tok::KwIf: return ifStatement();
            case Tok::Ident: return identStatement();
            case Tok::KwOther: {
                static constexpr std::array<std::string_view, 6> runnable{"while", "repeat", "case",
                                                                          "with",  "goto",   "asm"};
                for (std::string_view w : runnable) {
                    if (sameName(cur_.text, w)) {
                        halt(at, "the preview does not run '" + std::string(w) + "' statements",
                             ProgramProblem::Kind::Unsupported);
                        return stop(at);
                    }
                }
                syntaxError(at, "a statement expected, but " + describe(cur_) + " found");
                return stop(at);
            }
            default: unexpected("a statement"); return stop(at);
        }
    }

    int32_t block() {
        const Pos at = cur_.pos;
        advance();  // begin
        Stmt s;
        s.kind = StmtKind::Block;
        s.pos = at;
        std::vector<int32_t> items;
        while (!halted_ && statementInList(items)) {
        }
        if (!halted_) {
            if (cur_.kind == Tok::KwEnd) {
                advance();
            } else {
                compileError(cur_.pos, "'end' expected for the 'begin' at line " + std::to_string(at.line) +
                                           ", column " + std::to_string(at.column));
                items.push_back(stop(cur_.pos));
                broken_ = true;
            }
        }
        s.first = addList(items);
        s.count = static_cast<uint32_t>(items.size());
        return addStmt(s);
    }

    int32_t forStatement() {
        const Pos at = cur_.pos;
        advance();  // for
        const int before = problems_.hits();
        Stmt s;
        s.kind = StmtKind::For;
        s.pos = at;
        if (cur_.kind != Tok::Ident) {
            unexpected("a variable");
            return stop(at);
        }
        const Name n = lookUp(cur_.text);
        if (n.kind != NameKind::Var) {
            compileError(cur_.pos, n.kind == NameKind::Unknown ? "unknown variable " + quoted(cur_.text)
                                                               : quoted(cur_.text) + " is not a variable");
        } else if (loopVars_ & (1u << n.index)) {
            compileError(cur_.pos, quoted(cur_.text) +
                                       " is already counting an enclosing for loop and cannot count another");
        }
        s.var = n.index;
        advance();
        if (!expect(Tok::Assign, "':='")) return stop(at);
        s.e1 = bound();
        if (failed()) return stop(at);
        if (cur_.kind == Tok::KwDownto) {
            s.down = true;
        } else if (cur_.kind != Tok::KwTo) {
            unexpected("'to' or 'downto'");
            return stop(at);
        }
        advance();
        s.e2 = bound();
        if (failed()) return stop(at);
        if (!expect(Tok::KwDo, "'do'")) return stop(at);
        const bool headerFine = problems_.hits() == before;
        const unsigned saved = loopVars_;
        if (n.kind == NameKind::Var) loopVars_ |= 1u << n.index;
        s.s1 = statement();
        loopVars_ = saved;
        return headerFine ? addStmt(s) : stop(at);
    }

    int32_t bound() {
        const int32_t e = intExpression();
        checks_.forBound(e);
        return e;
    }

    int32_t ifStatement() {
        const Pos at = cur_.pos;
        advance();  // if
        const int before = problems_.hits();
        Stmt s;
        s.kind = StmtKind::If;
        s.pos = at;
        const Pos conditionAt = cur_.pos;
        s.e1 = expression();
        if (failed()) return stop(at);
        checks_.condition(conditionAt, s.e1);
        if (!expect(Tok::KwThen, "'then'")) return stop(at);
        const bool headerFine = problems_.hits() == before;
        s.s1 = statement();
        if (failed()) return headerFine ? addStmt(s) : stop(at);
        if (accept(Tok::KwElse)) s.s2 = statement();
        return headerFine ? addStmt(s) : stop(at);
    }

    int32_t identStatement() {
        const Token name = cur_;
        const Name n = lookUp(name.text);
        advance();
        switch (n.kind) {
            case NameKind::Var: return assignment(name, n.index);
            case NameKind::Routine: return call(name, static_cast<Routine>(n.index));
            case NameKind::Function:
            case NameKind::Elsewhere: {
                unsupported(name.pos, "the preview cannot run " + quoted(name.text));
                // Its arguments are skipped; the statement ends at its ';'.
                broken_ = true;
                return stop(name.pos);
            }
            case NameKind::Constant:
            case NameKind::Condition:
                syntaxError(name.pos, quoted(name.text) + " is a constant, not a procedure");
                return stop(name.pos);
            case NameKind::Unknown: break;
        }
        if (cur_.kind == Tok::Assign) {
            compileError(name.pos, "unknown variable " + quoted(name.text));
        } else {
            compileError(name.pos, "unknown procedure " + quoted(name.text));
        }
        broken_ = true;
        return stop(name.pos);
    }

    int32_t assignment(const Token& name, uint8_t var) {
        if (cur_.kind != Tok::Assign) {
            if (cur_.kind == Tok::Eq) {
                syntaxError(cur_.pos, "':=' expected to assign; '=' compares");
            } else {
                syntaxError(name.pos, quoted(name.text) + " is not a procedure");
            }
            return stop(name.pos);
        }
        advance();
        const int before = problems_.hits();
        if (loopVars_ & (1u << var)) {
            compileError(name.pos, quoted(name.text) + " counts a for loop here and cannot be assigned");
        }
        Stmt s;
        s.kind = StmtKind::Assign;
        s.pos = name.pos;
        s.var = var;
        s.e1 = intExpression();
        checks_.assigned(s.e1);
        return problems_.hits() == before && !failed() ? addStmt(s) : stop(name.pos);
    }

    int32_t call(const Token& name, Routine routine) {
        const RoutineInfo r = routineInfo(routine);
        const int before = problems_.hits();
        // Expressions add no list entries, so the arguments go straight into
        // the list array, one after the other.
        const auto first = static_cast<uint32_t>(out_.lists.size());
        if (accept(Tok::LParen)) {
            if (cur_.kind != Tok::RParen) {
                do {
                    const std::size_t k = out_.lists.size() - first;
                    const bool text =
                        draws(routine) && isTextParameter(static_cast<GraphRoutine>(routine), k);
                    const bool condition = k < 32 && ((r.booleans >> k) & 1);
                    const int32_t arg = text        ? textArgument()
                                        : condition ? conditionExpression()
                                                    : intExpression();
                    out_.lists.push_back(arg);
                    if (failed()) return stop(name.pos);
                    // The compiler places the warning after the argument; a
                    // condition or a string has no range to leave.
                    if (k < r.parameters && !text && !condition)
                        checks_.argument(cur_.pos, arg, r.name, k, argumentRange(routine, k));
                } while (accept(Tok::Comma));
            }
            if (!expect(Tok::RParen, "')' or ','")) return stop(name.pos);
        }
        const std::size_t given = out_.lists.size() - first;
        if (given != r.parameters) {
            const bool text = draws(routine) && takesText(static_cast<GraphRoutine>(routine));
            compileError(name.pos,
                         r.parameters == 0
                             ? std::string(r.name) + " takes no numbers, " + std::to_string(given) + " given"
                             : (text ? arguments(r.parameters) : numbers(r.parameters)) + " expected for " +
                                   std::string(r.name) + ", " + std::to_string(given) + " given");
        }
        if (problems_.hits() != before) return stop(name.pos);
        Stmt s;
        s.kind = StmtKind::Call;
        s.routine = routine;
        s.pos = name.pos;
        s.first = first;
        s.count = static_cast<uint32_t>(given);
        return addStmt(s);
    }

    // A string parameter takes a string literal: its bytes go to the
    // syntax's text, and the expression holds where they stand.
    int32_t textArgument() {
        const Pos at = cur_.pos;
        if (cur_.kind == Tok::String) {
            Expr e;
            e.type = Type::Str;
            e.constant = true;
            e.pos = at;
            e.a = static_cast<int32_t>(out_.text.size());
            const bool wide = !appendStringValue(cur_.text, out_.text);
            e.b = static_cast<int32_t>(out_.text.size()) - e.a;
            advance();
            if (wide) {
                unsupported(at, "the preview draws characters #0 to #255 only");
            } else if (cur_.kind != Tok::Comma && cur_.kind != Tok::RParen) {
                unsupported(at, "the preview takes a string literal here, not an expression");
                broken_ = true;
            }
            return checks_.add(e);
        }
        const int32_t e = expression();
        const Type type = checks_[e].type;
        if (type == Type::Str) {
            unsupported(at, "the preview takes a string literal here, not an expression");
        } else if (type != Type::Bad) {
            compileError(at, "a string expected, not a number");
        }
        return e;
    }

    // ------------------------------------------------------------ expressions

    int32_t intExpression() {
        const Pos at = cur_.pos;
        const int32_t e = expression();
        checks_.integer(at, e);
        return e;
    }

    // A boolean argument, such as bar3d's top.
    int32_t conditionExpression() {
        const Pos at = cur_.pos;
        const int32_t e = expression();
        checks_.boolean(at, e);
        return e;
    }

    int32_t expression() {
        const int32_t left = simple();
        Op op;
        switch (cur_.kind) {
            case Tok::Eq: op = Op::Eq; break;
            case Tok::Ne: op = Op::Ne; break;
            case Tok::Lt: op = Op::Lt; break;
            case Tok::Gt: op = Op::Gt; break;
            case Tok::Le: op = Op::Le; break;
            case Tok::Ge: op = Op::Ge; break;
            default: return left;
        }
        const Pos at = cur_.pos;
        advance();
        const int32_t right = simple();
        return binary(op, at, left, right);
    }

    int32_t simple() {
        int32_t left;
        if (cur_.kind == Tok::Plus || cur_.kind == Tok::Minus) {
            // A leading sign applies to the whole first term: -a*b is -(a*b).
            const Pos at = cur_.pos;
            const bool minus = cur_.kind == Tok::Minus;
            advance();
            Nest nest(*this);
            const int32_t t = term();
            left = minus ? checks_.unary(Op::Neg, at, t) : checks_.signCheck(at, t);
        } else {
            left = term();
        }
        for (;;) {
            Op op;
            switch (cur_.kind) {
                case Tok::Plus: op = Op::Add; break;
                case Tok::Minus: op = Op::Sub; break;
                case Tok::KwOr: op = Op::Or; break;
                case Tok::KwXor:
                    unsupported(cur_.pos, "the preview does not compute 'xor'");
                    op = Op::Or;
                    break;
                default: return left;
            }
            const Pos at = cur_.pos;
            advance();
            const int32_t right = term();
            left = binary(op, at, left, right);
        }
    }

    int32_t term() {
        int32_t left = factor();
        for (;;) {
            Op op;
            bool realDivision = false;
            switch (cur_.kind) {
                case Tok::Star: op = Op::Mul; break;
                case Tok::KwDiv: op = Op::Div; break;
                case Tok::KwMod: op = Op::Mod; break;
                case Tok::KwAnd: op = Op::And; break;
                case Tok::Slash:
                    op = Op::Div;
                    realDivision = true;
                    break;
                case Tok::KwShl:
                case Tok::KwShr:
                    unsupported(cur_.pos, "the preview does not compute " + describe(cur_));
                    op = Op::Mul;
                    break;
                default: return left;
            }
            const Pos at = cur_.pos;
            advance();
            const int32_t right = factor();
            if (realDivision) {
                left = checks_.realDivision(at, left, right);
            } else {
                left = binary(op, at, left, right);
            }
        }
    }

    int32_t factor() {
        Nest nest(*this);
        const Pos at = cur_.pos;
        if (failed()) return checks_.bad(at);
        switch (cur_.kind) {
            case Tok::Number: {
                const int32_t e = checks_.number(at, cur_.number);
                advance();
                return e;
            }
            case Tok::BigNumber:
            case Tok::Real: advance(); return checks_.ofType(at, Type::Real);
            case Tok::String: advance(); return checks_.ofType(at, Type::Str);
            case Tok::LParen: {
                advance();
                const int32_t e = expression();
                if (!failed()) expect(Tok::RParen, "')'");
                return e;
            }
            case Tok::Plus:
            case Tok::Minus: {
                // A sign after an operator, as in XK+-50 or 2*-3.
                const bool minus = cur_.kind == Tok::Minus;
                advance();
                const int32_t f = factor();
                return minus ? checks_.unary(Op::Neg, at, f) : checks_.signCheck(at, f);
            }
            case Tok::KwNot: {
                advance();
                const int32_t f = factor();
                return checks_.unary(Op::Not, at, f);
            }
            case Tok::Ident: return nameInExpression();
            default: unexpected("a number, a variable or '('"); return checks_.bad(at);
        }
    }

    int32_t nameInExpression() {
        const Token name = cur_;
        const Name n = lookUp(name.text);
        advance();
        if (sameName(name.text, "textwidth") || sameName(name.text, "textheight"))
            return textMeasure(name, sameName(name.text, "textwidth") ? Op::TextWidth : Op::TextHeight);
        Expr e;
        e.pos = name.pos;
        switch (n.kind) {
            case NameKind::Var:
                e.op = Op::Var;
                e.var = n.index;
                return checks_.add(e);
            case NameKind::Constant: return checks_.constant(name.pos, n.index);
            case NameKind::Function: return functionCall(name, n.index);
            case NameKind::Condition: return checks_.truth(name.pos, n.index != 0);
            case NameKind::Routine:
                compileError(name.pos, quoted(name.text) + " is a procedure and gives no value");
                break;
            case NameKind::Elsewhere:
                unsupported(name.pos, "the preview cannot compute " + quoted(name.text));
                break;
            case NameKind::Unknown: compileError(name.pos, "unknown name " + quoted(name.text)); break;
        }
        if (cur_.kind == Tok::LParen) broken_ = true;  // arguments of something unknown
        return checks_.bad(name.pos);
    }

    // A function's arguments; random's is optional (without it random is
    // real), and empty parentheses are allowed as for any function.
    int32_t functionCall(const Token& name, uint8_t index) {
        const bool isRandom = index == RandomFunction;
        const std::size_t wanted = isRandom ? 1 : parameterCount(static_cast<GraphFunction>(index));
        const std::string_view routineName =
            isRandom ? std::string_view("random") : pascalName(static_cast<GraphFunction>(index));
        int32_t args[2] = {-1, -1};
        std::size_t given = 0;
        if (accept(Tok::LParen)) {
            if (cur_.kind != Tok::RParen) {
                do {
                    const int32_t arg = intExpression();
                    if (given < 2) args[given] = arg;
                    ++given;
                    if (failed()) return checks_.bad(name.pos);
                } while (accept(Tok::Comma));
            }
            if (!expect(Tok::RParen, "')' or ','")) return checks_.bad(name.pos);
        }
        if (isRandom && given == 0) return checks_.random(name.pos, -1);
        if (given != wanted) {
            compileError(name.pos, wanted == 0
                                       ? std::string(routineName) + " takes no numbers, " +
                                             std::to_string(given) + " given"
                                       : numbers(wanted) + " expected for " + std::string(routineName) +
                                             ", " + std::to_string(given) + " given");
            return checks_.bad(name.pos);
        }
        if (isRandom) return checks_.random(name.pos, args[0]);
        return checks_.function(name.pos, static_cast<GraphFunction>(index), args[0], args[1]);
    }

    // textwidth(s) or textheight(s), s a string literal: a word.
    int32_t textMeasure(const Token& name, Op op) {
        if (!expect(Tok::LParen, "'('")) return checks_.bad(name.pos);
        const int32_t arg = textArgument();
        if (failed()) return checks_.bad(name.pos);
        if (!expect(Tok::RParen, "')'")) return checks_.bad(name.pos);
        const Expr& literal = checks_[arg];
        if (literal.type != Type::Str || literal.op != Op::Const) return checks_.bad(name.pos);
        Expr e = literal;
        e.op = op;
        e.type = Type::Int;
        e.constant = false;
        e.pos = name.pos;
        return checks_.add(e);
    }

    // A chain a+b+c+... nests to the left; its length bounds the depth at
    // which the run computes it.
    int32_t binary(Op op, Pos at, int32_t left, int32_t right) {
        if (++operators_ > MaxOperators) {
            halt(at,
                 "more than " + std::to_string(MaxOperators) +
                     " operators in one statement; the preview stops checking here",
                 ProgramProblem::Kind::Limit);
        }
        return checks_.binary(op, at, left, right);
    }

    static constexpr int MaxOperators = 4000;

    Lexer lexer_;
    Token cur_;
    Syntax& out_;
    Problems problems_;
    Checks checks_;
    int maxNesting_;
    int depth_ = 0;
    int operators_ = 0;
    bool broken_ = false;    // a syntax error: the current statement is abandoned
    bool halted_ = false;    // nothing more is checked
    bool eofBody_ = false;   // the statement ended in an empty body at the end of the text
    unsigned loopVars_ = 0;  // variables counting an enclosing for loop
    bool directivePending_ = false;
    Pos directivePos_;
};

}  // namespace

void parse(std::string_view text, int maxNesting, Syntax& out) { Parser(text, maxNesting, out).run(); }

}  // namespace pasdraw::program
