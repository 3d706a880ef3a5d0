#include "model/picture.h"

#include <gtest/gtest.h>

#include <cstddef>
#include <vector>

#include "editor/history.h"
#include "model/palette.h"

namespace pasdraw {
namespace {

LineRecord line(int16_t x1, int16_t y1, int16_t x2, int16_t y2) {
    LineRecord r;
    r.X1 = x1;
    r.Y1 = y1;
    r.X2 = x2;
    r.Y2 = y2;
    return r;
}

TEST(PictureModel, StartsEmptyWithZeroState) {
    Picture p;
    for (Kind k : {Kind::Line, Kind::Rectangle, Kind::Ellipse, Kind::Circle, Kind::Fill})
        EXPECT_EQ(p.count(k), 0);
    EXPECT_TRUE(p.empty());
    EXPECT_EQ(p.state.Tool, 0);
    EXPECT_EQ(p.state.LastColorIndex, 0);
    EXPECT_EQ(p.state.LastColorRGB, 0);
    EXPECT_EQ(p.state.MouseIsDown, 0);
}

TEST(PictureModel, RecordFieldsKeepTheirDeclaredOrderAndWidths) {
    // Both X values come before both Y values; saved layouts depend on it.
    static_assert(offsetof(LineRecord, X1) < offsetof(LineRecord, X2));
    static_assert(offsetof(LineRecord, X2) < offsetof(LineRecord, Y1));
    static_assert(offsetof(LineRecord, Y1) < offsetof(LineRecord, Y2));
    static_assert(offsetof(LineRecord, Y2) < offsetof(LineRecord, ColorIndex));
    static_assert(offsetof(LineRecord, ColorIndex) < offsetof(LineRecord, ColorRGB));
    static_assert(offsetof(EllipseRecord, ColorRGB) < offsetof(EllipseRecord, StartAngle));
    static_assert(offsetof(FillRecord, ColorRGB) < offsetof(FillRecord, BorderIndex));
    static_assert(sizeof(LineRecord::X1) == 2 && sizeof(LineRecord::ColorRGB) == 4);
    static_assert(sizeof(CircleRecord::Radius) == 2 && sizeof(FillRecord::BorderRGB) == 4);
    SUCCEED();
}

TEST(PictureModel, FullListRefusesTheNextCommitAndStaysUnchanged) {
    Picture p;
    p.selectColour(4, 0x000000C0);
    for (int i = 0; i < ListCapacity; ++i) {
        ASSERT_EQ(p.commitLine(line(static_cast<int16_t>(i), 0, 0, 0)), CommitResult::Committed) << i;
    }
    EXPECT_EQ(p.LineCount(), 1001);
    EXPECT_TRUE(p.Lines.full());
    EXPECT_EQ(p.Lines.slot(1000).X1, 1000);

    p.selectColour(9, 0x00FF0000);
    p.beginDrag(5, 5);
    const Picture before = p;
    EXPECT_EQ(p.commitLine(line(-1, -1, -1, -1)), CommitResult::Refused);
    EXPECT_EQ(p.LineCount(), 1001);
    EXPECT_EQ(p.Lines.slot(1000), before.Lines.slot(1000));
    // The refused commit changes neither the drag nor the last outline colour.
    EXPECT_EQ(p.state.MouseIsDown, 1);
    EXPECT_EQ(p.state.LastColorIndex, 4);
    EXPECT_EQ(p.RectangleCount() + p.EllipseCount() + p.CircleCount() + p.FillCount(), 0);
}

TEST(PictureModel, EveryKindIsCappedAt1001) {
    Picture p;
    for (int i = 0; i < ListCapacity; ++i) {
        ASSERT_EQ(p.commitRectangle({}), CommitResult::Committed);
        ASSERT_EQ(p.commitEllipse({}), CommitResult::Committed);
        ASSERT_EQ(p.commitCircle({}), CommitResult::Committed);
        ASSERT_EQ(p.commitFill(1, 1), CommitResult::Committed);
    }
    EXPECT_EQ(p.commitRectangle({}), CommitResult::Refused);
    EXPECT_EQ(p.commitEllipse({}), CommitResult::Refused);
    EXPECT_EQ(p.commitCircle({}), CommitResult::Refused);
    EXPECT_EQ(p.commitFill(1, 1), CommitResult::Refused);
    for (Kind k : {Kind::Rectangle, Kind::Ellipse, Kind::Circle, Kind::Fill}) EXPECT_EQ(p.count(k), 1001);
    EXPECT_EQ(p.LineCount(), 0);
    // Undo frees a slot again.
    p.selectTool(5);
    EXPECT_TRUE(History(p).undoDrawing(p.state.Tool));
    EXPECT_EQ(p.commitFill(2, 2), CommitResult::Committed);
    EXPECT_EQ(p.Fills.slot(1000).X, 2);
}

TEST(PictureModel, UndoThenCommitReusesTheSlot) {
    Picture p;
    p.selectTool(1);
    for (int16_t i = 0; i < 3; ++i) p.commitLine(line(i, i, i, i));
    EXPECT_TRUE(History(p).undoDrawing(p.state.Tool));
    EXPECT_EQ(p.LineCount(), 2);
    EXPECT_EQ(p.Lines.slot(2).X1, 2);  // the dropped record stays in its slot
    p.commitLine(line(77, 0, 0, 0));
    EXPECT_EQ(p.LineCount(), 3);
    EXPECT_EQ(p.Lines[2].X1, 77);
}

TEST(PictureModel, UndoTouchesOnlyTheCurrentToolsKindAndNeverGoesNegative) {
    struct Case {
        int16_t tool;
        int16_t expected[5];  // line, rectangle, ellipse, circle, fill after two undos
    };
    const Case cases[] = {
        {0, {1, 2, 3, 0, 1}}, {1, {0, 2, 3, 0, 1}}, {2, {1, 0, 3, 0, 1}},
        {3, {1, 2, 1, 0, 1}}, {4, {1, 2, 3, 0, 1}}, {5, {1, 2, 3, 0, 0}},
    };
    for (const auto& c : cases) {
        Picture p;
        p.commitLine({});
        p.commitRectangle({});
        p.commitRectangle({});
        for (int i = 0; i < 3; ++i) p.commitEllipse({});
        p.commitFill(0, 0);
        p.selectTool(c.tool);
        History(p).undoDrawing(p.state.Tool);
        History(p).undoDrawing(p.state.Tool);
        const Kind kinds[] = {Kind::Line, Kind::Rectangle, Kind::Ellipse, Kind::Circle, Kind::Fill};
        for (int k = 0; k < 5; ++k)
            EXPECT_EQ(p.count(kinds[k]), c.expected[k]) << "tool " << c.tool << " kind " << k;
    }
}

// Redo walks back up through what undo dropped, per kind, until a commit of
// that kind ends it. Each row: a script of steps and the line count and
// redo results it must give.
TEST(PictureModel, RedoBringsBackWhatUndoDroppedUntilACommit) {
    struct Step {
        char op;  // c commit a line, u undo, r redo, t switch tool to rectangle, l to line
        int lines;
        bool result;  // what undo or redo returned; ignored for other ops
    };
    struct Case {
        const char* name;
        std::vector<Step> steps;
    };
    const Case cases[] = {
        {"redo on an empty kind", {{'r', 0, false}}},
        {"undo then redo", {{'c', 1, true}, {'c', 2, true}, {'u', 1, true}, {'r', 2, true}, {'r', 2, false}}},
        {"two undos, two redos in order",
         {{'c', 1, true},
          {'c', 2, true},
          {'u', 1, true},
          {'u', 0, true},
          {'r', 1, true},
          {'r', 2, true},
          {'r', 2, false}}},
        {"a commit in between ends redo",
         {{'c', 1, true}, {'c', 2, true}, {'u', 1, true}, {'c', 2, true}, {'r', 2, false}}},
        {"undo on an empty list gives nothing to redo", {{'u', 0, false}, {'r', 0, false}}},
        {"redo is per kind: another tool sees nothing",
         {{'c', 1, true}, {'u', 0, true}, {'t', 0, true}, {'r', 0, false}, {'l', 0, true}, {'r', 1, true}}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        Picture p;
        p.selectTool(static_cast<int16_t>(Kind::Line));
        int16_t x = 0;
        for (std::size_t i = 0; i < c.steps.size(); ++i) {
            const Step& step = c.steps[i];
            SCOPED_TRACE(i);
            bool result = true;
            switch (step.op) {
                case 'c': result = p.commitLine({++x, 0, 0, 0, 0, 0}) == CommitResult::Committed; break;
                case 'u': result = History(p).undoDrawing(p.state.Tool); break;
                case 'r': result = History(p).redoDrawing(p.state.Tool); break;
                case 't': p.selectTool(static_cast<int16_t>(Kind::Rectangle)); break;
                case 'l': p.selectTool(static_cast<int16_t>(Kind::Line)); break;
            }
            EXPECT_EQ(result, step.result);
            EXPECT_EQ(p.LineCount(), step.lines);
        }
        // What came back is what was stored: every commit had a larger X1.
        for (int slot = 0; slot < p.LineCount(); ++slot) {
            EXPECT_GT(p.Lines[slot].X1, slot == 0 ? 0 : p.Lines[slot - 1].X1) << "slot " << slot;
        }
    }
}

TEST(PictureModel, CommitsTakeTheCurrentColourAndFillsTheLastOutlineColour) {
    Picture p;
    p.selectColour(3, 0x00808000);
    EXPECT_EQ(p.commitFill(10, 20), CommitResult::Committed);
    EXPECT_EQ(p.Fills[0].BorderIndex, 0);  // no outline yet: black border
    EXPECT_EQ(p.Fills[0].BorderRGB, 0);
    EXPECT_EQ(p.Fills[0].ColorIndex, 3);

    p.selectColour(4, 0x000000C0);
    p.commitLine(line(1, 2, 3, 4));
    p.selectColour(9, 0x00FF0000);
    p.commitCircle({});
    p.selectTool(4);
    History(p).undoDrawing(p.state.Tool);  // undo leaves the last outline colour alone
    p.selectColour(14, 0x0000FFFF);
    p.commitFill(5, 6);
    const FillRecord& f = p.Fills[1];
    EXPECT_EQ(f.BorderIndex, 9);
    EXPECT_EQ(f.BorderRGB, 0x00FF0000);
    EXPECT_EQ(f.ColorIndex, 14);
    EXPECT_EQ(f.ColorRGB, 0x0000FFFF);
    EXPECT_EQ(p.state.LastColorIndex, 9);  // a fill does not change it
    EXPECT_EQ(p.Lines[0].ColorIndex, 4);
    EXPECT_EQ(p.Lines[0].ColorRGB, 0x000000C0);
}

TEST(PictureModel, EllipsesAreAlwaysFull) {
    Picture p;
    EllipseRecord e;
    e.StartAngle = 90;
    e.EndAngle = 180;
    p.commitEllipse(e);
    EXPECT_EQ(p.Ellipses[0].StartAngle, 0);
    EXPECT_EQ(p.Ellipses[0].EndAngle, 360);
}

TEST(Palette, IndicesColoursAndRgbLayout) {
    EXPECT_EQ(RGB(255, 255, 255), 0x00FFFFFF);
    EXPECT_EQ(RGB(192, 0, 0), 0x000000C0);  // red sits in the low byte
    EXPECT_EQ(RGB(0, 0, 192), 0x00C00000);
    for (std::size_t i = 0; i < Palette.size(); ++i) EXPECT_EQ(Palette[i].index, static_cast<int16_t>(i + 1));
    EXPECT_EQ(Palette[7].rgb, 0x00404040);           // DARKGRAY, index 8
    EXPECT_EQ(Palette[8].rgb, RGB(0, 0, 255));       // LIGHTBLUE
    EXPECT_EQ(Palette[11].rgb, RGB(255, 128, 128));  // LIGHTRED
}

}  // namespace
}  // namespace pasdraw
