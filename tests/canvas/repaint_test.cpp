#include "canvas/repaint.h"

#include <gtest/gtest.h>

#include <array>
#include <random>
#include <string>
#include <utility>
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

const Calls emptyRepaint = {"FillColor 0", "Cls", "Box 0 0 6400 4800 FFFFFF"};

TEST(Repaint, EmptyPictureIsTheFrameOnBlack) {
    Picture p;
    RecordingSurface rec;
    drowob(p, rec);
    EXPECT_EQ(rec.calls, emptyRepaint);

    RasterSurface raster(15, 15);
    raster.Line(100, 100, 3000, 3000, Red);  // wiped by Cls
    drowob(p, raster);
    EXPECT_EQ(raster.pixel(0, 0), 0x00FFFFFFu);
    EXPECT_EQ(raster.pixel(427, 320), 0x00FFFFFFu);
    EXPECT_EQ(raster.pixel(100, 100), 0u);
}

TEST(Repaint, DrawsKindsInFixedOrderWhateverTheCommitOrder) {
    Picture p;
    p.state.LastColorIndex = 0;
    p.selectColour(12, 0x008080FF);
    p.commitFill(3000, 3015);  // a fill first: still replayed last
    p.selectColour(9, LightBlue);
    p.commitCircle({3000, 2400, 750, 0, 0});
    EllipseRecord e{};
    e.X1 = 1000, e.X2 = 1530, e.Y1 = 2000, e.Y2 = 1490;
    p.selectColour(2, 0x00008000);
    p.commitEllipse(e);
    RectangleRecord r{};
    r.X1 = 1200, r.X2 = 400, r.Y1 = 900, r.Y2 = 300;
    p.selectColour(14, Yellow);
    p.commitRectangle(r);
    LineRecord l{};
    l.X1 = 105, l.X2 = 3019, l.Y1 = 2000, l.Y2 = -15;
    p.selectColour(4, Red);
    p.commitLine(l);

    RecordingSurface rec;
    drowob(p, rec);
    Calls expected = emptyRepaint;
    expected.insert(expected.end(), {
                                        "Line 105 2000 3019 -15 C0",
                                        "Box 1200 900 400 300 FFFF",
                                        "ForeColor 8000",
                                        // release corner (1530, 1490) first: 102, 99; press corner: 67, 133
                                        "Ellipse 102 99 67 133",
                                        "Circle 3000 2400 750 FF0000",
                                        "FillStyle 0",
                                        "ForeColor 8080FF",
                                        "FillColor 8080FF",
                                        "FloodFill 200 201 0",
                                        "Refresh",
                                        "FillStyle 1",
                                    });
    EXPECT_EQ(rec.calls, expected);
}

TEST(Repaint, DeviceContextCoordinatesRoundHalvesToEven) {
    struct Case {
        int16_t x1, y1, x2, y2;
        std::string ellipse;
        std::string fill;
    };
    // 12 twips per pixel: 6 -> 0.5 -> 0, 18 -> 1.5 -> 2, 30 -> 2.5 -> 2, -6 -> 0, -18 -> -2.
    const Case cases[] = {
        {30, 18, 6, 6, "Ellipse 0 0 2 2", "FloodFill 0 0 0"},
        {-18, -6, 18, 30, "Ellipse 2 2 -2 0", "FloodFill 2 2 0"},
        {42, 54, 66, 78, "Ellipse 6 6 4 4", "FloodFill 6 6 0"},  // 5.5 -> 6, 6.5 -> 6, 3.5 -> 4, 4.5 -> 4
    };
    for (const Case& c : cases) {
        Picture p;
        EllipseRecord e{};
        e.X1 = c.x1, e.Y1 = c.y1, e.X2 = c.x2, e.Y2 = c.y2;
        p.commitEllipse(e);
        p.commitFill(c.x2, c.y2);
        RecordingSurface rec(12, 12);
        drowob(p, rec);
        ASSERT_EQ(rec.calls.size(), 11u);
        EXPECT_EQ(rec.calls[4], c.ellipse);
        EXPECT_EQ(rec.calls[8], c.fill);
    }
}

TEST(Repaint, EllipseLooksTheSameDraggedEitherWay) {
    const int16_t a[4] = {1500, 1200, 3015, 2985};
    std::vector<uint32_t> first;
    for (int dir = 0; dir < 4; ++dir) {
        Picture p;
        EllipseRecord e{};
        e.X1 = (dir & 1) ? a[2] : a[0];
        e.X2 = (dir & 1) ? a[0] : a[2];
        e.Y1 = (dir & 2) ? a[3] : a[1];
        e.Y2 = (dir & 2) ? a[1] : a[3];
        p.selectColour(4, Red);
        p.commitEllipse(e);
        RasterSurface s(15, 15);
        drowob(p, s);
        std::vector<uint32_t> img(s.bits(), s.bits() + s.width() * s.height());
        if (dir == 0)
            first = img;
        else
            EXPECT_EQ(img, first) << "direction " << dir;
    }
}

TEST(Repaint, FillsAreReplayedAfterEveryOutline) {
    // The fill is committed while the last outline is light blue, and only then
    // a light-blue circle is drawn around its seed: the repaint still stops the
    // flood at that circle, because fills come last.
    Picture p;
    p.selectColour(9, LightBlue);
    p.commitLine({0, 10, 0, 10, 0, 0});  // somewhere harmless, sets the border colour
    p.selectColour(14, Yellow);
    p.commitFill(3000, 2400);
    p.selectColour(9, LightBlue);
    p.commitCircle({3000, 2400, 600, 0, 0});
    RasterSurface s(15, 15);
    drowob(p, s);
    EXPECT_EQ(s.pixel(200, 160), static_cast<uint32_t>(Yellow));
    EXPECT_EQ(s.pixel(100, 100), 0u);
    EXPECT_EQ(s.fillStyle(), FillTransparent);
    EXPECT_EQ(s.fillColor(), Yellow);
    EXPECT_EQ(s.foreColor(), Yellow);
}

TEST(Repaint, OutlinesAreNeverFilled) {
    Picture p;
    p.selectColour(4, Red);
    p.commitRectangle({150, 1500, 150, 1500, 0, 0});
    p.commitCircle({3000, 3000, 600, 0, 0});
    EllipseRecord e{};
    e.X1 = 4500, e.X2 = 6000, e.Y1 = 300, e.Y2 = 1200;
    p.commitEllipse(e);
    RasterSurface s(15, 15);
    s.setFillStyle(FillTransparent);
    drowob(p, s);
    EXPECT_EQ(s.pixel(55, 55), 0u);
    EXPECT_EQ(s.pixel(200, 200), 0u);
    EXPECT_EQ(s.pixel(350, 50), 0u);
    EXPECT_EQ(s.pixel(10, 55), static_cast<uint32_t>(Red));
}

// An imported ellipse may be part of one: the device context gets its angles
// as the program passes them, and a full turn stays a plain ellipse.
TEST(Repaint, PartialEllipsesAreDrawnAsArcs) {
    const std::pair<std::array<int16_t, 2>, const char*> cases[] = {
        {{10, 200}, "EllipseArc 102 99 67 133 10 200"},
        {{300, 32767}, "EllipseArc 102 99 67 133 300 32767"},
        {{361, 721}, "Ellipse 102 99 67 133"},  // 0 and 360 to the program
    };
    for (const auto& [angles, call] : cases) {
        Picture p;
        ASSERT_TRUE(p.Ellipses.append({1000, 1530, 2000, 1490, 2, 0x8000, angles[0], angles[1]}));
        RecordingSurface rec;
        drowob(p, rec);
        EXPECT_EQ(rec.calls.at(4), call);
    }
}

// Outlines anywhere, some of them past the canvas and some partial
// ellipses, in three colours, with fills between them, so that borders
// change from fill to fill, most fills leak, some are enclosed, some start on
// their border and some have the border colour as brush.
Picture randomPicture(std::mt19937& gen) {
    const auto any = [&](int lo, int hi) { return std::uniform_int_distribution<int>(lo, hi)(gen); };
    const auto at = [&](int lo, int hi) { return static_cast<int16_t>(any(lo, hi)); };
    const auto colour = [&] {
        const int16_t index = std::array<int16_t, 3>{1, 9, 14}[static_cast<std::size_t>(any(0, 2))];
        return std::pair{index, paletteRgb(index)};
    };
    Picture p;
    for (int i = 0, n = any(10, 60); i < n; ++i) {
        const auto [index, rgb] = colour();
        p.selectColour(index, rgb);
        const int16_t x1 = at(-300, 7000), y1 = at(-300, 5200), x2 = at(-300, 7000), y2 = at(-300, 5200);
        switch (any(0, 5)) {
            case 0: p.commitLine({x1, x2, y1, y2, 0, 0}); break;
            case 1: p.commitRectangle({x1, x2, y1, y2, 0, 0}); break;
            case 2: p.commitCircle({x1, y1, at(15, 2000), 0, 0}); break;
            case 3: p.commitEllipse({x1, x2, y1, y2, 0, 0, 0, 360}); break;
            case 4: p.commitEllipse({x1, x2, y1, y2, 0, 0, at(0, 360), at(0, 360)}); break;
            default: p.commitFill(at(-300, 10000), at(-300, 8000)); break;
        }
    }
    return p;
}

TEST(Repaint, FillsComeOutAsWhenFloodedOneByOne) {
    std::mt19937 gen(20261208);
    for (const float twipsPerPixel : {15.0f, 10.0f}) {
        RasterSurface repainted(twipsPerPixel, twipsPerPixel);  // kept from picture to picture
        for (int n = 0; n < 12; ++n) {
            const Picture p = randomPicture(gen);
            drowob(p, repainted);

            Picture outlines = p;
            while (outlines.Fills.dropLast()) {
            }
            RasterSurface oneByOne(twipsPerPixel, twipsPerPixel);
            drowob(outlines, oneByOne);
            oneByOne.setFillStyle(FillSolid);
            for (const FillRecord& f : p.Fills.records()) {
                oneByOne.setFillColor(f.ColorRGB);
                oneByOne.FloodFill(pxX(oneByOne, f.X), pxY(oneByOne, f.Y), f.BorderRGB);
            }
            const std::size_t size = static_cast<std::size_t>(oneByOne.width() * oneByOne.height());
            ASSERT_TRUE(std::equal(repainted.bits(), repainted.bits() + size, oneByOne.bits()))
                << "picture " << n << " at " << twipsPerPixel << " twips per pixel";
        }
    }
}

}  // namespace
}  // namespace pasdraw
