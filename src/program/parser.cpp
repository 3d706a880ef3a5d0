#include <algorithm>
#include <array>
#include <limits>
#include <string>

#include "program/name_table.h"
#include "program/syntax.h"

namespace pasdraw::program {

namespace {

// GCC and Clang's 128-bit integer, only to see whether a constant folds
// outside the 64-bit ranges.
__extension__ using Wide = __int128;

char lower(char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c; }

bool sameName(std::string_view a, std::string_view b) {
    return a.size() == b.size() &&
           std::equal(a.begin(), a.end(), b.begin(), [](char x, char y) { return lower(x) == lower(y); });
}

// Lower case, as every name is looked up.
constexpr std::array<std::string_view, ProgramVarCount> VarNames{"xk", "yk", "i", "m", "d", "err"};

struct RoutineInfo {
    std::string_view name;
    Routine routine;
    // One letter per parameter: 's' smallint, 'w' word.
    std::string_view params;
};

constexpr std::array<RoutineInfo, 18> Routines{{
    {"setcolor", Routine::SetColor, "w"},
    {"setbkcolor", Routine::SetBkColor, "w"},
    {"setfillstyle", Routine::SetFillStyle, "ww"},
    {"cleardevice", Routine::ClearDevice, ""},
    {"putpixel", Routine::PutPixel, "ssw"},
    {"moveto", Routine::MoveTo, "ss"},
    {"lineto", Routine::LineTo, "ss"},
    {"line", Routine::Line, "ssss"},
    {"rectangle", Routine::Rectangle, "ssss"},
    {"bar", Routine::Bar, "ssss"},
    {"circle", Routine::Circle, "ssw"},
    {"arc", Routine::Arc, "sswww"},
    {"ellipse", Routine::Ellipse, "sswwww"},
    {"floodfill", Routine::FloodFill, "ssw"},
    {"delay", Routine::Delay, "w"},
    {"sound", Routine::Sound, "w"},
    {"nosound", Routine::NoSound, ""},
    {"clrscr", Routine::ClrScr, ""},
}};

struct NamedConstant {
    std::string_view name;
    int64_t value;
};

// Constants of the graph and crt units a learner may write for a colour, a
// fill pattern or the driver.
constexpr std::array<NamedConstant, 35> Constants{{
    {"black", 0},      {"blue", 1},           {"green", 2},         {"cyan", 3},
    {"red", 4},        {"magenta", 5},        {"brown", 6},         {"lightgray", 7},
    {"darkgray", 8},   {"lightblue", 9},      {"lightgreen", 10},   {"lightcyan", 11},
    {"lightred", 12},  {"lightmagenta", 13},  {"yellow", 14},       {"white", 15},
    {"emptyfill", 0},  {"solidfill", 1},      {"linefill", 2},      {"ltslashfill", 3},
    {"slashfill", 4},  {"bkslashfill", 5},    {"ltbkslashfill", 6}, {"hatchfill", 7},
    {"xhatchfill", 8}, {"interleavefill", 9}, {"widedotfill", 10},  {"closedotfill", 11},
    {"userfill", 12},  {"detect", 0},         {"grok", 0},          {"vga", 9},
    {"vgalo", 0},      {"vgamed", 1},         {"vgahi", 2},
}};

// Names the compiler knows from graph, crt and the system unit that the
// preview does not run.
constexpr std::array<std::string_view, 93> KnownElsewhere{{
    "outtext",
    "outtextxy",
    "settextstyle",
    "settextjustify",
    "setlinestyle",
    "setwritemode",
    "setviewport",
    "clearviewport",
    "setpalette",
    "setallpalette",
    "setrgbpalette",
    "fillellipse",
    "fillpoly",
    "drawpoly",
    "pieslice",
    "sector",
    "bar3d",
    "moverel",
    "linerel",
    "getmaxx",
    "getmaxy",
    "getx",
    "gety",
    "getpixel",
    "getcolor",
    "getbkcolor",
    "getmaxcolor",
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
    "random",
    "randomize",
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
    "true",
    "false",
}};

enum class NameKind { Var, Routine, Constant, Elsewhere, Unknown };

struct Name {
    NameKind kind = NameKind::Unknown;
    uint8_t index = 0;
};

Name lookUp(std::string_view word) {
    static const NameTable<Name> byName = [] {
        NameTable<Name> t;
        // In this order of precedence; the lists do not overlap.
        for (std::size_t k = 0; k < VarNames.size(); ++k)
            t.add(VarNames[k], Name{NameKind::Var, static_cast<uint8_t>(k)});
        for (std::size_t k = 0; k < Routines.size(); ++k)
            t.add(Routines[k].name, Name{NameKind::Routine, static_cast<uint8_t>(k)});
        for (std::size_t k = 0; k < Constants.size(); ++k)
            t.add(Constants[k].name, Name{NameKind::Constant, static_cast<uint8_t>(k)});
        for (std::string_view n : KnownElsewhere) t.add(n, Name{NameKind::Elsewhere, 0});
        return t;
    }();
    const Name* found = byName.find(word);
    return found == nullptr ? Name{} : *found;
}

std::string quoted(std::string_view s) {
    std::string q(s.substr(0, 40));
    if (s.size() > 40) q += "...";
    return "'" + q + "'";
}

std::string numbers(std::size_t n) { return std::to_string(n) + (n == 1 ? " number" : " numbers"); }

class Parser {
public:
    Parser(std::string_view text, int maxNesting, Syntax& out)
        : lexer_(text), out_(out), maxNesting_(maxNesting) {
        out_.exprs.clear();
        out_.stmts.clear();
        out_.lists.clear();
        out_.problems.clear();
        out_.compilerWouldRefuse = false;
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
        tidyProblems();
    }

private:
    // ------------------------------------------------------------ problems

    void problem(Pos pos, std::string message, ProgramProblem::Kind kind) {
        ++hits_;
        if (kind == ProgramProblem::Kind::Compile) out_.compilerWouldRefuse = true;
        if (out_.problems.size() < MaxFound)
            out_.problems.push_back({pos.line, pos.column, std::move(message), kind});
    }

    // One problem per line, in text order: what follows a first fault on a
    // line is mostly its echo. A reason the compiler refuses the text wins
    // over the preview's own notes on the same line.
    void tidyProblems() {
        std::vector<ProgramProblem>& all = out_.problems;
        std::stable_sort(all.begin(), all.end(), [](const ProgramProblem& a, const ProgramProblem& b) {
            return a.line != b.line ? a.line < b.line : a.column < b.column;
        });
        std::vector<ProgramProblem> kept;
        for (ProgramProblem& p : all) {
            if (!kept.empty() && kept.back().line == p.line) {
                if (p.kind == ProgramProblem::Kind::Compile &&
                    kept.back().kind != ProgramProblem::Kind::Compile)
                    kept.back() = std::move(p);
                continue;
            }
            if (kept.size() == MaxProblems) break;
            kept.push_back(std::move(p));
        }
        all = std::move(kept);
    }

    void compileError(Pos pos, std::string message) {
        problem(pos, std::move(message), ProgramProblem::Kind::Compile);
    }
    void unsupported(Pos pos, std::string message) {
        problem(pos, std::move(message), ProgramProblem::Kind::Unsupported);
    }
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
        problem(pos, std::move(message), kind);
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
        explicit Nest(Parser& p) : p_(p) {
            if (++p_.depth_ > p_.maxNesting_) {
                p_.halt(p_.cur_.pos,
                        "nested more than " + std::to_string(p_.maxNesting_) +
                            " levels deep; the preview stops checking here",
                        ProgramProblem::Kind::Limit);
            }
        }
        ~Nest() { --p_.depth_; }
        Nest(const Nest&) = delete;
        Nest& operator=(const Nest&) = delete;

    private:
        Parser& p_;
    };

    // ------------------------------------------------------------ nodes

    int32_t addExpr(const Expr& e) {
        out_.exprs.push_back(e);
        return static_cast<int32_t>(out_.exprs.size() - 1);
    }
    int32_t badExpr(Pos pos) {
        Expr e;
        e.type = Type::Bad;
        e.pos = pos;
        return addExpr(e);
    }
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
        const int before = hits_;
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
        const bool headerFine = hits_ == before;
        const unsigned saved = loopVars_;
        if (n.kind == NameKind::Var) loopVars_ |= 1u << n.index;
        s.s1 = statement();
        loopVars_ = saved;
        return headerFine ? addStmt(s) : stop(at);
    }

    // A for bound is converted to the variable's type; a constant that does
    // not fit is refused outright (unlike an assignment, which only warns).
    int32_t bound() {
        const int32_t e = intExpression();
        const Expr& x = out_.exprs[static_cast<std::size_t>(e)];
        if (x.constant && x.type == Type::Int && (x.value < -32768 || x.value > 32767)) {
            compileError(x.pos, std::to_string(x.value) +
                                    " is out of range for a for loop over an integer (-32768 to 32767)");
        }
        return e;
    }

    int32_t ifStatement() {
        const Pos at = cur_.pos;
        advance();  // if
        const int before = hits_;
        Stmt s;
        s.kind = StmtKind::If;
        s.pos = at;
        const Pos conditionAt = cur_.pos;
        s.e1 = expression();
        if (failed()) return stop(at);
        const Expr& c = out_.exprs[static_cast<std::size_t>(s.e1)];
        if (c.type == Type::Int || c.type == Type::Real || c.type == Type::Str) {
            compileError(conditionAt, "a condition (such as XK < 10) expected after 'if'");
        }
        if (!expect(Tok::KwThen, "'then'")) return stop(at);
        const bool headerFine = hits_ == before;
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
            case NameKind::Routine: return call(name, n.index);
            case NameKind::Elsewhere: {
                unsupported(name.pos, "the preview cannot run " + quoted(name.text));
                // Its arguments are skipped; the statement ends at its ';'.
                broken_ = true;
                return stop(name.pos);
            }
            case NameKind::Constant:
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
        const int before = hits_;
        if (loopVars_ & (1u << var)) {
            compileError(name.pos, quoted(name.text) + " counts a for loop here and cannot be assigned");
        }
        Stmt s;
        s.kind = StmtKind::Assign;
        s.pos = name.pos;
        s.var = var;
        s.e1 = intExpression();
        return hits_ == before && !failed() ? addStmt(s) : stop(name.pos);
    }

    int32_t call(const Token& name, uint8_t index) {
        const RoutineInfo& r = Routines[index];
        const int before = hits_;
        // Expressions add no list entries, so the arguments go straight into
        // the list array, one after the other.
        const auto first = static_cast<uint32_t>(out_.lists.size());
        if (accept(Tok::LParen)) {
            if (cur_.kind != Tok::RParen) {
                do {
                    const int32_t arg = intExpression();
                    out_.lists.push_back(arg);
                    if (failed()) return stop(name.pos);
                } while (accept(Tok::Comma));
            }
            if (!expect(Tok::RParen, "')' or ','")) return stop(name.pos);
        }
        const std::size_t given = out_.lists.size() - first;
        if (given != r.params.size()) {
            compileError(name.pos,
                         r.params.empty()
                             ? std::string(r.name) + " takes no numbers, " + std::to_string(given) + " given"
                             : numbers(r.params.size()) + " expected for " + std::string(r.name) + ", " +
                                   std::to_string(given) + " given");
        }
        if (hits_ != before) return stop(name.pos);
        Stmt s;
        s.kind = StmtKind::Call;
        s.routine = r.routine;
        s.pos = name.pos;
        s.first = first;
        s.count = static_cast<uint32_t>(given);
        return addStmt(s);
    }

    // ------------------------------------------------------------ expressions

    // An expression whose value goes into an integer: an assignment, a
    // routine's parameter, a for bound.
    int32_t intExpression() {
        const Pos at = cur_.pos;
        const int32_t e = expression();
        const Expr& x = out_.exprs[static_cast<std::size_t>(e)];
        switch (x.type) {
            case Type::Int:
            case Type::Bad: break;
            case Type::Bool: compileError(at, "a number expected, not a condition"); break;
            case Type::Str: compileError(at, "a number expected, not a string"); break;
            case Type::Real:
                compileError(at,
                             "a whole number expected; '/' and numbers with a point or an exponent "
                             "give real numbers (use div)");
                break;
        }
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
            left = minus ? unary(Op::Neg, at, t) : signCheck(at, t);
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
                // Kept as a division only for its position; its value is real.
                Expr e;
                e.type = Type::Real;
                e.pos = at;
                const Type lt = out_.exprs[static_cast<std::size_t>(left)].type;
                const Type rt = out_.exprs[static_cast<std::size_t>(right)].type;
                if (lt == Type::Bad || rt == Type::Bad) {
                    e.type = Type::Bad;
                } else if (lt == Type::Bool || lt == Type::Str || rt == Type::Bool || rt == Type::Str) {
                    compileError(at, "'/' divides numbers only");
                    e.type = Type::Bad;
                }
                left = addExpr(e);
            } else {
                left = binary(op, at, left, right);
            }
        }
    }

    int32_t factor() {
        Nest nest(*this);
        const Pos at = cur_.pos;
        if (failed()) return badExpr(at);
        switch (cur_.kind) {
            case Tok::Number: {
                Expr e;
                e.constant = true;
                e.pos = at;
                if (cur_.number > static_cast<uint64_t>(std::numeric_limits<int64_t>::max())) {
                    unsupported(at, "the preview does not compute with numbers above 9223372036854775807");
                    e.type = Type::Bad;
                } else {
                    e.value = static_cast<int64_t>(cur_.number);
                }
                advance();
                return addExpr(e);
            }
            case Tok::BigNumber:
            case Tok::Real: {
                Expr e;
                e.type = Type::Real;
                e.pos = at;
                advance();
                return addExpr(e);
            }
            case Tok::String: {
                Expr e;
                e.type = Type::Str;
                e.pos = at;
                advance();
                return addExpr(e);
            }
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
                return minus ? unary(Op::Neg, at, f) : signCheck(at, f);
            }
            case Tok::KwNot: {
                advance();
                const int32_t f = factor();
                return unary(Op::Not, at, f);
            }
            case Tok::Ident: return nameInExpression();
            default: unexpected("a number, a variable or '('"); return badExpr(at);
        }
    }

    int32_t nameInExpression() {
        const Token name = cur_;
        const Name n = lookUp(name.text);
        advance();
        Expr e;
        e.pos = name.pos;
        switch (n.kind) {
            case NameKind::Var:
                e.op = Op::Var;
                e.var = n.index;
                return addExpr(e);
            case NameKind::Constant:
                e.constant = true;
                e.value = Constants[n.index].value;
                return addExpr(e);
            case NameKind::Routine:
                compileError(name.pos, quoted(name.text) + " is a procedure and gives no value");
                break;
            case NameKind::Elsewhere:
                unsupported(name.pos, "the preview cannot compute " + quoted(name.text));
                break;
            case NameKind::Unknown: compileError(name.pos, "unknown name " + quoted(name.text)); break;
        }
        if (cur_.kind == Tok::LParen) broken_ = true;  // arguments of something unknown
        e.type = Type::Bad;
        return addExpr(e);
    }

    int32_t signCheck(Pos at, int32_t operand) {
        const Type t = out_.exprs[static_cast<std::size_t>(operand)].type;
        if (t == Type::Bool || t == Type::Str) {
            compileError(at, "a sign needs a number");
            return badExpr(at);
        }
        return operand;
    }

    int32_t unary(Op op, Pos at, int32_t operand) {
        const Expr& x = out_.exprs[static_cast<std::size_t>(operand)];
        Expr e;
        e.op = op;
        e.pos = at;
        e.a = operand;
        e.type = x.type;
        if (x.type == Type::Bad || x.type == Type::Real) return addExpr(e);
        if (op == Op::Neg) {
            if (x.type != Type::Int) {
                compileError(at, "a sign needs a number");
                e.type = Type::Bad;
            } else if (x.constant) {
                return fold(e, -static_cast<Wide>(x.value));
            }
        } else if (x.type == Type::Int) {
            unsupported(at, "the preview does not compute 'not' on numbers");
            e.type = Type::Bad;
        } else if (x.type != Type::Bool) {
            compileError(at, "'not' needs a condition");
            e.type = Type::Bad;
        }
        return addExpr(e);
    }

    // A constant subexpression is computed by the compiler: a result beyond
    // 64 bits is a compile error, one between 2^63 and 2^64 becomes unsigned.
    int32_t fold(Expr e, Wide v) {
        // Operands that are single constants at the end of the array are
        // dropped: a folded constant is always one node, right after the
        // nodes before it, and the run never looks at them.
        const auto size = static_cast<int32_t>(out_.exprs.size());
        if (e.b >= 0 ? (e.b == size - 1 && e.a == size - 2) : e.a == size - 1)
            out_.exprs.resize(static_cast<std::size_t>(e.a));
        e.constant = true;
        e.op = Op::Const;
        e.a = e.b = -1;
        if (v < static_cast<Wide>(std::numeric_limits<int64_t>::min()) ||
            v > static_cast<Wide>(std::numeric_limits<uint64_t>::max())) {
            compileError(e.pos, "overflow in arithmetic operation");
            e.type = Type::Bad;
        } else if (v > static_cast<Wide>(std::numeric_limits<int64_t>::max())) {
            unsupported(e.pos, "the preview does not compute with numbers above 9223372036854775807");
            e.type = Type::Bad;
        } else {
            e.value = static_cast<int64_t>(v);
        }
        return addExpr(e);
    }

    int32_t binary(Op op, Pos at, int32_t left, int32_t right) {
        // A chain a+b+c+... nests to the left; its length bounds the depth
        // at which the run computes it.
        if (++operators_ > MaxOperators) {
            halt(at,
                 "more than " + std::to_string(MaxOperators) +
                     " operators in one statement; the preview stops checking here",
                 ProgramProblem::Kind::Limit);
        }
        const Expr& l = out_.exprs[static_cast<std::size_t>(left)];
        const Expr& r = out_.exprs[static_cast<std::size_t>(right)];
        Expr e;
        e.op = op;
        e.pos = at;
        e.a = left;
        e.b = right;
        const bool relational = op >= Op::Eq && op <= Op::Ge;
        const bool logical = op == Op::And || op == Op::Or;
        if (l.type == Type::Bad || r.type == Type::Bad) {
            e.type = Type::Bad;
            return addExpr(e);
        }
        if (relational) {
            e.type = Type::Bool;
            if (l.type == Type::Real || r.type == Type::Real) {
                unsupported(at, "the preview does not compare real numbers");
                e.type = Type::Bad;
            } else if (l.type != r.type || l.type == Type::Str) {
                compileError(at, l.type != r.type ? "cannot compare a number with a condition or a string"
                                                  : "the preview does not compare strings");
                e.type = Type::Bad;
            }
            return addExpr(e);
        }
        if (logical) {
            if (l.type == Type::Bool && r.type == Type::Bool) {
                e.type = Type::Bool;
            } else if (l.type == Type::Int && r.type == Type::Int) {
                unsupported(at, std::string("the preview does not compute '") +
                                    (op == Op::And ? "and" : "or") + "' on numbers");
                e.type = Type::Bad;
            } else {
                compileError(at, std::string("'") + (op == Op::And ? "and" : "or") +
                                     "' needs two conditions (put comparisons in parentheses)");
                e.type = Type::Bad;
            }
            return addExpr(e);
        }
        if (l.type == Type::Bool || r.type == Type::Bool || l.type == Type::Str || r.type == Type::Str) {
            compileError(at, "arithmetic needs numbers; put comparisons in parentheses after 'if'");
            e.type = Type::Bad;
            return addExpr(e);
        }
        if (l.type == Type::Real || r.type == Type::Real) {
            if (op == Op::Div || op == Op::Mod) {
                compileError(at, "div and mod need whole numbers");
                e.type = Type::Bad;
            } else {
                e.type = Type::Real;
            }
            return addExpr(e);
        }
        // The compiler replaces x*0, 0*x and x mod 1 by the constant 0 without
        // computing x, so a division by zero inside x never happens, and the
        // 0 takes part in further constant folding (1 div (YK*0) is refused).
        if ((op == Op::Mul && ((l.constant && l.value == 0) || (r.constant && r.value == 0))) ||
            (op == Op::Mod && r.constant && r.value == 1)) {
            return fold(e, 0);
        }
        // The compiler refuses a division by a constant zero, whatever the
        // dividend; a zero computed at run time stops the program instead.
        if ((op == Op::Div || op == Op::Mod) && r.constant && r.value == 0) {
            compileError(at, "division by zero");
            e.type = Type::Bad;
            return addExpr(e);
        }
        if (!l.constant || !r.constant) return addExpr(e);
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

    static constexpr std::size_t MaxProblems = 1000;
    static constexpr std::size_t MaxFound = 100000;
    static constexpr int MaxOperators = 4000;

    Lexer lexer_;
    Token cur_;
    Syntax& out_;
    int maxNesting_;
    int depth_ = 0;
    int operators_ = 0;
    int hits_ = 0;           // problems found, including those not listed
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
