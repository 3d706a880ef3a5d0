// Tokens of the program text, read one at a time so that nothing after the
// program's "end." is ever looked at (the compiler ignores it too).
#pragma once

#include <cstdint>
#include <initializer_list>
#include <string>
#include <string_view>

namespace pasdraw::program {

struct Pos {
    int line = 1;
    int column = 1;
};

enum class Tok : uint8_t {
    End,  // end of the text
    Ident,
    Number,     // a whole number that fits 64 bits unsigned; value in `number`
    BigNumber,  // digits beyond 64 bits: the compiler reads them as a real
    Real,       // 1.5, 1e3
    String,     // 'abc', #65
    Assign,     // :=
    Semicolon,
    Colon,
    Comma,
    Dot,
    DotDot,
    LParen,
    RParen,
    LBracket,
    RBracket,
    Plus,
    Minus,
    Star,
    Slash,
    Eq,
    Ne,
    Lt,
    Gt,
    Le,
    Ge,
    Caret,
    At,
    Bad,  // a character that cannot start a token; `error` says which
    // Keywords.
    KwBegin,
    KwEnd,
    KwFor,
    KwTo,
    KwDownto,
    KwDo,
    KwIf,
    KwThen,
    KwElse,
    KwDiv,
    KwMod,
    KwAnd,
    KwOr,
    KwNot,
    KwXor,
    KwShl,
    KwShr,
    KwOther,  // a reserved word the preview has no statement for (while, repeat, ...)
};

struct Token {
    Tok kind = Tok::End;
    Pos pos;
    std::string_view text;  // the source characters
    uint64_t number = 0;
    std::string error;       // for Bad and for unclosed comments or strings
    bool directive = false;  // a {$...} or (*$...*) was skipped before this token
    Pos directivePos;
};

class Lexer {
public:
    explicit Lexer(std::string_view text) : text_(text) {}
    // Reads the next token into `t`, reusing its storage.
    void next(Token& t);

private:
    // Skips blanks and comments; false (with `error`) on an unclosed comment.
    bool skipBlanks(Token& t);
    void advance();  // one byte, keeping line and column
    // One byte known to be printable ASCII: a letter, a digit, a blank.
    void step() {
        ++at_;
        ++pos_.column;
    }
    char peek(std::size_t ahead = 0) const { return at_ + ahead < text_.size() ? text_[at_ + ahead] : '\0'; }
    bool atEnd() const { return at_ >= text_.size(); }

    std::string_view text_;
    std::size_t at_ = 0;
    Pos pos_;
};

// The pieces joined into one string. Messages are built with this rather
// than with chains of operator+, which GCC 12 at -O3 misreads as
// overlapping copies (-Wrestrict).
inline std::string concat(std::initializer_list<std::string_view> pieces) {
    std::string s;
    for (std::string_view p : pieces) s.append(p);
    return s;
}

// The keyword for an identifier spelled any case, or Tok::Ident.
Tok keywordKind(std::string_view word);

// Appends the bytes a String token's source characters stand for: quoted
// pieces ('' is one quote) and #code characters (decimal or #$hex), joined.
// False when a code is above 255 (its byte is then not appended).
bool appendStringValue(std::string_view token, std::string& out);

// How a token is named in a message: 'begin', ';', the number, "end of text".
std::string describe(const Token& t);

}  // namespace pasdraw::program
