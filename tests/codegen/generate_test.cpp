#include <gtest/gtest.h>

#include <cstdint>
#include <functional>
#include <limits>
#include <optional>
#include <string>
#include <vector>

#include "codegen/codegen.h"
#include "editor/history.h"
#include "picture_builder.h"

namespace pasdraw {
namespace {

using testing::addCircle;
using testing::addEllipse;
using testing::addExtremes;
using testing::addFill;
using testing::addLine;
using testing::addOneOfEachKind;
using testing::addRectangle;
using testing::addSixRecordExample;
using testing::newPicture;

// ---------------------------------------------------------------- absolute form

TEST(GenerateAbsolute, SixRecordExampleInKindOrder) {
    auto p = newPicture();
    addSixRecordExample(*p);
    EXPECT_EQ(generateAbsolute(*p),
              "setcolor(4);line(10,200,301,-1);\r\n"
              "setcolor(14);rectangle(120,90,40,30);\r\n"
              "setcolor(2);ellipse(126,175,0,360,26,25);\r\n"
              "setcolor(2);ellipse(127,174,0,360,26,25);\r\n"
              "setcolor(9);circle(320,241,123);\r\n"
              "setfillstyle(1,12);floodfill(320,241,9);\r\n");
}

TEST(GenerateAbsolute, EmptyPictureGivesEmptyText) { EXPECT_EQ(generateAbsolute(*newPicture()), ""); }

// q(v) = v / 10 truncated toward zero; flooring would turn -5 into -1 and -15
// into -2. Each value goes through a line corner, a fill seed and a radius.
TEST(GenerateAbsolute, ScreenScaleTruncatesTowardZero) {
    struct Case {
        int16_t v;
        const char* q;
    };
    const Case cases[] = {
        {0, "0"},  {19, "1"},   {6400, "640"}, {3019, "301"},     {-5, "0"},
        {-9, "0"}, {-10, "-1"}, {-15, "-1"},   {-32768, "-3276"}, {32767, "3276"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.v);
        auto p = newPicture();
        addLine(*p, 7, {.X1 = c.v, .X2 = 0, .Y1 = 0, .Y2 = c.v});
        addCircle(*p, 7, {.X = 0, .Y = 0, .Radius = c.v});
        addFill(*p, 7, c.v, c.v, 7);
        const std::string q = c.q;
        EXPECT_EQ(generateAbsolute(*p), "setcolor(7);line(" + q + ",0,0," + q + ");\r\n" +
                                            "setcolor(7);circle(0,0," + q + ");\r\n" +
                                            "setfillstyle(1,7);floodfill(" + q + "," + q + ",7);\r\n");
    }
}

// The centre is press corner + half the difference, halved toward zero, so the
// drag direction matters for odd sizes; the radius is the magnitude of that half.
TEST(GenerateAbsolute, EllipseCentreFollowsDragDirection) {
    struct Case {
        EllipseRecord r;
        const char* statement;
    };
    const Case cases[] = {
        {{.X1 = 1000, .X2 = 1530, .Y1 = 2000, .Y2 = 1490}, "ellipse(126,175,0,360,26,25);"},
        {{.X1 = 1530, .X2 = 1000, .Y1 = 1490, .Y2 = 2000}, "ellipse(127,174,0,360,26,25);"},
        // -101 / 2 is -50, not -51.
        {{.X1 = 2010, .X2 = 1005, .Y1 = 3000, .Y2 = 3600}, "ellipse(151,330,0,360,50,30);"},
        // Negative corners: a = -1, b = -52, half of -51 is -25.
        {{.X1 = -15, .X2 = -520, .Y1 = -520, .Y2 = -15}, "ellipse(-26,-27,0,360,25,25);"},
        // A flat ellipse keeps a zero radius.
        {{.X1 = 500, .X2 = 509, .Y1 = 700, .Y2 = 700}, "ellipse(50,70,0,360,0,0);"},
        // The widest differences the 16-bit range allows, both ways.
        {{.X1 = -32768, .X2 = 32767, .Y1 = 32767, .Y2 = -32768}, "ellipse(0,0,0,360,3276,3276);"},
        {{.X1 = 32767, .X2 = 32767, .Y1 = -32768, .Y2 = -32768}, "ellipse(3276,-3276,0,360,0,0);"},
    };
    for (const Case& c : cases) {
        auto p = newPicture();
        addEllipse(*p, 5, c.r);
        EXPECT_EQ(generateAbsolute(*p), std::string("setcolor(5);") + c.statement + "\r\n");
    }
}

TEST(GenerateAbsolute, FillBeforeAnyOutlineHasBorderZero) {
    auto p = newPicture();
    p->selectColour(12, 0x0000FF);
    ASSERT_EQ(p->commitFill(3209, 2415), CommitResult::Committed);
    EXPECT_EQ(generateAbsolute(*p), "setfillstyle(1,12);floodfill(320,241,0);\r\n");
}

// Records leave a list only through undo; the slot stays filled, and a
// generator that read past the counter would write it again.
TEST(GenerateAbsolute, SlotOrderAndUndoneRecordsLeftOut) {
    auto p = newPicture();
    addLine(*p, 1, {.X1 = 10, .X2 = 20, .Y1 = 30, .Y2 = 40});
    addLine(*p, 2, {.X1 = 50, .X2 = 60, .Y1 = 70, .Y2 = 80});
    addLine(*p, 3, {.X1 = 90, .X2 = 100, .Y1 = 110, .Y2 = 120});
    p->selectTool(static_cast<int16_t>(Kind::Line));
    ASSERT_TRUE(History(*p).undoDrawing(p->state.Tool));
    EXPECT_EQ(generateAbsolute(*p),
              "setcolor(1);line(1,3,2,4);\r\n"
              "setcolor(2);line(5,7,6,8);\r\n");
    addLine(*p, 4, {.X1 = 130, .X2 = 140, .Y1 = 150, .Y2 = 160});
    EXPECT_EQ(generateAbsolute(*p),
              "setcolor(1);line(1,3,2,4);\r\n"
              "setcolor(2);line(5,7,6,8);\r\n"
              "setcolor(4);line(13,15,14,16);\r\n");
}

// ------------------------------------------------------------------- the origin

TEST(ComputeOrigin, SmallestListedFieldsThenScaled) {
    struct Case {
        const char* name;
        std::function<void(Picture&)> build;
        Origin expected;
    };
    const std::vector<Case> cases = {
        {"empty picture", [](Picture&) {}, {1000, 1000}},
        {"only fills",
         [](Picture& p) {
             addFill(p, 1, 2500, 3700, 0);
             addFill(p, 1, 3100, 1204, 0);
         },
         {250, 120}},
        {"circle radius takes no part",
         [](Picture& p) { addCircle(p, 1, {.X = 500, .Y = 600, .Radius = 400}); },
         {50, 60}},
        {"ellipse release corner takes no part",
         [](Picture& p) { addEllipse(p, 1, {.X1 = 2000, .X2 = 1000, .Y1 = 1000, .Y2 = 20}); },
         {200, 100}},
        {"line and rectangle release corners count",
         [](Picture& p) {
             addLine(p, 1, {.X1 = 900, .X2 = 800, .Y1 = 900, .Y2 = 950});
             addRectangle(p, 1, {.X1 = 1000, .X2 = 1000, .Y1 = 1000, .Y2 = 700});
         },
         {80, 70}},
        {"minimum across kinds", [](Picture& p) { addOneOfEachKind(p, 1500); }, {100, 50}},
        {"truncated after the minimum", [](Picture& p) { addFill(p, 1, 1009, 2019, 0); }, {100, 201}},
        {"negative, truncated toward zero",
         [](Picture& p) {
             addFill(p, 1, -15, -5, 0);
             addFill(p, 1, 300, 300, 0);
         },
         {-1, 0}},
        {"16-bit extremes", [](Picture& p) { addExtremes(p); }, {-3276, -3276}},
        // The running minimum starts at 10000, not at the largest int16.
        {"everything beyond 10000",
         [](Picture& p) { addLine(p, 1, {.X1 = 20000, .X2 = 32767, .Y1 = 10001, .Y2 = 15000}); },
         {1000, 1000}},
        {"only X beyond 10000", [](Picture& p) { addFill(p, 1, 12000, 4800, 0); }, {1000, 480}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        auto p = newPicture();
        c.build(*p);
        const Origin o = computeOrigin(*p);
        EXPECT_EQ(o.XK, c.expected.XK);
        EXPECT_EQ(o.YK, c.expected.YK);
    }
}

// ------------------------------------------------------------- the "Value" form

TEST(GenerateValueForm, OneOfEachKindExample) {
    auto p = newPicture();
    addOneOfEachKind(*p, 1500);
    const Origin origin = computeOrigin(*p);
    ASSERT_EQ(origin, (Origin{100, 50}));
    EXPECT_EQ(generateValueForm(*p, origin),
              "XK:=100; YK:=50;setcolor(4);line(XK+0,YK+0,XK+100,YK+100);\r\n"
              "setcolor(2);rectangle(XK+200,YK+200,XK+50,YK+30);\r\n"
              "setcolor(14);ellipse(XK+51,YK+280,0,360,50,30);\r\n"
              "setcolor(1);circle(XK+300,YK+150,75);\r\n"
              "setfillstyle(1,4);floodfill(XK+20,YK+20,2);\r\n");
}

TEST(GenerateValueForm, EmptyPictureIsOnlyTheOriginLine) {
    auto p = newPicture();
    EXPECT_EQ(generateValueForm(*p, computeOrigin(*p)), "XK:=1000; YK:=1000;");
}

// A negative offset follows "XK+" directly: no parentheses in this form.
TEST(GenerateValueForm, NegativeOffsetWrittenBare) {
    auto p = newPicture();
    addEllipse(*p, 6, {.X1 = 2000, .X2 = 1000, .Y1 = 1000, .Y2 = 2000});
    EXPECT_EQ(generateValueForm(*p, computeOrigin(*p)),
              "XK:=200; YK:=100;setcolor(6);ellipse(XK+-50,YK+50,0,360,50,50);\r\n");
}

// ------------------------------------------------------------ the slider form

TEST(GenerateSliderForm, OneOfEachKindExample) {
    auto p = newPicture();
    addOneOfEachKind(*p, 150);
    // The picture's own origin is 100/15; the text must use the sliders' 30/20.
    EXPECT_EQ(generateSliderForm(*p, 30, 20),
              "XK:=30; YK:=20;setcolor(4);line(XK+(70),YK+(30),XK+(170),YK+(-5));\r\n"
              "setcolor(2);rectangle(XK+(270),YK+(230),XK+(120),YK+(60));\r\n"
              "setcolor(14);ellipse(XK+(121),YK+(310),0,360,50,30);\r\n"
              "setcolor(1);circle(XK+(370),YK+(180),75);\r\n"
              "setfillstyle(1,4);floodfill(XK+(90),YK+(50),2);\r\n");
}

TEST(GenerateSliderForm, OriginAsGiven) {
    struct Case {
        std::optional<int32_t> XK;
        int16_t YK;
        const char* text;
    };
    constexpr int32_t kMin = std::numeric_limits<int32_t>::min();
    constexpr int32_t kMax = std::numeric_limits<int32_t>::max();
    // A single fill at screen (100, 50); its offsets show what was subtracted.
    const Case cases[] = {
        // No "Value" and no Slider1 move yet: XK is written and subtracted as 0.
        {std::nullopt, 0, "XK:=0; YK:=0;setfillstyle(1,3);floodfill(XK+(100),YK+(50),8);\r\n"},
        {std::nullopt, 20, "XK:=0; YK:=20;setfillstyle(1,3);floodfill(XK+(100),YK+(30),8);\r\n"},
        {0, 0, "XK:=0; YK:=0;setfillstyle(1,3);floodfill(XK+(100),YK+(50),8);\r\n"},
        {100, 50, "XK:=100; YK:=50;setfillstyle(1,3);floodfill(XK+(0),YK+(0),8);\r\n"},
        {640, 480, "XK:=640; YK:=480;setfillstyle(1,3);floodfill(XK+(-540),YK+(-430),8);\r\n"},
        {-7, -9, "XK:=-7; YK:=-9;setfillstyle(1,3);floodfill(XK+(107),YK+(59),8);\r\n"},
        // Any 32-bit slider position, without wrapping.
        {kMax, 32767,
         "XK:=2147483647; YK:=32767;setfillstyle(1,3);floodfill(XK+(-2147483547),YK+(-32717),8);\r\n"},
        {kMin, -32768,
         "XK:=-2147483648; YK:=-32768;setfillstyle(1,3);floodfill(XK+(2147483748),YK+(32818),8);\r\n"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.text);
        auto p = newPicture();
        addFill(*p, 3, 1009, 509, 8);
        EXPECT_EQ(generateSliderForm(*p, c.XK, c.YK), c.text);
    }
}

TEST(GenerateSliderForm, EmptyPictureIsOnlyTheOriginLine) {
    auto p = newPicture();
    EXPECT_EQ(generateSliderForm(*p, 30, 20), "XK:=30; YK:=20;");
    EXPECT_EQ(generateSliderForm(*p, std::nullopt, 0), "XK:=0; YK:=0;");
}

// -------------------------------------------------------------- all the forms

TEST(GenerateAllForms, SixteenBitExtremes) {
    auto p = newPicture();
    addExtremes(*p);
    struct Case {
        const char* form;
        std::string text;
        const char* expected;
    };
    const Case cases[] = {
        {"absolute", generateAbsolute(*p),
         "setcolor(15);line(-3276,3276,3276,-3276);\r\n"
         "setcolor(1);rectangle(3276,-3276,-3276,3276);\r\n"
         "setcolor(2);ellipse(0,0,0,360,3276,3276);\r\n"
         "setcolor(3);circle(3276,-3276,3276);\r\n"
         "setfillstyle(1,4);floodfill(-3276,3276,3);\r\n"},
        {"value", generateValueForm(*p, computeOrigin(*p)),
         "XK:=-3276; YK:=-3276;setcolor(15);line(XK+0,YK+6552,XK+6552,YK+0);\r\n"
         "setcolor(1);rectangle(XK+6552,YK+0,XK+0,YK+6552);\r\n"
         "setcolor(2);ellipse(XK+3276,YK+3276,0,360,3276,3276);\r\n"
         "setcolor(3);circle(XK+6552,YK+0,3276);\r\n"
         "setfillstyle(1,4);floodfill(XK+0,YK+6552,3);\r\n"},
        {"slider", generateSliderForm(*p, 640, 480),
         "XK:=640; YK:=480;setcolor(15);line(XK+(-3916),YK+(2796),XK+(2636),YK+(-3756));\r\n"
         "setcolor(1);rectangle(XK+(2636),YK+(-3756),XK+(-3916),YK+(2796));\r\n"
         "setcolor(2);ellipse(XK+(-640),YK+(-480),0,360,3276,3276);\r\n"
         "setcolor(3);circle(XK+(2636),YK+(-3756),3276);\r\n"
         "setfillstyle(1,4);floodfill(XK+(-3916),YK+(2796),3);\r\n"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.form);
        EXPECT_EQ(c.text, c.expected);
    }
}

// A full picture in every form: one CR LF per record and no other line break,
// every line opened by its colour prefix, the last slot of every list present.
TEST(GenerateAllForms, FullPictureOneLinePerRecord) {
    auto p = newPicture();
    for (int i = 0; i < ListCapacity; ++i) {
        const auto v = static_cast<int16_t>(i * 6 - 3000);
        const auto colour = static_cast<int16_t>(i % 15 + 1);
        addLine(*p, colour, {.X1 = v, .X2 = 6400, .Y1 = 4800, .Y2 = v});
        addRectangle(*p, colour, {.X1 = v, .X2 = v, .Y1 = v, .Y2 = v});
        addEllipse(*p, colour, {.X1 = 0, .X2 = v, .Y1 = v, .Y2 = 0});
        addCircle(*p, colour, {.X = v, .Y = v, .Radius = 123});
        addFill(*p, colour, v, v, colour);
    }
    // Slot 1000 holds v = 3000 and colour 11.
    struct Case {
        const char* form;
        std::string text;
        std::string originLine;
        std::string lastLine;
    };
    const Case cases[] = {
        {"absolute", generateAbsolute(*p), "", "setfillstyle(1,11);floodfill(300,300,11);"},
        {"value", generateValueForm(*p, computeOrigin(*p)), "XK:=-300; YK:=-300;",
         "setfillstyle(1,11);floodfill(XK+600,YK+600,11);"},
        {"slider", generateSliderForm(*p, 5, 7), "XK:=5; YK:=7;",
         "setfillstyle(1,11);floodfill(XK+(295),YK+(293),11);"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.form);
        ASSERT_EQ(c.text.substr(0, c.originLine.size()), c.originLine);
        std::vector<std::string> lines;
        std::size_t start = c.originLine.size();
        for (std::size_t end; (end = c.text.find("\r\n", start)) != std::string::npos; start = end + 2) {
            lines.push_back(c.text.substr(start, end - start));
        }
        EXPECT_EQ(start, c.text.size()) << "text must end with CR LF";
        ASSERT_EQ(lines.size(), std::size_t{5} * ListCapacity);
        std::size_t fills = 0;
        for (const std::string& line : lines) {
            ASSERT_EQ(line.find_first_of("\r\n"), std::string::npos) << line;
            const bool outline = line.starts_with("setcolor(");
            ASSERT_TRUE(outline || line.starts_with("setfillstyle(1,")) << line;
            if (!outline) ++fills;
            // Fills come last: once one is seen, no outline may follow.
            ASSERT_TRUE(!outline || fills == 0) << line;
        }
        EXPECT_EQ(fills, std::size_t{ListCapacity});
        EXPECT_EQ(lines.back(), c.lastLine);
    }
}

// The two origin-relative forms differ in exactly the brackets around offsets.
TEST(GenerateAllForms, NegativeOffsetBrackets) {
    auto p = newPicture();
    addCircle(*p, 9, {.X = 250, .Y = 1000, .Radius = 100});
    const Origin origin{30, 20};
    EXPECT_EQ(generateValueForm(*p, origin), "XK:=30; YK:=20;setcolor(9);circle(XK+-5,YK+80,10);\r\n");
    EXPECT_EQ(generateSliderForm(*p, origin.XK, origin.YK),
              "XK:=30; YK:=20;setcolor(9);circle(XK+(-5),YK+(80),10);\r\n");
}

}  // namespace
}  // namespace pasdraw
