// The grid and Shift as a pure function from the pointer to the point used.
#include "editor/pointer_aid.h"

#include <gtest/gtest.h>

#include <bit>
#include <cmath>
#include <random>

#include "model/picture.h"

namespace pasdraw {
namespace {

TEST(PointerAid, SnapsToTheNearestHundredHalvesToEven) {
    const struct {
        float in, out;
    } cases[] = {{0, 0},       {49.9f, 0},   {50, 0},         {50.1f, 100}, {150, 200},
                 {250, 200},   {1449, 1400}, {1451, 1500},    {-49, 0},     {-151, -200},
                 {6390, 6400}, {4751, 4800}, {-30000, -30000}};
    for (const auto& c : cases) EXPECT_EQ(snapToGrid(c.in), c.out) << c.in;
}

// Shift, and Shift with the grid, from an anchor at (1000, 1000) on the grid.
TEST(PointerAid, ShiftKeepsTheDragStraightSquareOrOnOneAxis) {
    const AidPoint a{1000, 1000};
    const struct {
        Keep keep;
        bool grid;
        AidPoint pointer, out;
    } cases[] = {
        {Keep::Octant, false, {1500, 1100}, {1500, 1000}},  // under 22.5 degrees: horizontal
        {Keep::Octant, false, {1100, 500}, {1000, 500}},    // vertical, upwards
        {Keep::Octant, false, {1400, 1360}, {1380, 1380}},  // diagonal: the mean of across and down
        {Keep::Octant, false, {600, 1420}, {590, 1410}},    // down and to the left
        {Keep::Octant, true, {1400, 1360}, {1400, 1400}},   // the diagonal's length on the grid
        {Keep::Octant, true, {1537, 1090}, {1500, 1000}},
        {Keep::Square, false, {1300, 1800}, {1800, 1800}},  // the longer side wins
        {Keep::Square, false, {700, 1200}, {700, 1300}},
        {Keep::Square, true, {1230, 1470}, {1500, 1500}},
        {Keep::Radius, false, {1131, 1017}, {1131, 1017}},  // a circle is round already
        {Keep::Radius, true, {1240, 1320}, {1240, 1320}},   // radius 400 exactly
        {Keep::Radius, true, {1000, 1262}, {1000, 1300}},
        {Keep::Axis, false, {1497, 1100}, {1497, 1000}},
        {Keep::Axis, false, {1097, 700}, {1000, 700}},
        {Keep::Nothing, false, {1497, 1100}, {1497, 1100}},
    };
    for (const auto& c : cases) {
        const AidPoint got = aided(c.pointer, {a, c.keep, {}}, {c.grid, true});
        EXPECT_EQ(got, c.out) << static_cast<int>(c.keep) << " grid " << c.grid << " at " << c.pointer.x
                              << "," << c.pointer.y << ": " << got.x << "," << got.y;
    }
}

TEST(PointerAid, AGripLandsOnTheGridRatherThanThePointer) {
    // A Select drag pressed 3 right of and 7 above its shape's corner.
    const AidFrame frame{AidPoint{1003, 993}, Keep::Axis, {-3, 7}};
    EXPECT_EQ(aided({1449, 2051}, frame, {true, false}), (AidPoint{1403, 2093}));
    EXPECT_EQ(aided({1449, 1051}, frame, {true, true}), (AidPoint{1403, 993}));
}

TEST(PointerAid, NearTheRightOrBottomEdgeShiftCutsBackRatherThanLeaveTheCanvas) {
    const struct {
        Keep keep;
        AidPoint anchor, pointer, out;
    } cases[] = {
        {Keep::Square, {6200, 1000}, {6400, 1900}, {6400, 1200}},
        {Keep::Square, {1000, 4500}, {1900, 4800}, {1300, 4800}},
        {Keep::Octant, {6300, 1000}, {6400, 1180}, {6400, 1100}},
    };
    for (const auto& c : cases) EXPECT_EQ(aided(c.pointer, {c.anchor, c.keep, {}}, {true, true}), c.out);
    // A radius rounded up past the edge takes the step below.
    const AidPoint rim = aided({6400, 1000}, {AidPoint{6000, 1000}, Keep::Radius, {}}, {true, false});
    EXPECT_EQ(rim, (AidPoint{6400, 1000}));
    const AidPoint cut = aided({6400, 1000}, {AidPoint{5940, 1000}, Keep::Radius, {}}, {true, false});
    EXPECT_EQ(cut, (AidPoint{6340, 1000}));
}

// On random pointers: untouched without the aids; with the grid from an
// anchor on it, on the grid and on the canvas; with Shift, straight or square.
TEST(PointerAid, PropertiesOnRandomPointers) {
    std::mt19937 rng(24);
    const auto uniform = [&rng](int lo, int hi) { return std::uniform_int_distribution<int>(lo, hi)(rng); };
    const auto onGrid = [](float v) { return std::fmod(v, static_cast<float>(GridStep)) == 0.0f; };
    for (int n = 0; n < 20000; ++n) {
        const AidPoint anchor{static_cast<float>(uniform(0, CanvasWidth / GridStep) * GridStep),
                              static_cast<float>(uniform(0, CanvasHeight / GridStep) * GridStep)};
        const AidPoint p{static_cast<float>(uniform(-300, CanvasWidth * 10)) / 10.0f,
                         static_cast<float>(uniform(-300, CanvasHeight * 10)) / 10.0f};
        const Keep keep = static_cast<Keep>(uniform(0, 4));
        const AidFrame frame{uniform(0, 1) ? std::optional(anchor) : std::nullopt,
                             keep,
                             {static_cast<float>(uniform(-50, 50)), static_cast<float>(uniform(-50, 50))}};
        const AidPoint plain = aided(p, frame, {});
        ASSERT_EQ(std::bit_cast<uint32_t>(plain.x), std::bit_cast<uint32_t>(p.x));
        ASSERT_EQ(std::bit_cast<uint32_t>(plain.y), std::bit_cast<uint32_t>(p.y));

        const bool shift = uniform(0, 1) == 1;
        const AidPoint got = aided(p, {anchor, keep, {}}, {true, shift});
        const float dx = got.x - anchor.x, dy = got.y - anchor.y;
        ASSERT_LE(got.x, static_cast<float>(CanvasWidth)) << p.x << "," << p.y;
        ASSERT_LE(got.y, static_cast<float>(CanvasHeight)) << p.x << "," << p.y;
        if (keep == Keep::Radius)
            ASSERT_NEAR(std::fmod(std::hypot(dx, dy) + 1.0f, 100.0f), 1.0f, 0.05f) << p.x << "," << p.y;
        else
            ASSERT_TRUE(onGrid(got.x) && onGrid(got.y))
                << p.x << "," << p.y << " -> " << got.x << "," << got.y;
        if (!shift) continue;
        const bool straight = dx == 0 || dy == 0, diagonal = std::abs(dx) == std::abs(dy);
        const bool kept = keep == Keep::Octant   ? straight || diagonal
                          : keep == Keep::Square ? diagonal
                          : keep == Keep::Axis   ? straight
                                                 : true;
        ASSERT_TRUE(kept) << static_cast<int>(keep) << " at " << p.x << "," << p.y;
    }
}

}  // namespace
}  // namespace pasdraw
