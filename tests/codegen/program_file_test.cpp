#include <gtest/gtest.h>

#include <string>
#include <string_view>

#include "codegen/codegen.h"
#include "picture_builder.h"

namespace pasdraw {
namespace {

using namespace std::string_literals;

constexpr std::string_view kHeader =
    "uses graph,crt;\r\n"
    "var XK,YK,i,m,d,err:integer;\r\n"
    "begin\r\n"
    "m:=detect; initgraph(m,d,''); err:=graphresult;\r\n"
    "if (graphresult <> grOk) then halt;\r\n";

TEST(ProgramFileBytes, ValueExampleGivesElevenLines) {
    auto p = testing::newPicture();
    testing::addOneOfEachKind(*p, 1500);
    EXPECT_EQ(programFileBytes(generateValueForm(*p, computeOrigin(*p))),
              "uses graph,crt;\r\n"
              "var XK,YK,i,m,d,err:integer;\r\n"
              "begin\r\n"
              "m:=detect; initgraph(m,d,''); err:=graphresult;\r\n"
              "if (graphresult <> grOk) then halt;\r\n"
              " XK:=100; YK:=50;setcolor(4);line(XK+0,YK+0,XK+100,YK+100);\r\n"
              "setcolor(2);rectangle(XK+200,YK+200,XK+50,YK+30);\r\n"
              "setcolor(14);ellipse(XK+51,YK+280,0,360,50,30);\r\n"
              "setcolor(1);circle(XK+300,YK+150,75);\r\n"
              "setfillstyle(1,4);floodfill(XK+20,YK+20,2);\r\n"
              "repeat until keypressed; end.\r\n");
}

// The text box content goes in byte for byte: no line end is added or
// translated, and 8-bit or NUL bytes survive.
TEST(ProgramFileBytes, TextKeptUnchangedBetweenSpaceAndTrailer) {
    struct Case {
        const char* name;
        std::string text;
        std::string afterHeader;
    };
    const Case cases[] = {
        {"empty text box", "", " repeat until keypressed; end.\r\n"},
        {"no final CR LF", "XK:=30; YK:=20;", " XK:=30; YK:=20;repeat until keypressed; end.\r\n"},
        {"user edits", "line(1,2,3,4);\nx\r\r\n",
         " line(1,2,3,4);\nx\r\r\nrepeat until keypressed; end.\r\n"},
        {"8-bit and NUL bytes", "{\xC4\xD6\xDC\xE9}\0end"s,
         " {\xC4\xD6\xDC\xE9}\0endrepeat until keypressed; end.\r\n"s},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(programFileBytes(c.text), std::string(kHeader) + c.afterHeader);
    }
}

}  // namespace
}  // namespace pasdraw
