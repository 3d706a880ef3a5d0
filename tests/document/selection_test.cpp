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
#include "model/palette.h"

namespace pasdraw {
namespace {

struct Typed final : TextBuffer {
    std::string value;
    std::string text() const override { return value; }
    void setText(const std::string& text) override { value = text; }
};

// A document at 15 twips a pixel, so a press picks within 45 twips.
struct Work {
    std::unique_ptr<Document> doc = std::make_unique<Document>();
    Typed box;
    Work() { doc->attachText(&box); }
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

TEST(Selection, DrawingToolsKeepTheirOwnUndoBesideTheEdits) {
    Work w;
    w.draw(Kind::Rectangle, 1000, 1000, 2000, 2000);
    w.draw(Kind::Rectangle, 3000, 3000, 4000, 4000);
    const RectangleRecord first = w.picture().Rectangles[0];
    w.doc->selectTool(Document::SelectTool);
    w.press(1000, 1500);
    w.doc->nudge(10, 0);
    EXPECT_EQ(w.picture().Rectangles[0].X1, first.X1 + 10);
    // The Rectangle tool's undo drops the newest rectangle, not the edit.
    w.doc->selectTool(static_cast<int16_t>(Kind::Rectangle));
    w.doc->undo();
    ASSERT_EQ(w.picture().RectangleCount(), 1);
    EXPECT_EQ(w.picture().Rectangles[0].X1, first.X1 + 10);
    // With Select the edit comes back off; its shape was left alone.
    w.doc->selectTool(Document::SelectTool);
    w.doc->undo();
    EXPECT_EQ(w.picture().Rectangles[0], first);

    // An edit ends the kind's redo, as a new shape does.
    w.draw(Kind::Rectangle, 3000, 3000, 4000, 4000);
    w.doc->undo();
    w.doc->selectTool(Document::SelectTool);
    w.press(1000, 1500);
    w.doc->nudge(0, -100);
    w.doc->selectTool(static_cast<int16_t>(Kind::Rectangle));
    EXPECT_FALSE(w.doc->redo());
    EXPECT_EQ(w.picture().RectangleCount(), 1);
}

TEST(Selection, AnEditWhoseShapeChangedSinceIsNotUndone) {
    Work w;
    w.draw(Kind::Line, 1000, 1000, 2000, 1000);
    w.doc->selectTool(Document::SelectTool);
    w.press(1500, 1000);
    w.doc->nudge(0, 100);
    // The Line tool's undo drops the edited line itself.
    w.doc->selectTool(static_cast<int16_t>(Kind::Line));
    w.doc->undo();
    w.draw(Kind::Line, 1000, 1000, 2000, 1000);
    const Picture before = w.picture();
    w.doc->selectTool(Document::SelectTool);
    w.doc->undo();
    EXPECT_FALSE(w.doc->redo());
    EXPECT_EQ(w.picture().Lines[0], before.Lines[0]);
    EXPECT_EQ(w.picture().LineCount(), 1);
}

// In each text form, a line of the generated text picks its statement's
// shape, and the picked shape's line is that line; typing ends both.
TEST(Selection, TextLinesAndShapesPickEachOther) {
    std::mt19937 rng(7);
    Work w;
    for (int i = 0; i < 40; ++i) {
        const auto kind = static_cast<Kind>(1 + rng() % 5);
        const auto at = [&] { return static_cast<float>(rng() % 6000); };
        w.draw(kind, at(), at() * 0.75f, at(), at() * 0.75f);
    }
    const int total = w.picture().recordCount();
    for (const bool valueForm : {false, true}) {
        w.doc->selectTool(Document::SelectTool);
        valueForm ? w.doc->value() : w.doc->generate();
        for (int line = 1; line <= total; ++line) {
            w.doc->selectLine(line);
            ASSERT_TRUE(w.doc->selection().has_value());
            EXPECT_EQ(w.doc->selectedLine(), line);
            // The readout's statement is on that line of the text.
            const std::string statement = statementFor(recordOf(w.picture(), *w.doc->selection()));
            std::size_t start = 0;
            for (int l = 1; l < line; ++l) start = w.box.value.find("\r\n", start) + 2;
            const std::string textLine = w.box.value.substr(start, w.box.value.find("\r\n", start) - start);
            if (!valueForm) {
                EXPECT_EQ(textLine, statement);
            }
        }
        w.box.value += " ";
        EXPECT_EQ(w.doc->selectedLine(), 0);
    }
}

}  // namespace
}  // namespace pasdraw
