// Statements back into a picture: the round trip through every text form,
// loops, and the texts that must be refused whole.
#include "program/picture_import.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <random>
#include <string>

#include "bgi/bgi_screen.h"
#include "canvas/raster_surface.h"
#include "canvas/repaint.h"
#include "codegen/codegen.h"
#include "codegen/picture_builder.h"
#include "kinds/kinds.h"
#include "model/palette.h"
#include "program/program.h"
#include "support/env_count.h"
#include "support/pixel_diff.h"

namespace pasdraw {
namespace {

using testing::newPicture;

// Random records of every kind in random styles, over the whole 16-bit
// range and in the usual canvas range, so negative coordinates and numbers
// of every width appear.
void fillRandom(Picture& p, std::mt19937& rng, int perKind) {
    std::uniform_int_distribution<int> wide(-32768, 32767), canvas(-500, 6900), colour(1, 15), border(0, 15);
    std::bernoulli_distribution useWide(0.2);
    const auto coord = [&] { return static_cast<int16_t>(useWide(rng) ? wide(rng) : canvas(rng)); };
    const auto c = [&] { return static_cast<int16_t>(colour(rng)); };
    for (int i = 0; i < perKind; ++i) {
        testing::chooseRandomStyles(p, rng);
        testing::addLine(p, c(), {.X1 = coord(), .X2 = coord(), .Y1 = coord(), .Y2 = coord()});
        testing::addRectangle(p, c(), {.X1 = coord(), .X2 = coord(), .Y1 = coord(), .Y2 = coord()});
        testing::addEllipse(p, c(), {.X1 = coord(), .X2 = coord(), .Y1 = coord(), .Y2 = coord()});
        testing::addCircle(p, c(),
                           {.X = coord(), .Y = coord(), .Radius = static_cast<int16_t>(std::abs(coord()))});
        testing::addFill(p, c(), coord(), coord(), static_cast<int16_t>(border(rng)));
        for (const Kind k : {Kind::Bar, Kind::Arc, Kind::PieSlice, Kind::Polygon, Kind::Label})
            testing::addRandom(p, k, c(), rng, coord);
    }
}

TEST(PictureImport, EveryGeneratedFormComesBackAsThePicture) {
    const std::optional<long> pictures = testing::envCount("PASDRAW_IMPORT_PICTURES", 60);
    ASSERT_TRUE(pictures.has_value()) << "PASDRAW_IMPORT_PICTURES is not a count";
    std::mt19937 rng(20261208);
    std::uniform_int_distribution<int> perKind(0, 12), slider(0, 640), sliderY(0, 480);
    for (long n = 0; n < *pictures; ++n) {
        auto original = newPicture();
        fillRandom(*original, rng, perKind(rng));
        const std::string generated = generateAbsolute(*original);
        const std::optional<int32_t> XK = slider(rng);
        const std::string texts[] = {generated, generateValueForm(*original, computeOrigin(*original)),
                                     generateSliderForm(*original, XK, static_cast<int16_t>(sliderY(rng))),
                                     generateSliderForm(*original, std::nullopt, 0)};
        for (const std::string& text : texts) {
            SCOPED_TRACE("picture " + std::to_string(n) + ":\n" + text.substr(0, 400));
            const PictureImport imported = importPicture(text);
            ASSERT_TRUE(imported.picture.has_value())
                << (imported.problems.empty() ? "" : imported.problems.front().message);
            EXPECT_EQ(generateAbsolute(*imported.picture), generated);
            for (const KindInfo& k : Kinds)
                EXPECT_EQ(imported.picture->count(k.kind), original->count(k.kind));
        }
    }
}

TEST(PictureImport, RecordsCarryTwipsPaletteColoursAndTheOrigin) {
    const PictureImport r = importPicture(
        "XK:=100; YK:=50;setcolor(4);line(XK+0,YK+0,XK+100,YK+100);\r\n"
        "setcolor(14);ellipse(XK+51,YK+280,10,200,50,30);\r\n"
        "setcolor(1);circle(XK+300,YK+150,75);\r\n"
        "setfillstyle(1,12);floodfill(XK+20,YK+20,9);\r\n");
    ASSERT_TRUE(r.picture.has_value());
    const Picture& p = *r.picture;
    EXPECT_EQ(p.Lines[0], (LineRecord{1000, 2000, 500, 1500, 4, 0x000000C0}));
    EXPECT_EQ(p.Ellipses[0], (EllipseRecord{1010, 2010, 3000, 3600, 14, 0x0000FFFF, 10, 200}));
    EXPECT_EQ(p.Circles[0], (CircleRecord{4000, 2000, 750, 1, 0x00C00000}));
    EXPECT_EQ(p.Fills[0], (FillRecord{1200, 700, 12, 0x008080FF, 9, 0x00FF0000}));
    // The last outline drawn was the blue circle.
    EXPECT_EQ(p.state.LastColorIndex, 1);
    EXPECT_EQ(p.state.LastColorRGB, 0x00C00000);
    EXPECT_TRUE(r.assignedOrigin);
    EXPECT_EQ(r.XK, 100);
    EXPECT_EQ(r.YK, 50);
    EXPECT_FALSE(importPicture("setcolor(2);line(1,2,3,4);").assignedOrigin);
    // Before any setcolor a program draws in white, as after initgraph.
    const PictureImport white = importPicture("line(1,2,3,4);");
    ASSERT_TRUE(white.picture.has_value());
    EXPECT_EQ(white.picture->Lines[0].ColorIndex, 15);
}

// A moveto and lineto chain that comes back to its start after 3 to 32
// corners is a polygon; any other chain stays the lines it drew.
TEST(PictureImport, ClosedChainsBecomePolygonsAndOpenOnesLines) {
    struct Case {
        std::string text;
        int polygons, lines;
    };
    const Case cases[] = {
        {"moveto(10,10);lineto(50,10);lineto(30,40);lineto(10,10);", 1, 0},
        {"moveto(10,10);lineto(50,10);lineto(10,10);", 0, 2},                            // too few corners
        {"moveto(10,10);lineto(50,10);lineto(30,40);lineto(11,10);", 0, 3},              // open
        {"moveto(10,10);lineto(50,10);lineto(30,40);setcolor(3);lineto(10,10);", 0, 3},  // two colours
        {"lineto(50,10);lineto(30,40);lineto(0,0);", 0, 3},                              // no moveto
        {"moveto(0,0);linerel(20,0);linerel(0,20);linerel(-20,-20);circle(1,1,1);", 1, 0},
        {"moveto(100,100);for i:=1 to 31 do lineto(100+i,200+i mod 2);lineto(100,100);", 1, 0},
        {"moveto(100,100);for i:=1 to 32 do lineto(100+i,200+i mod 2);lineto(100,100);", 0, 33},
        // Passing its start on the way does not end it.
        {"moveto(10,10);lineto(50,10);lineto(10,10);lineto(30,40);lineto(10,10);", 1, 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.text);
        const PictureImport r = importPicture(c.text);
        ASSERT_TRUE(r.picture.has_value()) << r.problems.front().message;
        EXPECT_EQ(r.picture->count(Kind::Polygon), c.polygons);
        EXPECT_EQ(r.picture->count(Kind::Line), c.lines);
    }
}

// A hand-written text of every new kind, every fill pattern and every line
// style comes in, and the text Generate writes for it draws the same screen.
TEST(PictureImport, EveryStyleAndKindComesInAndGenerateDrawsTheSameScreen) {
    const std::string text =
        "for i := 0 to 11 do begin setfillstyle(i, 1 + i); bar(10 + i * 52, 10, 52 + i * 52, 60) end;\r\n"
        "setcolor(14);\r\n"
        "for i := 0 to 3 do begin setlinestyle(i, 0, 1); line(10, 80 + i * 10, 300, 80 + i * 10);\r\n"
        "  setlinestyle(i, 0, 3); line(320, 80 + i * 10, 620, 82 + i * 10); end;\r\n"
        "setlinestyle(DashedLn, 0, ThickWidth); setcolor(10); rectangle(10, 130, 200, 200);\r\n"
        "setcolor(11); ellipse(300, 160, 0, 360, 60, 30); circle(450, 160, 30);\r\n"
        "setcolor(12); arc(560, 160, 30, 300, 40); setlinestyle(CenterLn, 0, NormWidth); arc(560, 160, 0, "
        "90, 20);\r\n"
        "setlinestyle(0, 0, 3); setcolor(13); moveto(10, 220); lineto(200, 220); lineto(100, 320); "
        "lineto(10, 220);\r\n"
        "setlinestyle(0, 0, 1); setfillstyle(9, 5); floodfill(100, 240, 13);\r\n"
        "setcolor(6); setfillstyle(CloseDotFill, 6); pieslice(300, 300, 0, 120, 60);\r\n"
        "setcolor(15); settextstyle(0, 0, 2); outtextxy(330, 380, 'It''s a chart');\r\n"
        "settextstyle(DefaultFont, VertDir, 1); outtextxy(620, 250, 'up');\r\n";
    const PictureImport imported = importPicture(text);
    ASSERT_TRUE(imported.picture.has_value()) << imported.problems.front().message;
    const Picture& p = *imported.picture;
    EXPECT_EQ(p.count(Kind::Bar), 12);
    EXPECT_EQ(p.count(Kind::Line), 8);
    EXPECT_EQ(p.count(Kind::Arc), 2);
    EXPECT_EQ(p.count(Kind::Polygon), 1);
    EXPECT_EQ(p.count(Kind::PieSlice), 1);
    EXPECT_EQ(p.count(Kind::Label), 2);
    EXPECT_EQ(p.state.LastColorIndex, 6);  // the pie slice; the labels after it leave it
    const std::string generated = generateAbsolute(p);
    BgiScreen given, written;
    runProgram(text, given);
    runProgram(generated, written);
    const testing::PixelDiff d = testing::diffPixels(given.pixels(), written.pixels(), "given");
    EXPECT_EQ(d.count, 0) << d.first << "\n" << generated;
    EXPECT_EQ(generateAbsolute(*importPicture(generated).picture), generated);
}

// Select picks a label anywhere over the text the program draws, and a pie
// slice anywhere over its outline and inside: every pixel a statement draws
// lies within the kind's distance, measured at the pixel's centre in twips.
TEST(PictureImport, WhatTheScreenDrawsOfALabelOrPieSliceIsWherePickingFindsIt) {
    std::mt19937 rng(31);
    const auto pick = [&rng](int lo, int hi) { return std::uniform_int_distribution<int>(lo, hi)(rng); };
    double worstSlice = 0.0;
    for (int n = 0; n < 120; ++n) {
        auto p = newPicture();
        testing::addRandom(*p, n % 2 == 0 ? Kind::Label : Kind::PieSlice, 2, rng,
                           [&] { return static_cast<int16_t>(pick(500, 5900)); });
        const ShapeRecord record = n % 2 == 0 ? ShapeRecord(p->Labels[0]) : ShapeRecord(p->PieSlices[0]);
        const std::string text = statementFor(record);
        SCOPED_TRACE(text);
        BgiScreen screen;
        ASSERT_TRUE(runProgram(text, screen).problems.empty());
        double worst = 0.0;
        for (int y = 0; y < 480; ++y)
            for (int x = 0; x < 640; ++x)
                if (screen.pixel(x, y) != 0)
                    worst = std::max(worst, std::visit(
                                                [x, y](const auto& r) {
                                                    return KindFor<std::decay_t<decltype(r)>>::distance(
                                                        r, x * 10 + 5, y * 10 + 5, 0.0);
                                                },
                                                record));
        if (n % 2 == 0) {
            EXPECT_EQ(worst, 0.0);
        }
        worstSlice = std::max(worstSlice, n % 2 == 0 ? 0.0 : worst);
    }
    std::printf("worst slice pixel %.2f twips from the slice\n", worstSlice);
    // A slice's pixels lie up to 1.5 pixels off the slice in twips (15.3
    // twips at worst over 300 random slices): the statement truncates its
    // centre and radius to whole pixels, and the rim's pixels straddle it.
    EXPECT_LE(worstSlice, 20.0);
}

TEST(PictureImport, LoopsBecomeTheShapesTheyDraw) {
    const PictureImport r = importPicture(
        "{ a row of circles and a ladder }\r\n"
        "setcolor(10);\r\n"
        "for i := 1 to 5 do circle(i * 50, 100, 20);\r\n"
        "for i := 3 downto 1 do begin moveto(0, i * 10); lineto(60, i * 10) end;\r\n");
    ASSERT_TRUE(r.picture.has_value()) << r.problems.front().message;
    ASSERT_EQ(r.picture->CircleCount(), 5);
    for (int k = 0; k < 5; ++k)
        EXPECT_EQ(r.picture->Circles[k], (CircleRecord{int16_t((k + 1) * 500), 1000, 200, 10, 0x0000FF00}));
    ASSERT_EQ(r.picture->LineCount(), 3);
    EXPECT_EQ(r.picture->Lines[0], (LineRecord{0, 600, 300, 300, 10, 0x0000FF00}));
    EXPECT_EQ(r.picture->Lines[2], (LineRecord{0, 600, 100, 100, 10, 0x0000FF00}));
    EXPECT_TRUE(r.assignedOrigin == false);
}

TEST(PictureImport, TextsThePictureCannotHoldAreRefusedWholeLineByLine) {
    struct Case {
        std::string text;
        std::vector<int> lines;  // of the problems, in order
        const char* word;        // in the first message
    };
    const Case cases[] = {
        {"setcolor(4);line(1,2,3,4);\r\nputpixel(5,5,4);\r\n", {2}, "putpixel"},
        {"setfillstyle(1,4);\r\nbar3d(1,1,9,9,3,true);\r\n", {2}, "bar3d"},
        {"setcolor(4);rectangle(0,0,9,9);\r\nsetfillstyle(12,4);floodfill(5,5,4);\r\n", {2}, "pattern 12"},
        {"setcolor(0);\r\ncircle(50,50,10);\r\n", {2}, "colour 0"},
        {"setcolor(16);line(1,2,3,4);\r\n", {1}, "colour 16"},
        {"setfillstyle(1,3);floodfill(5,5,16);\r\n", {1}, "border"},
        {"setcolor(2);\r\nline(0,0,4000,0);\r\n", {2}, "x2 = 4000"},
        {"setcolor(2);\r\nfor i:=1 to 1002 do circle(i,i,5);\r\n", {2}, "1001 circles"},
        {"setcolor(2);line(1,2,3,4);\r\nlin(1,2,3,4);\r\ncircle(1,2);\r\n", {2, 3}, "lin"},
        {"setcolor(2);\r\narc(50,50,0,90,3300);\r\n", {2}, "arc: radius = 3300"},
        {"setlinestyle(DottedLn,0,ThickWidth);\r\nsetlinestyle(UserBitLn,$F0F0,NormWidth);line(1,2,3,4);\r\n",
         {2},
         "setlinestyle: lineStyle = 4 is out of range; the picture holds line styles from 0 to 3"},
        {"setcolor(2);\r\nline(0,0,getpixel(1,1),0);\r\n", {2}, "getpixel"},
        {"setcolor(2);moveto(10,10);\r\nlinerel(4000,0);\r\n", {2}, "linerel: the end's x = 4010"},
        {"setcolor(2);\r\npieslice(50,50,0,90,10);\r\n", {2}, "fill colour 15 is not the colour 2"},
        {"setlinestyle(1,0,3);\r\nsetfillstyle(3,2);setcolor(2);pieslice(50,50,0,90,10);\r\n",
         {2},
         "solid and thin"},
        {"setcolor(2);\r\nouttextxy(5,5,'caf'#233);\r\n", {2}, "character code 233"},
        {"setcolor(2);\r\nouttextxy(5,5,'" + std::string(81, 'a') + "');\r\n", {2}, "81 characters"},
        {"settextstyle(2,0,4);\r\nouttextxy(5,5,'a');\r\n", {2}, "font 2"},
        {"settextjustify(1,2);\r\nouttextxy(5,5,'a');\r\n", {2}, "justification 1,2"},
        {"setcolor(2);\r\nouttext('a');\r\n", {2}, "outtext"},
        {"setcolor(2);\r\nsector(50,50,0,90,10,5);\r\n", {2}, "sector: the picture holds no filled"},
        {"setcolor(2);\r\nfillellipse(50,50,10,5);\r\n", {2}, "fillellipse: the picture holds no filled"},
        // A refused viewport still counts for what follows: this cleardevice
        // turns it over, where the run stops as the preview's does.
        {"setviewport(100,100,200,200,ClipOn);\r\ncleardevice;\r\nputpixel(1,1,1);\r\n", {1, 2}, "viewport"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.text);
        const PictureImport r = importPicture(c.text);
        EXPECT_FALSE(r.picture.has_value());
        ASSERT_EQ(r.problems.size(), c.lines.size());
        for (std::size_t i = 0; i < c.lines.size(); ++i) EXPECT_EQ(r.problems[i].line, c.lines[i]);
        EXPECT_NE(r.problems.front().message.find(c.word), std::string::npos) << r.problems.front().message;
    }
}

// An imported ellipse, whole or partial, shows on the canvas as the program
// draws it: at 10 twips a pixel the canvas and the screen share their pixels,
// and every pixel either draws lies next to one the other draws.
TEST(PictureImport, EllipseArcsShowAsTheProgramDrawsThem) {
    std::mt19937 rng(180);
    std::uniform_int_distribution<int> centre(150, 330), radius(0, 140), angle(0, 730);
    for (int n = 0; n < 150; ++n) {
        const int cx = centre(rng) + 150, cy = centre(rng), from = angle(rng), to = angle(rng);
        // Between equal angles the program draws a point only where its
        // running sum of steps happens to land on the angle exactly.
        if (from % 361 == to % 361) continue;
        const std::string text = "setcolor(2);ellipse(" + std::to_string(cx) + "," + std::to_string(cy) +
                                 "," + std::to_string(from) + "," + std::to_string(to) + "," +
                                 std::to_string(radius(rng)) + "," + std::to_string(radius(rng)) + ");";
        SCOPED_TRACE(text);
        BgiScreen screen;
        runProgram(text, screen);
        const PictureImport imported = importPicture(text);
        ASSERT_TRUE(imported.picture.has_value());
        RasterSurface canvas(10, 10);
        drowob(*imported.picture, canvas);
        const auto onScreen = [&](int x, int y) { return screen.pixel(x, y) == 2; };
        const auto onCanvas = [&](int x, int y) {
            return x >= 0 && y >= 0 && x < 640 && y < 480 && canvas.pixel(x, y) == uint32_t(paletteRgb(2));
        };
        const auto near = [](const auto& drawn, int x, int y) {
            for (int dy = -1; dy <= 1; ++dy)
                for (int dx = -1; dx <= 1; ++dx)
                    if (drawn(x + dx, y + dy)) return true;
            return false;
        };
        for (int y = 0; y < 480; ++y) {
            for (int x = 0; x < 640; ++x) {
                ASSERT_TRUE(!onScreen(x, y) || near(onCanvas, x, y)) << "screen " << x << "," << y;
                ASSERT_TRUE(!onCanvas(x, y) || near(onScreen, x, y)) << "canvas " << x << "," << y;
            }
        }
    }
}

// Each refusal names the routine, the argument the picture cannot hold and
// what it can; an empty message means the text is taken.
TEST(PictureImport, RefusalsNameTheRoutineTheArgumentAndTheRange) {
    const std::pair<const char*, const char*> cases[] = {
        {"setcolor(2);ellipse(100,100,0,40000,10,10);",
         "ellipse: endAngle = 40000 is out of range; the picture holds angles from 0 to 32767"},
        {"setcolor(2);ellipse(100,100,32768,360,10,10);",
         "ellipse: stAngle = 32768 is out of range; the picture holds angles from 0 to 32767"},
        {"setcolor(2);ellipse(100,100,32767,0,10,10);", ""},
        {"setcolor(2);ellipse(3270,100,0,360,7,10);",
         "ellipse: x + xRadius = 3277 is out of range; "
         "the picture holds coordinates from -3276 to 3276"},
        {"setcolor(2);ellipse(0,-3270,0,360,10,6);", ""},
        {"setcolor(2);ellipse(0,-3270,0,360,10,7);",
         "ellipse: y - yRadius = -3277 is out of range; "
         "the picture holds coordinates from -3276 to 3276"},
        {"setcolor(2);line(-3276,3276,3276,-3276);", ""},
        {"setcolor(2);rectangle(0,-3277,1,1);",
         "rectangle: y1 = -3277 is out of range; the picture holds coordinates from -3276 to 3276"},
        {"moveto(3300,0);lineto(1,1);",
         "lineto: the current point's x = 3300 is out of range; "
         "the picture holds coordinates from -3276 to 3276"},
        {"lineto(1,5000);",
         "lineto: y = 5000 is out of range; the picture holds coordinates from -3276 to 3276"},
        {"circle(10,10,3277);",
         "circle: radius = 3277 is out of range; the picture holds radii from 0 to 3276"},
        {"setcolor(16);line(1,2,3,4);",
         "line: the colour 16 from setcolor on line 1 is out of range; the picture holds colours from 1 to "
         "15"},
        {"setcolor(0);\r\n\r\ncircle(9,9,1);",
         "circle: the colour 0 from setcolor on line 1 is out of range; the picture holds colours from 1 to "
         "15"},
        {"setbkcolor(3);",
         "setbkcolor: color = 3 is out of range; the picture's background is always 0 (black)"},
        {"setfillstyle(12,4);floodfill(5,5,4);",
         "floodfill: the fill pattern 12 from setfillstyle on line 1 is "
         "out of range; the picture holds fill patterns from 0 to 11"},
        {"setfillstyle(11,4);floodfill(5,5,4);bar(1,2,3,4);setcolor(4);pieslice(5,5,0,90,9);", ""},
        {"setfillstyle(1,0);floodfill(5,5,4);",
         "floodfill: the fill colour 0 from setfillstyle on line 1 is "
         "out of range; the picture holds colours from 1 to 15"},
        {"floodfill(5,5,16);",
         "floodfill: border = 16 is out of range; the picture holds colours from 0 to 15"},
        {"floodfill(5,4000,1);",
         "floodfill: y = 4000 is out of range; the picture holds coordinates from -3276 to 3276"},
        {"cleardevice;", "cleardevice: the picture cannot clear what is drawn"},
        {"setcolor(2);line(1,2,3,4);outtextxy(5,5,'house');", ""},
        {"outtext('a');", "outtext: the picture holds text only at a point, as outtextxy draws it"},
        // Even the whole screen, clipped, which changes nothing drawn.
        {"setviewport(0, 0, 639, 479, ClipOn);",
         "setviewport: the picture holds no viewport; its shapes are on the whole screen"},
        {"line(1,2,3,4); clearviewport;", "clearviewport: the picture cannot clear what is drawn"},
        {"settextstyle(DefaultFont, VertDir, 2);settextjustify(LeftText, TopText);outtextxy(1,2,'up');", ""},
        {"setcolor(2);setfillstyle(1,2);pieslice(1,2,-1,90,3);",
         "pieslice: stAngle = -1 is out of range; the picture holds angles from 0 to 32767"},
        {"setfillstyle(1,0);bar(1,2,3,4);",
         "bar: the fill colour 0 from setfillstyle on line 1 is out of range; the picture holds colours from "
         "1 to "
         "15"},
        {"for i:=1 to 1002 do circle(i,i,5);",
         "circle: more than 1001 circles; the picture holds at most 1001"},
    };
    for (const auto& [text, message] : cases) {
        SCOPED_TRACE(text);
        const PictureImport r = importPicture(text);
        EXPECT_EQ(r.problems.empty() ? "" : r.problems.front().message, message);
    }
}

}  // namespace
}  // namespace pasdraw
