// "Generate", "Value", the sliders and "Save" as the user reaches them.
#include "ui/program_text.h"

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QPushButton>
#include <QSlider>
#include <QTemporaryDir>
#include <QTest>

#include "qt_print.h"
#include "read_file.h"
#include "ui/form1.h"
#include "ui/text_box.h"

namespace pasdraw {
namespace {

const QByteArray header =
    "uses graph,crt;\r\n"
    "var XK,YK,i,m,d,err:integer;\r\n"
    "begin\r\n"
    "m:=detect; initgraph(m,d,''); err:=graphresult;\r\n"
    "if (graphresult <> grOk) then halt;\r\n";
const QByteArray trailer = "repeat until keypressed; end.\r\n";

// The picture of the "Value" example: one record of each kind.
void drawExample(Picture& p) {
    p.selectColour(4, 0);
    p.commitLine({1000, 2005, 500, 1500, 0, 0});
    p.selectColour(2, 0);
    p.commitRectangle({3000, 1500, 2500, 800, 0, 0});
    p.selectColour(14, 0);
    EllipseRecord e{};
    e.X1 = 2010, e.X2 = 1005, e.Y1 = 3000, e.Y2 = 3600;
    p.commitEllipse(e);
    p.selectColour(1, 0);
    p.commitCircle({4000, 2000, 755, 0, 0});
    p.state.LastColorIndex = 2;
    p.selectColour(4, 0);
    p.commitFill(1200, 700);
}

struct Rig {
    QTemporaryDir dir;
    Form1 form;
    QStringList errors;
    Rig() {
        form.programText().setApplicationDirectory(dir.path());
        form.programText().setFailureHandler([this](const QString& m, bool) {
            errors << m;
            return std::optional<QString>();
        });
    }
    QString file() const { return dir.path() + "/test.pas"; }
};

TEST(ProgramText, GenerateValueSliderAndSaveGiveTheExpectedBytes) {
    Rig rig;
    drawExample(rig.form.picture());

    rig.form.Command22->click();
    EXPECT_EQ(rig.form.Text1->text(),
              "setcolor(4);line(100,50,200,150);\r\n"
              "setcolor(2);rectangle(300,250,150,80);\r\n"
              "setcolor(14);ellipse(151,330,0,360,50,30);\r\n"
              "setcolor(1);circle(400,200,75);\r\n"
              "setfillstyle(1,4);floodfill(120,70,2);\r\n");

    rig.form.Command24->click();
    const QString value =
        "XK:=100; YK:=50;setcolor(4);line(XK+0,YK+0,XK+100,YK+100);\r\n"
        "setcolor(2);rectangle(XK+200,YK+200,XK+50,YK+30);\r\n"
        "setcolor(14);ellipse(XK+51,YK+280,0,360,50,30);\r\n"
        "setcolor(1);circle(XK+300,YK+150,75);\r\n"
        "setfillstyle(1,4);floodfill(XK+20,YK+20,2);\r\n";
    EXPECT_EQ(rig.form.Text1->text(), value);
    EXPECT_EQ(rig.form.programText().XK(), 100);
    EXPECT_EQ(rig.form.programText().YK(), 50);
    // The sliders moved to the origin without rewriting the text.
    EXPECT_EQ(rig.form.Slider1->value(), 100);
    EXPECT_EQ(rig.form.Slider2->value(), 50);

    rig.form.Command23->click();
    EXPECT_TRUE(rig.errors.isEmpty());
    EXPECT_EQ(readFile(rig.file()), header + " " + value.toLatin1() + trailer);

    // A user's slider move: origin X only; the origin is not recomputed.
    rig.form.Slider1->triggerAction(QAbstractSlider::SliderSingleStepSub);
    EXPECT_EQ(rig.form.programText().XK(), 99);
    EXPECT_EQ(rig.form.programText().YK(), 50);
    EXPECT_TRUE(rig.form.Text1->text().startsWith(
        "XK:=99; YK:=50;setcolor(4);line(XK+(1),YK+(0),XK+(101),YK+(100));\r\n"));
    rig.form.Slider2->setValue(20);
    rig.form.Slider1->setValue(30);
    EXPECT_EQ(rig.form.Text1->text().section("\r\n", 0, 0),
              "XK:=30; YK:=20;setcolor(4);line(XK+(70),YK+(30),XK+(170),YK+(130));");
    rig.form.Command23->click();
    EXPECT_EQ(readFile(rig.file()), header + " " + rig.form.Text1->text().toLatin1() + trailer);
}

TEST(ProgramText, ValueOnAnEmptyPictureKeepsTheOriginTheSliderCannotShow) {
    Rig rig;
    rig.form.Text1->setText("old text");
    rig.form.Command24->click();
    EXPECT_EQ(rig.form.Text1->text(), "XK:=1000; YK:=1000;");
    EXPECT_EQ(rig.form.programText().XK(), 1000);
    EXPECT_EQ(rig.form.programText().YK(), 1000);
    EXPECT_EQ(rig.form.Slider1->value(), 640);  // clamped by the slider, not by the origin
    EXPECT_EQ(rig.form.Slider2->value(), 480);
    rig.form.Command23->click();
    EXPECT_EQ(readFile(rig.file()), header + " XK:=1000; YK:=1000;" + trailer);
}

TEST(ProgramText, SliderBeforeAnyValueWritesXKAsZero) {
    Rig rig;
    rig.form.picture().selectColour(4, 0);
    rig.form.picture().commitLine({1000, 2005, 500, 1500, 0, 0});
    rig.form.Slider2->setValue(20);
    EXPECT_FALSE(rig.form.programText().XK().has_value());
    EXPECT_EQ(rig.form.Text1->text(),
              "XK:=0; YK:=20;setcolor(4);line(XK+(100),YK+(30),XK+(200),YK+(130));\r\n");
}

TEST(ProgramText, UserEditsAreSavedWithCrLfAndTheirCharacters) {
    Rig rig;
    rig.form.Command22->click();  // empty picture: empty text
    EXPECT_TRUE(rig.form.Text1->text().isEmpty());
    rig.form.Text1->setFocus();
    QTest::keyClicks(rig.form.Text1, "setcolor(1);");
    QTest::keyClick(rig.form.Text1, Qt::Key_Return);
    QTest::keyClicks(rig.form.Text1, "x");
    QTest::keyClick(rig.form.Text1, Qt::Key_Return, Qt::ShiftModifier);
    QTest::keyClicks(rig.form.Text1, QString("a") + QChar(0x00A0) + "b");
    EXPECT_EQ(rig.form.Text1->text(), QString("setcolor(1);\r\nx\r\na") + QChar(0x00A0) + "b");
    rig.form.Command23->click();
    EXPECT_EQ(readFile(rig.file()),
              header + " setcolor(1);\r\nx\r\na" + QString(QChar(0x00A0)).toLocal8Bit() + "b" + trailer);
}

TEST(ProgramText, SaveFailureIsReportedAndChangesNothing) {
    Rig rig;
    drawExample(rig.form.picture());
    rig.form.Command24->click();
    const QString text = rig.form.Text1->text();

    // A directory named test.pas is in the way.
    ASSERT_TRUE(QDir(rig.dir.path()).mkdir("test.pas"));
    rig.form.Command23->click();
    ASSERT_EQ(rig.errors.size(), 1);
    EXPECT_TRUE(rig.errors[0].contains(rig.file())) << rig.errors[0].toStdString();
    EXPECT_TRUE(QFileInfo(rig.file()).isDir());
    EXPECT_EQ(rig.form.Text1->text(), text);
    EXPECT_EQ(rig.form.programText().XK(), 100);
    EXPECT_EQ(rig.form.picture().LineCount(), 1);
    EXPECT_EQ(QDir(rig.dir.path()).entryList(QDir::Files), QStringList());  // no temporary left behind
}

TEST(ProgramText, SaveIntoAReadOnlyFolderKeepsTheOldFile) {
    Rig rig;
    rig.form.Command24->click();
    rig.form.Command23->click();
    const QByteArray before = readFile(rig.file());
    ASSERT_TRUE(before.startsWith("uses graph,crt;"));
    drawExample(rig.form.picture());
    rig.form.Command22->click();
    const QByteArray dir = QFile::encodeName(rig.dir.path());
    ASSERT_EQ(chmod(dir.constData(), 0555), 0);
    // Root may write into a read-only folder; act as an ordinary user for the
    // save (only the effective id changes, so it can be taken back).
    const bool root = geteuid() == 0;
    if (root) {
        ASSERT_EQ(seteuid(65534), 0);
    }
    rig.form.Command23->click();
    if (root) {
        ASSERT_EQ(seteuid(0), 0);
    }
    chmod(dir.constData(), 0755);
    ASSERT_EQ(rig.errors.size(), 1);
    EXPECT_TRUE(rig.errors[0].contains(rig.file()));
    EXPECT_EQ(readFile(rig.file()), before);
}

TEST(ProgramText, FilePathHasNoDoubledSeparator) {
    Form1 form;
    form.programText().setApplicationDirectory("/some/dir/");
    EXPECT_EQ(form.programText().programFilePath(), "/some/dir/test.pas");
    form.programText().setApplicationDirectory("/some/dir");
    EXPECT_EQ(form.programText().programFilePath(), "/some/dir/test.pas");
    form.programText().setApplicationDirectory("/");
    EXPECT_EQ(form.programText().programFilePath(), "/test.pas");
}

// The program-text part on bare widgets, with no window around it: the
// slider handlers are connected by hand as the window would connect them.
TEST(ProgramText, WorksOnItsOwnWidgetsAndSaysWhetherItSaved) {
    Document document;
    drawExample(document.picture());
    TextBox text;
    QSlider x, y;
    x.setRange(0, 640);
    y.setRange(0, 480);
    ProgramText part(document, &text, &x, &y);
    QObject::connect(&x, &QSlider::valueChanged, &part, [&] { part.sliderChanged(true); });
    QObject::connect(&y, &QSlider::valueChanged, &part, [&] { part.sliderChanged(false); });
    QStringList errors;
    part.setFailureHandler([&](const QString& m, bool) {
        errors << m;
        return std::optional<QString>();
    });

    part.value();
    EXPECT_EQ(x.value(), 100);
    EXPECT_EQ(y.value(), 50);
    EXPECT_TRUE(text.text().startsWith("XK:=100; YK:=50;setcolor(4);line(XK+0,"));
    y.setValue(60);
    EXPECT_EQ(part.YK(), 60);
    EXPECT_TRUE(text.text().startsWith("XK:=100; YK:=60;setcolor(4);line(XK+(0),YK+(-10),"));

    QTemporaryDir dir;
    part.setApplicationDirectory(dir.path());
    EXPECT_TRUE(part.save());
    EXPECT_EQ(readFile(dir.path() + "/test.pas"), header + " " + text.text().toLatin1() + trailer);
    ASSERT_TRUE(QFile::remove(dir.path() + "/test.pas"));
    ASSERT_TRUE(QDir(dir.path()).mkdir("test.pas"));
    EXPECT_FALSE(part.save());
    EXPECT_EQ(errors.size(), 1);
}

}  // namespace
}  // namespace pasdraw
