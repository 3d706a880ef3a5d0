// The fuzz driver trusts checkProgramText to notice a wrong text; these cases
// make sure it does, so that a checker that accepts everything cannot pass the
// fuzzing off as clean.
#include "fuzz/program_text_check.h"

#include <gtest/gtest.h>

#include <functional>
#include <optional>
#include <string>

#include "codegen/codegen.h"
#include "codegen/picture_builder.h"

namespace pasdraw {
namespace {

using fuzz::checkProgramText;
using fuzz::TextForm;
using fuzz::TextOrigin;

struct FormCase {
    const char* name;
    TextForm form;
    TextOrigin origin;
    std::string text;
};

std::vector<FormCase> formsOf(const Picture& p) {
    const Origin o = computeOrigin(p);
    return {
        {"absolute", TextForm::Absolute, {}, generateAbsolute(p)},
        {"value", TextForm::Value, {o.XK, o.YK}, generateValueForm(p, o)},
        {"slider", TextForm::Slider, {37, 480}, generateSliderForm(p, 37, 480)},
        {"slider, XK unset", TextForm::Slider, {0, 12}, generateSliderForm(p, std::nullopt, 12)},
    };
}

// Replaces the first occurrence of `from` at or after `after`; nullopt when
// there is none, so a mutation that does not fit a form is left out.
std::optional<std::string> replaced(std::string s, const std::string& from, const std::string& to,
                                    std::size_t after = 0) {
    const std::size_t at = s.find(from, after);
    if (at == std::string::npos) return std::nullopt;
    return s.replace(at, from.size(), to);
}

std::unique_ptr<Picture> everyKind() {
    auto p = testing::newPicture();
    testing::addSixRecordExample(*p);
    testing::addOneOfEachKind(*p, 1500);
    testing::addExtremes(*p);
    return p;
}

TEST(ProgramTextCheck, AcceptsWhatTheGeneratorsWrite) {
    const auto p = everyKind();
    for (const FormCase& f : formsOf(*p)) {
        EXPECT_EQ(checkProgramText(*p, f.form, f.origin, f.text), "") << f.name << "\n" << f.text;
    }
    // Empty picture: nothing, or only the origin line without a line break.
    const auto empty = testing::newPicture();
    for (const FormCase& f : formsOf(*empty)) {
        EXPECT_EQ(checkProgramText(*empty, f.form, f.origin, f.text), "") << f.name;
    }
}

TEST(ProgramTextCheck, RejectsEveryKindOfDamage) {
    using Mutation = std::function<std::optional<std::string>(const std::string&)>;
    struct Case {
        const char* name;
        Mutation mutate;
    };
    const Case cases[] = {
        {"last CR dropped",
         [](const std::string& t) { return std::optional(t.substr(0, t.size() - 2) + "\n"); }},
        {"last line end dropped",
         [](const std::string& t) { return std::optional(t.substr(0, t.size() - 2)); }},
        {"a CR LF turned into LF",
         [](const std::string& t) { return replaced(t, "\r\n", "\n", t.size() / 2); }},
        {"a stray CR", [](const std::string& t) { return replaced(t, ");", ");\r", t.size() / 3); }},
        {"an empty line", [](const std::string& t) { return replaced(t, "\r\n", "\r\n\r\n", t.size() / 2); }},
        {"the last line repeated",
         [](const std::string& t) {
             const std::size_t start = t.rfind("\r\n", t.size() - 3) + 2;
             return std::optional(t + t.substr(start));
         }},
        {"the last line lost",
         [](const std::string& t) { return std::optional(t.substr(0, t.rfind("\r\n", t.size() - 3) + 2)); }},
        {"a line out of kind order",
         [](const std::string& t) -> std::optional<std::string> {
             // Swap the first line statement's line with the first rectangle's.
             const std::size_t r = t.find("setcolor(14);rectangle(");
             if (r == std::string::npos) return std::nullopt;
             const std::size_t rEnd = t.find("\r\n", r) + 2;
             const std::size_t l = t.rfind("\r\n", r - 3) + 2;  // the line just before the rectangle
             return t.substr(0, l) + t.substr(r, rEnd - r) + t.substr(l, r - l) + t.substr(rEnd);
         }},
        {"an X off by one", [](const std::string& t) { return replaced(t, "(10,200,", "(11,200,"); }},
        {"a Y off by one", [](const std::string& t) { return replaced(t, ",200,301,", ",201,301,"); }},
        {"an offset off by one", [](const std::string& t) { return replaced(t, "XK+0,", "XK+1,"); }},
        {"a slider offset off by one",
         [](const std::string& t) { return replaced(t, "line(XK+(-27),", "line(XK+(-26),"); }},
        {"the ellipse centre rounded the other way",
         [](const std::string& t) { return replaced(t, "ellipse(126,175,", "ellipse(127,175,"); }},
        {"a radius off by one", [](const std::string& t) { return replaced(t, ",123);", ",124);"); }},
        {"a colour changed",
         [](const std::string& t) { return replaced(t, "setcolor(9);", "setcolor(8);"); }},
        {"a fill's border changed", [](const std::string& t) { return replaced(t, ",9);\r\n", ",8);\r\n"); }},
        {"a fill prefix as an outline's",
         [](const std::string& t) { return replaced(t, "setfillstyle(1,12);", "setcolor(12);"); }},
        {"a blank inserted", [](const std::string& t) { return replaced(t, "line(", "line( "); }},
        {"a plus sign", [](const std::string& t) { return replaced(t, "(10,200,", "(+10,200,"); }},
        {"a leading zero", [](const std::string& t) { return replaced(t, "(10,200,", "(010,200,"); }},
        {"minus zero", [](const std::string& t) { return replaced(t, ",0,360,", ",-0,360,"); }},
        {"a number beyond 16 bits",
         [](const std::string& t) { return replaced(t, "(10,200,", "(32768,200,"); }},
        {"bare offset in the slider form", [](const std::string& t) { return replaced(t, "XK+(", "XK+"); }},
        {"parenthesised offset in the value form",
         [](const std::string& t) { return replaced(t, "XK+", "XK+("); }},
        {"a wrong origin", [](const std::string& t) { return replaced(t, "; YK:=", "1; YK:="); }},
        {"a line break after the origin line",
         [](const std::string& t) { return replaced(t, ";setcolor(", ";\r\nsetcolor("); }},
        {"a byte outside ASCII", [](const std::string& t) { return replaced(t, "line(", "line\xA0("); }},
        {"text after a statement", [](const std::string& t) { return replaced(t, ");\r\n", ");;\r\n"); }},
    };
    const auto p = everyKind();
    for (const Case& c : cases) {
        int applied = 0;
        for (const FormCase& f : formsOf(*p)) {
            const std::optional<std::string> damaged = c.mutate(f.text);
            if (!damaged || *damaged == f.text) continue;
            ++applied;
            EXPECT_NE(checkProgramText(*p, f.form, f.origin, *damaged), "")
                << c.name << " in the " << f.name << " form went unnoticed:\n"
                << *damaged;
        }
        EXPECT_GT(applied, 0) << c.name << " fits no form; the case checks nothing";
    }
}

// "Value" takes its origin from the press corner of an ellipse only and from a
// circle's centre, never from the release corner or the radius.
TEST(ProgramTextCheck, ValueOriginIgnoresReleaseCornerAndRadius) {
    auto p = testing::newPicture();
    testing::addEllipse(*p, 2, {.X1 = 2000, .X2 = 5, .Y1 = 1000, .Y2 = 7});
    testing::addCircle(*p, 3, {.X = 3000, .Y = 1500, .Radius = 2999});
    const TextOrigin o = fuzz::expectedValueOrigin(*p);
    EXPECT_EQ(o.XK, 200);
    EXPECT_EQ(o.YK, 100);
    const TextOrigin none = fuzz::expectedValueOrigin(*testing::newPicture());
    EXPECT_EQ(none.XK, 1000);
    EXPECT_EQ(none.YK, 1000);
}

}  // namespace
}  // namespace pasdraw
