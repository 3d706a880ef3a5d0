// The picture keeps its keys after any button click, every key can be found
// (the tooltips, the F1 sheet, the README's list), and the readout shows its
// notes whole, at every scale the window is tested at.
#include <gtest/gtest.h>

#include <QAbstractButton>
#include <QApplication>
#include <QDialog>
#include <QDir>
#include <QFile>
#include <QLabel>
#include <QMenu>
#include <QPushButton>
#include <QRegularExpression>
#include <QScrollArea>
#include <QScrollBar>
#include <QSlider>
#include <QTableWidget>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <QWindow>
#include <functional>
#include <memory>

#include "read_file.h"
#include "ui/colour_button.h"
#include "ui/form1.h"
#include "ui/key_sheet.h"
#include "ui/program_text.h"
#include "ui/readout.h"
#include "ui/recovery_keeper.h"
#include "ui/text_box.h"
#include "ui/work_files.h"

namespace pasdraw {
namespace {

struct Shown {
    std::unique_ptr<Form1> form = std::make_unique<Form1>();
    // Any menu that opens is closed as a user would, unused: a click on a
    // menu button, or a key that opens one where it should not.
    QTimer closer;
    int menusClosed = 0;
    Shown() {
        QObject::connect(&closer, &QTimer::timeout, [this] {
            if (QWidget* popup = QApplication::activePopupWidget()) popup->close(), ++menusClosed;
        });
        closer.start(20);
        form->show();
        EXPECT_TRUE(QTest::qWaitForWindowExposed(form.get()));
        form->activateWindow();
        EXPECT_TRUE(QTest::qWaitForWindowActive(form.get()));
    }
    QWindow* window() const { return form->windowHandle(); }
    QPoint at(int x, int y) const {
        return QPoint(qRound(static_cast<float>(x) / form->twipsPerLogicalPixelX()),
                      qRound(static_cast<float>(y) / form->twipsPerLogicalPixelY()));
    }
    // A real click, through the window, so the focus goes where a user's would.
    void click(QWidget* w) {
        const int closed = menusClosed;
        QTest::mouseClick(window(), Qt::LeftButton, Qt::NoModifier, w->geometry().center());
        const auto* button = qobject_cast<QPushButton*>(w);
        if (button != nullptr && button->menu() != nullptr) {
            EXPECT_TRUE(QTest::qWaitFor(
                [&] { return menusClosed > closed && QApplication::activePopupWidget() == nullptr; }));
            // The letter keys are shortcuts, for the active window; the
            // offscreen platform does not give it back after a menu by itself.
            form->activateWindow();
            EXPECT_TRUE(QTest::qWaitForWindowActive(form.get()));
        }
    }
    void drag(QPoint from, QPoint to) {
        QTest::mousePress(window(), Qt::LeftButton, Qt::NoModifier, from);
        QTest::mouseMove(window(), to);
        QTest::mouseRelease(window(), Qt::LeftButton, Qt::NoModifier, to);
    }
    void key(Qt::Key k) { QTest::keyClick(window(), k); }
};

TEST(PictureKeys, AfterAClickOnAnyButtonTheKeysStillActOnThePickedShape) {
    const std::pair<const char*, std::function<QWidget*(Form1&)>> clicked[] = {
        {"Generate", [](Form1& f) { return f.Command22; }},
        {"Value", [](Form1& f) { return f.Command24; }},
        {"Save", [](Form1& f) { return f.Command23; }},
        {"Select", [](Form1& f) { return f.selectButton; }},
        {"a colour", [](Form1& f) { return f.paletteButtons[3]; }},
        {"More", [](Form1& f) { return f.moreButton; }},
        {"File", [](Form1& f) { return f.fileButton; }},
    };
    QTemporaryDir dir;
    for (const auto& [name, widget] : clicked) {
        SCOPED_TRACE(name);
        Shown s;
        s.form->programText().setApplicationDirectory(dir.path());
        s.form->Command2->click();
        s.drag(s.at(1500, 1500), s.at(3000, 3000));
        const RectangleRecord drawn = s.form->picture().Rectangles[0];
        s.key(Qt::Key_S);
        QTest::mouseClick(s.window(), Qt::LeftButton, Qt::NoModifier, s.at(1500, 2200));
        ASSERT_TRUE(s.form->document().selection());
        s.click(widget(*s.form));
        s.key(Qt::Key_Right);
        EXPECT_EQ(s.form->picture().Rectangles[0].X1, drawn.X1 + 10);
        s.key(Qt::Key_Down);
        EXPECT_EQ(s.form->picture().Rectangles[0].Y1, drawn.Y1 + 10);
        s.key(Qt::Key_Escape);
        EXPECT_FALSE(s.form->document().selection());
        QTest::mouseClick(s.window(), Qt::LeftButton, Qt::NoModifier, s.at(1510, 2200));
        ASSERT_TRUE(s.form->document().selection());
        s.click(widget(*s.form));
        s.key(Qt::Key_Delete);
        EXPECT_EQ(s.form->picture().RectangleCount(), 0);
        // The text box, once it has the keyboard, keeps the arrows.
        s.form->Command2->click();
        s.drag(s.at(1500, 1500), s.at(3000, 3000));
        s.key(Qt::Key_S);
        QTest::mouseClick(s.window(), Qt::LeftButton, Qt::NoModifier, s.at(1500, 2200));
        s.form->Text1->setFocus();
        s.key(Qt::Key_Right);
        s.key(Qt::Key_Backspace);
        EXPECT_EQ(s.form->picture().Rectangles[0].X1, drawn.X1);
        EXPECT_EQ(s.form->picture().RectangleCount(), 1);
    }
}

// The README's table under "Keys and mouse", row by row: the sheet is what
// people read in the window, the README what they read before.
TEST(KeySheet, TheReadmeListsEveryRowOfTheSheetAndF1ShowsIt) {
    const QString readme = QString::fromUtf8(readFile(QStringLiteral(PASDRAW_README)));
    const qsizetype start = readme.indexOf(QStringLiteral("\n## Keys and mouse\n"));
    ASSERT_GE(start, 0);
    const qsizetype end = readme.indexOf(QStringLiteral("\n## "), start + 1);
    QList<QStringList> rows;
    for (const QString& line : readme.mid(start, end - start).split(QLatin1Char('\n'))) {
        if (!line.startsWith(QLatin1String("| ")) || line.startsWith(QLatin1String("| Key or gesture |")))
            continue;
        rows << line.mid(2, line.size() - 4).split(QStringLiteral(" | "));
    }
    ASSERT_EQ(rows.size(), static_cast<qsizetype>(std::size(KeySheet)));
    for (qsizetype i = 0; i < rows.size(); ++i) {
        EXPECT_EQ(rows[i], QStringList({KeySheet[i].keys, KeySheet[i].what})) << "README row " << i + 1;
    }

    Shown s;
    s.key(Qt::Key_F1);
    const auto* sheet = s.form->findChild<QDialog*>(QStringLiteral("keySheet"));
    ASSERT_NE(sheet, nullptr);
    EXPECT_TRUE(sheet->isVisible());
    const auto* table = sheet->findChild<QTableWidget*>();
    ASSERT_EQ(table->rowCount(), rows.size());
    for (int i = 0; i < table->rowCount(); ++i)
        EXPECT_EQ(QStringList({table->item(i, 0)->text(), table->item(i, 1)->text()}), rows[i]);
}

// Each button with a key names it, and the sheet lists it; Value's key writes
// the origin's form as the button does.
TEST(KeySheet, EveryButtonsTooltipNamesAKeyTheSheetLists) {
    Shown s;
    Form1& f = *s.form;
    const std::pair<QAbstractButton*, const char*> buttons[] = {
        {f.Command1, "L"},
        {f.Command2, "R"},
        {f.Command3, "E"},
        {f.Command4, "C"},
        {f.Command6, "F"},
        {f.selectButton, "S"},
        {f.moreButton, "B"},
        {f.Command5, "Ctrl+Z"},
        {f.Command22, "Ctrl+G"},
        {f.Command23, "Ctrl+S"},
        {f.Command24, "Ctrl+Shift+G"},
        {f.previewButton, "Ctrl+F9"},
        {f.fromTextButton, "Ctrl+I"},
        {f.fileButton, "Ctrl+O"},
        {f.Command25, "T"},
    };
    for (const auto& [button, key] : buttons) {
        SCOPED_TRACE(button->objectName().toStdString());
        EXPECT_TRUE(button->toolTip().contains(QStringLiteral("(%1").arg(QLatin1String(key))) ||
                    button->toolTip().contains(QStringLiteral("(%1)").arg(QLatin1String(key))))
            << button->toolTip().toStdString();
        EXPECT_TRUE(std::any_of(std::begin(KeySheet), std::end(KeySheet), [key](const KeyRow& r) {
            return QString::fromUtf8(r.keys).split(QStringLiteral(", ")).contains(QLatin1String(key));
        }));
    }
    f.picture().commitCircle({1000, 1000, 300, 1, 0});
    f.document().shapesReplaced();
    QTest::keyClick(s.window(), Qt::Key_G, Qt::ControlModifier | Qt::ShiftModifier);
    EXPECT_TRUE(f.Text1->text().contains("XK")) << f.Text1->text().toStdString();
}

// The notes come whole: every character of what the readout says is in its
// rows (a path may break anywhere), each row fits the pane, no ellipsis, and
// a new note is in sight without scrolling to it. Run at 96 and 144 dpi.
TEST(Form1Scale, TheReadoutShowsItsLongestNotesWhole) {
    QTemporaryDir dir;
    const QString folder = dir.path() + "/a_folder_with_a_name_far_wider_than_the_readout/and/more/of/them";
    ASSERT_TRUE(QDir().mkpath(folder) && QDir().mkpath(RecoveryKeeper::folder()));
    // Work a killed window left, and a damaged copy beside it.
    const QString left = RecoveryKeeper::folder() + "/recovery-999997-0.pasdraw";
    const QString damaged = RecoveryKeeper::folder() + "/recovery-999996-0.pasdraw";
    {
        Form1 crashed;
        crashed.picture().commitCircle({1000, 1000, 300, 1, 0});
        crashed.document().shapesReplaced();
        crashed.files().recovery().write();
        QFile::remove(left);
        ASSERT_TRUE(QFile::copy(crashed.files().recovery().path(), left));
        QFile broken(damaged);
        ASSERT_TRUE(broken.open(QIODevice::WriteOnly));
        broken.write("pasdraw recovery 1\nbroken");
    }
    Shown s;
    Form1& f = *s.form;
    f.programText().setApplicationDirectory(folder);
    const auto letters = [](QString t) { return t.remove(QRegularExpression(QStringLiteral("\\s"))); };
    const auto check = [&](const char* step, const QString& words) {
        SCOPED_TRACE(step);
        const QString notes = f.readout().noteText();
        EXPECT_TRUE(notes.contains(words)) << notes.toStdString();
        const QScrollArea* pane = f.readout().flowPane();
        EXPECT_EQ(pane->verticalScrollBar()->value(), 0);
        for (const char* name : {"notes", "status", "counts"}) {
            const auto* label = f.readout().findChild<QLabel*>(QLatin1String(name));
            EXPECT_FALSE(label->text().contains(QChar(0x2026))) << name;
            EXPECT_TRUE(label->parentWidget()->rect().contains(label->geometry())) << name;
            for (const QString& row : label->text().split(QLatin1Char('\n')))
                EXPECT_LE(QFontMetrics(label->font()).horizontalAdvance(row), label->width()) << name;
        }
        const auto* shown = f.readout().findChild<QLabel*>(QStringLiteral("notes"));
        EXPECT_EQ(letters(shown->text()), letters(notes));
        EXPECT_EQ(shown->y(), 0);  // the first thing in the pane
        EXPECT_LE(pane->geometry().right(), f.readout().rect().right());
    };

    f.files().recovery().lookForLeftWork();
    check("restore offer", "Ctrl+Shift+R restores it");
    check("damaged copy", damaged + ".damaged");
    // Every kind's list full but one line short, in the origin's form.
    for (int i = 0; i < ListCapacity; ++i) {
        f.picture().commitRectangle({}), f.picture().commitEllipse({}), f.picture().commitCircle({});
        f.picture().commitBar({}), f.picture().commitArc({}), f.picture().commitPieSlice({});
        f.picture().commitPolygon({}), f.picture().commitLabel({}), f.picture().commitFill(-100, -100);
        if (i > 0) f.picture().commitLine({});
    }
    f.document().shapesReplaced();
    f.Command24->click();
    f.picture().commitLine({});
    f.document().shapesReplaced();
    check("stale text", "the text does not show the newest shapes: Generate or Value");
    f.Command23->click();
    check("saved stale text", "saved " + folder + "/test.pas; the text lacks the newest ");
    f.Command1->click();
    s.drag(s.at(1000, 1000), s.at(2000, 2000));
    check("full list", "No room for another line");
    EXPECT_EQ(letters(f.readout().findChild<QLabel*>(QStringLiteral("counts"))->text()),
              letters(f.readout().countsText()));
    QFile::remove(left);
    QFile::remove(damaged + ".damaged");
}

}  // namespace
}  // namespace pasdraw
