// The grid and Shift through the document, where the pointer comes in: what
// drags and Select moves store with them.
#include <gtest/gtest.h>

#include <cstdlib>
#include <random>
#include <type_traits>
#include <variant>

#include "document/document.h"
#include "document/sentences.h"
#include "editor/selection.h"

namespace pasdraw {
namespace {

constexpr int Shift = 1;

void drag(Document& doc, int shift, float x1, float y1, float x2, float y2) {
    doc.pointerPress(1, shift, x1, y1);
    doc.pointerMove(1, shift, (x1 + x2) / 2, (y1 + y2) / 2);
    doc.pointerMove(1, shift, x2, y2);
    doc.pointerRelease(1, shift, x2, y2);
}

TEST(Grid, DragsWithTheGridStoreMultiplesOfAHundredAndShiftKeepsThemStraightOrSquare) {
    Document doc;
    doc.toggleGrid();
    EXPECT_EQ(statusLine(doc), "choose a tool to draw\nsnap on");
    std::mt19937 rng(7);
    const auto uniform = [&rng](int lo, int hi) { return std::uniform_int_distribution<int>(lo, hi)(rng); };
    const auto at = [&](int size) { return static_cast<float>(uniform(0, size * 10)) / 10.0f; };
    const Kind kinds[] = {Kind::Line, Kind::Rectangle, Kind::Ellipse, Kind::Circle, Kind::Bar, Kind::Fill};
    for (int n = 0; n < 150; ++n) {
        const Kind kind = kinds[uniform(0, 5)];
        const bool shift = uniform(0, 1) == 1;
        doc.selectTool(static_cast<int16_t>(kind));
        const int before = doc.picture().count(kind);
        drag(doc, shift ? Shift : 0, at(CanvasWidth), at(CanvasHeight), at(CanvasWidth), at(CanvasHeight));
        ASSERT_EQ(doc.picture().count(kind), before + 1) << kindName(kind) << " " << n;
        const ShapeRecord record = recordOf(doc.picture(), {kind, before});
        for (const HandlePoint& h : handlesOf(record))
            ASSERT_TRUE(h.x % GridStep == 0 && h.y % GridStep == 0) << kindName(kind) << " " << n;
        if (!shift) continue;
        if (const auto* line = std::get_if<LineRecord>(&record)) {
            const int dx = std::abs(line->X2 - line->X1), dy = std::abs(line->Y2 - line->Y1);
            EXPECT_TRUE(dx == 0 || dy == 0 || dx == dy) << n;
        }
        std::visit(
            [n](const auto& r) {
                if constexpr (requires { r.X2; } && !std::is_same_v<std::decay_t<decltype(r)>, LineRecord>) {
                    EXPECT_EQ(std::abs(r.X2 - r.X1), std::abs(r.Y2 - r.Y1)) << n;
                }
            },
            record);
    }
    doc.selectTool(static_cast<int16_t>(Kind::Line));
    EXPECT_EQ(statusLine(doc), "snap on");  // the line tool's plain styles say nothing
    doc.toggleGrid();
    doc.selectTool(0);
    EXPECT_EQ(statusLine(doc), "choose a tool to draw");
}

TEST(Grid, ASelectMoveLandsTheShapesCornerOnTheGridAndShiftKeepsItOnOneAxis) {
    Document doc;
    doc.selectTool(static_cast<int16_t>(Kind::Rectangle));
    drag(doc, 0, 1033, 1047, 2511, 2093);  // off the grid: the grid is not shown yet
    doc.selectTool(Document::SelectTool);
    doc.toggleGrid();
    const auto rectangle = [&doc] {
        return std::get<RectangleRecord>(recordOf(doc.picture(), {Kind::Rectangle, 0}));
    };
    drag(doc, 0, 1033, 1500, 1544, 1790);  // by the left edge, 511 right and 290 down
    EXPECT_EQ(rectangle(),
              (RectangleRecord{1500, 2978, 1300, 2346, rectangle().ColorIndex, rectangle().ColorRGB}));
    drag(doc, Shift, 1500, 1800, 2170, 1890);  // mostly right: it keeps its height
    EXPECT_EQ(rectangle().X1, 2200);
    EXPECT_EQ(rectangle().Y1, 1300);
}

}  // namespace
}  // namespace pasdraw
