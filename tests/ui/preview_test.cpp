// The preview window and "Picture from text", as a user meets them.
#include <gtest/gtest.h>

#include <QClipboard>
#include <QGuiApplication>
#include <QPushButton>
#include <QSlider>
#include <QTest>
#include <memory>

#include "canvas/raster_surface.h"
#include "qt_print.h"
#include "ui/canvas_widget.h"
#include "ui/form1.h"
#include "ui/preview_window.h"
#include "ui/program_text.h"
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
    // What comes before the first problem is shown; nothing after it.
    EXPECT_EQ(s.at(50, 0), 0x00AA00u);
    EXPECT_EQ(s.at(50, 9), 0u);
    // Marking never touches the text.
    EXPECT_FALSE(s.form->Text1->editedByUser());
    // Closing the preview takes the marks away.
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
        "XK:=7; YK:=8;\r\nsetcolor(3);line(1,1,5,5);\r\nputpixel(1,1,3);\r\nbar(0,0,3,3);\r\n";
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
