// What the program's window shows, as the user sees it: every colour index,
// a pattern fill, and a background colour set after drawing (which recolours
// index 0 only, and not at all past the 256-entry table), compared with
// BgiScreen's pixels through windowRgb.
#include <gtest/gtest.h>

#include "bgi_calls.h"
#include "support/bgi_reference.h"
#include "support/pixel_diff.h"

namespace pasdraw {
namespace {

using testing::BgiCall;
using testing::Op;

void expectWindowMatches(const std::vector<BgiCall>& calls) {
    testing::ReferenceRig rig;
    if (!rig.problem().empty()) GTEST_SKIP() << rig.problem();
    const std::string program =
        "uses cthreads,ptcgraph,ptccrt;\nvar gd,gm:smallint;\nbegin\ngd:=VGA; gm:=VGAHi; "
        "initgraph(gd,gm,'');\n" +
        testing::pascal(calls) + "\nrepeat until keypressed;\nend.\n";
    std::string error;
    const std::vector<uint32_t> window = testing::captureWindow(rig.fpc(), rig.display(), program, error);
    ASSERT_FALSE(window.empty()) << error;

    BgiScreen screen;
    testing::apply(screen, calls);
    std::vector<uint32_t> ours(window.size());
    for (std::size_t i = 0; i < ours.size(); ++i) ours[i] = screen.windowRgb(screen.pixels()[i]);
    const testing::PixelDiff d = testing::diffPixels(window, ours, "window", true);
    EXPECT_EQ(d.count, 0) << d.first;
}

std::vector<BgiCall> everyColour(int background) {
    std::vector<BgiCall> calls;
    for (int c = 0; c < 16; ++c) {
        calls.push_back({Op::SetFillStyle, {1, c}});
        calls.push_back({Op::Bar, {c * 40, 0, c * 40 + 39, 100}});
    }
    calls.push_back({Op::SetColor, {14}});
    calls.push_back({Op::Circle, {320, 300, 120}});
    calls.push_back({Op::SetFillStyle, {9, 4}});
    calls.push_back({Op::FloodFill, {320, 300, 14}});
    calls.push_back({Op::SetColor, {20}});
    calls.push_back({Op::Line, {0, 479, 639, 120}});
    calls.push_back({Op::SetBkColor, {background}});
    return calls;
}

TEST(BgiWindow, EveryColourOnBlack) { expectWindowMatches(everyColour(0)); }

// After setbkcolor(3) the black pixels show cyan, the cyan ones stay cyan.
TEST(BgiWindow, BackgroundSetAfterDrawing) { expectWindowMatches(everyColour(3)); }

// Beyond 15 the background comes from the 256-colour table: 20 is a grey.
TEST(BgiWindow, BackgroundFromTheLargeTable) { expectWindowMatches(everyColour(20)); }

// Words past the table leave index 0 showing the grey of 20, and ClearDevice
// still writes their low four bits.
TEST(BgiWindow, BackgroundPastTheTable) {
    std::vector<BgiCall> calls = everyColour(20);
    calls.insert(calls.end(), {{Op::SetBkColor, {300}},
                               {Op::SetBkColor, {65535}},
                               {Op::SetFillStyle, {0, 1}},
                               {Op::Bar, {0, 110, 100, 200}},
                               {Op::SetBkColor, {256}}});
    expectWindowMatches(calls);
}

}  // namespace
}  // namespace pasdraw
