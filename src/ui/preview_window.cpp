#include "ui/preview_window.h"

#include <QAction>
#include <QApplication>
#include <QClipboard>
#include <QContextMenuEvent>
#include <QDir>
#include <QFileDialog>
#include <QLabel>
#include <QMenu>
#include <QMessageBox>
#include <QPainter>
#include <QtConcurrent/QtConcurrentRun>

#include "ui/run_image.h"

namespace pasdraw {

namespace {

constexpr int StatusHeight = 40;

PreviewRun runText(const QString& text) {
    const QByteArray utf8 = text.toUtf8();
    return runPreview(std::string_view(utf8.constData(), static_cast<std::size_t>(utf8.size())));
}

}  // namespace

PreviewWindow::PreviewWindow(QWidget* parent) : QWidget(parent, Qt::Window) {
    setObjectName(QStringLiteral("preview"));
    setWindowTitle(QStringLiteral("pasdraw - program preview"));
    // A cleared screen until the first run.
    PreviewRun cleared;
    cleared.pixels.assign(static_cast<std::size_t>(PreviewRun::Width) * PreviewRun::Height, 0);
    cleared.palette = StandardPalette;
    indexed_ = indexedImage(cleared);
    image_ = indexed_.convertToFormat(QImage::Format_RGB32);
    imagePath_ = QDir::home().filePath(QStringLiteral("picture.png"));
    saveImageAction_ = new QAction(QStringLiteral("Save image\u2026"), this);
    saveImageAction_->setShortcut(QKeySequence::Save);
    // Only while this window is active: in the main window Ctrl+S saves the program.
    saveImageAction_->setShortcutContext(Qt::WindowShortcut);
    connect(saveImageAction_, &QAction::triggered, this, &PreviewWindow::saveImageAs);
    addAction(saveImageAction_);
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
    menu.addAction(saveImageAction_);
    menu.exec(event->globalPos());
}

void PreviewWindow::copyImage() { QGuiApplication::clipboard()->setImage(image_); }

QString PreviewWindow::saveImage(const QString& path) const { return writePng(indexed_, path); }

void PreviewWindow::saveImageAs() {
    const QString path = QFileDialog::getSaveFileName(this, QStringLiteral("Save image"), imagePath_,
                                                      QStringLiteral("PNG images (*.png)"));
    if (path.isEmpty()) return;
    imagePath_ = path;
    const QString failure = saveImage(path);
    if (!failure.isEmpty()) {
        QMessageBox::warning(
            this, QStringLiteral("Save image"),
            QStringLiteral(
                "The image could not be saved to %1:\n%2\n\nA file already there is left as it was.")
                .arg(QDir::toNativeSeparators(path), failure));
    }
}

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
    indexed_ = indexedImage(run);
    image_ = indexed_.convertToFormat(QImage::Format_RGB32);
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
