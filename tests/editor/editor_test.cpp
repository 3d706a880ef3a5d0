#include "editor/editor.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "canvas/raster_surface.h"
#include "model/palette.h"
#include "support/colours.h"
#include "support/recording_surface.h"

namespace pasdraw {
namespace {

using testing::Blue;
using testing::LightBlue;
using testing::Red;
using testing::Yellow;

using testing::RecordingSurface;
using Calls = std::vector<std::string>;

// One editor over a picture and a surface of the test's choice.
template <class S>
struct Rig {
    Picture picture;
    S surface;
    Editor editor{picture, surface};

    template <class... A>
    explicit Rig(A... a) : surface(a...) {
        editor.Form_Load();
    }
    ReleaseResult drag(int16_t tool, float x0, float y0, float x1, float y1) {
        editor.selectTool(tool);
        editor.Form_MouseDown(1, 0, x0, y0);
        editor.Form_MouseMove(1, 0, (x0 + x1) / 2, (y0 + y1) / 2);
        editor.Form_MouseMove(1, 0, x1, y1);
        return editor.Form_MouseUp(1, 0, x1, y1);
    }
    void colour(int n) {
        const PaletteEntry& e = Palette.at(static_cast<std::size_t>(n - 1));
        editor.selectColour(e.index, e.rgb);
    }
};

int countColour(const RasterSurface& s, int32_t c) {
    return static_cast<int>(
        std::count(s.bits(), s.bits() + s.width() * s.height(), static_cast<uint32_t>(c)));
}

TEST(Editor, StartUpSelectsBlueNoToolAndDrawsTheFrame) {
    Rig<RasterSurface> rig(15.0f, 15.0f);
    EXPECT_EQ(rig.picture.state.CurrentColorIndex, 1);
    EXPECT_EQ(rig.picture.state.CurrentColorRGB, 0x00C00000);
    EXPECT_EQ(rig.picture.state.Tool, 0);
    EXPECT_EQ(rig.surface.pixel(0, 0), 0x00FFFFFFu);
    EXPECT_EQ(rig.surface.pixel(427, 320), 0x00FFFFFFu);
    const std::vector<uint32_t> before(rig.surface.bits(), rig.surface.bits() + 643 * 531);
    // With no tool a drag leaves nothing behind and stores nothing.
    rig.drag(0, 1000, 1000, 3000, 2000);
    EXPECT_TRUE(rig.picture.empty());
    EXPECT_EQ(std::vector<uint32_t>(rig.surface.bits(), rig.surface.bits() + 643 * 531), before);
}

TEST(Editor, PressStartsADragOnlyOnTheCanvas) {
    struct Case {
        float x, y;
        bool starts;
    };
    const Case cases[] = {{6401, 100, false}, {100, 4801, false},   {6400, 4800, true},  {0, 0, true},
                          {-500, -20, true},  {6400.5f, 10, false}, {-1e9f, -1e9f, true}};
    for (const Case& c : cases) {
        Rig<RecordingSurface> rig;
        rig.picture.state.StartX = 7, rig.picture.state.StartY = 8;
        rig.editor.Form_MouseDown(1, 0, c.x, c.y);
        EXPECT_EQ(rig.picture.state.MouseIsDown, c.starts ? 1 : 0) << c.x << "," << c.y;
        EXPECT_EQ(rig.picture.state.StartX, c.starts ? c.x : 7);
        EXPECT_EQ(rig.picture.state.StartY, c.starts ? c.y : 8);
    }
}

TEST(Editor, ReleaseStoresTheDraggedShape) {
    Rig<RecordingSurface> rig;
    rig.colour(4);
    EXPECT_TRUE(rig.drag(1, 1500, 1500, 3000, 750).committed);
    EXPECT_EQ(rig.picture.Lines[0], (LineRecord{1500, 3000, 1500, 750, 4, Red}));
    // Towards the top-left the corners stay in drag order.
    rig.drag(2, 3000.4f, 2000.5f, 1000.5f, 1500.6f);
    EXPECT_EQ(rig.picture.Rectangles[0], (RectangleRecord{3000, 1000, 2000, 1501, 4, Red}));
    rig.colour(9);
    rig.drag(3, 3000, 2000, 1000, 1500);
    EXPECT_EQ(rig.picture.Ellipses[0], (EllipseRecord{3000, 1000, 2000, 1500, 9, LightBlue, 0, 360}));
    rig.drag(4, 1500, 1500, 1530, 1545);
    EXPECT_EQ(rig.picture.Circles[0], (CircleRecord{1500, 1500, 54, 9, LightBlue}));
    rig.drag(4, 1500, 1500, 1500, 1500);  // a click is a circle of radius 0
    EXPECT_EQ(rig.picture.Circles[1].Radius, 0);
    rig.colour(14);
    rig.drag(5, 100, 200, 2222, 3333);  // the seed is the release point
    EXPECT_EQ(rig.picture.Fills[0], (FillRecord{2222, 3333, 14, Yellow, 9, LightBlue}));
    EXPECT_EQ(rig.picture.state.MouseIsDown, 0);
    EXPECT_EQ(rig.picture.state.LastColorIndex, 9);
}

TEST(Editor, FarOffPointsSaturateInsteadOfWrapping) {
    Rig<RecordingSurface> rig;
    rig.drag(1, -40000, -1e7f, 100, 200);
    EXPECT_EQ(rig.picture.Lines[0], (LineRecord{-32768, 100, -32768, 200, 1, Blue}));
    rig.drag(4, -1e9f, 0, 6400, 0);
    EXPECT_EQ(rig.picture.Circles[0].X, -32768);
    EXPECT_EQ(rig.picture.Circles[0].Radius, 32767);
}

TEST(Editor, FillBeforeAnyOutlineHasBlackBorderAndPaintsNothing) {
    Rig<RasterSurface> rig(15.0f, 15.0f);
    rig.colour(14);
    rig.drag(5, 3000, 3000, 3000, 3000);
    ASSERT_EQ(rig.picture.FillCount(), 1);
    EXPECT_EQ(rig.picture.Fills[0].BorderIndex, 0);
    EXPECT_EQ(rig.picture.Fills[0].BorderRGB, 0);
    EXPECT_EQ(countColour(rig.surface, Yellow), 0);
}

TEST(Editor, FillIsBoundedByTheLastOutlineColourOnly) {
    Rig<RasterSurface> rig(15.0f, 15.0f);
    rig.colour(4);
    rig.drag(2, 600, 600, 2400, 2400);  // red rectangle
    rig.colour(9);
    rig.drag(4, 4500, 3000, 4800, 3300);  // light-blue circle elsewhere
    rig.colour(14);
    rig.drag(5, 1500, 1500, 1500, 1500);  // click inside the rectangle
    const FillRecord& f = rig.picture.Fills[0];
    EXPECT_EQ(f.BorderIndex, 9);
    EXPECT_EQ(f.BorderRGB, 0x00FF0000);
    // Only light-blue pixels stop it: it spreads past the red outline...
    EXPECT_EQ(rig.surface.pixel(100, 100), static_cast<uint32_t>(Yellow));
    EXPECT_EQ(rig.surface.pixel(10, 10), static_cast<uint32_t>(Yellow));
    // ...but not into the light-blue circle.
    EXPECT_EQ(rig.surface.pixel(4650 / 15, 3150 / 15), 0u);
    EXPECT_EQ(rig.surface.fillStyle(), FillTransparent);

    // A fill inside a closed circle of the border colour stays inside it.
    Rig<RasterSurface> other(15.0f, 15.0f);
    other.colour(9);
    other.drag(4, 3000, 2400, 3000, 3000);
    other.colour(14);
    other.drag(5, 3000, 2400, 3000, 2400);
    EXPECT_EQ(other.surface.pixel(200, 160), static_cast<uint32_t>(Yellow));
    EXPECT_EQ(other.surface.pixel(10, 10), 0u);
}

TEST(Editor, ReleaseOffTheCanvasKeepsTheDragAlive) {
    Rig<RecordingSurface> rig;
    rig.editor.selectTool(1);
    rig.editor.Form_MouseDown(1, 0, 1000, 1000);
    rig.editor.Form_MouseMove(1, 0, 6500, 1000);  // off the canvas: no preview
    const ReleaseResult r = rig.editor.Form_MouseUp(1, 0, 6500, 1000);
    EXPECT_FALSE(r.committed);
    EXPECT_EQ(rig.picture.LineCount(), 0);
    EXPECT_EQ(rig.picture.state.MouseIsDown, 1);

    // Back over the canvas with no button: the rubber band still follows.
    rig.surface.calls.clear();
    rig.editor.Form_MouseMove(0, 0, 2000, 1500);
    EXPECT_NE(
        std::find(rig.surface.calls.begin(), rig.surface.calls.end(), "Line 1000 1000 2000 1500 C00000"),
        rig.surface.calls.end());
    // The next release on the canvas commits from the old press point.
    EXPECT_TRUE(rig.editor.Form_MouseUp(1, 0, 2500, 1600).committed);
    EXPECT_EQ(rig.picture.Lines[0], (LineRecord{1000, 2500, 1000, 1600, 1, Blue}));
}

TEST(Editor, ReleaseOnTheCanvasCommitsEvenAfterAPressOffIt) {
    Rig<RecordingSurface> rig;
    rig.editor.selectTool(2);
    rig.editor.Form_MouseDown(1, 0, 7000, 100);  // ignored: no start point yet
    rig.editor.Form_MouseUp(1, 0, 500, 600);
    EXPECT_EQ(rig.picture.Rectangles[0], (RectangleRecord{0, 500, 0, 600, 1, Blue}));
}

TEST(Editor, NoToolCommitsNothing) {
    Rig<RecordingSurface> rig;
    rig.editor.Form_MouseDown(1, 0, 100, 100);
    const ReleaseResult r = rig.editor.Form_MouseUp(1, 0, 200, 200);
    EXPECT_FALSE(r.committed);
    EXPECT_FALSE(r.refused.has_value());
    EXPECT_TRUE(rig.picture.empty());
    EXPECT_EQ(rig.picture.state.MouseIsDown, 1);
}

// The move handler: attributes first, then the erase in black at the previous
// position, then the new band; the first move of a drag erases the figure from
// the new press point to where the previous drag ended.
TEST(Editor, PreviewsEraseThePreviousBandInBlackFirst) {
    struct Case {
        int16_t tool;
        Calls calls;  // after the two fixed calls every move starts with
    };
    const Case cases[] = {
        {1, {"Line 300 450 3000 1500 0", "Line 300 450 600 750 C00000"}},
        {2, {"Box 300 450 3000 1500 0", "Box 300 450 600 750 C00000"}},
        {3, {"ForeColor 0", "Ellipse 200 100 20 30", "ForeColor C00000", "Ellipse 40 50 20 30", "Refresh"}},
        {4, {"Circle 300 450 2896.98 0", "Circle 300 450 424.264 C00000"}},
        {5, {}},
    };
    for (const Case& c : cases) {
        Rig<RecordingSurface> rig;
        rig.picture.state.PrevX = 3000, rig.picture.state.PrevY = 1500;  // where the last drag ended
        rig.editor.selectTool(c.tool);
        rig.editor.Form_MouseDown(1, 0, 300, 450);
        rig.surface.calls.clear();
        rig.editor.Form_MouseMove(1, 0, 600, 750);
        Calls expected = {"FillColor 0", "FillStyle 1"};
        expected.insert(expected.end(), c.calls.begin(), c.calls.end());
        EXPECT_EQ(rig.surface.calls, expected) << "tool " << c.tool;
        const bool moved = c.tool != 5;
        EXPECT_EQ(rig.picture.state.PrevX, moved ? 600 : 3000);
        EXPECT_EQ(rig.picture.state.PrevY, moved ? 750 : 1500);
    }
}

TEST(Editor, MoveSetsAttributesEvenOffTheCanvasAndWithoutADrag) {
    Rig<RecordingSurface> rig;
    rig.editor.selectTool(1);
    rig.editor.Form_MouseMove(0, 0, 9000, 9000);
    rig.editor.Form_MouseMove(0, 0, 100, 100);
    EXPECT_EQ(rig.surface.calls.size(), 1u + 4u);  // start-up frame, then two attribute pairs
    EXPECT_EQ(rig.surface.calls[1], "FillColor 0");
    EXPECT_EQ(rig.surface.calls[4], "FillStyle 1");
}

TEST(Editor, CommitRepaintsForOutlinesAndFloodsForFills) {
    Rig<RecordingSurface> rig;
    rig.colour(9);
    rig.editor.selectTool(1);
    rig.editor.Form_MouseDown(1, 0, 10, 10);
    rig.surface.calls.clear();
    rig.editor.Form_MouseUp(1, 0, 20, 20);
    EXPECT_EQ(rig.surface.calls, (Calls{"FillStyle 1", "FillColor 0", "Cls", "Box 0 0 6400 4800 FFFFFF",
                                        "Line 10 10 20 20 FF0000"}));
    rig.colour(14);
    rig.editor.selectTool(5);
    rig.editor.Form_MouseDown(1, 0, 10, 10);
    rig.surface.calls.clear();
    rig.editor.Form_MouseUp(1, 0, 1507.5f, 22.4f);
    EXPECT_EQ(rig.surface.calls, (Calls{"FillStyle 1", "FillStyle 0", "ForeColor FFFF", "FillColor FFFF",
                                        "FloodFill 100 1 FF0000", "Refresh", "FillStyle 1"}));
}

TEST(Editor, FullListRefusesTheCommitAndRepaintsFromTheModel) {
    Rig<RecordingSurface> rig;
    for (int i = 0; i < ListCapacity; ++i) ASSERT_TRUE(rig.drag(4, 100, 100, 200, 200).committed);
    const Picture before = rig.picture;
    rig.colour(4);
    rig.surface.calls.clear();
    const ReleaseResult r = rig.drag(4, 500, 500, 900, 900);
    EXPECT_FALSE(r.committed);
    ASSERT_TRUE(r.refused.has_value());
    EXPECT_EQ(*r.refused, Kind::Circle);
    EXPECT_EQ(rig.picture.CircleCount(), 1001);
    EXPECT_EQ(rig.picture.Circles.slot(1000), before.Circles.slot(1000));
    EXPECT_EQ(rig.picture.state.LastColorIndex, 1);
    // The rubber band is wiped by a repaint from the model.
    const auto cls = std::find(rig.surface.calls.begin(), rig.surface.calls.end(), "Cls");
    EXPECT_NE(cls, rig.surface.calls.end());
    // Undo frees a slot and the next circle is stored again.
    rig.editor.Command5_Click();
    EXPECT_TRUE(rig.drag(4, 500, 500, 900, 900).committed);
    EXPECT_EQ(rig.picture.Circles[1000].ColorIndex, 4);
}

TEST(Editor, UndoRemovesTheNewestOfTheCurrentKindAndRepaints) {
    Rig<RasterSurface> rig(15.0f, 15.0f);
    rig.colour(4);
    rig.drag(2, 600, 600, 2400, 2400);
    rig.colour(14);
    rig.drag(5, 1500, 1500, 1500, 1500);
    EXPECT_EQ(rig.surface.pixel(100, 100), static_cast<uint32_t>(Yellow));
    rig.editor.selectTool(5);
    rig.editor.Command5_Click();
    EXPECT_EQ(rig.picture.FillCount(), 0);
    EXPECT_EQ(rig.surface.pixel(100, 100), 0u);
    EXPECT_EQ(rig.surface.pixel(40, 100), static_cast<uint32_t>(Red));  // the outline stays
    rig.editor.Command5_Click();                                        // nothing left of this kind
    rig.editor.Command5_Click();
    EXPECT_EQ(rig.picture.FillCount(), 0);
    EXPECT_EQ(rig.picture.RectangleCount(), 1);
}

TEST(Editor, ToolAndColourChosenMidDragApplyToTheRestOfIt) {
    Rig<RecordingSurface> rig;
    rig.editor.selectTool(1);
    rig.editor.Form_MouseDown(1, 0, 100, 100);
    rig.editor.Form_MouseMove(1, 0, 200, 200);
    rig.editor.selectTool(2);
    rig.colour(8);
    rig.editor.Form_MouseUp(1, 0, 300, 300);
    EXPECT_EQ(rig.picture.LineCount(), 0);
    EXPECT_EQ(rig.picture.Rectangles[0], (RectangleRecord{100, 300, 100, 300, 8, 0x00404040}));
}

}  // namespace
}  // namespace pasdraw
