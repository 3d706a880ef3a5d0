#include "program/lexer.h"

#include <algorithm>
#include <array>
#include <cstdio>

#include "program/name_table.h"

namespace pasdraw::program {

namespace {

bool isLetter(char c) { return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || c == '_'; }
bool isDigit(char c) { return c >= '0' && c <= '9'; }

// Letters, digits and '_', the characters a name goes on with: one load
// each instead of five comparisons, since every name of a text is scanned.
constexpr std::array<bool, 256> NameChars = [] {
    std::array<bool, 256> t{};
    for (int c = 0; c < 256; ++c)
        t[static_cast<std::size_t>(c)] =
            (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') || c == '_';
    return t;
}();
bool isHex(char c) { return isDigit(c) || (c >= 'a' && c <= 'f') || (c >= 'A' && c <= 'F'); }
char lower(char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c; }

int digitValue(char c) {
    if (isDigit(c)) return c - '0';
    return lower(c) - 'a' + 10;
}

// Length of the UTF-8 sequence starting at s[0] if it is well formed, else 0.
std::size_t utf8Length(std::string_view s) {
    const auto b = static_cast<unsigned char>(s[0]);
    std::size_t n = b >= 0xF0 && b <= 0xF4 ? 4 : b >= 0xE0 ? 3 : b >= 0xC2 && b < 0xE0 ? 2 : 0;
    if (b >= 0xF5 || n == 0 || n > s.size()) return 0;
    for (std::size_t k = 1; k < n; ++k)
        if ((static_cast<unsigned char>(s[k]) & 0xC0) != 0x80) return 0;
    return n;
}

}  // namespace

Tok keywordKind(std::string_view word) {
    struct Entry {
        std::string_view name;
        Tok kind;
    };
    // Reserved words of Free Pascal's default mode: the ones the preview
    // understands, and the rest, which cannot be names.
    static constexpr std::array<Entry, 58> words{{
        {"begin", Tok::KwBegin},
        {"end", Tok::KwEnd},
        {"for", Tok::KwFor},
        {"to", Tok::KwTo},
        {"downto", Tok::KwDownto},
        {"do", Tok::KwDo},
        {"if", Tok::KwIf},
        {"then", Tok::KwThen},
        {"else", Tok::KwElse},
        {"div", Tok::KwDiv},
        {"mod", Tok::KwMod},
        {"and", Tok::KwAnd},
        {"or", Tok::KwOr},
        {"not", Tok::KwNot},
        {"xor", Tok::KwXor},
        {"shl", Tok::KwShl},
        {"shr", Tok::KwShr},
        {"while", Tok::KwOther},
        {"repeat", Tok::KwOther},
        {"until", Tok::KwOther},
        {"case", Tok::KwOther},
        {"of", Tok::KwOther},
        {"with", Tok::KwOther},
        {"goto", Tok::KwOther},
        {"label", Tok::KwOther},
        {"var", Tok::KwOther},
        {"const", Tok::KwOther},
        {"type", Tok::KwOther},
        {"procedure", Tok::KwOther},
        {"function", Tok::KwOther},
        {"program", Tok::KwOther},
        {"uses", Tok::KwOther},
        {"unit", Tok::KwOther},
        {"array", Tok::KwOther},
        {"record", Tok::KwOther},
        {"set", Tok::KwOther},
        {"in", Tok::KwOther},
        {"nil", Tok::KwOther},
        {"asm", Tok::KwOther},
        {"string", Tok::KwOther},
        {"file", Tok::KwOther},
        {"packed", Tok::KwOther},
        {"object", Tok::KwOther},
        {"interface", Tok::KwOther},
        {"implementation", Tok::KwOther},
        {"inherited", Tok::KwOther},
        {"constructor", Tok::KwOther},
        {"destructor", Tok::KwOther},
        {"inline", Tok::KwOther},
        {"operator", Tok::KwOther},
        {"initialization", Tok::KwOther},
        {"finalization", Tok::KwOther},
        {"library", Tok::KwOther},
        {"absolute", Tok::KwOther},
        {"self", Tok::KwOther},
        {"reintroduce", Tok::KwOther},
        {"threadvar", Tok::KwOther},
        {"resourcestring", Tok::KwOther},
    }};
    // Most names are not reserved words: a word whose first letter and
    // length no reserved word has is a name without a look-up.
    static constexpr std::array<uint16_t, 26> lengthsByLetter = [] {
        std::array<uint16_t, 26> t{};
        for (const Entry& e : words)
            t[static_cast<std::size_t>(e.name[0] - 'a')] |= uint16_t(1u << e.name.size());
        return t;
    }();
    const char first = lower(word.empty() ? '_' : word[0]);
    if (first < 'a' || first > 'z' || word.size() >= 16 ||
        ((lengthsByLetter[static_cast<std::size_t>(first - 'a')] >> word.size()) & 1) == 0)
        return Tok::Ident;
    static const NameTable<Tok, 128> byName = [] {
        NameTable<Tok, 128> t;
        for (const Entry& e : words) t.add(e.name, e.kind);
        return t;
    }();
    const Tok* found = byName.find(word);
    return found == nullptr ? Tok::Ident : *found;
}

void Lexer::advance() {
    const char c = text_[at_++];
    if (c == '\n' || (c == '\r' && peek() != '\n')) {
        ++pos_.line;
        pos_.column = 1;
    } else if (c != '\r' && (static_cast<unsigned char>(c) & 0xC0) != 0x80) {
        ++pos_.column;  // continuation bytes belong to the character before
    }
}

bool Lexer::skipBlanks(Token& t) {
    while (!atEnd()) {
        const char c = peek();
        if (c == ' ' || c == '\t') {
            std::size_t end = at_ + 1;
            while (end < text_.size() && (text_[end] == ' ' || text_[end] == '\t')) ++end;
            pos_.column += static_cast<int>(end - at_);
            at_ = end;
        } else if (c == '\r' || c == '\n' || c == '\f' || c == '\v') {
            advance();
        } else if (c == '/' && peek(1) == '/') {
            const Pos start = pos_;
            while (!atEnd() && peek() != '\n' && peek() != '\r') advance();
            if (atEnd()) {
                // The saved program goes on right after the text, on the
                // same line, so this comment would swallow its last line.
                t.pos = start;
                t.error =
                    "this // comment would hide the end of the saved program, which follows on the same "
                    "line; end the text with a line break";
                return false;
            }
        } else if (c == '{' || (c == '(' && peek(1) == '*')) {
            // Comments of one kind nest inside each other, as the compiler's
            // default mode allows.
            const bool brace = c == '{';
            const Pos start = pos_;
            advance();
            if (!brace) advance();
            if (peek() == '$' && !t.directive) {
                t.directive = true;
                t.directivePos = start;
            }
            int depth = 1;
            while (depth > 0 && !atEnd()) {
                if (brace ? peek() == '{' : (peek() == '(' && peek(1) == '*')) {
                    ++depth;
                    if (!brace) advance();
                } else if (brace ? peek() == '}' : (peek() == '*' && peek(1) == ')')) {
                    --depth;
                    if (!brace) advance();
                }
                advance();
            }
            if (depth > 0) {
                t.pos = start;
                t.error = concat({"comment not closed: '", brace ? "}" : "*)", "' expected"});
                return false;
            }
        } else {
            break;
        }
    }
    return true;
}

void Lexer::next(Token& t) {
    t.kind = Tok::End;
    t.number = 0;
    t.error.clear();
    t.directive = false;
    if (!skipBlanks(t)) {
        t.kind = Tok::Bad;
        t.text = {};
        at_ = text_.size();
        return;
    }
    t.pos = pos_;
    const std::size_t start = at_;
    auto finish = [&](Tok kind) {
        t.kind = kind;
        t.text = std::string_view(text_.data() + start, at_ - start);
    };
    if (atEnd()) return finish(Tok::End);
    const char c = peek();
    if (isLetter(c) || (c == '&' && isLetter(peek(1)))) {
        // "&name" is a name even when it is spelled like a reserved word.
        const bool escaped = c == '&';
        step();
        std::size_t end = at_;
        while (end < text_.size() && NameChars[static_cast<unsigned char>(text_[end])]) ++end;
        pos_.column += static_cast<int>(end - at_);
        at_ = end;
        finish(Tok::Ident);
        if (escaped) {
            t.text.remove_prefix(1);
        } else {
            t.kind = keywordKind(t.text);
        }
        if (atEnd()) {
            // The saved program puts "repeat" right after the text, which
            // makes one word of the two.
            t.error =
                concat({"'", t.text.substr(0, 40),
                        "' runs into the 'repeat' that the saved program puts right after the text; end "
                        "the text with ';' or a line break"});
            t.kind = Tok::Bad;
        }
        return;
    }
    const int base = isDigit(c) ? 10 : c == '$' ? 16 : c == '%' ? 2 : c == '&' ? 8 : 0;
    if (base != 0) {
        if (base != 10) advance();
        auto valid = [&](char d) { return base == 16 ? isHex(d) : isDigit(d) && digitValue(d) < base; };
        if (!valid(peek())) {
            finish(Tok::Bad);
            t.error = concat({"digits expected after '", std::string_view(&c, 1), "'"});
            return;
        }
        bool big = false;
        uint64_t v = 0;
        while (valid(peek())) {
            const auto d = static_cast<uint64_t>(digitValue(peek()));
            // Past 64 bits the digits go on wrapping; only `big` matters then.
            if (__builtin_mul_overflow(v, static_cast<uint64_t>(base), &v)) big = true;
            if (__builtin_add_overflow(v, d, &v)) big = true;
            step();
        }
        if (base == 10) {
            bool real = false;
            if (peek() == '.' && isDigit(peek(1))) {
                real = true;
                advance();
                while (isDigit(peek())) advance();
            }
            if ((peek() == 'e' || peek() == 'E') &&
                (isDigit(peek(1)) || ((peek(1) == '+' || peek(1) == '-') && isDigit(peek(2))))) {
                real = true;
                advance();
                advance();
                while (isDigit(peek())) advance();
            }
            if (real) return finish(Tok::Real);
        }
        t.number = v;
        return finish(big ? Tok::BigNumber : Tok::Number);
    }
    if (c == '\'' || c == '#') {
        // A string: quoted pieces ('' is a quote) and #code characters, joined.
        while (peek() == '\'' || peek() == '#') {
            if (peek() == '#') {
                advance();
                if (peek() == '$') advance();
                if (!isHex(peek())) {
                    finish(Tok::Bad);
                    t.error = "character code expected after '#'";
                    return;
                }
                while (isHex(peek())) advance();
                continue;
            }
            advance();
            for (;;) {
                if (atEnd() || peek() == '\n' || peek() == '\r') {
                    finish(Tok::Bad);
                    t.error = "string not closed: ' expected before the end of the line";
                    return;
                }
                if (peek() == '\'') {
                    advance();
                    if (peek() != '\'') break;
                }
                advance();
            }
        }
        return finish(Tok::String);
    }
    auto two = [&](Tok kind) {
        advance();
        advance();
        finish(kind);
    };
    auto one = [&](Tok kind) {
        advance();
        finish(kind);
    };
    switch (c) {
        case ':': return peek(1) == '=' ? two(Tok::Assign) : one(Tok::Colon);
        case ';': return one(Tok::Semicolon);
        case ',': return one(Tok::Comma);
        case '.': return peek(1) == '.' ? two(Tok::DotDot) : one(Tok::Dot);
        case '(': return one(Tok::LParen);
        case ')': return one(Tok::RParen);
        case '[': return one(Tok::LBracket);
        case ']': return one(Tok::RBracket);
        case '+': return one(Tok::Plus);
        case '-': return one(Tok::Minus);
        case '*': return one(Tok::Star);
        case '/': return one(Tok::Slash);
        case '=': return one(Tok::Eq);
        case '<': return peek(1) == '>' ? two(Tok::Ne) : peek(1) == '=' ? two(Tok::Le) : one(Tok::Lt);
        case '>': return peek(1) == '=' ? two(Tok::Ge) : one(Tok::Gt);
        case '^': return one(Tok::Caret);
        case '@': return one(Tok::At);
        default: break;
    }
    // Anything else cannot start a token. A well-formed UTF-8 character is
    // shown as itself, a lone byte or a control character by its code.
    const std::size_t n = static_cast<unsigned char>(c) >= 0x80 ? utf8Length(text_.substr(at_)) : 0;
    char code[8];
    if (n > 0) {
        for (std::size_t k = 0; k < n; ++k) advance();
        finish(Tok::Bad);
        t.error = concat({"the character '", t.text, "' cannot appear here"});
    } else {
        advance();
        finish(Tok::Bad);
        const auto b = static_cast<unsigned char>(c);
        if (b >= 0x21 && b < 0x7F) {
            t.error = concat({"the character '", std::string_view(&c, 1), "' cannot appear here"});
        } else {
            std::snprintf(code, sizeof code, "#%u", static_cast<unsigned>(b));
            t.error = std::string("the character ") + code + " cannot appear here";
        }
    }
    return;
}

bool appendStringValue(std::string_view token, std::string& out) {
    bool narrow = true;
    std::size_t k = 0;
    while (k < token.size()) {
        if (token[k] == '#') {
            ++k;
            const bool hex = k < token.size() && token[k] == '$';
            if (hex) ++k;
            uint32_t code = 0;
            for (; k < token.size() && (hex ? isHex(token[k]) : isDigit(token[k])); ++k) {
                const char c = token[k];
                const uint32_t digit = isDigit(c) ? static_cast<uint32_t>(c - '0')
                                                  : static_cast<uint32_t>((c | 0x20) - 'a' + 10);
                code = std::min<uint32_t>(code * (hex ? 16 : 10) + digit, 0x10000);
            }
            if (code > 255) {
                narrow = false;
            } else {
                out += static_cast<char>(code);
            }
            continue;
        }
        // A quoted piece: up to the quote that is not doubled.
        for (++k; k < token.size(); ++k) {
            if (token[k] == '\'') {
                if (k + 1 < token.size() && token[k + 1] == '\'') {
                    out += '\'';
                    ++k;
                    continue;
                }
                ++k;
                break;
            }
            out += token[k];
        }
    }
    return narrow;
}

std::string describe(const Token& t) {
    switch (t.kind) {
        case Tok::End: return "the end of the text";
        case Tok::Bad: return "an unknown character";
        case Tok::String: return "a string";
        default: break;
    }
    // Long numbers and names are cut so a message stays one readable line.
    std::string s(t.text.substr(0, 40));
    if (t.text.size() > 40) s += "...";
    return "'" + s + "'";
}

}  // namespace pasdraw::program
