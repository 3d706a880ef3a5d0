#include "document/recovery.h"

#include <algorithm>
#include <charconv>
#include <iterator>
#include <limits>
#include <type_traits>
#include <utility>

#include "document/document.h"
#include "kinds/kinds.h"

namespace pasdraw {

namespace {

constexpr std::string_view Magic = "pasdraw recovery ";

// The optional "form" line's words; a copy of Generate's text (or none) has
// no such line, as copies made before the line existed.
constexpr std::pair<GeneratedForm, std::string_view> FormWords[] = {{GeneratedForm::Value, "value"},
                                                                    {GeneratedForm::Slider, "sliders"}};

void put(std::string& out, int64_t v) {
    out += ' ';
    out += std::to_string(v);
}

// Reads the format line by line; the first fault stops it.
class Reader {
public:
    explicit Reader(std::string_view bytes) : rest_(bytes) {}
    bool failed() const { return !problem_.empty(); }
    const std::string& problem() const { return problem_; }
    void fail(std::string why) {
        if (problem_.empty()) problem_ = std::move(why);
    }

    // Whether the next line starts with `word` and a space.
    bool next(std::string_view word) const {
        return !failed() && rest_.starts_with(word) && rest_.substr(word.size()).starts_with(' ');
    }

    // A line starting with `word`, the rest of it after one space; any line
    // for an empty word.
    std::string_view line(std::string_view word) {
        const std::size_t end = rest_.find('\n');
        const std::string_view l = rest_.substr(0, end);
        if (failed() || end == std::string_view::npos || !l.starts_with(word) ||
            (!word.empty() && l.size() > word.size() && l[word.size()] != ' ')) {
            fail("expected \"" + std::string(word) + "\"");
            return {};
        }
        rest_.remove_prefix(end + 1);
        if (word.empty()) return l;
        return l.size() > word.size() ? l.substr(word.size() + 1) : std::string_view();
    }

    // The next number of a line, within the range of T.
    template <class T>
    T number(std::string_view& from) {
        while (from.starts_with(' ')) from.remove_prefix(1);
        int64_t v = 0;
        const auto [end, ec] = std::from_chars(from.data(), from.data() + from.size(), v);
        if (failed() || ec != std::errc() || v < std::numeric_limits<T>::min() ||
            v > std::numeric_limits<T>::max()) {
            fail("a number is damaged or out of range");
            return T{};
        }
        from.remove_prefix(static_cast<std::size_t>(end - from.data()));
        return static_cast<T>(v);
    }

    // `size` bytes and the line break after them.
    std::string bytes(std::size_t size) {
        if (failed() || size >= rest_.size() || rest_[size] != '\n') {
            fail("a text is cut short");
            return {};
        }
        std::string s(rest_.substr(0, size));
        rest_.remove_prefix(size + 1);
        return s;
    }
    bool atEnd() const { return rest_.empty(); }

private:
    std::string_view rest_;
    std::string problem_;
};

template <class Record>
void writeList(std::string& out, const char* plural, const ShapeList<Record>& list) {
    out += plural;
    put(out, list.count());
    out += '\n';
    for (const Record& r : list.records()) {
        std::string l;
        KindFor<Record>::fields(r, [&l](auto v) { put(l, v); });
        out += l.substr(1) + '\n';
    }
}

// How many of a kind's fields a version-1 file holds: the five kinds it
// knew, without the style fields that came after them. 0: the kind has no
// list there.
template <class Record>
constexpr int version1Fields() {
    if constexpr (std::is_same_v<Record, LineRecord> || std::is_same_v<Record, RectangleRecord>) return 6;
    if constexpr (std::is_same_v<Record, EllipseRecord>) return 8;
    if constexpr (std::is_same_v<Record, CircleRecord>) return 5;
    if constexpr (std::is_same_v<Record, FillRecord>) return 6;
    return 0;
}

// Reads the first `fields` fields of each record, or all of them for -1;
// the rest keep their defaults.
template <class Record>
void readList(Reader& in, const char* plural, ShapeList<Record>& list, int fields) {
    std::string_view head = in.line(plural);
    const auto n = in.number<int16_t>(head);
    if (n < 0 || n > ListCapacity) in.fail(std::string("too many ") + plural);
    for (int i = 0; i < n && !in.failed(); ++i) {
        std::string_view l = in.line("");
        Record r{};
        int field = 0;
        KindFor<Record>::fields(r, [&](auto& v) {
            if (fields >= 0 && field++ >= fields) return;
            v = in.number<std::remove_reference_t<decltype(v)>>(l);
        });
        if (!in.failed() && !l.empty()) in.fail(std::string("a record of the ") + plural + " is too long");
        list.append(r);
    }
}

}  // namespace

RecoveredWork recoverableWork(const Document& document, int64_t now) {
    RecoveredWork work;
    work.picture->replaceShapes(document.picture());
    work.text = document.text();
    work.XK = document.XK();
    work.YK = document.YK();
    work.sourcePath = document.sourcePath();
    work.savedAt = now;
    work.textIsStale = document.textIsStale();
    work.form = document.lastForm();
    return work;
}

std::string recoveryBytes(const RecoveredWork& work) {
    std::string out(Magic);
    out += std::to_string(RecoveryVersion) + '\n';
    out += "saved-at";
    put(out, work.savedAt);
    out += "\norigin";
    out += work.XK ? " " + std::to_string(*work.XK) : std::string(" none");
    put(out, work.YK);
    out += "\nstale";
    put(out, work.textIsStale ? 1 : 0);
    for (const auto& [form, word] : FormWords) {
        if (form == work.form) out += "\nform " + std::string(word);
    }
    out += "\nlast-colour";
    put(out, work.picture->state.LastColorIndex);
    put(out, work.picture->state.LastColorRGB);
    out += "\nsource";
    put(out, static_cast<int64_t>(work.sourcePath.size()));
    out += '\n' + work.sourcePath + "\ntext";
    put(out, static_cast<int64_t>(work.text.size()));
    out += '\n' + work.text + '\n';
    // One list per kind, in the order of Kinds, each headed by its plural.
    const Picture& p = *work.picture;
    p.forEachList([&out](Kind kind, const auto& list) { writeList(out, kindPlural(kind), list); });
    out += "end\n";
    return out;
}

RecoveryRead readRecovery(std::string_view bytes) {
    RecoveryRead result;
    if (bytes.size() > MaxRecoveryBytes) {
        result.problem = "the recovery file is too large";
        return result;
    }
    Reader in(bytes);
    std::string_view version = in.line(Magic.substr(0, Magic.size() - 1));
    const auto v = in.number<int32_t>(version);
    if (!in.failed() && v > RecoveryVersion) {
        result.problem = "the recovery file comes from a newer version of pasdraw";
        return result;
    }
    if (!in.failed() && v != RecoveryVersion && v != 1) in.fail("unknown version");
    RecoveredWork work;
    std::string_view l = in.line("saved-at");
    work.savedAt = in.number<int64_t>(l);
    l = in.line("origin");
    if (l.starts_with("none ")) {
        l.remove_prefix(4);
    } else {
        work.XK = in.number<int32_t>(l);
    }
    work.YK = in.number<int16_t>(l);
    l = in.line("stale");
    const auto stale = in.number<int8_t>(l);
    if (stale != 0 && stale != 1) in.fail("the stale mark is neither 0 nor 1");
    work.textIsStale = stale == 1;
    if (in.next("form")) {
        l = in.line("form");
        const auto* known = std::find_if(std::begin(FormWords), std::end(FormWords),
                                         [l](const auto& f) { return f.second == l; });
        if (known == std::end(FormWords)) in.fail("the text's form is unknown");
        work.form = known != std::end(FormWords) ? known->first : GeneratedForm::None;
    }
    l = in.line("last-colour");
    work.picture->state.LastColorIndex = in.number<int16_t>(l);
    work.picture->state.LastColorRGB = in.number<int32_t>(l);
    l = in.line("source");
    work.sourcePath = in.bytes(in.number<uint32_t>(l));
    l = in.line("text");
    work.text = in.bytes(in.number<uint32_t>(l));
    Picture& p = *work.picture;
    if (v == 1) {
        // Its five lists in the order they have in WalkOrder too.
        p.forEachList([&in]([[maybe_unused]] Kind kind, auto& list) {
            constexpr int fields = version1Fields<typename std::decay_t<decltype(list)>::value_type>();
            if constexpr (fields > 0) readList(in, kindPlural(kind), list, fields);
        });
    } else {
        p.forEachList([&in](Kind kind, auto& list) { readList(in, kindPlural(kind), list, -1); });
    }
    in.line("end");
    if (!in.failed() && !in.atEnd()) in.fail("something follows the end");
    if (in.failed()) {
        result.problem = "the recovery file is damaged: " + in.problem();
        return result;
    }
    result.work = std::move(work);
    return result;
}

}  // namespace pasdraw
