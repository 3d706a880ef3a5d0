// Behaviour of the graph unit pinned from measurements of Free Pascal 3.2.2
// (the numbers below were read back from compiled programs), so a change to
// BgiScreen that breaks one shows here without fpc.
#include "bgi/bgi_screen.h"

#include <gtest/gtest.h>

#include <array>
#include <random>
#include <set>
#include <utility>

#include "bgi_calls.h"
#include "support/pixel_diff.h"

namespace pasdraw {
namespace {

using testing::BgiCall;
using testing::Op;
using Points = std::set<std::pair<int, int>>;

Points lit(const BgiScreen& s) {
    Points p;
    for (int y = 0; y < BgiScreen::Height; ++y)
        for (int x = 0; x < BgiScreen::Width; ++x)
            if (s.pixel(x, y) != 0) p.insert({x, y});
    return p;
}

int count(const BgiScreen& s, uint8_t colour) {
    int n = 0;
    for (int i = 0; i < BgiScreen::Width * BgiScreen::Height; ++i) n += s.pixels()[i] == colour;
    return n;
}

BgiScreen drawn(const std::vector<BgiCall>& calls) {
    BgiScreen s;
    testing::apply(s, calls);
    return s;
}

TEST(BgiScreen, StateAfterInitgraph) {
    const BgiScreen s;
    EXPECT_EQ(s.color(), 15);
    EXPECT_EQ(s.backgroundColour(), 0);
    EXPECT_EQ(s.fillPattern(), 1);
    EXPECT_EQ(s.fillColour(), 15);
    EXPECT_EQ(s.currentX(), 0);
    EXPECT_EQ(s.currentY(), 0);
    EXPECT_EQ(count(s, 0), BgiScreen::Width * BgiScreen::Height);
    EXPECT_EQ(s.work(), 0u);
}

// Colour words keep only their low four bits when they draw.
TEST(BgiScreen, ColoursAboveFifteen) {
    const struct {
        uint16_t word;
        uint8_t index;
    } table[] = {{0, 0}, {15, 15}, {16, 0}, {17, 1}, {20, 4}, {255, 15}, {65535, 15}};
    for (const auto& t : table) {
        SCOPED_TRACE(t.word);
        const BgiScreen s = drawn({{Op::SetColor, {t.word}},
                                   {Op::Line, {10, 10, 20, 10}},
                                   {Op::PutPixel, {5, 5, t.word}},
                                   {Op::SetBkColor, {t.word}},
                                   {Op::Bar, {30, 30, 30, 30}}});
        EXPECT_EQ(s.pixel(15, 10), t.index);
        EXPECT_EQ(s.pixel(5, 5), t.index);
        BgiScreen cleared;
        cleared.SetBkColor(t.word);
        cleared.ClearDevice();
        EXPECT_EQ(cleared.pixel(320, 240), t.index);
    }
}

// setfillstyle drops the whole call for a pattern above 12 or a colour
// above 15; the user pattern 12 is solid until one is defined.
TEST(BgiScreen, FillStyleRejections) {
    const struct {
        uint16_t pattern, colour, wantPattern, wantColour;
    } table[] = {{2, 16, 3, 9}, {13, 4, 3, 9}, {65535, 1, 3, 9}, {12, 4, 12, 4}, {0, 15, 0, 15}};
    for (const auto& t : table) {
        BgiScreen s;
        s.SetFillStyle(3, 9);
        s.SetFillStyle(t.pattern, t.colour);
        EXPECT_EQ(s.fillPattern(), t.wantPattern) << t.pattern << "," << t.colour;
        EXPECT_EQ(s.fillColour(), t.wantColour) << t.pattern << "," << t.colour;
    }
    BgiScreen user;
    user.SetFillStyle(12, 4);
    user.Bar(0, 0, 7, 7);
    EXPECT_EQ(count(user, 4), 64);
}

// The 0 bits of a pattern write the background index; the tiling starts at
// the screen's origin whatever the bar's corner.
TEST(BgiScreen, PatternsTileFromTheOrigin) {
    BgiScreen s;
    s.SetBkColor(5);
    s.SetFillStyle(3, 14);  // one pixel a row, moving left as y grows
    s.Bar(3, 2, 50, 40);
    EXPECT_EQ(s.pixel(5, 2), 14);
    EXPECT_EQ(s.pixel(4, 3), 14);
    EXPECT_EQ(s.pixel(6, 2), 5);
    EXPECT_EQ(s.pixel(13, 2), 14);
    EXPECT_EQ(s.pixel(2, 2), 0);  // left of the bar
    EXPECT_EQ(count(s, 14) + count(s, 5), 48 * 39);
}

// Lines: clipped end points, Bresenham from the first point, ties step.
TEST(BgiScreen, LinePixels) {
    const struct {
        int16_t x1, y1, x2, y2;
        Points want;
    } table[] = {
        {10,
         10,
         20,
         14,
         {{10, 10},
          {11, 10},
          {12, 11},
          {13, 11},
          {14, 12},
          {15, 12},
          {16, 12},
          {17, 13},
          {18, 13},
          {19, 14},
          {20, 14}}},
        {0, 0, 4, 2, {{0, 0}, {1, 1}, {2, 1}, {3, 2}, {4, 2}}},  // the tie at x = 1 steps
        {4, 2, 0, 0, {{4, 2}, {3, 1}, {2, 1}, {1, 0}, {0, 0}}},  // ... from either end
        {0, 616, -1, -1937, {{0, 479}}},                         // clipping collapses it
        {-5, -5, 2, 2, {{0, 0}, {1, 1}, {2, 2}}},
        {700, 10, 900, 20, {}},
    };
    for (const auto& t : table) {
        SCOPED_TRACE(::testing::Message() << t.x1 << "," << t.y1 << " " << t.x2 << "," << t.y2);
        EXPECT_EQ(lit(drawn({{Op::Line, {t.x1, t.y1, t.x2, t.y2}}})), t.want);
    }
    // The full 16-bit range across the screen.
    EXPECT_EQ(count(drawn({{Op::Line, {-32768, 240, 32767, 240}}}), 15), 640);
    EXPECT_EQ(count(drawn({{Op::Line, {-32768, -32768, 32767, 32767}}}), 15), 480);
}

TEST(BgiScreen, ScreenEdges) {
    const struct {
        int16_t x, y;
        bool lit;
    } table[] = {{0, 0, true},   {639, 479, true}, {-1, 0, false},          {640, 0, false},
                 {0, -1, false}, {0, 480, false},  {-32768, -32768, false}, {32767, 32767, false}};
    for (const auto& t : table) {
        EXPECT_EQ(count(drawn({{Op::PutPixel, {t.x, t.y, 7}}}), 7), t.lit ? 1 : 0) << t.x << "," << t.y;
    }
    EXPECT_EQ(count(drawn({{Op::Bar, {-5, -5, 700, 3}}}), 15), 640 * 4);
    EXPECT_EQ(count(drawn({{Op::Bar, {60, 50, 20, 10}}}), 15), 41 * 41);  // corners in any order
}

// Each side starts one step past its corner, and a side of no length steps
// backwards: flat and single-point rectangles get stray pixels.
TEST(BgiScreen, RectanglePixels) {
    const struct {
        int16_t x1, y1, x2, y2;
        Points want;
    } table[] = {
        {10, 10, 10, 10, {{9, 10}, {10, 9}, {10, 10}, {10, 11}, {11, 10}}},
        {10, 10, 11, 10, {{10, 10}, {10, 11}, {11, 9}, {11, 10}}},
        {10, 10, 10, 11, {{9, 10}, {10, 10}, {10, 11}, {11, 11}}},
        {11, 11, 10, 10, {{10, 10}, {10, 11}, {11, 10}, {11, 11}}},
        {0, 0, 0, 0, {{0, 0}, {1, 0}, {0, 1}}},
    };
    for (const auto& t : table) {
        SCOPED_TRACE(::testing::Message() << t.x1 << "," << t.y1 << " " << t.x2 << "," << t.y2);
        EXPECT_EQ(lit(drawn({{Op::Rectangle, {t.x1, t.y1, t.x2, t.y2}}})), t.want);
    }
    EXPECT_EQ(lit(drawn({{Op::Rectangle, {10, 10, 20, 20}}})).size(), 40u);
    EXPECT_EQ(lit(drawn({{Op::Rectangle, {20, 20, 10, 10}}})).size(), 40u);
    EXPECT_EQ(lit(drawn({{Op::Rectangle, {10, 10, 20, 10}}})).size(), 13u);
}

TEST(BgiScreen, CurrentPosition) {
    const struct {
        std::vector<BgiCall> calls;
        int16_t x, y;
    } table[] = {
        {{{Op::MoveTo, {10, 10}}, {Op::Line, {20, 20, 30, 40}}}, 10, 10},
        {{{Op::MoveTo, {10, 10}}, {Op::LineTo, {30, 40}}}, 30, 40},
        {{{Op::MoveTo, {10, 10}},
          {Op::Rectangle, {1, 2, 3, 4}},
          {Op::Bar, {1, 2, 3, 4}},
          {Op::Circle, {5, 5, 3}},
          {Op::FloodFill, {300, 300, 15}},
          {Op::PutPixel, {7, 7, 3}}},
         10,
         10},
        {{{Op::MoveTo, {-5, 32767}}}, -5, 32767},
        {{{Op::MoveTo, {9, 9}}, {Op::ClearDevice, {}}}, 0, 0},
    };
    for (const auto& t : table) {
        const BgiScreen s = drawn(t.calls);
        EXPECT_EQ(s.currentX(), t.x) << testing::pascal(t.calls);
        EXPECT_EQ(s.currentY(), t.y) << testing::pascal(t.calls);
    }
}

// Pixel counts of whole and partial curves at radius 100, read back from
// Free Pascal; the angles count modulo 361.
TEST(BgiScreen, CurvePixelCounts) {
    const struct {
        uint16_t st, end, a, b;
        int pixels;
    } table[] = {
        {0, 360, 100, 100, 676},  {0, 90, 100, 100, 170},    {90, 0, 100, 100, 508},  {30, 60, 100, 100, 58},
        {0, 0, 100, 100, 1},      {45, 45, 100, 100, 0},     {90, 90, 100, 100, 0},   {180, 180, 100, 100, 1},
        {360, 0, 100, 100, 0},    {0, 361, 100, 100, 1},     {1, 361, 100, 100, 675}, {0, 721, 100, 100, 676},
        {200, 561, 100, 100, 0},  {0, 65535, 100, 100, 365}, {0, 360, 0, 0, 1},       {0, 360, 0, 3, 12},
        {0, 360, 35, 46340, 960}, {0, 360, 35, 46341, 2},  // the squared radii overflow 32 bits
    };
    for (const auto& t : table) {
        SCOPED_TRACE(::testing::Message() << t.st << "," << t.end << " " << t.a << "x" << t.b);
        EXPECT_EQ(lit(drawn({{Op::Ellipse, {320, 240, t.st, t.end, t.a, t.b}}})).size(),
                  static_cast<std::size_t>(t.pixels));
    }
}

TEST(BgiScreen, CircleRadii) {
    EXPECT_EQ(lit(drawn({{Op::Circle, {20, 20, 0}}})), Points{});
    EXPECT_EQ(lit(drawn({{Op::Circle, {20, 20, 1}}})), (Points{{20, 20}}));
    EXPECT_EQ(lit(drawn({{Op::Circle, {20, 20, 2}}})), (Points{{19, 18},
                                                               {20, 18},
                                                               {21, 18},
                                                               {18, 19},
                                                               {22, 19},
                                                               {18, 20},
                                                               {22, 20},
                                                               {18, 21},
                                                               {22, 21},
                                                               {19, 22},
                                                               {20, 22},
                                                               {21, 22}}));
    // A radius of 65300 (a negative number passed as a word) overflows to a
    // single sample whose 16-bit coordinates wrap onto the screen.
    EXPECT_EQ(lit(drawn({{Op::Circle, {320, 240, 65300}}})), (Points{{84, 240}, {556, 240}}));
}

// A thick curve or filled one with a radius of 0 leaves the lines thin until
// the next SetLineStyle; with no radius of 0 they stay thick.
TEST(BgiScreen, ThickCurvesWithARadiusOf0LeaveTheLinesThin) {
    const BgiCall line{Op::Line, {10, 100, 200, 150}};
    const Points thin = lit(drawn({{Op::SetLineStyle, {1, 0, 1}}, line}));
    const Points thick = lit(drawn({{Op::SetLineStyle, {1, 0, 3}}, line}));
    ASSERT_NE(thin, thick);
    const struct {
        BgiCall curve;
        bool staysThick;
    } table[] = {
        {{Op::Ellipse, {300, 0, 0, 360, 3, 0}}, false},    {{Op::Arc, {300, 0, 10, 100, 0}}, false},
        {{Op::PieSlice, {300, 0, 10, 100, 0}}, false},     {{Op::FillEllipse, {300, 0, 0, 5}}, false},
        {{Op::Sector, {300, 0, 10, 100, 10, 0}}, false},   {{Op::Circle, {300, 0, 0}}, true},
        {{Op::Ellipse, {300, 0, 0, 360, 65535, 3}}, true}, {{Op::PieSlice, {300, 0, 10, 100, 1}}, true},
    };
    for (const auto& t : table) {
        SCOPED_TRACE(testing::pascal(t.curve));
        BgiScreen s;
        testing::apply(s, {{Op::SetLineStyle, {1, 0, 3}}, t.curve, {Op::ClearDevice, {}}, line});
        EXPECT_EQ(lit(s), t.staysThick ? thick : thin);
        testing::apply(s, {{Op::SetLineStyle, {1, 0, 3}}, {Op::ClearDevice, {}}, line});
        EXPECT_EQ(lit(s), thick);
    }
}

TEST(BgiScreen, FloodFill) {
    // A diagonal line holds: the fill is 4-connected.
    BgiScreen diagonal = drawn({{Op::SetColor, {4}},
                                {Op::Line, {10, 0, 0, 10}},
                                {Op::SetFillStyle, {1, 2}},
                                {Op::FloodFill, {0, 0, 4}}});
    EXPECT_EQ(count(diagonal, 2), 55);

    const std::vector<BgiCall> box{
        {Op::SetColor, {4}}, {Op::Rectangle, {0, 0, 12, 8}}, {Op::SetFillStyle, {1, 2}}};
    auto with = [&](std::vector<BgiCall> more) {
        std::vector<BgiCall> calls = box;
        calls.insert(calls.end(), more.begin(), more.end());
        return drawn(calls);
    };
    const struct {
        const char* what;
        std::vector<BgiCall> calls;
        int filled;
    } table[] = {
        {"inside", {{Op::FloodFill, {5, 5, 4}}}, 11 * 7},
        {"through pixels of the fill colour",
         {{Op::SetColor, {2}}, {Op::Line, {6, 1, 6, 7}}, {Op::FloodFill, {3, 4, 4}}},
         11 * 7},
        {"seed off the screen", {{Op::FloodFill, {-5, 5, 4}}}, 0},
        {"border 20 matches no pixel", {{Op::FloodFill, {5, 5, 20}}}, 640 * 480},
        {"seed on the top edge paints its left neighbour too", {{Op::FloodFill, {6, 0, 4}}}, 11 * 7 + 1},
        {"seed on the border colour 0 paints only its left neighbour", {{Op::FloodFill, {6, 4, 0}}}, 1},
    };
    for (const auto& t : table) {
        const BgiScreen s = with(t.calls);
        EXPECT_EQ(count(s, 2), t.filled) << t.what;
    }
    EXPECT_EQ(with({{Op::FloodFill, {6, 0, 4}}}).pixel(5, 0), 2);
    EXPECT_EQ(with({{Op::FloodFill, {6, 4, 0}}}).pixel(5, 4), 2);
}

TEST(BgiScreen, WindowColours) {
    BgiScreen s;
    EXPECT_EQ(s.windowRgb(0), 0x000000u);
    EXPECT_EQ(s.windowRgb(4), 0xA80000u);
    EXPECT_EQ(s.windowRgb(15), 0xFCFCFCu);
    const struct {
        uint16_t bk;
        uint32_t rgb;
    } table[] = {{0, 0x000000},  {4, 0xA80000}, {16, 0x000000}, {20, 0x383838},
                 {32, 0x0000FC}, {255, 0},      {300, 0}};
    for (const auto& t : table) {
        s.SetBkColor(t.bk);
        EXPECT_EQ(s.windowRgb(0), t.rgb) << t.bk;
        EXPECT_EQ(s.windowRgb(4), 0xA80000u) << t.bk;  // only index 0 follows the background
    }
    EXPECT_EQ(StandardPalette[6], 0xAA5500u);
}

// Random calls over the whole 16-bit range: nothing is written outside the
// screen (the sanitizers watch), and the work bound grows with what is drawn.
TEST(BgiScreen, ExtremeArgumentsStayBounded) {
    std::mt19937 gen(11);
    auto any = [&](int lo, int hi) { return std::uniform_int_distribution<int>(lo, hi)(gen); };
    BgiScreen s;
    for (int i = 0; i < 3000; ++i) {
        const int16_t x = static_cast<int16_t>(any(-32768, 32767)),
                      y = static_cast<int16_t>(any(-32768, 32767));
        const uint16_t w = static_cast<uint16_t>(any(0, 65535)), v = static_cast<uint16_t>(any(0, 65535));
        const uint64_t before = s.work();
        const int op = any(0, 8);
        switch (op) {
            case 0: s.Line(x, y, static_cast<int16_t>(w), static_cast<int16_t>(v)); break;
            case 1:
                s.Ellipse(x, y, w, v, static_cast<uint16_t>(any(0, 65535)),
                          static_cast<uint16_t>(any(0, 65535)));
                break;
            case 2:
                s.Circle(static_cast<int16_t>(any(-100, 700)), static_cast<int16_t>(any(-100, 600)), w);
                break;
            case 3: s.FloodFill(x % 700, y % 500, v); break;
            case 4: s.Bar(x, y, static_cast<int16_t>(w), static_cast<int16_t>(v)); break;
            case 5: s.SetFillStyle(w % 16, v % 20); break;
            case 6: s.SetColor(w); break;
            case 7: s.SetBkColor(w); break;
            default: s.PutPixel(x, y, w);
        }
        if (op < 5 || op == 8) {
            EXPECT_GT(s.work(), before);
        }  // drawing, not setting state
        for (int p = 0; p < 640 * 480; p += 997) ASSERT_LT(s.pixels()[p], 16);
    }
    // A full-screen solid fill counts a unit per eight pixels and one per
    // row; a patterned one a unit per pixel.
    BgiScreen full;
    full.FloodFill(1, 1, 99);
    EXPECT_GE(full.work(), 640u * 480u / 8u + 480u);
    BgiScreen patterned;
    patterned.SetFillStyle(9, 4);
    patterned.FloodFill(1, 1, 99);
    EXPECT_GE(patterned.work(), 640u * 480u);
}

}  // namespace
}  // namespace pasdraw

namespace pasdraw {
namespace {

// A slice's angles count modulo 361 and are put in order, so these name the
// same slice; its outline holds every pixel Ellipse draws for the ordered
// angles. Then random shapes over the whole 16-bit range stay on the screen
// (the sanitizers watch) and each costs work.
TEST(BgiScreen, FilledSlices) {
    const std::array<uint16_t, 6> slices[] = {{320, 240, 30, 120, 100, 100}, {10, 470, 200, 20, 300, 80},
                                              {600, 5, 0, 360, 50, 70},      {320, 240, 45, 45, 90, 90},
                                              {100, 100, 359, 1, 60, 5},     {500, 240, 270, 90, 200, 1000}};
    for (const auto& slice6 : slices) {
        // Named copies: a lambda may not capture structured bindings here.
        const uint16_t x = slice6[0], y = slice6[1], st = slice6[2], en = slice6[3], a = slice6[4],
                       b = slice6[5];
        auto draw = [&](int from, int to) {
            BgiScreen s;
            s.SetFillStyle(st % 13, 4);
            s.SetColor(14);
            s.Sector(int16_t(x), int16_t(y), uint16_t(from), uint16_t(to), a, b);
            return std::vector<uint8_t>(s.pixels(), s.pixels() + BgiScreen::Width * BgiScreen::Height);
        };
        const std::vector<uint8_t> slice = draw(st, en);
        EXPECT_TRUE(draw(en, st) == slice && draw(st + 361, en) == slice && draw(st, en + 722) == slice)
            << st;
        BgiScreen arc;
        arc.SetColor(14);
        arc.Ellipse(int16_t(x), int16_t(y), std::min(st, en), std::max(st, en), a, b);
        EXPECT_GT(count(arc, 14), 0);
        for (std::size_t i = 0; i < slice.size(); ++i)
            EXPECT_TRUE(arc.pixels()[i] != 14 || slice[i] == 14) << st << " at " << i;
    }
    std::mt19937 gen(12);
    auto any = [&](int lo, int hi) { return std::uniform_int_distribution<int>(lo, hi)(gen); };
    auto word = [&] { return uint16_t(any(0, 1) ? any(0, 3) : any(0, 65535)); };
    BgiScreen s;
    for (int i = 0; i < 300; ++i) {
        const auto x = int16_t(any(-32768, 32767)), y = int16_t(any(-32768, 32767));
        s.SetFillStyle(uint16_t(any(0, 12)), uint32_t(any(0, 15)));
        const uint64_t before = s.work();
        if (i % 3 == 0) s.PieSlice(x, y, int16_t(word()), int16_t(word()), word());
        if (i % 3 == 1) s.Sector(x, y, word(), word(), word(), word());
        if (i % 3 == 2) s.FillEllipse(x, y, word(), word());
        EXPECT_GT(s.work(), before);
        for (int p = 0; p < 640 * 480; p += 997) ASSERT_LT(s.pixels()[p], 16);
    }
}

// Drawing in a clipped viewport is drawing on the whole screen moved by the
// viewport's corner and cut to the viewport, for all that is clipped pixel by
// pixel (pixels, curves, bars in any pattern, text) and for lines in any
// style that stay inside it; GetPixel reads through the same window inside
// it, and a flood fill never leaves it.
TEST(BgiScreen, ViewportsMoveAndCutWhatIsDrawn) {
    std::mt19937 rng(7);
    auto pick = [&](int a, int b) { return std::uniform_int_distribution<int>(a, b)(rng); };
    const auto s16 = [](int v) { return static_cast<int16_t>(v); };
    for (int round = 0; round < 150; ++round) {
        const int x1 = pick(0, 639), y1 = pick(0, 479), x2 = pick(x1, 639), y2 = pick(y1, 479);
        // The kind of call, a point anywhere, two inside, a size and a style.
        std::vector<std::array<int, 8>> calls;
        for (int k = pick(1, 8); k > 0; --k)
            calls.push_back({pick(0, 4), pick(-100, 740), pick(-100, 580), pick(0, x2 - x1), pick(0, y2 - y1),
                             pick(0, x2 - x1), pick(0, 300), pick(0, 12)});
        const auto draw = [&](BgiScreen& s, int dx, int dy) {
            for (const auto& [kind, x, y, lx, ly, lx2, r, n] : calls) {
                s.SetColor(static_cast<uint32_t>(n + 1));
                s.SetFillStyle(static_cast<uint16_t>(n), static_cast<uint32_t>(n + 3));
                s.SetLineStyle(static_cast<uint16_t>(n % 5), static_cast<uint16_t>(r * 217), 1);
                s.SetTextStyle(0, static_cast<uint16_t>(n & 1), static_cast<uint16_t>(n % 4));
                const int16_t X = s16(x + dx), Y = s16(y + dy);
                const auto R = static_cast<uint16_t>(r);
                if (kind == 0) s.PutPixel(X, Y, static_cast<uint32_t>(n));
                if (kind == 1)
                    s.Ellipse(X, Y, R, static_cast<uint16_t>(R * 3), R, static_cast<uint16_t>(R / 2));
                if (kind == 2) s.Bar(X, Y, s16(X + r - 150), s16(Y + n * 20 - 100));
                if (kind == 3) s.OutTextXY(X, Y, ShortString{"Wq|"});
                // Horizontal ones too, whose style goes by the position.
                if (kind == 4)
                    s.Line(s16(lx + dx), s16(ly + dy), s16(lx2 + dx), s16((n % 3 ? y2 - y1 - ly : ly) + dy));
            }
        };
        BgiScreen inside, whole;
        inside.SetViewPort(s16(x1), s16(y1), s16(x2), s16(y2), true);
        draw(inside, 0, 0);
        draw(whole, x1, y1);
        SCOPED_TRACE("round " + std::to_string(round));
        const auto in = [&](int x, int y) { return x >= x1 && x <= x2 && y >= y1 && y <= y2; };
        std::vector<uint8_t> cut(BgiScreen::Width * BgiScreen::Height);
        for (int y = 0; y < BgiScreen::Height; ++y)
            for (int x = 0; x < BgiScreen::Width; ++x)
                cut[static_cast<std::size_t>(y * BgiScreen::Width + x)] = in(x, y) ? whole.pixel(x, y) : 0;
        const testing::PixelDiff d =
            testing::diffPixels(cut.data(), inside.pixels(), "cut from the whole screen");
        EXPECT_EQ(d.count, 0) << d.first;
        const int gx = pick(0, x2 - x1), gy = pick(0, y2 - y1);
        EXPECT_EQ(inside.GetPixel(s16(gx), s16(gy)), whole.pixel(gx + x1, gy + y1));
        inside.FloodFill(s16(pick(-20, x2 - x1 + 20)), s16(pick(-20, y2 - y1 + 20)),
                         static_cast<uint32_t>(pick(0, 16)));
        int outside = 0;
        for (int y = 0; y < BgiScreen::Height; ++y)
            for (int x = 0; x < BgiScreen::Width; ++x) outside += !in(x, y) && inside.pixel(x, y) != 0;
        EXPECT_EQ(outside, 0);
    }
}

}  // namespace
}  // namespace pasdraw
