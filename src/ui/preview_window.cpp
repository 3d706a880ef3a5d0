#include "ui/preview_window.h"

#include <QApplication>
#include <QClipboard>
#include <QContextMenuEvent>
#include <QLabel>
#include <QMenu>
#include <QPainter>
#include <QtConcurrent/QtConcurrentRun>
#include <cstring>

namespace pasdraw {

namespace {

constexpr int StatusHeight = 40;

QRgb opaque(uint32_t rgb) { return 0xFF000000u | rgb; }

// The run's colour numbers with its palette as the colour table, converted
// once here so that a paint only copies pixels.
QImage imageOf(const PreviewRun& run) {
    QImage image(PreviewRun::Width, PreviewRun::Height, QImage::Format_Indexed8);
    QList<QRgb> colours(16);
    for (int i = 0; i < 16; ++i) colours[i] = opaque(run.palette[static_cast<std::size_t>(i)]);
    image.setColorTable(colours);
    for (int y = 0; y < PreviewRun::Height; ++y) {
        std::memcpy(image.scanLine(y), run.pixels.data() + static_cast<std::ptrdiff_t>(y) * PreviewRun::Width,
                    PreviewRun::Width);
    }
    return image.convertToFormat(QImage::Format_RGB32);
}

PreviewRun runText(const QString& text) {
    const QByteArray utf8 = text.toUtf8();
    return runPreview(std::string_view(utf8.constData(), static_cast<std::size_t>(utf8.size())));
}

}  // namespace

PreviewWindow::PreviewWindow(QWidget* parent) : QWidget(parent, Qt::Window) {
    setObjectName(QStringLiteral("preview"));
    setWindowTitle(QStringLiteral("pasdraw - program preview"));
    image_ = QImage(PreviewRun::Width, PreviewRun::Height, QImage::Format_RGB32);
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
    const int w = qRound(PreviewRun::Width / ratio), h = qRound(PreviewRun::Height / ratio);
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
    watcher_.setFuture(QtConcurrent::run(&pool_, runText, text));
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
    const PreviewRun run = watcher_.result();
    image_ = imageOf(run);
    status_->setText(QString::fromStdString(describeRun(run.result)));
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
