#include "ui/preview_window.h"

#include <QApplication>
#include <QClipboard>
#include <QContextMenuEvent>
#include <QLabel>
#include <QMenu>
#include <QPainter>
#include <QtConcurrent/QtConcurrentRun>

#include "bgi/bgi_screen.h"

namespace pasdraw {

namespace {

constexpr int StatusHeight = 40;

QRgb opaque(uint32_t rgb) { return 0xFF000000u | rgb; }

}  // namespace

PreviewRun runPreview(const QString& text) {
    PreviewRun run;
    run.text = text;
    // A screen is 300 KB: on the heap, and new for every run, as a program
    // always starts on a cleared screen.
    auto screen = std::make_unique<BgiScreen>();
    const QByteArray utf8 = text.toUtf8();
    run.result =
        runProgram(std::string_view(utf8.constData(), static_cast<std::size_t>(utf8.size())), *screen);
    QImage image(BgiScreen::Width, BgiScreen::Height, QImage::Format_Indexed8);
    QList<QRgb> colours(16);
    for (int i = 0; i < 16; ++i) colours[i] = opaque(StandardPalette[static_cast<std::size_t>(i)]);
    // Index 0 shows the background colour setbkcolor chose: one of the sixteen
    // in the same palette as the rest, beyond them the VGA table's colour.
    const uint16_t background = screen->backgroundColour();
    colours[0] = opaque(background < 16 ? StandardPalette[background] : backgroundRgb(background));
    image.setColorTable(colours);
    for (int y = 0; y < BgiScreen::Height; ++y) {
        std::memcpy(image.scanLine(y), screen->pixels() + static_cast<std::ptrdiff_t>(y) * BgiScreen::Width,
                    BgiScreen::Width);
    }
    run.image = std::move(image);
    return run;
}

QString describeRun(const RunResult& result) {
    const auto where = [](const ProgramProblem& p) {
        return QStringLiteral("line %1, column %2: %3")
            .arg(p.line)
            .arg(p.column)
            .arg(QString::fromStdString(p.message));
    };
    const auto first = [&](ProgramProblem::Kind kind) -> const ProgramProblem* {
        for (const ProgramProblem& p : result.problems) {
            if (p.kind == kind) return &p;
        }
        return nullptr;
    };
    const auto more = [&](qsizetype shown) {
        const qsizetype others = static_cast<qsizetype>(result.problems.size()) - shown;
        return others > 0 ? QStringLiteral(" (%1 more marked in the text)").arg(others) : QString();
    };
    if (result.compilerWouldRefuse) {
        const ProgramProblem* p = first(ProgramProblem::Kind::Compile);
        return QStringLiteral(
                   "The compiler would refuse this program: %1%2. The picture shows what the "
                   "statements before it draw.")
            .arg(p ? where(*p) : QStringLiteral("see the marked lines"), more(1));
    }
    if (const ProgramProblem* p = first(ProgramProblem::Kind::Runtime)) {
        return QStringLiteral("The program stops at %1%2.").arg(where(*p), more(1));
    }
    if (const ProgramProblem* p = first(ProgramProblem::Kind::Unsupported)) {
        return QStringLiteral("The preview cannot show all of it: %1%2. The picture shows what comes before.")
            .arg(where(*p), more(1));
    }
    if (result.stoppedEarly) {
        return QStringLiteral("stopped after %1 statements; the program would go on").arg(result.statements);
    }
    if (const ProgramProblem* p = first(ProgramProblem::Kind::Limit)) return where(*p) + more(1);
    return QStringLiteral("The program ran %1 statements and drew this.").arg(result.statements);
}

PreviewWindow::PreviewWindow(QWidget* parent) : QWidget(parent, Qt::Window) {
    setObjectName(QStringLiteral("preview"));
    setWindowTitle(QStringLiteral("pasdraw - program preview"));
    image_ = QImage(BgiScreen::Width, BgiScreen::Height, QImage::Format_RGB32);
    image_.fill(Qt::black);
    status_ = new QLabel(this);
    status_->setObjectName(QStringLiteral("previewStatus"));
    status_->setWordWrap(true);
    status_->setTextFormat(Qt::PlainText);
    status_->setAlignment(Qt::AlignLeft | Qt::AlignVCenter);
    status_->setContentsMargins(4, 0, 4, 0);
    pool_.setMaxThreadCount(1);
    connect(&watcher_, &QFutureWatcher<PreviewRun>::finished, this, &PreviewWindow::finished);
}

PreviewWindow::~PreviewWindow() { watcher_.waitForFinished(); }

void PreviewWindow::showEvent(QShowEvent*) {
    // One device pixel per screen pixel: the size in logical pixels follows
    // the device pixel ratio of the screen the window is on.
    const qreal ratio = devicePixelRatioF();
    const int w = qRound(BgiScreen::Width / ratio), h = qRound(BgiScreen::Height / ratio);
    setFixedSize(w, h + StatusHeight);
    status_->setGeometry(0, h, w, StatusHeight);
    emit visibilityChanged(true);
}

void PreviewWindow::hideEvent(QHideEvent*) { emit visibilityChanged(false); }

void PreviewWindow::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    QImage shown = image_;
    shown.setDevicePixelRatio(devicePixelRatioF());
    painter.drawImage(QPointF(0, 0), shown);
}

void PreviewWindow::contextMenuEvent(QContextMenuEvent* event) {
    QMenu menu(this);
    QAction* copy = menu.addAction(QStringLiteral("Copy image"));
    connect(copy, &QAction::triggered, this, &PreviewWindow::copyImage);
    menu.exec(event->globalPos());
}

void PreviewWindow::copyImage() { QGuiApplication::clipboard()->setImage(image_); }

QString PreviewWindow::status() const { return status_->text(); }

void PreviewWindow::showText(const QString& text) {
    if (running_) {
        waiting_ = text;
        return;
    }
    start(text);
}

void PreviewWindow::start(const QString& text) {
    running_ = true;
    watcher_.setFuture(QtConcurrent::run(&pool_, runPreview, text));
}

void PreviewWindow::finished() {
    running_ = false;
    if (waiting_) {
        // A newer text arrived: show nothing of the older one.
        const QString next = *waiting_;
        waiting_.reset();
        start(next);
        return;
    }
    PreviewRun run = watcher_.result();
    // Converted once here, so a paint only copies pixels.
    image_ = run.image.convertToFormat(QImage::Format_RGB32);
    status_->setText(describeRun(run.result));
    problemLines_.clear();
    for (const ProgramProblem& p : run.result.problems) problemLines_.push_back(p.line);
    ++shownRuns_;
    update();
    emit shown();
}

void PreviewWindow::waitUntilShown() {
    while (running_) {
        watcher_.waitForFinished();
        QCoreApplication::processEvents();
    }
}

}  // namespace pasdraw
