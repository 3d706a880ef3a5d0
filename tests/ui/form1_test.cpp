#include "ui/form1.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QFile>
#include <QFrame>
#include <QMouseEvent>
#include <QPushButton>
#include <QSlider>
#include <QTemporaryDir>
#include <QTest>
#include <QWindow>
#include <memory>

#include "canvas/raster_surface.h"
#include "model/palette.h"
#include "qt_print.h"
#include "ui/canvas_widget.h"
#include "ui/colour_button.h"
#include "ui/program_text.h"
#include "ui/text_box.h"

namespace pasdraw {
namespace {

struct ShownForm {
    std::unique_ptr<Form1> form = std::make_unique<Form1>();
    ShownForm() {
        form->show();
        EXPECT_TRUE(QTest::qWaitForWindowExposed(form.get()));
    }
    QWindow* window() const { return form->windowHandle(); }
    // Window coordinates in logical pixels for a point in twips.
    QPoint at(float x, float y) const {
        return QPoint(qRound(x / form->twipsPerLogicalPixelX()), qRound(y / form->twipsPerLogicalPixelY()));
    }
};

TEST(Form1Window, ClientAreaCaptionAndScale) {
    Form1 form;
    ASSERT_FLOAT_EQ(form.twipsPerLogicalPixelX(), 15.0f) << "these checks assume a 96 dpi screen";
    EXPECT_EQ(form.size(), QSize(643, 531));
    EXPECT_EQ(form.windowTitle(), "pasdraw");
    EXPECT_EQ(form.objectName(), "Form1");
    EXPECT_EQ(form.surface().width(), 643);
    EXPECT_EQ(form.surface().height(), 531);
    EXPECT_EQ(form.minimumSize(), form.maximumSize());  // the layout is fixed
}

TEST(Form1Window, ControlsSitWhereTheLayoutPutsThem) {
    Form1 form;
    struct Case {
        const char* name;
        const char* caption;
        QRect rect;  // at 15 twips per pixel
    };
    const Case cases[] = {
        {"Command1", "Line", {432, 8, 105, 17}},
        {"Text1", nullptr, {8, 328, 409, 193}},
        {"Command2", "Rectangle", {432, 32, 105, 17}},
        {"Command3", "Ellipse", {432, 56, 105, 17}},
        {"Command4", "Circle", {432, 80, 105, 17}},
        {"Command5", "Undo", {432, 152, 105, 17}},
        {"Command7", "", {552, 8, 81, 17}},
        {"Command21", "", {552, 344, 81, 17}},
        {"Command22", "Generate", {552, 416, 81, 17}},
        {"Command6", "Fill", {432, 104, 105, 21}},
        {"Command23", "Save", {552, 440, 81, 17}},
        {"Command24", "Value", {552, 392, 81, 17}},
        {"Slider1", nullptr, {432, 472, 193, 17}},
        {"Slider2", nullptr, {432, 504, 193, 17}},
        {"Command25", "Text", {432, 128, 105, 17}},
    };
    for (const Case& c : cases) {
        auto* w = form.findChild<QWidget*>(c.name);
        ASSERT_NE(w, nullptr) << c.name;
        EXPECT_EQ(w->geometry(), c.rect) << c.name;
        if (c.caption != nullptr) {
            EXPECT_EQ(qobject_cast<QPushButton*>(w)->text(), c.caption) << c.name;
        }
    }
    EXPECT_EQ(form.Line1->geometry(), QRect(544, 8, 1, 361));
    EXPECT_EQ(form.Line2->geometry(), QRect(544, 368, 97, 1));
    EXPECT_EQ(form.Slider1->maximum(), 640);
    EXPECT_EQ(form.Slider2->maximum(), 480);
    for (QSlider* s : {form.Slider1, form.Slider2}) {
        EXPECT_EQ(s->minimum(), 0);
        EXPECT_EQ(s->singleStep(), 1);
        EXPECT_EQ(s->pageStep(), 5);
        EXPECT_EQ(s->value(), 0);
    }
    EXPECT_EQ(form.Text1->verticalScrollBarPolicy(), Qt::ScrollBarAlwaysOn);
    EXPECT_FALSE(form.Text1->isReadOnly());
    EXPECT_TRUE(form.Text1->text().isEmpty());
}

TEST(Form1Window, TabOrderFollowsTheLayout) {
    Form1 form;
    QStringList expected = {"Command1", "Text1", "Command2", "Command3", "Command4", "Command5"};
    for (int k = 7; k <= 21; ++k) expected << QStringLiteral("Command%1").arg(k);
    expected << "Command22"
             << "Command6"
             << "Command23"
             << "Command24"
             << "Slider1"
             << "Slider2"
             << "Command25";
    QStringList actual;
    QWidget* w = form.Command1;
    for (int i = 0; i < expected.size(); ++i) {
        actual << w->objectName();
        do {
            w = w->nextInFocusChain();
        } while (w->objectName().isEmpty() || w->parentWidget() != &form);
    }
    EXPECT_EQ(actual, expected);
}

TEST(Form1Window, PaletteButtonsShowAndSelectTheirColour) {
    Form1 form;
    for (int n = 1; n <= 15; ++n) {
        QPushButton* b = form.findChild<QPushButton*>(QStringLiteral("Command%1").arg(n + 6));
        ASSERT_NE(b, nullptr);
        EXPECT_TRUE(b->text().isEmpty());
        const auto rgb = static_cast<uint32_t>(Palette[static_cast<std::size_t>(n - 1)].rgb);
        const QColor colour(static_cast<int>(rgb & 0xFF), static_cast<int>((rgb >> 8) & 0xFF),
                            static_cast<int>((rgb >> 16) & 0xFF));
        // Every pixel inside the thin border is exactly the colour: no
        // gradient, no tint, whatever the widget style.
        const QImage shot = b->grab().toImage();
        int wrong = 0;
        for (int y = 4; y < shot.height() - 4; ++y) {
            for (int x = 5; x < shot.width() - 5; ++x) wrong += shot.pixelColor(x, y) != colour;
        }
        EXPECT_EQ(wrong, 0) << "button " << n;
        EXPECT_EQ(b->toolTip(), Palette[static_cast<std::size_t>(n - 1)].name);
        b->click();
        EXPECT_EQ(form.picture().state.CurrentColorIndex, n);
        EXPECT_EQ(form.picture().state.CurrentColorRGB, static_cast<int32_t>(rgb));
    }
}

TEST(Form1Window, TheCurrentColourIsFramed) {
    Form1 form;
    // At start colour 1 is current; the frame is white on its outer edge.
    EXPECT_EQ(form.paletteButtons[0]->grab().toImage().pixelColor(0, 8), QColor(255, 255, 255));
    EXPECT_NE(form.paletteButtons[7]->grab().toImage().pixelColor(0, 8), QColor(255, 255, 255));
    form.paletteButtons[14]->click();  // white: the frame still shows by its dark gap
    const QImage white = form.paletteButtons[14]->grab().toImage();
    EXPECT_EQ(white.pixelColor(1, 8), QColor(0, 0, 0));
    EXPECT_EQ(white.pixelColor(white.width() / 2, 8), QColor(255, 255, 255));
    EXPECT_NE(form.paletteButtons[0]->grab().toImage().pixelColor(0, 8), QColor(255, 255, 255));
}

TEST(Form1Window, StartUpToolsUndoAndTheTextButton) {
    Form1 form;
    EXPECT_EQ(form.picture().state.CurrentColorIndex, 1);
    EXPECT_EQ(form.picture().state.CurrentColorRGB, 0x00C00000);
    EXPECT_EQ(form.picture().state.Tool, 0);
    EXPECT_EQ(form.surface().pixel(0, 0), 0x00FFFFFFu);
    EXPECT_EQ(form.surface().pixel(427, 320), 0x00FFFFFFu);
    EXPECT_EQ(form.surface().pixel(428, 321), 0u);
    const std::pair<QPushButton*, int> tools[] = {
        {form.Command1, 1}, {form.Command2, 2}, {form.Command3, 3}, {form.Command4, 4}, {form.Command6, 5}};
    for (const auto& [button, tool] : tools) {
        button->click();
        EXPECT_EQ(form.picture().state.Tool, tool);
        EXPECT_TRUE(button->isChecked());
    }
    form.Command25->click();
    EXPECT_EQ(form.picture().state.Tool, 5);
    EXPECT_TRUE(form.Text1->text().isEmpty());

    form.picture().commitLine({});
    form.picture().commitFill(30, 30);
    form.Command5->click();  // fill tool: drops the fill only
    EXPECT_EQ(form.picture().FillCount(), 0);
    EXPECT_EQ(form.picture().LineCount(), 1);
    form.Command5->click();
    EXPECT_EQ(form.picture().FillCount(), 0);
}

// Real Qt mouse events, through the window as a user's would arrive.
TEST(Form1Mouse, DragWithQtEventsStoresAndDrawsTheShape) {
    ShownForm f;
    f.form->Command2->click();
    f.form->paletteButtons[3]->click();  // red
    QTest::mousePress(f.window(), Qt::LeftButton, Qt::NoModifier, f.at(1500, 1500));
    QTest::mouseMove(f.window(), f.at(2250, 2250));
    QTest::mouseMove(f.window(), f.at(3000, 3000));
    QTest::mouseRelease(f.window(), Qt::LeftButton, Qt::NoModifier, f.at(3000, 3000));
    ASSERT_EQ(f.form->picture().RectangleCount(), 1);
    EXPECT_EQ(f.form->picture().Rectangles[0], (RectangleRecord{1500, 3000, 1500, 3000, 4, 0x000000C0}));
    EXPECT_EQ(f.form->surface().pixel(100, 150), 0x000000C0u);
    EXPECT_EQ(f.form->surface().pixel(150, 150), 0u);

    // What the window shows is the canvas image.
    const QImage shown = f.form->grab().toImage();
    EXPECT_EQ(shown.pixelColor(100, 150), QColor(192, 0, 0));
    EXPECT_EQ(shown.pixelColor(0, 0), QColor(255, 255, 255));
}

TEST(Form1Mouse, FractionalAndNegativePositionsReachTheEditor) {
    ShownForm f;
    f.form->Command1->click();
    // A press inside, a drag captured beyond the top-left edge, a release there.
    const auto send = [&](QEvent::Type type, QPointF p, Qt::MouseButtons buttons) {
        QMouseEvent e(type, p, f.form->mapToGlobal(p),
                      type == QEvent::MouseMove ? Qt::NoButton : Qt::LeftButton, buttons, Qt::NoModifier);
        QCoreApplication::sendEvent(&f.form->canvas(), &e);
    };
    send(QEvent::MouseButtonPress, QPointF(100.5, 50.25), Qt::LeftButton);
    send(QEvent::MouseMove, QPointF(-20.0, -30.5), Qt::LeftButton);
    send(QEvent::MouseButtonRelease, QPointF(-20.0, -30.5), Qt::NoButton);
    ASSERT_EQ(f.form->picture().LineCount(), 1);
    // 100.5 * 15 = 1507.5 -> 1508 (half to even), 50.25 * 15 = 753.75 -> 754
    EXPECT_EQ(f.form->picture().Lines[0], (LineRecord{1508, -300, 754, -458, 1, 0x00C00000}));
}

TEST(Form1Mouse, PointerIsACrossHairOverTheCanvasOnly) {
    ShownForm f;
    QTest::mouseMove(f.window(), f.at(6390, 4790));  // pixel (426, 319): the last inside
    EXPECT_EQ(f.form->canvas().cursor().shape(), Qt::CrossCursor);
    QTest::mouseMove(f.window(), f.at(6480, 100));  // right of the canvas
    EXPECT_EQ(f.form->canvas().cursor().shape(), Qt::ArrowCursor);
    QTest::mouseMove(f.window(), f.at(100, 4830));  // below it
    EXPECT_EQ(f.form->canvas().cursor().shape(), Qt::ArrowCursor);
    QTest::mouseMove(f.window(), f.at(3000, 3000));
    EXPECT_EQ(f.form->canvas().cursor().shape(), Qt::CrossCursor);
}

TEST(Form1Mouse, AFullListIsReportedWithoutADialogAndLeavesTheModel) {
    ShownForm f;
    for (int i = 0; i < ListCapacity; ++i) f.form->picture().commitCircle({});
    f.form->Command4->click();
    QTest::mousePress(f.window(), Qt::LeftButton, Qt::NoModifier, f.at(1500, 1500));
    QTest::mouseRelease(f.window(), Qt::LeftButton, Qt::NoModifier, f.at(1800, 1500));
    EXPECT_EQ(f.form->picture().CircleCount(), 1001);
    EXPECT_EQ(QApplication::activeModalWidget(), nullptr);
    EXPECT_TRUE(f.form->windowTitle().contains("1001 circles")) << f.form->windowTitle().toStdString();
    EXPECT_TRUE(f.form->canvas().capacityNote().contains("Undo one"))
        << f.form->canvas().capacityNote().toStdString();
    const QRect before = f.form->Command1->geometry();
    f.form->Command5->click();  // undo frees a slot and clears the note
    EXPECT_EQ(f.form->windowTitle(), "pasdraw");
    EXPECT_EQ(f.form->Command1->geometry(), before);
    QTest::mousePress(f.window(), Qt::LeftButton, Qt::NoModifier, f.at(1500, 1500));
    QTest::mouseRelease(f.window(), Qt::LeftButton, Qt::NoModifier, f.at(1800, 1500));
    EXPECT_EQ(f.form->picture().CircleCount(), 1001);
    EXPECT_EQ(f.form->picture().Circles[1000].Radius, 300);
}

}  // namespace
}  // namespace pasdraw

namespace pasdraw {
namespace {

// Run once as is (15 twips per pixel) and, from ctest, under scaled screens
// where one device pixel is 10 twips (see tests/ui/CMakeLists.txt).
TEST(Form1Scale, CanvasImageHasDevicePixelResolution) {
    const QByteArray expected = qgetenv("PASDRAW_EXPECT_TWIPS_PER_DEVICE_PIXEL");
    const float perDevicePixel = expected.isEmpty() ? 15.0f : expected.toFloat();
    Form1 form;
    form.show();
    EXPECT_FLOAT_EQ(form.surface().TwipsPerPixelX(), perDevicePixel);
    EXPECT_FLOAT_EQ(form.surface().TwipsPerPixelY(), perDevicePixel);
    const int right = qRound(6400 / perDevicePixel), bottom = qRound(4800 / perDevicePixel);
    EXPECT_EQ(form.surface().pixel(right, bottom), 0x00FFFFFFu);
    EXPECT_EQ(form.surface().pixel(right + 1, bottom), 0u);
    EXPECT_EQ(form.surface().pixel(right, bottom + 1), 0u);
    // A drag still lands where the pointer is, in twips.
    form.Command1->click();
    const float tpl = form.twipsPerLogicalPixelX();
    QMouseEvent press(QEvent::MouseButtonPress, QPointF(100, 100), form.mapToGlobal(QPointF(100, 100)),
                      Qt::LeftButton, Qt::LeftButton, Qt::NoModifier);
    QMouseEvent release(QEvent::MouseButtonRelease, QPointF(200, 50), form.mapToGlobal(QPointF(200, 50)),
                        Qt::LeftButton, Qt::NoButton, Qt::NoModifier);
    QCoreApplication::sendEvent(&form.canvas(), &press);
    QCoreApplication::sendEvent(&form.canvas(), &release);
    ASSERT_EQ(form.picture().LineCount(), 1);
    EXPECT_EQ(form.picture().Lines[0].X1, qRound(100 * tpl));
    EXPECT_EQ(form.picture().Lines[0].Y2, qRound(50 * tpl));
    // The image covers the whole window.
    EXPECT_GE(form.surface().width() / form.devicePixelRatioF(), form.width() - 1);
    EXPECT_GE(form.surface().height() / form.devicePixelRatioF(), form.height() - 1);
}

}  // namespace
}  // namespace pasdraw

namespace pasdraw {
namespace {

TEST(Form1Keys, ShortcutsReachUndoGenerateAndSave) {
    ShownForm f;
    f.form->activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(f.form.get()));
    QTemporaryDir dir;
    f.form->programText().setApplicationDirectory(dir.path());
    f.form->Command1->click();
    f.form->Command1->setFocus();
    f.form->picture().commitLine({100, 200, 300, 400, 0, 0});
    f.form->picture().commitLine({10, 20, 30, 40, 0, 0});

    QTest::keyClick(f.form.get(), Qt::Key_Z, Qt::ControlModifier);
    EXPECT_EQ(f.form->picture().LineCount(), 1);
    QTest::keyClick(f.form.get(), Qt::Key_G, Qt::ControlModifier);
    EXPECT_EQ(f.form->Text1->text(), "setcolor(1);line(10,30,20,40);\r\n");
    QTest::keyClick(f.form.get(), Qt::Key_S, Qt::ControlModifier);
    EXPECT_TRUE(QFile::exists(dir.path() + "/test.pas"));

    // Inside the text box Ctrl+Z undoes typing, not a shape.
    f.form->Text1->setFocus();
    QTest::keyClicks(f.form->Text1, "x");
    QTest::keyClick(f.form->Text1, Qt::Key_Z, Qt::ControlModifier);
    EXPECT_EQ(f.form->picture().LineCount(), 1);
}

}  // namespace
}  // namespace pasdraw
