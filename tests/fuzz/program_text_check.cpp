#include "fuzz/program_text_check.h"

#include <algorithm>
#include <array>
#include <cstdlib>
#include <optional>

namespace pasdraw::fuzz {

namespace {

// Screen value of a stored canvas value; C++ integer division truncates toward
// zero, which is the rounding the generated statements promise.
int64_t q(int16_t v) { return static_cast<int64_t>(v) / 10; }

// What one record's text line must say, before the origin is subtracted.
struct ExpectedLine {
    const char* kind = "";
    bool fill = false;
    int64_t colour = 0;
    std::string_view call;
    int points = 0;
    std::array<int64_t, 2> x{};
    std::array<int64_t, 2> y{};
    int extras = 0;
    std::array<int64_t, 4> extra{};
};

ExpectedLine expected(const LineRecord& r) {
    return {"line", false, r.ColorIndex, "line(", 2, {q(r.X1), q(r.X2)}, {q(r.Y1), q(r.Y2)}, 0, {}};
}

ExpectedLine expected(const RectangleRecord& r) {
    return {"rectangle", false, r.ColorIndex, "rectangle(", 2, {q(r.X1), q(r.X2)}, {q(r.Y1), q(r.Y2)}, 0, {}};
}

ExpectedLine expected(const EllipseRecord& r) {
    const int64_t hx = (q(r.X2) - q(r.X1)) / 2;
    const int64_t hy = (q(r.Y2) - q(r.Y1)) / 2;
    return {"ellipse",         false, r.ColorIndex,
            "ellipse(",        1,     {q(r.X1) + hx, 0},
            {q(r.Y1) + hy, 0}, 4,     {r.StartAngle, r.EndAngle, std::abs(hx), std::abs(hy)}};
}

ExpectedLine expected(const CircleRecord& r) {
    return {"circle", false, r.ColorIndex, "circle(", 1, {q(r.X), 0}, {q(r.Y), 0}, 1, {q(r.Radius)}};
}

ExpectedLine expected(const FillRecord& r) {
    return {"fill", true, r.ColorIndex, "floodfill(", 1, {q(r.X), 0}, {q(r.Y), 0}, 1, {r.BorderIndex}};
}

class Cursor {
public:
    explicit Cursor(std::string_view s) : s_(s) {}

    bool take(std::string_view literal) {
        if (!s_.substr(pos_).starts_with(literal)) return false;
        pos_ += literal.size();
        return true;
    }

    // Plain decimal as the generators promise it: an optional "-", then "0" or
    // digits without a leading zero; no "+", no blanks, no "-0".
    std::optional<int64_t> number() {
        std::size_t p = pos_;
        const bool negative = p < s_.size() && s_[p] == '-';
        if (negative) ++p;
        const std::size_t first = p;
        while (p < s_.size() && s_[p] >= '0' && s_[p] <= '9') ++p;
        const std::size_t digits = p - first;
        if (digits == 0 || digits > 12) return std::nullopt;
        if (s_[first] == '0' && (digits > 1 || negative)) return std::nullopt;
        int64_t v = 0;
        for (std::size_t i = first; i < p; ++i) v = v * 10 + (s_[i] - '0');
        pos_ = p;
        return negative ? -v : v;
    }

    bool atEnd() const { return pos_ == s_.size(); }
    std::size_t pos() const { return pos_; }

private:
    std::string_view s_;
    std::size_t pos_ = 0;
};

bool fitsInt16(int64_t v) { return v >= -32768 && v <= 32767; }

// Builds "what: at column N of `line`" messages.
std::string at(std::string_view what, const Cursor& c, std::string_view line) {
    return std::string(what) + " at column " + std::to_string(c.pos() + 1) + " of \"" + std::string(line) +
           "\"";
}

// One number that must equal `want`; empty when it does.
std::string expectNumber(Cursor& c, int64_t want, std::string_view what, std::string_view line) {
    const std::size_t start = c.pos();
    const std::optional<int64_t> got = c.number();
    if (!got) return at("no plain decimal number for " + std::string(what), c, line);
    if (!fitsInt16(*got)) return at(std::string(what) + " outside 16 bits", c, line);
    if (*got != want) {
        return "column " + std::to_string(start + 1) + ": " + std::string(what) + " is " +
               std::to_string(*got) + ", should be " + std::to_string(want) + " in \"" + std::string(line) +
               "\"";
    }
    return {};
}

std::string expectLiteral(Cursor& c, std::string_view literal, std::string_view line) {
    if (c.take(literal)) return {};
    return at("expected \"" + std::string(literal) + "\"", c, line);
}

std::string checkCoordinate(Cursor& c, TextForm form, bool isX, int64_t screen, TextOrigin o,
                            std::string_view line) {
    const int64_t origin = isX ? o.XK : o.YK;
    const char* what = isX ? "X" : "Y";
    std::string fault;
    switch (form) {
        case TextForm::Absolute: return expectNumber(c, screen, what, line);
        case TextForm::Value:
            fault = expectLiteral(c, isX ? "XK+" : "YK+", line);
            if (fault.empty()) fault = expectNumber(c, screen - origin, what, line);
            return fault;
        case TextForm::Slider:
            fault = expectLiteral(c, isX ? "XK+(" : "YK+(", line);
            if (fault.empty()) fault = expectNumber(c, screen - origin, what, line);
            if (fault.empty()) fault = expectLiteral(c, ")", line);
            return fault;
    }
    return "unknown form";
}

std::string checkLine(std::string_view line, const ExpectedLine& e, TextForm form, TextOrigin o) {
    Cursor c(line);
    std::string fault = expectLiteral(c, e.fill ? "setfillstyle(1," : "setcolor(", line);
    if (fault.empty()) fault = expectNumber(c, e.colour, "colour", line);
    if (fault.empty()) fault = expectLiteral(c, ");", line);
    if (fault.empty()) fault = expectLiteral(c, e.call, line);
    for (int i = 0; i < e.points && fault.empty(); ++i) {
        if (i > 0) fault = expectLiteral(c, ",", line);
        const auto k = static_cast<std::size_t>(i);
        if (fault.empty()) fault = checkCoordinate(c, form, true, e.x[k], o, line);
        if (fault.empty()) fault = expectLiteral(c, ",", line);
        if (fault.empty()) fault = checkCoordinate(c, form, false, e.y[k], o, line);
    }
    for (int i = 0; i < e.extras && fault.empty(); ++i) {
        fault = expectLiteral(c, ",", line);
        if (fault.empty()) fault = expectNumber(c, e.extra[static_cast<std::size_t>(i)], "argument", line);
    }
    if (fault.empty()) fault = expectLiteral(c, ");", line);
    if (fault.empty() && !c.atEnd()) fault = at("text after the statement", c, line);
    return fault;
}

// Walks one list's records against the next lines of `rest`, consuming them.
template <class Record>
std::string checkList(const ShapeList<Record>& list, std::string_view& rest, std::size_t& lineNo,
                      TextForm form, TextOrigin o) {
    int slot = 0;
    for (const Record& r : list.records()) {
        ++lineNo;
        const ExpectedLine e = expected(r);
        const std::size_t end = rest.find("\r\n");
        const std::string where =
            "line " + std::to_string(lineNo) + " (" + e.kind + " " + std::to_string(slot) + ")";
        if (end == std::string_view::npos) {
            return where + ": the text ends without CR LF before this record's line: \"" + std::string(rest) +
                   "\"";
        }
        const std::string fault = checkLine(rest.substr(0, end), e, form, o);
        if (!fault.empty()) return where + ": " + fault;
        rest.remove_prefix(end + 2);
        ++slot;
    }
    return {};
}

}  // namespace

TextOrigin expectedValueOrigin(const Picture& p) {
    int64_t x = 10000, y = 10000;
    const auto take = [&](int16_t px, int16_t py) {
        x = std::min<int64_t>(x, px);
        y = std::min<int64_t>(y, py);
    };
    for (const LineRecord& r : p.Lines.records()) take(r.X1, r.Y1), take(r.X2, r.Y2);
    for (const RectangleRecord& r : p.Rectangles.records()) take(r.X1, r.Y1), take(r.X2, r.Y2);
    for (const EllipseRecord& r : p.Ellipses.records()) take(r.X1, r.Y1);
    for (const CircleRecord& r : p.Circles.records()) take(r.X, r.Y);
    for (const FillRecord& r : p.Fills.records()) take(r.X, r.Y);
    return {x / 10, y / 10};
}

std::string checkProgramText(const Picture& p, TextForm form, TextOrigin o, std::string_view text) {
    // Only printable ASCII, and CR and LF only as a pair.
    for (std::size_t i = 0; i < text.size(); ++i) {
        const auto c = static_cast<unsigned char>(text[i]);
        if (c == '\r') {
            if (i + 1 >= text.size() || text[i + 1] != '\n') return "stray CR at byte " + std::to_string(i);
        } else if (c == '\n') {
            if (i == 0 || text[i - 1] != '\r') return "stray LF at byte " + std::to_string(i);
        } else if (c < 0x20 || c > 0x7E) {
            return "byte " + std::to_string(c) + " at byte " + std::to_string(i);
        }
    }

    std::string_view rest = text;
    if (form != TextForm::Absolute) {
        // The origin line has no line break of its own: the first record's
        // colour prefix follows on the same line.
        Cursor c(rest);
        std::string fault = expectLiteral(c, "XK:=", "origin line");
        if (fault.empty()) fault = expectNumber(c, o.XK, "XK", "origin line");
        if (fault.empty()) fault = expectLiteral(c, "; YK:=", "origin line");
        if (fault.empty()) fault = expectNumber(c, o.YK, "YK", "origin line");
        if (fault.empty()) fault = expectLiteral(c, ";", "origin line");
        if (!fault.empty()) return "line 1: " + fault + ": \"" + std::string(text.substr(0, 80)) + "\"";
        rest.remove_prefix(c.pos());
    }

    std::size_t lineNo = 0;
    std::string fault = checkList(p.Lines, rest, lineNo, form, o);
    if (fault.empty()) fault = checkList(p.Rectangles, rest, lineNo, form, o);
    if (fault.empty()) fault = checkList(p.Ellipses, rest, lineNo, form, o);
    if (fault.empty()) fault = checkList(p.Circles, rest, lineNo, form, o);
    if (fault.empty()) fault = checkList(p.Fills, rest, lineNo, form, o);
    if (!fault.empty()) return fault;
    if (!rest.empty()) {
        return "text left after the last of " + std::to_string(lineNo) + " records: \"" +
               std::string(rest.substr(0, 80)) + "\"";
    }
    return {};
}

}  // namespace pasdraw::fuzz
