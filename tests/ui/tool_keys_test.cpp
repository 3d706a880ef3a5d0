// The tools' keys and the "More" menu in the window: each letter chooses its
// tool (not while typing), the menu's tools press and name its button, its
// styles become the current ones and restyle a picked shape, and the shapes
// made in steps are drawn with the mouse and the keyboard.
#include <gtest/gtest.h>

#include <QAction>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>
#include <QWindow>
#include <memory>

#include "ui/canvas_widget.h"
#include "ui/form1.h"
#include "ui/more_menu.h"
#include "ui/text_box.h"

namespace pasdraw {
namespace {

struct Shown {
    std::unique_ptr<Form1> form = std::make_unique<Form1>();
    Shown() {
        form->show();
        EXPECT_TRUE(QTest::qWaitForWindowExposed(form.get()));
        form->activateWindow();
    }
    QWindow* window() const { return form->windowHandle(); }
    QPoint at(float x, float y) const {
        return QPoint(qRound(x / form->twipsPerLogicalPixelX()), qRound(y / form->twipsPerLogicalPixelY()));
    }
    void click(float x, float y) { QTest::mouseClick(window(), Qt::LeftButton, Qt::NoModifier, at(x, y)); }
    int16_t tool() const {
        return form->document().selecting() ? Document::SelectTool : form->picture().state.Tool;
    }
};

TEST(ToolKeys, EachLetterChoosesItsToolAndTheMoreButtonNamesTheLaterOnes) {
    struct Case {
        Qt::Key key;
        int16_t tool;
        const char* more;  // the More button's caption afterwards
    };
    const Case cases[] = {
        {Qt::Key_B, 6, "Bar"},     {Qt::Key_L, 1, "More"},      {Qt::Key_A, 7, "Arc"},
        {Qt::Key_R, 2, "More"},    {Qt::Key_W, 8, "Pie slice"}, {Qt::Key_E, 3, "More"},
        {Qt::Key_P, 9, "Polygon"}, {Qt::Key_C, 4, "More"},      {Qt::Key_T, 10, "Label"},
        {Qt::Key_F, 5, "More"},    {Qt::Key_B, 6, "Bar"},       {Qt::Key_S, Document::SelectTool, "More"},
    };
    Shown s;
    for (const Case& c : cases) {
        SCOPED_TRACE(QKeySequence(c.key).toString().toStdString());
        QTest::keyClick(s.form.get(), c.key);
        EXPECT_EQ(s.tool(), c.tool);
        EXPECT_EQ(s.form->moreButton->text(), c.more);
        const bool later = c.tool >= 6;
        EXPECT_EQ(s.form->moreButton->isChecked(), later);
        // The menu names each later tool's key beside it; the buttons' tooltips theirs.
        if (later) {
            EXPECT_TRUE(s.form->moreMenu()
                            .toolAction(static_cast<Kind>(c.tool))
                            ->text()
                            .endsWith("\t" + QKeySequence(c.key).toString()));
        }
    }
    EXPECT_TRUE(s.form->Command1->toolTip().endsWith("(L)"));
    EXPECT_TRUE(s.form->Command6->toolTip().endsWith("(F)"));

    // In the text box the letters are text.
    s.form->Command1->click();
    s.form->Text1->setFocus();
    QTest::keyClicks(s.form->Text1, "bawpt");
    EXPECT_EQ(s.form->Text1->text(), "bawpt");
    EXPECT_EQ(s.tool(), 1);
}

TEST(MoreMenu, AStyleBecomesCurrentAndRestylesThePickedShapeAsAnEdit) {
    Shown s;
    MoreMenu& more = s.form->moreMenu();
    more.styleAction(Style::FillPattern, 3)->trigger();
    more.chooseTool(Kind::Bar);
    QTest::mousePress(s.window(), Qt::LeftButton, Qt::NoModifier, s.at(1000, 1000));
    QTest::mouseMove(s.window(), s.at(2000, 2000));
    QTest::mouseRelease(s.window(), Qt::LeftButton, Qt::NoModifier, s.at(2000, 2000));
    ASSERT_EQ(s.form->picture().BarCount(), 1);
    EXPECT_EQ(s.form->picture().Bars[0].Pattern, 3);

    QTest::keyClick(s.form.get(), Qt::Key_S);
    s.click(1500, 1500);  // inside the bar: picked
    ASSERT_TRUE(s.form->document().selection().has_value());
    more.styleAction(Style::FillPattern, 9)->trigger();
    more.styleAction(Style::TextSize, 4)->trigger();  // a bar has no text: unchanged
    EXPECT_EQ(s.form->picture().Bars[0].Pattern, 9);
    EXPECT_EQ(s.form->picture().state.FillPattern, 9);
    EXPECT_EQ(s.form->picture().state.TextSize, 4);
    s.form->Command5->click();  // Select's undo: the restyle was one edit
    EXPECT_EQ(s.form->picture().Bars[0].Pattern, 3);
}

TEST(ToolGestures, PolygonAndLabelThroughTheWindow) {
    Shown s;
    QTest::keyClick(s.form.get(), Qt::Key_P);
    s.click(1000, 1000);
    s.click(2000, 1000);
    s.click(2000, 2000);
    s.click(1000, 2500);
    QTest::keyClick(&s.form->canvas(), Qt::Key_Backspace);  // the fourth corner goes
    QTest::mouseDClick(s.window(), Qt::LeftButton, Qt::NoModifier, s.at(1500, 2600));
    ASSERT_EQ(s.form->picture().PolygonCount(), 1);
    EXPECT_EQ(s.form->picture().Polygons[0].Count, 4);
    EXPECT_EQ(s.form->picture().Polygons[0].X[3], 1500);

    QTest::keyClick(s.form.get(), Qt::Key_T);
    s.click(3000, 3000);
    QLineEdit* editor = s.form->canvas().labelEditor();
    ASSERT_NE(editor, nullptr);
    EXPECT_EQ(editor->pos(), s.at(3000, 3000));
    QTest::keyClicks(editor, "Let's go ");
    // Beyond printable ASCII: refused as typed.
    QTest::sendKeyEvent(QTest::Click, editor, Qt::Key_Eacute, QString::fromUtf8("\xc3\xa9"), Qt::NoModifier);
    QTest::keyClicks(editor, "!");
    EXPECT_EQ(editor->text(), "Let's go !");
    EXPECT_EQ(s.tool(), 10);  // the L typed was text
    QTest::keyClick(editor, Qt::Key_Return);
    ASSERT_EQ(s.form->picture().LabelCount(), 1);
    EXPECT_EQ(s.form->picture().Labels[0].Length, 10);
    QTest::qWait(0);
    EXPECT_EQ(s.form->canvas().labelEditor(), nullptr);
    s.form->Command22->click();
    EXPECT_TRUE(s.form->Text1->text().contains("outtextxy(300,300,'Let''s go !');"));
}

}  // namespace
}  // namespace pasdraw
