#include "codegen/codegen.h"

#include <algorithm>
#include <array>
#include <type_traits>

#include "kinds/kinds.h"

namespace pasdraw {

namespace {

template <class Record>
void appendList(std::string& text, const ShapeList<Record>& list, const CoordinateStyle& style) {
    for (const Record& r : list.records()) {
        LineBuffer line;
        KindFor<Record>::write(line, style, r);
        line.text("\r\n");
        text.append(line.view());
    }
}

// The origin line has no line break: the first record's colour prefix follows
// on the same line.
std::string generate(const Picture& picture, const CoordinateStyle& style, bool withOriginLine) {
    std::string text;
    text.reserve(32 + static_cast<std::size_t>(picture.recordCount()) * style.recordEstimate);
    if (withOriginLine) {
        LineBuffer line;
        line.text("XK:=");
        line.number(style.XK);
        line.text("; YK:=");
        line.number(style.YK);
        line.text(";");
        text.append(line.view());
    }
    // Kind order is fixed; the model does not know which kind was drawn first.
    picture.forEachList([&](Kind, const auto& list) { appendList(text, list, style); });
    return text;
}

}  // namespace

std::string statementFor(const ShapeRecord& record) {
    LineBuffer line;
    std::visit(
        [&line](const auto& r) {
            KindFor<std::decay_t<decltype(r)>>::write(line, CoordinateStyle{"", "", "", 0, 0, 0}, r);
        },
        record);
    return std::string(line.view());
}

std::string generateAbsolute(const Picture& picture) {
    return generate(picture, CoordinateStyle{"", "", "", 0, 0, 44}, false);
}

namespace {

// The smallest X and Y over the points that take part in the origin.
// Starting at 10000 rather than at the largest int16 is deliberate: an empty
// picture (or one lying wholly beyond x or y 10000) gets the origin 1000.
struct Minimum {
    int16_t x = 10000;
    int16_t y = 10000;
    void take(int16_t px, int16_t py) {
        x = std::min(x, px);
        y = std::min(y, py);
    }
};

}  // namespace

Origin computeOrigin(const Picture& picture) {
    Minimum m;
    const auto take = [&m](int16_t x, int16_t y) { m.take(x, y); };
    picture.forEachList([&take](Kind, const auto& list) {
        using Record = typename std::decay_t<decltype(list)>::value_type;
        for (const Record& r : list.records()) KindFor<Record>::originPoints(r, take);
    });
    // The minimum is taken over raw twips and only then scaled.
    return Origin{toScreen(m.x), toScreen(m.y)};
}

std::string generateValueForm(const Picture& picture, Origin origin) {
    return generate(picture, CoordinateStyle{"XK+", "YK+", "", origin.XK, origin.YK, 56}, true);
}

std::string generateSliderForm(const Picture& picture, std::optional<int32_t> XK, int16_t YK) {
    return generate(picture, CoordinateStyle{"XK+(", "YK+(", ")", XK.value_or(0), YK, 64}, true);
}

namespace {

constexpr std::string_view ProgramHeader =
    "uses graph,crt;\r\n"
    "var XK,YK,i,m,d,err:integer;\r\n"
    "begin\r\n"
    "m:=detect; initgraph(m,d,''); err:=graphresult;\r\n"
    "if (graphresult <> grOk) then halt;\r\n"
    " ";
// Nothing goes between the text and the trailer: it starts a line of its
// own only when the text ends with CR LF.
constexpr std::string_view ProgramTrailer = "repeat until keypressed; end.\r\n";

// Whether `text` starts with `fixed`, reading each CR LF of `fixed` as CR LF
// or LF alone; returns the length matched.
std::optional<std::size_t> matchFixed(std::string_view text, std::string_view fixed) {
    std::size_t t = 0;
    for (std::size_t f = 0; f < fixed.size(); ++f) {
        if (fixed[f] == '\r' && f + 1 < fixed.size() && fixed[f + 1] == '\n' && t < text.size() &&
            text[t] == '\n') {
            continue;  // LF alone where the file had CR LF
        }
        if (t >= text.size() || text[t] != fixed[f]) return std::nullopt;
        ++t;
    }
    return t;
}

}  // namespace

std::string programFileBytes(std::string_view text1Bytes) {
    std::string file;
    file.reserve(ProgramHeader.size() + text1Bytes.size() + ProgramTrailer.size());
    file.append(ProgramHeader).append(text1Bytes).append(ProgramTrailer);
    return file;
}

std::optional<std::string_view> programFileText(std::string_view file) {
    const std::optional<std::size_t> head = matchFixed(file, ProgramHeader);
    if (!head) return std::nullopt;
    constexpr std::string_view end = "repeat until keypressed; end.";
    for (std::string_view ending : {"\r\n", "\n", ""}) {
        if (file.size() >= *head + end.size() + ending.size() && file.ends_with(ending) &&
            file.substr(0, file.size() - ending.size()).ends_with(end)) {
            return file.substr(*head, file.size() - ending.size() - end.size() - *head);
        }
    }
    return std::nullopt;
}

}  // namespace pasdraw
