// The readout, redo, the text box's undo across a replacement, the close
// prompt and the save's ways out, as a user meets them in the window.
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QFontMetrics>
#include <QLabel>
#include <QMessageBox>
#include <QPushButton>
#include <QRegularExpression>
#include <QSlider>
#include <QTemporaryDir>
#include <QTest>
#include <QWindow>
#include <QtMath>
#include <functional>
#include <memory>
#include <utility>

#include "canvas/raster_surface.h"
#include "codegen/codegen.h"
#include "qt_print.h"
#include "read_file.h"
#include "ui/canvas_widget.h"
#include "ui/colour_button.h"
#include "ui/form1.h"
#include "ui/program_text.h"
#include "ui/readout.h"
#include "ui/text_box.h"

namespace pasdraw {
namespace {

struct Shown {
    std::unique_ptr<Form1> form = std::make_unique<Form1>();
    QTemporaryDir dir;
    QStringList failures;
    std::optional<QString> elsewhere;  // what "Save elsewhere..." answers
    Shown() {
        form->programText().setApplicationDirectory(dir.path());
        form->programText().setFailureHandler([this](const QString& m, bool) {
            failures << m;
            return std::exchange(elsewhere, std::nullopt);
        });
        form->show();
        EXPECT_TRUE(QTest::qWaitForWindowExposed(form.get()));
    }
    QWindow* window() const { return form->windowHandle(); }
    QPoint at(int x, int y) const {
        return QPoint(qRound(static_cast<float>(x) / form->twipsPerLogicalPixelX()),
                      qRound(static_cast<float>(y) / form->twipsPerLogicalPixelY()));
    }
    Readout& readout() { return form->readout(); }
};

// Acts as an ordinary user for one call: root writes into read-only folders.
template <class F>
void asNobody(F&& f) {
    const bool root = geteuid() == 0;
    if (root) {
        ASSERT_EQ(seteuid(65534), 0);
    }
    f();
    if (root) {
        ASSERT_EQ(seteuid(0), 0);
    }
}

TEST(Readout, DragNumbersAreTheOnesGenerateWrites) {
    struct Case {
        QPushButton* Form1::*tool;
        QPoint from, to;  // twips
        const char* statement;
    };
    // Odd widths, drags up and to the left, and coordinates just off a
    // multiple of 10: the readout must round and truncate as the record does.
    const Case cases[] = {
        {&Form1::Command1, {1500, 3000}, {4515, 735}, "setcolor(1);line(150,300,451,73);"},
        {&Form1::Command2, {6000, 4500}, {45, 30}, "setcolor(1);rectangle(600,450,4,3);"},
        {&Form1::Command3, {1500, 1500}, {4515, 3030}, "setcolor(1);ellipse(300,226,0,360,150,76);"},
        {&Form1::Command3, {4500, 3000}, {1485, 1515}, "setcolor(1);ellipse(299,226,0,360,151,74);"},
        {&Form1::Command4, {3000, 3000}, {3900, 4200}, "setcolor(1);circle(300,300,150);"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.statement);
        Shown s;
        (s.form.get()->*c.tool)->click();
        QTest::mousePress(s.window(), Qt::LeftButton, Qt::NoModifier, s.at(c.from.x(), c.from.y()));
        QTest::mouseMove(s.window(), s.at((c.from.x() + c.to.x()) / 2, (c.from.y() + c.to.y()) / 2));
        QTest::mouseMove(s.window(), s.at(c.to.x(), c.to.y()));
        const QString shown = s.readout().dragText();
        QTest::mouseRelease(s.window(), Qt::LeftButton, Qt::NoModifier, s.at(c.to.x(), c.to.y()));
        EXPECT_TRUE(s.readout().dragText().isEmpty());
        s.form->Command22->click();
        EXPECT_EQ(s.form->Text1->text(), shown + "\r\n");
        EXPECT_EQ(shown, c.statement);
    }
}

TEST(Readout, PointerOriginCountsToolHintsAndNotes) {
    Shown s;
    EXPECT_EQ(s.readout().statusText(), "choose a tool to draw");
    QTest::mouseMove(s.window(), s.at(1515, 4785));
    EXPECT_EQ(s.readout().pointerText(), "x 151, y 478");  // 1515 \ 10, 4785 \ 10
    QTest::mouseMove(s.window(), s.at(7000, 100));         // off the canvas
    EXPECT_TRUE(s.readout().pointerText().isEmpty());

    // A yellow circle, then the fill tool says where fills stop.
    s.form->Command4->click();
    s.form->paletteButtons[13]->click();  // yellow, 14
    EXPECT_TRUE(s.readout().statusText().isEmpty());
    s.form->Command6->click();
    EXPECT_EQ(s.readout().statusText(), "fills stop at BLACK (0)");
    s.form->Command4->click();
    QTest::mousePress(s.window(), Qt::LeftButton, Qt::NoModifier, s.at(3000, 3000));
    QTest::mouseRelease(s.window(), Qt::LeftButton, Qt::NoModifier, s.at(3600, 3000));
    s.form->Command6->click();
    EXPECT_EQ(s.readout().statusText(), "fills stop at YELLOW (14)");
    EXPECT_TRUE(
        s.readout().countsText().startsWith("0/1001 lines\n0/1001 rectangles\n0/1001 ellipses\n"
                                            "1/1001 circles\n0/1001 fills"));
    EXPECT_TRUE(
        s.readout().noteText().contains("the text does not show the newest shapes: Generate or Value"));

    s.form->Command24->click();  // Value: the origin is the circle's centre
    EXPECT_FALSE(s.readout().noteText().contains("newest shapes"));
    // An undo with nothing to drop changes nothing, so the text is not older.
    s.form->Command1->click();
    s.form->Command5->click();
    EXPECT_FALSE(s.readout().noteText().contains("newest shapes"));
    EXPECT_TRUE(s.readout().countsText().endsWith("origin XK 300, YK 300"));
    QTest::mouseMove(s.window(), s.at(1500, 4500));
    EXPECT_EQ(s.readout().pointerText(), "x 150, y 450\nXK+-150, YK+150");

    s.form->Command23->click();
    EXPECT_EQ(s.readout().noteText(), "saved " + s.form->programText().programFilePath());
}

TEST(Redo, ShortcutsBringBackTheUndoneShapeOfTheCurrentKind) {
    Shown s;
    s.form->activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(s.form.get()));
    s.form->Command2->click();
    s.form->Command2->setFocus();
    QTest::mousePress(s.window(), Qt::LeftButton, Qt::NoModifier, s.at(1500, 1500));
    QTest::mouseRelease(s.window(), Qt::LeftButton, Qt::NoModifier, s.at(3000, 3000));
    const uint32_t drawn = s.form->canvas().surface().pixel(100, 150);
    ASSERT_NE(drawn, 0u);
    for (const QKeyCombination redo : {Qt::CTRL | Qt::Key_Y, Qt::CTRL | Qt::SHIFT | Qt::Key_Z}) {
        QTest::keyClick(s.form.get(), Qt::Key_Z, Qt::ControlModifier);
        EXPECT_EQ(s.form->picture().RectangleCount(), 0);
        EXPECT_EQ(s.form->canvas().surface().pixel(100, 150), 0u);
        QTest::keyClick(s.form.get(), redo.key(), redo.keyboardModifiers());
        EXPECT_EQ(s.form->picture().RectangleCount(), 1);
        EXPECT_EQ(s.form->canvas().surface().pixel(100, 150), drawn);  // repainted
    }
}

// A press on the canvas takes the keyboard from the text box, so the
// picture's keys act on what was just drawn and, with Select, on the picked
// shape; Shift on a palette click sets a picked fill's border.
TEST(CanvasKeys, APressTakesTheFocusAndSelectsKeysActOnThePickedShape) {
    Shown s;
    s.form->activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(s.form.get()));
    const auto key = [](Qt::Key k, Qt::KeyboardModifiers m = Qt::NoModifier) {
        QTest::keyClick(QApplication::focusWidget(), k, m);
    };
    const auto click = [&](int x, int y) {
        QTest::mousePress(s.window(), Qt::LeftButton, Qt::NoModifier, s.at(x, y));
        QTest::mouseRelease(s.window(), Qt::LeftButton, Qt::NoModifier, s.at(x, y));
    };
    s.form->Command2->click();
    s.form->Text1->setFocus();
    QTest::mousePress(s.window(), Qt::LeftButton, Qt::NoModifier, s.at(1500, 1500));
    QTest::mouseRelease(s.window(), Qt::LeftButton, Qt::NoModifier, s.at(3000, 3000));
    ASSERT_EQ(s.form->picture().RectangleCount(), 1);
    key(Qt::Key_Z, Qt::ControlModifier);
    EXPECT_EQ(s.form->picture().RectangleCount(), 0);
    key(Qt::Key_Y, Qt::ControlModifier);
    ASSERT_EQ(s.form->picture().RectangleCount(), 1);
    const RectangleRecord drawn = s.form->picture().Rectangles[0];
    // S picks the tool; the press picks the rectangle by its left edge.

    key(Qt::Key_S);
    EXPECT_TRUE(s.form->selectButton->isChecked());
    click(1500, 2000);
    key(Qt::Key_Right);
    key(Qt::Key_Down, Qt::ShiftModifier);
    EXPECT_EQ(s.form->picture().Rectangles[0].X1, drawn.X1 + 10);
    EXPECT_EQ(s.form->picture().Rectangles[0].Y2, drawn.Y2 + 100);
    key(Qt::Key_Delete);
    EXPECT_EQ(s.form->picture().RectangleCount(), 0);
    key(Qt::Key_Z, Qt::ControlModifier);
    key(Qt::Key_Z, Qt::ControlModifier);
    key(Qt::Key_Z, Qt::ControlModifier);
    ASSERT_EQ(s.form->picture().RectangleCount(), 1);
    EXPECT_EQ(s.form->picture().Rectangles[0], drawn);

    s.form->Command6->click();
    click(2000, 2000);
    s.form->selectButton->click();
    click(2000, 2000);
    QTest::mouseClick(s.form->paletteButtons[13], Qt::LeftButton, Qt::ShiftModifier);
    EXPECT_EQ(s.form->picture().Fills[0].BorderIndex, 14);
    EXPECT_EQ(s.form->picture().Fills[0].ColorIndex, 1);
    key(Qt::Key_Escape);
    EXPECT_FALSE(s.form->document().selection().has_value());
}

TEST(TextUndo, GenerateOverHandEditsIsOneStepTheTextBoxUndoes) {
    Shown s;
    s.form->picture().selectColour(4, 0);
    s.form->picture().commitLine({1000, 2005, 500, 1500, 0, 0});
    s.form->Command22->click();
    s.form->activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(s.form.get()));
    s.form->Text1->setFocus();
    s.form->Text1->moveCursor(QTextCursor::End);
    QTest::keyClicks(s.form->Text1, "XK:=7; ");
    // keyClicks types ASCII only; the rest arrives as a paste would.
    s.form->Text1->insertPlainText(QString(QChar(0x00E9)) + "t" + QChar(0x00A0));
    QTest::keyClick(s.form->Text1, Qt::Key_Return);
    const QString handEdited = s.form->Text1->text();
    ASSERT_TRUE(handEdited.endsWith("\r\n")) << handEdited.toStdString();

    // Value, then a slider drag: the hand edits go, then come back in one step.
    s.form->Command24->click();
    for (int v = 1; v <= 20; ++v) s.form->Slider1->setValue(v);
    EXPECT_TRUE(s.form->Text1->text().startsWith("XK:=20;"));
    QTest::keyClick(s.form->Text1, Qt::Key_Z, Qt::ControlModifier);
    EXPECT_EQ(s.form->Text1->text(), handEdited);
    EXPECT_EQ(s.form->picture().LineCount(), 1);  // the shape's undo did not run
    // Redo goes forward to the generated text again.
    QTest::keyClick(s.form->Text1, Qt::Key_Z, Qt::ControlModifier | Qt::ShiftModifier);
    EXPECT_TRUE(s.form->Text1->text().startsWith("XK:=20;"));

    // Generated text over generated text keeps nothing to undo.
    TextBox box;
    box.setText("one");
    box.setText("two");
    EXPECT_FALSE(box.canRestoreHandEdits());
}

TEST(ClosePrompt, EachAnswerAndAFailedSave) {
    struct Case {
        const char* name;
        bool drawSomething;
        bool saveFirst;
        int answer;  // -1: the question must not be asked
        bool blockSave;
        bool closes;
    };
    const Case cases[] = {
        {"nothing drawn, nothing to ask", false, false, -1, false, true},
        {"saved and unchanged", true, true, -1, false, true},
        {"discard", true, false, QMessageBox::Discard, false, true},
        {"cancel", true, false, QMessageBox::Cancel, false, false},
        {"save", true, false, QMessageBox::Save, false, true},
        {"save that fails keeps the window", true, false, QMessageBox::Save, true, false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        Shown s;
        int asked = 0;
        s.form->setCloseQuestion([&] {
            ++asked;
            return c.answer;
        });
        if (c.drawSomething) s.form->picture().commitCircle({100, 100, 100, 1, 0});
        if (c.drawSomething) s.form->document().shapesReplaced();
        if (c.saveFirst) {
            ASSERT_TRUE(s.form->programText().save());
        }
        if (c.blockSave) {
            ASSERT_TRUE(QDir(s.dir.path()).mkdir("test.pas"));
        }
        EXPECT_EQ(s.form->close(), c.closes);
        EXPECT_EQ(asked, c.answer == -1 ? 0 : 1);
        if (c.answer == QMessageBox::Save && !c.blockSave) {
            EXPECT_TRUE(readFile(s.dir.path() + "/test.pas").startsWith("uses graph,crt;"));
        }
        EXPECT_EQ(s.failures.size(), c.blockSave ? 1 : 0);
    }
}

TEST(Save, ReadOnlyFoldersAndTheWayOut) {
    struct Case {
        const char* name;
        bool writableFileThere;
        bool offerElsewhere;
        bool savedInPlace;
    };
    const Case cases[] = {
        {"read-only folder holding a writable test.pas: written in place", true, false, true},
        {"read-only folder without test.pas: saved elsewhere", false, true, false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        Shown s;
        s.form->picture().commitLine({100, 200, 300, 400, 1, 0});
        s.form->Command22->click();
        const QString target = s.dir.path() + "/test.pas";
        if (c.writableFileThere) {
            QFile f(target);
            ASSERT_TRUE(f.open(QIODevice::WriteOnly));
            f.write("old");
            f.close();
            ASSERT_EQ(chmod(QFile::encodeName(target).constData(), 0666), 0);
        }
        QTemporaryDir other;
        ASSERT_EQ(chmod(QFile::encodeName(other.path()).constData(), 0777), 0);
        if (c.offerElsewhere) s.elsewhere = other.path() + "/mine.pas";
        const QByteArray dir = QFile::encodeName(s.dir.path());
        ASSERT_EQ(chmod(dir.constData(), 0555), 0);
        bool saved = false;
        asNobody([&] { saved = s.form->programText().save(); });
        chmod(dir.constData(), 0755);
        EXPECT_TRUE(saved);
        const QByteArray expected =
            QByteArray::fromStdString(programFileBytes("setcolor(1);line(10,30,20,40);\r\n"));
        if (c.savedInPlace) {
            EXPECT_TRUE(s.failures.isEmpty());
            EXPECT_EQ(readFile(target), expected);
        } else {
            EXPECT_EQ(s.failures.size(), 1);
            EXPECT_FALSE(QFile::exists(target));
            EXPECT_EQ(readFile(other.path() + "/mine.pas"), expected);
            EXPECT_EQ(s.form->programText().savedPath(), other.path() + "/mine.pas");
        }
    }
}

// An installed copy lives in a folder its user cannot write; the way out
// still saves the very bytes.
TEST(Save, AnInstalledCopySavesElsewhere) {
    Shown s;
    s.form->programText().setApplicationDirectory("/usr/bin");
    s.form->Text1->setText("setcolor(2);\r\n");
    QTemporaryDir home;
    ASSERT_EQ(chmod(QFile::encodeName(home.path()).constData(), 0777), 0);
    s.elsewhere = home.path() + "/test.pas";
    bool saved = false;
    asNobody([&] { saved = s.form->programText().save(); });
    EXPECT_TRUE(saved);
    ASSERT_EQ(s.failures.size(), 1);
    EXPECT_TRUE(s.failures[0].contains("/usr/bin/test.pas"));
    EXPECT_EQ(readFile(home.path() + "/test.pas"),
              QByteArray::fromStdString(programFileBytes("setcolor(2);\r\n")));
}

TEST(Save, TextIsWrittenAsUtf8AndABrokenCharacterIsRefused) {
    Shown s;
    s.form->Text1->setText(QString("{ gr") + QChar(0x00FC) + QString("n } ") + QChar(0x4E2D) + "\r\n");
    ASSERT_TRUE(s.form->programText().save());
    EXPECT_TRUE(readFile(s.dir.path() + "/test.pas").contains("{ gr\xC3\xBCn } \xE4\xB8\xAD\r\n"));
    const QByteArray before = readFile(s.dir.path() + "/test.pas");
    s.form->Text1->setText(QString("ok\r\nab") + QChar(0xD800) + "c");
    s.elsewhere = s.dir.path() + "/never.pas";
    EXPECT_FALSE(s.form->programText().save());
    ASSERT_EQ(s.failures.size(), 1);
    EXPECT_TRUE(s.failures[0].contains("line 2, column 3")) << s.failures[0].toStdString();
    EXPECT_EQ(readFile(s.dir.path() + "/test.pas"), before);
    EXPECT_FALSE(QFile::exists(s.dir.path() + "/never.pas"));
}

void drag(Shown& s, QPoint from, QPoint to, bool release = true) {  // twips
    QTest::mousePress(s.window(), Qt::LeftButton, Qt::NoModifier, s.at(from.x(), from.y()));
    QTest::mouseMove(s.window(), s.at(to.x(), to.y()));
    if (release) QTest::mouseRelease(s.window(), Qt::LeftButton, Qt::NoModifier, s.at(to.x(), to.y()));
}

TEST(Keys, UndoAndBothRedoKeysActWhereTheLastPressWas) {
    for (const bool inTextBox : {false, true}) {
        for (const QKeyCombination redo : {Qt::CTRL | Qt::Key_Y, Qt::CTRL | Qt::SHIFT | Qt::Key_Z}) {
            SCOPED_TRACE(QKeySequence(redo).toString().toStdString() + (inTextBox ? " in the text box" : ""));
            Shown s;
            s.form->activateWindow();
            ASSERT_TRUE(QTest::qWaitForWindowActive(s.form.get()));
            QTest::mouseClick(s.form->Text1->viewport(), Qt::LeftButton);
            QTest::keyClick(s.window(), Qt::Key_7);  // the keyboard was last in the text box
            s.form->Command2->click();
            drag(s, {1500, 1500}, {3000, 3000});
            if (inTextBox) QTest::mouseClick(s.form->Text1->viewport(), Qt::LeftButton);
            QTest::keyClick(s.window(), Qt::Key_Z, Qt::ControlModifier);
            EXPECT_EQ(s.form->picture().RectangleCount(), inTextBox ? 1 : 0);
            EXPECT_EQ(s.form->Text1->text(), inTextBox ? "" : "7");
            QTest::keyClick(s.window(), redo.key(), redo.keyboardModifiers());
            EXPECT_EQ(s.form->picture().RectangleCount(), 1);
            EXPECT_EQ(s.form->Text1->text(), "7");
        }
    }
}

// After each step every part of the readout shows its text whole (perhaps
// wrapped) inside the readout and apart from the others, or, only a drag's
// statement too long for its rows, cut at an ellipsis with the whole text in
// its tooltip; the panel stays dark.
TEST(Readout, EveryLineShowsWholeOrCutWithItsTooltipOnADarkPanel) {
    Shown s;
    const QString folder = s.dir.path() + "/a_folder_with_a_name_far_wider_than_the_readout/and/more";
    ASSERT_TRUE(QDir().mkpath(folder));
    s.form->programText().setApplicationDirectory(folder);
    const auto circle = [&](int x) { s.form->Command4->click(), drag(s, {x, 3000}, {x + 300, 3000}); };
    const std::function<void()> steps[] = {
        [] {},
        [&] { circle(3000), s.form->Command6->click(), s.form->Command24->click(); },  // fill hint, origin
        [&] { circle(1000), s.form->Command23->click(); },  // a stale text saved to a long path
        [&] {  // white floods past the frame, behind the readout; an ellipse dragged half way
            s.form->paletteButtons[14]->click(), s.form->Command6->click();
            QTest::mouseClick(s.window(), Qt::LeftButton, Qt::NoModifier, s.at(150, 150));
            s.form->Command3->click(), drag(s, {4515, 3030}, {105, 45}, false);
        }};
    const QFontMetrics metrics(s.readout().font());
    const auto letters = [](QString t) { return t.remove(QRegularExpression(QStringLiteral("\\s"))); };
    int cut = 0;
    for (const auto& step : steps) {
        step();
        const QString parts[] = {s.readout().pointerText(), s.readout().dragText(), s.readout().statusText(),
                                 s.readout().countsText(), s.readout().noteText()};
        QList<QRect> taken;
        for (std::size_t i = 0; i < std::size(parts); ++i) {
            // The labels, made in the readout's order.
            const QLabel* label = s.readout().findChildren<QLabel*>().at(static_cast<qsizetype>(i));
            SCOPED_TRACE(parts[i].toStdString() + " shown as " + label->text().toStdString());
            if (parts[i].isEmpty()) continue;
            for (const QString& row : label->text().split(QLatin1Char('\n')))
                EXPECT_LE(metrics.horizontalAdvance(row), label->width());
            EXPECT_GE(label->height(), std::max(1, label->sizeHint().height()));  // no row cut at the foot
            // The notes, the hint and the counts lie in a pane that scrolls.
            const QRect inReadout(label->mapTo(&s.readout(), QPoint()), label->size());
            EXPECT_TRUE(label->parentWidget()->rect().contains(label->geometry()));
            for (const QRect& other : taken) EXPECT_FALSE(other.intersects(inReadout));
            taken << inReadout;
            if (letters(label->text()) == letters(parts[i])) continue;
            ++cut;
            EXPECT_TRUE(label->text().contains(QChar(0x2026)));
            EXPECT_EQ(label->toolTip(), parts[i]);
        }
    }
    EXPECT_EQ(cut, 0);  // the long path too, broken between rows
    const QPoint corner =
        s.readout().geometry().topRight() + QPoint(-1, 1);  // right of the short pointer line
    const qreal ratio = s.form->devicePixelRatioF();
    ASSERT_EQ(s.form->surface().pixel(qFloor(corner.x() * ratio), qFloor(corner.y() * ratio)), 0x00FFFFFFu);
    EXPECT_LT(s.form->grab().toImage().pixelColor(corner * ratio).lightness(), 40);
}

TEST(Readout, TheSavedNoteGoesWhenThePictureOrTextDiffersFromTheFile) {
    const std::pair<std::function<void(Shown&)>, bool> cases[] = {
        {[](Shown&) {}, true},
        {[](Shown& s) { QTest::keyClicks(s.form->Text1, "x"); }, false},
        {[](Shown& s) { QTest::keyClicks(s.form->Text1, "x\b"); }, true},  // typed and taken back
        {[](Shown& s) {
             drag(s, {500, 500}, {900, 900});
         },
         false},
        {[](Shown& s) { QTest::keyClicks(s.form->Text1, "x"), s.form->Command22->click(); }, true},
    };
    for (const auto& [change, stillSaved] : cases) {
        Shown s;
        s.form->Command1->click(), drag(s, {1500, 1500}, {3000, 2000});
        s.form->Command22->click(), s.form->Command23->click();
        const QString note = "saved " + s.form->programText().programFilePath();
        ASSERT_TRUE(s.readout().noteText().contains(note));
        s.form->Text1->moveCursor(QTextCursor::End);
        change(s);
        EXPECT_EQ(s.readout().noteText().contains(note), stillSaved) << s.readout().noteText().toStdString();
    }
}

}  // namespace
}  // namespace pasdraw
