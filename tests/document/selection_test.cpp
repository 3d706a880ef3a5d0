// Picking drawn shapes and the history of their edits, through the document
// as the window drives it.
#include "editor/selection.h"

#include <gtest/gtest.h>

#include <memory>
#include <random>
#include <string>
#include <vector>

#include "codegen/codegen.h"
#include "document/document.h"
#include "document/sentences.h"
#include "model/palette.h"

namespace pasdraw {
namespace {

// A document at 15 twips a pixel, so a press picks within 45 twips.
struct Work {
    std::unique_ptr<Document> doc = std::make_unique<Document>();
    void draw(Kind kind, float x1, float y1, float x2, float y2) {
        doc->selectTool(static_cast<int16_t>(kind));
        doc->pointerPress(1, 0, x1, y1);
        doc->pointerMove(1, 0, x2, y2);
        doc->pointerRelease(1, 0, x2, y2);
    }
    void press(float x, float y) {
        doc->pointerPress(1, 0, x, y);
        doc->pointerRelease(1, 0, x, y);
    }
    Picture& picture() { return doc->picture(); }
};

// Shapes that overlap where the table presses: two equal lines crossed by a
// rectangle's edge, a circle with a fill at its centre, a whole ellipse and
// the upper right quarter of another.
Work overlapping() {
    Work w;
    w.draw(Kind::Line, 1000, 1000, 3000, 1000);
    w.draw(Kind::Line, 1000, 1000, 3000, 1000);
    w.draw(Kind::Rectangle, 2000, 500, 2600, 1500);
    w.draw(Kind::Circle, 4000, 3000, 4500, 3000);
    w.draw(Kind::Ellipse, 500, 2500, 1500, 3500);
    w.draw(Kind::Ellipse, 2500, 2500, 3500, 3500);
    w.draw(Kind::Fill, 4000, 3000, 4000, 3000);
    EllipseRecord quarter = w.picture().Ellipses[1];
    quarter.StartAngle = 0;
    quarter.EndAngle = 90;
    w.picture().Ellipses.replace(1, quarter);
    w.doc->shapesReplaced();
    return w;
}

TEST(Selection, APressPicksTheShapePaintedLastAndCyclesAtTheSamePlace) {
    const ShapeRef line0{Kind::Line, 0}, line1{Kind::Line, 1}, rect{Kind::Rectangle, 0};
    const struct {
        float x, y;
        std::vector<ShapeRef> picks;  // press after press at the same place
    } cases[] = {
        {2000, 1000, {rect, line1, line0, rect}},
        {1500, 1045, {line1, line0, line1}},
        {1500, 1046, {}},  // just beyond three pixels
        {4500, 3030, {{Kind::Circle, 0}}},
        {4000, 3000, {{Kind::Fill, 0}}},  // the seed, not the circle 500 twips away
        {1000, 2510, {{Kind::Ellipse, 0}}},
        {1000, 3000, {}},  // inside an ellipse is not on it
        {3000, 2500, {{Kind::Ellipse, 1}}},
        {3000, 3500, {}},  // the quarter's missing bottom
        {2300, 500, {rect}},
    };
    for (const auto& c : cases) {
        Work w = overlapping();
        w.doc->selectTool(Document::SelectTool);
        for (const ShapeRef& want : c.picks) {
            w.press(c.x, c.y);
            ASSERT_TRUE(w.doc->selection().has_value()) << c.x << "," << c.y;
            EXPECT_EQ(*w.doc->selection(), want) << c.x << "," << c.y;
        }
        w.press(c.x, c.y);
        if (c.picks.empty()) {
            EXPECT_FALSE(w.doc->selection().has_value()) << c.x << "," << c.y;
        }
        w.press(6000, 4500);  // on nothing
        EXPECT_FALSE(w.doc->selection().has_value());
    }
}

// A drawing tool's undo stays per kind beside the edits; an edit ends the
// kind's redo; an edit whose shape the per-kind undo dropped is not undone.
TEST(Selection, DrawingToolsKeepTheirOwnUndoBesideTheEdits) {
    Work w;
    const auto tool = [&](Kind k) { w.doc->selectTool(static_cast<int16_t>(k)); };
    w.draw(Kind::Rectangle, 1000, 1000, 2000, 2000);
    w.draw(Kind::Rectangle, 3000, 3000, 4000, 4000);
    const RectangleRecord first = w.picture().Rectangles[0];
    w.doc->selectTool(Document::SelectTool);
    w.press(1000, 1500);
    w.doc->nudge(10, 0);
    tool(Kind::Rectangle);
    w.doc->undo();
    ASSERT_EQ(w.picture().RectangleCount(), 1);
    EXPECT_EQ(w.picture().Rectangles[0].X1, first.X1 + 10);
    w.doc->selectTool(Document::SelectTool);
    w.doc->undo();
    EXPECT_EQ(w.picture().Rectangles[0], first);

    w.draw(Kind::Rectangle, 3000, 3000, 4000, 4000);
    w.doc->undo();
    w.doc->selectTool(Document::SelectTool);
    w.press(1000, 1500);
    w.doc->nudge(0, -100);
    tool(Kind::Rectangle);
    EXPECT_FALSE(w.doc->redo());
    w.doc->undo();  // the nudged rectangle itself
    w.doc->selectTool(Document::SelectTool);
    w.doc->undo();
    EXPECT_FALSE(w.doc->redo());
    EXPECT_EQ(w.picture().RectangleCount(), 0);
}

}  // namespace
}  // namespace pasdraw

namespace pasdraw {
namespace {

// Where drawing and Select meet, the history's rule holds and is said: edits
// whose shape a drawing tool's undo took away are forgotten with a note in
// the readout, and a move still under way when the tool changes is an edit.
TEST(Selection, EditsADrawingUndoOutdatedAreForgottenAndSaid) {
    Work w;
    w.draw(Kind::Rectangle, 1000, 1000, 2000, 2000);
    w.draw(Kind::Rectangle, 3000, 3000, 4000, 4000);
    w.doc->selectTool(Document::SelectTool);
    w.press(3000, 3500);
    ASSERT_EQ(w.doc->selection(), (ShapeRef{Kind::Rectangle, 1}));
    w.doc->nudge(10, 0);
    w.doc->nudge(10, 0);
    w.doc->selectTool(static_cast<int16_t>(Kind::Rectangle));
    w.doc->undo();
    w.doc->selectTool(Document::SelectTool);
    w.doc->undo();
    EXPECT_EQ(w.doc->editor().history().edits(), 0u);
    EXPECT_NE(notesLines(*w.doc).find("2 edits of picked shapes can no longer be undone: the rectangle"),
              std::string::npos)
        << notesLines(*w.doc);
    w.draw(Kind::Line, 100, 100, 200, 200);
    EXPECT_EQ(notesLines(*w.doc).find("can no longer be undone"), std::string::npos);

    // A drag cut short by another tool still leaves one edit to undo.
    const RectangleRecord before = w.picture().Rectangles[0];
    w.doc->selectTool(Document::SelectTool);
    w.doc->pointerPress(1, 0, 1000, 1500);
    w.doc->pointerMove(1, 0, 1300, 1500);
    w.doc->selectTool(static_cast<int16_t>(Kind::Line));
    w.doc->pointerRelease(1, 0, 1300, 1500);
    ASSERT_NE(w.picture().Rectangles[0], before);
    w.doc->selectTool(Document::SelectTool);
    w.doc->undo();
    EXPECT_EQ(w.picture().Rectangles[0], before);
}

}  // namespace
}  // namespace pasdraw
