#include "canvas/raster_surface.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <random>
#include <vector>

#include "model/palette.h"
#include "support/colours.h"

namespace pasdraw {
namespace {

using testing::Blue;
using testing::LightBlue;
using testing::Red;
using testing::Yellow;

std::vector<uint32_t> image(const RasterSurface& s) {
    return {s.bits(), s.bits() + static_cast<std::ptrdiff_t>(s.width()) * s.height()};
}

int countColour(const RasterSurface& s, int32_t colour) {
    const auto img = image(s);
    return static_cast<int>(std::count(img.begin(), img.end(), static_cast<uint32_t>(colour)));
}

void fillAt(RasterSurface& s, int x, int y, int32_t brush, int32_t border) {
    s.setFillStyle(FillSolid);
    s.setFillColor(brush);
    s.FloodFill(x, y, border);
    s.setFillStyle(FillTransparent);
}

TEST(RasterSurface, ImageCoversTheClientAreaInDevicePixels) {
    struct Case {
        float tpp;
        int w, h;
    };
    for (const Case c : {Case{15, 643, 531}, Case{10, 964, 796}, Case{7.5f, 1286, 1062}}) {
        RasterSurface s(c.tpp, c.tpp);
        EXPECT_EQ(s.width(), c.w) << c.tpp;
        EXPECT_EQ(s.height(), c.h) << c.tpp;
        EXPECT_EQ(countColour(s, 0), c.w * c.h);
    }
}

TEST(RasterSurface, FrameCornersSitAtTheRoundedCanvasEdge) {
    for (const auto& [tpp, right, bottom] : {std::tuple{15.0f, 427, 320}, std::tuple{10.0f, 640, 480}}) {
        RasterSurface s(tpp, tpp);
        s.LineBox(0, 0, 6400, 4800, White);
        for (auto [x, y] :
             {std::pair{0, 0}, {right, 0}, {0, bottom}, {right, bottom}, {right / 2, 0}, {0, bottom / 2}}) {
            EXPECT_EQ(s.pixel(x, y), 0x00FFFFFFu) << x << "," << y << " at " << tpp;
        }
        EXPECT_EQ(s.pixel(1, 1), 0u);
        EXPECT_EQ(s.pixel(right + 1, bottom + 1), 0u);
        // Outline only while the fill style is transparent.
        EXPECT_EQ(countColour(s, White), 2 * (right + 1) + 2 * (bottom - 1));
    }
}

TEST(RasterSurface, SolidBoxInteriorOnlyWhileFillStyleIsSolid) {
    RasterSurface s(15, 15);
    s.setFillColor(Yellow);
    s.LineBox(150, 150, 1500, 1500, Red);  // transparent by default
    EXPECT_EQ(s.pixel(50, 50), 0u);
    s.setFillStyle(FillSolid);
    s.LineBox(1500, 1500, 150, 150, Red);  // corners in the other order
    EXPECT_EQ(s.pixel(50, 50), static_cast<uint32_t>(Yellow));
    EXPECT_EQ(s.pixel(10, 10), static_cast<uint32_t>(Red));
    EXPECT_EQ(s.pixel(100, 100), static_cast<uint32_t>(Red));
    EXPECT_EQ(s.pixel(101, 50), 0u);
}

TEST(RasterSurface, DrawingAShapeAgainInBlackErasesIt) {
    std::mt19937 rng(7);
    std::uniform_real_distribution<float> coord(-2000.0f, 11000.0f);
    RasterSurface s(15, 15);
    for (int i = 0; i < 300; ++i) {
        const float a = coord(rng), b = coord(rng), c = coord(rng), d = coord(rng);
        switch (i % 4) {
            case 0:
                s.Line(a, b, c, d, Red);
                s.Line(a, b, c, d, Black);
                break;
            case 1:
                s.LineBox(a, b, c, d, Red);
                s.LineBox(a, b, c, d, Black);
                break;
            case 2:
                s.Circle(a, b, std::abs(c - a), Red);
                s.Circle(a, b, std::abs(c - a), Black);
                break;
            default:
                s.setForeColor(Red);
                s.Ellipse(static_cast<int>(a / 15), static_cast<int>(b / 15), static_cast<int>(c / 15),
                          static_cast<int>(d / 15));
                s.setForeColor(Black);
                s.Ellipse(static_cast<int>(a / 15), static_cast<int>(b / 15), static_cast<int>(c / 15),
                          static_cast<int>(d / 15));
        }
        ASSERT_EQ(countColour(s, 0), s.width() * s.height()) << "shape " << i;
    }
}

TEST(RasterSurface, LinesIncludeBothEndsAndOverwrite) {
    RasterSurface s(15, 15);
    s.Line(150, 150, 1500, 600, Red);
    s.Line(1500, 150, 150, 600, Blue);  // crosses the first
    EXPECT_EQ(s.pixel(10, 10), static_cast<uint32_t>(Red));
    EXPECT_EQ(s.pixel(100, 40), static_cast<uint32_t>(Red));
    EXPECT_EQ(s.pixel(100, 10), static_cast<uint32_t>(Blue));
    EXPECT_EQ(s.pixel(10, 40), static_cast<uint32_t>(Blue));
    EXPECT_EQ(s.pixel(55, 25), static_cast<uint32_t>(Blue));  // the later line wins where they meet
}

TEST(RasterSurface, FarOffCoordinatesAreClippedNotWrapped) {
    RasterSurface s(15, 15);
    s.Line(-1e9f, 100 * 15, 1e9f, 100 * 15, Red);
    EXPECT_EQ(countColour(s, Red), s.width());
    s.Circle(0, 0, 3e9f, Blue);  // far outside: nothing visible
    s.Line(-1e9f, -1e9f, -1e9f + 10, -1e9f, Blue);
    EXPECT_EQ(countColour(s, Blue), 0);
    s.setForeColor(Blue);
    s.Ellipse(-2147483647 - 1, -2147483647 - 1, 2147483647, 2147483647);
    EXPECT_EQ(countColour(s, Blue), 0);  // the curve lies far beyond every edge
    s.Ellipse(-1000, 10, 2000, 10);      // flat: one row across the image
    EXPECT_EQ(countColour(s, Blue), s.width());
}

// Every pixel of the outline must appear the same for each order of the corners.
TEST(RasterSurface, EllipseIsTheSameForEveryCornerOrder) {
    struct Box {
        int l, t, r, b;
    };
    const Box boxes[] = {{10, 10, 60, 40},     {10, 10, 11, 11}, {5, 5, 5, 30},      {5, 5, 40, 5},
                         {100, 100, 153, 127}, {0, 0, 642, 530}, {-50, -20, 30, 90}, {300, 200, 301, 260}};
    for (const Box& b : boxes) {
        std::vector<uint32_t> reference;
        for (int order = 0; order < 4; ++order) {
            RasterSurface s(15, 15);
            s.setForeColor(Red);
            const bool swapX = order & 1, swapY = order & 2;
            s.Ellipse(swapX ? b.r : b.l, swapY ? b.b : b.t, swapX ? b.l : b.r, swapY ? b.t : b.b);
            if (order == 0) {
                reference = image(s);
                EXPECT_GT(countColour(s, Red), 0) << b.l << "," << b.t << "," << b.r << "," << b.b;
            } else {
                EXPECT_EQ(image(s), reference) << "order " << order << " box " << b.l << "," << b.t;
            }
        }
    }
}

TEST(RasterSurface, EllipseTouchesItsBoxAndStaysInside) {
    RasterSurface s(15, 15);
    s.setForeColor(Red);
    s.Ellipse(100, 50, 20, 10);
    int minX = 1 << 30, maxX = -1, minY = 1 << 30, maxY = -1;
    for (int y = 0; y < s.height(); ++y) {
        for (int x = 0; x < s.width(); ++x) {
            if (s.pixel(x, y) != static_cast<uint32_t>(Red)) continue;
            minX = std::min(minX, x), maxX = std::max(maxX, x), minY = std::min(minY, y),
            maxY = std::max(maxY, y);
        }
    }
    EXPECT_EQ(minX, 20);
    EXPECT_EQ(maxX, 100);
    EXPECT_EQ(minY, 10);
    EXPECT_EQ(maxY, 50);
    EXPECT_EQ(s.pixel(60, 30), 0u);  // hollow
}

// A closed outline must hold a 4-connected fill for every size, including the
// small and flat ones where a diagonal step is most likely to open a gap.
TEST(RasterSurface, ClosedOutlinesHoldTheFill) {
    for (int r = 2; r <= 120; r += 3) {
        for (int shape = 0; shape < 3; ++shape) {
            RasterSurface s(15, 15);
            const int cx = 300, cy = 250;
            s.setForeColor(Red);
            if (shape == 0) {
                s.Circle(static_cast<float>(cx * 15), static_cast<float>(cy * 15), static_cast<float>(r * 15),
                         Red);
            } else if (shape == 1) {
                s.Ellipse(cx - r, cy - r / 3 - 1, cx + r, cy + r / 3 + 1);
            } else {
                // A diamond of four diagonal lines.
                const float c = static_cast<float>(cx * 15), d = static_cast<float>(cy * 15),
                            k = static_cast<float>(r * 15);
                s.Line(c - k, d, c, d - k, Red);
                s.Line(c, d - k, c + k, d, Red);
                s.Line(c + k, d, c, d + k, Red);
                s.Line(c, d + k, c - k, d, Red);
            }
            fillAt(s, cx, cy, Yellow, Red);
            EXPECT_EQ(s.pixel(0, 0), 0u) << "leak: shape " << shape << " size " << r;
            EXPECT_EQ(s.pixel(cx, cy), static_cast<uint32_t>(Yellow)) << "shape " << shape << " size " << r;
        }
    }
}

TEST(RasterSurface, FloodFillBoundaryIsExactColourOnly) {
    struct Case {
        int32_t outline;
        int32_t border;
        bool leaks;
    };
    const Case cases[] = {
        {Red, Red, false},
        {0x000000C1, Red, true},  // one step off the border colour does not stop it
        {Blue, Red, true},
        {White, Red, true},  // the white frame does not stop a red-bounded fill either
    };
    for (const Case& c : cases) {
        RasterSurface s(15, 15);
        s.LineBox(1500, 1500, 3000, 3000, c.outline);
        fillAt(s, 150, 150, Yellow, c.border);
        EXPECT_EQ(s.pixel(5, 5) == static_cast<uint32_t>(Yellow), c.leaks) << std::hex << c.outline;
        EXPECT_EQ(s.pixel(150, 150), static_cast<uint32_t>(Yellow));
    }
}

TEST(RasterSurface, FloodFillEdgeCases) {
    RasterSurface s(15, 15);
    s.LineBox(0, 0, 6400, 4800, White);
    s.Line(0, 1500, 6400, 1500, Red);

    // Seed already of the border colour: nothing.
    fillAt(s, 50, 100, Yellow, Red);
    EXPECT_EQ(countColour(s, Yellow), 0);
    // Seed outside the image: nothing, no crash.
    fillAt(s, -1, 10, Yellow, White);
    fillAt(s, s.width(), 10, Yellow, White);
    fillAt(s, 10, 1 << 30, Yellow, White);
    EXPECT_EQ(countColour(s, Yellow), 0);
    // A hollow brush paints nothing.
    s.setFillColor(Yellow);
    s.FloodFill(50, 50, Red);
    EXPECT_EQ(countColour(s, Yellow), 0);
    // Not enclosed by black: spreads over everything that is not black,
    // frame included, up to the black background.
    fillAt(s, 0, 0, Yellow, Black);
    EXPECT_EQ(s.pixel(427, 320), static_cast<uint32_t>(Yellow));
    EXPECT_EQ(s.pixel(200, 100), static_cast<uint32_t>(Yellow));  // along the red line, which is not black
    EXPECT_EQ(s.pixel(5, 5), 0u);
    // An unenclosed fill over black covers the whole image, beyond the canvas.
    fillAt(s, 600, 500, Blue, Red);
    EXPECT_EQ(s.pixel(642, 530), static_cast<uint32_t>(Blue));
    EXPECT_EQ(s.pixel(5, 5), static_cast<uint32_t>(Blue));
}

TEST(RasterSurface, FillPassesThroughPixelsAlreadyOfTheBrushColour) {
    // A yellow box inside a red one; filling yellow bounded by red must reach
    // the inner box's black interior too, since yellow is not the border.
    RasterSurface s(15, 15);
    s.LineBox(150, 150, 3000, 1500, Red);
    s.LineBox(1500, 450, 2400, 1200, Yellow);
    fillAt(s, 20, 20, Yellow, Red);
    EXPECT_EQ(s.pixel(130, 50), static_cast<uint32_t>(Yellow));
    EXPECT_EQ(s.pixel(5, 5), 0u);
    // The same fill again covers the same area and terminates.
    fillAt(s, 20, 20, Yellow, Red);
    EXPECT_EQ(countColour(s, Yellow), 189 * 89);
}

TEST(RasterSurface, ChangesAndRefreshAreReported) {
    RasterSurface s(15, 15);
    int refreshes = 0;
    s.setRefreshHandler([&] { ++refreshes; });
    EXPECT_FALSE(s.takeChanged());
    s.Line(0, 0, 10, 10, Red);
    EXPECT_TRUE(s.takeChanged());
    EXPECT_FALSE(s.takeChanged());
    s.Refresh();
    EXPECT_EQ(refreshes, 1);
    EXPECT_TRUE(s.takeChanged());
}

// An arc is a cut of the ellipse's own outline: 0 to 360 is all of it, arcs
// a..b and b..c make a..c, and a..b and the wrapping b..a make the whole, for
// boxes of every shape and corner order.
TEST(RasterSurface, ArcsCutTheEllipseOutline) {
    std::mt19937 rng(361);
    std::uniform_int_distribution<int> coord(-40, 300), angle(0, 360);
    for (int n = 0; n < 150; ++n) {
        const int l = coord(rng), t = coord(rng), r = coord(rng), b = coord(rng);
        int a[3] = {angle(rng), angle(rng), angle(rng)};
        std::sort(a, a + 3);
        if (a[0] == a[2]) continue;
        const auto draw = [&](std::vector<std::pair<int, int>> arcs) {
            RasterSurface s(15, 15);
            s.setForeColor(Red);
            if (arcs.empty()) s.Ellipse(l, t, r, b);
            for (auto [from, to] : arcs) s.EllipseArc(l, t, r, b, uint16_t(from), uint16_t(to));
            return image(s);
        };
        SCOPED_TRACE(::testing::Message()
                     << l << "," << t << "," << r << "," << b << " " << a[0] << ".." << a[2]);
        const auto whole = draw({});
        EXPECT_EQ(draw({{0, 360}}), whole);
        EXPECT_EQ(draw({{a[0], a[1]}, {a[1], a[2]}}), draw({{a[0], a[2]}}));
        const auto arc = draw({{a[0], a[2]}});
        EXPECT_EQ(draw({{a[0], a[2]}, {a[2], a[0]}}), whole);
        for (std::size_t i = 0; i < arc.size(); ++i) ASSERT_TRUE(arc[i] == 0 || arc[i] == whole[i]) << i;
    }
}

// Bars drawn straight on the image give the scratch screen's pixels: random
// bars in every pattern, some across or beyond the image's edges, at scales
// that enlarge, keep and shrink the unit's pixels, unevenly too.
TEST(RasterSurface, BarsOnTheImageAreTheScratchScreensBars) {
    std::mt19937 rng(41);
    const auto any = [&](int lo, int hi) { return std::uniform_int_distribution<int>(lo, hi)(rng); };
    const std::pair<float, float> scales[] = {{10, 10}, {15, 15}, {7, 7}, {12, 12}, {9, 11.25f}};
    for (const auto& [tx, ty] : scales) {
        for (int picture = 0; picture < 10; ++picture) {
            RasterSurface direct(tx, ty), scratch(tx, ty);
            scratch.setBarsOnImage(false);
            for (int i = 0; i < 30; ++i) {
                const int x = any(-100, 1100), y = any(-100, 900), reach = i % 10 == 0 ? 1000 : 40;
                const int x2 = x + any(-reach, reach), y2 = y + any(-reach, reach);
                const auto pattern = static_cast<int16_t>(any(0, LastPattern + 1));  // and the user pattern
                const int32_t colour = any(1, 0xFFFFFF);
                direct.GraphBar(x, y, x2, y2, colour, pattern);
                scratch.GraphBar(x, y, x2, y2, colour, pattern);
            }
            EXPECT_EQ(image(direct), image(scratch))
                << tx << " x " << ty << " twips a pixel, picture " << picture;
        }
    }
}

}  // namespace
}  // namespace pasdraw
