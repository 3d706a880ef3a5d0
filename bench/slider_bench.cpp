// What the user waits for after moving an origin slider, clicking "Generate"
// or clicking "Value" on the fullest picture the editor can hold (1001 records
// of every kind, 5005 lines of text), in the real Form1 on Qt's offscreen
// platform.
//
// Each action is timed twice: the handler alone (the whole text rebuilt and
// handed to the text box), and the handler followed by the event loop's turn
// in which the text box lays out and paints what is visible. The second is
// what stands between the input and the new text on the screen. Either way the
// event loop runs after every action, as it does in the editor.
#include <benchmark/benchmark.h>

#include <QAbstractScrollArea>
#include <QApplication>
#include <QMouseEvent>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QSignalBlocker>
#include <QSlider>
#include <QTest>
#include <QTextDocument>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <memory>

#include "canvas/repaint.h"
#include "model/picture.h"
#include "pictures.h"
#include "ui/canvas_widget.h"
#include "ui/form1.h"
#include "ui/preview_window.h"
#include "ui/program_text.h"
#include "ui/readout.h"
#include "ui/text_box.h"

namespace pasdraw {
namespace {

Form1* form = nullptr;

// Counts the text box's paint events, so a "painted" figure is known to
// include a paint.
class PaintCounter : public QObject {
public:
    int paints = 0;

protected:
    bool eventFilter(QObject*, QEvent* event) override {
        if (event->type() == QEvent::Paint) ++paints;
        return false;
    }
};
PaintCounter* paintCounter = nullptr;

// Shapes spread over the whole canvas in all fifteen colours, rectangles and
// ellipses dragged in both directions, so the text has numbers of every width.
bool fillPicture(Picture& p) {
    bool all = true;
    for (int i = 0; i < ListCapacity; ++i) {
        const auto colour = static_cast<int16_t>(i % 15 + 1);
        const auto x = static_cast<int16_t>((i * 37) % CanvasWidth);
        const auto y = static_cast<int16_t>((i * 53) % CanvasHeight);
        const auto x2 = static_cast<int16_t>(CanvasWidth - x);
        const auto y2 = static_cast<int16_t>(CanvasHeight - y);
        p.selectColour(colour, 0x00C00000);
        all &= p.commitLine({.X1 = x, .X2 = x2, .Y1 = y, .Y2 = y2}) == CommitResult::Committed;
        all &= p.commitRectangle({.X1 = x2, .X2 = x, .Y1 = y2, .Y2 = y}) == CommitResult::Committed;
        all &= p.commitEllipse({.X1 = x, .X2 = x2, .Y1 = y2, .Y2 = y}) == CommitResult::Committed;
        all &= p.commitCircle({.X = x, .Y = y, .Radius = static_cast<int16_t>(i % 900 + 10)}) ==
               CommitResult::Committed;
        all &= p.commitFill(x2, y2) == CommitResult::Committed;
    }
    return all;
}

// The lines the full picture's text has: one per record.
int expectedLines = 5 * ListCapacity;

// The text must be the full picture's, or the figure measures something else.
bool fullText(benchmark::State& state) {
    const QString text = form->Text1->text();
    if (text.count(QStringLiteral("\r\n")) != expectedLines) {
        state.SkipWithError("the text box does not hold one line per record");
        return false;
    }
    return true;
}

// Every run reports the counter (the CSV output wants the same columns in all
// rows); a run whose figure includes the paint and that did not paint is
// refused.
void countPaints(benchmark::State& state, int paintsBefore, bool paint) {
    const int paints = paintCounter->paints - paintsBefore;
    state.counters["paints/action"] =
        benchmark::Counter(static_cast<double>(paints) / static_cast<double>(state.iterations()));
    if (paint && paints == 0) state.SkipWithError("the text box was never painted");
}

// The event loop's turn after an action: timed when the figure includes the
// paint, else run outside the timing. It runs either way, so that each handler
// meets the window as it would in the editor, with the last action's events
// handled.
void eventLoopTurn(benchmark::State& state, bool timed) {
    if (timed) {
        QApplication::processEvents();
        return;
    }
    state.PauseTiming();
    QApplication::processEvents();
    state.ResumeTiming();
}

void moveSlider(benchmark::State& state, QSlider* slider, bool paint) {
    const int paintsBefore = paintCounter->paints;
    int value = 0;
    for (auto _ : state) {
        // Away from where the slider stands, so that every set is a change and
        // the handler runs, also in the first iteration of a run.
        value = slider->value() == 100 ? 101 : 100;
        slider->setValue(value);
        eventLoopTurn(state, paint);
    }
    const bool x = slider == form->Slider1;
    if ((x ? form->programText().XK().value_or(-1) : form->programText().YK()) != value) {
        state.SkipWithError("the origin did not follow the slider");
        return;
    }
    const QString originLine =
        QStringLiteral("XK:=%1; YK:=%2;").arg(*form->programText().XK()).arg(form->programText().YK());
    if (!form->Text1->text().startsWith(originLine)) {
        state.SkipWithError("the text does not start with the slider's origin");
        return;
    }
    if (!fullText(state)) return;
    countPaints(state, paintsBefore, paint);
}

void clickButton(benchmark::State& state, QPushButton* button, const char* textStart, bool paint) {
    const int paintsBefore = paintCounter->paints;
    for (auto _ : state) {
        button->click();
        eventLoopTurn(state, paint);
    }
    if (!form->Text1->text().startsWith(QLatin1String(textStart))) {
        state.SkipWithError("the click did not write its text form");
        return;
    }
    if (!fullText(state)) return;
    countPaints(state, paintsBefore, paint);
}

void BM_Slider1Change_Handler(benchmark::State& s) { moveSlider(s, form->Slider1, false); }
void BM_Slider1Change_Painted(benchmark::State& s) { moveSlider(s, form->Slider1, true); }
void BM_Slider2Change_Painted(benchmark::State& s) { moveSlider(s, form->Slider2, true); }
void BM_GenerateClick_Handler(benchmark::State& s) { clickButton(s, form->Command22, "setcolor(", false); }
void BM_GenerateClick_Painted(benchmark::State& s) { clickButton(s, form->Command22, "setcolor(", true); }
void BM_ValueClick_Handler(benchmark::State& s) { clickButton(s, form->Command24, "XK:=", false); }
void BM_ValueClick_Painted(benchmark::State& s) { clickButton(s, form->Command24, "XK:=", true); }

// The same actions on the fullest picture of all ten kinds in every style
// (1001 of each, 10010 lines), swapped in for the run and out again after.
void swapIn(const Picture& shapes) {
    form->picture().replaceShapes(shapes);
    expectedLines = shapes.recordCount();
    drowob(form->picture(), form->surface());
    form->Command24->click();
    QApplication::processEvents();
}
template <void (*Row)(benchmark::State&)>
void onEveryKind(benchmark::State& state) {
    static const std::unique_ptr<Picture> every = bench::everyKindPicture();
    const auto before = std::make_unique<Picture>();
    before->replaceShapes(form->picture());
    swapIn(*every);
    Row(state);
    swapIn(*before);
}
void BM_GenerateClick_PaintedEvery(benchmark::State& s) {
    clickButton(s, form->Command22, "setfillstyle(", true);
}
BENCHMARK(onEveryKind<BM_Slider1Change_Painted>)
    ->Name("BM_Slider1Change_Painted/EveryKind")
    ->Unit(benchmark::kMillisecond);
BENCHMARK(onEveryKind<BM_GenerateClick_PaintedEvery>)
    ->Name("BM_GenerateClick_Painted/EveryKind")
    ->Unit(benchmark::kMillisecond);
BENCHMARK(onEveryKind<BM_ValueClick_Painted>)
    ->Name("BM_ValueClick_Painted/EveryKind")
    ->Unit(benchmark::kMillisecond);

BENCHMARK(BM_Slider1Change_Handler)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_Slider1Change_Painted)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_Slider2Change_Painted)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_GenerateClick_Handler)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_GenerateClick_Painted)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_ValueClick_Handler)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_ValueClick_Painted)->Unit(benchmark::kMillisecond);

// One pointer move of a rectangle drag on the full picture, through the
// canvas widget with its rubber band, and the event loop's turn that paints.
// With the readout the move also updates the pointer and statement lines;
// without it the readout is paused, so only the band is drawn.
void dragMove(benchmark::State& state, bool readout) {
    CanvasWidget& canvas = form->canvas();
    form->Command2->click();
    const auto send = [&canvas](QEvent::Type type, QPointF p) {
        QMouseEvent e(type, p, canvas.mapToGlobal(p),
                      type == QEvent::MouseMove ? Qt::NoButton : Qt::LeftButton,
                      type == QEvent::MouseButtonRelease ? Qt::NoButton : Qt::LeftButton, Qt::NoModifier);
        QCoreApplication::sendEvent(&canvas, &e);
    };
    const QSignalBlocker block(readout ? nullptr : &form->readout());
    send(QEvent::MouseButtonPress, QPointF(40, 40));
    int step = 0;
    for (auto _ : state) {
        step = (step + 1) % 200;
        send(QEvent::MouseMove, QPointF(100 + step, 80 + step / 2));
        QApplication::processEvents();
    }
    if (readout && form->readout().dragText().isEmpty()) state.SkipWithError("the readout showed no drag");
    if (!readout && !form->readout().dragText().isEmpty())
        state.SkipWithError("the readout followed the drag");
    // Leave the picture as it was: a blocked release still stores the shape.
    send(QEvent::MouseButtonRelease, QPointF(100 + step, 80 + step / 2));
    form->canvas().undo();
    QApplication::processEvents();
}
void BM_DragMove_WithReadout(benchmark::State& s) { dragMove(s, true); }
void BM_DragMove_WithoutReadout(benchmark::State& s) { dragMove(s, false); }
BENCHMARK(BM_DragMove_WithReadout)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_DragMove_WithoutReadout)->Unit(benchmark::kMicrosecond);

// A slider step with the preview open: the handler, the preview's run of the
// new text on its worker thread, and the event loop's turn that paints both
// windows. On the benchmark's picture every fill floods the screen (the worst
// case); on the spread picture each fill stays inside its circle.
void sliderWithPreview(benchmark::State& state) {
    PreviewWindow& preview = form->preview();
    form->togglePreview();
    preview.waitUntilShown();
    QApplication::processEvents();
    const int runsBefore = preview.shownRuns();
    for (auto _ : state) {
        form->Slider1->setValue(form->Slider1->value() == 300 ? 301 : 300);
        preview.waitUntilShown();
        QApplication::processEvents();
    }
    if (preview.shownRuns() - runsBefore < static_cast<int>(state.iterations())) {
        state.SkipWithError("the preview did not show every step");
    }
    form->togglePreview();
    QApplication::processEvents();
}

// Runs `body` with another picture in the window, then puts the benchmark's
// own picture back.
template <class F>
void withPicture(const Picture& picture, F&& body) {
    const auto saved = std::make_unique<Picture>(form->picture());
    form->picture().replaceShapes(picture);
    drowob(form->picture(), form->surface());
    form->Command24->click();
    body();
    form->picture().replaceShapes(*saved);
    drowob(form->picture(), form->surface());
    form->Command24->click();
    QApplication::processEvents();
}

void BM_Slider1Change_WithPreview_FloodingFills(benchmark::State& s) { sliderWithPreview(s); }
void BM_Slider1Change_WithPreview(benchmark::State& s) {
    withPicture(*bench::spreadPicture(), [&] { sliderWithPreview(s); });
}
BENCHMARK(BM_Slider1Change_WithPreview)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_Slider1Change_WithPreview_FloodingFills)->Unit(benchmark::kMillisecond)->UseRealTime();

// "Picture from text" on a full picture's "Value" text, repaint included: the
// canvas's picture of boxes with a fill in each.
void BM_PictureFromText(benchmark::State& state) {
    withPicture(*bench::boxedPicture(), [&] {
        form->setImportDialogs([](const QString&) { return true; }, [](const QString&) {});
        for (auto _ : state) {
            if (!form->pictureFromText()) state.SkipWithError("the import was refused");
            QApplication::processEvents();
        }
    });
}
BENCHMARK(BM_PictureFromText)->Unit(benchmark::kMillisecond);

// The way a text box was once filled: for every piece (a colour prefix or a
// statement), read the box's whole text, add the piece and set it back. Each
// round trip re-lays out the whole box, so the cost grows with the square of
// the length; compare the set-once figures above for 5005 lines.
void BM_TextBoxPieceByPiece(benchmark::State& state) {
    const auto pieces = static_cast<int>(state.range(0));
    QPlainTextEdit box;
    box.show();  // a visible box lays out its text as the user's does
    for (auto _ : state) {
        box.setPlainText(QString());
        for (int i = 0; i < pieces; ++i) {
            box.setPlainText(box.toPlainText() + (i % 2 == 0 ? QStringLiteral("setcolor(4);")
                                                             : QStringLiteral("line(100,50,200,150);\r\n")));
        }
    }
    if (box.document()->blockCount() != pieces / 2 + 1) state.SkipWithError("the box lost pieces");
}
BENCHMARK(BM_TextBoxPieceByPiece)->Arg(200)->Arg(500)->Unit(benchmark::kMillisecond);

// The same pieces joined first and set once.
void BM_TextBoxSetOnce(benchmark::State& state) {
    const auto pieces = static_cast<int>(state.range(0));
    QPlainTextEdit box;
    box.show();
    for (auto _ : state) {
        QString text;
        for (int i = 0; i < pieces; ++i) {
            text += i % 2 == 0 ? QStringLiteral("setcolor(4);") : QStringLiteral("line(100,50,200,150);\r\n");
        }
        box.setPlainText(text);
    }
    if (box.document()->blockCount() != pieces / 2 + 1) state.SkipWithError("the box lost pieces");
}
BENCHMARK(BM_TextBoxSetOnce)->Arg(200)->Arg(500)->Unit(benchmark::kMillisecond);

}  // namespace
}  // namespace pasdraw

int main(int argc, char** argv) {
    // The offscreen platform needs no display and paints into memory, so the
    // figures hold the editor's own work and not a server's.
    setenv("QT_QPA_PLATFORM", "offscreen", 0);
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv)) return 1;
    QApplication app(argc, argv);

    auto form = std::make_unique<pasdraw::Form1>();
    if (!pasdraw::fillPicture(form->picture())) {
        std::fprintf(stderr, "slider_bench: the picture did not take 1001 records of every kind\n");
        return 1;
    }
    pasdraw::drowob(form->picture(), form->surface());
    form->show();
    if (!QTest::qWaitForWindowExposed(form.get())) {
        std::fprintf(stderr, "slider_bench: the window was never exposed\n");
        return 1;
    }
    pasdraw::PaintCounter counter;
    form->Text1->viewport()->installEventFilter(&counter);
    pasdraw::form = form.get();
    pasdraw::paintCounter = &counter;
    // Value first: the sliders then start at the picture's origin, as they do
    // when a user reaches for them.
    form->Command24->click();
    QApplication::processEvents();

    benchmark::AddCustomContext("qt_platform", QGuiApplication::platformName().toStdString());
    benchmark::AddCustomContext("qt_version", qVersion());
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    pasdraw::form = nullptr;
    return 0;
}
