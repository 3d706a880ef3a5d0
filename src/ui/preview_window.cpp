#include "ui/preview_window.h"

#include <QAction>
#include <QApplication>
#include <QClipboard>
#include <QContextMenuEvent>
#include <QDir>
#include <QFileDialog>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QMenu>
#include <QMessageBox>
#include <QPainter>
#include <QPushButton>
#include <QSlider>
#include <QSpinBox>
#include <QtConcurrent/QtConcurrentRun>
#include <chrono>

#include "program/play_run.h"
#include "ui/run_image.h"

namespace pasdraw {

namespace {

constexpr int StatusHeight = 40;
constexpr int StepBarHeight = 32;

StepRecord runText(const QString& text) {
    const QByteArray utf8 = text.toUtf8();
    // Who painted which pixel is found only when asked: it costs some twenty
    // times the run.
    return recordRun(std::string_view(utf8.constData(), static_cast<std::size_t>(utf8.size())), false);
}

QPushButton* stepButton(QWidget* parent, const QString& label, const QString& tip) {
    auto* b = new QPushButton(label, parent);
    b->setToolTip(tip);
    // The window keeps the keys: arrows step, they do not move between buttons.
    b->setFocusPolicy(Qt::NoFocus);
    b->setFixedWidth(36);
    return b;
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
    connect(&watcher_, &QFutureWatcher<StepRecord>::finished, this, &PreviewWindow::finished);
    connect(&cutWatcher_, &QFutureWatcher<PreviewRun>::finished, this, &PreviewWindow::cutFinished);
    connect(&ownerWatcher_, &QFutureWatcher<StepRecord>::finished, this, &PreviewWindow::ownersFound);

    auto* bar = new QWidget(this);
    bar->setObjectName(QStringLiteral("stepBar"));
    auto* row = new QHBoxLayout(bar);
    row->setContentsMargins(4, 2, 4, 2);
    playButton_ = new QPushButton(QStringLiteral("Play"), bar);
    playButton_->setObjectName(QStringLiteral("play"));
    playButton_->setToolTip(
        QStringLiteral("Run the program in real time, delays included; click again to stop"));
    playButton_->setFocusPolicy(Qt::NoFocus);
    connect(playButton_, &QPushButton::clicked, this, [this] { playing_ ? stopPlay() : play(); });
    row->addWidget(playButton_);
    QPushButton* first =
        stepButton(bar, QStringLiteral("|<"), QStringLiteral("Before the first statement (Home)"));
    QPushButton* back = stepButton(bar, QStringLiteral("<"), QStringLiteral("One statement back (Left)"));
    QPushButton* forward = stepButton(bar, QStringLiteral(">"), QStringLiteral("One statement on (Right)"));
    QPushButton* last = stepButton(bar, QStringLiteral(">|"), QStringLiteral("The finished picture (End)"));
    connect(first, &QPushButton::clicked, this, [this] { setStep(0); });
    connect(back, &QPushButton::clicked, this, [this] { setStep(step_ > 0 ? step_ - 1 : 0); });
    connect(forward, &QPushButton::clicked, this, [this] { setStep(step_ + 1); });
    connect(last, &QPushButton::clicked, this, [this] { setStep(statements()); });
    stepSlider_ = new QSlider(Qt::Horizontal, bar);
    stepSlider_->setObjectName(QStringLiteral("stepSlider"));
    stepSlider_->setFocusPolicy(Qt::NoFocus);
    stepSlider_->setToolTip(
        QStringLiteral("The picture after this many statements (Left, Right, Home, End)"));
    stepSpin_ = new QSpinBox(bar);
    stepSpin_->setObjectName(QStringLiteral("stepSpin"));
    stepSpin_->setFocusPolicy(Qt::ClickFocus);
    stepSpin_->setToolTip(stepSlider_->toolTip());
    stepOf_ = new QLabel(bar);
    connect(stepSlider_, &QSlider::valueChanged, this, [this](int v) { setStep(static_cast<uint64_t>(v)); });
    connect(stepSpin_, &QSpinBox::valueChanged, this, [this](int v) { setStep(static_cast<uint64_t>(v)); });
    row->addWidget(first);
    row->addWidget(back);
    row->addWidget(stepSlider_, 1);
    row->addWidget(forward);
    row->addWidget(last);
    row->addWidget(new QLabel(QStringLiteral("after"), bar));
    row->addWidget(stepSpin_);
    row->addWidget(stepOf_);
    setFocusPolicy(Qt::StrongFocus);
    showStepControls();
}

PreviewWindow::~PreviewWindow() {
    stopPlay();
    watcher_.waitForFinished();
    cutWatcher_.waitForFinished();
    ownerWatcher_.waitForFinished();
}

void PreviewWindow::showEvent(QShowEvent*) {
    // One device pixel per screen pixel: the size in logical pixels follows
    // the device pixel ratio of the screen the window is on.
    const qreal ratio = devicePixelRatioF();
    const int w = qRound(PreviewRun::Width / ratio), h = qRound(PreviewRun::Height / ratio);
    setFixedSize(w, h + StepBarHeight + StatusHeight);
    findChild<QWidget*>(QStringLiteral("stepBar"))->setGeometry(0, h, w, StepBarHeight);
    status_->setGeometry(0, h + StepBarHeight, w, StatusHeight);
    emit visibilityChanged(true);
}

void PreviewWindow::hideEvent(QHideEvent*) {
    stopPlay();
    emit visibilityChanged(false);
}

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
    // The played program is no longer the text's.
    stopPlay();
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
    record_ = watcher_.result();
    const PreviewRun& run = record_.run;
    // A new text starts at its finished picture.
    step_ = statements();
    waitingCut_.reset();
    waitingPick_.reset();
    showStepControls();
    showPicture(run);
    status_->setText(QString::fromStdString(describeRun(run.result)));
    problemLines_.clear();
    for (const ProgramProblem& p : run.result.problems) problemLines_.push_back(p.line);
    ++shownRuns_;
    emit runningLine(0);
    emit shown();
}

void PreviewWindow::waitUntilShown() {
    while (running_ || cutRunning_ || ownersRunning_) {
        watcher_.waitForFinished();
        cutWatcher_.waitForFinished();
        ownerWatcher_.waitForFinished();
        QCoreApplication::processEvents();
    }
}

void PreviewWindow::showPicture(const PreviewRun& run) {
    indexed_ = indexedImage(run);
    image_ = indexed_.convertToFormat(QImage::Format_RGB32);
    update();
}

void PreviewWindow::showStepControls() {
    const int m = static_cast<int>(statements());
    const int n = static_cast<int>(step_);
    const QSignalBlocker s1(stepSlider_), s2(stepSpin_);
    stepSlider_->setRange(0, m);
    stepSlider_->setValue(n);
    stepSpin_->setRange(0, m);
    stepSpin_->setValue(n);
    stepOf_->setText(QStringLiteral("of %1").arg(m));
}

void PreviewWindow::setStep(uint64_t n) {
    n = std::min(n, statements());
    if (n == step_) return;
    stopPlay();
    step_ = n;
    showStepControls();
    emit runningLine(n >= 1 && n < statements() ? record_.where[n - 1].line : 0);
    if (n == statements()) {
        waitingCut_.reset();
        if (!cutRunning_) showPicture(record_.run);
        return;
    }
    if (cutRunning_) {
        waitingCut_ = n;
        return;
    }
    startCut(n);
}

void PreviewWindow::startCut(uint64_t n) {
    cutRunning_ = true;
    cutStep_ = n;
    cutWatcher_.setFuture(
        QtConcurrent::run(&pool_, [text = record_.run.text, n] { return runPreviewCut(text, n); }));
}

void PreviewWindow::cutFinished() {
    cutRunning_ = false;
    if (waitingCut_) {
        const uint64_t next = *waitingCut_;
        waitingCut_.reset();
        startCut(next);
        return;
    }
    const PreviewRun run = cutWatcher_.result();
    // A step made meanwhile to the finished picture, or a new text, wins.
    if (playing_ || run.text != record_.run.text) return;
    showPicture(step_ == cutStep_ ? run : record_.run);
}

void PreviewWindow::pickPixel(int x, int y) {
    if (!record_.owner.empty()) {
        sayOwner(x, y);
        return;
    }
    waitingPick_ = QPoint(x, y);
    status_->setText(QStringLiteral("Finding the statement that painted pixel (%1, %2)\u2026").arg(x).arg(y));
    if (ownersRunning_) return;
    ownersRunning_ = true;
    ownerWatcher_.setFuture(
        QtConcurrent::run(&pool_, [text = record_.run.text] { return recordRun(text, true); }));
}

void PreviewWindow::ownersFound() {
    ownersRunning_ = false;
    StepRecord found = ownerWatcher_.result();
    // A new text came meanwhile: its owners are found at its first pick.
    if (found.run.text != record_.run.text) {
        if (waitingPick_) pickPixel(waitingPick_->x(), waitingPick_->y());
        return;
    }
    record_ = std::move(found);
    if (waitingPick_) sayOwner(waitingPick_->x(), waitingPick_->y());
    waitingPick_.reset();
}

void PreviewWindow::sayOwner(int x, int y) {
    const int64_t k = record_.ownerAt(x, y);
    QString said;
    if (k == 0) {
        said =
            QStringLiteral("No statement painted pixel (%1, %2): it is as the screen starts.").arg(x).arg(y);
    } else if (k < 0) {
        said = QStringLiteral(
                   "Pixel (%1, %2) was painted after statement %3; only the first %4 drawing "
                   "statements are followed pixel by pixel.")
                   .arg(x)
                   .arg(y)
                   .arg(record_.ownersUpTo)
                   .arg(OwnerFollowedDraws);
    } else {
        const StatementAt at = record_.where[static_cast<std::size_t>(k - 1)];
        said = QStringLiteral(
                   "In the finished picture, pixel (%1, %2) was last painted by statement %3 of %4, "
                   "line %5, column %6: %7")
                   .arg(x)
                   .arg(y)
                   .arg(k)
                   .arg(statements())
                   .arg(at.line)
                   .arg(at.column)
                   .arg(QString::fromStdString(statementText(record_.run.text, at.line, at.column)));
        emit statementPicked(at.line, at.column);
    }
    status_->setText(said);
}

void PreviewWindow::keyPressEvent(QKeyEvent* event) {
    switch (event->key()) {
        case Qt::Key_Left: setStep(step_ > 0 ? step_ - 1 : 0); break;
        case Qt::Key_Right: setStep(step_ + 1); break;
        case Qt::Key_Home: setStep(0); break;
        case Qt::Key_End: setStep(statements()); break;
        default: QWidget::keyPressEvent(event); return;
    }
    event->accept();
}

void PreviewWindow::mousePressEvent(QMouseEvent* event) {
    const qreal ratio = devicePixelRatioF();
    const int x = static_cast<int>(event->position().x() * ratio);
    const int y = static_cast<int>(event->position().y() * ratio);
    if (event->button() != Qt::LeftButton || x < 0 || y < 0 || x >= PreviewRun::Width ||
        y >= PreviewRun::Height) {
        QWidget::mousePressEvent(event);
        return;
    }
    pickPixel(x, y);
}

void PreviewWindow::play() {
    stopPlay();
    playStop_ = false;
    playing_ = true;
    playButton_->setText(QStringLiteral("Stop"));
    const int generation = ++playGeneration_;
    player_ = std::thread([this, generation, text = record_.run.text] {
        PlayHooks hooks;
        // A drawing that takes long without delays is seen as it grows.
        hooks.drawingFrameMs = 40;
        hooks.stopped = [this] { return playStop_.load(); };
        hooks.wait = [this](uint16_t ms) {
            std::unique_lock lock(playMutex_);
            return !playWake_.wait_for(lock, std::chrono::milliseconds(ms),
                                       [this] { return playStop_.load(); });
        };
        hooks.show = [this](PreviewRun frame, uint64_t, bool) {
            bool post = false;
            {
                const std::lock_guard lock(playMutex_);
                frame_ = std::move(frame);
                post = !framePosted_;
                framePosted_ = true;
            }
            if (post)
                QMetaObject::invokeMethod(
                    this, [this] { showFrame(); }, Qt::QueuedConnection);
        };
        playRun(text, hooks);
        QMetaObject::invokeMethod(
            this, [this, generation] { playEnded(generation); }, Qt::QueuedConnection);
    });
}

void PreviewWindow::showFrame() {
    std::optional<PreviewRun> frame;
    {
        const std::lock_guard lock(playMutex_);
        frame.swap(frame_);
        framePosted_ = false;
    }
    if (!playing_ || !frame) return;
    ++playedFrames_;
    showPicture(*frame);
}

void PreviewWindow::playEnded(int generation) {
    if (generation != playGeneration_ || !playing_) return;
    // The last frame, the screen as the program ends, stays until a step
    // or a new text.
    if (player_.joinable()) player_.join();
    showFrame();
    playing_ = false;
    playButton_->setText(QStringLiteral("Play"));
}

void PreviewWindow::stopPlay() {
    if (!player_.joinable()) return;
    playStop_ = true;
    playWake_.notify_all();
    player_.join();
    {
        const std::lock_guard lock(playMutex_);
        frame_.reset();
    }
    playing_ = false;
    playButton_->setText(QStringLiteral("Play"));
    // Back to the stepped picture.
    if (step_ == statements()) {
        if (!cutRunning_) showPicture(record_.run);
    } else if (cutRunning_) {
        waitingCut_ = step_;
    } else {
        startCut(step_);
    }
}

}  // namespace pasdraw
