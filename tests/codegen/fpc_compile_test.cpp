// Generated programs must be accepted by a real Pascal compiler. On Linux the
// BGI unit of Free Pascal is ptcgraph (with ptccrt for crt), so the uses line
// is rewritten; "fpc -s" parses and checks the program without linking it.
// A missing compiler or unit is a failure, not a skip: without them nothing
// here is checked.
#include <gtest/gtest.h>

#include <filesystem>
#include <optional>
#include <random>
#include <string>

#include "codegen/codegen.h"
#include "picture_builder.h"
#include "support/free_pascal.h"

namespace pasdraw {
namespace {

namespace fs = std::filesystem;
using testing::compile;
using testing::CompileResult;
using testing::findOnPath;
using testing::forFreePascal;

class FreePascal : public ::testing::Test {
protected:
    void SetUp() override {
        fpc_ = findOnPath("fpc");
        ASSERT_TRUE(fpc_.has_value()) << "fpc (Free Pascal 3.2.2) was not found on PATH; install it to run "
                                         "these tests";
        const CompileResult probe = compile(*fpc_, "uses ptcgraph,ptccrt;\r\nbegin\r\nend.\r\n");
        ASSERT_EQ(probe.exitCode, 0) << "fpc cannot use the units ptcgraph and ptccrt (Debian package "
                                        "fp-units-gfx, e.g. apt-get install -y fp-units-gfx):\n"
                                     << probe.output;
    }

    void expectCompiles(const std::string& form, const std::string& text) {
        SCOPED_TRACE(form);
        const std::string program = forFreePascal(text);
        ASSERT_TRUE(program.starts_with("uses ptcgraph,ptccrt;\r\n"));
        const CompileResult result = compile(*fpc_, program);
        EXPECT_EQ(result.exitCode, 0) << "fpc rejected the program:\n"
                                      << program << "\nfpc said:\n"
                                      << result.output;
    }

    void expectAllFormsCompile(const Picture& p) {
        expectCompiles("absolute", generateAbsolute(p));
        expectCompiles("value", generateValueForm(p, computeOrigin(p)));
        expectCompiles("slider, XK unset", generateSliderForm(p, std::nullopt, 0));
        expectCompiles("slider, XK unset, YK set", generateSliderForm(p, std::nullopt, 240));
        expectCompiles("slider, XK and YK set", generateSliderForm(p, 640, 480));
    }

    std::optional<fs::path> fpc_;
};

// Without this, a harness that never saw fpc's verdict would pass everything.
TEST_F(FreePascal, RejectsABrokenStatement) {
    const CompileResult result = compile(*fpc_, forFreePascal("setcolor(4);line(1,2,3);\r\n"));
    EXPECT_NE(result.exitCode, 0) << result.output;
}

TEST_F(FreePascal, EmptyPicture) { expectAllFormsCompile(*testing::newPicture()); }

// Negative stored coordinates give negative numbers everywhere: absolute
// values, a negative origin, and negative offsets in both origin forms.
TEST_F(FreePascal, NegativeCoordinates) {
    auto p = testing::newPicture();
    testing::addLine(*p, 4, {.X1 = -15, .X2 = 3019, .Y1 = -5, .Y2 = -2000});
    testing::addRectangle(*p, 14, {.X1 = -32768, .X2 = 400, .Y1 = 900, .Y2 = -32768});
    testing::addEllipse(*p, 2, {.X1 = 1530, .X2 = -1000, .Y1 = -1490, .Y2 = 2000});
    testing::addCircle(*p, 9, {.X = -3205, .Y = -2410, .Radius = 1234});
    testing::addFill(*p, 12, -3209, 32767, 9);
    expectAllFormsCompile(*p);
}

TEST_F(FreePascal, EveryKind) {
    auto p = testing::newPicture();
    testing::addSixRecordExample(*p);
    testing::addOneOfEachKind(*p, 150);
    testing::addFill(*p, 15, 10, 10, 0);
    expectAllFormsCompile(*p);
}

// Every kind in random styles, quotes in labels, polygons of up to 32
// corners: the longest lines any form writes.
TEST_F(FreePascal, EveryKindInRandomStyles) {
    std::mt19937 rng(23);
    std::uniform_int_distribution<int> wide(-32768, 32767), canvas(-500, 6900);
    const auto coord = [&] { return static_cast<int16_t>(rng() % 5 == 0 ? wide(rng) : canvas(rng)); };
    auto p = testing::newPicture();
    for (int n = 0; n < 6; ++n)
        for (const KindInfo& k : Kinds)
            testing::addRandom(*p, k.kind, static_cast<int16_t>(1 + n * 2), rng, coord);
    expectAllFormsCompile(*p);
}

}  // namespace
}  // namespace pasdraw
