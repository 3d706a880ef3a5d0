// The preview window and "Picture from text", as a user meets them.
#include <gtest/gtest.h>

#include <QClipboard>
#include <QGuiApplication>
#include <QHelpEvent>
#include <QPushButton>
#include <QSlider>
#include <QTest>
#include <QTextBlock>
#include <QToolTip>
#include <memory>

#include "canvas/raster_surface.h"
#include "program/step_run.h"
#include "qt_print.h"
#include "ui/canvas_widget.h"
#include "ui/form1.h"
#include "ui/preview_window.h"
#include "ui/program_text.h"
#include "ui/run_image.h"
#include "ui/text_box.h"

namespace pasdraw {
namespace {

struct Shown {
    std::unique_ptr<Form1> form = std::make_unique<Form1>();
    Shown() {
        form->show();
        EXPECT_TRUE(QTest::qWaitForWindowExposed(form.get()));
    }
    PreviewWindow& preview() { return form->preview(); }
    // The preview's colour at a screen pixel, as 0xRRGGBB.
    uint32_t at(int x, int y) { return preview().image().pixel(x, y) & 0xFFFFFFu; }
};

TEST(Preview, OpensClosesAndFollowsTheText) {
    Shown s;
    EXPECT_FALSE(s.preview().isVisible());
    s.form->previewButton->click();
    ASSERT_TRUE(s.preview().isVisible());
    EXPECT_EQ(s.preview().windowTitle(), "pasdraw - program preview");
    EXPECT_TRUE(s.form->previewButton->isChecked());
    s.preview().waitUntilShown();
    EXPECT_EQ(s.preview().image().size(), QSize(640, 480));

    // Generate, a slider step and typing each show at once.
    s.form->picture().selectColour(4, 0);
    s.form->picture().commitRectangle({600, 6000, 600, 4500, 0, 0});
    s.form->Command22->click();
    s.preview().waitUntilShown();
    EXPECT_EQ(s.at(60, 100), 0xAA0000u);  // red, in the standard palette
    EXPECT_EQ(s.at(61, 100), 0u);
    // A slider step rewrites the text around the new origin: the picture
    // stays where it is, and the preview runs the new text.
    s.form->Command24->click();  // origin 60, 60
    s.preview().waitUntilShown();
    const int runs = s.preview().shownRuns();
    s.form->Slider1->setValue(70);
    s.preview().waitUntilShown();
    EXPECT_EQ(s.preview().shownRuns(), runs + 1);
    EXPECT_EQ(s.at(60, 100), 0xAA0000u);
    s.form->Text1->moveCursor(QTextCursor::End);
    s.form->Text1->insertPlainText("setfillstyle(1,14);floodfill(XK+5,YK+5,4);");
    s.preview().waitUntilShown();
    EXPECT_EQ(s.at(100, 100), 0xFFFF55u);
    EXPECT_TRUE(s.preview().status().contains("ran")) << s.preview().status().toStdString();

    s.form->previewButton->click();
    EXPECT_FALSE(s.preview().isVisible());
    EXPECT_FALSE(s.form->previewButton->isChecked());
}

TEST(Preview, RefusedTextIsSaidPlainlyAndItsLinesMarked) {
    Shown s;
    s.form->Text1->setText(
        "setcolor(2);line(0,0,100,0);\r\nlin(1,2,3,4);\r\ncircle(5,5);\r\nline(0,9,100,9);\r\n");
    s.form->togglePreview();
    s.preview().waitUntilShown();
    EXPECT_TRUE(s.preview().status().startsWith("The compiler would refuse this program: line 2"))
        << s.preview().status().toStdString();
    EXPECT_EQ(s.preview().problemLines(), (std::vector<int>{2, 3}));
    const QList<QTextEdit::ExtraSelection> marks = s.form->Text1->extraSelections();
    ASSERT_EQ(marks.size(), 2);
    EXPECT_EQ(marks[0].cursor.blockNumber(), 1);
    EXPECT_EQ(marks[1].cursor.blockNumber(), 2);
    // Resting the pointer on a marked line says what is wrong there.
    EXPECT_EQ(s.form->Text1->notesAt(2),
              QStringLiteral("The compiler would refuse this, column 1: unknown procedure 'lin'"));
    EXPECT_TRUE(s.form->Text1->notesAt(1).isEmpty());
    const QPoint onLine2 =
        s.form->Text1->cursorRect(QTextCursor(s.form->Text1->document()->findBlockByNumber(1))).center();
    QHelpEvent help(QEvent::ToolTip, onLine2, s.form->Text1->viewport()->mapToGlobal(onLine2));
    QCoreApplication::sendEvent(s.form->Text1->viewport(), &help);
    EXPECT_EQ(QToolTip::text(), s.form->Text1->notesAt(2));
    // What comes before the first problem is shown; nothing after it.
    EXPECT_EQ(s.at(50, 0), 0x00AA00u);
    EXPECT_EQ(s.at(50, 9), 0u);
    // Marking never touches the text.
    EXPECT_FALSE(s.form->Text1->editedByUser());
    // Closing the preview takes the marks away.
    s.form->togglePreview();
    EXPECT_TRUE(s.form->Text1->extraSelections().isEmpty());
}

TEST(Preview, AWarnedLineIsUnderlinedAndStillDrawn) {
    Shown s;
    s.form->Text1->setText("setcolor(2);\r\nline(0,5,70000,5);\r\n");
    s.form->togglePreview();
    s.preview().waitUntilShown();
    EXPECT_EQ(s.preview().warningLines(), (std::vector<int>{2}));
    const QList<QTextEdit::ExtraSelection> marks = s.form->Text1->extraSelections();
    ASSERT_EQ(marks.size(), 1);
    EXPECT_EQ(marks[0].cursor.blockNumber(), 1);
    EXPECT_EQ(marks[0].cursor.selectedText(), QStringLiteral("line(0,5,70000,5);"));
    EXPECT_EQ(marks[0].format.underlineStyle(), QTextCharFormat::WaveUnderline);
    EXPECT_TRUE(s.form->Text1->notesAt(2).startsWith(QStringLiteral("The compiler warns, column 15: 70000 ")))
        << s.form->Text1->notesAt(2).toStdString();
    EXPECT_EQ(s.at(3, 5), 0x00AA00u);
    s.form->togglePreview();
    EXPECT_TRUE(s.form->Text1->extraSelections().isEmpty());
}

TEST(Preview, ARunawayLoopIsStoppedAndSaid) {
    Shown s;
    s.form->togglePreview();
    s.form->Text1->setText(
        "setfillstyle(1,2);for i:=1 to 30000 do begin floodfill(5,5,15); floodfill(5,5,14) end;");
    s.preview().waitUntilShown();
    EXPECT_TRUE(s.preview().status().startsWith("stopped after ")) << s.preview().status().toStdString();
    EXPECT_TRUE(s.preview().status().endsWith("statements; the program would go on"));
}

TEST(Preview, CopyImagePutsThePictureOnTheClipboard) {
    Shown s;
    s.form->Text1->setText("setcolor(14);circle(320,240,100);");
    s.form->togglePreview();
    s.preview().waitUntilShown();
    QGuiApplication::clipboard()->clear();
    s.preview().copyImage();
    const QImage copied = QGuiApplication::clipboard()->image();
    ASSERT_EQ(copied.size(), QSize(640, 480));
    EXPECT_EQ(copied.pixel(420, 240) & 0xFFFFFFu, 0xFFFF55u);
}

// The lines the text box marks with a full-width background (1-based).
std::vector<int> markedLines(const TextBox& box) {
    std::vector<int> lines;
    for (const QTextEdit::ExtraSelection& mark : box.extraSelections())
        lines.push_back(mark.cursor.blockNumber() + 1);
    return lines;
}

// Keys step through the run one statement at a time; each picture is the
// text's own run cut after that statement, and the text box marks its line.
TEST(Preview, KeysStepThroughTheRunAndMarkTheRunningLine) {
    Shown s;
    const std::string text =
        "setcolor(4);\r\nfor i := 1 to 3 do\r\n  circle(100 * i, 100, 40);\r\nsetfillstyle(1, 2);\r\n"
        "floodfill(100, 100, 4);\r\nsetbkcolor(1);";
    s.form->Text1->setText(QString::fromStdString(text));
    s.form->togglePreview();
    s.preview().waitUntilShown();
    const QImage finished = s.preview().image();
    ASSERT_EQ(s.preview().statements(), 7u);
    const std::vector<int> lineOf{1, 3, 3, 3, 4, 5, 6};
    QTest::keyClick(&s.preview(), Qt::Key_Home);
    for (uint64_t n = 0; n <= 7; ++n) {
        s.preview().waitUntilShown();
        ASSERT_EQ(s.preview().step(), n);
        const QImage cut = indexedImage(runPreviewCut(text, n)).convertToFormat(QImage::Format_RGB32);
        ASSERT_EQ(s.preview().image(), cut) << "after statement " << n;
        const std::vector<int> marked = markedLines(*s.form->Text1);
        if (n >= 1 && n < 7) {
            EXPECT_EQ(marked, std::vector<int>{lineOf[n - 1]}) << "after statement " << n;
        } else {
            EXPECT_TRUE(marked.empty()) << "after statement " << n;
        }
        QTest::keyClick(&s.preview(), Qt::Key_Right);
    }
    EXPECT_EQ(s.preview().image(), finished);  // Right at the end stays there
}

// A click names the statement that last painted the pixel and puts the text
// cursor on its line; a pixel no statement painted is said to be untouched.
TEST(Preview, AClickNamesThePixelsStatement) {
    Shown s;
    const std::string text =
        "setcolor(4);\r\ncircle(100, 100, 20);\r\nsetcolor(2);\r\n  line(0, 100, 639, 100);";
    s.form->Text1->setText(QString::fromStdString(text));
    s.form->togglePreview();
    s.preview().waitUntilShown();
    struct Case {
        QPoint pixel;
        int line;  // 0: none
    };
    for (const Case c : {Case{{100, 80}, 2}, Case{{80, 100}, 4}, Case{{300, 300}, 0}}) {
        QTest::mouseClick(&s.preview(), Qt::LeftButton, {}, c.pixel / s.preview().devicePixelRatioF());
        s.preview().waitUntilShown();
        if (c.line == 0) {
            EXPECT_TRUE(s.preview().status().startsWith("No statement painted"))
                << qPrintable(s.preview().status());
            continue;
        }
        EXPECT_TRUE(s.preview().status().contains(QStringLiteral("line %1, column").arg(c.line)))
            << qPrintable(s.preview().status());
        EXPECT_EQ(s.form->Text1->textCursor().blockNumber() + 1, c.line);
    }
}

// Play runs the animation to its end and leaves the screen the program ends
// with; a new text stops a play that waits.
TEST(Preview, PlayShowsFramesAndANewTextStopsIt) {
    Shown s;
    s.form->Text1->setText("for i := 1 to 4 do begin cleardevice; circle(100 * i, 100, 40); delay(1) end;");
    s.form->togglePreview();
    s.preview().waitUntilShown();
    const QImage finished = s.preview().image();
    s.preview().play();
    EXPECT_TRUE(s.preview().playing());
    QTRY_VERIFY_WITH_TIMEOUT(!s.preview().playing(), 60000);
    EXPECT_GE(s.preview().playedFrames(), 1);
    EXPECT_EQ(s.preview().image(), finished);

    s.form->Text1->setText("circle(100, 100, 40); delay(65535); cleardevice;");
    s.preview().waitUntilShown();
    const QImage still = s.preview().image();
    const int before = s.preview().playedFrames();
    s.preview().play();
    QTRY_VERIFY_WITH_TIMEOUT(s.preview().playedFrames() > before, 60000);  // waiting in the delay
    EXPECT_TRUE(s.preview().playing());
    s.form->Text1->setText("line(0, 0, 639, 479);");
    EXPECT_FALSE(s.preview().playing());
    s.preview().waitUntilShown();
    EXPECT_NE(s.preview().image(), still);
}

TEST(PictureFromText, ReplacesThePictureAndMovesTheOrigin) {
    Shown s;
    int asked = 0;
    QStringList refusals;
    bool replace = false;
    s.form->setImportDialogs(
        [&](const QString&) {
            ++asked;
            return replace;
        },
        [&](const QString& m) { refusals << m; });
    s.form->picture().selectColour(2, 0);
    s.form->picture().commitLine({0, 100, 0, 100, 0, 0});
    const QString text = "XK:=100; YK:=50;setcolor(4);rectangle(XK+0,YK+0,XK+100,YK+80);\r\n";
    s.form->Text1->setText(text);

    // Asked, and Cancel keeps everything.
    EXPECT_FALSE(s.form->pictureFromText());
    EXPECT_EQ(asked, 1);
    EXPECT_EQ(s.form->picture().LineCount(), 1);
    replace = true;
    EXPECT_TRUE(s.form->pictureFromText());
    EXPECT_EQ(s.form->picture().LineCount(), 0);
    ASSERT_EQ(s.form->picture().RectangleCount(), 1);
    EXPECT_EQ(s.form->picture().Rectangles[0], (RectangleRecord{1000, 2000, 500, 1300, 4, 0x000000C0}));
    EXPECT_EQ(s.form->programText().XK(), 100);
    EXPECT_EQ(s.form->programText().YK(), 50);
    EXPECT_EQ(s.form->Slider1->value(), 100);
    EXPECT_EQ(s.form->Slider2->value(), 50);
    EXPECT_EQ(s.form->Text1->text(), text);                            // the text stays
    EXPECT_EQ(s.form->canvas().surface().pixel(67, 40), 0x000000C0u);  // repainted
    EXPECT_TRUE(refusals.isEmpty());
    // Generate now writes what the text drew.
    s.form->Command22->click();
    EXPECT_EQ(s.form->Text1->text(), "setcolor(4);rectangle(100,50,200,130);\r\n");
}

TEST(PictureFromText, ARefusalChangesNothingAndNamesTheLines) {
    Shown s;
    s.form->setImportDialogs([](const QString&) { return true; }, [&](const QString&) {});
    QStringList refusals;
    s.form->setImportDialogs([](const QString&) { return true; }, [&](const QString& m) { refusals << m; });
    s.form->picture().selectColour(2, 0);
    s.form->picture().commitCircle({3000, 2000, 500, 0, 0});
    s.form->Command24->click();
    const QString text =
        "XK:=7; YK:=8;\r\nsetcolor(3);line(1,1,5,5);\r\nputpixel(1,1,3);\r\nbar3d(0,0,3,3,2,true);\r\n";
    s.form->Text1->setText(text);
    const auto x = s.form->programText().XK();
    const auto y = s.form->programText().YK();
    const uint32_t canvas = s.form->canvas().surface().pixel(200, 100);
    EXPECT_FALSE(s.form->pictureFromText());
    ASSERT_EQ(refusals.size(), 1);
    EXPECT_TRUE(refusals[0].contains("line 3")) << refusals[0].toStdString();
    EXPECT_TRUE(refusals[0].contains("line 4"));
    EXPECT_EQ(s.form->picture().CircleCount(), 1);
    EXPECT_EQ(s.form->picture().LineCount(), 0);
    EXPECT_EQ(s.form->Text1->text(), text);
    EXPECT_EQ(s.form->programText().XK(), x);
    EXPECT_EQ(s.form->programText().YK(), y);
    EXPECT_EQ(s.form->canvas().surface().pixel(200, 100), canvas);
}

}  // namespace
}  // namespace pasdraw
